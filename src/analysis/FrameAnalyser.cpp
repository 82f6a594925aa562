#include "analysis/FrameAnalyser.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "analysis/ChannelSignal.h"
#include "analysis/FftLibrary.h"
#include "analysis/ParallelBlocks.h"
#include "analysis/SpectralBasics.h"
#include "recordings/TFrmFile.h"
#include "shell/BusyScope.h"
#include "shell/ProgramSettings.h"

namespace kalvex {
namespace {

constexpr double kDegreesPerRadian = 57.295779513082320877;
// A peak at P is taken for a harmonic of P/5 or P/3 unless it is more than
// this many times stronger (10 dB).
constexpr double kHarmonicRatio = 3.16;

int RoundToInt(double x) {
  return static_cast<int>(std::nearbyint(x));
}

// Squared magnitudes of bins 0..n/2 of the transform just executed (the
// higher bins of a real transform are zero), taken from its output when
// asked rather than kept: a frame needs them all once, for the largest, and
// a few hundred again. Square roots are taken only where a magnitude is
// needed: the root is monotonic and correctly rounded, so the largest root is
// the root of the largest square.
class Magnitudes {
 public:
  explicit Magnitudes(int length) : n_(length / 2 + 1), blockMax_((n_ + kBlock - 1) / kBlock) {}

  // Finds the first largest square, and the largest square before it (-1
  // when the first bin is the largest): each block's largest, then the first
  // block holding the largest of all, whose bins alone are read once more.
  void Take(const FftTransform& t) {
    out_ = t.Output();
    const int blocks = static_cast<int>(blockMax_.size());
    for (int k = 0; k < blocks; ++k)
      blockMax_[k] = LargestSquare(k * kBlock, std::min(n_, (k + 1) * kBlock) - 1);
    const int top = static_cast<int>(
        std::max_element(blockMax_.begin(), blockMax_.end()) - blockMax_.begin());
    const int start = top * kBlock;
    first_ = start;
    while (first_ < n_ - 1 && SquareAt(first_) != blockMax_[top]) ++first_;
    double before = first_ > start ? LargestSquare(start, first_ - 1) : -1;
    for (int k = 0; k < top; ++k) before = std::max(before, blockMax_[k]);
    beforeBest_ = before;
  }

  // A bin's squared magnitude; an infinite or undefined one counts as 0.
  static double Square(const FftwComplex& c) {
    const double s = c[0] * c[0] + c[1] * c[1];
    return s <= std::numeric_limits<double>::max() ? s : 0.0;
  }
  double SquareAt(int bin) const { return Square(out_[bin]); }

  double At(int bin) const { return bin >= 0 && bin < n_ ? std::sqrt(SquareAt(bin)) : 0.0; }

  double MaxOver(int from, int to) const {
    from = std::max(from, 0);
    to = std::min(to, n_ - 1);
    if (from > to) return 0.0;
    return std::sqrt(LargestSquareByBlocks(from, to));
  }

  // The same largest, with the blocks that lie wholly inside from..to
  // taken from their kept maxima: the harmonics' neighbourhoods span
  // thousands of bins.
  double LargestSquareByBlocks(int from, int to) const {
    const int firstWhole = (from + kBlock - 1) / kBlock, lastWhole = (to + 1) / kBlock - 1;
    if (firstWhole > lastWhole) return LargestSquare(from, to);
    double largest = *std::max_element(blockMax_.begin() + firstWhole,
                                       blockMax_.begin() + lastWhole + 1);
    if (from < firstWhole * kBlock)
      largest = std::max(largest, LargestSquare(from, firstWhole * kBlock - 1));
    if ((lastWhole + 1) * kBlock <= to)
      largest = std::max(largest, LargestSquare((lastWhole + 1) * kBlock, to));
    return largest;
  }

  // The largest of the squares from..to (from <= to). Squares are never
  // negative nor NaN, so running maxima give the one maximum. Two bins at a
  // time in vector registers, eight maxima running apart, so that the
  // processor does not wait on each comparison in turn; each square is
  // formed as Square forms it.
  double LargestSquare(int from, int to) const {
    using Two = double __attribute__((vector_size(16)));
    const Two none = {0, 0}, finite = {std::numeric_limits<double>::max(),
                                       std::numeric_limits<double>::max()};
    auto squares = [&](int bin) {  // of bins bin and bin + 1
      Two a, b;
      std::memcpy(&a, out_[bin], sizeof a);
      std::memcpy(&b, out_[bin + 1], sizeof b);
      a *= a;
      b *= b;
      const Two s = __builtin_shufflevector(a, b, 0, 2) + __builtin_shufflevector(a, b, 1, 3);
      return s <= finite ? s : none;
    };
    Two m[4] = {none, none, none, none};
    int b = from;
    for (; b + 7 <= to; b += 8) {
      const Two s0 = squares(b), s1 = squares(b + 2), s2 = squares(b + 4), s3 = squares(b + 6);
      m[0] = s0 > m[0] ? s0 : m[0];
      m[1] = s1 > m[1] ? s1 : m[1];
      m[2] = s2 > m[2] ? s2 : m[2];
      m[3] = s3 > m[3] ? s3 : m[3];
    }
    double largest = 0;
    for (const Two& pair : m) largest = std::max({largest, pair[0], pair[1]});
    for (; b <= to; ++b) largest = std::max(largest, SquareAt(b));
    return largest;
  }

  // The first bin of the largest magnitude: the first largest square, or an
  // earlier bin whose root rounds to the same magnitude.
  int FirstLargest() const {
    const double best = SquareAt(first_);
    const double m = std::sqrt(best);
    const double near = best * (1 - 1e-15);
    if (beforeBest_ < near) return first_;
    for (int i = 0; i < first_; ++i)
      if (SquareAt(i) >= near && std::sqrt(SquareAt(i)) == m) return i;
    return first_;
  }

 private:
  static constexpr int kBlock = 64;
  int n_;
  std::vector<double> blockMax_;
  const FftwComplex* out_ = nullptr;
  int first_ = 0;
  double beforeBest_ = -1;
};

int FundamentalBin(const Magnitudes& mag) {
  int p = mag.FirstLargest();
  int q5 = RoundToInt(p / 5.0);
  if (mag.At(p) <= kHarmonicRatio * mag.At(q5)) return q5;
  int q3 = RoundToInt(p / 3.0);
  if (mag.At(p) <= kHarmonicRatio * mag.At(q3)) return q3;
  return p;
}

// Hamming weights 1..d+1 of a frame with span d, kept while frames keep
// their length (all but those cut at the ends of the sweep).
class TaperCache {
 public:
  const std::vector<double>& For(int d) {
    if (d != d_ || weights_.empty()) {
      d_ = d;
      weights_.resize(std::max(d + 2, 1));
      for (int k = 0; k < static_cast<int>(weights_.size()); ++k) weights_[k] = HammingWeight(k, d);
    }
    return weights_;
  }

 private:
  int d_ = -1;
  std::vector<double> weights_;
};

// Writes the tapered frame a..e-1 into the transform input, placed at its
// sample position, or moved back so that it ends at the input's end when it
// would run past it. Clears what the previous frame left.
class FrameWriter {
 public:
  FrameWriter(FftTransform& t, const std::vector<double>& x) : t_(t), x_(x) {
    std::fill(t.Input(), t.Input() + t.Length(), 0.0);
  }

  void Write(int a, int e) {
    double* in = t_.Input();
    const int n = t_.Length();
    std::fill(in + lastFrom_, in + lastTo_, 0.0);
    const int shift = std::max(0, e - n);
    const std::vector<double>& w = taper_.For(e - a - 1);
    for (int j = a; j < e; ++j) {
      int at = j - shift;
      if (at >= 0) in[at] = w[j - a + 1] * x_[j];
    }
    lastFrom_ = std::clamp(a - shift, 0, n);
    lastTo_ = std::clamp(e - shift, 0, n);
  }

 private:
  FftTransform& t_;
  const std::vector<double>& x_;
  TaperCache taper_;
  int lastFrom_ = 0;
  int lastTo_ = 0;
};

// Executes the kept transform, or, the plain way, a transform planned just
// now for this one frame on a copy of the input.
const FftTransform& Run(FftTransform& kept, std::unique_ptr<FftTransform>& fresh) {
  if (!FftLibrary::PlanEveryTransform()) {
    kept.Execute();
    return kept;
  }
  fresh = FftLibrary::FreshTransform(kept.Length());
  std::copy_n(kept.Input(), kept.Length(), fresh->Input());
  fresh->Execute();
  return *fresh;
}

struct Bin {
  double re, im;
};
Bin BinAt(const FftTransform& t, int k) {
  return {t.Re(k), t.Im(k)};
}

void Store(FrameAnalysis& table, int array, int frame, double v) {
  table.Array(array)[frame] = v;
}
void StoreBin(FrameAnalysis& table, int reArray, int frame, Bin b) {
  Store(table, reArray, frame, b.re);
  Store(table, reArray + 1, frame, b.im);
}

// What one run fills in a channel's table, frame by frame.
struct FrameFill {
  FrameAnalysis& table;
  bool fundamental;  // a new table: fundamental bin and its value
  bool harmonics;
  bool isRm;  // RM also keeps its bins at twice and three times the fundamental
  int length;
  const FrameAnalysis* reference;  // phase against the reference's fundamental
  const FrameAnalysis* bp;         // RM's values at BP's fundamental
  const FrameAnalysis* rm;         // BP's values at RM's fundamentals
};

// Entries of frame i from its transform; touches only frame i of the table.
void FillFrame(const FrameFill& f, int i, const FftTransform& out, const Magnitudes& mag) {
  FrameAnalysis& tab = f.table;
  if (f.fundamental) {
    int bin = FundamentalBin(mag);
    Store(tab, 0, i, bin);
    StoreBin(tab, 1, i, BinAt(out, bin));
  }
  if (f.harmonics) {
    const int j = RoundToInt(tab.Array(0)[i]);
    const int w = RoundToInt(j * 0.25);
    const double level = mag.MaxOver(j - w, std::min(j + w, f.length - 1));
    for (int h = 2; h <= 5; ++h) {
      double harmonic = mag.MaxOver(h * j - w, std::min(h * j + w, f.length - 1));
      // A silent neighbourhood of the fundamental has no harmonic levels.
      Store(tab, h + 1, i, level > 0 ? harmonic / level * 100 : 0.0);
    }
    if (f.isRm) {
      StoreBin(tab, 10, i, BinAt(out, 2 * j));
      StoreBin(tab, 12, i, BinAt(out, 3 * j));
    }
  }
  if (f.reference) {
    Bin b = BinAt(out, RoundToInt(f.reference->Array(0)[i]));
    Store(tab, 7, i, std::atan2(b.re, b.im) * kDegreesPerRadian);
  }
  if (f.bp) StoreBin(tab, 8, i, BinAt(out, RoundToInt(f.bp->Array(0)[i])));
  if (f.rm) {
    const int k = RoundToInt(f.rm->Array(0)[i]);
    StoreBin(tab, 8, i, BinAt(out, k));
    StoreBin(tab, 10, i, BinAt(out, 2 * k));
    StoreBin(tab, 12, i, BinAt(out, 3 * k));
  }
}

}  // namespace

bool HasTable(const AnalysisContext& ctx, int channel, int frames) {
  if (channel < 0 || channel >= MaxChannelSlots) return false;
  const auto& table = ctx.rec.FrameAnalyses[channel];
  return table && table->FrameCount == frames;
}

int FrameCount(const AnalysisContext& ctx) {
  int step = ctx.settings.AmplitudeStep;
  return step > 0 ? ctx.rec.SweepLength / step : 0;
}

int AnalyseFrames(const AnalysisContext& ctx, int mask, int channel, int phaseFlag, int purpose,
                  int frames) {
  TFrmFile& rec = ctx.rec;
  const int n = rec.SweepLength;
  if (!FftLibrary::Available() || channel < 0 || channel >= MaxChannelSlots || frames < 0) return 0;
  BusyScope busy;
  const int length = FrameFftLength(n, ctx.settings.InputSize);
  // Frames are independent: each worker takes a block of them on a kept
  // transform of its own. Plans made for a single frame (the plain way) are
  // made on this thread only, so one worker then.
  std::vector<FftTransform*> transforms;
  try {
    const int workers = FftLibrary::PlanEveryTransform() ? 1 : BlockCount(frames);
    transforms = FftLibrary::WorkerTransforms(length, workers);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (transforms.empty()) return 0;

  auto& table = rec.FrameAnalyses[channel];
  const int rm = RmChannelIndex(rec.Mode), bp = BpChannelIndex(rec.Mode);
  if (table && table->FrameCount != frames) {
    // A table of another frame count (the step changed) is made anew, and
    // the cross values that rested on it with it.
    table.reset();
    rec.AnalysisValid[channel] = rec.CrossValid[channel] = false;
    if (channel == rm || channel == bp) rec.CacheState[0] = rec.CacheState[1] = 0;
  }
  const bool isNew = !table;
  if (isNew) table = std::make_unique<FrameAnalysis>(frames);

  const bool fillHarmonics = !rec.AnalysisValid[channel];
  const bool fillPhase = purpose == PhasePurpose && phaseFlag == 0;
  const int reference = rec.CrossReferenceChannel;
  // Other tables are read frame by frame: only one of the same frame count.
  auto other = [&](int slot) -> const FrameAnalysis* {
    const FrameAnalysis* t =
        slot >= 0 && slot < MaxChannelSlots ? rec.FrameAnalyses[slot].get() : nullptr;
    return t && t->FrameCount == frames ? t : nullptr;
  };
  const FrameAnalysis* referenceTable = fillPhase ? other(reference) : nullptr;
  const FrameAnalysis* bpTable = channel == rm && !rec.CacheState[0] ? other(bp) : nullptr;
  const FrameAnalysis* rmTable = channel == bp && !rec.CacheState[1] ? other(rm) : nullptr;

  const std::vector<double> x = ChannelSignal(ctx, channel, mask, n);
  const int half = ctx.settings.AmplitudeFrame / 2;
  const FrameFill fill{*table, isNew,          fillHarmonics, channel == rm,
                       length, referenceTable, bpTable,       rmTable};
  auto analyse = [&](int worker, int first, int end) {
    FftTransform& own = *transforms[worker];
    FrameWriter writer(own, x);
    Magnitudes mag(length);
    std::unique_ptr<FftTransform> fresh;
    for (int i = first; i < end; ++i) {
      const int centre = i * ctx.settings.AmplitudeStep;
      writer.Write(std::max(0, centre - half), std::min(n - 1, centre + half));
      const FftTransform& out = Run(own, fresh);
      mag.Take(out);
      FillFrame(fill, i, out, mag);
    }
  };
  RunInBlocks(frames, static_cast<int>(transforms.size()), analyse);

  rec.AnalysisValid[channel] = true;
  if (fillPhase) rec.CrossValid[channel] = true;
  if (channel == rm && other(bp)) rec.CacheState[0] = 1;
  if (channel == bp && other(rm)) rec.CacheState[1] = 1;
  return length;
}

}  // namespace kalvex
