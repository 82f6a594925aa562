#pragma once
// The window set: every graph window of the main frame window, the active one,
// and the "Окна" menu that lists them. A window's index in the set is also its
// form's tag; the set keeps the two equal. The set reads the current recording
// when it needs it (it is passed in) and never owns it.
// Used on the user-interface thread.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphs/Accumulation.h"
#include "graphs/GraphsMenu.h"
#include "graphs/TGrWin.h"
#include "graphs/WindowSetHost.h"

namespace kalvex {

class TFrmFile;
class TNFile;

class TAllWindows {
 public:
  explicit TAllWindows(WindowSetHost& host) : host_(host) {}
  TAllWindows(const TAllWindows&) = delete;
  TAllWindows& operator=(const TAllWindows&) = delete;

  // Called for the snapshot of every accumulated curve a window stops using
  // (DeleteAccumulated, closing a window, leaving accumulation), so that the
  // set of open recordings can drop its reference. Not called when the set
  // itself is destroyed: the snapshots may already be gone by then.
  void SetRecordingRelease(std::function<void(TNFile&)> release) { release_ = std::move(release); }

  int Count() const { return static_cast<int>(entries_.size()); }
  TGrWin& Window(int index) { return *entries_.at(index).window; }
  const TGrWin& Window(int index) const { return *entries_.at(index).window; }
  // The last caption given to the window (its "Окна" menu item).
  const std::string& Caption(int index) const { return entries_.at(index).caption; }
  // -1 when the window is not in the set.
  int IndexOf(const TGrWin* window) const;

  // -1 when the set is empty.
  int ActiveIndex() const { return active_; }
  TGrWin* ActiveWindow() { return active_ >= 0 ? entries_[active_].window.get() : nullptr; }
  // A form became the active child window; an index outside the set is ignored.
  void SetActiveIndex(int index);
  // The one interval spectrum window, if any.
  TGrWin* IntervalSpectrumWindow();

  // A new empty window ("Новое окно"): no type yet, made for the mode of
  // window 0 (of the recording when it is the first), and made active.
  TGrWin& CreateWindow(const TFrmFile& recording);
  // The first window for a recording that arrives while there is none: signal
  // traces over the whole sweep.
  TGrWin& CreateFirstTraces(const TFrmFile& recording);
  // A window without form for the printed report; it is not part of the set.
  // `readoutTextWidth` is the width of "R" on the printer canvas.
  static std::unique_ptr<TGrWin> CreatePrintWindow(int readoutTextWidth);

  // The form of window `index` was closed: removes the window. Closing the
  // interval spectrum window switches the interval spectrum off in every
  // signal traces window; an interval spectrum window that no signal traces
  // window feeds any more is closed too. Indices outside the set do nothing.
  void CloseWindow(int index);
  // Closes every window, last index first.
  void CloseAll();

  // Builds the window's caption, shows it on its form and rebuilds the "Окна"
  // menu.
  void RefreshCaption(TGrWin& window, const TFrmFile& recording);
  // Every window: caption and repaint.
  void RefreshAll(const TFrmFile& recording);

  // Every window: frees the values of all curves; no curve is selected.
  void ClearAll();
  // Every accumulating window keeps only its newest recording (curve 0),
  // selected, in its default colour and, when `ownName` is given, under the
  // name it gives its curve outside accumulation; the windows stay
  // accumulating. Other windows hold no accumulated curves and keep theirs.
  // The caller refreshes.
  void DeleteAccumulated(const OwnCurveName& ownName = {});
  bool AnyAccumulating() const;
  // Some accumulating window holds more than one recording.
  bool AnyAccumulatingSeveral() const;

  // Gives every other window of the active window's domain (time or
  // frequency) the active window's displayed interval, in axis units, where
  // that interval overlaps the window's full range.
  // Returns the windows whose range it set.
  std::vector<TGrWin*> SynchroniseRanges();

  // The "Графики" menu opens: closes the active window's label editor and
  // says which type items are enabled and checked.
  GraphsMenuState OpenGraphsMenu();

 private:
  struct Entry {
    std::unique_ptr<TGrWin> window;
    std::string caption;
  };

  // Adds a window with its form, made active; `readoutGap` is added below the
  // read-out line.
  TGrWin& AddWindow(const TFrmFile& recording, int readoutGap);
  // Back to no type: out of accumulation, no curves, displayed range 0..0.
  void ResetToNoType(TGrWin& window);
  // Removes window `index` without touching its form.
  void RemoveAt(int index);
  // Closes a window's form on the set's own initiative, then removes it.
  void CloseFromSet(int index);
  void CloseOrphanedIntervalSpectrum();
  void SetCaption(Entry& entry, const TFrmFile& recording);
  void RebuildWindowsMenu();

  WindowSetHost& host_;
  std::vector<Entry> entries_;
  int active_ = -1;
  std::function<void(TNFile&)> release_;
};

}  // namespace kalvex
