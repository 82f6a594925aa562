// export-segy and import-segy: recordings as SEG-Y files for other seismic
// tools, and SEG-Y traces (a recorder's aux traces, or a file exported here)
// as recordings.

#include <cmath>
#include <iostream>

#include "CliSession.h"
#include "Commands.h"
#include "ParameterOptions.h"
#include "platform/FileAccess.h"
#include "recordings/ParameterChecks.h"
#include "segy/SegyCodec.h"
#include "segy/SegyExport.h"
#include "segy/SegyImport.h"
#include "shell/TextCatalogue.h"

namespace kalvex::cli {
namespace {

int SweepTypeCode(const std::string& name) {
  static const char* const kNames[] = {"linear", "parabolic", "exponential", "other"};
  for (int code = 1; code <= 4; ++code)
    if (name == kNames[code - 1]) return code;
  throw CliExit{ExitUsage, "--sweep-type must be linear, parabolic, exponential or other"};
}

SegyExportChoices ExportChoices(const CliArgs& args, const std::string& path) {
  SegyExportChoices choices;
  choices.fileName = path.substr(path.find_last_of("/\\") + 1);
  choices.sweepStartHz = args.GetIntInRange("--sweep-start", 0, 32767, 0);
  choices.sweepEndHz = args.GetIntInRange("--sweep-end", 0, 32767, 0);
  if (args.Has("--sweep-type")) choices.sweepTypeCode = SweepTypeCode(args.Get("--sweep-type"));
  return choices;
}

SegyFormat FormatOption(const CliArgs& args) {
  const std::string format = args.Get("--format", "ieee");
  if (format != "ieee" && format != "ibm") throw CliExit{ExitUsage, "--format must be ieee or ibm"};
  return format == "ibm" ? SegyFormat::Ibm : SegyFormat::Ieee;
}

// "A=B,C=D" as pairs; a usage error names the option and the malformed part.
std::vector<std::pair<std::string, std::string>> Pairs(const CliArgs& args, const char* name,
                                                       const char* form) {
  std::vector<std::pair<std::string, std::string>> pairs;
  if (!args.Has(name)) return pairs;
  for (const std::string& part : SplitList(args.Get(name))) {
    const std::size_t eq = part.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == part.size())
      throw CliExit{ExitUsage, std::string(name) + ": \"" + part + "\" is not " + form};
    pairs.emplace_back(part.substr(0, eq), part.substr(eq + 1));
  }
  return pairs;
}

std::vector<TraceAssignment> Assignment(const CliArgs& args, const SegyImage& image, int mode) {
  std::vector<TraceAssignment> out;
  std::optional<std::string> refusal;
  if (args.Has("--map")) {
    std::vector<std::pair<std::string, int>> pairs;
    for (const auto& [channel, trace] : Pairs(args, "--map", "CHANNEL=TRACE"))
      pairs.emplace_back(channel, ParseInt(trace, "--map"));
    refusal = AssignTraces(pairs, mode, static_cast<int>(image.traces.size()), out);
  } else {
    refusal = OwnTraceAssignment(image, mode, out);
  }
  if (refusal) throw CliExit{ExitRefused, *refusal};
  return out;
}

std::map<int, double> Scales(const CliArgs& args, const SegyImage& image) {
  std::map<int, double> scales;
  const int count = static_cast<int>(image.traces.size());
  for (const auto& [trace, factor] : Pairs(args, "--scale", "TRACE=FACTOR")) {
    const int index = ParseInt(trace, "--scale");
    const double value = ParseDouble(factor, "--scale");
    if (!std::isfinite(value) || value == 0)
      throw CliExit{ExitUsage, "--scale: a factor is a finite number other than 0"};
    if (index < 1 || index > count)
      throw CliExit{ExitRefused, FormatText(TextId::SegyNoSuchTrace,
                                            {std::to_string(index), std::to_string(count)})};
    scales[index - 1] = value;
  }
  return scales;
}

SegyImage ReadSegy(const std::string& path) {
  FileReadResult file = ReadFileBytes(path, MaxSegyFileSize);
  if (!file.ok()) throw CliExit{ExitIo, FormatText(TextId::CannotOpenFile, {path, file.error})};
  SegyImage image;
  if (auto refusal = DecodeSegy(file.bytes, image)) throw CliExit{ExitRefused, *refusal};
  return image;
}

}  // namespace

int RunExportSegy(const Words& words, const QString& executablePath) {
  auto options = CliSession::SettingsOptions();
  options.insert({"-o", "--format", "--sweep-start", "--sweep-end", "--sweep-type"});
  CliArgs args(words, options, CliSession::SettingsFlags());
  if (args.Positional().size() != 1 || !args.Has("-o"))
    throw CliExit{ExitUsage, "usage: kalvex-cli export-segy FILE -o OUT.sgy [--format ieee|ibm]"};
  const SegyFormat format = FormatOption(args);
  const std::string& path = args.Positional()[0];
  const SegyExportChoices choices = ExportChoices(args, path);
  CliSession s(executablePath);
  s.ApplyOptions(args);
  s.OpenFile(path);
  SaveOutput(args.Get("-o"), EncodeSegy(RecordingAsSegy(s.Context(), choices), format));
  return ExitOk;
}

int RunImportSegy(const Words& words, const QString& executablePath) {
  auto options = ParameterOptionNames(false);
  options.erase("--rate-index");  // the file's sample interval gives the rate
  options.merge(CliSession::SettingsOptions());
  options.insert({"-o", "--map", "--scale"});
  CliArgs args(words, options, CliSession::SettingsFlags());
  if (args.Positional().size() != 1 || !args.Has("-o") || !args.Has("--mode"))
    throw CliExit{ExitUsage,
                  "usage: kalvex-cli import-segy IN.sgy --mode M [--map CH=TRACE,...] "
                  "[--scale TRACE=FACTOR,...] -o OUT.qrm [params]"};
  CliSession s(executablePath);
  s.ApplyOptions(args);
  ApplyParameterOptions(args, s.recording, s.values);
  const SegyImage image = ReadSegy(args.Positional()[0]);
  SegyImportChoices choices;
  choices.channels = Assignment(args, image, s.recording.Mode);
  choices.scales = Scales(args, image);
  if (args.Has("--seconds")) choices.sweepSeconds = s.recording.SweepSeconds;
  if (!ValidateParameters(s.recording, s.values, s.ui)) throw CliExit{ExitRefused, s.ui.lastError};
  const SegyImportResult result = ImportSegy(image, choices, s.Context(), s.values.SampleRateIndex);
  if (result.refusal) throw CliExit{ExitRefused, *result.refusal};
  s.recording.Modified = true;
  s.SaveAsNewRecording(args.Get("-o"));
  std::cout << FormatText(TextId::SegyImportDone, {std::to_string(choices.channels.size()),
                                                   std::to_string(s.recording.RecordLength),
                                                   std::to_string(s.recording.SampleRate)})
            << "\n";
  if (result.clipped > 0)
    std::cerr << FormatText(TextId::SegyClipped, {std::to_string(result.clipped)}) << "\n";
  return ExitOk;
}

}  // namespace kalvex::cli
