// libFuzzer target: the SEG-Y import path. Any bytes are either refused with
// a reason or give traces of one length with finite samples; those traces,
// mapped as an import starts (own channel numbers, names, order), either are
// refused without touching the recording or fill every channel of the mode
// to the file's length with a sweep inside the record.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "segy/SegyCodec.h"
#include "segy/SegyImport.h"
#include "shell/ProgramSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kalvex;
  SegyImage image;
  if (auto refusal = DecodeSegy({data, size}, image)) {
    if (refusal->empty()) std::abort();
    return 0;
  }
  if (image.traces.empty()) std::abort();
  const std::size_t n = image.traces[0].values.size();
  for (const SegyTrace& t : image.traces) {
    if (t.values.size() != n || n == 0 || n > 65535) std::abort();
    for (float v : t.values)
      if (!std::isfinite(v)) std::abort();
  }
  TFrmFile rec;
  PrepareStartupRecording(rec);
  rec.Mode = static_cast<std::uint8_t>(size % 5);
  ProgramSettings settings;
  ProcessValues values;
  SegyImportChoices choices;
  choices.channels = DefaultTraceAssignment(image, rec.Mode);
  choices.scales[0] = 1e30;  // beyond any full scale: clipped, never wrapped
  int rateIndex = -1;
  const SegyImportResult result = ImportSegy(image, choices, {rec, settings, values}, rateIndex);
  if (result.refusal) {
    if (rec.Channels[0] || rateIndex != -1) std::abort();
    return 0;
  }
  if (rateIndex < 0 || rateIndex > 4 || rec.RecordLength != n || rec.SweepLength > n) std::abort();
  for (int slot = 0; slot < ChannelCount(rec.Mode); ++slot)
    if (!rec.Channels[slot] || rec.Channels[slot]->Samples.size() != n) std::abort();
  return 0;
}
