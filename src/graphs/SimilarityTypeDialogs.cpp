#include "graphs/SimilarityTypeDialogs.h"

#include <map>

#include "graphs/GraphTypes.h"
#include "graphs/TGrWin.h"
#include "graphs/TypeDialogParts.h"
#include "recordings/RecordingModes.h"
#include "recordings/TFrmFile.h"

namespace kalvex {

namespace {

using enum TextId;

constexpr int AverageSlot = 6;

// The reference, the similarity channels present in the recording, AVERAGE.
std::vector<DialogCheck> SimilarityChecks(const TFrmFile& rec, const ChannelSelection& selection) {
  std::vector<int> channels{0};
  for (int c = 1; c <= 5; ++c)
    if (rec.SimilarityChannels[c].Present) channels.push_back(c);
  channels.push_back(AverageSlot);
  std::vector<DialogCheck> checks = ChannelChecks(rec, Similarity, channels, selection, false);
  checks.back().label = Text(DlgAverage);
  return checks;
}

std::vector<TextId> UnitLabels() {
  return {UnitVolts, UnitTons, UnitLbs, UnitKn};
}

// Bits 1..5 of the checked similarity channels.
std::uint8_t AveragingMask(const std::vector<DialogCheck>& checks) {
  std::uint8_t mask = 0;
  for (const DialogCheck& c : checks)
    if (c.checked && c.slot >= 1 && c.slot <= 5) mask |= static_cast<std::uint8_t>(1 << c.slot);
  return mask;
}

std::optional<TextId> ChannelRefusal(const std::vector<DialogCheck>& checks) {
  if (!AnyChecked(checks)) return NoSignalChosen;
  return std::nullopt;
}

std::optional<TextId> AverageRefusal(const std::vector<DialogCheck>& checks) {
  if (checks.back().checked && AveragingMask(checks) == 0) return NoAverageChannels;
  return std::nullopt;
}

// The chosen channels into the family's selection, mask and AVERAGE flag.
void WriteChannels(const std::vector<DialogCheck>& checks, int type, ChannelSelection& selection,
                   TGrWin& w) {
  selection = SelectionOf(checks);
  const int family = AveragingFamilyOf(type);
  w.AveragingMasks[family] = AveragingMask(checks);
  w.AverageShown[family] = checks.back().checked;
}

ChannelSelection& SelectionFor(int type, TGrWin& w) {
  switch (type) {
    case Amplitude:
      return w.AmplitudeChannels;
    case Phase:
      return w.PhaseChannels;
    case Spectrum:
      return w.SpectrumChannels;
    case Correlation:
      return w.CorrelationChannels;
    case Harmonics:
      return w.HarmonicsChannels;
    default:
      return w.TraceChannels;
  }
}

}  // namespace

std::unique_ptr<TypeDialog> SimilaritySignalsDialog(int type, const TGrWin& w,
                                                    const TFrmFile& rec) {
  static const std::map<int, std::pair<TextId, int>> captions = {
      {SignalTraces, {DlgSimilarityTraces, 231}},
      {Amplitude, {DlgSimilarityAmplitude, 232}},
      {Phase, {DlgSimilarityPhase, 233}},
      {Spectrum, {DlgSimilaritySpectrum, 235}},
      {Correlation, {DlgSimilarityCorrelation, 236}}};
  auto d = NewTypeDialog("TFSigSimil", Text(captions.at(type).first), captions.at(type).second);
  TypeDialogModel& m = d->model;
  TGrWin copy = w;
  const ChannelSelection selection = SelectionFor(type, copy);
  m.groups.push_back({Text(DlgGroupSignals), {}, -1, SimilarityChecks(rec, selection), {}});

  // Group 1: what the type itself asks for.
  DialogGroup own{Text(DlgGroupYAxis), {}, -1, {}, {}};
  const bool withUnits = type == SignalTraces || type == Amplitude;
  if (withUnits) {
    const int refCode = selection[0] >= 0 ? selection[0] : 0;
    own.lists.push_back(TextList("ComboBox1", DlgAverage, UnitLabels(), refCode));
    own.lists.back().label = rec.ChannelName(Similarity, 0);
    own.lists.push_back(TextList("ComboBox7", DlgOtherChannels, UnitLabels(), w.AverageUnitCode));
  }
  if (type == Amplitude)
    own.lists.push_back(
        TextList("ComboBox2", DlgGroupSignalKind,
                 {MeasureFundamental, MeasureRms, MeasurePositivePeak, MeasureNegativePeak},
                 w.AmplitudeMeasure));
  if (type == Phase) {
    // The entries are the offered channels in slot order: the window's
    // reference is shown at its own entry, and as REF when its channel is no
    // longer offered (what "Да" then writes).
    DialogList reference{"ComboBox3", Text(DlgGroupReference), {}, 0};
    for (const DialogCheck& c : m.groups[0].checks) {
      if (c.slot == AverageSlot) continue;
      if (c.slot == w.PhaseReference) reference.index = static_cast<int>(reference.items.size());
      reference.items.push_back(c.label);
    }
    own.lists.push_back(reference);
  }
  if (type == Spectrum || type == Correlation)
    own.lists.push_back(TextList("ComboBox4", DlgGroupSignalKind, {ScaleLinearCapital, ScaleDb},
                                 (type == Spectrum ? w.SpectrumDb : w.CorrelationDb) ? 1 : 0));
  if (type == SignalTraces) {
    own.checks.push_back(
        PlainCheck("CheckBox12", Text(DlgGroupWindowSpectrum), w.IntervalSpectrumOn));
    own.lists.push_back(TextList("ComboBox6", DlgGroupWindowSpectrum, {ScaleLinear, ScaleDbCapital},
                                 w.IntervalSpectrumDb ? 1 : 0));
  }
  m.groups.push_back(std::move(own));

  d->refusal = [withUnits](const TypeDialogModel& m) -> std::optional<TextId> {
    const auto& checks = m.groups[0].checks;
    if (auto r = ChannelRefusal(checks)) return r;
    if (withUnits && (m.groups[1].lists[0].index < 0 || m.groups[1].lists[1].index < 0))
      return NoUnitChosen;
    return AverageRefusal(checks);
  };
  d->write = [type, withUnits](const TypeDialogModel& m, TGrWin& w) {
    const auto& checks = m.groups[0].checks;
    ChannelSelection& selection = SelectionFor(type, w);
    WriteChannels(checks, type, selection, w);
    const auto& lists = m.groups[1].lists;
    if (withUnits) {
      // The reference takes its own unit; every other channel, the average
      // included, the unit of the others.
      for (std::size_t c = 0; c < selection.size(); ++c)
        if (selection[c] >= 0)
          selection[c] = static_cast<std::int16_t>(lists[c == 0 ? 0 : 1].index);
      w.AverageUnitCode = static_cast<std::uint8_t>(lists[1].index);
    }
    if (type == Amplitude) w.AmplitudeMeasure = std::max(0, lists[2].index);
    if (type == Phase) {
      // The list holds the offered channels in slot order.
      const int index = std::max(0, lists[0].index);
      int slot = 0;
      for (int n = 0; const DialogCheck& c : checks)
        if (c.slot != AverageSlot && n++ == index) slot = c.slot;
      w.PhaseReference = slot;
    }
    if (type == Spectrum) w.SpectrumDb = lists[0].index == 1;
    if (type == Correlation) w.CorrelationDb = lists[0].index == 1;
    if (type == SignalTraces) {
      w.IntervalSpectrumOn = m.groups[1].checks[0].checked;
      w.IntervalSpectrumDb = lists[2].index == 1;
    }
  };
  return d;
}

std::unique_ptr<TypeDialog> SimilarityHarmonicsDialog(int type, const TGrWin& w,
                                                      const TFrmFile& rec) {
  const bool distortion = type == Distortion;
  auto d = NewTypeDialog(
      "TFSimilSig",
      FormatText(distortion ? DlgDistortion : DlgHarmonics, {Text(DlgSimilarityWord)}),
      distortion ? 238 : 237);
  TypeDialogModel& m = d->model;
  ChannelSelection selection = w.HarmonicsChannels;
  if (distortion) {
    selection = NoChannels;
    if (w.DistortionChannel >= 0 && w.DistortionChannel < int(selection.size()))
      selection[w.DistortionChannel] = 0;
  }
  m.groups.push_back({Text(DlgGroupSignals), {}, -1, SimilarityChecks(rec, selection), {}});
  if (distortion) {
    m.groups.push_back(
        {Text(DlgGroupGraphType),
         {Text(DisplayWaterfall), Text(Harmonic2), Text(Harmonic3)},
         w.DistortionDisplay >= 0 && w.DistortionDisplay <= 2 ? w.DistortionDisplay : 0,
         {},
         {}});
  } else {
    std::vector<bool> orders;
    for (std::int16_t o : w.HarmonicsOrders) orders.push_back(o >= 0);
    DialogGroup g{Text(DlgGroupGraphs),
                  {},
                  -1,
                  OptionChecks({HarmonicAll, HarmonicEven, HarmonicOdd, Harmonic2, Harmonic3,
                                Harmonic4, Harmonic5},
                               orders, "g"),
                  {}};
    for (std::size_t i = 0; i < g.checks.size(); ++i) g.checks[i].name = "g" + std::to_string(i);
    m.groups.push_back(std::move(g));
  }
  d->refusal = [distortion](const TypeDialogModel& m) -> std::optional<TextId> {
    const auto& checks = m.groups[0].checks;
    if (auto r = ChannelRefusal(checks)) return r;
    const DialogGroup& kind = m.groups[1];
    if (distortion ? kind.radio < 0 : !AnyChecked(kind.checks)) return NoGraphKindChosen;
    return AverageRefusal(checks);
  };
  d->write = [distortion](const TypeDialogModel& m, TGrWin& w) {
    const auto& checks = m.groups[0].checks;
    if (distortion) {
      // One channel is analysed: the first one chosen.
      ChannelSelection chosen = NoChannels;
      WriteChannels(checks, Distortion, chosen, w);
      w.DistortionChannel = NthSelected(chosen, 0);
      w.DistortionDisplay = m.groups[1].radio;
    } else {
      WriteChannels(checks, Harmonics, w.HarmonicsChannels, w);
      w.HarmonicsOrders = SelectionOf(m.groups[1].checks);
    }
  };
  return d;
}

}  // namespace kalvex
