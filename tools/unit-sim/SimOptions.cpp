#include "SimOptions.h"

#include <charconv>
#include <cstring>

namespace kalvex::unitsim {
namespace {

// A whole decimal number from `low` up, with nothing after it.
bool ParseCount(const char* text, long low, long& value) {
  const char* end = text + std::strlen(text);
  auto [p, ec] = std::from_chars(text, end, value);
  return ec == std::errc() && p == end && p != text && value >= low;
}

}  // namespace

const char* SimUsage() {
  static const std::string usage =
      std::string(
          "usage: kalvex-unit-sim --port DEVICE [--mode M] [--rate BYTES_PER_S] [--delay-ms N]\n"
          "                       [--no-header] [--split-header] [--stall-after BYTES]\n"
          "                       [--drop-after BYTES] [--extra-bytes N] [--once] [--log FILE]\n"
          "                       [vibrator faults]\n"
          "Plays the acquisition unit on DEVICE: answers each command block with a 3-byte\n"
          "header and the record of the synthetic test signal (polarity Positive), and\n"
          "stops sending on the byte 0xFF.\n"
          "  --mode M            recording mode 0..4 instead of the one the block implies\n"
          "  --rate BYTES_PER_S  data pace (default 11520)\n"
          "  --delay-ms N        pause before the header (default 200)\n"
          "  --no-header         never answer (neither header nor data)\n"
          "  --split-header      send the header as 1 byte, then 2\n"
          "  --stall-after BYTES send nothing more after BYTES data bytes; the line stays open\n"
          "  --drop-after BYTES  close the line after BYTES data bytes, then open it again\n"
          "  --extra-bytes N     send N more bytes after the data block\n"
          "  --once              end after one exchange\n"
          "  --log FILE          write what was received and sent, one line per event\n"
          "Vibrator faults: with any of them the record is that of the vibrator model\n"
          "(weights 4000 kg RM, 1800 kg BP, 20000 kg hold-down, accelerometers 100 mV/g)\n"
          "with the faults given, instead of the synthetic signal:\n") +
      vibmodel::FaultOptionsUsage();
  return usage.c_str();
}

std::optional<SimOptions> ParseSimOptions(int argc, char** argv, std::string& error) {
  SimOptions o;
  for (int a = 1; a < argc; ++a) {
    const std::string name = argv[a];
    auto value = [&]() -> const char* {
      if (a + 1 >= argc) {
        error = name + " needs a value";
        return nullptr;
      }
      return argv[++a];
    };
    auto count = [&](long low, long& out) {
      const char* v = value();
      if (!v) return false;
      if (!ParseCount(v, low, out)) {
        error = name + ": not a whole number from " + std::to_string(low) + " up: " + v;
        return false;
      }
      return true;
    };
    long mode = 0;
    if (name == "--help" || name == "-h") {
      o.help = true;
    } else if (name == "--port") {
      const char* v = value();
      if (!v) return std::nullopt;
      o.device = v;
    } else if (name == "--mode") {
      if (!count(0, mode)) return std::nullopt;
      if (mode > 4) {
        error = "--mode: the modes are 0 to 4";
        return std::nullopt;
      }
      o.mode = static_cast<int>(mode);
    } else if (name == "--rate") {
      if (!count(1, o.rate)) return std::nullopt;
    } else if (name == "--delay-ms") {
      if (!count(0, o.delayMs)) return std::nullopt;
    } else if (name == "--no-header") {
      o.noHeader = true;
    } else if (name == "--split-header") {
      o.splitHeader = true;
    } else if (name == "--stall-after") {
      if (!count(0, o.stallAfter)) return std::nullopt;
    } else if (name == "--drop-after") {
      if (!count(0, o.dropAfter)) return std::nullopt;
    } else if (name == "--extra-bytes") {
      if (!count(0, o.extraBytes)) return std::nullopt;
    } else if (name == "--once") {
      o.once = true;
    } else if (name == "--log") {
      const char* v = value();
      if (!v) return std::nullopt;
      o.logPath = v;
    } else if (vibmodel::IsFaultOption(name)) {
      const char* v = value();
      if (!v || !vibmodel::ParseFaultOption(name, v, o.faults, error)) return std::nullopt;
      o.faulty = true;
    } else {
      error = "unknown option: " + name;
      return std::nullopt;
    }
  }
  if (!o.help && o.device.empty()) {
    error = "--port DEVICE is required";
    return std::nullopt;
  }
  if (o.faulty && o.mode >= 0) {
    error = vibmodel::CheckFaults(o.faults, o.mode);
    if (!error.empty()) return std::nullopt;
  }
  return o;
}

}  // namespace kalvex::unitsim
