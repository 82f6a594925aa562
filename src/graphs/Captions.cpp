#include "graphs/Captions.h"

#include <initializer_list>
#include <string_view>
#include <utility>

#include "graphs/TGrWin.h"
#include "recordings/FormatNumber.h"
#include "recordings/TFrmFile.h"
#include "recordings/TNFile.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

// Appends `part` to a ","-separated list.
void AppendListItem(std::string& list, std::string_view part) {
  if (!list.empty()) list += ',';
  list += part;
}

std::string ChannelNames(const TFrmFile& rec, const TGrWin& w, const ChannelSelection& sel) {
  std::string list;
  for (int ch = 0; ch < static_cast<int>(sel.size()); ++ch)
    if (sel[ch] >= 0) AppendListItem(list, rec.ChannelName(w.RecordingMode, ch));
  return list;
}

std::string FirstChannelName(const TFrmFile& rec, const TGrWin& w, const ChannelSelection& sel) {
  int ch = NthSelected(sel, 0);
  return ch < 0 ? std::string() : rec.ChannelName(w.RecordingMode, ch);
}

std::string OrderNames(const ChannelSelection& orders) {
  std::string list;
  for (int i = 0; i < static_cast<int>(orders.size()); ++i)
    if (orders[i] >= 0) AppendListItem(list, HarmonicOrderName(i));
  return list;
}

std::string FirstOrderName(const ChannelSelection& orders) {
  int i = NthSelected(orders, 0);
  return i < 0 ? std::string() : HarmonicOrderName(i);
}

std::string MeasureName(int measure) {
  constexpr TextId names[] = {TextId::MeasureFundamental, TextId::MeasureRms,
                              TextId::MeasurePositivePeak, TextId::MeasureNegativePeak};
  return measure >= 0 && measure < 4 ? Text(names[measure]) : std::string();
}

std::string DistortionDisplayName(int display) {
  constexpr TextId names[] = {TextId::DistortionNormal, TextId::Distortion2d, TextId::Distortion3d};
  return display >= 0 && display < 3 ? Text(names[display]) : std::string();
}

const std::string& DbWord(bool db) {
  return Text(db ? TextId::ScaleDb : TextId::ScaleLinear);
}

// The names of the options that are on, in the order given, joined by ",".
std::string ChosenOptions(std::initializer_list<std::pair<bool, TextId>> options) {
  std::string list;
  for (const auto& [on, name] : options)
    if (on) AppendListItem(list, Text(name));
  return list;
}

// The first option that is on, else the last one: the curve an accumulating
// window (which holds a single curve) shows.
std::string ShownOption(std::initializer_list<std::pair<bool, TextId>> options) {
  for (const auto& [on, name] : options)
    if (on) return Text(name);
  return Text((options.end() - 1)->second);
}

// "S<number>" of each accumulated recording, newest (curve 0) first.
std::string RecordList(const TGrWin& w) {
  std::string list;
  for (int i = 0; i < w.CurveCount && i < MaxCurves; ++i)
    if (const TNFile* f = w.Curves[i].Recording)
      AppendListItem(list, FormatText(TextId::RecordListItem, {std::to_string(f->Number)}));
  return list;
}

std::string SecondsText(std::int32_t index, double xPerUnit) {
  return FormatNumber(xPerUnit != 0 ? index / xPerUnit : 0.0, 1);
}

std::string DistortionChannelText(const TFrmFile& rec, const TGrWin& w) {
  std::string text = rec.ChannelName(w.RecordingMode, w.DistortionChannel);
  // Rows are 500 samples apart; a recording without a sample rate has no time.
  if (w.TimePoint >= 0 && rec.SampleRate > 0) {
    double seconds = w.TimePoint * 500.0 / rec.SampleRate;
    text +=
        FormatText(TextId::DistortionTimePoint, {FormatNumber(seconds, 1), Text(TextId::Seconds)});
  }
  return text;
}

std::string HarmonicsCaption(const TFrmFile& rec, const TGrWin& w, const std::string& part) {
  std::string channels = ChannelNames(rec, w, w.HarmonicsChannels);
  if (SelectedCount(w.HarmonicsChannels) < 2)
    return FormatText(TextId::CaptionHarmonics, {part, channels, OrderNames(w.HarmonicsOrders)});
  return FormatText(TextId::CaptionHarmonics, {part, FirstOrderName(w.HarmonicsOrders), channels});
}

std::string PowerOptions(const TGrWin& w, bool shownOnly) {
  if (w.PowerDimension == 0) {
    if (shownOnly)
      return ShownOption({{w.PowerActive, TextId::OptionActive},
                          {w.PowerReactive, TextId::OptionReactive},
                          {w.PowerModule, TextId::OptionModule}});
    return ChosenOptions({{w.PowerModule, TextId::OptionModule},
                          {w.PowerActive, TextId::OptionActive},
                          {w.PowerReactive, TextId::OptionReactive}});
  }
  std::initializer_list<std::pair<bool, TextId>> harmonic{
      {w.Power2dActive, TextId::Option2dActive}, {w.Power3dActive, TextId::Option3dActive}};
  return shownOnly ? ShownOption(harmonic) : ChosenOptions(harmonic);
}

std::string IntervalSpectrumCaption(const TGrWin& w, const TFrmFile& rec) {
  const TGrWin* source = w.SourceWindow;
  if (!source) return Text(TextId::CaptionNoData);
  std::string curve;
  if (source->SelectedCurve >= 0 && source->SelectedCurve < MaxCurves) {
    curve = source->Curves[source->SelectedCurve].Name;
    if (source->Accumulating)
      curve += '[' + ChannelNames(rec, *source, source->TraceChannels) + ']';
  } else {
    curve = Text(TextId::CaptionNoCurveSelected);
  }
  return FormatText(TextId::CaptionIntervalSpectrum,
                    {Text(TextId::WinSpectrumName), DbWord(source->IntervalSpectrumDb), curve,
                     SecondsText(source->DisplayedRange.First, source->XPerUnit),
                     SecondsText(source->DisplayedRange.Last, source->XPerUnit)});
}

std::string NormalCaption(const TGrWin& w, const TFrmFile& rec) {
  const std::string part = RecordingPart(rec);
  switch (w.Type) {
    case SignalTraces:
      return FormatText(TextId::CaptionSignalTraces, {part, ChannelNames(rec, w, w.TraceChannels)});
    case Amplitude:
      return FormatText(TextId::CaptionAmplitude, {part, MeasureName(w.AmplitudeMeasure),
                                                   ChannelNames(rec, w, w.AmplitudeChannels)});
    case Phase:
      return FormatText(TextId::CaptionPhase,
                        {part, ChannelNames(rec, w, w.PhaseChannels) + '-' +
                                   rec.ChannelName(w.RecordingMode, w.PhaseReference)});
    case Distortion:
      return FormatText(
          TextId::CaptionDistortion,
          {part, DistortionDisplayName(w.DistortionDisplay), DistortionChannelText(rec, w)});
    case Harmonics:
      return HarmonicsCaption(rec, w, part);
    case Spectrum:
      return FormatText(TextId::CaptionSpectrum, {part, DbWord(w.SpectrumDb != 0),
                                                  ChannelNames(rec, w, w.SpectrumChannels)});
    case Correlation:
      return FormatText(TextId::CaptionCorrelation,
                        {part, FormatText(TextId::CorrelationChannelPair,
                                          {DbWord(w.CorrelationDb != 0),
                                           rec.ChannelName(w.RecordingMode, w.CorrelationReference),
                                           rec.ChannelName(w.RecordingMode, w.CorrelationMain)})});
    case FrequencyVsTime:
      return FormatText(TextId::CaptionFrequencyVsTime,
                        {part, rec.ChannelName(w.RecordingMode, w.FrequencyChannel)});
    case Ground:
      return FormatText(TextId::CaptionGround,
                        {part, ChosenOptions({{w.GroundModule, TextId::OptionModule},
                                              {w.GroundActive, TextId::OptionActive},
                                              {w.GroundReactive, TextId::OptionReactive}})});
    case Power:
      return FormatText(TextId::CaptionPower, {part, PowerOptions(w, false)});
    case AccCompare:
      return FormatText(TextId::CaptionAccCompare,
                        {part, ChosenOptions({{w.AmplDiff, TextId::OptionAmplDiff},
                                              {w.PhaseDiff, TextId::OptionPhaseDiff}})});
    case IntervalSpectrum:
      return IntervalSpectrumCaption(w, rec);
    default:
      return Text(TextId::CaptionNoData);
  }
}

std::string AccumulationCaption(const TGrWin& w, const TFrmFile& rec) {
  const std::string records = RecordList(w);
  switch (w.Type) {
    case SignalTraces:
      return FormatText(TextId::GroupSignalTraces,
                        {ChannelNames(rec, w, w.TraceChannels), records});
    case Amplitude:
      return FormatText(
          TextId::GroupAmplitude,
          {MeasureName(w.AmplitudeMeasure), ChannelNames(rec, w, w.AmplitudeChannels), records});
    case Phase:
      return FormatText(TextId::GroupPhase, {FirstChannelName(rec, w, w.PhaseChannels) + '-' +
                                                 rec.ChannelName(w.RecordingMode, w.PhaseReference),
                                             records});
    case Harmonics:
      return FormatText(TextId::GroupHarmonics, {FirstChannelName(rec, w, w.HarmonicsChannels) +
                                                     '-' + FirstOrderName(w.HarmonicsOrders),
                                                 records});
    case Spectrum:
      return FormatText(TextId::GroupSpectrum, {DbWord(w.SpectrumDb != 0), records});
    case Correlation:
      return FormatText(
          TextId::GroupCorrelation,
          {FormatText(TextId::CorrelationGroupText, {DbWord(w.CorrelationDb != 0), w.GroupCaption}),
           records});
    case FrequencyVsTime:
      return FormatText(TextId::GroupFrequencyVsTime,
                        {rec.ChannelName(w.RecordingMode, w.FrequencyChannel), records});
    case Ground:
      return FormatText(TextId::GroupGround,
                        {ShownOption({{w.GroundActive, TextId::OptionActive},
                                      {w.GroundReactive, TextId::OptionReactive},
                                      {w.GroundModule, TextId::OptionModule}}),
                         records});
    case Power:
      return FormatText(TextId::GroupPower, {PowerOptions(w, true), records});
    case AccCompare:
      return FormatText(
          TextId::GroupAccCompare,
          {w.AmplDiff ? Text(TextId::OptionAmplDiff) : Text(TextId::OptionPhaseDiff), records});
    default:
      // Distortion and the interval spectrum keep their normal caption.
      return NormalCaption(w, rec);
  }
}

}  // namespace

std::string HarmonicOrderName(int order) {
  constexpr TextId names[] = {TextId::HarmonicAll, TextId::HarmonicEven, TextId::HarmonicOdd,
                              TextId::Harmonic2,   TextId::Harmonic3,    TextId::Harmonic4,
                              TextId::Harmonic5};
  return order >= 0 && order < 7 ? Text(names[order]) : std::string();
}

std::string RecordingPart(const TFrmFile& recording) {
  std::string name;
  switch (recording.Origin) {
    case OriginAcquired:
      name = recording.Name;
      break;
    case OriginFile:
      // Recordings may come from either kind of path; drop the directory of both.
      name = recording.Name.substr(recording.Name.find_last_of("/\\") + 1);
      break;
    default:
      name = Text(TextId::CaptionNoData);
  }
  return name + " [" + std::string(ModeName(recording.Mode)) + "]";
}

std::string WindowCaption(const TGrWin& window, const TFrmFile& recording) {
  if (window.RecordingMode == NoSignal) return Text(TextId::CaptionNoSignal);
  return window.Accumulating ? AccumulationCaption(window, recording)
                             : NormalCaption(window, recording);
}

}  // namespace kalvex
