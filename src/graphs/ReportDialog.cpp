#include "graphs/ReportDialog.h"

#include "recordings/RecordingModes.h"

namespace kalvex {

ReportDialog::ReportDialog(int recordingMode, bool colour)
    : fields{{{"Edit3", TextId::ReportVibNumber, 6, false, recordingMode != Similarity, {}},
              {"EditDig5", TextId::ReportDriveLevel, 3, true, true, {}},
              {"EditDig1", TextId::ReportStartHz, 3, true, true, {}},
              {"EditDig2", TextId::ReportEndHz, 3, true, true, {}},
              {"EditDig3", TextId::ReportDuration, 2, true, true, {}},
              {"Edit1", TextId::ReportSignalType, 6, false, true, {}},
              {"Edit2", TextId::ReportParameter, 5, false, true, {}}}},
      colour(colour) {}

TEditDigOptions ReportDialog::NumericOptions() {
  TEditDigOptions options;
  options.SetZnak(false);
  options.SetInteg(true);
  options.SetMayBeNul(true);
  return options;
}

ReportValues ReportDialog::Values() const {
  ReportValues v;
  v.VibNumber = fields[VibNumber].enabled ? fields[VibNumber].text : std::string();
  v.DriveLevel = fields[DriveLevel].text;
  v.StartHz = fields[StartHz].text;
  v.EndHz = fields[EndHz].text;
  v.Duration = fields[Duration].text;
  v.SignalType = fields[SignalType].text;
  v.Parameter = fields[Parameter].text;
  v.Colour = colour;
  v.Landscape = landscape;
  return v;
}

}  // namespace kalvex
