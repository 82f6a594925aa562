#include "qc/QcFigures.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "analysis/CorrelationAnalysis.h"
#include "analysis/FrameAnalyser.h"
#include "graphs/GraphSetup.h"
#include "graphs/GraphTypes.h"
#include "graphs/ReportPage.h"
#include "graphs/TAllWindows.h"
#include "graphs/TGrWin.h"
#include "recordings/RecordingModes.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"

namespace kalvex {
namespace {

constexpr QcFigureKind kKinds[QcFigureCount] = {
    {QcFigureId::PhasePeak, "phase_peak", "Phase peak", "deg", TextId::QcTitlePhasePeak},
    {QcFigureId::PhaseRms, "phase_rms", "Phase RMS", "deg", TextId::QcTitlePhaseRms},
    {QcFigureId::DistortionPeak, "distortion_peak", "Dist. peak", "%", TextId::QcTitleDistortionPeak},
    {QcFigureId::DistortionAvg, "distortion_avg", "Dist. avg", "%", TextId::QcTitleDistortionAvg},
    {QcFigureId::LevelMin, "level_min", "Level min", "%", TextId::QcTitleLevelMin},
    {QcFigureId::LevelAvg, "level_avg", "Level avg", "%", TextId::QcTitleLevelAvg},
    {QcFigureId::SideLobe, "sidelobe", "Side lobe", "dB", TextId::QcTitleSideLobe},
};

// A report window of `type` computed with the report's defaults.
std::unique_ptr<TGrWin> Computed(const AnalysisContext& ctx, int type, int option) {
  std::unique_ptr<TGrWin> w = TAllWindows::CreatePrintWindow(0);
  SetTypeWithDefaults(ctx, *w, type, option);
  return w;
}

// The curve's values at the counted frames; empty when the curve was not
// computed for this many frames.
std::vector<double> AtFrames(const CurveSlot& curve, int frames, const std::vector<int>& counted) {
  if (!curve.Values || curve.Values->Count != frames) return {};
  std::vector<double> v;
  v.reserve(counted.size());
  for (int i : counted) v.push_back(curve.Values->Values[i]);
  return v;
}

int CurveOf(const ChannelSelection& selection, int channel) {
  for (int s = 0; NthSelected(selection, s) >= 0; ++s)
    if (NthSelected(selection, s) == channel) return s;
  return -1;
}

double Mean(const std::vector<double>& v) {
  double sum = 0;
  for (double x : v) sum += x;
  return sum / static_cast<double>(v.size());
}

// The reference's fundamental magnitude per frame, from its frame table.
std::vector<double> ReferenceLevels(const TFrmFile& rec, int frames) {
  const FrameAnalysis* table = rec.FrameAnalyses[0].get();
  if (!table || table->FrameCount != frames) return {};
  std::vector<double> levels(frames);
  for (int i = 0; i < frames; ++i) levels[i] = std::hypot(table->Array(1)[i], table->Array(2)[i]);
  return levels;
}

class FigureSet {
 public:
  explicit FigureSet(QcChannelFigures& out) : out_(out) {}
  void Set(QcFigureId id, double value) {
    if (!std::isfinite(value)) return;
    out_.values[static_cast<int>(id)] = value;
    out_.available[static_cast<int>(id)] = true;
  }

 private:
  QcChannelFigures& out_;
};

struct Windows {
  std::unique_ptr<TGrWin> amplitude, phase, harmonics;
};

// `turn`: 180 when the report draws the channel reversed, so that the figure
// is the phase the page shows.
void PhaseFigures(const std::vector<double>& phase, double turn, FigureSet& set) {
  if (phase.empty()) return;
  double peak = 0, squares = 0;
  for (double d : phase) {
    const double e = qc::WrappedPhase(d + turn);
    peak = std::max(peak, std::abs(e));
    squares += e * e;
  }
  set.Set(QcFigureId::PhasePeak, peak);
  set.Set(QcFigureId::PhaseRms, std::sqrt(squares / static_cast<double>(phase.size())));
}

void LevelFigures(const std::vector<double>& level, double median, FigureSet& set) {
  set.Set(QcFigureId::LevelMin, *std::min_element(level.begin(), level.end()) / median * 100);
  set.Set(QcFigureId::LevelAvg, Mean(level) / median * 100);
}

void DistortionFigures(const std::vector<double>& all, FigureSet& set) {
  if (all.empty()) return;
  set.Set(QcFigureId::DistortionPeak, *std::max_element(all.begin(), all.end()));
  set.Set(QcFigureId::DistortionAvg, Mean(all));
}

void SideLobeFigure(const AnalysisContext& ctx, int channel, FigureSet& set) {
  const TFrmFile& rec = ctx.rec;
  const bool similarity = rec.Mode == Similarity;
  const std::unique_ptr<TGrWin> w = Computed(ctx, Correlation, similarity ? channel : 0);
  const CurveSlot& curve = w->Curves[0];
  const CorrelationGrid grid = CorrelationGridFor(rec.SweepLength, rec.SampleRate, true);
  if (w->CurveCount < 1 || !curve.Values || grid.step <= 0) return;
  const ValueArray& v = *curve.Values;
  const int guard =
      static_cast<int>(std::ceil(SideLobeGuardSeconds * rec.SampleRate / grid.step - 1e-9));
  double level = 0;
  if (qc::SideLobe({v.Values.data(), static_cast<std::size_t>(v.Count)}, guard, level))
    set.Set(QcFigureId::SideLobe, level);
}

QcChannelFigures ChannelFigures(const AnalysisContext& ctx, const Windows& w, int channel,
                                int frames, const std::vector<int>& counted) {
  QcChannelFigures out;
  out.channel = channel;
  out.name = ctx.rec.ChannelName(ctx.rec.Mode, channel);
  if (counted.empty()) return out;
  FigureSet set(out);
  const int a = CurveOf(w.amplitude->AmplitudeChannels, channel);
  const std::vector<double> level =
      a < 0 ? std::vector<double>{} : AtFrames(w.amplitude->Curves[a], frames, counted);
  const double median = level.empty() ? 0 : qc::Median(level);
  if (!(median > 0)) return out;  // a silent channel has no figures
  LevelFigures(level, median, set);
  const int p = CurveOf(w.phase->PhaseChannels, channel);
  const double turn = ReportDrawsReversed(ctx.rec) ? 180.0 : 0.0;
  if (p >= 0) PhaseFigures(AtFrames(w.phase->Curves[p], frames, counted), turn, set);
  // Without the similarity layout the first curve is the order "All" of the
  // main channel; in mode 2 each channel's curve is its "All".
  const int h = ctx.rec.Mode == Similarity ? CurveOf(w.harmonics->HarmonicsChannels, channel) : 0;
  if (h >= 0) DistortionFigures(AtFrames(w.harmonics->Curves[h], frames, counted), set);
  SideLobeFigure(ctx, channel, set);
  return out;
}

}  // namespace

const QcFigureKind& KindOf(QcFigureId id) {
  return kKinds[static_cast<int>(id)];
}
std::span<const QcFigureKind> QcFigureKinds() {
  return kKinds;
}

QcFigures ComputeQcFigures(const AnalysisContext& ctx) {
  QcFigures result;
  const TFrmFile& rec = ctx.rec;
  if (rec.Mode == NoSignal || rec.SweepLength == 0 || !rec.Channels[0]) return result;
  Windows w{Computed(ctx, Amplitude, 0), Computed(ctx, Phase, 0), Computed(ctx, Harmonics, 0)};
  const int frames = FrameCount(ctx);
  const std::vector<double> reference = ReferenceLevels(rec, frames);
  const std::vector<int> counted = qc::SweepFrames(
      reference, rec.SweepLength, ctx.settings.AmplitudeFrame, ctx.settings.AmplitudeStep);
  result.sweepFrames = static_cast<int>(counted.size());
  for (int s = 0; NthSelected(w.amplitude->AmplitudeChannels, s) >= 0; ++s)
    result.channels.push_back(
        ChannelFigures(ctx, w, NthSelected(w.amplitude->AmplitudeChannels, s), frames, counted));
  return result;
}

namespace qc {

std::vector<int> SweepFrames(std::span<const double> reference, int sweepLength, int frame,
                             int step) {
  std::vector<int> whole;
  const int half = frame / 2;
  for (int i = 0; i < static_cast<int>(reference.size()); ++i) {
    const long long centre = static_cast<long long>(i) * step;
    if (centre - half >= 0 && centre + half <= sweepLength - 1) whole.push_back(i);
  }
  if (whole.empty()) return {};
  std::vector<double> levels;
  for (int i : whole) levels.push_back(reference[i]);
  const double median = Median(levels);
  if (!(median > 0)) return {};
  std::vector<int> counted;
  for (int i : whole)
    if (reference[i] >= SweepLevelShare * median) counted.push_back(i);
  return counted;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  const std::size_t mid = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + mid, values.end());
  const double upper = values[mid];
  if (values.size() % 2) return upper;
  const double lower = *std::max_element(values.begin(), values.begin() + mid);
  return (lower + upper) / 2;
}

double WrappedPhase(double degrees) {
  return degrees - 360.0 * std::round(degrees / 360.0);
}

bool SideLobe(std::span<const double> db, int guard, double& level) {
  if (db.empty()) return false;
  const auto peak = std::max_element(db.begin(), db.end()) - db.begin();
  bool found = false;
  for (std::ptrdiff_t k = 0; k < static_cast<std::ptrdiff_t>(db.size()); ++k) {
    if (std::abs(k - peak) < guard) continue;
    if (!found || db[k] > level) level = db[k];
    found = true;
  }
  return found;
}

}  // namespace qc
}  // namespace kalvex
