#pragma once
// The "Печатный отчет" dialog without its widgets: the values the report
// needs that the recording does not hold, as typed, and the colour choice
// that is remembered while the program runs.

#include <array>
#include <memory>
#include <string>

#include "shell/NumericKeyFilter.h"
#include "shell/TextCatalogue.h"

namespace kalvex {

struct QcOutcome;

// What the dialog hands to the report page. Texts exactly as typed; the
// numeric ones may be empty.
struct ReportValues {
  std::string VibNumber;                                        // after "№" on the vibrator line
  std::string DriveLevel;                                       // percent
  std::string StartHz, EndHz, Duration, SignalType, Parameter;  // the sweep line
  bool Colour = true;
  bool Landscape = false;  // the page of a PDF report
  // The QC verdict printed in the header; none: the page as it always was.
  std::shared_ptr<const QcOutcome> Qc;
};

class ReportDialog {
 public:
  static constexpr int HelpTopic = 130;

  enum FieldId { VibNumber, DriveLevel, StartHz, EndHz, Duration, SignalType, Parameter, Count };

  struct Field {
    const char* name;  // the component's name, e.g. "EditDig5"
    TextId label;
    int maxLength;
    bool numeric;  // an unsigned integer field (TEditDig); else free text
    bool enabled;
    std::string text;
  };

  // The text fields start empty; the colours start from the choice kept for
  // the run. The vibrator number is not asked in the "Similarity" mode.
  ReportDialog(int recordingMode, bool colour);

  std::array<Field, Count> fields;
  bool colour;
  bool landscape = false;

  // The entry rules of the numeric fields: unsigned integers, may be empty.
  static TEditDigOptions NumericOptions();
  // The values as the report takes them.
  ReportValues Values() const;
};

}  // namespace kalvex
