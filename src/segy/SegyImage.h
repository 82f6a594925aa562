#pragma once
// A SEG-Y file as the program reads and writes it: the textual header as
// plain text, the sample interval, the sweep, and one trace per channel with
// its samples in physical units.

#include <string>
#include <vector>

namespace kalvex {

// Sweep description of the binary and trace headers; 0 where not known.
struct SegySweep {
  int startHz = 0;
  int endHz = 0;
  int lengthMs = 0;
  int typeCode = 0;  // 1 linear, 2 parabolic, 3 exponential, 4 other
};

struct SegyTrace {
  int channelNumber = 0;  // the channel's number in its recording (1-based); 0 if unknown
  int traceId = 1;        // trace identification code: 1 seismic data, 6 sweep
  std::string name;       // the channel's name, at most 8 characters
  std::vector<float> values;
};

inline constexpr int SegyTextLines = 40;
inline constexpr int SegyTextLineLength = 80;

struct SegyImage {
  std::string text;  // the textual header: 40 lines of 80 characters, ASCII
  int intervalUs = 0;
  SegySweep sweep;
  std::vector<SegyTrace> traces;  // all of one length
};

}  // namespace kalvex
