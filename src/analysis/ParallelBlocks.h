#pragma once
// Independent work spread over the machine's cores: a run of tasks is cut
// into one contiguous block per worker; worker 0 runs its block on the
// calling thread, the others on threads that end with the call. A block may
// write only its own tasks' results and read what all share; FFT objects
// are made for every worker on the calling thread before the blocks start
// (planning is not thread-safe, running a plan on its own buffers is).
// Results do not depend on the number of workers.

#include <functional>

namespace kalvex {

// Workers used: the machine's cores (at least 1), or the count set.
int WorkerCount();

// Sets the worker count (tests compare one worker with several); 0 goes
// back to the machine's cores.
void SetWorkerCount(int count);

// The number of blocks `count` tasks are cut into: worker indices run
// 0..BlockCount(count)-1.
int BlockCount(int count);

// Runs block(worker, first, end) over tasks first..end-1, for blocks that
// cover tasks 0..count-1 (at most `blocks` of them, BlockCount(count) when
// 0), and returns when every block has ended. The first exception a block
// throws is rethrown then.
void RunInBlocks(int count, int blocks,
                 const std::function<void(int worker, int first, int end)>& block);
inline void RunInBlocks(int count,
                        const std::function<void(int worker, int first, int end)>& block) {
  RunInBlocks(count, 0, block);
}

}  // namespace kalvex
