#include "graphs/OptionTypeDialogs.h"

#include "graphs/GraphTypes.h"
#include "graphs/TGrWin.h"
#include "graphs/TypeDialogParts.h"
#include "recordings/RecordingModes.h"

namespace kalvex {

namespace {

using enum TextId;

// The contents topic stands in for the dialogs that have no topic of their own.
constexpr int ContentsTopic = 20;

std::optional<TextId> NeedsACheck(const std::vector<DialogCheck>& checks) {
  return AnyChecked(checks) ? std::nullopt : std::optional(NoDataChosen);
}

// Radio groups whose boxes belong to one of the radio items: checking a box
// chooses its item.
void ChooseGroupOfCheck(TypeDialogModel& m, int group, int check) {
  DialogGroup& g = m.groups[group];
  if (check >= 0 && check < int(g.checks.size()) && g.checks[check].checked && group > 0)
    m.groups[0].radio = group - 1;
}

// Power and actuator: radio items in group 0, each with its boxes in group
// item + 1. A box ticked chooses its item; the chosen item needs a box.
void TieBoxesToTheirGroup(TypeDialog& d) {
  d.checkChanged = ChooseGroupOfCheck;
  d.refusal = [](const TypeDialogModel& m) {
    return NeedsACheck(m.groups[1 + m.groups[0].radio].checks);
  };
}

}  // namespace

std::unique_ptr<TypeDialog> GroundDialog(int type, const TGrWin& w) {
  auto d = std::make_unique<TypeDialog>();
  TypeDialogModel& m = d->model;
  m.formName = "TFGround";
  const TextId word = type == Ground       ? DlgGroundWord
                      : type == AccCompare ? DlgAccCompareWord
                                           : DlgServoWord;
  m.caption = FormatText(DlgOptions, {ModeName(w.RecordingMode), Text(word)});
  DialogGroup g;
  if (type == Ground) {
    m.helpTopic = 219;
    g.title = Text(DlgGroupImpedance);
    g.checks = OptionChecks({OptionActive, OptionReactive, OptionModule},
                            {w.GroundActive, w.GroundReactive, w.GroundModule}, "CheckBox");
  } else if (type == AccCompare) {
    m.helpTopic = 221;
    g.title = Text(DlgGroupGraph);
    g.checks =
        OptionChecks({OptionAmplDiff, OptionPhaseDiff}, {w.AmplDiff, w.PhaseDiff}, "CheckBox");
  } else {
    m.helpTopic = 248;
    g.title = Text(DlgGroupGraph);
    g.checks = OptionChecks({DlgAmplitudeRatio, DlgPhaseLag},
                            {w.ServoOptions[0], w.ServoOptions[1]}, "CheckBox");
  }
  m.groups.push_back(std::move(g));
  d->refusal = [](const TypeDialogModel& m) { return NeedsACheck(m.groups[0].checks); };
  d->write = [type](const TypeDialogModel& m, TGrWin& w) {
    const auto& c = m.groups[0].checks;
    if (type == Ground) {
      w.GroundActive = c[0].checked;
      w.GroundReactive = c[1].checked;
      w.GroundModule = c[2].checked;
    } else if (type == AccCompare) {
      w.AmplDiff = c[0].checked;
      w.PhaseDiff = c[1].checked;
    } else {
      w.ServoOptions = {c[0].checked, c[1].checked};
    }
  };
  return d;
}

std::unique_ptr<TypeDialog> PowerDialog(const TGrWin& w) {
  auto d = NewTypeDialog("TFPower", Text(DlgPower), ContentsTopic);
  TypeDialogModel& m = d->model;
  m.groups.push_back({"",
                      {Text(DlgFundamentalPower), Text(DlgHarmonicPower)},
                      w.PowerDimension == 1 ? 1 : 0,
                      {},
                      {}});
  m.groups.push_back({Text(DlgFundamentalPower),
                      {},
                      -1,
                      OptionChecks({OptionActive, OptionReactive, OptionModule},
                                   {w.PowerActive, w.PowerReactive, w.PowerModule}, "CheckBox"),
                      {}});
  m.groups.push_back({Text(DlgHarmonicPower),
                      {},
                      -1,
                      OptionChecks({Option2dActive, Option3dActive},
                                   {w.Power2dActive, w.Power3dActive}, "HarmonicBox"),
                      {}});
  TieBoxesToTheirGroup(*d);
  d->write = [](const TypeDialogModel& m, TGrWin& w) {
    w.PowerDimension = m.groups[0].radio;
    const auto& f = m.groups[1].checks;
    const auto& h = m.groups[2].checks;
    w.PowerActive = f[0].checked;
    w.PowerReactive = f[1].checked;
    w.PowerModule = f[2].checked;
    w.Power2dActive = h[0].checked;
    w.Power3dActive = h[1].checked;
  };
  return d;
}

std::unique_ptr<TypeDialog> ActuatorDialog(const TGrWin& w) {
  auto d = NewTypeDialog("TFActuator", Text(DlgActuator), ContentsTopic);
  TypeDialogModel& m = d->model;
  const int choice = w.ActuatorChoice >= 0 && w.ActuatorChoice <= 3 ? w.ActuatorChoice : 0;
  m.groups.push_back(
      {"",
       {Text(DlgCfVsValve), Text(DlgGfVsCf), Text(DlgFundamentalPower), Text(DlgHarmonicPower)},
       choice,
       {},
       {}});
  const std::vector<std::pair<TextId, TextId>> boxes = {{DlgAmplitudeRatio, DlgPhaseLag},
                                                        {DlgAmplitudeRatio, DlgPhaseLag},
                                                        {OptionActive, OptionReactive},
                                                        {Option2dActive, Option3dActive}};
  for (int i = 0; i < 4; ++i) {
    // The stored options belong to the chosen group.
    const bool mine = i == choice;
    m.groups.push_back({m.groups[0].radios[i],
                        {},
                        -1,
                        OptionChecks({boxes[i].first, boxes[i].second},
                                     {mine && w.ActuatorOptions[0], mine && w.ActuatorOptions[1]},
                                     "Group" + std::to_string(i + 1) + "Box"),
                        {}});
  }
  TieBoxesToTheirGroup(*d);
  d->write = [](const TypeDialogModel& m, TGrWin& w) {
    w.ActuatorChoice = m.groups[0].radio;
    const auto& c = m.groups[1 + m.groups[0].radio].checks;
    w.ActuatorOptions = {c[0].checked, c[1].checked};
  };
  return d;
}

}  // namespace kalvex
