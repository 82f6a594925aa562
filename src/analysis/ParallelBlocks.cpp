#include "analysis/ParallelBlocks.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
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

namespace {

using Block = std::function<void(int worker)>;

// Threads kept waiting for blocks, so that a short run of tasks does not pay
// for starting threads. One run at a time uses them; a run that finds them
// busy (another thread's, or a block's own inner run) starts threads of its
// own. Blocks are handed out one by one under the lock, the caller taking
// its share too, so a run ends as soon as its blocks have, whichever thread
// ran them. The pool lives as long as the process: its threads are never
// joined, which an exiting process must not wait on.
class WorkerPool {
 public:
  static WorkerPool& Instance() {
    static WorkerPool* pool = new WorkerPool;
    return *pool;
  }

  // Runs blocks 0..blocks-1 of `run`, or returns false at once when the
  // pool is in use.
  bool TryRun(int blocks, const Block& run) {
    std::unique_lock<std::mutex> use(inUse_, std::try_to_lock);
    if (!use.owns_lock()) return false;
    Grow(blocks - 1);
    {
      std::lock_guard<std::mutex> hold(lock_);
      run_ = &run;
      blocks_ = blocks;
      next_ = 0;
      ++generation_;
    }
    wake_.notify_all();
    RunBlocks(generation_);
    std::unique_lock<std::mutex> hold(lock_);
    done_.wait(hold, [&] { return next_ == blocks_ && active_ == 0; });
    run_ = nullptr;
    return true;
  }

 private:
  // Starts threads until `count` wait; fewer when no more can be had.
  void Grow(int count) {
    try {
      while (threads_ < count) {
        std::thread(&WorkerPool::Serve, this).detach();
        ++threads_;
      }
    } catch (const std::exception&) {
      // The caller runs the blocks no thread takes.
    }
  }

  // A thread that has run a block looks for the next run for a short while
  // before it sleeps: the analyses start runs one after another, and waking
  // a sleeping thread costs about as much as a short block.
  void Serve() {
    long long seen = 0;
    for (;;) {
      if (!NextRunSoon(seen)) {
        std::unique_lock<std::mutex> hold(lock_);
        wake_.wait(hold, [&] { return generation_ != seen; });
      }
      seen = generation_;
      RunBlocks(seen);
    }
  }

  bool NextRunSoon(long long seen) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(200);
    while (std::chrono::steady_clock::now() < until)
      if (generation_ != seen) return true;
    return false;
  }

  // Takes and runs blocks of run `generation` while any are left.
  void RunBlocks(long long generation) {
    std::unique_lock<std::mutex> hold(lock_);
    while (generation_ == generation && run_ && next_ < blocks_) {
      const int worker = next_++;
      ++active_;
      hold.unlock();
      (*run_)(worker);
      hold.lock();
      if (--active_ == 0 && next_ == blocks_) done_.notify_all();
    }
  }

  std::mutex inUse_;
  std::mutex lock_;
  std::condition_variable wake_, done_;
  const Block* run_ = nullptr;
  int blocks_ = 0, next_ = 0, active_ = 0, threads_ = 0;
  std::atomic<long long> generation_{0};
};

// Runs the blocks on threads started for this run.
void RunOnNewThreads(int blocks, const Block& run) {
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
}

}  // namespace

void RunInBlocks(int count, int most,
                 const std::function<void(int worker, int first, int end)>& block) {
  if (count <= 0) return;
  const int blocks = most > 0 ? std::min(most, BlockCount(count)) : BlockCount(count);
  std::exception_ptr failure;
  std::mutex failureLock;
  const Block run = [&](int worker) {
    auto edge = [&](int w) { return static_cast<int>(static_cast<long long>(count) * w / blocks); };
    try {
      block(worker, edge(worker), edge(worker + 1));
    } catch (...) {
      std::lock_guard<std::mutex> hold(failureLock);
      if (!failure) failure = std::current_exception();
    }
  };
  if (blocks == 1)
    run(0);
  else if (!WorkerPool::Instance().TryRun(blocks, run))
    RunOnNewThreads(blocks, run);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace kalvex
