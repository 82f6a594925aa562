#include "graphs/TAllWindows.h"

#include <algorithm>

#include "graphs/Captions.h"
#include "graphs/GraphForm.h"
#include "graphs/XRange.h"
#include "recordings/TFrmFile.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

constexpr int kReadoutTop = 4;
// The read-out line is as tall as this letter in the window's font.
constexpr std::string_view kReadoutSample = "R";

bool FeedsIntervalSpectrum(const TGrWin& w) {
  return w.Type == SignalTraces && w.IntervalSpectrumOn;
}

}  // namespace

int TAllWindows::IndexOf(const TGrWin* window) const {
  for (int i = 0; i < Count(); ++i)
    if (entries_[i].window.get() == window) return i;
  return -1;
}

void TAllWindows::SetActiveIndex(int index) {
  if (index >= 0 && index < Count()) active_ = index;
}

TGrWin* TAllWindows::IntervalSpectrumWindow() {
  for (Entry& e : entries_)
    if (e.window->Type == IntervalSpectrum) return e.window.get();
  return nullptr;
}

TGrWin& TAllWindows::AddWindow(const TFrmFile& recording, int readoutGap) {
  auto window = std::make_unique<TGrWin>();
  window->ReadoutTop = kReadoutTop;
  window->ReadoutBottom = host_.TextWidth(kReadoutSample) + kReadoutTop + readoutGap;
  // All windows show the same recording, so they share the mode of the first.
  window->RecordingMode = entries_.empty() ? recording.Mode : entries_[0].window->RecordingMode;
  entries_.push_back({std::move(window), Text(TextId::NewWindowCaption)});

  const int index = Count() - 1;
  TGrWin& w = *entries_[index].window;
  w.Form = host_.CreateForm(w);
  if (w.Form) {
    w.Form->SetTag(index);
    w.Form->SetCaption(entries_[index].caption);
  }
  active_ = index;
  return w;
}

TGrWin& TAllWindows::CreateWindow(const TFrmFile& recording) {
  TGrWin& w = AddWindow(recording, 2);
  ResetToNoType(w);
  w.SelectedCurve = -1;
  RefreshCaption(w, recording);
  return w;
}

TGrWin& TAllWindows::CreateFirstTraces(const TFrmFile& recording) {
  TGrWin& w = AddWindow(recording, 0);
  w.Type = SignalTraces;
  w.XPerUnit = recording.SampleRate;
  w.FullRange = {0, recording.SweepLength};
  w.DisplayedRange = w.FullRange;
  RefreshCaption(w, recording);
  return w;
}

std::unique_ptr<TGrWin> TAllWindows::CreatePrintWindow(int readoutTextWidth) {
  auto w = std::make_unique<TGrWin>();
  w->ReadoutTop = kReadoutTop;
  w->ReadoutBottom = readoutTextWidth + kReadoutTop + 2;
  return w;
}

void TAllWindows::ResetToNoType(TGrWin& window) {
  window.Accumulating = false;
  for (CurveSlot& c : window.Curves) ReleaseCurve(c, release_);
  window.DistortionMatrixView.reset();
  window.CurveCount = 0;
  window.Type = NoGraphType;
  window.DisplayedRange = {0, 0};
}

void TAllWindows::RemoveAt(int index) {
  TGrWin* gone = entries_[index].window.get();
  if (gone->Type == IntervalSpectrum)
    for (Entry& e : entries_)
      if (e.window->Type == SignalTraces) e.window->IntervalSpectrumOn = false;
  // No window may keep pointing at the one that goes.
  for (Entry& e : entries_)
    if (e.window->SourceWindow == gone) e.window->SourceWindow = nullptr;
  for (CurveSlot& c : gone->Curves) ReleaseCurve(c, release_);

  entries_.erase(entries_.begin() + index);
  for (int i = index; i < Count(); ++i)
    if (GraphForm* f = entries_[i].window->Form) f->SetTag(i);
  active_ = std::min(active_, Count() - 1);
}

void TAllWindows::CloseFromSet(int index) {
  TGrWin* w = entries_[index].window.get();
  if (GraphForm* form = w->Form) {
    // The form's close event reports tag -1, which no longer names a window.
    form->SetTag(-1);
    form->Close();
  }
  int now = IndexOf(w);
  if (now >= 0) RemoveAt(now);
}

void TAllWindows::CloseOrphanedIntervalSpectrum() {
  for (const Entry& e : entries_)
    if (FeedsIntervalSpectrum(*e.window)) return;
  while (TGrWin* spectrum = IntervalSpectrumWindow()) CloseFromSet(IndexOf(spectrum));
}

void TAllWindows::CloseWindow(int index) {
  if (index < 0 || index >= Count()) return;
  RemoveAt(index);
  CloseOrphanedIntervalSpectrum();
  RebuildWindowsMenu();
}

void TAllWindows::CloseAll() {
  while (!entries_.empty()) CloseFromSet(Count() - 1);
  RebuildWindowsMenu();
}

void TAllWindows::SetCaption(Entry& entry, const TFrmFile& recording) {
  entry.caption = WindowCaption(*entry.window, recording);
  if (GraphForm* f = entry.window->Form) f->SetCaption(entry.caption);
}

void TAllWindows::RebuildWindowsMenu() {
  std::vector<std::string> captions;
  captions.reserve(entries_.size());
  for (const Entry& e : entries_) captions.push_back(e.caption);
  host_.RebuildWindowsMenu(captions);
}

void TAllWindows::RefreshCaption(TGrWin& window, const TFrmFile& recording) {
  int index = IndexOf(&window);
  if (index < 0) return;
  SetCaption(entries_[index], recording);
  RebuildWindowsMenu();
}

void TAllWindows::RefreshAll(const TFrmFile& recording) {
  for (Entry& e : entries_) {
    SetCaption(e, recording);
    if (GraphForm* f = e.window->Form) f->Repaint();
  }
  RebuildWindowsMenu();
}

void TAllWindows::ClearAll() {
  for (Entry& e : entries_) {
    for (CurveSlot& c : e.window->Curves) c.Values.reset();
    e.window->DistortionMatrixView.reset();
    e.window->SelectedCurve = -1;
  }
}

void TAllWindows::DeleteAccumulated(const OwnCurveName& ownName) {
  for (Entry& e : entries_) {
    TGrWin& w = *e.window;
    // A window that does not accumulate holds one curve per chosen channel or
    // option, none of them accumulated: it keeps them all.
    if (!w.Accumulating) continue;
    if (ownName) {
      const std::string name = ownName(w);
      KeepNewestCurve(w, release_, &name);
    } else {
      KeepNewestCurve(w, release_, nullptr);
    }
  }
}

bool TAllWindows::AnyAccumulating() const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [](const Entry& e) { return e.window->Accumulating; });
}

bool TAllWindows::AnyAccumulatingSeveral() const {
  return std::any_of(entries_.begin(), entries_.end(), [](const Entry& e) {
    return e.window->Accumulating && e.window->CurveCount > 1;
  });
}

std::vector<TGrWin*> TAllWindows::SynchroniseRanges() {
  std::vector<TGrWin*> changed;
  if (Count() < 2 || active_ < 0) return changed;
  const TGrWin& from = *entries_[active_].window;
  if (from.Form) from.Form->CloseLabelEditor();
  const IndexRange shown = from.DisplayedRange;
  if (shown.Last <= shown.First || from.XPerUnit == 0) return changed;

  const double start = shown.First / from.XPerUnit;
  const double end = shown.Last / from.XPerUnit;
  const bool frequency = IsFrequencyDomain(from.Type);
  for (Entry& e : entries_) {
    TGrWin& w = *e.window;
    if (&w == &from || IsFrequencyDomain(w.Type) != frequency) continue;
    if (!SetXRange(w, start, end)) continue;
    changed.push_back(&w);
    if (w.Form) {
      w.Form->Repaint();
      w.Form->UpdateScrollBar();
    }
  }
  return changed;
}

GraphsMenuState TAllWindows::OpenGraphsMenu() {
  TGrWin* active = ActiveWindow();
  if (active && active->Form) active->Form->CloseLabelEditor();
  return GraphsMenuStateFor(active);
}

}  // namespace kalvex
