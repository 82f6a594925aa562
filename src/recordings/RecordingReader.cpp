#include "recordings/RecordingReader.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <optional>
#include <string>

#include "recordings/Cp1251.h"
#include "recordings/DerivedValues.h"
#include "recordings/ProcessValues.h"
#include "recordings/RecordingHeader.h"
#include "recordings/StoredValues.h"
#include "recordings/TFrmFile.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

using Bytes = std::span<const std::uint8_t>;

// Everything the header says, converted; assigned to the recording only once
// every check has passed.
struct HeaderFields {
  int mode = 0;
  std::uint16_t n = 0;
  std::uint8_t intervalCode = 0;
  std::string comment;
  std::int32_t holdDownWeight = 0, baseplateWeight = 0, reactionMassWeight = 0;
  double baseplateAcc = 0, massAcc = 0, servoCurrent = 0, triggerLevel = 0;
  double voltage = 0, current = 0, sensor = 0, testOut = 0;
  std::array<ChannelDescriptor, 6> similarity{};
  int equipmentIndex = 0;
  int sampleRateIndex = 0;
  std::uint16_t sampleRate = 0;
  std::uint16_t sweepLength = 0;
};

bool IsBlank(std::uint8_t c) {
  return c <= ' ';
}

// The bytes with blanks and control characters removed at both ends.
std::string TrimmedText(Bytes bytes) {
  std::size_t first = 0, last = bytes.size();
  while (first < last && IsBlank(bytes[first])) ++first;
  while (last > first && IsBlank(bytes[last - 1])) --last;
  return Cp1251ToUtf8(
      std::string_view(reinterpret_cast<const char*>(bytes.data()) + first, last - first));
}

// Steps that refuse a file before any question is asked: mode code, sample
// count, file size.
std::optional<TextId> CheckShape(Bytes head, std::size_t fileSize, HeaderFields& h) {
  std::optional<int> mode = ModeFromFileCode(head[header::ModeCode]);
  if (!mode) return TextId::BadModeCode;
  h.mode = *mode;
  h.n = header::GetU16(head, header::SampleCount);
  if (h.n == 0) return TextId::ZeroSampleCount;
  std::size_t expected = FileHeaderSize + 2u * h.n * FileChannelCount(h.mode);
  if (fileSize != expected) return TextId::BadFileSize;
  h.intervalCode = head[header::IntervalCode];
  return std::nullopt;
}

std::optional<TextId> ReadWeights(Bytes file, HeaderFields& h, bool massAndPlate) {
  if (h.mode != Tarpokline) {
    auto w = stored::WeightKg(header::GetF32(file, header::HoldDownWeight));
    if (!w) return TextId::BadHoldDownWeight;
    h.holdDownWeight = *w;
  }
  if (!massAndPlate) return std::nullopt;
  auto bp = stored::WeightKg(header::GetF32(file, header::BaseplateWeight));
  if (!bp) return TextId::BadBaseplateWeight;
  h.baseplateWeight = *bp;
  auto rm = stored::WeightKg(header::GetF32(file, header::ReactionMassWeight));
  if (!rm) return TextId::BadReactionMassWeight;
  h.reactionMassWeight = *rm;
  return std::nullopt;
}

std::optional<TextId> ReadFactors(Bytes file, HeaderFields& h, bool massAndPlate) {
  if (massAndPlate) {
    h.baseplateAcc = header::GetF32(file, header::BaseplateAccSensitivity);
    if (!stored::Positive(h.baseplateAcc)) return TextId::BadBaseplateAccSensitivity;
    h.massAcc = header::GetF32(file, header::MassAccSensitivity);
    if (!stored::Positive(h.massAcc)) return TextId::BadMassAccSensitivity;
  }
  if (h.mode == Velnarund) {
    h.servoCurrent = header::GetF32(file, header::ServoCurrentFactor);
    if (!stored::Positive(h.servoCurrent)) return TextId::BadServoCurrentFactor;
  }
  h.triggerLevel = header::GetF32(file, header::TriggerLevel);
  if (!stored::TriggerLevel(h.triggerLevel)) return TextId::BadTriggerLevel;
  if (h.mode == Tarpokline) {
    h.voltage = header::GetF32(file, header::SourceVoltageFactor);
    if (!stored::SourceFactor(h.voltage)) return TextId::BadVoltage;
    h.current = header::GetF32(file, header::SourceCurrentFactor);
    if (!stored::SourceFactor(h.current)) return TextId::BadCurrent;
    h.sensor = header::GetF32(file, header::SourceSensorFactor);
    if (!stored::SourceFactor(h.sensor)) return TextId::BadSensor;
  }
  if (h.mode == Similarity) {
    h.testOut = header::GetF32(file, header::TestOut);
    if (!stored::Positive(h.testOut)) return TextId::BadTestOut;
  }
  return std::nullopt;
}

void ReadSimilarityChannels(Bytes file, HeaderFields& h) {
  std::uint8_t flags = file[header::ChannelFlags];
  h.similarity[0].Name = "REF";
  for (int i = 1; i <= 5; ++i)
    h.similarity[i].Name = TrimmedText(file.subspan(
        header::ChannelNames + header::ChannelNameSize * (i - 1), header::ChannelNameSize));
  for (int i = 0; i <= 5; ++i) {
    h.similarity[i].Present = !h.similarity[i].Name.empty();
    h.similarity[i].Attenuated = h.similarity[i].Present && (flags >> i & 1);
  }
}

// Sweep length in samples, never beyond the record: modes 3 and 4 keep the
// record's last half second out of it, the other modes store it (unsigned).
std::uint16_t SweepLengthOf(Bytes file, const HeaderFields& h) {
  long sweep = (h.mode == Dodida || h.mode == Ombrel16)
                   ? long{h.n} - h.sampleRate / 2
                   : long{header::GetU16(file, header::SweepLength)};
  return static_cast<std::uint16_t>(std::clamp<long>(sweep, 0, h.n));
}

// Steps after the accumulation questions: comment, parameters, equipment,
// interval and sweep.
std::optional<TextId> ReadParameters(Bytes file, HeaderFields& h) {
  h.comment = HeaderComment(file);

  bool massAndPlate = h.mode == Velnarund || h.mode == Tarpokline || h.mode == Dodida;
  if (auto refusal = ReadWeights(file, h, massAndPlate)) return refusal;
  if (auto refusal = ReadFactors(file, h, massAndPlate)) return refusal;
  if (h.mode == Similarity) ReadSimilarityChannels(file, h);

  h.equipmentIndex = std::max(0, 1 - int{file[header::Equipment]});
  int log2Code = std::countr_zero(static_cast<unsigned>(h.intervalCode));
  if (h.intervalCode == 0 || h.intervalCode > 16 || (h.intervalCode & (h.intervalCode - 1)) != 0)
    return TextId::BadTimeInterval;
  h.sampleRate = static_cast<std::uint16_t>(8000 / h.intervalCode);
  h.sampleRateIndex = 4 - log2Code;
  h.sweepLength = SweepLengthOf(file, h);
  return std::nullopt;
}

// The accumulation questions, in their order; false when one is declined.
bool ConfirmAccumulation(const TFrmFile& rec, const HeaderFields& h, UserInteraction& ui) {
  if (h.mode != rec.Mode && !ui.AskYesNo(Text(TextId::AccumulationModeMismatch))) return false;
  if (h.n != rec.RecordLength && !ui.AskYesNo(Text(TextId::AccumulationLengthMismatch)))
    return false;
  // A code of 0 has no rate to compare; the file is refused further on anyway.
  bool rateDiffers = h.intervalCode != 0 && 8000.0 / h.intervalCode != rec.SampleRate;
  return !rateDiffers || ui.AskYesNo(Text(TextId::AccumulationIntervalMismatch));
}

void Assign(TFrmFile& rec, ProcessValues& values, Bytes file, const HeaderFields& h) {
  rec.Mode = static_cast<std::uint8_t>(h.mode);
  std::copy_n(file.begin(), FileHeaderSize, rec.FileHeader.begin());
  rec.Comment = h.comment;
  bool massAndPlate = h.mode == Velnarund || h.mode == Tarpokline || h.mode == Dodida;
  if (h.mode != Tarpokline) rec.HoldDownWeight = h.holdDownWeight;
  if (massAndPlate) {
    rec.BaseplateWeight = h.baseplateWeight;
    rec.ReactionMassWeight = h.reactionMassWeight;
    rec.BaseplateAccSensitivity = h.baseplateAcc;
    rec.MassAccSensitivity = h.massAcc;
  }
  if (h.mode == Velnarund) rec.ServoCurrentFactor = h.servoCurrent;
  rec.TriggerLevel = h.triggerLevel;
  if (h.mode == Tarpokline) {
    rec.SourceVoltageFactor = h.voltage;
    rec.SourceCurrentFactor = h.current;
    rec.SourceSensorFactor = h.sensor;
  }
  if (h.mode == Similarity) {
    rec.TestOut = h.testOut;
    rec.SimilarityChannels = h.similarity;
  }
  values.EquipmentIndex = h.equipmentIndex;
  values.SampleRateIndex = h.sampleRateIndex;
  rec.SampleRate = h.sampleRate;
  rec.SweepLength = h.sweepLength;
  rec.SweepSeconds = static_cast<std::uint16_t>(h.sweepLength / h.sampleRate);
}

int Refuse(UserInteraction& ui, TextId text) {
  ui.ShowError(Text(text));
  return HeaderRefused;
}

}  // namespace

std::string HeaderComment(std::span<const std::uint8_t> file) {
  if (file.size() < FileHeaderSize) return {};
  std::string both(reinterpret_cast<const char*>(file.data()) + header::CommentFirst,
                   header::CommentFirstSize);
  both.append(reinterpret_cast<const char*>(file.data()) + header::CommentSecond,
              header::CommentSecondSize);
  return TrimmedText(Bytes(reinterpret_cast<const std::uint8_t*>(both.data()), both.size()));
}

int ReadRecordingHeader(TFrmFile& rec, ProcessValues& values, Bytes file, bool accumulating,
                        UserInteraction& ui) {
  // A file shorter than its header is checked as if padded with zero bytes:
  // it can never have the size its header claims.
  std::array<std::uint8_t, FileHeaderSize> head{};
  std::copy_n(file.begin(), std::min<std::size_t>(file.size(), FileHeaderSize), head.begin());
  HeaderFields h;
  if (auto refusal = CheckShape(head, file.size(), h)) return Refuse(ui, *refusal);
  if (accumulating && !ConfirmAccumulation(rec, h, ui)) return HeaderDeclined;
  if (auto refusal = ReadParameters(file, h)) return Refuse(ui, *refusal);
  Assign(rec, values, file, h);
  return h.n;
}

void ReadRecordingSamples(TFrmFile& rec, const ProgramSettings& settings, Bytes file) {
  const std::size_t n = header::GetU16(rec.FileHeader, header::SampleCount);
  const int c = FileChannelCount(rec.Mode);
  // Mode 3 files hold REF, BP, RM; every other file follows the slot order.
  int slotOfFileChannel[3] = {0, 1, 2};
  if (rec.Mode == Dodida) std::swap(slotOfFileChannel[1], slotOfFileChannel[2]);
  for (int k = 0; k < c; ++k) {
    int slot = k < 3 ? slotOfFileChannel[k] : k;
    auto& block = rec.Channels[slot];
    if (!block) block = std::make_unique<SampleArray>();
    block->Samples.assign(n, 0);
    std::size_t at = FileHeaderSize + 2 * n * k;
    for (std::size_t i = 0; i < n && at + 2 * i + 1 < file.size(); ++i)
      block->Samples[i] = static_cast<std::int16_t>(header::GetU16(file, at + 2 * i));
  }
  for (int slot = 0; slot < c; ++slot) {
    if (!rec.PolarityPositive && slot != 0) NegateSamples(*rec.Channels[slot], rec.SweepLength);
    ScanRange(*rec.Channels[slot], rec.SweepLength);
  }
  if (!rec.DerivedChannel) rec.DerivedChannel = std::make_unique<ValueArray>();
  rec.DerivedChannel->Values.assign(n, 0.0);
  ComputeDerivedChannel(rec, settings);
  for (int slot = c; slot < MaxChannelSlots; ++slot) rec.Channels[slot].reset();
  rec.Origin = OriginFile;
}

}  // namespace kalvex
