#include "BenchRecording.h"

#include <cmath>
#include <numbers>

#include "recordings/DerivedValues.h"

namespace kalvex::bench {

BenchRecording::BenchRecording(int mode) {
  rec.Mode = static_cast<std::uint8_t>(mode);
  rec.SampleRate = 500;
  rec.SweepLength = 65035;
  rec.RecordLength = 65535;
  rec.SweepSeconds = 130;
  rec.HoldDownWeight = 20000;
  rec.ReactionMassWeight = 4000;
  rec.BaseplateWeight = 1800;
  rec.MassAccSensitivity = rec.BaseplateAccSensitivity = 100;
  values.SampleRateIndex = 0;
  values.ChannelOffset = mode == Dodida ? 2 : 0;
  const double seconds = rec.SweepLength / 500.0;
  for (int slot = 0; slot < ChannelCount(mode); ++slot) {
    rec.Channels[slot] = std::make_unique<SampleArray>();
    auto& s = rec.Channels[slot]->Samples;
    s.assign(rec.RecordLength, 0);
    for (int i = 0; i < rec.SweepLength; ++i) {
      double t = i / 500.0;
      double phase = 2 * std::numbers::pi * (2 * t + 78 * t * t / (2 * seconds)) - slot * 0.3;
      s[i] = static_cast<std::int16_t>(20000 * std::sin(phase) + 600 * std::sin(2 * phase));
    }
    ScanRange(*rec.Channels[slot], rec.SweepLength);
  }
  rec.DerivedChannel = std::make_unique<ValueArray>();
  rec.DerivedChannel->Values.assign(rec.RecordLength, 0.0);
  ComputeDerivedChannel(rec, settings);
  ComputeAmplitudeNorm(rec, values.SampleRateIndex);
}

}  // namespace kalvex::bench
