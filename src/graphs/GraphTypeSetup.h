#pragma once
// Setting a graph window's type through its dialog, recomputing every window
// when a new recording arrives, and feeding the interval spectrum window from
// its signal traces window.

#include <functional>

#include "analysis/AnalysisContext.h"

namespace kalvex {

class GraphTypeDialogs;
class TAllWindows;
class TGrWin;
class TNFiles;
class UserInteraction;

class GraphTypeSetup {
 public:
  GraphTypeSetup(TAllWindows& windows, AnalysisContext ctx, UserInteraction& ui,
                 GraphTypeDialogs& dialogs)
      : windows_(windows), ctx_(ctx), ui_(ui), dialogs_(dialogs) {}

  // How an accumulating window leaves accumulation (keeping curve 0).
  void SetLeaveAccumulation(std::function<void(TGrWin&)> leave) { leave_ = std::move(leave); }

  // The "Графики" menu item with this tag, for the active window: sets the
  // type, refreshes the caption and repaints.
  void SetTypeFromMenu(int tag);

  // Sets the type through its dialog (code 0: no type). Cancel, a refused
  // choice or a window without recording changes nothing.
  void SetType(TGrWin& window, int code);

  // A new current recording: every window that does not accumulate is
  // recomputed, keeping its type, choices and vertical scaling.
  void RecomputeAll();

  // Recomputes the interval spectrum window from `traces` (its selected curve
  // and displayed range), when the traces window feeds one.
  void FeedIntervalSpectrum(TGrWin& traces);

 private:
  void Apply(TGrWin& window, TGrWin& proposal, int code, bool sameType);
  void OpenIntervalSpectrum(TGrWin& traces);
  void CloseOrphanedIntervalSpectrum();
  void FinishWindow(TGrWin& window);
  void LeaveAccumulation(TGrWin& window);
  // Leaves accumulation before a type is set on `window` from `proposal`.
  void LeaveAccumulation(TGrWin& window, TGrWin& proposal);

  TAllWindows& windows_;
  AnalysisContext ctx_;
  UserInteraction& ui_;
  GraphTypeDialogs& dialogs_;
  std::function<void(TGrWin&)> leave_;
};

// Every window that does not accumulate takes the current recording,
// keeping its type, choices and vertical scaling; interval spectra after
// their sources.
void RecomputeWindows(TAllWindows& windows, const AnalysisContext& ctx);

// Recomputes the interval spectrum window from `traces` (its selected curve
// and displayed range), when the traces window feeds one.
void FeedIntervalSpectrum(TAllWindows& windows, const AnalysisContext& ctx, TGrWin& traces);

// "Выставить во всех окнах одинаковый временной диапазон": the active window's
// range in every window of its kind; the interval spectrum is rerun when its
// source's range changed.
void SynchroniseRanges(TAllWindows& windows, const AnalysisContext& ctx);

// A new current recording while windows accumulate: one snapshot of it joins
// every accumulating window as its newest curve, and channel 0's frame table
// is made when missing. Nothing when no window accumulates.
void AccumulateCurrentRecording(TAllWindows& windows, TNFiles& files, const AnalysisContext& ctx);

// The form's type tools follow the window: the accumulation button, and the
// Distortion time-row buttons with their enabled state.
void RefreshTypeTools(TGrWin& window);

// The displayed range kept where possible and clamped to the full range.
void ClampDisplayedRange(TGrWin& window);

}  // namespace kalvex
