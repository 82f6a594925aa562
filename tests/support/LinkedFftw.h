#pragma once
// Binds the FFT library linked into the test program to the core, as the
// platform's loader does with the library it finds at run time.

#include <fftw3.h>

#include "analysis/FftLibrary.h"

namespace kalvex::test {

inline const FftEntryPoints& LinkedFftwEntryPoints() {
  static const FftEntryPoints api = [] {
    FftEntryPoints a;
    a.fftw_plan_dft_r2c_1d = [](int n, double* in, FftwComplex* out, unsigned flags) -> FftwPlan {
      return ::fftw_plan_dft_r2c_1d(n, in, reinterpret_cast<fftw_complex*>(out), flags);
    };
    a.fftw_plan_dft_c2r_1d = [](int n, FftwComplex* in, double* out, unsigned flags) -> FftwPlan {
      return ::fftw_plan_dft_c2r_1d(n, reinterpret_cast<fftw_complex*>(in), out, flags);
    };
    a.fftw_execute = [](FftwPlan p) { ::fftw_execute(static_cast<fftw_plan>(p)); };
    a.fftw_destroy_plan = [](FftwPlan p) { ::fftw_destroy_plan(static_cast<fftw_plan>(p)); };
    a.fftw_malloc = ::fftw_malloc;
    a.fftw_free = ::fftw_free;
    a.fftw_import_wisdom_from_string = ::fftw_import_wisdom_from_string;
    a.fftw_export_wisdom = ::fftw_export_wisdom;
    return a;
  }();
  return api;
}

// Binds for the life of the object; unbinds after (so that a test can also
// check the behaviour without a library).
struct LinkedFftw {
  LinkedFftw() { FftLibrary::Bind(&LinkedFftwEntryPoints()); }
  ~LinkedFftw() { FftLibrary::Bind(nullptr); }
};

}  // namespace kalvex::test
