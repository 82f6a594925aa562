#pragma once
// The recording: the raw samples of every channel of one vibrator test, the
// test's parameters, the derived channel and the per-channel analysis cache.
// One instance per process (the current recording) is filled in place by file
// reads, acquisitions, the synthetic signal and the parameters dialog.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "recordings/FrameAnalysis.h"
#include "recordings/NoValue.h"
#include "recordings/RecordingModes.h"
#include "recordings/SampleBlocks.h"

namespace kalvex {

inline constexpr int CommentMaxChars = 96;
inline constexpr int ChannelNameMaxChars = 8;
inline constexpr int FileHeaderSize = 256;

struct ChannelDescriptor {
  bool Present = false;
  bool Attenuated = false;  // recorded through "x8": counts eight times
  std::string Name;         // at most 8 characters, UTF-8
};

// Where the recording's data came from.
enum RecordingOrigin : std::uint8_t { OriginNone = 0, OriginAcquired = 1, OriginFile = 2 };

class TFrmFile {
 public:
  TFrmFile() { CreateRecording(); }
  TFrmFile(const TFrmFile&) = delete;
  TFrmFile& operator=(const TFrmFile&) = delete;
  virtual ~TFrmFile() = default;

  // Every field to its initial value, all blocks freed, mode 5.
  void CreateRecording();
  // Drops the analysis cache and its flags.
  void ClearAnalyses();
  // Makes `channel` the reference of the cross flags, clearing them unless it
  // already is.
  void InvalidateCross(int channel);
  // Frees the channel blocks and the derived channel (not the analyses).
  void FreeChannels();
  // Frees the blocks from `slot` on: a record the program makes holds its
  // mode's channels only, never one left from an earlier file.
  void FreeChannelsFrom(int slot);
  // Negates every held block from slot 1 on over the sweep.
  void ApplyPolarityChange();

  // Channel name in `mode` (taken modulo 128); mode 2 uses the similarity
  // descriptors.
  std::string ChannelName(int mode, int channel) const;
  // 8 for an attenuated similarity channel, else 1.
  int AttenuationDivisor(int channel) const;

  std::int32_t CrossReferenceChannel = -1;
  std::array<std::uint8_t, 4> CacheState{};  // [0] RM cross flag, [1] BP cross flag
  double AmplitudeNorm = 0;
  std::array<bool, MaxChannelSlots> AnalysisValid{};
  std::array<bool, MaxChannelSlots> CrossValid{};
  bool Modified = false;
  std::uint8_t Origin = OriginNone;
  std::uint16_t RecordLength = 0;
  std::uint16_t SweepLength = 0;
  std::uint16_t SweepSeconds = 0;
  std::uint16_t SampleRate = 0;
  std::string Comment;  // at most 96 characters, UTF-8
  bool PolarityPositive = true;
  std::int32_t HoldDownWeight = -1;          // kg
  std::int32_t BaseplateWeight = -1;         // kg
  std::int32_t ReactionMassWeight = -1;      // kg
  double TriggerLevel = NoValue;             // V
  double TriggerDelay = NoValue;             // s
  double BaseplateAccSensitivity = NoValue;  // mV/g
  double MassAccSensitivity = NoValue;       // mV/g
  double ServoCurrentFactor = 0;             // mV/mA
  double SourceVoltageFactor = NoValue;      // V/kV
  double SourceCurrentFactor = NoValue;      // V/kA
  double SourceSensorFactor = NoValue;       // V/m
  double TestOut = 1.0;
  std::array<ChannelDescriptor, 6> SimilarityChannels{};
  std::array<std::uint8_t, FileHeaderSize> FileHeader{};
  std::array<std::unique_ptr<SampleArray>, MaxChannelSlots> Channels;
  std::unique_ptr<ValueArray> DerivedChannel;
  std::array<std::unique_ptr<FrameAnalysis>, MaxChannelSlots> FrameAnalyses;
  std::uint8_t Mode = NoSignal;
  std::string Name;
};

// What start-up does right after creating the recording: mode 0, and the
// similarity channels "REF" (present) and "CH1".."CH5" (not present).
void PrepareStartupRecording(TFrmFile& rec);

// The similarity channels as start-up leaves them: "REF" present, "CH1".."CH5"
// not present, none attenuated.
void ResetSimilarityChannels(TFrmFile& rec);

// Unit label of a channel for a graph window's unit code; empty when the code
// has no label (the caller keeps its previous text).
std::string UnitName(int mode, int channel, int unitCode);

// Writes the header signature "Kalvex" into the last six bytes.
void PutSignature(std::array<std::uint8_t, FileHeaderSize>& header);
bool HasSignature(const std::array<std::uint8_t, FileHeaderSize>& header);

}  // namespace kalvex
