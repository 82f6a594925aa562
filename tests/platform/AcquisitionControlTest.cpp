// Taking a record from the main window: Start's refusals, the synthetic
// signal shown like a received record, and whole records from the unit
// simulator over a pseudo-terminal pair, with Stop and the unit's faults.

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "AcquisitionControl.h"
#include "EquipmentMenu.h"
#include "TForm1.h"
#include "graphs/TGrWin.h"
#include "platform/ProgressPanelWidget.h"
#include "platform/TFGraf.h"
#include "recordings/RecordingModes.h"
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
  ASSERT_EQ(main.Windows().Count(), 1);
  EXPECT_EQ(main.Windows().Window(0).Type, SignalTraces);
  EXPECT_TRUE(main.Form(0)->windowTitle().startsWith("Rec_"));
}

}  // namespace
}  // namespace kalvex
