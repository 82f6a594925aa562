#pragma once
// The "Специальные настройки" dialog without its widgets: the acquisition
// time-outs, the frame and step of the fundamental-amplitude analysis, the
// size of its input array and the calibration coefficients of channels 1..6,
// held as the widgets show them; the checks on the coefficients and what "Да"
// writes. What the program does with accepted values is ApplySpecialSettings
// (graphs/SpecialSettingsFollowUp.h), above the layers it recomputes.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "shell/ProgramSettings.h"

namespace kalvex {

class SettingsStore;
class UserInteraction;

// The part of the settings record this dialog edits.
struct SpecialSettings {
  int Timeout1 = 0;
  int Timeout2 = 0;
  int AmplitudeFrame = 0;
  int AmplitudeStep = 0;
  FundamentalInputSize InputSize = FundamentalInputSize::NearestPowerOfTwo;
  std::array<double, 6> ChannelCalibration{};

  static SpecialSettings Of(const ProgramSettings& settings);
  void StoreIn(ProgramSettings& settings) const;
  // Whether anything the analyses depend on differs: frame, step, input size
  // or a coefficient (the time-outs do not count).
  bool AnalysisDiffers(const SpecialSettings& other) const;
};

struct SpecialSettingsDialog {
  static constexpr int HelpTopic = 141;
  // A coefficient field: four decimals, at most six characters ("1.0500").
  static constexpr int CalibrationDecimals = 4;
  static constexpr int CalibrationMaxChars = 6;

  // Filled from the record; coefficients in fixed notation with four decimals.
  explicit SpecialSettingsDialog(const ProgramSettings& settings);

  std::string Timeout1;        // "Ожидание  заголовка (сек)"; may be empty or 0
  std::string Timeout2;        // "Ожидание  данных (сек)"; may be empty or 0
  std::string AmplitudeFrame;  // "Размер кадра (в отсчетах)"
  std::string AmplitudeStep;   // "Шаг (в отсчетах)"
  FundamentalInputSize InputSize;
  std::array<std::string, 6> ChannelCalibration;  // "Канал 1:" … "Канал 6:"

  // A coefficient is accepted when its text is a number strictly between
  // 0.8999 and 1.1001; an empty or unparsable text is not.
  static bool CalibrationAccepted(std::string_view text);

  // Leaving "Канал 1:": a value out of range shows the error box. True when
  // the value is accepted. The other channels have no check on leaving.
  bool LeaveFirstChannel(UserInteraction& ui) const;

  // "Да": channels 1..6 in order; the first value out of range shows the
  // error box once and gives that channel's index (0..5), and the dialog
  // stays open. Nothing when every coefficient is accepted.
  std::optional<int> RefusedChannelOnYes(UserInteraction& ui) const;

  // The dialog closed with "Да": the converted values, after "AmplitudeFrame",
  // "AmplitudeStep", "TimeOut1" and "TimeOut2" were written (a failing write
  // skips only its own value). Nothing, and nothing written, when the frame
  // or the step is not a positive integer or a coefficient is not accepted.
  // An unparsable time-out becomes 0 (no time-out). The record is not
  // changed here: ApplySpecialSettings does that.
  std::optional<SpecialSettings> Accept(SettingsStore& store) const;
};

}  // namespace kalvex
