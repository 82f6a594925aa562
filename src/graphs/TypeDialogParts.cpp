#include "graphs/TypeDialogParts.h"

#include <algorithm>

#include "recordings/RecordingModes.h"
#include "recordings/TFrmFile.h"

namespace kalvex {

namespace {

std::vector<UnitChoice> Units(std::initializer_list<TextId> labels) {
  std::vector<UnitChoice> units;
  for (TextId id : labels) units.push_back({Text(id), static_cast<int>(units.size())});
  return units;
}

}  // namespace

std::vector<UnitChoice> DialogUnits(int mode, int channel) {
  using enum TextId;
  if (channel == 0) return Units({UnitVolts});
  switch (mode) {
    case Velnarund:
    case Tarpokline:
      if (channel == 4 || channel == 5)
        return Units({UnitVolts, UnitG, UnitTons, UnitLbsLower, UnitKn});
      if (channel == 6) return Units({UnitTons, UnitLbsLower, UnitKn});
      if (mode == Velnarund) return Units({UnitVolts, channel == 1 ? UnitMa : UnitMm});
      return Units({UnitVolts, channel == 1 ? UnitKv : channel == 2 ? UnitKa : UnitMm});
    case Dodida:
      if (channel == 3) return Units({UnitTons, UnitLbs, UnitKn});
      return Units({UnitVolts, UnitG, UnitTons, UnitLbs, UnitKn});
    case Ombrel16:
      return Units({UnitTons, UnitLbs, UnitKn, UnitVolts});
    default:
      return {};
  }
}

std::string DialogChannelName(const TFrmFile& rec, int mode, int channel) {
  if (mode == Velnarund && channel == 1) return Text(TextId::DlgCurrent);
  return rec.ChannelName(mode, channel);
}

std::vector<int> AllChannels(int mode) {
  std::vector<int> channels;
  for (int c = 0; c < ChannelCount(mode); ++c) channels.push_back(c);
  if (mode != Ombrel16) channels.push_back(ChannelCount(mode));
  return channels;
}

std::vector<DialogCheck> ChannelChecks(const TFrmFile& rec, int mode,
                                       const std::vector<int>& channels,
                                       const ChannelSelection& selection, bool withUnits,
                                       const std::string& prefix) {
  std::vector<DialogCheck> checks;
  for (int c : channels) {
    DialogCheck check;
    check.name = prefix + std::to_string(checks.size() + 1);
    check.label = DialogChannelName(rec, mode, c);
    check.slot = c;
    const int value = c >= 0 && c < int(selection.size()) ? selection[c] : -1;
    check.checked = value >= 0;
    if (withUnits) check.units = DialogUnits(mode, c);
    for (int i = 0; i < int(check.units.size()); ++i)
      if (check.units[i].code == value) check.unit = i;
    if (check.units.size() == 1) check.unit = 0;
    checks.push_back(std::move(check));
  }
  return checks;
}

ChannelSelection SelectionOf(const std::vector<DialogCheck>& checks) {
  ChannelSelection selection = NoChannels;
  for (const DialogCheck& c : checks) {
    if (!c.checked || c.slot < 0 || c.slot >= int(selection.size())) continue;
    const bool hasUnit = c.unit >= 0 && c.unit < int(c.units.size());
    selection[c.slot] = static_cast<std::int16_t>(hasUnit ? c.units[c.unit].code : 0);
  }
  return selection;
}

bool AnyChecked(const std::vector<DialogCheck>& checks) {
  return std::any_of(checks.begin(), checks.end(), [](const DialogCheck& c) { return c.checked; });
}

bool CheckedWithoutUnit(const std::vector<DialogCheck>& checks) {
  return std::any_of(checks.begin(), checks.end(), [](const DialogCheck& c) {
    return c.checked && !c.units.empty() && (c.unit < 0 || c.unit >= int(c.units.size()));
  });
}

std::vector<DialogCheck> OptionChecks(const std::vector<TextId>& labels,
                                      const std::vector<bool>& on, const std::string& prefix) {
  std::vector<DialogCheck> checks;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    DialogCheck check =
        PlainCheck(prefix + std::to_string(i + 1), Text(labels[i]), i < on.size() && on[i]);
    check.slot = static_cast<int>(i);
    checks.push_back(std::move(check));
  }
  return checks;
}

std::unique_ptr<TypeDialog> NewTypeDialog(std::string formName, std::string caption,
                                          int helpTopic) {
  auto d = std::make_unique<TypeDialog>();
  d->model.formName = std::move(formName);
  d->model.caption = std::move(caption);
  d->model.helpTopic = helpTopic;
  return d;
}

DialogCheck PlainCheck(std::string name, std::string label, bool checked) {
  DialogCheck check;
  check.name = std::move(name);
  check.label = std::move(label);
  check.checked = checked;
  return check;
}

DialogList TextList(const std::string& name, TextId label, const std::vector<TextId>& items,
                    int index) {
  DialogList list{name, Text(label), {}, -1};
  for (TextId id : items) list.items.push_back(Text(id));
  if (index >= 0 && index < int(list.items.size())) list.index = index;
  return list;
}

std::vector<std::string> ChannelNames(const TFrmFile& rec, int mode,
                                      const std::vector<int>& channels) {
  std::vector<std::string> names;
  for (int c : channels) names.push_back(DialogChannelName(rec, mode, c));
  return names;
}

}  // namespace kalvex
