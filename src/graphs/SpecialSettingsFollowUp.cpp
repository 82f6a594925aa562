#include "graphs/SpecialSettingsFollowUp.h"

#include "analysis/AnalysisContext.h"
#include "analysis/FrameAnalyser.h"
#include "graphs/GraphTypes.h"
#include "recordings/DerivedValues.h"
#include "recordings/TFrmFile.h"
#include "shell/SettingsWindowSteps.h"

namespace kalvex {

void ApplySpecialSettings(const SpecialSettings& accepted, ProgramSettings& settings, TFrmFile& rec,
                          const ProcessValues& values, const SettingsWindowSteps& steps,
                          const DerivedValuesRecompute& recompute) {
  const DerivedValuesRecompute derived =
      recompute ? recompute : DerivedValuesRecompute(RecomputeDerivedValues);
  if (SpecialSettings::Of(settings).AnalysisDiffers(accepted)) derived(rec, settings, values);
  accepted.StoreIn(settings);
  derived(rec, settings, values);
  if (!rec.Channels[0]) return;

  // The frame tables were made from the old frame, step and coefficients.
  rec.ClearAnalyses();
  if (steps.resetWindowData) steps.resetWindowData();
  const AnalysisContext ctx{rec, settings, values};
  const int frames = FrameCount(ctx);
  if (!HasTable(ctx, 0, frames)) AnalyseFrames(ctx, 0, 0, 0, Amplitude, frames);
  if (steps.redrawAll) steps.redrawAll();
}

}  // namespace kalvex
