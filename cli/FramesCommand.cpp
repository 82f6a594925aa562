#include "CliSession.h"
#include "Commands.h"
#include "analysis/FrameAnalyser.h"
#include "analysis/SignalsText.h"
#include "platform/FileAccess.h"
#include "shell/TextCatalogue.h"

namespace kalvex::cli {

int RunFrames(const Words& words, const QString& executablePath) {
  auto options = CliSession::SettingsOptions();
  options.insert("-o");
  CliArgs args(words, options, CliSession::SettingsFlags());
  if (args.Positional().size() != 1 || !args.Has("-o"))
    throw CliExit{ExitUsage, "usage: kalvex-cli frames FILE -o OUT"};
  CliSession session(executablePath);
  session.ApplyOptions(args);
  session.OpenFile(args.Positional()[0]);
  const int rm = RmChannelIndex(session.recording.Mode),
            bp = BpChannelIndex(session.recording.Mode);
  if (rm < 0) throw CliExit{ExitRefused, Text(TextId::NoMassAndPlateChannels)};
  session.LoadFft(true);

  // RM, BP, RM again: the second RM pass fills the RM-by-BP cross values.
  AnalysisContext ctx = session.Context();
  const int frames = FrameCount(ctx);
  for (int channel : {rm, bp, rm}) AnalyseFrames(ctx, 0, channel, 0, 0, frames);

  std::string text = WriteSignalsText(session.recording);
  const std::string& out = args.Get("-o");
  SaveOutput(out, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  return ExitOk;
}

}  // namespace kalvex::cli
