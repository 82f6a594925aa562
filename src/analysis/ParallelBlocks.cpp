#include "analysis/ParallelBlocks.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace kalvex {
namespace {

std::atomic<int> setCount{0};

}  // namespace

int WorkerCount() {
  const int set = setCount.load();
  if (set > 0) return set;
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

void SetWorkerCount(int count) {
  setCount.store(std::max(0, count));
}

int BlockCount(int count) {
  return std::max(1, std::min(WorkerCount(), count));
}

void RunInBlocks(int count, int most,
                 const std::function<void(int worker, int first, int end)>& block) {
  if (count <= 0) return;
  const int blocks = most > 0 ? std::min(most, BlockCount(count)) : BlockCount(count);
  std::exception_ptr failure;
  std::mutex failureLock;
  auto run = [&](int worker) {
    auto edge = [&](int w) { return static_cast<int>(static_cast<long long>(count) * w / blocks); };
    try {
      block(worker, edge(worker), edge(worker + 1));
    } catch (...) {
      std::lock_guard<std::mutex> hold(failureLock);
      if (!failure) failure = std::current_exception();
    }
  };
  std::vector<std::thread> others;
  int started = 1;
  try {
    others.reserve(blocks - 1);
    for (; started < blocks; ++started) others.emplace_back(run, started);
  } catch (const std::exception&) {
    // No thread to be had: the blocks not started run here.
  }
  run(0);
  for (int worker = started; worker < blocks; ++worker) run(worker);
  for (std::thread& t : others) t.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace kalvex
