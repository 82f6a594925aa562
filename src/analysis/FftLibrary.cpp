#include "analysis/FftLibrary.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>
#include <type_traits>

namespace kalvex {
namespace {

// The analyses of one record use two or three lengths, the correlation a few
// slots of one; beyond this many kept objects one of the shortest other
// length is dropped to bound the memory held.
constexpr std::size_t kMaxKept = 16;

// Plans with `flags`, or with `fallback` when they give no plan; the flags
// that gave the plan in `used`.
template <typename MakePlan>
FftwPlan PlanWith(unsigned flags, unsigned fallback, unsigned& used, MakePlan makePlan) {
  used = flags;
  FftwPlan plan = makePlan(flags);
  if (!plan && fallback != kNoFallbackPlan) {
    used = fallback;
    plan = makePlan(fallback);
  }
  return plan;
}

}  // namespace

FftTransform::FftTransform(const FftEntryPoints& api, int length, unsigned planFlags,
                           unsigned fallbackFlags)
    : api_(api), n_(length) {
  in_ = static_cast<double*>(api_.fftw_malloc(sizeof(double) * n_));
  out_ = static_cast<FftwComplex*>(api_.fftw_malloc(sizeof(FftwComplex) * (n_ / 2 + 1)));
  if (!in_ || !out_) {
    if (in_) api_.fftw_free(in_);
    if (out_) api_.fftw_free(out_);
    throw std::bad_alloc();
  }
  // Measuring overwrites the arrays, so they are zeroed after planning.
  plan_ = PlanWith(planFlags, fallbackFlags, flags_,
                   [this](unsigned f) { return api_.fftw_plan_dft_r2c_1d(n_, in_, out_, f); });
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

FftInverseTransform::FftInverseTransform(const FftEntryPoints& api, int length, unsigned planFlags,
                                         unsigned fallbackFlags)
    : api_(api), n_(length) {
  in_ = static_cast<FftwComplex*>(api_.fftw_malloc(sizeof(FftwComplex) * (n_ / 2 + 1)));
  out_ = static_cast<double*>(api_.fftw_malloc(sizeof(double) * n_));
  if (in_ && out_)
    plan_ = PlanWith(planFlags, fallbackFlags, flags_,
                     [this](unsigned f) { return api_.fftw_plan_dft_c2r_1d(n_, in_, out_, f); });
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
  lib.planFlags_.clear();
  lib.longestPlanning_ = 0;
  lib.bound_ = api && api->Complete();
  lib.api_ = lib.bound_ ? *api : FftEntryPoints{};
}

bool FftLibrary::Available() {
  return Instance().bound_;
}

template <typename T>
std::unique_ptr<T> FftLibrary::Planned(int n) {
  const std::pair<int, bool> key{n, std::is_same_v<T, FftInverseTransform>};
  const auto known = planFlags_.find(key);
  // A length keeps the kind of plan it got first; a new one is planned from
  // measured wisdom when there is some, else estimated at once.
  unsigned flags = kFftwMeasure, fallback = kNoFallbackPlan;
  if (known != planFlags_.end())
    flags = known->second;
  else if (!measureAtFirstUse_)
    flags = kFftwMeasure | kFftwWisdomOnly, fallback = kFftwEstimate;
  const auto start = std::chrono::steady_clock::now();
  auto made = std::make_unique<T>(api_, n, flags, fallback);
  longestPlanning_ =
      std::max(longestPlanning_,
               std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  planFlags_.emplace(key, made->PlanFlags());
  if (made->PlanFlags() == kFftwMeasure) wisdomChanged_ = true;
  return made;
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
  auto made = Planned<T>(n);
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
  return lib.Planned<FftTransform>(n);
}

void FftLibrary::ReleasePlans() {
  Instance().transforms_.clear();
  Instance().inverses_.clear();
}

FftLengths FftLibrary::WantingMeasurement() {
  FftLengths lengths;
  for (const auto& [key, flags] : Instance().planFlags_)
    if (flags == kFftwEstimate)
      (key.second ? lengths.inverse : lengths.forward).push_back(key.first);
  return lengths;
}

void FftLibrary::MeasureWisdom(const FftLengths& lengths) {
  FftLibrary& lib = Instance();
  if (!lib.bound_) return;
  for (int n : lengths.forward)
    if (n > 0) FftTransform measured(lib.api_, n, kFftwMeasure);
  for (int n : lengths.inverse)
    if (n > 0) FftInverseTransform measured(lib.api_, n, kFftwMeasure);
  lib.wisdomChanged_ = true;
}

double FftLibrary::LongestPlanning() {
  return Instance().longestPlanning_;
}

bool FftLibrary::WisdomChanged() {
  return Instance().wisdomChanged_;
}

bool FftLibrary::ImportWisdom(const std::string& text) {
  FftLibrary& lib = Instance();
  if (!lib.bound_ || !lib.api_.fftw_import_wisdom_from_string || text.empty()) return false;
  return lib.api_.fftw_import_wisdom_from_string(text.c_str()) != 0;
}

std::string FftLibrary::MergedWisdom(const std::string& stored) {
  FftLibrary& lib = Instance();
  std::string text;
  if (!lib.bound_ || !lib.api_.fftw_export_wisdom || !lib.api_.fftw_import_wisdom_from_string)
    return text;
  ImportWisdom(stored);
  lib.api_.fftw_export_wisdom(
      [](char c, void* data) { static_cast<std::string*>(data)->push_back(c); }, &text);
  return text;
}

}  // namespace kalvex
