#pragma once
// The process-wide settings record: the operator's choices that the analyses,
// the acquisition and the graph windows read. Created with its defaults before
// anything else runs.

#include <array>
#include <string>

namespace kalvex {

class SettingsStore;

// Size of the input array of the fundamental-amplitude analysis.
enum class FundamentalInputSize : int {
  NearestPowerOfTwo = 0,  // "Ближ.  2^N"
  Fixed32768 = 1,         // "32768"
  WholeSignal = 2,        // "=Сигналу"
};

// "nearest", "32768", "signal": the command line's names of the choices.
const char* InputSizeName(FundamentalInputSize size);

struct ProgramSettings {
  int MinSpectrum = -40;           // dB floor of spectrum graphs
  int MinCorrelation = -90;        // dB floor of correlation graphs
  int AmplitudeFrame = 512;        // frame length of the fundamental analysis, samples
  int AmplitudeStep = 100;         // step between frames, samples
  int Timeout1 = 2;                // wait for the record header, s; 0 = no time-out
  int Timeout2 = 60;               // wait for the record data, s; 0 = no time-out
  bool NoSaveConfirmation = true;  // replace unsaved data without asking
  FundamentalInputSize InputSize = FundamentalInputSize::NearestPowerOfTwo;
  std::array<double, 6> ChannelCalibration{1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
  std::string Language = "RUS";
};

// A channel calibration coefficient is accepted strictly between 0.8999 and
// 1.1001, both taken as 64-bit floats like the value (a typed "0.8999" is the
// bound itself and is refused).
inline bool CalibrationInRange(double value) {
  return value > 0.8999 && value < 1.1001;
}

// The frame and the step of the frame analyses are positive sample counts: 0
// or less would leave every frame analysis empty (and the RMS amplitude NaN).
inline bool FrameLengthValid(int samples) {
  return samples > 0;
}

// Names of the stored values (matched without regard to case by the store).
namespace settings_names {
inline constexpr const char* MinSpectrum = "minSpectrum";
inline constexpr const char* MinCorrelation = "minCorrelation";
inline constexpr const char* AmplitudeFrame = "AmplitudeFrame";
inline constexpr const char* AmplitudeStep = "AmplitudeStep";
inline constexpr const char* Timeout1 = "Timeout1";
inline constexpr const char* Timeout2 = "Timeout2";
inline constexpr const char* Confirm = "Confirm";
inline constexpr const char* Language = "Language";
}  // namespace settings_names

// Reads the stored values over the defaults. A missing key leaves every field
// as it is; a missing or malformed value, or a frame or step that is not
// positive, gives that one field its default.
// The calibration and the input size are not stored here (they travel in the
// project file).
void LoadSettings(ProgramSettings& settings, const SettingsStore& store);

// Decimal integer as the settings store holds it: optional sign, digits, within
// 32 bits. Anything else is not an integer.
bool ParseStoredInteger(const std::string& text, int& value);

}  // namespace kalvex
