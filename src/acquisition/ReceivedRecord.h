#pragma once
// A completed data block into the current recording: the samples (with the
// polarity rule and the "Dodida" channel order), the ranges, the derived
// channel, the "Rec_" name.

#include <cstdint>
#include <vector>

namespace kalvex {

class TFrmFile;
class UserInteraction;
struct LocalDateTime;
struct ProgramSettings;

// The shape of the record asked for at Start.
struct RecordShape {
  int channelCount = 0;
  int recordLength = 0;
  bool operator==(const RecordShape&) const = default;
};

RecordShape ShapeOf(const TFrmFile& rec);

// Bytes of the data block: channels × samples × 2.
int ExpectedDataSize(const RecordShape& shape);

// Sample i of channel j is the (i·C + j)-th big-endian value; channels 1..
// are negated with polarity "Positive"; in mode 3 the second and third
// channels are stored in slots 2 and 1.
void StoreReceivedData(const std::vector<std::uint8_t>& buffer, TFrmFile& rec, int channelCount);

// Fills the recording from a completed block. The block is taken only while
// the recording still has the shape used at Start; otherwise it is discarded
// with a message and false is returned.
bool FillAcquiredRecord(TFrmFile& rec, const ProgramSettings& settings,
                        const std::vector<std::uint8_t>& buffer, const RecordShape& atStart,
                        const LocalDateTime& now, UserInteraction& ui);

}  // namespace kalvex
