#pragma once
// The figures a vibrator is judged by, taken from the recording's own
// analyses as the report's graph windows compute them: for each compared
// channel (the report's main channel; in mode 2 each similarity channel in
// use) the phase against REF, the harmonic distortion, the fundamental level
// along the sweep and the correlation side lobes, over the frames that lie
// inside the sweep.

#include <array>
#include <span>
#include <string>
#include <vector>

#include "analysis/AnalysisContext.h"
#include "shell/TextCatalogue.h"

namespace kalvex {

enum class QcFigureId : int {
  PhasePeak = 0,
  PhaseRms,
  DistortionPeak,
  DistortionAvg,
  LevelMin,
  LevelAvg,
  SideLobe,
};
inline constexpr int QcFigureCount = 7;

struct QcFigureKind {
  QcFigureId id;
  const char* key;    // section of the limit profile, JSON and CSV name
  const char* label;  // the column title of kalvex-cli's table
  const char* unit;   // "deg", "%", "dB"
  TextId title;       // the column title on the report and in the QC panel
};
const QcFigureKind& KindOf(QcFigureId id);
std::span<const QcFigureKind> QcFigureKinds();

// One compared channel's figures; a figure that cannot be computed is not
// available (never 0).
struct QcChannelFigures {
  int channel = 0;
  std::string name;
  std::array<double, QcFigureCount> values{};
  std::array<bool, QcFigureCount> available{};

  double Value(QcFigureId id) const { return values[static_cast<int>(id)]; }
  bool Available(QcFigureId id) const { return available[static_cast<int>(id)]; }
};

struct QcFigures {
  int sweepFrames = 0;  // frames that count
  std::vector<QcChannelFigures> channels;
};

// A side lobe counts this far (seconds) from the correlation's main peak.
inline constexpr double SideLobeGuardSeconds = 0.1;
// A frame is inside the sweep when the reference's fundamental there is at
// least this share of its median over the whole frames.
inline constexpr double SweepLevelShare = 0.1;

// Computes the figures of the current recording (the analysis cache is
// filled as the graph windows fill it). Without samples or without the FFT
// library every figure is unavailable.
QcFigures ComputeQcFigures(const AnalysisContext& ctx);

// The pieces, for the known-answer tests.
namespace qc {
// Frames counted: whole frames (centre ± half a frame inside samples
// 0..n-1) where reference[i] >= SweepLevelShare × their median; none when
// that median is 0.
std::vector<int> SweepFrames(std::span<const double> reference, int sweepLength, int frame,
                             int step);
double Median(std::vector<double> values);
// Phase reduced into -180..180 degrees.
double WrappedPhase(double degrees);
// Largest value at least `guard` entries away from the first maximum; false
// when no entry is that far.
bool SideLobe(std::span<const double> db, int guard, double& level);
}  // namespace qc

}  // namespace kalvex
