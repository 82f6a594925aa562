#pragma once
// The project file's bytes: a main record of 452 bytes, then one record of
// 888 bytes per graph window, little-endian, every field at its fixed offset.
// Encoding and decoding share one list of fields per record, so the two
// directions cannot drift apart. Decoding trusts nothing: a main record with
// a value the program cannot hold makes the whole file foreign, and the first
// window record that is short or out of range ends the replay there.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "graphs/TGrWin.h"
#include "recordings/TFrmFile.h"

namespace kalvex {

inline constexpr char ProjectFileName[] = "Kalvex.prj";
inline constexpr std::int32_t ProjectVersion = 22;
inline constexpr std::size_t ProjectMainSize = 452;
inline constexpr std::size_t ProjectWindowSize = 888;
inline constexpr int ProjectNameMaxChars = 255;
// Records beyond this many windows are not read: the replay ends there.
inline constexpr std::size_t MaxProjectFileSize = ProjectMainSize + ProjectWindowSize * 4096;

struct ProjectRect {
  std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const ProjectRect&) const = default;
};

// The main record as stored (texts in UTF-8 here, Windows-1251 in the file).
struct ProjectMain {
  std::int32_t Version = ProjectVersion;
  std::int16_t EquipmentIndex = 0;
  std::int16_t Mode = 0;
  std::int16_t BaudIndex = 0;
  std::int16_t PortNumber = 0;
  std::int16_t TriggerChannelIndex = 0;
  std::int16_t TriggerEdgeIndex = 0;
  std::int16_t SampleRateIndex = 0;
  std::int16_t SweepSeconds = 0;
  double TriggerLevel = 0;
  double TriggerDelay = 0;
  std::array<ChannelDescriptor, 6> SimilarityChannels{};
  std::int32_t HoldDownWeight = 0;
  std::int32_t ReactionMassWeight = 0;
  std::int32_t BaseplateWeight = 0;
  double MassAccSensitivity = 0;
  double BaseplateAccSensitivity = 0;
  double ServoCurrentFactor = 0;
  double SourceCurrentFactor = 0;
  double SourceVoltageFactor = 0;
  double SourceSensorFactor = 0;
  double TestOut = 0;
  std::string Name;
  std::int32_t WindowCount = 0;
  ProjectRect MainWindow;  // stored as left, top, height, width
};

// What a window record carries besides the window's own settings: its place,
// its curve count, and the process-wide values every record repeats.
struct ProjectWindowExtras {
  ProjectRect Rect;
  std::int32_t CurveCount = 0;
  std::int32_t FundamentalInputSize = 0;
  bool PolarityPositive = true;
  std::array<double, 6> Calibration{1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
};

using ProjectWindowBytes = std::array<std::uint8_t, ProjectWindowSize>;

// One window record the replay accepts: its bytes, and the window they
// describe (stored fields only; everything else as a new TGrWin has it).
struct ProjectWindow {
  ProjectWindowBytes Record{};
  TGrWin Window;
  ProjectWindowExtras Extras;
};

// The whole file as the program reads it at start-up.
struct ProjectContents {
  // Why the file is ignored; empty when its main record was accepted.
  std::string Refusal;
  ProjectMain Main;
  std::vector<ProjectWindow> Windows;
  // The record that ended the replay (-1: every record was accepted) and
  // why: "short", or the field that was out of range.
  int EndedAt = -1;
  std::string EndReason;
};

std::vector<std::uint8_t> EncodeMainRecord(const ProjectMain& main);
// The record of `window` with `extras` (its curve count taken from there).
ProjectWindowBytes EncodeWindowRecord(const TGrWin& window, const ProjectWindowExtras& extras);

// Sets the stored fields of `window` and `extras` from a record; returns the
// first field that is out of range (empty when the record can be trusted).
// The checks that need the records before it are ReadProjectBytes's.
std::string DecodeWindowRecord(std::span<const std::uint8_t, ProjectWindowSize> record,
                               TGrWin& window, ProjectWindowExtras& extras);

// The main record, then every window record up to the first that ends the
// replay. `bytes` is the whole file.
ProjectContents ReadProjectBytes(std::span<const std::uint8_t> bytes);

}  // namespace kalvex
