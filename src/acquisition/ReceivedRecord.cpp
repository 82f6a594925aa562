#include "acquisition/ReceivedRecord.h"

#include "acquisition/RecordName.h"
#include "recordings/DerivedValues.h"
#include "recordings/TFrmFile.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {

RecordShape ShapeOf(const TFrmFile& rec) {
  return {ChannelCount(rec.Mode), rec.RecordLength};
}

int ExpectedDataSize(const RecordShape& shape) {
  return shape.channelCount * shape.recordLength * 2;
}

void StoreReceivedData(const std::vector<std::uint8_t>& buffer, TFrmFile& rec, int channelCount) {
  const int n = rec.RecordLength;
  const std::size_t available = buffer.size() / 2;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < channelCount; ++j) {
      const std::size_t at = static_cast<std::size_t>(i) * channelCount + j;
      if (at >= available) return;
      auto v = static_cast<std::int16_t>((buffer[2 * at] << 8) | buffer[2 * at + 1]);
      if (rec.PolarityPositive && j > 0 && v != INT16_MIN) v = static_cast<std::int16_t>(-v);
      const int slot = rec.Mode == Dodida && (j == 1 || j == 2) ? 3 - j : j;
      auto& block = rec.Channels[slot];
      if (block && i < static_cast<int>(block->Samples.size())) block->Samples[i] = v;
    }
  }
}

bool FillAcquiredRecord(TFrmFile& rec, const ProgramSettings& settings,
                        const std::vector<std::uint8_t>& buffer, const RecordShape& atStart,
                        const LocalDateTime& now, UserInteraction& ui) {
  // A mode or length changed while the worker ran: the block no longer fits.
  if (ShapeOf(rec) != atStart || static_cast<int>(buffer.size()) != ExpectedDataSize(atStart)) {
    ui.ShowError(Text(TextId::RecordChangedDuringAcquisition));
    return false;
  }
  rec.ClearAnalyses();
  const int channels = atStart.channelCount;
  rec.FreeChannelsFrom(channels);
  for (int c = 0; c < channels; ++c) {
    auto& block = rec.Channels[c];
    if (!block) block = std::make_unique<SampleArray>();
    block->Samples.resize(rec.RecordLength, 0);
  }
  if (!rec.DerivedChannel) rec.DerivedChannel = std::make_unique<ValueArray>();
  rec.DerivedChannel->Values.resize(rec.RecordLength + 1, 0.0);
  rec.DerivedChannel->Min = rec.DerivedChannel->Max = 0;
  rec.DerivedChannel->Count = 0;
  StoreReceivedData(buffer, rec, channels);
  for (int c = 0; c < channels; ++c) ScanRange(*rec.Channels[c], rec.SweepLength);
  ComputeDerivedChannel(rec, settings);
  NameAcquiredRecord(rec, now);
  PutSignature(rec.FileHeader);
  rec.Origin = OriginAcquired;
  rec.Modified = true;
  return true;
}

}  // namespace kalvex
