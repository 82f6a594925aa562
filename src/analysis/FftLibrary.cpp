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

template <typename T>
T* FftLibrary::Kept(std::map<int, std::unique_ptr<T>>& kept, int n) {
  if (!bound_ || n < 1) return nullptr;
  auto it = kept.find(n);
  if (it != kept.end()) return it->second.get();
  if (kept.size() >= kMaxKeptLengths) kept.erase(kept.begin());
  auto made = std::make_unique<T>(api_, n, kMeasure);
  wisdomChanged_ = true;
  return kept.emplace(n, std::move(made)).first->second.get();
}

FftTransform* FftLibrary::Transform(int n) {
  return Instance().Kept(Instance().transforms_, n);
}

FftInverseTransform* FftLibrary::InverseTransform(int n) {
  return Instance().Kept(Instance().inverses_, n);
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
