#include "analysis/FftLibrary.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace kalvex {
namespace {

// FFTW's measuring planner: flags 0.
constexpr unsigned kMeasure = 0;
// The analyses of one record use two or three lengths, the correlation a few
// slots of one; beyond this many kept objects one of the shortest other
// length is dropped to bound the memory held.
constexpr std::size_t kMaxKept = 16;

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
T* FftLibrary::Kept(KeptMap<T>& kept, int n, int slot) {
  if (!bound_ || n < 1 || slot < 0) return nullptr;
  const std::pair<int, int> key{n, slot};
  auto it = kept.find(key);
  if (it != kept.end()) return it->second.get();
  if (kept.size() >= kMaxKept) {
    // Never one of the length asked for: its other slots may be in use.
    auto other = std::find_if(kept.begin(), kept.end(),
                              [n](const auto& entry) { return entry.first.first != n; });
    if (other != kept.end()) kept.erase(other);
  }
  auto made = std::make_unique<T>(api_, n, kMeasure);
  wisdomChanged_ = true;
  return kept.emplace(key, std::move(made)).first->second.get();
}

FftTransform* FftLibrary::Transform(int n, int slot) {
  return Instance().Kept(Instance().transforms_, n, slot);
}

std::vector<FftTransform*> FftLibrary::WorkerTransforms(int n, int workers) {
  std::vector<FftTransform*> out;
  FftTransform* first = Transform(n, 0);
  if (!first) return out;
  out.push_back(first);
  try {
    for (int slot = 1; slot < workers; ++slot) out.push_back(Transform(n, slot));
  } catch (const std::bad_alloc&) {
    // The workers that have a transform share the work.
  }
  return out;
}

FftInverseTransform* FftLibrary::InverseTransform(int n, int slot) {
  return Instance().Kept(Instance().inverses_, n, slot);
}

std::unique_ptr<FftTransform> FftLibrary::FreshTransform(int n) {
  FftLibrary& lib = Instance();
  if (!lib.bound_ || n < 1) return nullptr;
  return std::make_unique<FftTransform>(lib.api_, n, kMeasure);
}

void FftLibrary::ReleasePlans() {
  Instance().transforms_.clear();
  Instance().inverses_.clear();
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
