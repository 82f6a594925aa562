#include "ModelRecording.h"

#include <algorithm>

#include "acquisition/SyntheticSignal.h"
#include "recordings/DerivedValues.h"
#include "recordings/TFrmFile.h"
#include "shell/UserInteraction.h"

namespace kalvex::vibmodel {

bool GenerateModelRecord(TFrmFile& rec, const ProcessValues& values,
                         const ProgramSettings& settings, const LocalDateTime& now,
                         UserInteraction& ui, const Sweep& sweep, const Faults& faults,
                         std::uint64_t seed) {
  if (const std::string why = CheckFaults(faults, rec.Mode); !why.empty()) {
    ui.ShowError(why);
    return false;
  }
  // The synthetic record brings the checks, lengths, blocks and name; the
  // model then replaces its samples.
  if (!GenerateSyntheticRecord(rec, values, settings, now, ui)) return false;
  VibratorSetup setup;
  setup.mode = rec.Mode;
  setup.sampleRate = rec.SampleRate;
  setup.sweepLength = rec.SweepLength;
  setup.sweep = sweep;
  setup.holdDownKg = rec.HoldDownWeight;
  setup.reactionMassKg = rec.ReactionMassWeight;
  setup.baseplateKg = rec.BaseplateWeight;
  setup.massAccSensitivity = rec.MassAccSensitivity;
  setup.baseplateAccSensitivity = rec.BaseplateAccSensitivity;
  setup.testOut = rec.TestOut;
  for (int slot = 0; slot < 6; ++slot) {
    setup.present[slot] = rec.SimilarityChannels[slot].Present;
    setup.attenuated[slot] = rec.SimilarityChannels[slot].Attenuated;
  }
  setup.faults = faults;
  setup.seed = seed;
  const auto channels = VibratorChannels(setup);
  for (std::size_t c = 0; c < channels.size(); ++c) {
    SampleArray& block = *rec.Channels[c];
    std::copy(channels[c].begin(), channels[c].end(), block.Samples.begin());
    // Polarity "Positive" holds every channel but REF reversed against the
    // vibrator's own signals, as the unit's samples arrive; the report turns
    // them back when it draws, and the QC judges them as drawn. Similarity
    // is drawn as held, and holds them as they are.
    if (c > 0 && rec.PolarityPositive && rec.Mode != Similarity)
      NegateSamples(block, rec.SweepLength);
    ScanRange(block, rec.SweepLength);
  }
  ComputeDerivedChannel(rec, settings);
  return true;
}

}  // namespace kalvex::vibmodel
