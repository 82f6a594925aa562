#pragma once
// The signal traces window that a newly opened recording gets when no graph
// window is open: every channel the mode shows at first, in unit code 0.

#include "analysis/AnalysisContext.h"
#include "graphs/CurveSlot.h"

namespace kalvex {

class TAllWindows;
class TFrmFile;
class TGrWin;

// The channels shown at first: all six in modes 0 and 1, the reference and
// every present similarity channel in mode 2, channels 0..2 in mode 3 and
// 0..1 in mode 4; nothing for a recording without a mode.
ChannelSelection FirstTraceChannels(const TFrmFile& rec);

// Sets `window` up as that signal traces window and computes its curves. In
// mode 2 the traces' averaging mask holds one bit per present channel, with
// averaging off.
void SetUpFirstTraces(const AnalysisContext& ctx, TGrWin& window);

// Creates the window in the set, computes it and refreshes its caption.
TGrWin& OpenFirstTraces(TAllWindows& windows, const AnalysisContext& ctx);

}  // namespace kalvex
