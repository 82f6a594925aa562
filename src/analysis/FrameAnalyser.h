#pragma once
// The per-frame fundamental analysis of one channel: frames of AmplitudeFrame
// samples every AmplitudeStep samples, each tapered and transformed, giving
// the channel's table of fundamental bin and value, harmonic levels, phase
// against the reference channel and the RM/BP cross values. The tables are
// the recording's analysis cache.

#include "analysis/AnalysisContext.h"

namespace kalvex {

// Purposes callers pass; only PhasePurpose changes what is filled.
inline constexpr int PhasePurpose = 3;

// Frames of a sweep: SweepLength / AmplitudeStep.
int FrameCount(const AnalysisContext& ctx);

// Whether the channel's table exists for this many frames (a table of another
// count is stale: the step changed).
bool HasTable(const AnalysisContext& ctx, int channel, int frames);

// Computes (or completes) the channel's table for `frames` frames. Returns
// the transform length used, or 0 when there is no FFT library or no memory.
int AnalyseFrames(const AnalysisContext& ctx, int mask, int channel, int phaseFlag, int purpose,
                  int frames);

}  // namespace kalvex
