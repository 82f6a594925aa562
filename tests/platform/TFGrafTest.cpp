// The graph child form on the offscreen platform: drawing a computed window,
// click zoom with the scroll bar following, the inline label editor and
// closing through the window set.

#include <gtest/gtest.h>

#include <QTest>
#include <cmath>

#include "graphs/GraphSetup.h"
#include "platform/TEditDig.h"
#include "platform/TFGraf.h"
#include "support/QtApplication.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

// Makes a real form for each window of the set, as the main window does.
struct FormHost : WindowSetHost {
  GraphForm* CreateForm(TGrWin& window) override {
    forms.push_back(std::make_unique<TFGraf>(window, *set, *ctx));
    return forms.back().get();
  }
  void RebuildWindowsMenu(const std::vector<std::string>&) override {}
  int TextWidth(std::string_view) override { return 9; }

  TAllWindows* set = nullptr;
  const AnalysisContext* ctx = nullptr;
  std::vector<std::unique_ptr<TFGraf>> forms;
};

class TFGrafTest : public ::testing::Test {
 protected:
  TFGrafTest() {
    test::EnsureApplication();
    for (int slot = 0; slot < ChannelCount(Velnarund); ++slot)
      recording.Set(slot, test::Tone(8000, 5, 1000));
    recording.rec.Origin = OriginFile;
    host.set = &windows;
    host.ctx = &ctx;
    window = &windows.CreateFirstTraces(recording.rec);
    SetTypeWithDefaults(ctx, *window, SignalTraces, 0);
    form().resize(650, 356);
    form().show();
    image = form().grab().toImage();  // lays the form out and paints it once
  }
  ~TFGrafTest() override { host.forms.clear(); }  // before the windows they show

  TFGraf& form() { return *host.forms.front(); }
  QWidget& surface() { return form().Surface(); }
  void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(&surface(), button, {}, at);
  }
  QPoint PlotCentre() const {
    const IntRect r = window->PlotRect;
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }

  test::SignalRecording recording{Velnarund, 1000, 1000};
  AnalysisContext ctx = recording.Context();
  FormHost host;
  TAllWindows windows{host};
  TGrWin* window = nullptr;
  QImage image;
};

TEST_F(TFGrafTest, PaintsTheWindowOnItsSurface) {
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(window->PlotWidth, surface().width());
  EXPECT_EQ(window->PlotHeight, surface().height());
  EXPECT_GT(window->PlotRect.Right, window->PlotRect.Left);

  // The curve is drawn in the plot: pixels there besides the white ground and
  // the grey grid.
  const QPoint offset = surface().mapTo(&form(), QPoint(0, 0));
  int coloured = 0;
  for (int x = window->PlotRect.Left + 1; x < window->PlotRect.Right; ++x)
    for (int y = window->PlotRect.Top + 1; y < window->PlotRect.Bottom; ++y) {
      const QColor c = image.pixelColor(offset + QPoint(x, y));
      if (c != Qt::white && c != QColor(0x80, 0x80, 0x80)) ++coloured;
    }
  EXPECT_GT(coloured, 100);
}

TEST_F(TFGrafTest, ToolsCarryTheirHintsAndFollowTheWindowType) {
  EXPECT_EQ(form().Tool("SpeedButton9")->toolTip(),
            "Масштабировать по горизонтали нажатиями левой и правой кнопками мыши");
  EXPECT_EQ(form().Tool("SpeedButton2")->toolTip(),
            "Режим раздельного рисования  графиков, у каждого своя ось ординат");
  EXPECT_FALSE(form().Tool("SpeedButton1")->isEnabled());
  EXPECT_TRUE(form().Tool("SpeedButton11")->isHidden());

  form().UpdateTypeTools({true, true, true, false});
  EXPECT_TRUE(form().Tool("SpeedButton1")->isEnabled());
  EXPECT_FALSE(form().Tool("SpeedButton11")->isHidden());
  EXPECT_TRUE(form().Tool("SpeedButton11")->isEnabled());
  EXPECT_FALSE(form().Tool("SpeedButton12")->isEnabled());

  // Group 22 keeps at most one mouse tool down and copies all four flags.
  form().Tool("SpeedButton5")->click();
  form().Tool("SpeedButton9")->click();
  EXPECT_FALSE(form().Tool("SpeedButton5")->isChecked());
  EXPECT_FALSE(window->ToolZoomKeepLeft);
  EXPECT_TRUE(window->ToolZoomByClicks);
  form().Tool("SpeedButton9")->click();
  EXPECT_FALSE(window->ToolZoomByClicks);

  form().Tool("SpeedButton2")->click();
  EXPECT_TRUE(window->SeparateAxes);
  EXPECT_FALSE(form().Tool("SpeedButton8")->isChecked());

  form().HideIntervalSpectrumTools();
  for (const char* hidden : {"SpeedButton1", "SpeedButton2", "SpeedButton8", "SpeedButton10"})
    EXPECT_TRUE(form().Tool(hidden)->isHidden()) << hidden;
  EXPECT_FALSE(form().Tool("SpeedButton7")->isHidden());

  form().SetCaption("Окно 1");
  EXPECT_EQ(form().windowTitle(), "Окно 1");
}

TEST_F(TFGrafTest, ClickZoomNarrowsTheRangeAndScrollBarFollows) {
  const IndexRange full = window->FullRange;
  ASSERT_EQ(window->DisplayedRange, full);
  Click(PlotCentre());  // no tool: only selects
  EXPECT_EQ(window->DisplayedRange, full);

  form().Tool("SpeedButton9")->click();
  Click(PlotCentre());
  const IndexRange shown = window->DisplayedRange;
  EXPECT_LT(shown.Last - shown.First, full.Last - full.First);
  EXPECT_GT(shown.First, full.First);

  QScrollBar& bar = form().ScrollBar();
  EXPECT_EQ(bar.pageStep(), shown.Last - shown.First);
  EXPECT_EQ(bar.maximum(), (full.Last - full.First) - (shown.Last - shown.First));
  EXPECT_EQ(bar.value(), shown.First - full.First);

  // Scrolling to the end keeps the width and stops at the full range's end.
  bar.setValue(bar.maximum());
  EXPECT_EQ(window->DisplayedRange.Last, full.Last);
  EXPECT_EQ(window->DisplayedRange.Last - window->DisplayedRange.First, shown.Last - shown.First);

  Click(PlotCentre(), Qt::RightButton);
  Click(PlotCentre(), Qt::RightButton);
  EXPECT_EQ(window->DisplayedRange, full);
  EXPECT_EQ(bar.minimum(), 1);
  EXPECT_EQ(bar.maximum(), 1);

  // A drag goes on while the pointer is left of the plot, over the y labels.
  form().Tool("SpeedButton4")->click();
  QTest::mousePress(&surface(), Qt::LeftButton, {}, PlotCentre());
  QTest::mouseMove(&surface(), {window->PlotRect.Left - 5, PlotCentre().y()});
  EXPECT_NE(window->DisplayedRange, full);
  QTest::mouseRelease(&surface(), Qt::LeftButton, {}, {window->PlotRect.Left - 5, PlotCentre().y()});
}

TEST_F(TFGrafTest, LabelEditorAppliesOnEnterAndCancelsOnEscape) {
  const IntRect label = window->LeftXLabelRect;
  const QPoint onLabel((label.Left + label.Right) / 2, (label.Top + label.Bottom) / 2);
  TEditDig& editor = form().LabelEditor();

  Click(onLabel);
  ASSERT_TRUE(editor.isVisible());
  EXPECT_EQ(window->LabelEditTarget, LeftXLabel);
  EXPECT_EQ(editor.text(), "0.0");
  editor.clear();
  QTest::keyClicks(&editor, "0.25");
  QTest::keyClick(&editor, Qt::Key_Return);
  EXPECT_FALSE(editor.isVisible());
  EXPECT_EQ(window->LabelEditTarget, NoLabel);
  EXPECT_EQ(window->DisplayedRange.First, std::lround(0.25 * window->XPerUnit));
  EXPECT_EQ(form().ScrollBar().value(), window->DisplayedRange.First);

  // Escape leaves the range; so does text that is no number.
  const IndexRange before = window->DisplayedRange;
  form().grab();  // the labels moved with the range
  Click(onLabel);
  ASSERT_TRUE(editor.isVisible());
  editor.setText("0.5");
  QTest::keyClick(&editor, Qt::Key_Escape);
  EXPECT_FALSE(editor.isVisible());
  Click(onLabel);
  editor.setText("-");
  QTest::keyClick(&editor, Qt::Key_Return);
  EXPECT_FALSE(editor.isVisible());
  EXPECT_EQ(window->DisplayedRange, before);

  // While the editor is open the window keeps its size; a click on the
  // surface only closes the editor.
  Click(onLabel);
  form().resize(700, 400);
  EXPECT_EQ(form().size(), QSize(650, 356));
  Click(PlotCentre());
  EXPECT_FALSE(editor.isVisible());
  EXPECT_EQ(window->LabelEditTarget, NoLabel);
  form().resize(700, 400);
  EXPECT_EQ(form().size(), QSize(700, 400));

  // A y label's editor opens where the label was clicked, over the margin.
  form().grab();
  const QPoint onTopLabel(window->PlotRect.Left - 10, window->Curves[0].BandTop + 2);
  Click(onTopLabel);
  ASSERT_TRUE(editor.isVisible());
  EXPECT_EQ(window->LabelEditTarget, TopYLabel);
  EXPECT_EQ(editor.pos(), onTopLabel - QPoint(0, 4));
}

TEST_F(TFGrafTest, VerticalDragZoomsTheSelectedCurveUntilTheButtonIsReleased) {
  form().Tool("SpeedButton3")->click();
  ASSERT_TRUE(window->ToolZoomVertical);
  const IntRect r = window->PlotRect;
  const int middle = r.Top + (r.Bottom - r.Top) / 2;
  const int x = (r.Left + r.Right) / 2;
  // One curve shown: the tool applies to it without a selection.
  ASSERT_EQ(window->CurveCount, 1);
  window->SelectedCurve = -1;
  QTest::mousePress(&surface(), Qt::LeftButton, {}, {x, middle - 20});
  ASSERT_TRUE(window->DragVertical);
  QTest::mouseMove(&surface(), {x, middle - 60});
  EXPECT_DOUBLE_EQ(window->Curves[0].Zoom, 3.0);  // three times as far from the middle
  EXPECT_EQ(window->SelectedCurve, 0);
  QTest::mouseRelease(&surface(), Qt::LeftButton, {}, {x, middle - 60});
  EXPECT_FALSE(window->DragVertical);
  EXPECT_TRUE(window->ToolZoomVertical);
  QTest::mouseMove(&surface(), {x, middle - 30});
  EXPECT_DOUBLE_EQ(window->Curves[0].Zoom, 3.0);  // no drag without a pressed button
}

TEST_F(TFGrafTest, ClosingReportsToTheWindowSet) {
  ASSERT_EQ(form().Tag(), 0);
  form().close();
  EXPECT_EQ(windows.Count(), 0);
  form().grab();  // a form without its window paints blank
}

}  // namespace
}  // namespace kalvex
