#include <iostream>

#include "CliSession.h"
#include "Commands.h"
#include "ParameterOptions.h"
#include "acquisition/CommandBlock.h"
#include "acquisition/SyntheticSignal.h"
#include "platform/FileAccess.h"
#include "recordings/DerivedValues.h"
#include "recordings/ParameterChecks.h"
#include "shell/TextCatalogue.h"

namespace kalvex::cli {

int RunSynth(const Words& words, const QString& executablePath) {
  auto options = ParameterOptionNames(false);
  options.insert("-o");
  CliArgs args(words, options, {});
  if (!args.Has("-o") || !args.Positional().empty())
    throw CliExit{ExitUsage,
                  "usage: kalvex-cli synth --mode M --rate-index K --seconds T -o FILE [params]"};
  CliSession s(executablePath);
  ApplyParameterOptions(args, s.recording, s.values);
  if (!ValidateParameters(s.recording, s.values, s.ui)) throw CliExit{ExitRefused, s.ui.lastError};
  s.recording.ClearAnalyses();
  if (!GenerateSyntheticRecord(s.recording, s.values, s.settings, CurrentLocalTime(), s.ui))
    throw CliExit{ExitRefused, s.ui.lastError};
  PutSignature(s.recording.FileHeader);
  s.recording.Origin = OriginAcquired;
  s.recording.Modified = true;
  ComputeAmplitudeNorm(s.recording, s.values.SampleRateIndex);
  s.SaveAsNewRecording(args.Get("-o"));
  return ExitOk;
}

int RunCommandBlock(const Words& words, const QString& executablePath) {
  CliArgs args(words, ParameterOptionNames(true), {});
  if (!args.Positional().empty())
    throw CliExit{ExitUsage, "usage: kalvex-cli command-block [params]"};
  CliSession s(executablePath);
  ApplyParameterOptions(args, s.recording, s.values);
  AcquisitionChoices choices;
  ApplyAcquisitionChoices(args, s.recording, choices);
  CommandBlock block;
  block.MarkParametersSet();  // the parameters are given on the command line
  if (!BuildCommandBlock(block, s.recording, s.values, choices, s.ui))
    throw CliExit{ExitRefused, s.ui.lastError};
  std::cout << CommandBlockText(block);
  return ExitOk;
}

}  // namespace kalvex::cli
