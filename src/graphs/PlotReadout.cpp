// The read-out line above the plot: each curve's value at the x index under
// the cursor with its unit, and at the right the x position itself with,
// where the frame analysis of the reference channel exists, the frequency
// of that frame.

#include <algorithm>
#include <string>

#include "analysis/SpectralBasics.h"
#include "graphs/PlotInternals.h"
#include "graphs/PlotRenderer.h"
#include "recordings/FormatNumber.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

constexpr int ReadoutY = 4;

std::string UnitOf(const TGrWin& w, int c) {
  switch (w.Type) {
    case SignalTraces:
    case Amplitude: {
      const ChannelSelection& sel = w.Type == SignalTraces ? w.TraceChannels : w.AmplitudeChannels;
      // Accumulated curves all show the first selected channel.
      const int channel = NthSelected(sel, w.Accumulating ? 0 : c);
      if (channel < 0) return "";
      return UnitName(w.RecordingMode, channel, sel[static_cast<std::size_t>(channel)]);
    }
    case Distortion:
      return Text(TextId::ScaleDb);
    case Harmonics:
      return Text(TextId::PlotUnitPercent);
    case FrequencyVsTime:
      return Text(TextId::Hertz);
    default:
      return "";
  }
}

// "(…Hz)" with the frequency of the reference channel's frame at x index j;
// empty where there is no such frame.
std::string FrameFrequency(const TGrWin& w, const AnalysisContext& ctx, int j) {
  switch (w.Type) {
    case Distortion:
    case Spectrum:
    case Correlation:
    case IntervalSpectrum:
      return "";
    default:
      break;
  }
  const FrameAnalysis* table = ctx.rec.FrameAnalyses[0].get();
  if (!table) return "";
  int frame = j;
  if (w.Type == SignalTraces) {
    if (ctx.settings.AmplitudeStep <= 0) return "";
    frame = j / ctx.settings.AmplitudeStep;
  }
  const int length = FrameFftLength(ctx.rec.SweepLength, ctx.settings.InputSize);
  if (frame < 0 || frame >= table->FrameCount || length <= 0) return "";
  const double hz = table->Array(0)[frame] * ctx.rec.SampleRate / length;
  return FormatText(TextId::PlotFrameFrequency, {FormatNumber(hz, 1)});
}

}  // namespace

void DrawReadout(TGrWin& w, Canvas& canvas, const AnalysisContext& ctx, int x) {
  const IntRect& p = w.PlotRect;
  const long long first = w.DisplayedRange.First, last = w.DisplayedRange.Last;
  long long j = first;
  if (p.Right != p.Left)
    j += plot::RoundToInt(static_cast<double>(x - p.Left) * static_cast<double>(last - first) /
                          (p.Right - p.Left));
  j = std::max<long long>(std::min(j, last - 1), w.FullRange.First);

  canvas.FillRect(p.Left, 0, p.Right, p.Top - 1);
  const CanvasFont saved = canvas.Font();
  CanvasFont font = saved;
  font.name = "Courier New";
  font.size = 8;
  font.height = -11;
  font.width = 0;
  font.weight = 400;
  font.escapement = 0;
  canvas.SetFont(font);

  int running = p.Left;
  auto put = [&](const std::string& text, std::int32_t rgb) {
    plot::SetFontColour(canvas, rgb);
    canvas.PutText(running, ReadoutY, text);
    const int width = canvas.TextWidth(text);
    const int from = running;
    running += width;
    return std::pair{from, running};
  };
  if (!plot::IsWaterfall(w)) {
    const int count = plot::CurveCountOf(w);
    bool groupShown = false;
    for (int c = 0; c < count; ++c) {
      CurveSlot& curve = w.Curves[c];
      if (!plot::HasValues(curve)) continue;
      if (w.Accumulating && !groupShown) {
        put(FormatText(TextId::PlotReadoutGroup, {w.GroupCaption}), w.Curves[0].Colour);
        groupShown = true;
      }
      const std::string value =
          FormatReadoutValue(plot::ValueAt(curve, j, -w.FullRange.First), w.Type);
      std::string text =
          w.Accumulating ? value : FormatText(TextId::PlotReadoutCurve, {curve.Name, value});
      text += UnitOf(w, c);
      const auto [from, to] = put(text, curve.Colour);
      curve.ReadoutLeft = static_cast<std::int16_t>(from);
      curve.ReadoutRight = static_cast<std::int16_t>(to);
      running += 4;
    }
  }
  w.ReadoutX = running;

  const int index = static_cast<int>(j);
  const std::string position = FormatXReadout(index, w.XPerUnit) +
                               std::string(AxisUnitWord(w.Type)) + FrameFrequency(w, ctx, index);
  plot::SetFontColour(canvas, plot::Black);
  plot::PutTextRight(canvas, p.Right, ReadoutY, position);
  canvas.SetFont(saved);
}

}  // namespace kalvex
