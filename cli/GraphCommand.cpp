#include <cctype>
#include <fstream>
#include <iostream>
#include <set>

#include "CliSession.h"
#include "Commands.h"
#include "JsonWriter.h"
#include "analysis/DistortionAnalysis.h"
#include "graphs/Captions.h"
#include "graphs/GraphSetup.h"
#include "graphs/PlotRenderer.h"
#include "graphs/TGrWin.h"
#include "platform/FileAccess.h"
#include "platform/QtCanvas.h"
#include "shell/TextCatalogue.h"

namespace kalvex::cli {
namespace {

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

int ParseType(const std::string& name) {
  for (int type = SignalTraces; type <= AccCompare; ++type)
    if (SameName(GraphTypeName(type), name)) return type;
  throw CliExit{ExitUsage, "unknown graph type: " + name};
}

std::vector<int> IntList(const std::string& text, const std::string& what) {
  std::vector<int> out;
  for (const std::string& part : SplitList(text)) out.push_back(ParseInt(part, what));
  return out;
}

// The largest unit code of any channel (the accelerometers' "kN").
constexpr int MaxUnitCode = 4;

// The type's channel selection with the listed channels and unit codes.
void ApplyChannels(TGrWin& w, const CliArgs& args) {
  if (!args.Has("--channels")) return;
  std::vector<int> channels = IntList(args.Get("--channels"), "--channels");
  std::vector<int> units =
      args.Has("--units") ? IntList(args.Get("--units"), "--units") : std::vector<int>{};
  ChannelSelection selection = NoChannels;
  for (std::size_t i = 0; i < channels.size(); ++i) {
    if (channels[i] < 0 || channels[i] > 6)
      throw CliExit{ExitUsage, "--channels: a channel is 0..6"};
    const int unit = i < units.size() ? units[i] : 0;
    if (unit < 0 || unit > MaxUnitCode) throw CliExit{ExitUsage, "--units: a unit code is 0..4"};
    selection[channels[i]] = static_cast<std::int16_t>(unit);
  }
  switch (w.Type) {
    case SignalTraces:
      w.TraceChannels = selection;
      break;
    case Amplitude:
      w.AmplitudeChannels = selection;
      break;
    case Phase:
      w.PhaseChannels = selection;
      break;
    case Harmonics:
      w.HarmonicsChannels = selection;
      break;
    case Correlation:
      w.CorrelationChannels = selection;
      break;
    case Spectrum:
      w.SpectrumChannels = selection;
      break;
    case Distortion:
      w.DistortionChannel = channels.front();
      break;
    case FrequencyVsTime:
      w.FrequencyChannel = channels.front();
      break;
    default:
      break;
  }
}

// Ground: module, active, reactive; Power: those and 2d, 3d; AccCompare:
// ampl, phase. The listed kinds are on, the others off.
void ApplyKinds(TGrWin& w, const CliArgs& args) {
  if (!args.Has("--kinds")) return;
  std::set<std::string> kinds;
  for (const std::string& k : SplitList(args.Get("--kinds"))) kinds.insert(k);
  auto on = [&kinds](const char* k) { return kinds.erase(k) > 0; };
  if (w.Type == Ground) {
    w.GroundModule = on("module");
    w.GroundActive = on("active");
    w.GroundReactive = on("reactive");
  } else if (w.Type == Power) {
    w.PowerModule = on("module");
    w.PowerActive = on("active");
    w.PowerReactive = on("reactive");
    w.Power2dActive = on("2d");
    w.Power3dActive = on("3d");
  } else if (w.Type == AccCompare) {
    w.AmplDiff = on("ampl");
    w.PhaseDiff = on("phase");
  }
  if (!kinds.empty())
    throw CliExit{ExitUsage, "--kinds: not a kind of this type: " + *kinds.begin()};
}

void ApplyOverrides(TGrWin& w, const CliArgs& args) {
  ApplyChannels(w, args);
  if (args.Has("--reference")) {
    const int r = args.GetIntInRange("--reference", 0, 6, 0);
    w.PhaseReference = w.CorrelationReference = r;
  }
  if (args.Has("--main")) w.CorrelationMain = args.GetIntInRange("--main", 0, 6, 0);
  if (args.Has("--measure")) w.AmplitudeMeasure = args.GetIntInRange("--measure", 0, 3, 0);
  if (args.Has("--db")) w.SpectrumDb = w.CorrelationDb = args.GetIntInRange("--db", 0, 1, 1);
  if (args.Has("--dimension")) w.PowerDimension = args.GetIntInRange("--dimension", 0, 1, 0);
  if (args.Has("--orders")) {
    ChannelSelection orders = NoChannels;
    for (int o : IntList(args.Get("--orders"), "--orders")) {
      if (o < 0 || o > 6) throw CliExit{ExitUsage, "--orders: an order code is 0..6"};
      orders[o] = 0;
    }
    w.HarmonicsOrders = orders;
  }
  ApplyKinds(w, args);
  if (args.Has("--mask")) {
    const int family = AveragingFamilyOf(w.Type);
    if (family >= 0)
      w.AveragingMasks[family] = static_cast<std::uint8_t>(args.GetIntInRange("--mask", 0, 255, 0));
  }
}

void GraphJson(JsonWriter& j, const TGrWin& w, const TFrmFile& rec) {
  j.BeginObject();
  j.Key("type").Integer(w.Type).Key("typeName").String(GraphTypeName(w.Type));
  j.Key("caption").String(WindowCaption(w, rec)).Key("recordingMode").Integer(w.RecordingMode);
  j.Key("xPerUnit").Number(w.XPerUnit);
  j.Key("fullRange").BeginArray().Integer(w.FullRange.First).Integer(w.FullRange.Last).EndArray();
  j.Key("displayedRange")
      .BeginArray()
      .Integer(w.DisplayedRange.First)
      .Integer(w.DisplayedRange.Last)
      .EndArray();
  j.Key("scaleMode").Integer(w.ScaleMode).Key("separateAxes").Bool(w.SeparateAxes);
  j.Key("timePoint").Integer(w.TimePoint).Key("waterfallRows").Integer(w.WaterfallRows);
  j.Key("curves").BeginArray();
  for (int s = 0; s < w.CurveCount; ++s) {
    const CurveSlot& c = w.Curves[s];
    j.BeginObject().Key("name").String(c.Name).Key("colour").String(ColourText(c.Colour));
    j.Key("min").Number(c.Min).Key("max").Number(c.Max);
    const int count = c.Values ? c.Values->Count : 0;
    j.Key("count")
        .Integer(count)
        .Key("centre")
        .Number(c.Centre)
        .Key("halfRange")
        .Number(c.HalfRange);
    j.Key("values").BeginArray();
    for (int i = 0; i < count && i < static_cast<int>(c.Values->Values.size()); ++i)
      j.Number(c.Values->Values[i]);
    j.EndArray().EndObject();
  }
  j.EndArray().EndObject();
}

// The graph's JSON to standard output ("-") or a file, written as it is
// produced: a Distortion matrix of millions of values is never held as text.
void WriteGraphJson(const std::string& target, const TGrWin& w, const TFrmFile& rec) {
  if (target == "-") {
    JsonWriter j([](std::string_view piece) { std::cout << piece; });
    GraphJson(j, w, rec);
    j.Flush();
    std::cout << "\n";
    return;
  }
  const std::string reason = SaveFileAtomically(target, [&](const ChunkWriter& write) {
    auto bytes = [](std::string_view text) {
      return std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    };
    JsonWriter j([&](std::string_view piece) { write(bytes(piece)); });
    GraphJson(j, w, rec);
    j.Flush();
    write(bytes("\n"));
  });
  if (!reason.empty())
    throw CliExit{ExitIo, FormatText(TextId::CannotCreateFile, {target, reason})};
}

struct ImageSize {
  int width = 1000;
  int height = 600;
};

// "WxH"; smaller pictures leave no room for the plot between the labels.
ImageSize ParseSize(const std::string& text) {
  constexpr int kMinWidth = 160, kMinHeight = 100, kMax = 10000;
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos) throw CliExit{ExitUsage, "--size is WxH, e.g. 1000x600"};
  ImageSize size{ParseInt(text.substr(0, x), "--size"), ParseInt(text.substr(x + 1), "--size")};
  if (size.width < kMinWidth || size.width > kMax || size.height < kMinHeight || size.height > kMax)
    throw CliExit{ExitUsage, "--size: the width is " + std::to_string(kMinWidth) + ".." +
                                 std::to_string(kMax) + ", the height " +
                                 std::to_string(kMinHeight) + ".." + std::to_string(kMax)};
  return size;
}

// The window drawn as on a surface of the image's size (no form: no legend and
// no read-out line), in colour. `window` null: a blank picture.
void WritePng(const std::string& target, ImageSize size, TGrWin* window,
              const AnalysisContext& ctx) {
  ImageCanvas image(size.width, size.height);
  if (!image.Valid())
    throw CliExit{ExitIo,
                  FormatText(TextId::CannotCreateFile, {target, "the image could not be made"})};
  if (window) {
    window->PlotWidth = size.width;
    window->PlotHeight = size.height;
    DrawGraph(*window, image.Surface(), ctx, DrawRequest{});
  }
  const std::string reason = image.SavePng(target);
  if (!reason.empty())
    throw CliExit{ExitIo, FormatText(TextId::CannotCreateFile, {target, reason})};
}

}  // namespace

int RunGraph(const Words& words, const QString& executablePath) {
  auto options = CliSession::SettingsOptions();
  for (const char* o : {"--type", "--option", "--channels", "--units", "--reference", "--main",
                        "--measure", "--db", "--orders", "--kinds", "--dimension", "--mask",
                        "--time-point", "--json", "--png", "--size"})
    options.insert(o);
  CliArgs args(words, options, CliSession::SettingsFlags());
  if (args.Positional().size() != 1 || !args.Has("--type"))
    throw CliExit{ExitUsage,
                  "usage: kalvex-cli graph FILE --type TYPE [options] [--json OUT] [--png OUT]"};
  const int type = ParseType(args.Get("--type"));
  const bool png = args.Has("--png");
  if (args.Has("--size") && !png) throw CliExit{ExitUsage, "--size needs --png"};
  const ImageSize size = args.Has("--size") ? ParseSize(args.Get("--size")) : ImageSize{};
  // JSON goes to standard output unless only a picture was asked for.
  const bool json = args.Has("--json") || !png;
  CliSession session(executablePath);
  session.ApplyOptions(args);
  session.OpenFile(args.Positional()[0]);
  session.LoadFft();

  AnalysisContext ctx = session.Context();
  TGrWin window;
  // 0 or 1 picks a variant of the type; in Similarity up to the channel 5.
  const int option = args.GetIntInRange("--option", 0, 5, 0);
  // Types that need RM and BP channels change nothing in other modes.
  if ((type == Ground || type == Power || type == AccCompare) &&
      RmChannelIndex(session.recording.Mode) < 0) {
    if (png) WritePng(args.Get("--png"), size, nullptr, ctx);
    if (json) WriteGraphJson(args.Get("--json", "-"), window, session.recording);
    return ExitOk;
  }
  ChooseDefaults(window, type, option, session.recording);
  ApplyOverrides(window, args);
  LayoutWindow(ctx, window);
  ComputeWindow(ctx, window);
  ApplyDefaultLimits(window, option, session.recording);
  if (type == Distortion && args.Has("--time-point")) {
    const int point = args.GetInt("--time-point", -1);
    if (point < -1 || point >= window.WaterfallRows)
      throw CliExit{
          ExitUsage,
          std::string("--time-point is -1..").append(std::to_string(window.WaterfallRows - 1))};
    StepDistortion(ctx, window, point - window.TimePoint);
  }
  if (png) WritePng(args.Get("--png"), size, &window, ctx);
  if (json) WriteGraphJson(args.Get("--json", "-"), window, session.recording);
  return ExitOk;
}

}  // namespace kalvex::cli
