#include "analysis/TraceAnalysis.h"

#include <optional>

#include "analysis/ChannelSignal.h"
#include "analysis/CurveFinish.h"
#include "analysis/UnitFactors.h"
#include "graphs/TGrWin.h"
#include "recordings/DerivedValues.h"
#include "recordings/TFrmFile.h"

namespace kalvex {
namespace {

// Limits by the unit a code stands for: 0 V behind the accelerometer gain,
// 1 g (as plate-weight multiples), 2 T, 3 Lbs, 4 kN.
std::optional<double> LimitOfUnit(const TFrmFile& rec, int unit) {
  const double w = rec.HoldDownWeight;
  switch (unit) {
    case 0:
      return 1.25;
    case 1:
      if (rec.BaseplateWeight <= 0) return std::nullopt;
      return EvenAbove(w / rec.BaseplateWeight);
    case 2:
      return EvenAbove(w / 1000);
    case 3:
      return Hundreds(w);
    case 4:
      return Twenties(w);
    default:
      return std::nullopt;
  }
}

// Force limits of the computed channel: code 0 "T", 1 "Lbs", 2 "kN".
std::optional<double> ForceLimit(const TFrmFile& rec, int code) {
  if (code < 0 || code > 2) return std::nullopt;
  return LimitOfUnit(rec, code + 2);
}

std::optional<double> TraceLimit(const TFrmFile& rec, int channel, int code) {
  const int mode = rec.Mode;
  if (channel == ComputedChannel(mode)) {
    if (mode == Similarity)
      return code == 0 ? std::optional<double>(1.25) : ForceLimit(rec, code - 1);
    return ForceLimit(rec, code);
  }
  if (channel == 0) return 10.0;
  int unit = code;
  if (mode == Ombrel16 && channel == 1) {
    if (code == 3) return 10.0;
    unit = code + 2;
  } else if (mode == Similarity && code != 0) {
    unit = code + 1;
  }
  return LimitOfUnit(rec, unit);
}

}  // namespace

void ComputeTrace(const AnalysisContext& ctx, TGrWin& window, int curve, int channel) {
  const TFrmFile& rec = ctx.rec;
  const int n = rec.SweepLength;
  const int code = channel >= 0 && channel < 7 ? window.TraceChannels[channel] : 0;
  const bool computed = channel == ComputedChannel(rec.Mode);
  const double k = UnitFactor(ctx, rec.Mode, channel, code);
  CurveSlot& slot = window.Curves[curve];
  ValueArray& values = slot.Allocate(n);
  if (computed) {
    if (rec.Mode == Similarity) ComputeAverageTrace(ctx.rec, window.MaskFor(SignalTraces));
    if (rec.DerivedChannel)
      for (int i = 0; i < n && i < static_cast<int>(rec.DerivedChannel->Values.size()); ++i)
        values.Values[i] = k * rec.DerivedChannel->Values[i];
  } else if (channel >= 0 && channel < MaxChannelSlots && rec.Channels[channel]) {
    const auto& s = rec.Channels[channel]->Samples;
    for (int i = 0; i < n && i < static_cast<int>(s.size()); ++i) values.Values[i] = k * s[i];
  }
  ScanCurve(slot);
  if (auto limit = TraceLimit(rec, channel, code < 0 ? 0 : code)) {
    slot.Min = -*limit;
    slot.Max = *limit;
  }
  slot.Scale = 0;
}

}  // namespace kalvex
