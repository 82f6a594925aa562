#include "analysis/FftLibrary.h"

#include <cstring>
#include <new>

namespace kalvex {
namespace {

// FFTW's measuring planner: flags 0.
constexpr unsigned kMeasure = 0;
// The analyses of one record use two or three lengths; beyond this many kept
// lengths the shortest is dropped to bound the memory held.
constexpr std::size_t kMaxKeptLengths = 8;

}  // namespace

FftTransform::FftTransform(const FftEntryPoints& api, int length, unsigned planFlags)
    : api_(api), n_(length) {
  in_ = static_cast<double*>(api_.fftw_malloc(sizeof(double) * n_));
  out_ = static_cast<FftwComplex*>(api_.fftw_malloc(sizeof(FftwComplex) * (n_ / 2 + 1)));
  if (!in_ || !out_) {
    if (in_) api_.fftw_free(in_);
    if (out_) api_.fftw_free(out_);
    throw std::bad_alloc();
  }
  // Measuring overwrites the arrays, so they are zeroed after planning.
  plan_ = api_.fftw_plan_dft_r2c_1d(n_, in_, out_, planFlags);
  std::memset(in_, 0, sizeof(double) * n_);
  std::memset(out_, 0, sizeof(FftwComplex) * (n_ / 2 + 1));
  if (!plan_) {
    api_.fftw_free(in_);
    api_.fftw_free(out_);
    throw std::bad_alloc();
  }
}

FftTransform::~FftTransform() {
  api_.fftw_destroy_plan(plan_);
  api_.fftw_free(in_);
  api_.fftw_free(out_);
}

FftInverseTransform::FftInverseTransform(const FftEntryPoints& api, int length, unsigned planFlags)
    : api_(api), n_(length) {
  in_ = static_cast<FftwComplex*>(api_.fftw_malloc(sizeof(FftwComplex) * (n_ / 2 + 1)));
  out_ = static_cast<double*>(api_.fftw_malloc(sizeof(double) * n_));
  if (in_ && out_) plan_ = api_.fftw_plan_dft_c2r_1d(n_, in_, out_, planFlags);
  if (!plan_) {
    if (in_) api_.fftw_free(in_);
    if (out_) api_.fftw_free(out_);
    throw std::bad_alloc();
  }
}

FftInverseTransform::~FftInverseTransform() {
  api_.fftw_destroy_plan(plan_);
  api_.fftw_free(in_);
  api_.fftw_free(out_);
}

FftLibrary& FftLibrary::Instance() {
  static FftLibrary library;
  return library;
}

void FftLibrary::Bind(const FftEntryPoints* api) {
  FftLibrary& lib = Instance();
  lib.transforms_.clear();
  lib.inverses_.clear();
  lib.bound_ = api && api->Complete();
  lib.api_ = lib.bound_ ? *api : FftEntryPoints{};
}

bool FftLibrary::Available() {
  return Instance().bound_;
}

FftTransform* FftLibrary::Transform(int n) {
  FftLibrary& lib = Instance();
  if (!lib.bound_ || n < 1) return nullptr;
  auto it = lib.transforms_.find(n);
  if (it != lib.transforms_.end()) return it->second.get();
  if (lib.transforms_.size() >= kMaxKeptLengths) lib.transforms_.erase(lib.transforms_.begin());
  auto made = std::make_unique<FftTransform>(lib.api_, n, kMeasure);
  lib.wisdomChanged_ = true;
  return lib.transforms_.emplace(n, std::move(made)).first->second.get();
}

FftInverseTransform* FftLibrary::InverseTransform(int n) {
  FftLibrary& lib = Instance();
  if (!lib.bound_ || n < 1) return nullptr;
  auto it = lib.inverses_.find(n);
  if (it != lib.inverses_.end()) return it->second.get();
  if (lib.inverses_.size() >= kMaxKeptLengths) lib.inverses_.erase(lib.inverses_.begin());
  auto made = std::make_unique<FftInverseTransform>(lib.api_, n, kMeasure);
  lib.wisdomChanged_ = true;
  return lib.inverses_.emplace(n, std::move(made)).first->second.get();
}

std::unique_ptr<FftTransform> FftLibrary::FreshTransform(int n) {
  FftLibrary& lib = Instance();
  if (!lib.bound_ || n < 1) return nullptr;
  return std::make_unique<FftTransform>(lib.api_, n, kMeasure);
}

void FftLibrary::ReleasePlans() {
  Instance().transforms_.clear();
}

bool FftLibrary::WisdomChanged() {
  return Instance().wisdomChanged_;
}

bool FftLibrary::LoadWisdom(const char* path) {
  FftLibrary& lib = Instance();
  if (!lib.bound_ || !lib.api_.fftw_import_wisdom_from_filename) return false;
  bool ok = lib.api_.fftw_import_wisdom_from_filename(path) != 0;
  lib.wisdomChanged_ = false;
  return ok;
}

bool FftLibrary::SaveWisdom(const char* path) {
  FftLibrary& lib = Instance();
  if (!lib.bound_ || !lib.api_.fftw_export_wisdom_to_filename) return false;
  bool ok = lib.api_.fftw_export_wisdom_to_filename(path) != 0;
  if (ok) lib.wisdomChanged_ = false;
  return ok;
}

}  // namespace kalvex
