#pragma once
// A recording made in memory for the analyses: mode, sample rate and sweep
// chosen, every channel of the mode silent until it is given samples, with
// the settings and process values the analyses read. Weights: hold-down
// 20000 kg, baseplate 2000 kg, reaction mass 4000 kg; accelerometers
// 100 mV/g; amplitude normalisation 1.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "analysis/AnalysisContext.h"
#include "graphs/TGrWin.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"

namespace kalvex::test {

using Signal = std::function<double(int sample)>;

// A sine of `amplitude` counts centred on bin `bin` of a `length`-point
// transform, starting at `degrees`.
inline Signal Tone(double amplitude, double bin, int length, double degrees = 0) {
  return [=](int j) {
    return amplitude *
           std::sin(2 * std::numbers::pi * bin * j / length + degrees * std::numbers::pi / 180);
  };
}

inline Signal Sum(Signal a, Signal b) {
  return [=](int j) { return a(j) + b(j); };
}

// One sample of `value` at each of `at`, silence elsewhere.
inline Signal Impulses(std::vector<int> at, double value) {
  return [=](int j) { return std::find(at.begin(), at.end(), j) != at.end() ? value : 0.0; };
}

struct SignalRecording {
  SignalRecording(int mode, int sampleRate, int sweepLength, int sweepSeconds = 1) {
    rec.Mode = static_cast<std::uint8_t>(mode);
    rec.RecordLength = rec.SweepLength = static_cast<std::uint16_t>(sweepLength);
    rec.SampleRate = static_cast<std::uint16_t>(sampleRate);
    rec.SweepSeconds = static_cast<std::uint16_t>(sweepSeconds);
    rec.HoldDownWeight = 20000;
    rec.BaseplateWeight = 2000;
    rec.ReactionMassWeight = 4000;
    rec.BaseplateAccSensitivity = rec.MassAccSensitivity = 100;
    rec.AmplitudeNorm = 1;
    values.ChannelOffset = mode == Dodida ? 2 : 0;
    values.CurrentMode = mode;
    for (int i = 0; i < 6; ++i) {
      rec.SimilarityChannels[i].Name = i == 0 ? "REF" : "CH" + std::to_string(i);
      rec.SimilarityChannels[i].Present = i == 0;
    }
    for (int slot = 0; slot < ChannelCount(mode); ++slot) Set(slot, [](int) { return 0.0; });
  }

  // The channel's samples over the sweep: the signal rounded to counts.
  void Set(int slot, const Signal& signal) {
    auto block = std::make_unique<SampleArray>();
    block->Samples.resize(rec.SweepLength);
    for (int j = 0; j < rec.SweepLength; ++j)
      block->Samples[j] =
          static_cast<std::int16_t>(std::clamp(std::lround(signal(j)), -32768L, 32767L));
    ScanRange(*block, rec.SweepLength);
    rec.Channels[slot] = std::move(block);
  }

  // The derived channel holding the signal itself.
  void SetDerived(const Signal& signal) {
    rec.DerivedChannel = std::make_unique<ValueArray>();
    rec.DerivedChannel->Values.resize(rec.SweepLength);
    for (int j = 0; j < rec.SweepLength; ++j) rec.DerivedChannel->Values[j] = signal(j);
    ScanValueRange(*rec.DerivedChannel, rec.SweepLength);
  }

  // The channel as the transforms see it with correction factor 1.
  std::vector<double> Raw(int slot) const {
    const auto& s = rec.Channels[slot]->Samples;
    return {s.begin(), s.end()};
  }

  AnalysisContext Context() { return {rec, settings, values}; }

  TFrmFile rec;
  ProgramSettings settings;
  ProcessValues values;
};

// A window of the type made for the recording's mode, without curves.
inline std::unique_ptr<TGrWin> MakeWindow(int type, const TFrmFile& rec) {
  auto w = std::make_unique<TGrWin>();
  w->Type = static_cast<std::uint8_t>(type);
  w->RecordingMode = rec.Mode;
  return w;
}

}  // namespace kalvex::test
