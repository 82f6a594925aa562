// kalvex-cli project: a project file as the desktop program reads it at
// start-up, with every field of the main record and of each window record
// the replay accepts.

#include <iostream>
#include <type_traits>

#include "CliArgs.h"
#include "Commands.h"
#include "JsonWriter.h"
#include "graphs/GraphTypes.h"
#include "platform/FileAccess.h"
#include "recordings/ProjectRecords.h"
#include "recordings/RecordingModes.h"

namespace kalvex::cli {
namespace {

template <class Values>
void Array(JsonWriter& j, const char* key, const Values& values) {
  j.Key(key).BeginArray();
  for (const auto& v : values) {
    using V = std::decay_t<decltype(v)>;
    if constexpr (std::is_same_v<V, bool>)
      j.Bool(v);
    else if constexpr (std::is_floating_point_v<V>)
      j.Number(v);
    else
      j.Integer(v);
  }
  j.EndArray();
}

void MainJson(JsonWriter& j, const ProjectMain& m) {
  j.Key("version").Integer(m.Version).Key("equipmentIndex").Integer(m.EquipmentIndex);
  j.Key("mode").Integer(m.Mode).Key("baudIndex").Integer(m.BaudIndex);
  j.Key("portNumber").Integer(m.PortNumber);
  j.Key("triggerChannelIndex").Integer(m.TriggerChannelIndex);
  j.Key("triggerEdgeIndex").Integer(m.TriggerEdgeIndex);
  j.Key("sampleRateIndex").Integer(m.SampleRateIndex).Key("sweepSeconds").Integer(m.SweepSeconds);
  SimilarityChannelsJson(j, m.SimilarityChannels);
  TestParametersJson(j, m);
  j.Key("name").String(m.Name).Key("windowCount").Integer(m.WindowCount);
  const ProjectRect& r = m.MainWindow;
  j.Key("mainWindow").BeginObject().Key("left").Integer(r.Left).Key("top").Integer(r.Top);
  j.Key("height").Integer(r.Height).Key("width").Integer(r.Width).EndObject();
}

void CurveJson(JsonWriter& j, const CurveSlot& c) {
  j.BeginObject().Key("name").String(c.Name);
  Array(j, "display", std::array{c.ReadoutLeft, c.ReadoutRight, c.BandTop, c.BandBottom});
  j.Key("colour").String(ColourText(c.Colour)).Key("scale").Number(c.Scale);
  j.Key("zeroLine").Number(c.ZeroLine).Key("zoom").Number(c.Zoom);
  j.Key("centre").Number(c.Centre).Key("halfRange").Number(c.HalfRange).EndObject();
}

void WindowJson(JsonWriter& j, const ProjectWindow& p) {
  const TGrWin& w = p.Window;
  const ProjectWindowExtras& x = p.Extras;
  j.BeginObject().Key("left").Integer(x.Rect.Left).Key("top").Integer(x.Rect.Top);
  j.Key("width").Integer(x.Rect.Width).Key("height").Integer(x.Rect.Height);
  j.Key("graphType").Integer(w.Type).Key("scaleMode").Integer(w.ScaleMode);
  j.Key("correlationDb").Integer(w.CorrelationDb);
  j.Key("correlationReference").Integer(w.CorrelationReference);
  j.Key("correlationMain").Integer(w.CorrelationMain);
  j.Key("distortionDisplay").Integer(w.DistortionDisplay);
  j.Key("distortionChannel").Integer(w.DistortionChannel);
  j.Key("frequencyChannel").Integer(w.FrequencyChannel);
  j.Key("phaseReference").Integer(w.PhaseReference).Key("xPerUnit").Number(w.XPerUnit);
  j.Key("selections").BeginObject();
  Array(j, "amplitude", w.AmplitudeChannels);
  Array(j, "signalTraces", w.TraceChannels);
  Array(j, "correlation", w.CorrelationChannels);
  Array(j, "spectrum", w.SpectrumChannels);
  Array(j, "harmonicsChannels", w.HarmonicsChannels);
  Array(j, "harmonicsOrders", w.HarmonicsOrders);
  Array(j, "phase", w.PhaseChannels);
  j.EndObject();
  j.Key("measure").Integer(w.AmplitudeMeasure).Key("spectrumDb").Integer(w.SpectrumDb);
  j.Key("fundamentalInputSize").Integer(x.FundamentalInputSize);
  j.Key("actuator").Integer(w.ActuatorChoice).Key("timePoint").Integer(w.TimePoint);
  j.Key("waterfallRows").Integer(w.WaterfallRows).Key("powerDimension").Integer(w.PowerDimension);
  Array(j, "options",
        std::array<int, 14>{w.AmplDiff, w.PhaseDiff, w.GroundModule, w.GroundActive,
                            w.GroundReactive, w.ServoOptions[0], w.ServoOptions[1],
                            w.ActuatorOptions[0], w.ActuatorOptions[1], w.PowerActive,
                            w.PowerReactive, w.Power2dActive, w.Power3dActive, w.PowerModule});
  j.Key("polarityPositive").Bool(x.PolarityPositive);
  Array(j, "displayedRange", std::array{w.DisplayedRange.First, w.DisplayedRange.Last});
  Array(j, "plotRect",
        std::array{w.PlotRect.Left, w.PlotRect.Top, w.PlotRect.Right, w.PlotRect.Bottom});
  j.Key("selectedCurve").Integer(w.SelectedCurve).Key("curveCount").Integer(x.CurveCount);
  j.Key("separateAxes").Bool(w.SeparateAxes);
  j.Key("intervalSpectrum").Bool(w.IntervalSpectrumOn);
  j.Key("intervalSpectrumDb").Bool(w.IntervalSpectrumDb);
  // The first mask and "shown" byte are the signal traces family's; the
  // arrays hold all seven families in their stored order.
  j.Key("averageUnitCode").Integer(w.AverageUnitCode);
  j.Key("averagingMask").Integer(w.AveragingMasks[0]);
  j.Key("averageShown").Bool(w.AverageShown[0]);
  Array(j, "averagingMasks", w.AveragingMasks);
  Array(j, "averageShownByFamily", w.AverageShown);
  j.Key("curves").BeginArray();
  for (const CurveSlot& c : w.Curves) CurveJson(j, c);
  j.EndArray();
  Array(j, "calibration", x.Calibration);
  j.EndObject();
}

std::string ProjectJson(const ProjectContents& p) {
  JsonWriter j;
  j.BeginObject();
  MainJson(j, p.Main);
  j.Key("windows").BeginArray();
  for (const ProjectWindow& w : p.Windows) WindowJson(j, w);
  j.EndArray().Key("replayEnded");
  if (p.EndedAt < 0)
    j.Null();
  else
    j.BeginObject().Key("index").Integer(p.EndedAt).Key("reason").String(p.EndReason).EndObject();
  j.EndObject();
  return j.Text();
}

void PrintProject(const ProjectContents& p) {
  const ProjectMain& m = p.Main;
  std::cout << "Equipment " << EquipmentName(m.EquipmentIndex) << ", mode " << ModeName(m.Mode)
            << ", port "
            << (m.PortNumber == 0 ? std::string("USB") : "COM" + std::to_string(m.PortNumber))
            << "\n";
  std::cout << "Sweep " << m.SweepSeconds << " s at " << (500 << m.SampleRateIndex)
            << " samples/s, trigger channel " << m.TriggerChannelIndex << ", edge "
            << m.TriggerEdgeIndex << "\n";
  std::cout << "Recording " << (m.Name.empty() ? "(none)" : m.Name) << "\n";
  std::cout << "Main window at " << m.MainWindow.Left << "," << m.MainWindow.Top << ", "
            << m.MainWindow.Width << " x " << m.MainWindow.Height << "\n";
  std::cout << m.WindowCount << (m.WindowCount == 1 ? " graph window\n" : " graph windows\n");
  for (std::size_t i = 0; i < p.Windows.size(); ++i) {
    const TGrWin& w = p.Windows[i].Window;
    const ProjectRect& r = p.Windows[i].Extras.Rect;
    const std::string_view name = GraphTypeName(w.Type);
    std::cout << "  " << i + 1 << ". " << (name.empty() ? "(no type)" : name) << " at " << r.Left
              << "," << r.Top << ", " << r.Width << " x " << r.Height << ", "
              << p.Windows[i].Extras.CurveCount
              << (p.Windows[i].Extras.CurveCount == 1 ? " curve" : " curves") << ", range "
              << w.DisplayedRange.First << ".." << w.DisplayedRange.Last << "\n";
  }
  if (p.EndedAt >= 0)
    std::cout << "The replay ends at window " << p.EndedAt + 1 << ": " << p.EndReason << "\n";
}

}  // namespace

int RunProject(const Words& words, const QString&) {
  CliArgs args(words, {}, {"--json"});
  if (args.Positional().size() != 1)
    throw CliExit{ExitUsage, "usage: kalvex-cli project FILE [--json]"};
  const std::string& path = args.Positional()[0];
  // The program ignores a file it cannot read just as one it does not trust.
  const FileReadResult file = ReadFileBytes(path, MaxProjectFileSize);
  if (!file.ok()) throw CliExit{ExitRefused, path + ": ignored, " + file.error};
  const ProjectContents contents = ReadProjectBytes(file.bytes);
  if (!contents.Refusal.empty())
    throw CliExit{ExitRefused, path + ": ignored, " + contents.Refusal};
  if (args.Has("--json"))
    std::cout << ProjectJson(contents) << "\n";
  else
    PrintProject(contents);
  return ExitOk;
}

}  // namespace kalvex::cli
