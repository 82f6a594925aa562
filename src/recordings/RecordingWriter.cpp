#include "recordings/RecordingWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "recordings/Cp1251.h"
#include "recordings/DerivedValues.h"
#include "recordings/ProcessValues.h"
#include "recordings/RecordingHeader.h"
#include "recordings/StoredValues.h"
#include "recordings/TFrmFile.h"

namespace kalvex {

void header::PutF32(std::span<std::uint8_t> b, std::size_t at, double value) {
  const float f = stored::AsFloat(value);
  std::uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(bits >> (8 * k));
}

namespace {

using Header = std::array<std::uint8_t, FileHeaderSize>;

// `text` right-padded with spaces to `size` bytes at `at`.
void PutPadded(Header& h, std::size_t at, std::size_t size, const std::string& text) {
  std::fill_n(h.begin() + at, size, ' ');
  std::copy_n(text.begin(), std::min(size, text.size()), h.begin() + at);
}

void PutDateAndTime(Header& h, const LocalDateTime& now) {
  char date[16];
  std::snprintf(date, sizeof date, "%02d/%02d/%02d  ", now.Month % 100, now.Day % 100,
                now.Year % 100);
  std::copy_n(date, 10, h.begin() + header::Date);
  const std::string time = HeaderTimeText(now);
  std::copy_n(time.begin(), 10, h.begin() + header::Time);
}

void PutComment(Header& h, const std::string& comment) {
  std::string bytes = Utf8ToCp1251(Utf8Prefix(comment, CommentMaxChars));
  PutPadded(h, header::CommentFirst, header::CommentFirstSize,
            bytes.substr(0, header::CommentFirstSize));
  PutPadded(h, header::CommentSecond, header::CommentSecondSize,
            bytes.size() > header::CommentFirstSize ? bytes.substr(header::CommentFirstSize) : "");
}

std::uint8_t ChannelFlags(const TFrmFile& rec) {
  switch (rec.Mode) {
    case Velnarund:
      return 25;
    case Tarpokline:
    case Dodida:
      return 24;
    case Similarity: {
      std::uint8_t flags = rec.SimilarityChannels[0].Attenuated ? 1 : 0;
      for (int i = 1; i <= 5; ++i) {
        const ChannelDescriptor& d = rec.SimilarityChannels[i];
        if (d.Present && d.Attenuated) flags |= static_cast<std::uint8_t>(1 << i);
      }
      return flags;
    }
    default:
      return 0;
  }
}

void PutParameters(Header& h, const TFrmFile& rec) {
  header::PutF32(h, header::BaseplateWeight, stored::WeightAsFloat(rec.BaseplateWeight));
  header::PutF32(h, header::ReactionMassWeight, stored::WeightAsFloat(rec.ReactionMassWeight));
  if (rec.Mode != Tarpokline)
    header::PutF32(h, header::HoldDownWeight, stored::WeightAsFloat(rec.HoldDownWeight));
  header::PutF32(h, header::TriggerLevel, rec.TriggerLevel);
  if (rec.Mode == Velnarund || rec.Mode == Tarpokline || rec.Mode == Dodida) {
    header::PutF32(h, header::BaseplateAccSensitivity, rec.BaseplateAccSensitivity);
    header::PutF32(h, header::MassAccSensitivity, rec.MassAccSensitivity);
  }
  header::PutF32(h, header::ServoCurrentFactor, rec.ServoCurrentFactor);
  if (rec.Mode == Similarity) {
    header::PutF32(h, header::TestOut, rec.TestOut);
    for (int i = 1; i <= 5; ++i) {
      const ChannelDescriptor& d = rec.SimilarityChannels[i];
      std::string name = d.Present ? Utf8ToCp1251(Utf8Prefix(d.Name, ChannelNameMaxChars)) : "";
      PutPadded(h, header::ChannelNames + header::ChannelNameSize * (i - 1),
                header::ChannelNameSize, name);
    }
  }
  if (rec.Mode == Tarpokline) {
    header::PutF32(h, header::SourceVoltageFactor, rec.SourceVoltageFactor);
    header::PutF32(h, header::SourceCurrentFactor, rec.SourceCurrentFactor);
    header::PutF32(h, header::SourceSensorFactor, rec.SourceSensorFactor);
  }
}

void PutCodes(Header& h, const TFrmFile& rec, const ProcessValues& values) {
  header::PutU16(h, 150, 0);
  h[header::IntervalCode] = static_cast<std::uint8_t>(std::clamp(
      std::nearbyint(std::ldexp(1.0, 4 - std::clamp(values.SampleRateIndex, -4, 8))), 0.0, 255.0));
  h[153] = 0;
  header::PutU16(h, header::SampleCountCopy, header::GetU16(h, header::SampleCount));
  header::PutU16(h, 156, 0);
  h[159] = 0;
  h[header::Equipment] = static_cast<std::uint8_t>(1 - values.EquipmentIndex);
  h[header::ModeCode] = FileCodeOfMode(rec.Mode);
  h[header::ChannelFlags] = ChannelFlags(rec);
}

void ClearReserved(Header& h) {
  std::fill_n(h.begin() + 209, 3, 0);
  h[227] = 0;
  std::fill(h.begin() + header::Reserved232, h.end(), 0);
}

void AppendChannel(std::vector<std::uint8_t>& file, const SampleArray* block, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    std::int16_t s = block && i < block->Samples.size() ? block->Samples[i] : 0;
    auto u = static_cast<std::uint16_t>(s);
    file.push_back(static_cast<std::uint8_t>(u & 0xFF));
    file.push_back(static_cast<std::uint8_t>(u >> 8));
  }
}

}  // namespace

std::string HeaderTimeText(const LocalDateTime& now) {
  char time[16];
  std::snprintf(time, sizeof time, "%02d:%02d:%02d  ", now.Hour % 100, now.Minute % 100,
                now.Second % 100);
  return time;
}

bool WriteRecording(TFrmFile& rec, ProcessValues& values, bool rebuildHeader,
                    const LocalDateTime& now, std::vector<std::uint8_t>& file) {
  Header& h = rec.FileHeader;
  if (rebuildHeader) {
    // A recording read from a file keeps the samples it holds: lengths from
    // the parameters would cut a record longer than its sweep plus 500.
    long count = rec.Channels[0] ? static_cast<long>(rec.Channels[0]->Samples.size()) : 0;
    long sweep = std::min<long>(rec.SweepLength, count);
    if (rec.Origin != OriginFile) {
      if (!RecordFits(values.SampleRateIndex, rec.SweepSeconds)) return false;
      sweep = (500L << values.SampleRateIndex) * rec.SweepSeconds;
      count = sweep + 500;
    }
    h = {};
    header::PutU16(h, header::SampleCount, static_cast<std::uint16_t>(count));
    header::PutU16(h, header::SweepLength, static_cast<std::uint16_t>(sweep));
  }
  values.CurrentMode = rec.Mode;
  const std::size_t n = header::GetU16(h, header::SampleCount);
  header::PutU16(h, 2, 0);
  header::PutU16(h, 4, 0);
  PutDateAndTime(h, now);
  PutComment(h, rec.Comment);
  h[header::Marker48] = 4;
  std::fill_n(h.begin() + header::Marker48 + 1, 3, 0);
  PutParameters(h, rec);
  PutCodes(h, rec, values);
  ClearReserved(h);
  PutSignature(h);

  file.assign(h.begin(), h.end());
  file.reserve(FileHeaderSize + 2 * n * FileChannelCount(rec.Mode));
  // Mode 3 files hold REF, BP, RM. Mode 4 files hold a third channel: the
  // one a file brought along, else a repeat of slot 1 (records the program
  // makes have no slot 2).
  static constexpr int kDodidaOrder[] = {0, 2, 1};
  const int ombrelThird = rec.Channels[2] ? 2 : 1;
  for (int k = 0; k < FileChannelCount(rec.Mode); ++k) {
    const int slot = rec.Mode == Dodida               ? kDodidaOrder[k]
                     : rec.Mode == Ombrel16 && k == 2 ? ombrelThird
                                                      : k;
    AppendChannel(file, rec.Channels[slot].get(), n);
  }
  return true;
}

}  // namespace kalvex
