// Work spread over several workers: every task done once, failures passed
// back, and the analyses that use workers giving the same bits as one.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <stdexcept>
#include <thread>
#include <vector>

#include "analysis/DistortionAnalysis.h"
#include "analysis/FrameAnalyser.h"
#include "analysis/ParallelBlocks.h"
#include "recordings/RecordingModes.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

#if defined(__linux__)
#include <dlfcn.h>
#include <pthread.h>

#include <cerrno>

// Threads this test program may still start; -1: any number. The program's
// own pthread_create stands in front of the C library's, so a test can make
// a worker thread fail to start as on a machine out of threads.
static std::atomic<int> threadsLeft{-1};

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr,
                              void* (*start)(void*), void* arg) {
  using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
  static const auto real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
  for (int left = threadsLeft.load(); left >= 0; left = threadsLeft.load()) {
    if (left == 0) return EAGAIN;
    if (threadsLeft.compare_exchange_weak(left, left - 1)) break;
  }
  return real(thread, attr, start, arg);
}
#endif

namespace kalvex {
namespace {

// Restores the machine's worker count at the end of a test.
struct Workers {
  explicit Workers(int count) { SetWorkerCount(count); }
  ~Workers() { SetWorkerCount(0); }
};

TEST(ParallelBlocksTest, BlocksCoverEveryTaskOnceAndFailuresComeBack) {
  for (int workers : {1, 2, 3, 8}) {
    Workers set(workers);
    for (int count : {0, 1, 2, 7, 100}) {
      std::vector<std::atomic<int>> done(count);
      std::atomic<int> badWorker{0};
      RunInBlocks(count, [&](int worker, int first, int end) {
        if (worker < 0 || worker >= BlockCount(count)) ++badWorker;
        for (int i = first; i < end; ++i) ++done[i];
      });
      EXPECT_EQ(badWorker.load(), 0) << workers << ' ' << count;
      for (int i = 0; i < count; ++i)
        ASSERT_EQ(done[i].load(), 1) << workers << ' ' << count << ' ' << i;
    }
    // A failing block does not stop the others; its failure reaches the caller.
    std::atomic<int> ended{0};
    EXPECT_THROW(RunInBlocks(10,
                             [&](int worker, int, int) {
                               ++ended;
                               if (worker == BlockCount(10) - 1) throw std::runtime_error("x");
                             }),
                 std::runtime_error);
    EXPECT_EQ(ended.load(), BlockCount(10));
    // A larger bound than the workers gives no more blocks than without one.
    std::atomic<int> blocks{0};
    RunInBlocks(7, 100, [&](int, int, int) { ++blocks; });
    EXPECT_EQ(blocks.load(), BlockCount(7));
  }
}

// The kept threads serve one run at a time: a run started inside a block,
// or on another thread meanwhile, still ends with every task done once.
TEST(ParallelBlocksTest, RunsInsideBlocksAndFromTwoThreadsAtOnceEachEnd) {
  Workers set(3);
  std::vector<std::atomic<int>> done(2 * 6 * 50);
  auto outer = [&](int base) {
    for (int round = 0; round < 50; ++round)
      RunInBlocks(2, [&](int, int first, int end) {
        for (int i = first; i < end; ++i)
          RunInBlocks(3, [&](int, int from, int to) {
            for (int k = from; k < to; ++k) ++done[base + (round * 2 + i) * 3 + k];
          });
      });
  };
  std::thread other(outer, 300);
  outer(0);
  other.join();
  for (std::size_t i = 0; i < done.size(); ++i) ASSERT_EQ(done[i].load(), 1) << i;
}

#if defined(__linux__)
// Blocks whose thread cannot start run on the caller's thread: every task
// still done once, whether no thread or only some start.
TEST(ParallelBlocksTest, BlocksWithoutAThreadRunOnTheCaller) {
  Workers set(4);
  for (int threads : {0, 1, 2}) {
    threadsLeft = threads;
    std::vector<std::atomic<int>> done(9);
    RunInBlocks(9, [&](int, int first, int end) {
      for (int i = first; i < end; ++i) ++done[i];
    });
    threadsLeft = -1;
    for (int i = 0; i < 9; ++i) ASSERT_EQ(done[i].load(), 1) << threads << ' ' << i;
  }
}
#endif

// A mode-0 recording whose channels sweep through different bins.
void SetSweeps(test::SignalRecording& s) {
  for (int slot = 0; slot < 6; ++slot)
    s.Set(slot, [slot](int j) {
      return 9000 * std::sin(2e-6 * (slot + 3) * j * j + slot) + 700 * std::sin(0.9 * j);
    });
  s.rec.CrossReferenceChannel = 0;
}

TEST(ParallelBlocksTest, AnalysesGiveTheSameBitsOnOneWorkerAsOnSeveral) {
  test::LinkedFftw fftw;
  auto analyse = [](int workers) {
    Workers set(workers);
    test::SignalRecording s(Velnarund, 1000, 10000);
    SetSweeps(s);
    const AnalysisContext ctx = s.Context();
    const int frames = FrameCount(ctx);
    // The reference, then RM and BP with their phases and cross values.
    std::vector<std::vector<double>> out;
    for (int channel : {0, RmChannelIndex(Velnarund), BpChannelIndex(Velnarund)}) {
      EXPECT_GT(AnalyseFrames(ctx, 0, channel, 0, PhasePurpose, frames), 0);
      out.push_back(s.rec.FrameAnalyses[channel]->Values);
    }
    auto w = test::MakeWindow(Distortion, s.rec);
    w->DistortionChannel = 3;
    w->CurveCount = 1;
    ComputeDistortion(ctx, *w);
    out.push_back(w->Curves[0].Values->Values);
    return out;
  };
  const auto one = analyse(1);
  ASSERT_EQ(one.size(), 4u);
  EXPECT_EQ(one[3].size(), 5000u * 21);
  for (int workers : {2, 3}) {
    const auto several = analyse(workers);
    for (std::size_t k = 0; k < one.size(); ++k) {
      // Bit for bit: the same values in the same places.
      ASSERT_EQ(several[k], one[k]) << workers << " workers, result " << k;
    }
  }
}

}  // namespace
}  // namespace kalvex
