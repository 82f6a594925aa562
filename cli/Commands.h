#pragma once
// The subcommands of kalvex-cli. Each takes the words after its name and
// returns the exit code; failures leave by throwing CliExit.

#include <QString>
#include <string>
#include <vector>

namespace kalvex::cli {

using Words = std::vector<std::string>;

int RunInfo(const Words& words, const QString& executablePath);
int RunSamples(const Words& words, const QString& executablePath);
int RunResave(const Words& words, const QString& executablePath);
int RunGraph(const Words& words, const QString& executablePath);
int RunFrames(const Words& words, const QString& executablePath);
int RunSynth(const Words& words, const QString& executablePath);
int RunCommandBlock(const Words& words, const QString& executablePath);
int RunAcquire(const Words& words, const QString& executablePath);
int RunModels(const Words& words, const QString& executablePath);
int RunReport(const Words& words, const QString& executablePath);
int RunProject(const Words& words, const QString& executablePath);
int RunQc(const Words& words, const QString& executablePath);
int RunHistory(const Words& words, const QString& executablePath);
int RunExportSegy(const Words& words, const QString& executablePath);
int RunImportSegy(const Words& words, const QString& executablePath);

}  // namespace kalvex::cli
