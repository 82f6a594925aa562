#include "recordings/ProjectRecords.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <type_traits>

#include "recordings/Cp1251.h"
#include "recordings/DerivedValues.h"
#include "shell/ProgramSettings.h"

namespace kalvex {
namespace {

constexpr char Magic[4] = {'K', 'V', 'X', 'P'};
constexpr std::size_t CurveRecordSize = 72;
constexpr std::size_t CurvesAt = 264;
constexpr std::size_t SimilarityAt = 42;
constexpr std::size_t SimilaritySlotSize = 11;
// A record holds at most 65 535 samples: no x index of any graph lies further
// from 0 than that (correlation lags are negative).
constexpr std::int32_t MaxIndex = 65535;
constexpr int MaxUnitCode = 4;

// Writes each field little-endian at its offset.
class RecordWriter {
 public:
  explicit RecordWriter(std::span<std::uint8_t> out) : out_(out) {}

  template <class T>
  void Field(std::size_t at, const T& v) {
    if constexpr (std::is_same_v<T, bool>)
      out_[at] = v ? 1 : 0;
    else if constexpr (std::is_same_v<T, double>)
      Put(at, std::bit_cast<std::uint64_t>(v));
    else
      Put(at, static_cast<std::make_unsigned_t<T>>(v));
  }
  // A short string: length byte, then the Windows-1251 characters.
  void Text(std::size_t at, std::size_t maxChars, const std::string& text) {
    const std::string bytes = Utf8ToCp1251(Utf8Prefix(text, maxChars));
    out_[at] = static_cast<std::uint8_t>(bytes.size());
    std::memcpy(&out_[at + 1], bytes.data(), bytes.size());
  }

 private:
  template <class U>
  void Put(std::size_t at, U v) {
    for (std::size_t i = 0; i < sizeof(U); ++i)
      out_[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  }
  std::span<std::uint8_t> out_;
};

// Reads each field little-endian from its offset; remembers a short string
// whose length byte says more than the field holds.
class RecordReader {
 public:
  explicit RecordReader(std::span<const std::uint8_t> in) : in_(in) {}

  template <class T>
  void Field(std::size_t at, T& v) {
    if constexpr (std::is_same_v<T, bool>)
      v = in_[at] != 0;
    else if constexpr (std::is_same_v<T, double>)
      v = std::bit_cast<double>(Get<std::uint64_t>(at));
    else
      v = static_cast<T>(Get<std::make_unsigned_t<T>>(at));
  }
  void Text(std::size_t at, std::size_t maxChars, std::string& text) {
    std::size_t n = in_[at];
    if (n > maxChars) {
      overlongText = true;
      n = maxChars;
    }
    text = Cp1251ToUtf8({reinterpret_cast<const char*>(&in_[at + 1]), n});
  }

  bool overlongText = false;

 private:
  template <class U>
  U Get(std::size_t at) const {
    U v = 0;
    for (std::size_t i = 0; i < sizeof(U); ++i) v |= static_cast<U>(U(in_[at + i]) << (8 * i));
    return v;
  }
  std::span<const std::uint8_t> in_;
};

// The main record's fields after the magic (`Main` is const when writing).
template <class Io, class Main>
void MainFields(Io& io, Main& m) {
  io.Field(4, m.Version);
  io.Field(8, m.EquipmentIndex);
  io.Field(10, m.Mode);
  io.Field(12, m.BaudIndex);
  io.Field(14, m.PortNumber);
  io.Field(18, m.TriggerChannelIndex);
  io.Field(20, m.TriggerEdgeIndex);
  io.Field(22, m.SampleRateIndex);
  io.Field(24, m.SweepSeconds);
  io.Field(26, m.TriggerLevel);
  io.Field(34, m.TriggerDelay);
  for (std::size_t i = 0; i < m.SimilarityChannels.size(); ++i) {
    auto& slot = m.SimilarityChannels[i];
    const std::size_t at = SimilarityAt + SimilaritySlotSize * i;
    io.Field(at, slot.Present);
    io.Field(at + 1, slot.Attenuated);
    io.Text(at + 2, ChannelNameMaxChars, slot.Name);
  }
  io.Field(108, m.HoldDownWeight);
  io.Field(112, m.ReactionMassWeight);
  io.Field(116, m.BaseplateWeight);
  io.Field(120, m.MassAccSensitivity);
  io.Field(128, m.BaseplateAccSensitivity);
  io.Field(136, m.ServoCurrentFactor);
  io.Field(144, m.SourceCurrentFactor);
  io.Field(152, m.SourceVoltageFactor);
  io.Field(160, m.SourceSensorFactor);
  io.Field(168, m.TestOut);
  io.Text(176, ProjectNameMaxChars, m.Name);
  io.Field(432, m.WindowCount);
  io.Field(436, m.MainWindow.Left);
  io.Field(440, m.MainWindow.Top);
  io.Field(444, m.MainWindow.Height);
  io.Field(448, m.MainWindow.Width);
}

template <class Io, class Selection>
void SelectionField(Io& io, std::size_t at, Selection& s) {
  for (std::size_t k = 0; k < s.size(); ++k) io.Field(at + 2 * k, s[k]);
}

template <class Io, class Curve>
void CurveFields(Io& io, std::size_t at, Curve& c) {
  io.Text(at, CurveNameMaxChars, c.Name);
  io.Field(at + 16, c.ReadoutLeft);
  io.Field(at + 18, c.ReadoutRight);
  io.Field(at + 20, c.BandTop);
  io.Field(at + 22, c.BandBottom);
  io.Field(at + 24, c.Colour);
  io.Field(at + 32, c.Scale);
  io.Field(at + 40, c.ZeroLine);
  io.Field(at + 48, c.Zoom);
  io.Field(at + 56, c.Centre);
  io.Field(at + 64, c.HalfRange);
}

// A window record's fields (`Win` and `Extras` are const when writing).
template <class Io, class Win, class Extras>
void WindowFields(Io& io, Win& w, Extras& x) {
  io.Field(0, x.Rect.Left);
  io.Field(4, x.Rect.Top);
  io.Field(8, x.Rect.Width);
  io.Field(12, x.Rect.Height);
  io.Field(16, w.Type);
  io.Field(17, w.ScaleMode);
  io.Field(20, w.CorrelationDb);
  io.Field(24, w.CorrelationReference);
  io.Field(28, w.CorrelationMain);
  io.Field(32, w.DistortionDisplay);
  io.Field(36, w.DistortionChannel);
  io.Field(40, w.FrequencyChannel);
  io.Field(44, w.PhaseReference);
  io.Field(48, w.XPerUnit);
  SelectionField(io, 56, w.AmplitudeChannels);
  SelectionField(io, 70, w.TraceChannels);
  SelectionField(io, 84, w.CorrelationChannels);
  SelectionField(io, 98, w.SpectrumChannels);
  SelectionField(io, 112, w.HarmonicsChannels);
  SelectionField(io, 126, w.HarmonicsOrders);
  SelectionField(io, 154, w.PhaseChannels);
  io.Field(168, w.AmplitudeMeasure);
  io.Field(172, w.SpectrumDb);
  io.Field(176, x.FundamentalInputSize);
  io.Field(180, w.ActuatorChoice);
  io.Field(184, w.TimePoint);
  io.Field(188, w.WaterfallRows);
  io.Field(192, w.PowerDimension);
  std::size_t at = 196;
  for (auto* option :
       {&w.AmplDiff, &w.PhaseDiff, &w.GroundModule, &w.GroundActive, &w.GroundReactive,
        &w.ServoOptions[0], &w.ServoOptions[1], &w.ActuatorOptions[0], &w.ActuatorOptions[1],
        &w.PowerActive, &w.PowerReactive, &w.Power2dActive, &w.Power3dActive, &w.PowerModule})
    io.Field(at++, *option);
  io.Field(210, x.PolarityPositive);
  io.Field(212, w.DisplayedRange.First);
  io.Field(216, w.DisplayedRange.Last);
  io.Field(220, w.PlotRect.Left);
  io.Field(224, w.PlotRect.Top);
  io.Field(228, w.PlotRect.Right);
  io.Field(232, w.PlotRect.Bottom);
  io.Field(236, w.SelectedCurve);
  io.Field(240, x.CurveCount);
  io.Field(244, w.SeparateAxes);
  io.Field(245, w.IntervalSpectrumOn);
  io.Field(246, w.IntervalSpectrumDb);
  io.Field(247, w.AverageUnitCode);
  for (std::size_t f = 0; f < w.AveragingMasks.size(); ++f) {
    io.Field(248 + f, w.AveragingMasks[f]);
    io.Field(256 + f, w.AverageShown[f]);
  }
  for (std::size_t k = 0; k < w.Curves.size(); ++k)
    CurveFields(io, CurvesAt + CurveRecordSize * k, w.Curves[k]);
  for (std::size_t k = 0; k < x.Calibration.size(); ++k) io.Field(840 + 8 * k, x.Calibration[k]);
}

bool Within(long v, long lo, long hi) {
  return v >= lo && v <= hi;
}

bool AllFinite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

// A field's value and the range the program can hold.
struct Bound {
  const char* field;
  long value, lo, hi;
};

// The first field outside its range, if any.
std::optional<Bound> FirstOutOfRange(std::initializer_list<Bound> bounds) {
  for (const Bound& b : bounds)
    if (!Within(b.value, b.lo, b.hi)) return b;
  return std::nullopt;
}

// Why a main record cannot be trusted; empty when it can.
std::string CheckMain(const ProjectMain& m, bool overlongText) {
  if (m.Version != ProjectVersion)
    return "version " + std::to_string(m.Version) + ", not " + std::to_string(ProjectVersion);
  if (const std::optional<Bound> b = FirstOutOfRange(
          {Bound{"equipmentIndex", m.EquipmentIndex, 0, 1}, Bound{"mode", m.Mode, 0, NoSignal - 1},
           Bound{"baudIndex", m.BaudIndex, 0, 1}, Bound{"portNumber", m.PortNumber, 0, 32},
           Bound{"triggerChannelIndex", m.TriggerChannelIndex, 0, 5},
           Bound{"triggerEdgeIndex", m.TriggerEdgeIndex, 0, 2},
           Bound{"sampleRateIndex", m.SampleRateIndex, 0, 4},
           Bound{"sweepSeconds", m.SweepSeconds, 0, MaxIndex},
           Bound{"windowCount", m.WindowCount, 0, INT32_MAX}}))
    return std::string(b->field) + " " + std::to_string(b->value) + " is out of range";
  if (!RecordFits(m.SampleRateIndex, m.SweepSeconds))
    return "the record would exceed 65535 samples";
  if (overlongText) return "a similarity channel name is longer than 8 characters";
  if (!AllFinite({m.TriggerLevel, m.TriggerDelay, m.MassAccSensitivity, m.BaseplateAccSensitivity,
                  m.ServoCurrentFactor, m.SourceCurrentFactor, m.SourceVoltageFactor,
                  m.SourceSensorFactor, m.TestOut}))
    return "a parameter is not a finite number";
  return {};
}

bool SelectionValid(const ChannelSelection& s) {
  return std::all_of(s.begin(), s.end(), [](std::int16_t v) { return Within(v, -1, MaxUnitCode); });
}

bool CurvesValid(const TGrWin& w) {
  return std::all_of(w.Curves.begin(), w.Curves.end(), [](const CurveSlot& c) {
    return Within(c.Colour, 0, 0xFFFFFF) &&
           AllFinite({c.Scale, c.ZeroLine, c.Zoom, c.Centre, c.HalfRange});
  });
}

// The first field of a window record that the window model cannot hold.
std::string CheckWindow(const TGrWin& w, const ProjectWindowExtras& x, bool overlongText) {
  if (const std::optional<Bound> b = FirstOutOfRange(
          {Bound{"graphType", w.Type, NoGraphType, IntervalSpectrum},
           Bound{"scaleMode", w.ScaleMode, SymmetricAboutCentre, FitCentreHalfRange},
           Bound{"correlationDb", w.CorrelationDb, 0, 1},
           Bound{"correlationReference", w.CorrelationReference, 0, MaxChannelSlots - 1},
           Bound{"correlationMain", w.CorrelationMain, 0, MaxChannelSlots - 1},
           Bound{"distortionDisplay", w.DistortionDisplay, 0, 2},
           Bound{"distortionChannel", w.DistortionChannel, 0, MaxChannelSlots - 1},
           Bound{"frequencyChannel", w.FrequencyChannel, 0, MaxChannelSlots - 1},
           Bound{"phaseReference", w.PhaseReference, 0, MaxChannelSlots - 1},
           Bound{"measure", w.AmplitudeMeasure, 0, 3}, Bound{"spectrumDb", w.SpectrumDb, 0, 1},
           Bound{"fundamentalInputSize", x.FundamentalInputSize, 0, 2},
           Bound{"actuator", w.ActuatorChoice, 0, 3},
           Bound{"powerDimension", w.PowerDimension, 0, 1},
           Bound{"waterfallRows", w.WaterfallRows, 0, MaxIndex},
           Bound{"timePoint", w.TimePoint, -1, long{w.WaterfallRows} - 1},
           Bound{"curveCount", x.CurveCount, 0, MaxCurves},
           Bound{"selectedCurve", w.SelectedCurve, -1, long{x.CurveCount} - 1}}))
    return b->field;
  const IndexRange& r = w.DisplayedRange;
  if (r.First > r.Last || !Within(r.First, -MaxIndex, MaxIndex) ||
      !Within(r.Last, -MaxIndex, MaxIndex))
    return "displayedRange";
  for (const ChannelSelection* s :
       {&w.AmplitudeChannels, &w.TraceChannels, &w.CorrelationChannels, &w.SpectrumChannels,
        &w.HarmonicsChannels, &w.HarmonicsOrders, &w.PhaseChannels})
    if (!SelectionValid(*s)) return "selections";
  if (!AllFinite({w.XPerUnit}) || w.XPerUnit < 0) return "xPerUnit";
  if (overlongText || !CurvesValid(w)) return "curves";
  // The settings' own range: a coefficient of 0 would zero the ground force.
  if (!std::all_of(x.Calibration.begin(), x.Calibration.end(), CalibrationInRange))
    return "calibration";
  return {};
}

// An interval spectrum window is fed by a signal traces window that shows
// one; the set holds at most one.
bool IntervalSpectrumFed(const std::vector<ProjectWindow>& before) {
  bool fed = false;
  for (const ProjectWindow& p : before) {
    if (p.Window.Type == IntervalSpectrum) return false;
    fed = fed || (p.Window.Type == SignalTraces && p.Window.IntervalSpectrumOn);
  }
  return fed;
}

}  // namespace

std::vector<std::uint8_t> EncodeMainRecord(const ProjectMain& main) {
  std::vector<std::uint8_t> bytes(ProjectMainSize, 0);
  std::memcpy(bytes.data(), Magic, sizeof Magic);
  RecordWriter io(bytes);
  MainFields(io, main);
  return bytes;
}

ProjectWindowBytes EncodeWindowRecord(const TGrWin& window, const ProjectWindowExtras& extras) {
  ProjectWindowBytes bytes{};
  RecordWriter io(bytes);
  WindowFields(io, window, extras);
  return bytes;
}

std::string DecodeWindowRecord(std::span<const std::uint8_t, ProjectWindowSize> record,
                               TGrWin& window, ProjectWindowExtras& extras) {
  RecordReader io(record);
  WindowFields(io, window, extras);
  window.CurveCount = extras.CurveCount;
  for (CurveSlot& c : window.Curves)
    c.BandHeight = static_cast<std::int16_t>(c.BandTop - c.BandBottom);
  return CheckWindow(window, extras, io.overlongText);
}

ProjectContents ReadProjectBytes(std::span<const std::uint8_t> bytes) {
  ProjectContents p;
  if (bytes.size() < ProjectMainSize) {
    p.Refusal = "shorter than the 452-byte main record";
    return p;
  }
  if (std::memcmp(bytes.data(), Magic, sizeof Magic) != 0) {
    p.Refusal = "not a project file (no KVXP magic)";
    return p;
  }
  RecordReader io(bytes.first(ProjectMainSize));
  MainFields(io, p.Main);
  p.Refusal = CheckMain(p.Main, io.overlongText);
  if (!p.Refusal.empty()) return p;
  for (std::int32_t i = 0; i < p.Main.WindowCount; ++i) {
    const std::size_t at = ProjectMainSize + ProjectWindowSize * static_cast<std::size_t>(i);
    ProjectWindow w;
    if (bytes.size() < at + ProjectWindowSize) {
      p.EndReason = "short";
    } else {
      std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), ProjectWindowSize,
                  w.Record.begin());
      p.EndReason = DecodeWindowRecord(w.Record, w.Window, w.Extras);
      if (p.EndReason.empty() && w.Window.Type == IntervalSpectrum &&
          !IntervalSpectrumFed(p.Windows))
        p.EndReason = "graphType";
    }
    if (!p.EndReason.empty()) {
      p.EndedAt = i;
      break;
    }
    p.Windows.push_back(std::move(w));
  }
  return p;
}

}  // namespace kalvex
