#pragma once
// Building blocks shared by the graph type dialogs: channel check boxes with
// their unit lists, reading a channel selection back, and the common checks.

#include <memory>
#include <string>
#include <vector>

#include "graphs/CurveSlot.h"
#include "graphs/TypeDialogModel.h"

namespace kalvex {

// The unit list of a channel as the dialogs show it, each entry with the
// unit code it stands for; empty when the channel has no units to choose.
std::vector<UnitChoice> DialogUnits(int mode, int channel);

// A channel's name in the dialogs (mode 0 labels channel 1 "Current").
std::string DialogChannelName(const TFrmFile& rec, int mode, int channel);

// Check boxes named prefix + 1.. for `channels`, filled from `selection`;
// with `withUnits` each gets its unit list, the selected code's entry chosen
// (a one-entry list is always chosen).
std::vector<DialogCheck> ChannelChecks(const TFrmFile& rec, int mode,
                                       const std::vector<int>& channels,
                                       const ChannelSelection& selection, bool withUnits,
                                       const std::string& prefix = "CB");

// The selection the check boxes stand for: unchecked -1; checked the chosen
// unit's code, or 0 without a unit list.
ChannelSelection SelectionOf(const std::vector<DialogCheck>& checks);

bool AnyChecked(const std::vector<DialogCheck>& checks);
// A checked box whose unit list has nothing chosen.
bool CheckedWithoutUnit(const std::vector<DialogCheck>& checks);

// Plain check boxes (no units) named prefix + 1.. with the given labels,
// standing for slots 0.., filled from `on`.
std::vector<DialogCheck> OptionChecks(const std::vector<TextId>& labels,
                                      const std::vector<bool>& on, const std::string& prefix);

// A new dialog with its class name, caption and help topic.
std::unique_ptr<TypeDialog> NewTypeDialog(std::string formName, std::string caption, int helpTopic);

// A check box without units.
DialogCheck PlainCheck(std::string name, std::string label, bool checked);

// A list of the given texts.
DialogList TextList(const std::string& name, TextId label, const std::vector<TextId>& items,
                    int index);
// The channels 0.. of the mode by their dialog names.
std::vector<std::string> ChannelNames(const TFrmFile& rec, int mode,
                                      const std::vector<int>& channels);

// The channels 0..count-1 of the mode, the derived channel (ground force,
// average) included.
std::vector<int> AllChannels(int mode);

}  // namespace kalvex
