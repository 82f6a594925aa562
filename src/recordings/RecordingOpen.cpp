#include "recordings/RecordingOpen.h"

#include "recordings/DerivedValues.h"
#include "recordings/ProcessValues.h"
#include "recordings/RecordingReader.h"
#include "recordings/TFrmFile.h"

namespace kalvex {

int OpenRecording(TFrmFile& rec, ProcessValues& values, const ProgramSettings& settings,
                  const OpenRequest& request, UserInteraction& ui) {
  const int previousMode = rec.Mode;
  const int n = ReadRecordingHeader(rec, values, request.file, request.accumulating, ui);
  rec.ClearAnalyses();
  if (n < 0) return n;

  // Taken only for a file that is read, so that a refused file leaves the
  // date of the recording still shown.
  values.RecordingDate = request.lastWrite ? *request.lastWrite : LocalDateTime{};
  rec.Name = request.path;
  rec.Modified = false;
  ComputeAmplitudeNorm(rec, values.SampleRateIndex);
  values.CurrentMode = rec.Mode;
  // The calibration coefficients follow the mode of the file now shown, so a
  // "Dodida" file reads as on the command line whatever mode was chosen.
  values.ChannelOffset = ChannelOffsetOf(rec.Mode);
  // Files written elsewhere come from the notebook unit, except in the modes
  // only the Quorimeter records.
  values.EquipmentIndex = HasSignature(rec.FileHeader) ? 0 : 1;
  if (values.CurrentMode < Dodida && values.EquipmentIndex > 0) values.EquipmentIndex = 0;

  if (rec.Mode != previousMode || n != rec.RecordLength) rec.FreeChannels();
  rec.RecordLength = static_cast<std::uint16_t>(n);
  ReadRecordingSamples(rec, settings, request.file);
  return n;
}

}  // namespace kalvex
