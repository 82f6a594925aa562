// The dialogs that choose channels (with units where the type has them) and
// the type's own choices: signal traces, amplitude, phase, distortion and
// frequency, harmonics, spectrum and correlation, for every mode but 2.

#include "graphs/ChannelTypeDialogs.h"

#include <map>

#include "graphs/GraphTypes.h"
#include "graphs/TGrWin.h"
#include "graphs/TypeDialogParts.h"
#include "recordings/RecordingModes.h"
#include "recordings/TFrmFile.h"

namespace kalvex {

namespace {

using enum TextId;

// Channels offered for traces, amplitude and spectra: the recorded channels
// and the derived one.
std::vector<int> TraceChannels(int mode) {
  return AllChannels(mode);
}

// Harmonics are not asked of the reference channel.
std::vector<int> HarmonicChannels(int mode) {
  std::vector<int> channels = AllChannels(mode);
  channels.erase(channels.begin());
  return channels;
}

std::string ModeCaption(TextId pattern, int mode) {
  return FormatText(pattern, {ModeName(mode)});
}

// Group 0 holds the channel check boxes in each of these dialogs.
std::optional<TextId> ChannelsWithUnits(const TypeDialogModel& m) {
  if (!AnyChecked(m.groups[0].checks)) return NoSignalChosen;
  if (CheckedWithoutUnit(m.groups[0].checks)) return NoUnitChosen;
  return std::nullopt;
}

std::optional<TextId> ChannelsChosen(const TypeDialogModel& m) {
  if (!AnyChecked(m.groups[0].checks)) return NoSignalChosen;
  return std::nullopt;
}

// Dialogs of a channel group (0) and one list in group 1: the channels'
// refusal, then `unchosen` while the list has nothing chosen; the selection
// and the list's index are written back.
void ChannelsAndOneChoice(TypeDialog& d,
                          std::optional<TextId> (*channelsRefusal)(const TypeDialogModel&),
                          TextId unchosen, ChannelSelection TGrWin::*selection,
                          std::int32_t TGrWin::*choice) {
  d.refusal = [=](const TypeDialogModel& m) -> std::optional<TextId> {
    if (auto r = channelsRefusal(m)) return r;
    if (m.groups[1].lists[0].index < 0) return unchosen;
    return std::nullopt;
  };
  d.write = [=](const TypeDialogModel& m, TGrWin& w) {
    w.*selection = SelectionOf(m.groups[0].checks);
    w.*choice = m.groups[1].lists[0].index;
  };
}

DialogGroup WindowSpectrumGroup(const TGrWin& w) {
  DialogGroup g{Text(DlgGroupWindowSpectrum), {}, -1, {}, {}};
  g.checks.push_back(PlainCheck("CheckBox1", Text(DlgShowWindowSpectrum), w.IntervalSpectrumOn));
  g.lists.push_back(TextList("ComboBox6", DlgGroupGraphType, {ScaleLinear, ScaleDb},
                             w.IntervalSpectrumDb ? 1 : 0));
  return g;
}

void WriteWindowSpectrum(const DialogGroup& g, TGrWin& w) {
  w.IntervalSpectrumOn = g.checks[0].checked;
  w.IntervalSpectrumDb = g.lists[0].index == 1;
}

}  // namespace

std::unique_ptr<TypeDialog> TracesDialog(const TGrWin& w, const TFrmFile& rec) {
  const int mode = w.RecordingMode;
  static const std::map<int, std::pair<const char*, TextId>> forms = {
      {Velnarund, {"TFSigPuls", DlgVelnarundTraces}},
      {Tarpokline, {"TFSigPuls", DlgTarpoklineTraces}},
      {Dodida, {"TFSignal", DlgDodidaTraces}},
      {Ombrel16, {"TFSignal16", DlgOmbrelTraces}}};
  const auto& [form, caption] = forms.at(mode);
  auto d = NewTypeDialog(form, Text(caption), 211);
  TypeDialogModel& m = d->model;
  m.groups.push_back({Text(DlgGroupSignals),
                      {},
                      -1,
                      ChannelChecks(rec, mode, TraceChannels(mode), w.TraceChannels, true),
                      {}});
  const bool windowSpectrum = mode == Dodida || mode == Ombrel16;
  if (windowSpectrum) m.groups.push_back(WindowSpectrumGroup(w));
  d->refusal = ChannelsWithUnits;
  d->write = [windowSpectrum](const TypeDialogModel& m, TGrWin& w) {
    w.TraceChannels = SelectionOf(m.groups[0].checks);
    if (windowSpectrum) WriteWindowSpectrum(m.groups[1], w);
  };
  return d;
}

std::unique_ptr<TypeDialog> AmplitudeDialog(const TGrWin& w, const TFrmFile& rec) {
  const int mode = w.RecordingMode;
  const bool dodida = mode == Dodida;
  auto d = NewTypeDialog(dodida ? "TFSignal" : "TFAmpitude",
                         dodida ? Text(DlgDodidaAmplitude) : ModeCaption(DlgAmplitude, mode),
                         dodida ? 212 : 202);
  TypeDialogModel& m = d->model;
  m.groups.push_back(
      {Text(DlgGroupSignals),
       {},
       -1,
       ChannelChecks(rec, mode, TraceChannels(mode), w.AmplitudeChannels, true, "CheckBox"),
       {}});
  const std::vector<TextId> measures =
      dodida
          ? std::vector{MeasureFundamental, MeasureRms, MeasurePositivePeek, MeasureNegativePeek}
          : std::vector{MeasureFundamental, MeasureRms, MeasurePositivePeak, MeasureNegativePeak};
  m.groups.push_back({Text(dodida ? DlgGroupSignalType : DlgGroupGraphType),
                      {},
                      -1,
                      {},
                      {TextList(dodida ? "ComboBox5" : "CBtype", DlgGroupSignalKind, measures,
                                w.AmplitudeMeasure)}});
  ChannelsAndOneChoice(*d, ChannelsWithUnits, NoMeasureChosen, &TGrWin::AmplitudeChannels,
                       &TGrWin::AmplitudeMeasure);
  return d;
}

std::unique_ptr<TypeDialog> PhaseDialog(const TGrWin& w, const TFrmFile& rec) {
  const int mode = w.RecordingMode;
  auto d = NewTypeDialog("TFPhase", ModeCaption(DlgPhase, mode), mode == Dodida ? 213 : 203);
  TypeDialogModel& m = d->model;
  const std::vector<int> channels = AllChannels(mode);
  m.groups.push_back({Text(DlgGroupSignals),
                      {},
                      -1,
                      ChannelChecks(rec, mode, channels, w.PhaseChannels, false),
                      {}});
  DialogList reference{"ComboBox1", "", ChannelNames(rec, mode, channels), -1};
  if (w.PhaseReference >= 0 && w.PhaseReference < int(channels.size()))
    reference.index = w.PhaseReference;
  m.groups.push_back({Text(DlgGroupReference), {}, -1, {}, {reference}});
  d->refusal = ChannelsChosen;
  d->write = [](const TypeDialogModel& m, TGrWin& w) {
    w.PhaseChannels = SelectionOf(m.groups[0].checks);
    w.PhaseReference = std::max(0, m.groups[1].lists[0].index);
  };
  return d;
}

std::unique_ptr<TypeDialog> DistortionDialog(int type, const TGrWin& w, const TFrmFile& rec) {
  const int mode = w.RecordingMode;
  const bool frequency = type == FrequencyVsTime;
  const int modeDigit = mode == Dodida ? 1 : mode == Ombrel16 ? 4 : 0;
  auto d = NewTypeDialog("TFDistor", ModeCaption(DlgDistortion, mode),
                         200 + 10 * modeDigit + (frequency ? 4 : 8));
  TypeDialogModel& m = d->model;
  const std::vector<int> channels = AllChannels(mode);
  const int channel = frequency ? w.FrequencyChannel : w.DistortionChannel;
  DialogList signal{"ComboBox1", "", ChannelNames(rec, mode, channels), -1};
  if (channel >= 0 && channel < int(channels.size())) signal.index = channel;
  m.groups.push_back({Text(DlgGroupSignal), {}, -1, {}, {signal}});
  if (!frequency)
    m.groups.push_back({Text(DlgGroupGraphType),
                        {},
                        -1,
                        {},
                        {TextList("ComboBox2", DlgGroupGraphType,
                                  {DistortionNormal, Display2D, Display3D}, w.DistortionDisplay)}});
  d->refusal = [](const TypeDialogModel& m) -> std::optional<TextId> {
    if (m.groups[0].lists[0].index < 0) return NoSignalChosen;
    if (m.groups.size() > 1 && m.groups[1].lists[0].index < 0) return NoGraphKindChosen;
    return std::nullopt;
  };
  d->write = [frequency](const TypeDialogModel& m, TGrWin& w) {
    (frequency ? w.FrequencyChannel : w.DistortionChannel) = m.groups[0].lists[0].index;
    if (!frequency) w.DistortionDisplay = m.groups[1].lists[0].index;
  };
  return d;
}

std::unique_ptr<TypeDialog> HarmonicsDialog(const TGrWin& w, const TFrmFile& rec) {
  const int mode = w.RecordingMode;
  auto d = NewTypeDialog("TFHarmon", ModeCaption(DlgHarmonics, mode),
                         mode == Dodida     ? 217
                         : mode == Ombrel16 ? 247
                                            : 207);
  TypeDialogModel& m = d->model;
  m.groups.push_back({Text(DlgGroupSignal),
                      {},
                      -1,
                      ChannelChecks(rec, mode, HarmonicChannels(mode), w.HarmonicsChannels, false),
                      {}});
  std::vector<bool> orders;
  for (std::int16_t o : w.HarmonicsOrders) orders.push_back(o >= 0);
  m.groups.push_back({Text(DlgGroupGraphType),
                      {},
                      -1,
                      OptionChecks({HarmonicAll, HarmonicEven, HarmonicOdd, Harmonic2, Harmonic3,
                                    Harmonic4, Harmonic5},
                                   orders, "g"),
                      {}});
  // The orders' boxes are named from 0.
  for (std::size_t i = 0; i < m.groups[1].checks.size(); ++i)
    m.groups[1].checks[i].name = "g" + std::to_string(i);
  d->refusal = [](const TypeDialogModel& m) -> std::optional<TextId> {
    if (!AnyChecked(m.groups[0].checks)) return NoSignalChosen;
    if (!AnyChecked(m.groups[1].checks)) return NoGraphKindChosen;
    return std::nullopt;
  };
  d->write = [](const TypeDialogModel& m, TGrWin& w) {
    w.HarmonicsChannels = SelectionOf(m.groups[0].checks);
    w.HarmonicsOrders = SelectionOf(m.groups[1].checks);
  };
  return d;
}

std::unique_ptr<TypeDialog> SpectrumDialog(const TGrWin& w, const TFrmFile& rec) {
  const int mode = w.RecordingMode;
  auto d = NewTypeDialog("TFSpectr", ModeCaption(DlgSpectrum, mode), mode == Dodida ? 215 : 205);
  TypeDialogModel& m = d->model;
  m.groups.push_back({Text(DlgGroupSignals),
                      {},
                      -1,
                      ChannelChecks(rec, mode, AllChannels(mode), w.SpectrumChannels, false),
                      {}});
  m.groups.push_back({Text(DlgGroupGraphType),
                      {},
                      -1,
                      {},
                      {TextList("CBtype", DlgGroupGraphType, {ScaleLinearCapital, ScaleDb},
                                w.SpectrumDb ? 1 : 0)}});
  ChannelsAndOneChoice(*d, ChannelsChosen, NoUnitChosen, &TGrWin::SpectrumChannels,
                       &TGrWin::SpectrumDb);
  return d;
}

std::unique_ptr<TypeDialog> CorrelationDialog(const TGrWin& w, const TFrmFile& rec) {
  const int mode = w.RecordingMode;
  auto d = NewTypeDialog("TFCorell", ModeCaption(DlgCorrelation, mode), mode == Dodida ? 216 : 206);
  TypeDialogModel& m = d->model;
  const std::vector<int> channels = AllChannels(mode);
  const std::vector<std::string> names = ChannelNames(rec, mode, channels);
  auto list = [&](const char* name, int channel) {
    DialogList l{name, "", names, -1};
    if (channel >= 0 && channel < int(names.size())) l.index = channel;
    return l;
  };
  m.groups.push_back(
      {Text(DlgGroupReference), {}, -1, {}, {list("ComboBox1", w.CorrelationReference)}});
  m.groups.push_back({Text(DlgGroupMain), {}, -1, {}, {list("ComboBox2", w.CorrelationMain)}});
  m.groups.push_back({Text(DlgGroupGraphType),
                      {},
                      -1,
                      {},
                      {TextList("ComboBox3", DlgGroupGraphType, {ScaleLinear, ScaleDb},
                                w.CorrelationDb ? 1 : 0)}});
  d->refusal = [](const TypeDialogModel& m) -> std::optional<TextId> {
    for (const DialogGroup& g : m.groups)
      if (g.lists[0].index < 0) return NoValueChosen;
    return std::nullopt;
  };
  d->write = [](const TypeDialogModel& m, TGrWin& w) {
    w.CorrelationReference = m.groups[0].lists[0].index;
    w.CorrelationMain = m.groups[1].lists[0].index;
    w.CorrelationDb = m.groups[2].lists[0].index;
  };
  return d;
}

}  // namespace kalvex
