#pragma once
// The binding to the FFT library (FFTW 3, double precision), loaded at run time
// by the platform and handed to the core as a table of entry points looked up
// by name. Without a binding every transform-based analysis does nothing.
//
// Plans are kept: one transform object per length (and slot) owns its plan
// and its aligned input and output buffers, planned once (with the measuring
// planner) and executed for every frame after. Objects are asked for, and so
// planned, on the user-interface thread only; the workers of one analysis
// may then each execute an object of its own at the same time.

#include <cstddef>
#include <map>
#include <memory>
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
  // Optional: wisdom kept between runs.
  int (*fftw_import_wisdom_from_filename)(const char* path) = nullptr;
  int (*fftw_export_wisdom_to_filename)(const char* path) = nullptr;

  bool Complete() const {
    return fftw_plan_dft_r2c_1d && fftw_plan_dft_c2r_1d && fftw_execute && fftw_destroy_plan &&
           fftw_malloc && fftw_free;
  }
};

// One real-to-complex transform of a fixed length with its own buffers. The
// input is zeroed before each use by the caller as needed; the output holds
// bins 0..n/2 after Execute (the rest is never written).
class FftTransform {
 public:
  FftTransform(const FftEntryPoints& api, int length, unsigned planFlags);
  ~FftTransform();
  FftTransform(const FftTransform&) = delete;
  FftTransform& operator=(const FftTransform&) = delete;

  int Length() const { return n_; }
  double* Input() { return in_; }
  const FftwComplex* Output() const { return out_; }
  void Execute() { api_.fftw_execute(plan_); }

  double Re(int bin) const { return bin >= 0 && bin <= n_ / 2 ? out_[bin][0] : 0.0; }
  double Im(int bin) const { return bin >= 0 && bin <= n_ / 2 ? out_[bin][1] : 0.0; }

 private:
  const FftEntryPoints& api_;
  int n_;
  double* in_ = nullptr;
  FftwComplex* out_ = nullptr;
  FftwPlan plan_ = nullptr;
};

// The inverse, complex-to-real transform of a fixed length with its own
// buffers: bins 0..n/2 in, n real values out (unnormalised). The input is
// overwritten by each run.
class FftInverseTransform {
 public:
  FftInverseTransform(const FftEntryPoints& api, int length, unsigned planFlags);
  ~FftInverseTransform();
  FftInverseTransform(const FftInverseTransform&) = delete;
  FftInverseTransform& operator=(const FftInverseTransform&) = delete;

  int Length() const { return n_; }
  FftwComplex* Input() { return in_; }
  const double* Output() const { return out_; }
  void Execute() { api_.fftw_execute(plan_); }

 private:
  const FftEntryPoints& api_;
  int n_;
  FftwComplex* in_ = nullptr;
  double* out_ = nullptr;
  FftwPlan plan_ = nullptr;
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

  // Drops every kept plan (tests and the end of the process).
  static void ReleasePlans();

  // Whether plans were made since the wisdom was last loaded or saved.
  static bool WisdomChanged();
  static bool LoadWisdom(const char* path);
  static bool SaveWisdom(const char* path);

 private:
  static FftLibrary& Instance();
  // Kept objects by length and slot.
  template <typename T>
  using KeptMap = std::map<std::pair<int, int>, std::unique_ptr<T>>;
  // The kept transform of length n in `slot`, made and planned at first use.
  template <typename T>
  T* Kept(KeptMap<T>& kept, int n, int slot);
  FftEntryPoints api_;
  bool bound_ = false;
  bool wisdomChanged_ = false;
  bool planEveryTransform_ = false;
  KeptMap<FftTransform> transforms_;
  KeptMap<FftInverseTransform> inverses_;
};

}  // namespace kalvex
