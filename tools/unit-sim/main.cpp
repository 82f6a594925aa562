// kalvex-unit-sim: plays the acquisition unit on a serial device or a
// pseudo-terminal, so that acquisition can be run and tested without hardware.
// See SimOptions.cpp for the options.

#include <cstdio>
#include <string>

#include "SimLine.h"
#include "SimOptions.h"
#include "UnitSession.h"

int main(int argc, char** argv) {
  using namespace kalvex::unitsim;
  std::string error;
  const auto options = ParseSimOptions(argc, argv, error);
  if (!options) {
    std::fprintf(stderr, "kalvex-unit-sim: %s\n%s", error.c_str(), SimUsage());
    return 2;
  }
  if (options->help) {
    std::fputs(SimUsage(), stdout);
    return 0;
  }
  SimLog log;
  if (!options->logPath.empty() && !log.Open(options->logPath)) {
    std::fprintf(stderr, "kalvex-unit-sim: cannot write %s\n", options->logPath.c_str());
    return 1;
  }
  SimLine line(options->device);
  if (!line.Open(error)) {
    std::fprintf(stderr, "kalvex-unit-sim: %s\n", error.c_str());
    return 1;
  }
  log.Line("opened " + options->device);
  UnitSession session(*options, line, log);
  const int status = session.Run();
  if (status != 0)
    std::fprintf(stderr, "kalvex-unit-sim: the line to %s was lost\n", options->device.c_str());
  return status;
}
