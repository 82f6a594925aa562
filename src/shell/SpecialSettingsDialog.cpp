#include "shell/SpecialSettingsDialog.h"

#include <string>

#include "recordings/FormatNumber.h"
#include "shell/DecimalText.h"
#include "shell/SettingsStore.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

// The time-outs are written under these spellings; the store matches names
// without regard to case, so LoadSettings finds them as "Timeout1/2".
constexpr const char* kTimeout1Written = "TimeOut1";
constexpr const char* kTimeout2Written = "TimeOut2";

// The bounds are compared as 64-bit floats: widened to extended precision,
// the 64-bit 0.8999 lies just above the extended 0.8999 and would pass.
bool ParseCoefficient(std::string_view text, double& value) {
  double parsed = 0;
  if (!ParseDecimalText(text, parsed) || !CalibrationInRange(parsed)) return false;
  value = parsed;
  return true;
}

bool ParseFrameLength(const std::string& text, int& value) {
  return ParseStoredInteger(text, value) && FrameLengthValid(value);
}

}  // namespace

SpecialSettings SpecialSettings::Of(const ProgramSettings& settings) {
  SpecialSettings s;
  s.Timeout1 = settings.Timeout1;
  s.Timeout2 = settings.Timeout2;
  s.AmplitudeFrame = settings.AmplitudeFrame;
  s.AmplitudeStep = settings.AmplitudeStep;
  s.InputSize = settings.InputSize;
  s.ChannelCalibration = settings.ChannelCalibration;
  return s;
}

void SpecialSettings::StoreIn(ProgramSettings& settings) const {
  settings.Timeout1 = Timeout1;
  settings.Timeout2 = Timeout2;
  settings.AmplitudeFrame = AmplitudeFrame;
  settings.AmplitudeStep = AmplitudeStep;
  settings.InputSize = InputSize;
  settings.ChannelCalibration = ChannelCalibration;
}

bool SpecialSettings::AnalysisDiffers(const SpecialSettings& other) const {
  return AmplitudeFrame != other.AmplitudeFrame || AmplitudeStep != other.AmplitudeStep ||
         InputSize != other.InputSize || ChannelCalibration != other.ChannelCalibration;
}

SpecialSettingsDialog::SpecialSettingsDialog(const ProgramSettings& settings)
    : Timeout1(std::to_string(settings.Timeout1)),
      Timeout2(std::to_string(settings.Timeout2)),
      AmplitudeFrame(std::to_string(settings.AmplitudeFrame)),
      AmplitudeStep(std::to_string(settings.AmplitudeStep)),
      InputSize(settings.InputSize) {
  for (std::size_t k = 0; k < ChannelCalibration.size(); ++k)
    ChannelCalibration[k] = FormatNumber(settings.ChannelCalibration[k], CalibrationDecimals);
}

bool SpecialSettingsDialog::CalibrationAccepted(std::string_view text) {
  double value = 0;
  return ParseCoefficient(text, value);
}

bool SpecialSettingsDialog::LeaveFirstChannel(UserInteraction& ui) const {
  if (CalibrationAccepted(ChannelCalibration[0])) return true;
  ui.ShowError(Text(TextId::CalibrationOutOfRange));
  return false;
}

std::optional<int> SpecialSettingsDialog::RefusedChannelOnYes(UserInteraction& ui) const {
  for (std::size_t k = 0; k < ChannelCalibration.size(); ++k) {
    if (CalibrationAccepted(ChannelCalibration[k])) continue;
    ui.ShowError(Text(TextId::CalibrationOutOfRange));
    return static_cast<int>(k);
  }
  return std::nullopt;
}

std::optional<SpecialSettings> SpecialSettingsDialog::Accept(SettingsStore& store) const {
  SpecialSettings s;
  for (std::size_t k = 0; k < ChannelCalibration.size(); ++k)
    if (!ParseCoefficient(ChannelCalibration[k], s.ChannelCalibration[k])) return std::nullopt;
  // A frame or step of 0 or less would leave every frame analysis empty (and
  // be kept in the store): refused like a text that is no integer.
  if (!ParseFrameLength(AmplitudeFrame, s.AmplitudeFrame) ||
      !ParseFrameLength(AmplitudeStep, s.AmplitudeStep))
    return std::nullopt;
  if (!ParseStoredInteger(Timeout1, s.Timeout1)) s.Timeout1 = 0;
  if (!ParseStoredInteger(Timeout2, s.Timeout2)) s.Timeout2 = 0;
  s.InputSize = InputSize;

  store.Write(settings_names::AmplitudeFrame, std::to_string(s.AmplitudeFrame));
  store.Write(settings_names::AmplitudeStep, std::to_string(s.AmplitudeStep));
  store.Write(kTimeout1Written, std::to_string(s.Timeout1));
  store.Write(kTimeout2Written, std::to_string(s.Timeout2));
  return s;
}

}  // namespace kalvex
