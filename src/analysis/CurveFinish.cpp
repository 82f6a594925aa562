#include "analysis/CurveFinish.h"

#include "graphs/Palette.h"
#include "graphs/TGrWin.h"
#include "recordings/Cp1251.h"
#include "recordings/TFrmFile.h"

namespace kalvex {

std::string CurveName(const TFrmFile& rec, const TGrWin& window, int channel) {
  return Utf8Prefix(rec.ChannelName(window.RecordingMode, channel), CurveNameMaxChars);
}

int ChannelColour(const TGrWin& window, int channel) {
  return CurveColour(window.Type, window.RecordingMode, channel);
}

void ScanCurve(CurveSlot& curve) {
  if (!curve.Values) return;
  ScanValueRange(*curve.Values, -1);
  curve.Min = curve.Values->Min;
  curve.Max = curve.Values->Max;
}

bool SkipComputed(CurveSlot& curve, bool skipComputed) {
  if (!skipComputed || curve.Computed < 0) return false;
  curve.Computed = -1;
  return true;
}

void LabelCurve(CurveSlot& curve, const TFrmFile& rec, const TGrWin& window, int channel) {
  curve.Name = CurveName(rec, window, channel);
  curve.Colour = ChannelColour(window, channel);
  curve.Scale = 0;
}

}  // namespace kalvex
