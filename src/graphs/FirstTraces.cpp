#include "graphs/FirstTraces.h"

#include "graphs/GraphSetup.h"
#include "graphs/GraphTypes.h"
#include "graphs/TAllWindows.h"
#include "graphs/TGrWin.h"
#include "recordings/RecordingModes.h"
#include "recordings/TFrmFile.h"

namespace kalvex {

ChannelSelection FirstTraceChannels(const TFrmFile& rec) {
  ChannelSelection s = NoChannels;
  if (rec.Mode == Similarity) {
    s[0] = 0;
    for (int i = 1; i < 6; ++i)
      if (rec.SimilarityChannels[i].Present) s[i] = 0;
    return s;
  }
  for (int c = 0; c < ChannelCount(rec.Mode); ++c) s[c] = 0;
  return s;
}

void SetUpFirstTraces(const AnalysisContext& ctx, TGrWin& w) {
  ChooseDefaults(w, SignalTraces, 0, ctx.rec);
  w.TraceChannels = FirstTraceChannels(ctx.rec);
  if (ctx.rec.Mode == Similarity) {
    std::uint8_t mask = 0;
    for (int i = 1; i < 6; ++i)
      if (ctx.rec.SimilarityChannels[i].Present) mask |= static_cast<std::uint8_t>(1u << i);
    w.AveragingMasks[AvgSignalTraces] = mask;
    w.AverageShown[AvgSignalTraces] = false;
  }
  LayoutWindow(ctx, w);
  ComputeWindow(ctx, w);
}

TGrWin& OpenFirstTraces(TAllWindows& windows, const AnalysisContext& ctx) {
  TGrWin& w = windows.CreateFirstTraces(ctx.rec);
  SetUpFirstTraces(ctx, w);
  windows.RefreshCaption(w, ctx.rec);
  return w;
}

}  // namespace kalvex
