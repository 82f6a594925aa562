#pragma once
// What every analysis does to a curve once its values are in: the range
// scan, the channel's name and colour, the not-yet-scaled state.

#include <string>

namespace kalvex {

class TFrmFile;
class TGrWin;
struct CurveSlot;

// The channel's name in the window's mode, at most 15 characters.
std::string CurveName(const TFrmFile& rec, const TGrWin& window, int channel);

// The palette colour of the channel in this window.
int ChannelColour(const TGrWin& window, int channel);

// Scans the curve's values (their own count) into the curve's minimum and
// maximum.
void ScanCurve(CurveSlot& curve);

// With `skipComputed`, a curve whose computed marker is set keeps its values:
// the marker is reset and true returned (the caller skips the curve).
bool SkipComputed(CurveSlot& curve, bool skipComputed);

// Name, colour and scale 0 (automatic at the next drawing).
void LabelCurve(CurveSlot& curve, const TFrmFile& rec, const TGrWin& window, int channel);

}  // namespace kalvex
