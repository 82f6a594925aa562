#pragma once
// Accumulation (group) mode of a graph window: the window keeps the curves of
// successive recordings, newest first as curve 0, each tied to the snapshot
// of its recording in the set of open recordings. These are the window-side
// operations without any form: switching on and off, taking a new recording,
// and dropping the accumulated curves. The values of a new curve come from
// the analyses, through the caller's callback.
// Used on the user-interface thread.

#include <functional>
#include <string>
#include <string_view>

namespace kalvex {

class TAllWindows;
class TFrmFile;
class TGrWin;
class TNFile;
class TNFiles;
struct CurveSlot;

// The colour of the first group member when accumulation starts.
inline constexpr int FirstGroupColour = 0x0000FF;

// Releases a snapshot that a curve stops using.
using SnapshotRelease = std::function<void(TNFile&)>;
// Fills curve 0 of an accumulating window with the values of the current
// recording (the analysis of the window's type, first curve only).
using ComputeNewestCurve = std::function<void(TGrWin&)>;
// The name a window gives its curve outside accumulation.
using OwnCurveName = std::function<std::string(const TGrWin&)>;

// The window can start accumulating: it shows exactly one curve and is
// neither a Distortion nor an interval spectrum window.
bool CanAccumulate(const TGrWin& window);

// Switches accumulation on: curve 0 becomes the first group member, tied to
// the snapshot of the current recording and drawn in FirstGroupColour. The
// colour and name curve 0 had are kept as the window's default colour and
// group caption. False (nothing changed) when the window is already
// accumulating or cannot accumulate.
bool SwitchAccumulationOn(TGrWin& window, TNFiles& files, const TFrmFile& recording);

// Switches accumulation off: only curve 0 stays, under `ownName` and in the
// default colour, and it is selected. Every snapshot the window used is
// released, curve 0's too: outside accumulation a curve belongs to no group.
// False when the window was not accumulating.
bool SwitchAccumulationOff(TGrWin& window, TNFiles& files, std::string_view ownName);

// An accumulating window takes the recording of `snapshot` as its new curve 0:
// older curves move down one slot, the oldest is dropped (with its snapshot)
// when eight are held, `compute` fills curve 0, and the two newest curves get
// their group colours. The new curve starts as a copy of the previous curve 0
// (name and scaling) without its values. False (nothing changed) when the
// window does not accumulate.
bool InsertRecording(TGrWin& window, TNFiles& files, TNFile& snapshot,
                     const ComputeNewestCurve& compute);

// A new current recording while windows accumulate: one snapshot of it, taken
// by every accumulating window as its new curve 0. nullptr (no snapshot made)
// when no window accumulates.
TNFile* AccumulateRecording(TAllWindows& windows, TNFiles& files, const TFrmFile& recording,
                            const ComputeNewestCurve& compute);

// The window keeps only curve 0 (selected, in the default colour and, when
// `ownName` is given, under that name), releasing the snapshots of the others;
// it stays accumulating and curve 0 keeps its snapshot. Shared by switching
// off and by "Удалить накопл." (TAllWindows::DeleteAccumulated).
void KeepNewestCurve(TGrWin& window, const SnapshotRelease& release, const std::string* ownName);

// The window drops every curve, releasing their snapshots, and leaves
// accumulation; its type and choices stay. For a recording that no group can
// take (another mode or length).
void DropCurvesAndGroup(TGrWin& window, TNFiles& files);

// Frees a curve's values and description and releases its snapshot.
void ReleaseCurve(CurveSlot& curve, const SnapshotRelease& release);

}  // namespace kalvex
