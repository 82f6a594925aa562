// Speed of drawing a graph window: six 65 535-sample signal traces on a
// surface 1 600 pixels wide, onto a canvas that does nothing, so that only
// the renderer's own work is measured.

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "graphs/Canvas.h"
#include "graphs/GraphForm.h"
#include "graphs/PlotRenderer.h"
#include "graphs/TGrWin.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"

namespace kalvex::bench {
namespace {

class NullCanvas : public Canvas {
 public:
  void SetBrushColour(std::int32_t) override {}
  void SetPenColour(std::int32_t) override {}
  void FillRect(int, int, int, int) override {}
  void MoveTo(int x, int y) override { sink_ += x ^ y; }
  void LineTo(int x, int y) override { sink_ += x ^ y; }
  void SetPenWidth(int) override {}
  void PutText(int, int, const std::string&) override {}
  int TextWidth(const std::string& text) override { return 7 * static_cast<int>(text.size()); }
  int TextHeight(const std::string&) override { return 13; }
  CanvasFont Font() const override { return font_; }
  void SetFont(const CanvasFont& font) override { font_ = font; }
  void DrawImage(int, int, int, int, const CanvasImage&) override {}
  long long Sink() const { return sink_; }

 private:
  CanvasFont font_;
  long long sink_ = 0;
};

struct ScreenForm : GraphForm {
  void SetCaption(const std::string&) override {}
  void SetTag(int) override {}
  void Repaint() override {}
  void UpdateScrollBar() override {}
  void CloseLabelEditor() override {}
  void BringToFront() override {}
  void Close() override {}
};

void BM_RenderSignalTraces(benchmark::State& state) {
  constexpr int samples = 65535, curves = 6;
  TFrmFile rec;
  rec.Mode = Velnarund;
  rec.Origin = OriginFile;
  rec.SampleRate = 1000;
  rec.SweepLength = samples;
  ProgramSettings settings;
  ProcessValues values;
  const AnalysisContext ctx{rec, settings, values};

  ScreenForm form;
  TGrWin w;
  w.Type = SignalTraces;
  w.RecordingMode = Velnarund;
  w.Form = &form;
  w.PlotWidth = 1600;
  w.PlotHeight = 900;
  w.XPerUnit = 1000;
  w.FullRange = w.DisplayedRange = {0, samples};
  w.SelectedCurve = 0;
  for (int c = 0; c < curves; ++c) {
    w.TraceChannels[c] = 0;
    CurveSlot& curve = w.Curves[c];
    ValueArray& a = curve.Allocate(samples);
    for (int j = 0; j < samples; ++j)
      a.Values[j] = std::sin(j * (0.001 + 0.0005 * c)) * (1 + j / 65535.0);
    ScanValueRange(a, samples);
    curve.Min = a.Min;
    curve.Max = a.Max;
    curve.Name = "CH" + std::to_string(c);
    curve.Colour = 0xFF0000;
  }
  w.CurveCount = curves;

  NullCanvas canvas;
  for (auto _ : state) DrawGraph(w, canvas, ctx, {.cursorX = 800});
  benchmark::DoNotOptimize(canvas.Sink());
  state.counters["samples"] = static_cast<double>(samples) * curves;
}
BENCHMARK(BM_RenderSignalTraces)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kalvex::bench
