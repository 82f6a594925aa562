// kalvex-cli models: the four model lists of a folder as the program reads
// them at start-up.

#include <iostream>

#include "CliArgs.h"
#include "Commands.h"
#include "JsonWriter.h"
#include "ModelOptions.h"
#include "recordings/FormatNumber.h"

namespace kalvex::cli {
namespace {

template <typename Model>
void Common(JsonWriter& j, const Model& m) {
  j.Key("number").Integer(m.Number).Key("name").String(m.Name);
}

std::string ModelsJson(const ModelLists& lists) {
  JsonWriter j;
  j.BeginObject();
  j.Key("vib").BeginArray();
  for (const VibModel& m : lists.Vib) {
    j.BeginObject();
    Common(j, m);
    j.Key("hdw").Integer(m.HoldDownWeight).Key("rm").Integer(m.ReactionMassWeight);
    j.Key("bp").Integer(m.BaseplateWeight).Key("note").String(m.Note).EndObject();
  }
  j.EndArray().Key("acc").BeginArray();
  for (const AccModel& m : lists.Acc) {
    j.BeginObject();
    Common(j, m);
    j.Key("sensitivity").Number(m.Sensitivity).Key("delayCode").Integer(m.DelayCode);
    j.Key("note").String(m.Note).EndObject();
  }
  j.EndArray().Key("control").BeginArray();
  for (const ControlModel& m : lists.Control) {
    j.BeginObject();
    Common(j, m);
    j.Key("current").Number(m.Current).Key("testOut").Number(m.TestOut);
    j.Key("note").String(m.Note).EndObject();
  }
  j.EndArray().Key("source").BeginArray();
  for (const SourceModel& m : lists.Source) {
    j.BeginObject();
    Common(j, m);
    j.Key("rm").Integer(m.ReactionMassWeight).Key("bp").Integer(m.BaseplateWeight);
    j.Key("accRM").Number(m.AccRM).Key("accBP").Number(m.AccBP);
    j.Key("voltage").Number(m.Voltage).Key("current").Number(m.Current);
    j.Key("sensor").Number(m.Sensor).Key("note").String(m.Note).EndObject();
  }
  j.EndArray().EndObject();
  return j.Text();
}

// One block per file: its name and count, then a line per entry with its
// number, name, values (reals as the list dialogs show them) and note.
void PrintLists(const ModelLists& lists) {
  auto real = [](double x) { return FormatNumber(x, 2); };
  auto heading = [](ModelListKind kind, std::size_t count) {
    std::cout << ModelListFileName(kind) << ": " << count
              << (count == 1 ? " model\n" : " models\n");
  };
  auto start = [](const auto& m) { return "  " + std::to_string(m.Number) + ". " + m.Name + ": "; };
  auto note = [](const std::string& text) { return text.empty() ? "" : "  (" + text + ")"; };
  heading(ModelListKind::Vib, lists.Vib.size());
  for (const VibModel& m : lists.Vib)
    std::cout << start(m) << "HDW " << m.HoldDownWeight << " kg, RM " << m.ReactionMassWeight
              << " kg, BP " << m.BaseplateWeight << " kg" << note(m.Note) << "\n";
  heading(ModelListKind::Acc, lists.Acc.size());
  for (const AccModel& m : lists.Acc)
    std::cout << start(m) << real(m.Sensitivity) << " mV/g, delay code " << m.DelayCode
              << note(m.Note) << "\n";
  heading(ModelListKind::Control, lists.Control.size());
  for (const ControlModel& m : lists.Control)
    std::cout << start(m) << "Current " << real(m.Current) << " mV/mA, TestOut " << real(m.TestOut)
              << " V" << note(m.Note) << "\n";
  heading(ModelListKind::Source, lists.Source.size());
  for (const SourceModel& m : lists.Source)
    std::cout << start(m) << "RM " << m.ReactionMassWeight << " kg, BP " << m.BaseplateWeight
              << " kg, AccRM " << real(m.AccRM) << " mV/g, AccBP " << real(m.AccBP)
              << " mV/g, Voltage " << real(m.Voltage) << " V/kV, Current " << real(m.Current)
              << " V/kA, Sensor " << real(m.Sensor) << " V/m/s" << note(m.Note) << "\n";
}

}  // namespace

int RunModels(const Words& words, const QString&) {
  CliArgs args(words, {}, {"--json"});
  if (args.Positional().size() > 1)
    throw CliExit{ExitUsage, "usage: kalvex-cli models [DIR] [--json]"};
  const ModelLists lists =
      ReadModelListsIn(args.Positional().empty() ? std::string() : args.Positional()[0]);
  if (args.Has("--json"))
    std::cout << ModelsJson(lists) << "\n";
  else
    PrintLists(lists);
  return ExitOk;
}

}  // namespace kalvex::cli
