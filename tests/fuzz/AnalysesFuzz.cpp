// libFuzzer target: every analysis on every recording the reader accepts.
// Each graph type is set up with the report's defaults (both options) and
// computed; no run crashes and every value of every curve is finite. The QC
// figures of the recording are all finite where available, and a figure a
// limit judges is never passed when it is not available.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "graphs/GraphSetup.h"
#include "graphs/TGrWin.h"
#include "qc/QcVerdict.h"
#include "recordings/ProcessValues.h"
#include "recordings/RecordingOpen.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"
#include "support/FakeUserInteraction.h"
#include "support/LinkedFftw.h"

namespace {

using namespace kalvex;

void RequireFinite(const TGrWin& w) {
  for (int c = 0; c < w.CurveCount; ++c) {
    const CurveSlot& curve = w.Curves[c];
    if (!curve.Values) continue;
    for (double v : curve.Values->Values)
      if (!std::isfinite(v)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const test::LinkedFftw fftw;
  TFrmFile rec;
  PrepareStartupRecording(rec);
  ProcessValues values;
  ProgramSettings settings;
  test::FakeUserInteraction ui;
  LocalDateTime lastWrite{};
  if (OpenRecording(rec, values, settings, {{data, size}, "fuzz.qrm", &lastWrite, false}, ui) <= 0)
    return 0;
  values.ChannelOffset = ChannelOffsetOf(rec.Mode);
  const AnalysisContext ctx{rec, settings, values};
  for (int type = SignalTraces; type <= AccCompare; ++type)
    for (int option : {0, 1}) {
      TGrWin w;
      SetTypeWithDefaults(ctx, w, type, option);
      RequireFinite(w);
    }
  QcOutcome qc{ComputeQcFigures(ctx), BuiltInLimitProfile(), {}};
  for (const QcChannelFigures& c : qc.figures.channels)
    for (const QcFigureKind& k : QcFigureKinds()) {
      if (c.Available(k.id) && !std::isfinite(c.Value(k.id))) std::abort();
      if (!c.Available(k.id) && qc.VerdictOf(c, k.id) == QcVerdict::Pass) std::abort();
    }
  return 0;
}
