#include "analysis/MassPlateAnalysis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/CurveFinish.h"
#include "analysis/FrameAnalyser.h"
#include "analysis/SpectralBasics.h"
#include "analysis/UnitFactors.h"
#include "graphs/Palette.h"
#include "graphs/TGrWin.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kDegreesPerRadian = 57.29577951308232;
// 9.8 × 9.8 / 1000: accelerations in g and weights in kg give power in kW.
constexpr double kPowerScale = 0.09604;

struct Tables {
  const FrameAnalysis* rm = nullptr;
  const FrameAnalysis* bp = nullptr;
};

// A curve of one value per frame both tables hold.
ValueArray& AllocateFrames(CurveSlot& c, int frames, const Tables& t) {
  return c.Allocate(std::min({frames, t.rm->FrameCount, t.bp->FrameCount}));
}

// The table of the channel read first (made once), and of the channel whose
// cross values are read (made before every curve until its cross flag is
// set). False when one cannot be made.
bool EnsureFirst(const AnalysisContext& ctx, int channel, int purpose, int frames) {
  if (HasTable(ctx, channel, frames)) return true;
  return AnalyseFrames(ctx, 0, channel, 1, purpose, frames) >= 1;
}

bool EnsureCross(const AnalysisContext& ctx, int channel, int crossFlag, int purpose, int frames) {
  if (HasTable(ctx, channel, frames) && ctx.rec.CacheState[crossFlag]) return true;
  return AnalyseFrames(ctx, 0, channel, 0, purpose, frames) >= 1;
}

Tables TablesOf(const TFrmFile& rec) {
  return {rec.FrameAnalyses[RmChannelIndex(rec.Mode)].get(),
          rec.FrameAnalyses[BpChannelIndex(rec.Mode)].get()};
}

// The RM fundamental in Hz at frame i.
double Frequency(const AnalysisContext& ctx, const FrameAnalysis& rm, int i) {
  const int n = FrameFftLength(ctx.rec.SweepLength, ctx.settings.InputSize);
  return n > 0 ? static_cast<double>(ctx.rec.SampleRate) / n * rm.Array(0)[i] : 0.0;
}

bool HasMassAndPlate(const TFrmFile& rec) {
  return RmChannelIndex(rec.Mode) >= 0;
}

TextId KindName(int kind) {
  return kind == ModuleKind   ? TextId::OptionModule
         : kind == ActiveKind ? TextId::OptionActive
                              : TextId::OptionReactive;
}

void FinishKindCurve(CurveSlot& c, const TGrWin& w, int kind, double limit) {
  ScanValueRange(*c.Values, -1);
  c.Min = -limit;
  c.Max = limit;
  c.Scale = 0;
  c.Name = Text(KindName(kind));
  c.Colour = CurveColour(Ground, w.RecordingMode, kind);
}

// Phase difference folded into -180..180 and kept within half a turn of the
// previous frame.
double Unwrap(double d, const double* previous) {
  if (d < -180) {
    d += 360;
  } else if (d > 180) {
    d -= 360;
  }
  if (previous) {
    if (d - *previous > 180 && d >= 0) {
      d -= 360;
    } else if (*previous - d > 180 && d <= 0) {
      d += 360;
    }
  }
  return d;
}

// Ground impedance of one frame.
double GroundValue(const TFrmFile& rec, double f, double rr, double ri, double br, double bi,
                   int kind) {
  const double e = br * br + bi * bi;
  // No baseplate value at the RM fundamental: no impedance to show.
  if (e == 0) return 0.0;
  const double x = (rr * bi - br * ri) * rec.ReactionMassWeight / e;
  const double y = (rr * br + ri * bi) * rec.ReactionMassWeight / e + rec.BaseplateWeight;
  const double value = kind == ModuleKind   ? std::sqrt(x * x + y * y) * kTwoPi * f / 1000000
                       : kind == ActiveKind ? -kTwoPi * f * x / 1000000
                                            : -kTwoPi * f * y / 1000000;
  return std::isfinite(value) ? value : 0.0;
}

struct PowerInputs {
  double u, w, a, v;
};

double PowerValue(const TFrmFile& rec, double w0, PowerInputs p, int dimension, int kind, int h) {
  if (w0 == 0) return 0.0;
  const double wr = rec.ReactionMassWeight, wb = rec.BaseplateWeight;
  const double active = (p.u * p.v - p.w * p.a) * wr;
  const double reactive = (p.v * p.w + p.u * p.a) * wr + (p.a * p.a + p.v * p.v) * wb;
  double value;
  if (dimension == 1) {
    value = active * -1 / w0 / h / 2;
  } else if (kind == ActiveKind) {
    value = active * -1 / w0 / 2;
  } else if (kind == ReactiveKind) {
    value = -reactive / w0 / 2;
  } else {
    value = std::sqrt(active * active + reactive * reactive) / w0 / 2;
  }
  return std::isfinite(value) ? value : 0.0;
}

// Dimension 1: curve s shows the second harmonic unless "3-d Active" alone
// (or curve 1 with both on) asks for the third.
int HarmonicOf(const TGrWin& w, int curve) {
  const bool second = !w.Power3dActive || (w.Power2dActive && curve != 1);
  return second ? 2 : 3;
}

}  // namespace

int ImpedanceKindOf(bool module, bool active, int curve) {
  if (curve == 0) return module ? ModuleKind : active ? ActiveKind : ReactiveKind;
  if (curve == 1) return module && active ? ActiveKind : ReactiveKind;
  return ReactiveKind;
}

int GroundCurveCount(const TGrWin& w) {
  return w.GroundModule + w.GroundActive + w.GroundReactive;
}

int PowerCurveCount(const TGrWin& w) {
  return w.PowerDimension == 1 ? w.Power2dActive + w.Power3dActive
                               : w.PowerModule + w.PowerActive + w.PowerReactive;
}

int AccCompareCurveCount(const TGrWin& w) {
  return w.AmplDiff + w.PhaseDiff;
}

void ComputeGround(const AnalysisContext& ctx, TGrWin& w, int frames, bool firstOnly,
                   bool skipComputed) {
  TFrmFile& rec = ctx.rec;
  if (!HasMassAndPlate(rec) || !EnsureFirst(ctx, RmChannelIndex(rec.Mode), Ground, frames)) return;
  for (int s = 0; s < w.CurveCount; ++s) {
    if (SkipComputed(w.Curves[s], skipComputed)) continue;
    if (firstOnly && s > 0) break;
    if (!EnsureCross(ctx, BpChannelIndex(rec.Mode), 1, Ground, frames)) return;
    const Tables t = TablesOf(rec);
    const int kind = ImpedanceKindOf(w.GroundModule, w.GroundActive, s);
    CurveSlot& c = w.Curves[s];
    ValueArray& values = AllocateFrames(c, frames, t);
    for (int i = 0; i < values.Count; ++i)
      values.Values[i] = GroundValue(rec, Frequency(ctx, *t.rm, i), t.rm->Array(1)[i],
                                     t.rm->Array(2)[i], t.bp->Array(8)[i], t.bp->Array(9)[i], kind);
    w.ScaleMode = SymmetricAboutCentre;
    if (!firstOnly) FinishKindCurve(c, w, kind, 2);
  }
}

void ComputePower(const AnalysisContext& ctx, TGrWin& w, int frames, bool firstOnly,
                  bool skipComputed) {
  TFrmFile& rec = ctx.rec;
  if (!HasMassAndPlate(rec)) return;
  const int rm = RmChannelIndex(rec.Mode), bp = BpChannelIndex(rec.Mode);
  // The frame tables hold corrected samples: the unit factors leave the
  // correction factor out, as the fundamental amplitude does.
  const double norm = rec.AmplitudeNorm;
  const double kr = norm != 0 ? UnitFactor(ctx, rec.Mode, rm, 1, Correction::Excluded) / norm : 0.0;
  const double kb = norm != 0 ? UnitFactor(ctx, rec.Mode, bp, 1, Correction::Excluded) / norm : 0.0;
  if (!EnsureFirst(ctx, rm, Power, frames)) return;
  for (int s = 0; s < w.CurveCount; ++s) {
    if (SkipComputed(w.Curves[s], skipComputed)) continue;
    if (firstOnly && s > 0) break;
    if (!EnsureCross(ctx, bp, 1, Power, frames)) return;
    const Tables t = TablesOf(rec);
    const int kind = ImpedanceKindOf(w.PowerModule, w.PowerActive, s);
    const int h = w.PowerDimension == 1 ? HarmonicOf(w, s) : 1;
    const int rmRe = h == 1 ? 1 : h == 2 ? 10 : 12, bpRe = h == 1 ? 8 : h == 2 ? 10 : 12;
    CurveSlot& c = w.Curves[s];
    ValueArray& values = AllocateFrames(c, frames, t);
    for (int i = 0; i < values.Count; ++i) {
      const double w0 = kTwoPi * Frequency(ctx, *t.rm, i) / kPowerScale;
      PowerInputs p{kr * t.rm->Array(rmRe)[i], kr * t.rm->Array(rmRe + 1)[i],
                    kb * t.bp->Array(bpRe)[i], kb * t.bp->Array(bpRe + 1)[i]};
      values.Values[i] = PowerValue(rec, w0, p, w.PowerDimension, kind, h);
    }
    w.ScaleMode = SymmetricAboutCentre;
    if (firstOnly) continue;
    if (w.PowerDimension == 1) {
      ScanValueRange(values, -1);
      c.Min = -1;
      c.Max = 1;
      c.Scale = 0;
      c.Name = Text(h == 2 ? TextId::Option2dActive : TextId::Option3dActive);
      c.Colour = CurveColour(Power, w.RecordingMode, h == 2 ? 0 : 1);
    } else {
      FinishKindCurve(c, w, kind, 50);
    }
  }
}

void ComputeAccCompare(const AnalysisContext& ctx, TGrWin& w, int frames, bool firstOnly,
                       bool skipComputed) {
  TFrmFile& rec = ctx.rec;
  if (!HasMassAndPlate(rec)) return;
  const int rm = RmChannelIndex(rec.Mode), bp = BpChannelIndex(rec.Mode);
  // The comparison marks (CacheState bytes 2 and 3) are never set, so both
  // runs always happen; AnalyseFrames fills only what is missing.
  if (AnalyseFrames(ctx, 0, bp, 1, AccCompare, frames) < 1) return;
  for (int s = 0; s < w.CurveCount; ++s) {
    if (SkipComputed(w.Curves[s], skipComputed)) continue;
    if (firstOnly && s > 0) break;
    if (AnalyseFrames(ctx, 0, rm, 0, AccCompare, frames) < 1) return;
    const Tables t = TablesOf(rec);
    const bool amplitude = firstOnly || w.CurveCount == 1 ? w.AmplDiff : s == 0;
    CurveSlot& c = w.Curves[s];
    ValueArray& values = AllocateFrames(c, frames, t);
    for (int i = 0; i < values.Count; ++i) {
      if (amplitude) {
        const double b = std::hypot(t.bp->Array(2)[i], t.bp->Array(1)[i]);
        const double r = std::hypot(t.rm->Array(9)[i], t.rm->Array(8)[i]);
        // No baseplate signal: no comparison to show.
        values.Values[i] = b != 0 ? (r - b) / b * 100 : 0.0;
      } else {
        const double d = std::atan2(t.rm->Array(8)[i], t.rm->Array(9)[i]) * kDegreesPerRadian -
                         std::atan2(t.bp->Array(1)[i], t.bp->Array(2)[i]) * kDegreesPerRadian;
        values.Values[i] = Unwrap(d, i > 0 ? &values.Values[i - 1] : nullptr);
      }
    }
    w.ScaleMode = FitCentreHalfRange;
    if (firstOnly) continue;
    ScanValueRange(values, -1);
    c.Min = -10;
    c.Max = 10;
    c.Centre = 0;
    c.HalfRange = 10;
    c.Scale = 0;
    c.Name = Text(amplitude ? TextId::OptionAmplDiff : TextId::OptionPhaseDiff);
    c.Colour = ChannelColour(w, amplitude ? rm : bp);
  }
}

}  // namespace kalvex
