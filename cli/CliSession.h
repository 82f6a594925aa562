#pragma once
// The per-process objects of the command line (recording, process values,
// settings, text set) and what every subcommand does with them: the common
// options, and reading a recording file as the open command does.

#include <QString>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "analysis/AnalysisContext.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"
#include "shell/UserInteraction.h"

namespace kalvex::cli {

// Messages go to the caller as an exit with the system's text; no question is
// ever answered "yes" without an operator.
class CliUserInteraction : public UserInteraction {
 public:
  void ShowError(const std::string& text) override { lastError = text; }
  void ShowInformation(const std::string& text) override { lastError = text; }
  bool AskYesNo(const std::string&) override { return false; }
  std::string lastError;
};

// Writes an output file (a regular file replaced whole, a pipe or device
// written into); exits 3 with "Cannot create file ..." when it cannot be.
void SaveOutput(const std::string& path, std::span<const std::uint8_t> bytes);
// The same for a text; path "-" is the standard output.
void SaveTextOutput(const std::string& path, const std::string& text);

// A recording file's bytes, read as "Открыть" reads them; exits 3 when it
// cannot be read.
std::vector<std::uint8_t> ReadRecordingFile(const std::string& path);

class CliSession {
 public:
  // Options every computing subcommand accepts.
  static std::set<std::string> SettingsOptions();
  static std::set<std::string> SettingsFlags();

  explicit CliSession(const QString& executablePath);

  // Applies --lang, --use-settings, the settings options and --polarity.
  void ApplyOptions(const CliArgs& args);

  // Reads the recording file; exits 3 when it cannot be read and 2 with the
  // system's text when it is refused.
  void OpenFile(const std::string& path);
  // The same with the file's bytes already read (ReadRecordingFile).
  void OpenBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

  // Saves the recording as a new recording file (header rebuilt); exits 2
  // when it cannot be represented and 3 when it cannot be written.
  void SaveAsNewRecording(const std::string& path);

  // Binds the FFT library; without it the system's message goes to stderr
  // and the transform-based analyses do nothing, or, when the subcommand
  // cannot go on without it, the message is its refusal (exit 2).
  void LoadFft(bool required = false);
  ~CliSession();

  AnalysisContext Context() { return {recording, settings, values}; }

  TFrmFile recording;
  ProcessValues values;
  ProgramSettings settings;
  CliUserInteraction ui;

 private:
  QString executablePath_;
  bool fftLoaded_ = false;
};

}  // namespace kalvex::cli
