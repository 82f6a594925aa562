#include "CliSession.h"

#include <iostream>

#include "platform/FftWisdomMeasurer.h"
#include "platform/FftwLoader.h"
#include "platform/FileAccess.h"
#include "platform/LanguageModule.h"
#include "platform/QtSettingsStore.h"
#include "recordings/RecordingOpen.h"
#include "recordings/RecordingReader.h"
#include "recordings/RecordingWriter.h"
#include "shell/TextCatalogue.h"

namespace kalvex::cli {

std::set<std::string> CliSession::SettingsOptions() {
  return {"--amplitude-frame", "--amplitude-step",  "--fft-size", "--calibration",
          "--min-spectrum",    "--min-correlation", "--polarity", "--lang"};
}

std::set<std::string> CliSession::SettingsFlags() {
  return {"--use-settings"};
}

CliSession::CliSession(const QString& executablePath) : executablePath_(executablePath) {
  PrepareStartupRecording(recording);
}

void CliSession::ApplyOptions(const CliArgs& args) {
  if (args.Has("--lang"))
    SelectLanguage(executablePath_, QString::fromStdString(args.Get("--lang")));
  if (args.Has("--use-settings")) {
    QtSettingsStore store;
    LoadSettings(settings, store);
  }
  settings.AmplitudeFrame = args.GetInt("--amplitude-frame", settings.AmplitudeFrame);
  settings.AmplitudeStep = args.GetInt("--amplitude-step", settings.AmplitudeStep);
  settings.MinSpectrum = args.GetInt("--min-spectrum", settings.MinSpectrum);
  settings.MinCorrelation = args.GetInt("--min-correlation", settings.MinCorrelation);
  if (!FrameLengthValid(settings.AmplitudeFrame) || !FrameLengthValid(settings.AmplitudeStep))
    throw CliExit{ExitUsage, "--amplitude-frame and --amplitude-step must be positive"};
  if (args.Has("--fft-size")) {
    const std::string size = args.Get("--fft-size");
    bool known = false;
    for (auto choice : {FundamentalInputSize::NearestPowerOfTwo, FundamentalInputSize::Fixed32768,
                        FundamentalInputSize::WholeSignal})
      if (size == InputSizeName(choice)) {
        settings.InputSize = choice;
        known = true;
      }
    if (!known) throw CliExit{ExitUsage, "--fft-size must be nearest, 32768 or signal"};
  }
  if (args.Has("--calibration")) {
    auto parts = SplitList(args.Get("--calibration"));
    if (parts.size() != 6) throw CliExit{ExitUsage, "--calibration needs six factors"};
    for (int k = 0; k < 6; ++k)
      settings.ChannelCalibration[k] = ParseDouble(parts[k], "--calibration");
  }
  std::string polarity = args.Get("--polarity", "positive");
  if (polarity != "positive" && polarity != "negative")
    throw CliExit{ExitUsage, "--polarity must be positive or negative"};
  recording.PolarityPositive = polarity == "positive";
}

void SaveOutput(const std::string& path, std::span<const std::uint8_t> bytes) {
  const std::string reason = SaveFileAtomically(path, bytes);
  if (!reason.empty()) throw CliExit{ExitIo, FormatText(TextId::CannotCreateFile, {path, reason})};
}

void SaveTextOutput(const std::string& path, const std::string& text) {
  if (path == "-") {
    std::cout << text;
    return;
  }
  SaveOutput(path, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

void CliSession::OpenFile(const std::string& path) {
  OpenBytes(path, ReadRecordingFile(path));
}

std::vector<std::uint8_t> ReadRecordingFile(const std::string& path) {
  FileReadResult file = ReadFileBytes(path, MaxRecordingFileSize);
  if (!file.ok()) throw CliExit{ExitIo, FormatText(TextId::CannotOpenFile, {path, file.error})};
  return std::move(file.bytes);
}

void CliSession::OpenBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  LocalDateTime lastWrite = LastWriteTime(path);
  OpenRequest request{bytes, path, &lastWrite, false};
  if (OpenRecording(recording, values, settings, request, ui) < 0)
    throw CliExit{ExitRefused, ui.lastError};
  // The command line has no mode dialog: the recording's mode decides which
  // calibration factors its channels take.
  values.ChannelOffset = ChannelOffsetOf(recording.Mode);
}

void CliSession::SaveAsNewRecording(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  if (!WriteRecording(recording, values, true, CurrentLocalTime(), bytes))
    throw CliExit{ExitRefused, Text(TextId::RecordTooLong)};
  SaveOutput(path, bytes);
}

void CliSession::LoadFft(bool required) {
  fftLoaded_ = LoadFftLibrary();
  if (fftLoaded_) return;
  if (required) throw CliExit{ExitRefused, Text(TextId::FftLibraryMissing)};
  std::cerr << Text(TextId::FftLibraryMissing) << "\n";
}

CliSession::~CliSession() {
  if (!fftLoaded_) return;
  SaveFftWisdom();
  StartFftWisdomMeasurement();
}

}  // namespace kalvex::cli
