// The desktop program started again where it was left: the project file
// written at closing brings back the title, the main window's place and the
// graph windows with their types and places, without the equipment prompt; a
// damaged file brings the prompt back instead.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "TForm1.h"
#include "graphs/TGrWin.h"
#include "platform/TFGraf.h"
#include "platform/TypeDialogWidget.h"
#include "support/FakeUserInteraction.h"
#include "support/ModalAnswer.h"
#include "support/QtApplication.h"

namespace kalvex {
namespace {

struct Started {
  explicit Started(const QString& file) {
    auto fake = std::make_unique<test::FakeUserInteraction>();
    ui = fake.get();
    main = std::make_unique<TForm1>(file, std::move(fake));
    QSignalSpy finished(main.get(), &TForm1::StartUpFinished);
    main->show();
    EXPECT_TRUE(finished.wait(5000));
  }
  QRect Frame(int i) const { return main->Form(i)->parentWidget()->geometry(); }
  std::vector<int> Types() const {
    std::vector<int> types;
    for (int i = 0; i < main->Windows().Count(); ++i)
      types.push_back(main->Windows().Window(i).Type);
    return types;
  }

  test::FakeUserInteraction* ui = nullptr;
  std::unique_ptr<TForm1> main;
};

// A new window of the type of "Графики" item `tag`, its dialog accepted with
// the first box of each group ticked.
void AddWindow(TForm1& main, const char* item) {
  main.Action("NewWindow")->trigger();
  test::AnswerNextModal<TypeDialogWidget>([](TypeDialogWidget& d) {
    for (QGroupBox* group : d.findChildren<QGroupBox*>())
      if (const auto ticks = group->findChildren<QCheckBox*>(); !ticks.isEmpty())
        ticks.front()->setChecked(true);
    d.OkButton()->click();
  });
  main.Action(item)->trigger();
}

TEST(ProjectKeeperTest, TheNextStartComesBackAsTheLastWasLeft) {
  test::EnsureApplication();
  QTemporaryDir work;
  const QString started = QDir::currentPath();
  QDir::setCurrent(work.path());  // the program directory
  const QString sample = work.filePath("dodida.qrm");
  QFile::copy(QStringLiteral(KALVEX_SAMPLES_DIR "/dodida.qrm"), sample);

  QString title;
  QRect place;
  std::vector<int> types;
  std::vector<QRect> frames;
  {
    Started first(sample);
    EXPECT_EQ(first.ui->equipmentPrompts.size(), 1u);
    AddWindow(*first.main, "GraphItem2");  // Amplitude
    AddWindow(*first.main, "GraphItem5");  // Spectrum
    first.main->Form(1)->parentWidget()->setGeometry(40, 30, 500, 300);
    first.main->setGeometry(30, 40, 1000, 700);
    title = first.main->windowTitle();
    place = first.main->geometry();
    types = first.Types();
    ASSERT_EQ(types, (std::vector<int>{SignalTraces, Amplitude, Spectrum}));
    for (int i = 0; i < 3; ++i) frames.push_back(first.Frame(i));
    EXPECT_TRUE(first.main->close());
    EXPECT_TRUE(first.ui->errors.empty());
  }
  const QString project = work.filePath("Kalvex.prj");
  EXPECT_EQ(QFileInfo(project).size(), 452 + 3 * 888);

  {
    Started again{QString()};
    EXPECT_TRUE(again.ui->equipmentPrompts.empty());
    EXPECT_EQ(again.main->windowTitle(), title);
    // (The test screen is smaller than the window: only its corner is kept.)
    EXPECT_EQ(again.main->geometry().topLeft(), place.topLeft());
    EXPECT_EQ(again.Types(), types);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(again.Frame(i), frames[i]) << i;
    // No samples came back: the windows show their empty graphs.
    EXPECT_EQ(again.main->Form(0)->windowTitle(), "Нет данных [Dodida]: Signal traces[REF,RM,BP]");
    EXPECT_EQ(QString::fromStdString(again.main->Recording().Name), sample);
  }

  QFile damaged(project);
  ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
  damaged.seek(10);
  damaged.write("\x09\x00", 2);  // mode 9
  damaged.close();
  {
    Started third{QString()};
    EXPECT_EQ(third.ui->equipmentPrompts.size(), 1u);
    EXPECT_EQ(third.main->Windows().Count(), 0);
  }
  QDir::setCurrent(started);
}

}  // namespace
}  // namespace kalvex
