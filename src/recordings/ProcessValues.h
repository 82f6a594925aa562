#pragma once
// Process-wide values that belong with the current recording but outlive it:
// they are not part of a recording snapshot.

namespace kalvex {

// A local date and time as the file system or the clock gives it; all zero
// means "none".
struct LocalDateTime {
  int Year = 0;
  int Month = 0;
  int Day = 0;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  bool operator==(const LocalDateTime&) const = default;
};

struct ProcessValues {
  int SampleRateIndex = 0;  // SampleRate = 500 * 2^SampleRateIndex
  int EquipmentIndex = 0;   // 0 Quorimeter, 1 Notebook Marlo
  int ChannelOffset = 0;    // 2 while mode 3 is chosen: calibration k = channel + offset
  int PortNumber = 0;       // "COM" n, n = 1..32; 0 = "USB" (no COM port)
  int BaudIndex = 0;        // 0 "115 200", 1 "57 600"; kept, not used by the link
  LocalDateTime RecordingDate;
  int CurrentMode = 5;  // copy of the recording's mode
};

}  // namespace kalvex
