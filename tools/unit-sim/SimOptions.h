#pragma once
// The simulator's command line.

#include <optional>
#include <string>

#include "VibratorModel.h"

namespace kalvex::unitsim {

struct SimOptions {
  std::string device;
  int mode = -1;             // -1: taken from the command block
  long rate = 11520;         // data bytes per second (a 115 200-baud line)
  long delayMs = 200;        // from the command block to the header
  bool noHeader = false;     // never answer
  bool splitHeader = false;  // the header as 1 byte, then 2
  long stallAfter = -1;      // stop sending after this many data bytes (-1: off)
  long dropAfter = -1;       // close the line after this many data bytes (-1: off)
  long extraBytes = 0;       // bytes sent after the data block
  bool once = false;         // end after one exchange
  std::string logPath;       // empty: no log
  bool faulty = false;       // a fault option was given: the record is the vibrator model's
  vibmodel::Faults faults;   // the faults of that record
  bool help = false;
};

// The options in argv[1..]; nullopt with `error` set when they are not usable.
std::optional<SimOptions> ParseSimOptions(int argc, char** argv, std::string& error);

const char* SimUsage();

}  // namespace kalvex::unitsim
