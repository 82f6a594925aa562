// Taking a record from the main window: Start's refusals, the synthetic
// signal shown like a received record, and whole records from the unit
// simulator over a pseudo-terminal pair, with Stop and the unit's faults.

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <set>

#include "AcquisitionControl.h"
#include "QcPanel.h"
#include "EquipmentMenu.h"
#include "TForm1.h"
#include "acquisition/SyntheticSignal.h"
#include "acquisition/THardware.h"
#include "graphs/TGrWin.h"
#include "platform/ProgressPanelWidget.h"
#include "platform/SystemSerialLink.h"
#include "platform/TEditDig.h"
#include "platform/TFGraf.h"
#include "platform/TFSpecSet.h"
#include "qc/LimitProfile.h"
#include "recordings/RecordingModes.h"
#include "support/ModalAnswer.h"
#include "support/PseudoTerminalPair.h"
#include "support/SampleMainWindow.h"

namespace kalvex {
namespace {

TEST(AcquisitionControlTest, StartWithoutAPortChangesNothing) {
  test::SampleMainWindow w("dodida.qrm");
  ASSERT_TRUE(w.started);
  TForm1& main = *w.main;
  const std::vector<std::int16_t> before = main.Recording().Channels[1]->Samples;
  main.Action("Start")->trigger();  // the "USB" entry or none: no COM port
  main.Action("StartStop")->trigger();
  EXPECT_EQ(w.ui->errors, (std::vector<std::string>{"Задайте порт!", "Задайте порт!"}));
  EXPECT_EQ(main.Action("StartStop")->text(), "Пуск");
  EXPECT_FALSE(main.Acquisition().Running());
  EXPECT_TRUE(main.Action("Start")->isEnabled());
  EXPECT_FALSE(main.Action("Stop")->isEnabled());
  EXPECT_EQ(main.Recording().Channels[1]->Samples, before);
}

TEST(AcquisitionControlTest, ANewModeDropsTheRecordAndTheWindowsTheSameModeDoesNot) {
  test::SampleMainWindow w("dodida.qrm", {"/dev/ttyGONE0", "/dev/ttyGONE1"});
  ASSERT_TRUE(w.started);
  TForm1& main = *w.main;
  EXPECT_EQ(w.ui->equipmentPrompts, std::vector<bool>{true});  // mandatory at start-up
  // Devices of the command line that do not exist, named once.
  EXPECT_EQ(w.ui->errors, std::vector<std::string>{
                              "Не найдены устройства последовательных портов: /dev/ttyGONE0, /dev/ttyGONE1"});
  w.ui->equipmentChoices = {EquipmentChoice{0, Dodida, 0, 0}, EquipmentChoice{0, Similarity, 0, 0}};
  main.Action("Modes")->trigger();
  EXPECT_EQ(main.Windows().Count(), 1);
  EXPECT_TRUE(main.Recording().Channels[0]);
  // Unsaved data with questions asked: Cancel keeps mode and record.
  main.Settings().NoSaveConfirmation = false;
  main.Recording().Modified = true;
  w.ui->threeWayAnswers = {YesNoCancel::Cancel, YesNoCancel::No};
  main.Action("Modes")->trigger();
  EXPECT_EQ(w.ui->questions, std::vector<std::string>{"Сохранить данные в памяти?"});
  EXPECT_EQ(main.Recording().Mode, Dodida);
  EXPECT_EQ(main.Windows().Count(), 1);
  main.Qc().SetProfile(BuiltInLimitProfile());
  ASSERT_TRUE(main.Qc().Outcome());
  w.ui->equipmentChoices = {EquipmentChoice{0, Similarity, 0, 0}};
  main.Action("Modes")->trigger();
  EXPECT_FALSE(main.Qc().Outcome());  // its verdict went with the record
  EXPECT_EQ(main.Windows().Count(), 0);
  EXPECT_EQ(main.Area().subWindowList().size(), 0);
  EXPECT_FALSE(main.Recording().Channels[0]);
  EXPECT_EQ(main.Recording().Mode, Similarity);
  EXPECT_FALSE(main.Action("SaveAs")->isEnabled());
  EXPECT_FALSE(main.Action("SaveAsButton")->isEnabled());  // the tool bar's button too
  EXPECT_TRUE(main.windowTitle().endsWith("[Similarity]"));
}

TEST(AcquisitionControlTest, SyntheticSignalIsShownLikeAReceivedRecord) {
  test::SampleMainWindow w("dodida.qrm");
  ASSERT_TRUE(w.started);
  TForm1& main = *w.main;
  w.ui->editedTexts.push_back("синтетика");
  main.Action("Synthetic")->trigger();
  const TFrmFile& rec = main.Recording();
  EXPECT_EQ(rec.Name.rfind("Rec_", 0), 0u) << rec.Name;
  EXPECT_EQ(rec.Comment, "синтетика");
  EXPECT_EQ(rec.Origin, OriginAcquired);
  EXPECT_TRUE(rec.Modified);
  EXPECT_EQ(rec.Channels[0]->Samples[0], 0);  // the taper starts at 0
  EXPECT_TRUE(main.Action("SaveAs")->isEnabled());
  EXPECT_TRUE(main.Action("SaveAsButton")->isEnabled());
  ASSERT_EQ(main.Windows().Count(), 1);
  EXPECT_EQ(main.Windows().Window(0).Type, SignalTraces);
  EXPECT_TRUE(main.Form(0)->windowTitle().startsWith("Rec_"));
}

#if defined(KALVEX_HAS_PSEUDO_TERMINALS) && defined(KALVEX_UNIT_SIM)

// The main window against the unit simulator on a pseudo-terminal pair: the
// near end is added as a serial device and chosen in "Режимы".
class RecordFromUnit : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::PseudoTerminalPair::SocatAvailable()) GTEST_SKIP() << "socat is not installed";
    ASSERT_TRUE(pair_.Start());
    device_ = QString::fromStdString(pair_.A());
    AddSerialDevice(device_);
    // The recovery folder of this test alone.
    qputenv("XDG_DATA_HOME", data_.path().toLocal8Bit());
    window_ = std::make_unique<test::SampleMainWindow>("dodida.qrm");
    ASSERT_TRUE(window_->started);
    ui = window_->ui;
    main = window_->main.get();
    main->Settings().Timeout1 = main->Settings().Timeout2 = 2;
    before_ = main->Recording().Channels[1]->Samples;
    ASSERT_GT(port_ = PortOfDevice(), 0);
    ui->equipmentChoices.push_back(EquipmentChoice{0, Dodida, port_, 0});
    main->Action("Modes")->trigger();
    main->Equipment().Block().MarkParametersSet();
  }
  void TearDown() override { RemoveSerialDevice(device_); }

  int PortOfDevice() const {
    QtSerialLink link;
    const QString wanted = QFileInfo(device_).canonicalFilePath();
    for (const std::string& name : link.ProbePorts())
      if (QFileInfo(link.DeviceOf(name)).canonicalFilePath() == wanted)
        return PortNumberOfName(name);
    return 0;
  }

  void StartSimulator(std::vector<std::string> options) {
    const std::string log = (pair_.Dir() + "/sim.log").toStdString();
    std::vector<std::string> args{KALVEX_UNIT_SIM, "--port", pair_.B(), "--log", log};
    args.insert(args.end(), options.begin(), options.end());
    ASSERT_TRUE(sim_.Start(args));
    QFile file(QString::fromStdString(log));
    for (int i = 0; i < 250; ++i) {
      if (file.open(QIODevice::ReadOnly) && file.readAll().contains("opened")) return;
      file.close();
      QTest::qWait(20);
    }
    FAIL() << "the simulator did not open its port";
  }

  // Presses the start/stop button and follows the record to its end,
  // pressing it again once `stopWhen` holds; the result code.
  int Record(std::function<bool()> stopWhen = {}) {
    QSignalSpy ended(&main->Acquisition(), &AcquisitionControl::RecordEnded);
    auto* status = main->findChild<QLabel*>("StatusText");
    main->Action("StartStop")->trigger();
    EXPECT_TRUE(main->Acquisition().Running());
    EXPECT_FALSE(main->Action("Open")->isEnabled());  // nothing may change the record's shape
    QElapsedTimer clock;
    clock.start();
    while (ended.isEmpty() && clock.elapsed() < 30000) {
      if (!status->text().isEmpty()) statuses.insert(status->text().toStdString());
      progress.insert(main->ProgressPanel().Value());
      if (stopWhen && stopWhen()) {
        main->Action("StartStop")->trigger();
        EXPECT_EQ(main->Action("StartStop")->text(), "Пуск");  // at once
        main->Action("StartStop")->trigger();                  // before the end: nothing
        stopWhen = {};
      }
      QTest::qWait(10);
    }
    EXPECT_FALSE(ended.isEmpty());
    EXPECT_FALSE(main->Acquisition().Running());
    EXPECT_TRUE(main->Action("Open")->isEnabled());
    return ended.isEmpty() ? -1 : ended.front().front().toInt();
  }

  void ExpectNothingChanged() {
    EXPECT_EQ(main->Recording().Channels[1]->Samples, before_);
    EXPECT_EQ(main->Recording().Name.rfind("Rec_", 0), std::string::npos);
    QtSerialLink link;  // the port is free again
    const auto ports = link.ProbePorts();
    EXPECT_NE(std::find(ports.begin(), ports.end(), PortNameOf(port_)), ports.end());
  }

  test::PseudoTerminalPair pair_;
  test::ChildProcess sim_;
  QTemporaryDir data_;
  QString device_;
  int port_ = 0;
  std::unique_ptr<test::SampleMainWindow> window_;
  test::FakeUserInteraction* ui = nullptr;
  TForm1* main = nullptr;
  std::vector<std::int16_t> before_;
  std::set<std::string> statuses;
  std::set<int> progress;
};

TEST_F(RecordFromUnit, ARecordArrivesWithItsCommentAndShowsTheUnitsSignal) {
  StartSimulator({"--rate", "200000", "--delay-ms", "100"});
  ui->editedTexts.push_back("полевая запись");
  // Regression: a file's length other than the sweep plus 500 samples made
  // the record expect the wrong data size.
  main->Recording().RecordLength = static_cast<std::uint16_t>(main->Recording().RecordLength + 700);
  ASSERT_EQ(Record(), ResultComplete);
  EXPECT_EQ(main->Recording().RecordLength, main->Recording().SweepLength + 500);
  EXPECT_GE(statuses.size(), 2u);  // the phases of the exchange
  EXPECT_TRUE(
      std::any_of(progress.begin(), progress.end(), [](int v) { return v > 0 && v < 999; }));
  EXPECT_TRUE(ui->infos.empty());
  const TFrmFile& rec = main->Recording();
  EXPECT_EQ(rec.Name.rfind("Rec_", 0), 0u);
  EXPECT_EQ(rec.Comment, "полевая запись");
  EXPECT_TRUE(main->Form(0)->windowTitle().startsWith("Rec_"));
  // The unit sends channels 1 and 2 negated, as a healthy unit does; the
  // program's "Positive" rule turns them back: the signal of polarity
  // "Positive", as F5 makes it.
  const int n = rec.SweepLength, fs = rec.SampleRate;
  for (int c = 0; c < 3; ++c)
    for (int i : {0, 250, n / 3, n / 2, n - 1})
      ASSERT_EQ(rec.Channels[c]->Samples[i],
                static_cast<std::int16_t>(std::nearbyint(SyntheticSample(Dodida, c, i, n, fs, +1))))
          << c << " " << i;
  ui->saveChoices.push_back(window_->dir.filePath("record.qrm").toStdString());
  main->Action("SaveAs")->trigger();
  EXPECT_TRUE(QFileInfo::exists(window_->dir.filePath("record.qrm")));

  // The record was kept with its comment in the recovery folder, whatever
  // the unsaved-data setting, and opens again from "Последние записи…".
  const QFileInfoList kept =
      QDir(data_.filePath("kalvex_platform_tests/records")).entryInfoList(QDir::Files);
  ASSERT_EQ(kept.size(), 1);
  EXPECT_TRUE(kept[0].fileName().startsWith("Rec_"));
  EXPECT_EQ(kept[0].size(), QFileInfo(window_->dir.filePath("record.qrm")).size());
  ui->listChoices.push_back(0);
  main->Action("RecentRecords")->trigger();
  EXPECT_EQ(ui->lists.back().rows.at(0).at(2), "полевая запись");
  EXPECT_EQ(main->Recording().Name, kept[0].filePath().toStdString());
}

TEST_F(RecordFromUnit, StopWhileWaitingForTheHeaderOrDuringTheDataChangesNothing) {
  StartSimulator({"--delay-ms", "3000"});
  QElapsedTimer waiting;
  waiting.start();
  EXPECT_EQ(Record([&] { return waiting.elapsed() > 400; }), ResultStopped);
  ExpectNothingChanged();

  sim_.Stop();
  StartSimulator({"--rate", "4000", "--delay-ms", "50"});
  EXPECT_EQ(Record([&] { return progress.count(5) || progress.count(6) || progress.count(7); }),
            ResultStopped);
  EXPECT_TRUE(ui->infos.empty());  // a stop shows no message
  ExpectNothingChanged();
}

TEST_F(RecordFromUnit, ClosingDuringARecordStopsItAndFreesThePortFirst) {
  StartSimulator({"--delay-ms", "5000"});
  main->Action("Start")->trigger();
  ASSERT_TRUE(main->Acquisition().Running());
  QTest::qWait(300);
  EXPECT_TRUE(main->close());
  EXPECT_FALSE(main->Acquisition().Running());
  EXPECT_TRUE(ui->infos.empty());
  ExpectNothingChanged();
}

// Regression: time-outs changed in "Установки" during a record were not seen.
TEST_F(RecordFromUnit, TimeOutsChangedDuringARecordAreTakenAtTheNextCheck) {
  StartSimulator({"--delay-ms", "6000"});
  main->Settings().Timeout1 = 20;
  QTimer::singleShot(300, [this] {
    test::AnswerNextModal<TFSpecSet>([](TFSpecSet& d) {
      auto* timeout = d.findChild<TEditDig*>("Timeout1");
      timeout->clear();
      QTest::keyClicks(timeout, "1");
      d.findChild<QPushButton*>("Yes")->click();
    });
    main->Action("SpecialSettings")->trigger();
  });
  EXPECT_EQ(Record(), 14);  // no header within the new second
  ExpectNothingChanged();
}

TEST_F(RecordFromUnit, TheUnitsFaultsAreShownAndChangeNothing) {
  StartSimulator({"--no-header"});
  const int silent = Record();
  EXPECT_EQ(silent, 14);
  ASSERT_EQ(ui->infos.size(), 1u);
  EXPECT_EQ(ui->infos[0], AcquisitionResultMessage(14, PortNameOf(port_), 0));
  ExpectNothingChanged();

  sim_.Stop();
  StartSimulator({"--drop-after", "2000", "--rate", "20000"});
  EXPECT_NE(Record(), ResultComplete);
  EXPECT_EQ(ui->infos.size(), 2u);
  ExpectNothingChanged();
}

#endif

}  // namespace
}  // namespace kalvex
