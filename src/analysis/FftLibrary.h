#pragma once
// The binding to the FFT library (FFTW 3, double precision), loaded at run time
// by the platform and handed to the core as a table of entry points looked up
// by name. Without a binding every transform-based analysis does nothing.
//
// Plans are kept: one transform object per length (and slot) owns its plan
// and its aligned input and output buffers, planned once and executed for
// every frame after. Objects are asked for, and so planned, on the
// user-interface thread only; the workers of one analysis may then each
// execute an object of its own at the same time.
//
// Which planner: a length with measured wisdom (kept from an earlier run) is
// planned from it; a length without is planned at once by the estimating
// planner and named as wanting a measured plan, which a separate process
// measures and keeps as wisdom for the next run. Measuring a long length takes
// seconds, which the user would otherwise wait for at the first graph. Within
// one binding every length keeps the kind of plan it got first, so results do
// not change mid-run, even when a dropped object is planned again.

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kalvex {

using FftwComplex = double[2];
using FftwPlan = void*;

// The library's entry points, by their library names.
struct FftEntryPoints {
  FftwPlan (*fftw_plan_dft_r2c_1d)(int n, double* in, FftwComplex* out, unsigned flags) = nullptr;
  FftwPlan (*fftw_plan_dft_c2r_1d)(int n, FftwComplex* in, double* out, unsigned flags) = nullptr;
  void (*fftw_execute)(FftwPlan plan) = nullptr;
  void (*fftw_destroy_plan)(FftwPlan plan) = nullptr;
  void* (*fftw_malloc)(std::size_t bytes) = nullptr;
  void (*fftw_free)(void* p) = nullptr;
  // Optional: wisdom kept between runs, as text (the platform reads and
  // writes the file).
  int (*fftw_import_wisdom_from_string)(const char* text) = nullptr;
  void (*fftw_export_wisdom)(void (*writeChar)(char c, void* data), void* data) = nullptr;

  bool Complete() const {
    return fftw_plan_dft_r2c_1d && fftw_plan_dft_c2r_1d && fftw_execute && fftw_destroy_plan &&
           fftw_malloc && fftw_free;
  }
};

// FFTW's planner flags as the library defines them.
constexpr unsigned kFftwMeasure = 0;
constexpr unsigned kFftwEstimate = 1U << 6;
constexpr unsigned kFftwWisdomOnly = 1U << 21;
// No second choice of planner.
constexpr unsigned kNoFallbackPlan = ~0U;

// One real-to-complex transform of a fixed length with its own buffers. The
// input is zeroed before each use by the caller as needed; the output holds
// bins 0..n/2 after Execute (the rest is never written).
class FftTransform {
 public:
  // Planned with `planFlags`, or with `fallbackFlags` when those give no plan
  // (the wisdom-only planner without wisdom).
  FftTransform(const FftEntryPoints& api, int length, unsigned planFlags,
               unsigned fallbackFlags = kNoFallbackPlan);
  ~FftTransform();
  FftTransform(const FftTransform&) = delete;
  FftTransform& operator=(const FftTransform&) = delete;

  int Length() const { return n_; }
  unsigned PlanFlags() const { return flags_; }
  double* Input() { return in_; }
  const FftwComplex* Output() const { return out_; }
  void Execute() { api_.fftw_execute(plan_); }

  double Re(int bin) const { return bin >= 0 && bin <= n_ / 2 ? out_[bin][0] : 0.0; }
  double Im(int bin) const { return bin >= 0 && bin <= n_ / 2 ? out_[bin][1] : 0.0; }

 private:
  const FftEntryPoints& api_;
  int n_;
  unsigned flags_ = kFftwMeasure;
  double* in_ = nullptr;
  FftwComplex* out_ = nullptr;
  FftwPlan plan_ = nullptr;
};

// The inverse, complex-to-real transform of a fixed length with its own
// buffers: bins 0..n/2 in, n real values out (unnormalised). The input is
// overwritten by each run.
class FftInverseTransform {
 public:
  // Planned with `planFlags`, or with `fallbackFlags` when those give no plan
  // (the wisdom-only planner without wisdom).
  FftInverseTransform(const FftEntryPoints& api, int length, unsigned planFlags,
                      unsigned fallbackFlags = kNoFallbackPlan);
  ~FftInverseTransform();
  FftInverseTransform(const FftInverseTransform&) = delete;
  FftInverseTransform& operator=(const FftInverseTransform&) = delete;

  int Length() const { return n_; }
  unsigned PlanFlags() const { return flags_; }
  FftwComplex* Input() { return in_; }
  const double* Output() const { return out_; }
  void Execute() { api_.fftw_execute(plan_); }

 private:
  const FftEntryPoints& api_;
  int n_;
  unsigned flags_ = kFftwMeasure;
  FftwComplex* in_ = nullptr;
  double* out_ = nullptr;
  FftwPlan plan_ = nullptr;
};

// Lengths whose plans were estimated, forward and inverse, in increasing order.
struct FftLengths {
  std::vector<int> forward;
  std::vector<int> inverse;
  bool Empty() const { return forward.empty() && inverse.empty(); }
};

class FftLibrary {
 public:
  // The process's binding; Bind(nullptr) or a table that lacks an entry point
  // leaves it unbound.
  static void Bind(const FftEntryPoints* api);
  static bool Available();

  // The kept transform of length n (made and planned at first use); null
  // without a library. Slots 1, 2, .. are further transforms of the same
  // length with buffers of their own, for analyses that need several
  // spectra at once (planned from the wisdom of the first, so cheaply).
  // A returned object stays valid until ReleasePlans or Bind, or until
  // objects of other lengths push it out of the bounded set kept.
  static FftTransform* Transform(int n, int slot = 0);

  // The kept transforms of length n in slots 0..workers-1, one for each
  // worker of an analysis; fewer when memory runs short (at least slot 0,
  // which may throw as Transform does); empty without a library.
  static std::vector<FftTransform*> WorkerTransforms(int n, int workers);

  // The kept inverse transform of length n in `slot`; null without a library.
  static FftInverseTransform* InverseTransform(int n, int slot = 0);

  // A transform planned afresh for this one use, as the plain way does.
  static std::unique_ptr<FftTransform> FreshTransform(int n);

  // The plain way, for comparison: every transform gets a plan of its own,
  // made just before it runs.
  static void SetPlanEveryTransform(bool on) { Instance().planEveryTransform_ = on; }
  static bool PlanEveryTransform() { return Instance().planEveryTransform_; }

  // Drops every kept plan (tests and the end of the process). A length
  // planned again keeps the kind of plan it had.
  static void ReleasePlans();

  // The way before estimated plans, for comparison: a length without wisdom
  // is measured when first asked for (from the next length planned on).
  static void SetMeasureAtFirstUse(bool on) { Instance().measureAtFirstUse_ = on; }

  // The lengths planned by the estimating planner since Bind: what a
  // measuring process should measure for the next run.
  static FftLengths WantingMeasurement();

  // Plans every length with the measuring planner (from wisdom where there is
  // some, so cheaply), so that the wisdom holds measured plans of them. Kept
  // plans are not touched.
  static void MeasureWisdom(const FftLengths& lengths);

  // The longest time one plan took since Bind, in seconds.
  static double LongestPlanning();

  // Whether measured plans were made since the wisdom was last saved.
  static bool WisdomChanged();
  // Adds wisdom text (a wisdom file's) to the process's; false when the
  // library refuses it or keeps no wisdom.
  static bool ImportWisdom(const std::string& text);
  // The process's wisdom as text, with `stored` (the wisdom file as it is now)
  // imported first, so that plans measured by another process survive the
  // save; empty without the library's wisdom entry points. Call only when
  // no more plans are made: imported wisdom would change the plans of lengths
  // planned after it.
  static std::string MergedWisdom(const std::string& stored);
  // The merged wisdom was written.
  static void WisdomSaved() { Instance().wisdomChanged_ = false; }

 private:
  static FftLibrary& Instance();
  // Kept objects by length and slot.
  template <typename T>
  using KeptMap = std::map<std::pair<int, int>, std::unique_ptr<T>>;
  // The kept transform of length n in `slot`, made and planned at first use.
  template <typename T>
  T* Kept(KeptMap<T>& kept, int n, int slot);
  // A new transform of length n planned as this binding plans that length.
  template <typename T>
  std::unique_ptr<T> Planned(int n);
  FftEntryPoints api_;
  bool bound_ = false;
  bool wisdomChanged_ = false;
  bool planEveryTransform_ = false;
  bool measureAtFirstUse_ = false;
  double longestPlanning_ = 0;
  // The flags each length was first planned with, by length and direction
  // (true: inverse).
  std::map<std::pair<int, bool>, unsigned> planFlags_;
  KeptMap<FftTransform> transforms_;
  KeptMap<FftInverseTransform> inverses_;
};

}  // namespace kalvex
