#include "analysis/FrequencyAnalysis.h"

#include "analysis/CurveFinish.h"
#include "analysis/FftLibrary.h"
#include "analysis/FrameAnalyser.h"
#include "analysis/SpectralBasics.h"
#include "graphs/TGrWin.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"

namespace kalvex {

void ComputeFrequencyVsTime(const AnalysisContext& ctx, TGrWin& window, int curve, bool firstOnly) {
  if (!FftLibrary::Available()) return;
  TFrmFile& rec = ctx.rec;
  const int channel = window.FrequencyChannel;
  if (channel < 0 || channel >= MaxChannelSlots) return;
  const int frames = FrameCount(ctx);
  if (!HasTable(ctx, channel, frames) &&
      AnalyseFrames(ctx, window.MaskFor(FrequencyVsTime), channel, 0, FrequencyVsTime, frames) < 1)
    return;
  const FrameAnalysis& table = *rec.FrameAnalyses[channel];
  const int n = FrameFftLength(rec.SweepLength, ctx.settings.InputSize);
  CurveSlot& slot = window.Curves[curve];
  ValueArray& values = slot.Allocate(table.FrameCount);
  for (int i = 0; i < table.FrameCount; ++i)
    values.Values[i] = n > 0 ? static_cast<double>(rec.SampleRate) / n * table.Array(0)[i] : 0.0;
  if (firstOnly) return;
  ScanValueRange(values, -1);
  slot.Min = 0;
  slot.Max = rec.SampleRate * 0.5;
  LabelCurve(slot, rec, window, channel);
}

}  // namespace kalvex
