#include "CliSession.h"
#include "Commands.h"
#include "platform/FileAccess.h"
#include "recordings/RecordingWriter.h"
#include "shell/TextCatalogue.h"

namespace kalvex::cli {

int RunResave(const Words& words, const QString& executablePath) {
  CliArgs args(words, CliSession::SettingsOptions(), CliSession::SettingsFlags());
  if (args.Positional().size() != 2) throw CliExit{ExitUsage, "usage: kalvex-cli resave IN OUT"};
  CliSession session(executablePath);
  session.ApplyOptions(args);
  session.OpenFile(args.Positional()[0]);

  const std::string& out = args.Positional()[1];
  std::vector<std::uint8_t> bytes;
  if (!WriteRecording(session.recording, session.values, false, CurrentLocalTime(), bytes))
    throw CliExit{ExitRefused, Text(TextId::RecordTooLong)};
  SaveOutput(out, bytes);
  return ExitOk;
}

}  // namespace kalvex::cli
