// The equipment dialog without widgets (port list, preselection, the
// equipment rules, what "Да" checks and returns), the mode change that
// follows it, and the command file sender over a scripted link.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "acquisition/CommandBlock.h"
#include "acquisition/CommandFileSender.h"
#include "acquisition/EquipmentCommand.h"
#include "acquisition/EquipmentDialog.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "support/FakeSerialLink.h"
#include "support/FakeUserInteraction.h"

namespace kalvex {
namespace {

using test::FakeSerialLink;
using test::FakeUserInteraction;
using Op = FakeSerialLink::Op;

const std::string kSetPort = "Установите порт!";
const std::string kSetMode = "Установите режим!";

EquipmentChoice Choice(int equipment, int mode, int port, int baud = 0) {
  return {equipment, mode, port, baud};
}

// ---------------------------------------------------------------- the dialog

TEST(EquipmentDialogPorts, FreePortsThenUsbWithTheStoredPortChosenOnlyWhenListed) {
  FakeSerialLink link;
  link.probeResult = {"COM1", "COM3"};  // COM2 is held by another program
  link.portDescriptions["COM1"] = "/dev/ttyUSB0";

  EquipmentDialog atThree(Choice(0, Similarity, 3), false, link);
  std::vector<std::string> labels;
  for (const PortEntry& entry : atThree.Ports()) labels.push_back(entry.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"COM1  /dev/ttyUSB0", "COM3", "USB"}));
  EXPECT_EQ(atThree.PortIndex(), 1);

  EXPECT_EQ(EquipmentDialog(Choice(0, Similarity, 0), false, link).PortIndex(), 2);
  EXPECT_EQ(EquipmentDialog(Choice(0, Similarity, -1), false, link).PortIndex(), -1);

  // The stored port has gone (or is busy): nothing is chosen, and "Да" asks for a port.
  FakeUserInteraction ui;
  EquipmentDialog gone(Choice(0, Similarity, 2), false, link);
  EXPECT_EQ(gone.PortIndex(), -1);
  EXPECT_FALSE(gone.Accept(ui));
  EXPECT_EQ(ui.errors, std::vector<std::string>{kSetPort});

  // The number comes from the entry's name, not its label; "USB" is port 0.
  gone.SelectPort(0);
  EXPECT_EQ(gone.Accept(ui)->PortNumber, 1);
  gone.SelectPort(2);
  EXPECT_EQ(gone.Accept(ui)->PortNumber, 0);
}

TEST(EquipmentDialogAccept, PortIsCheckedBeforeModeAndTheChoiceComesBackWhole) {
  FakeSerialLink link;
  link.probeResult = {"COM2"};
  FakeUserInteraction ui;

  // Neither a port nor a mode: only the port is asked for.
  EquipmentDialog neither(Choice(0, NoSignal, 5), false, link);
  EXPECT_EQ(neither.Mode(), -1);
  EXPECT_FALSE(neither.Accept(ui));
  EXPECT_EQ(ui.errors, std::vector<std::string>{kSetPort});

  ui.Clear();
  neither.SelectPort(0);
  EXPECT_FALSE(neither.Accept(ui));
  EXPECT_EQ(ui.errors, std::vector<std::string>{kSetMode});

  ui.Clear();
  EXPECT_EQ(EquipmentDialog(Choice(1, Ombrel16, 2, 1), false, link).Accept(ui),
            Choice(1, Ombrel16, 2, 1));
  EXPECT_TRUE(ui.errors.empty());
  // A baud index the hidden choice does not hold reads as its first item.
  EXPECT_EQ(EquipmentDialog(Choice(0, Dodida, 2, 7), false, link).BaudIndex(), 0);
}

TEST(EquipmentDialogRules, TheNotebookUnitTakesDodidaOrOmbrel16AndTheQuorimeterEveryMode) {
  FakeSerialLink link;
  link.probeResult = {"COM1"};
  FakeUserInteraction ui;

  EquipmentDialog d(Choice(0, Similarity, 1), false, link);
  for (int m = 0; m < EquipmentDialog::ModeCount; ++m) EXPECT_TRUE(d.ModeEnabled(m)) << m;

  // "Notebook Marlo" while "Similarity" is chosen: "Dodida", and only 3 and 4 can be chosen.
  d.ClickEquipment(1);
  EXPECT_EQ(d.Mode(), Dodida);
  for (int m = 0; m < EquipmentDialog::ModeCount; ++m)
    EXPECT_EQ(d.ModeEnabled(m), m == Dodida || m == Ombrel16) << m;
  d.ClickMode(Similarity);
  EXPECT_EQ(d.Mode(), Dodida);
  d.ClickMode(Ombrel16);
  d.ClickEquipment(1);  // clicking it again keeps a mode the unit records
  EXPECT_EQ(d.Mode(), Ombrel16);

  // Back to the Quorimeter: Tarpokline can be chosen, and a click on the button keeps it.
  d.ClickEquipment(0);
  d.ClickMode(Tarpokline);
  d.ClickEquipment(0);
  EXPECT_EQ(d.Accept(ui), Choice(0, Tarpokline, 1));

  // Without a mode, either equipment button chooses "Dodida".
  EquipmentDialog none(Choice(0, NoSignal, 1), false, link);
  none.ClickEquipment(0);
  EXPECT_EQ(none.Mode(), Dodida);

  // A mode a project gave the notebook unit shows until the equipment is clicked.
  EquipmentDialog fromProject(Choice(1, Velnarund, 1), false, link);
  EXPECT_FALSE(fromProject.ModeEnabled(Velnarund));
  EXPECT_EQ(fromProject.Accept(ui)->Mode, Velnarund);
  fromProject.ClickEquipment(1);
  EXPECT_EQ(fromProject.Mode(), Dodida);
}

TEST(EquipmentDialogMandatory, OnlyTheMenuCommandMayEndWithoutYes) {
  FakeSerialLink link;
  EXPECT_FALSE(EquipmentDialog(Choice(0, Velnarund, 0), true, link).MayCancel());
  EXPECT_TRUE(EquipmentDialog(Choice(0, Velnarund, 0), false, link).MayCancel());
}

// ---------------------------------------------------------------- the mode change

struct ModeChangeFixture {
  explicit ModeChangeFixture(int mode, bool accumulating = false) : accumulating(accumulating) {
    rec.Mode = static_cast<std::uint8_t>(mode);
    values.CurrentMode = mode;
    values.ChannelOffset = mode == Dodida ? 2 : 0;
    for (int slot = 0; slot < ChannelCount(mode); ++slot) {
      rec.Channels[slot] = std::make_unique<SampleArray>();
      rec.Channels[slot]->Samples.assign(100, 7);
    }
    steps.anyAccumulating = [this] { return this->accumulating; };
    steps.discardAccumulated = [this] { done.push_back("discard"); };
    steps.clearAll = [this] { done.push_back("clear"); };
    steps.closeAll = [this] {
      // The windows close after the channels have gone.
      done.push_back(rec.Channels[0] ? "close with channels" : "close");
    };
    steps.disableRecordMenus = [this] { done.push_back("menus"); };
    steps.setTitle = [this](const std::string& t) { title = t; };
  }

  TFrmFile rec;
  ProcessValues values;
  ModeWindowSteps steps;
  bool accumulating;
  std::vector<std::string> done;
  std::string title;
};

TEST(ModeChange, ANewModeDropsRecordAndWindowsAndTheSameModeKeepsThem) {
  ModeChangeFixture f(Dodida, true);
  f.rec.FrameAnalyses[1] = std::make_unique<FrameAnalysis>(3);
  f.rec.AnalysisValid[1] = true;
  EXPECT_TRUE(ApplyEquipmentChoice(Choice(0, Similarity, 4, 1), f.rec, f.values, f.steps));
  EXPECT_EQ(f.done, (std::vector<std::string>{"discard", "clear", "close", "menus"}));
  for (const auto& channel : f.rec.Channels) EXPECT_FALSE(channel);
  EXPECT_FALSE(f.rec.FrameAnalyses[1] || f.rec.AnalysisValid[1]);  // the old samples' analyses
  EXPECT_EQ(f.rec.Mode, Similarity);
  EXPECT_EQ(f.values.CurrentMode, Similarity);
  EXPECT_EQ(f.values.ChannelOffset, 0);
  EXPECT_EQ(f.values.PortNumber, 4);
  EXPECT_EQ(f.values.BaudIndex, 1);
  EXPECT_EQ(f.title, "Программа обработки сигналов: Quorimeter [Similarity]");

  // Windows that do not accumulate are only cleared.
  ModeChangeFixture plain(Similarity);
  EXPECT_TRUE(ApplyEquipmentChoice(Choice(1, Dodida, 0), plain.rec, plain.values, plain.steps));
  EXPECT_EQ(plain.done, (std::vector<std::string>{"clear", "close", "menus"}));

  // Re-confirming "Dodida" with another port and equipment touches no window or channel.
  ModeChangeFixture same(Dodida, true);
  EXPECT_FALSE(ApplyEquipmentChoice(Choice(1, Dodida, 7), same.rec, same.values, same.steps));
  EXPECT_TRUE(same.done.empty());
  ASSERT_TRUE(same.rec.Channels[2]);
  EXPECT_EQ(same.rec.Channels[2]->Samples[99], 7);
  EXPECT_EQ(same.values.ChannelOffset, 2);
  EXPECT_EQ(same.values.PortNumber, 7);
  EXPECT_EQ(same.values.EquipmentIndex, 1);
  EXPECT_EQ(same.title, "Программа обработки сигналов: Notebook Marlo/ВЕКТ.020 [Dodida]");
}

TEST(ModeChange, TheStartupPromptStoresTheChoiceAndDropsNothing) {
  ModeChangeFixture f(Velnarund);
  // It opens with no mode chosen, so that one must be set.
  FakeSerialLink link;
  EquipmentDialog prompt(StartupPromptChoice(f.values), true, link);
  EXPECT_EQ(prompt.Mode(), -1);
  FakeUserInteraction ui;
  EXPECT_FALSE(prompt.Accept(ui));
  EXPECT_EQ(ui.errors, std::vector<std::string>{"Установите режим!"});
  ApplyStartupEquipmentChoice(Choice(1, Dodida, 2, 1), f.rec, f.values, f.steps);
  EXPECT_TRUE(f.done.empty());
  EXPECT_TRUE(f.rec.Channels[0]);
  EXPECT_EQ(f.values.EquipmentIndex, 1);
  EXPECT_EQ(f.values.CurrentMode, Dodida);
  EXPECT_EQ(f.values.ChannelOffset, 2);
  EXPECT_EQ(f.values.PortNumber, 2);
  EXPECT_EQ(f.title, "Программа обработки сигналов: Notebook Marlo/ВЕКТ.020 [Dodida]");
}

// ---------------------------------------------------------------- the command file

CommandBlock SampleBlock() {
  CommandBlock block;
  for (int i = 0; i < CommandBlockSize; ++i) block.Bytes[i] = static_cast<std::uint8_t>(0xCC - i);
  return block;
}

TEST(CommandFileSender, EachOutcomeIsToldAndThePortIsClosedEveryTime) {
  const CommandBlock block = SampleBlock();
  const std::string sent = "Передано 23 байтов из 23";

  {  // Sent: no purge, the 23 bytes, closed.
    FakeSerialLink link;
    FakeUserInteraction ui;
    EXPECT_TRUE(WriteCommandFile(block, "COM3", link, ui));
    EXPECT_EQ(link.Ops(), (std::vector<Op>{Op::OpenCommandWithoutPurge, Op::Write, Op::Close}));
    EXPECT_EQ(link.calls[0].port, "COM3");
    EXPECT_EQ(link.calls[1].bytes,
              std::vector<std::uint8_t>(block.Bytes.begin(), block.Bytes.end()));
    EXPECT_EQ(ui.infos, std::vector<std::string>{sent});
    EXPECT_TRUE(ui.errors.empty());
  }
  {  // The port does not open: said, nothing written.
    FakeSerialLink link;
    link.unpurgedOpens = {{LinkStep::Open, 2}};
    FakeUserInteraction ui;
    EXPECT_FALSE(WriteCommandFile(block, "COM3", link, ui));
    EXPECT_EQ(link.CountOf(Op::Write), 0);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(ui.infos, std::vector<std::string>{"Unable to open COM3"});
    EXPECT_TRUE(ui.errors.empty());
  }
  // The mode string or the line settings are refused: said, and the bytes
  // still go.
  for (LinkStep refused : {LinkStep::ModeString, LinkStep::LineSettings}) {
    FakeSerialLink link;
    link.unpurgedOpens = {{refused, 9}};
    FakeUserInteraction ui;
    EXPECT_TRUE(WriteCommandFile(block, "COM3", link, ui));
    EXPECT_EQ(link.Ops(), (std::vector<Op>{Op::OpenCommandWithoutPurge, Op::Write, Op::Close}));
    EXPECT_EQ(ui.infos, (std::vector<std::string>{"Не удалось установить параметры порта", sent}));
  }
  {  // The write fails: the system's error number, and the port still closes.
    FakeSerialLink link;
    link.writes = {{LinkStep::Write, 12}};
    FakeUserInteraction ui;
    EXPECT_FALSE(WriteCommandFile(block, "COM3", link, ui));
    EXPECT_EQ(link.calls.back().op, Op::Close);
    EXPECT_FALSE(link.IsOpen());
    EXPECT_EQ(ui.errors, std::vector<std::string>{"Ошибка передачи данных: 12"});
    EXPECT_TRUE(ui.infos.empty());
  }

  EXPECT_EQ(CommandFilePortName(5), "COM5");
  EXPECT_EQ(CommandFilePortName(0), "");
  EXPECT_EQ(CommandFilePortName(-1), "");
}

}  // namespace
}  // namespace kalvex
