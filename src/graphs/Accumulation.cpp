#include "graphs/Accumulation.h"

#include <utility>

#include "graphs/Palette.h"
#include "graphs/TAllWindows.h"
#include "graphs/TGrWin.h"
#include "recordings/Cp1251.h"
#include "recordings/TNFiles.h"

namespace kalvex {
namespace {

SnapshotRelease ReleaseInto(TNFiles& files) {
  return [&files](TNFile& item) { files.ReleaseReference(item); };
}

// The newest curve keeps the colour the previous newest had; curve 1 moves on
// in the cycle past the colour of curve 2, so that consecutive recordings
// differ and, with eight curves, every curve has its own colour. A successor
// that would repeat curve 0's colour is passed over.
void GiveGroupColours(TGrWin& window) {
  if (window.CurveCount < 2) return;
  CurveSlot* c = window.Curves.data();
  c[0].Colour = c[1].Colour;
  if (window.CurveCount == 2) {
    c[1].Colour = NextAccumulationColour(c[1].Colour);
    return;
  }
  std::int32_t colour = NextAccumulationColour(c[2].Colour);
  if (colour == c[0].Colour) colour = NextAccumulationColour(colour);
  c[1].Colour = colour;
}

}  // namespace

void ReleaseCurve(CurveSlot& curve, const SnapshotRelease& release) {
  TNFile* snapshot = curve.Recording;
  curve.Clear();
  if (snapshot && release) release(*snapshot);
}

bool CanAccumulate(const TGrWin& window) {
  return window.CurveCount == 1 && window.Type != Distortion && window.Type != IntervalSpectrum;
}

bool SwitchAccumulationOn(TGrWin& window, TNFiles& files, const TFrmFile& recording) {
  if (window.Accumulating || !CanAccumulate(window)) return false;
  CurveSlot& first = window.Curves[0];
  // A curve outside accumulation holds no snapshot; one left behind must not
  // keep its snapshot alive once the curve belongs to the new group.
  if (first.Recording) {
    files.ReleaseReference(*first.Recording);
    first.Recording = nullptr;
  }
  TNFile& snapshot = files.EnsureGroupSnapshot(recording);
  files.AddReference(snapshot);
  first.Recording = &snapshot;
  window.DefaultColour = first.Colour;
  window.GroupCaption = first.Name;
  first.Colour = FirstGroupColour;
  window.Accumulating = true;
  return true;
}

bool SwitchAccumulationOff(TGrWin& window, TNFiles& files, std::string_view ownName) {
  if (!window.Accumulating) return false;
  const std::string name(ownName);
  KeepNewestCurve(window, ReleaseInto(files), &name);
  CurveSlot& first = window.Curves[0];
  if (first.Recording) {
    files.ReleaseReference(*first.Recording);
    first.Recording = nullptr;
  }
  window.Accumulating = false;
  return true;
}

bool InsertRecording(TGrWin& window, TNFiles& files, TNFile& snapshot,
                     const ComputeNewestCurve& compute) {
  if (!window.Accumulating) return false;
  if (window.CurveCount >= MaxCurves) {
    ReleaseCurve(window.Curves[MaxCurves - 1], ReleaseInto(files));
    window.CurveCount = MaxCurves - 1;
  }
  if (window.CurveCount < 0) window.CurveCount = 0;
  for (int i = window.CurveCount; i > 0; --i) window.Curves[i] = std::move(window.Curves[i - 1]);

  CurveSlot& newest = window.Curves[0];
  if (window.CurveCount > 0) {
    // The new recording is shown as the previous one was: same name and
    // scaling, but values of its own.
    newest = window.Curves[1];
    newest.Values.reset();
  } else {
    newest = CurveSlot();
    newest.Name = window.GroupCaption;
    newest.Colour = FirstGroupColour;
  }
  files.AddReference(snapshot);
  newest.Recording = &snapshot;
  ++window.CurveCount;

  if (compute) compute(window);
  // After the analysis, which may colour the curve by its channel.
  GiveGroupColours(window);
  return true;
}

TNFile* AccumulateRecording(TAllWindows& windows, TNFiles& files, const TFrmFile& recording,
                            const ComputeNewestCurve& compute) {
  if (!windows.AnyAccumulating()) return nullptr;
  TNFile& snapshot = files.AddSnapshot(recording);
  for (int i = 0; i < windows.Count(); ++i)
    InsertRecording(windows.Window(i), files, snapshot, compute);
  return &snapshot;
}

void KeepNewestCurve(TGrWin& window, const SnapshotRelease& release, const std::string* ownName) {
  for (int i = 1; i < MaxCurves; ++i) ReleaseCurve(window.Curves[i], release);
  if (window.CurveCount <= 0) return;
  window.CurveCount = 1;
  window.SelectedCurve = 0;
  CurveSlot& first = window.Curves[0];
  if (ownName) first.Name = Utf8Prefix(*ownName, CurveNameMaxChars);
  first.Colour = window.DefaultColour;
}

void DropCurvesAndGroup(TGrWin& window, TNFiles& files) {
  const SnapshotRelease release = ReleaseInto(files);
  for (CurveSlot& curve : window.Curves) ReleaseCurve(curve, release);
  window.DistortionMatrixView.reset();
  window.CurveCount = 0;
  window.SelectedCurve = -1;
  window.Accumulating = false;
}

}  // namespace kalvex
