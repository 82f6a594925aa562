#include <charconv>
#include <iostream>

#include "CliSession.h"
#include "Commands.h"

namespace kalvex::cli {
namespace {

std::string Shortest(double v) {
  char buf[40];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

}  // namespace

int RunSamples(const Words& words, const QString& executablePath) {
  auto options = CliSession::SettingsOptions();
  options.insert("--channel");
  auto flags = CliSession::SettingsFlags();
  flags.insert("--csv");
  CliArgs args(words, options, flags);
  if (args.Positional().size() != 1)
    throw CliExit{ExitUsage, "usage: kalvex-cli samples FILE [--channel K] [--csv]"};
  CliSession session(executablePath);
  session.ApplyOptions(args);
  session.OpenFile(args.Positional()[0]);

  const TFrmFile& r = session.recording;
  std::vector<int> held;
  for (int s = 0; s < ChannelCount(r.Mode); ++s) held.push_back(s);
  if (r.Mode == Ombrel16) held.push_back(2);
  const int derived = ChannelCount(r.Mode);
  const bool hasDerived = r.Mode != Similarity && r.Mode != Ombrel16;
  if (hasDerived) held.push_back(derived);
  if (args.Has("--channel")) {
    int k = args.GetInt("--channel", 0);
    if (std::find(held.begin(), held.end(), k) == held.end())
      throw CliExit{ExitUsage, std::string("--channel ").append(std::to_string(k)) +
                                   ": the recording has no such channel"};
    held = {k};
  }
  std::string out;
  if (args.Has("--csv")) {
    out += "index";
    // An Ombrel16 file's third channel has no name of its own in the system.
    for (int s : held)
      out.append(",").append(r.Mode == Ombrel16 && s == 2 ? "CH2" : r.ChannelName(r.Mode, s));
    out += "\n";
  }
  for (std::size_t i = 0; i < r.RecordLength; ++i) {
    out += std::to_string(i);
    for (int s : held) {
      out += ',';
      out += hasDerived && s == derived ? Shortest(r.DerivedChannel->Values[i])
                                        : std::to_string(r.Channels[s]->Samples[i]);
    }
    out += '\n';
  }
  std::cout << out;
  return ExitOk;
}

}  // namespace kalvex::cli
