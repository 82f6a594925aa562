#include "platform/TFGraf.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "analysis/DistortionAnalysis.h"
#include "graphs/GraphMouse.h"
#include "graphs/GraphTypeSetup.h"
#include "graphs/PlotRenderer.h"
#include "graphs/XRange.h"
#include "platform/QtCanvas.h"
#include "platform/TEditDig.h"
#include "platform/ToolGlyphs.h"
#include "shell/TextCatalogue.h"

namespace kalvex {

namespace {

constexpr int ToolBarHeight = 24;
constexpr int HelpTopic = 50;

bool IsHorizontalTool(const TGrWin& w) {
  return w.ToolZoomKeepLeft || w.ToolZoomKeepRight;
}

}  // namespace

int EditorDigits(double value) {
  const double a = std::fabs(value);
  if (a == 0 || a >= 1000) return 1;
  if (a >= 10) return 2;
  if (a >= 1) return 3;
  return 4 - static_cast<int>(std::trunc(std::log10(a)));
}

GraphSurface::GraphSurface(TFGraf& form, QWidget* parent) : QWidget(parent), form_(form) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphSurface::paintEvent(QPaintEvent* event) {
  form_.PaintSurface(event);
}

void GraphSurface::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  form_.MouseDown(p.x(), p.y(), event->button());
}

void GraphSurface::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  form_.MouseMove(p.x(), p.y());
}

void GraphSurface::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  form_.MouseUp(p.x(), p.y(), event->button());
}

TFGraf::TFGraf(TGrWin& window, TAllWindows& windows, const AnalysisContext& ctx, QWidget* parent)
    : QWidget(parent), window_(&window), windows_(windows), ctx_(ctx) {
  window.Form = this;
  setWindowTitle(QString::fromStdString(Text(TextId::NewWindowCaption)));
  resize(sizeHint());

  toolBar_ = new QWidget(this);
  toolBar_->setFixedHeight(ToolBarHeight);
  auto* tools = new QHBoxLayout(toolBar_);
  tools->setContentsMargins(0, 0, 0, 0);
  tools->setSpacing(0);

  QToolButton* whole = AddTool("SpeedButton7", TextId::HintShowWhole, false);
  QToolButton* vertical = AddTool("SpeedButton3", TextId::HintZoomVertical, true);
  QToolButton* keepLeft = AddTool("SpeedButton5", TextId::HintZoomKeepLeft, true);
  QToolButton* keepRight = AddTool("SpeedButton4", TextId::HintZoomKeepRight, true);
  QToolButton* clicks = AddTool("SpeedButton9", TextId::HintZoomByClicks, true);
  // The move tool of the group is not offered: it has no effect.
  QToolButton* move = AddTool("Mov", TextId::HintMove, true);
  move->hide();
  QToolButton* common = AddTool("SpeedButton8", TextId::HintCommonAxis, true);
  QToolButton* separate = AddTool("SpeedButton2", TextId::HintSeparateAxes, true);
  QToolButton* accumulate = AddTool("SpeedButton1", TextId::HintAccumulation, true);
  QToolButton* comments = AddTool("SpeedButton10", TextId::HintComments, false);
  QToolButton* help = AddTool("SpeedButton13", TextId::HintHelp, false);
  QToolButton* previous = AddTool("SpeedButton12", TextId::HintPreviousGraph, false);
  QToolButton* next = AddTool("SpeedButton11", TextId::HintNextGraph, false);
  auto* exportButton =
      new QPushButton(QString::fromStdString(Text(TextId::ExportButton)), toolBar_);
  exportButton->setObjectName(QStringLiteral("BitBtn1"));
  exportButton->setFixedHeight(ToolBarHeight);
  exportButton->hide();
  tools->addWidget(exportButton);
  tools->addStretch(1);

  // Group 22: none or one of the mouse tools is down.
  for (QToolButton* b : {vertical, keepLeft, keepRight, clicks, move})
    connect(b, &QToolButton::clicked, this, [this, b] { ZoomToolClicked(b); });
  // Group 11: exactly one axis mode.
  common->setChecked(!window.SeparateAxes);
  separate->setChecked(window.SeparateAxes);
  connect(common, &QToolButton::clicked, this, [this] { AxesToolClicked(false); });
  connect(separate, &QToolButton::clicked, this, [this] { AxesToolClicked(true); });

  connect(whole, &QToolButton::clicked, this, [this] {
    if (!window_) return;
    ShowWhole(*window_);
    SourceChanged();
  });
  accumulate->setEnabled(false);
  accumulate->setChecked(window.Accumulating);
  connect(accumulate, &QToolButton::clicked, this, [this](bool on) {
    emit AccumulationToggled(on);
    Repaint();
  });
  connect(comments, &QToolButton::clicked, this, [this] { emit CommentsRequested(); });
  connect(help, &QToolButton::clicked, this, [this] { emit HelpRequested(HelpTopic); });
  previous->hide();
  next->hide();
  connect(previous, &QToolButton::clicked, this, [this] { StepTimePoint(-1); });
  connect(next, &QToolButton::clicked, this, [this] { StepTimePoint(1); });
  connect(exportButton, &QPushButton::clicked, this, [this] { emit ExportRequested(); });

  surface_ = new GraphSurface(*this, this);
  surface_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  scrollBar_ = new QScrollBar(Qt::Horizontal, this);
  scrollBar_->setRange(1, 1);
  scrollBar_->setValue(1);
  connect(scrollBar_, &QScrollBar::actionTriggered, this, [this](int action) {
    scrollAction_ = action;
    // The large step is half the displayed width, the thumb the whole of it.
    if (!window_) return;
    const int half =
        std::max(1, (window_->DisplayedRange.Last - window_->DisplayedRange.First) / 2);
    if (action == QAbstractSlider::SliderPageStepAdd)
      scrollBar_->setSliderPosition(scrollBar_->value() + half);
    else if (action == QAbstractSlider::SliderPageStepSub)
      scrollBar_->setSliderPosition(scrollBar_->value() - half);
  });
  connect(scrollBar_, &QScrollBar::valueChanged, this, &TFGraf::Scrolled);
  connect(scrollBar_, &QScrollBar::sliderReleased, this, [this] { SourceChanged(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(toolBar_);
  layout->addWidget(surface_, 1);
  layout->addWidget(scrollBar_);

  editor_ = new TEditDig(surface_);
  editor_->SetZnak(true);
  editor_->SetInteg(false);
  editor_->SetMayBeNul(true);
  editor_->hide();
  editor_->installEventFilter(this);
}

TFGraf::~TFGraf() {
  if (window_ && window_->Form == this) window_->Form = nullptr;
}

QToolButton* TFGraf::AddTool(const char* name, TextId hint, bool checkable) {
  auto* b = new QToolButton(toolBar_);
  b->setObjectName(QString::fromLatin1(name));
  b->setToolTip(QString::fromStdString(Text(hint)));
  b->setCheckable(checkable);
  b->setFixedSize(ToolBarHeight, ToolBarHeight);
  b->setIcon(ToolGlyph(b->objectName(), 16));
  b->setIconSize(QSize(16, 16));
  b->setAutoRaise(true);
  toolBar_->layout()->addWidget(b);
  return b;
}

QToolButton* TFGraf::Tool(const char* name) const {
  return toolBar_->findChild<QToolButton*>(QString::fromLatin1(name));
}

void TFGraf::ZoomToolClicked(QToolButton* clicked) {
  // A button pressed down releases the others of its group; pressed again it
  // comes up, leaving no tool.
  if (clicked->isChecked())
    for (const char* n : {"SpeedButton3", "SpeedButton5", "SpeedButton4", "SpeedButton9", "Mov"})
      if (QToolButton* b = Tool(n); b != clicked) b->setChecked(false);
  if (!window_) return;
  window_->ToolZoomVertical = Tool("SpeedButton3")->isChecked();
  window_->ToolZoomKeepLeft = Tool("SpeedButton5")->isChecked();
  window_->ToolZoomKeepRight = Tool("SpeedButton4")->isChecked();
  window_->ToolZoomByClicks = Tool("SpeedButton9")->isChecked();
}

void TFGraf::AxesToolClicked(bool separate) {
  Tool("SpeedButton2")->setChecked(separate);
  Tool("SpeedButton8")->setChecked(!separate);
  if (!window_) return;
  window_->SeparateAxes = separate;
  Repaint();
}

void TFGraf::SetCaption(const std::string& caption) {
  setWindowTitle(QString::fromStdString(caption));
}

void TFGraf::Repaint() {
  surface_->update();
}

void TFGraf::UpdateScrollBar() {
  if (!window_) return;
  const IndexRange full = window_->FullRange;
  const IndexRange shown = window_->DisplayedRange;
  const int fullWidth = full.Last - full.First;
  const int width = shown.Last - shown.First;
  updatingScrollBar_ = true;
  if (width >= fullWidth) {
    scrollBar_->setRange(1, 1);
    scrollBar_->setPageStep(1);
    scrollBar_->setValue(1);
  } else {
    // The thumb covers the displayed width, so the last position shows the
    // end of the full range.
    scrollBar_->setRange(0, fullWidth - width);
    scrollBar_->setPageStep(width);
    scrollBar_->setSingleStep(1);
    scrollBar_->setValue(shown.First - full.First);
  }
  updatingScrollBar_ = false;
}

void TFGraf::Scrolled(int position) {
  if (updatingScrollBar_ || !window_) return;
  TGrWin& w = *window_;
  const IndexRange full = w.FullRange;
  IndexRange& shown = w.DisplayedRange;
  const int width = shown.Last - shown.First;
  if (width >= full.Last - full.First) return;
  if (shown.Last >= full.Last && full.First + position > shown.First) {
    UpdateScrollBar();
    return;
  }
  const int oldFirst = shown.First;
  shown.First = full.First + position;
  shown.Last = shown.First + width;
  if (shown.Last > full.Last) {
    shown.Last = full.Last;
    shown.First = shown.Last - width;
  }
  if (shown.First == oldFirst) return;
  Repaint();
  const int action = scrollAction_;
  scrollAction_ = 0;
  if (action != QAbstractSlider::SliderMove && action != QAbstractSlider::SliderToMinimum &&
      action != QAbstractSlider::SliderToMaximum && !scrollBar_->isSliderDown())
    SourceChanged();
}

void TFGraf::SourceChanged() {
  if (window_ && window_->Type == SignalTraces) FeedIntervalSpectrum(windows_, ctx_, *window_);
}

void TFGraf::StepTimePoint(int step) {
  if (!window_ || !StepDistortion(ctx_, *window_, step)) return;
  windows_.RefreshCaption(*window_, ctx_.rec);
  RefreshTypeTools(*window_);
  Repaint();
}

void TFGraf::CloseLabelEditor() {
  if (window_) window_->LabelEditTarget = NoLabel;
  if (!editor_->isHidden()) HoldSize(false);
  editor_->hide();
}

void TFGraf::HoldSize(bool hold) {
  // The editor sits on a label, which a new layout would move away: while it
  // is shown the window keeps its size.
  QWidget* frame = SubWindow() ? static_cast<QWidget*>(SubWindow()) : this;
  if (hold) {
    heldMinimum_ = frame->minimumSize();
    heldMaximum_ = frame->maximumSize();
    frame->setFixedSize(frame->size());
  } else {
    frame->setMinimumSize(heldMinimum_);
    frame->setMaximumSize(heldMaximum_);
  }
}

QMdiSubWindow* TFGraf::SubWindow() const {
  return qobject_cast<QMdiSubWindow*>(parentWidget());
}

void TFGraf::BringToFront() {
  show();
  QMdiSubWindow* sub = SubWindow();
  if (!sub) {
    raise();
    activateWindow();
    return;
  }
  if (sub->isMinimized())
    sub->showNormal();
  else
    sub->show();
  if (sub->mdiArea()) sub->mdiArea()->setActiveSubWindow(sub);
}

void TFGraf::Close() {
  // Inside the main window the MDI child goes with its form; closing the form
  // alone would leave an empty frame behind.
  if (QMdiSubWindow* sub = SubWindow())
    sub->close();
  else
    close();
}

void TFGraf::UpdateTypeTools(const TypeTools& tools) {
  Tool("SpeedButton1")->setEnabled(tools.accumulationEnabled);
  if (window_) Tool("SpeedButton1")->setChecked(window_->Accumulating);
  for (const char* n : {"SpeedButton11", "SpeedButton12"})
    Tool(n)->setVisible(tools.stepButtonsVisible);
  Tool("SpeedButton11")->setEnabled(tools.nextEnabled);
  Tool("SpeedButton12")->setEnabled(tools.previousEnabled);
}

void TFGraf::HideIntervalSpectrumTools() {
  // An interval spectrum has one curve and no recordings of its own: no axis
  // modes, no accumulation, no comments.
  for (const char* n : {"SpeedButton1", "SpeedButton2", "SpeedButton8", "SpeedButton10"})
    Tool(n)->hide();
}

void TFGraf::closeEvent(QCloseEvent* event) {
  editor_->hide();
  TGrWin* gone = window_;
  window_ = nullptr;
  if (gone && gone->Form == this) gone->Form = nullptr;
  // Tag -1: the window set closed this form itself and has removed the window.
  if (tag_ >= 0) windows_.CloseWindow(tag_);
  tag_ = -1;
  event->accept();
}

void TFGraf::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && editor_->isVisible()) {
    CloseLabelEditor();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TFGraf::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && !isActiveWindow() && editor_->isVisible())
    CloseLabelEditor();
  QWidget::changeEvent(event);
}

bool TFGraf::eventFilter(QObject* watched, QEvent* event) {
  if (watched == editor_) {
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        ApplyEditor();
        return true;
      }
      if (key == Qt::Key_Escape) {
        CloseLabelEditor();
        return true;
      }
    } else if (event->type() == QEvent::FocusOut && editor_->isVisible()) {
      CloseLabelEditor();
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFGraf::PaintSurface(QPaintEvent*) {
  QPainter painter(surface_);
  if (!window_) {
    painter.fillRect(surface_->rect(), Qt::white);
    return;
  }
  window_->PlotWidth = surface_->width();
  window_->PlotHeight = surface_->height();
  QtCanvas canvas(painter);
  canvas.SetBrushColour(0xFFFFFF);
  canvas.FillRect(0, 0, surface_->width(), surface_->height());
  DrawRequest request;
  request.mouseX = mouseX_;
  DrawGraph(*window_, canvas, ctx_, request);
  textHeight_ = canvas.TextHeight("0");
}

bool TFGraf::TextCursorAt(int x, int y) const {
  return HitLabel(*window_, x, y, textHeight_).Target != NoLabel;
}

void TFGraf::MouseDown(int x, int y, Qt::MouseButton button) {
  if (!window_) return;
  if (editor_->isVisible()) {
    CloseLabelEditor();
    return;
  }
  if (IsHorizontalTool(*window_)) StartHorizontalDrag(*window_, x, y);
  if (InPlot(*window_, x, y)) StartVerticalDrag(*window_, x, y);
  if (button == Qt::LeftButton && TextCursorAt(x, y)) {
    OpenEditor(x, y);
    return;
  }
  SelectCurve(x, y);
}

void TFGraf::SelectCurve(int x, int y) {
  TGrWin& w = *window_;
  const int before = w.SelectedCurve;
  if (y >= w.ReadoutTop && y <= w.ReadoutBottom) {
    for (int k = 0; k < w.CurveCount; ++k)
      if (x >= w.Curves[k].ReadoutLeft && x <= w.Curves[k].ReadoutRight) w.SelectedCurve = k;
  } else {
    const IntRect r = w.PlotRect;
    if (BeyondPlot(w, x, y)) return;
    if (w.CurveCount == 1) {
      w.SelectedCurve = 0;
    } else if (w.SeparateAxes && w.CurveCount > 0 && r.Bottom > r.Top) {
      w.SelectedCurve = std::min(w.CurveCount - 1, w.CurveCount * (y - r.Top) / (r.Bottom - r.Top));
    }
  }
  mouseX_ = x;
  Repaint();
  if (w.SelectedCurve != before) SourceChanged();
}

void TFGraf::MouseMove(int x, int y) {
  if (!window_) return;
  TGrWin& w = *window_;
  const IntRect r = w.PlotRect;
  Qt::CursorShape cursor = Qt::ArrowCursor;
  if (!BeyondPlot(w, x, y)) {
    if (w.ToolZoomKeepRight || (w.ToolZoomKeepLeft && x != r.Left)) cursor = Qt::SizeHorCursor;
    if ((w.DragRightFixed || w.DragLeftFixed) && DragHorizontally(w, x)) {
      Repaint();
      UpdateScrollBar();
    }
    if ((w.ToolZoomVertical || w.DragVertical) && VerticalZoomApplies(w))
      cursor = Qt::SizeVerCursor;
    const int selected = w.SelectedCurve;
    if (DragVertically(w, y)) {
      Repaint();
      if (w.SourceWindow && w.SourceWindow->Form) w.SourceWindow->Form->Repaint();
    }
    // The drag selects curve 0 when none was: the interval spectrum follows.
    if (w.SelectedCurve != selected) SourceChanged();
  }
  w.HoveredBandCurve = -1;
  if (TextCursorAt(x, y)) cursor = Qt::IBeamCursor;
  surface_->setCursor(cursor);
  if (InPlot(w, x, y) && mouseX_ != x) {
    mouseX_ = x;
    Repaint();
  }
}

void TFGraf::MouseUp(int x, int y, Qt::MouseButton button) {
  if (!window_) return;
  TGrWin& w = *window_;
  const bool dragged = w.DragRightFixed || w.DragLeftFixed;
  EndDrags(w, Tool("SpeedButton3")->isChecked());
  if (dragged) SourceChanged();
  if (!w.ToolZoomByClicks || (button != Qt::LeftButton && button != Qt::RightButton)) return;
  if (ZoomByClick(w, x, y, button == Qt::LeftButton)) {
    UpdateScrollBar();
    mouseX_ = x;
    Repaint();
    SourceChanged();
  }
}

void TFGraf::OpenEditor(int x, int y) {
  TGrWin& w = *window_;
  if (!OpenLabelEditor(w, x, y, textHeight_)) return;
  QPoint at(x, y - 4);
  if (w.LabelEditTarget == LeftXLabel) {
    at = {w.LeftXLabelRect.Left, w.LeftXLabelRect.Top - 4};
  } else if (w.LabelEditTarget == RightXLabel) {
    at = {w.RightXLabelRect.Left - 24, w.RightXLabelRect.Top - 4};
  }
  editor_->setText(QString::number(w.EditorValue, 'f', EditorDigits(w.EditorValue)));
  editor_->resize(60, textHeight_ + 6);
  at.setX(std::clamp(at.x(), 0, std::max(0, surface_->width() - editor_->width())));
  at.setY(std::clamp(at.y(), 0, std::max(0, surface_->height() - editor_->height())));
  editor_->move(at);
  if (editor_->isHidden()) HoldSize(true);
  editor_->show();
  editor_->raise();
  editor_->setFocus();
  editor_->selectAll();
}

void TFGraf::ApplyEditor() {
  if (!window_) return;
  bool ok = false;
  const double n = editor_->text().toDouble(&ok);
  const int target = window_->LabelEditTarget;
  // Text that is no number changes nothing.
  const bool changed = ok && std::isfinite(n) && ApplyLabelEdit(*window_, n);
  CloseLabelEditor();
  if (!changed) return;
  Repaint();
  if (target == LeftXLabel || target == RightXLabel) {
    UpdateScrollBar();
    SourceChanged();
  }
}

}  // namespace kalvex
