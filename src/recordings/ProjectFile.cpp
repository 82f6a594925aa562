#include "recordings/ProjectFile.h"

#include "acquisition/CommandBlock.h"
#include "acquisition/EquipmentCommand.h"
#include "analysis/AnalysisContext.h"
#include "graphs/GraphForm.h"
#include "graphs/GraphSetup.h"
#include "graphs/GraphTypeSetup.h"
#include "graphs/TAllWindows.h"
#include "recordings/DerivedValues.h"
#include "recordings/FileStore.h"
#include "recordings/ProcessValues.h"
#include "recordings/TestParameters.h"
#include "shell/ProgramSettings.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

ProjectWindowExtras ExtrasOf(const ProjectState& state, const TGrWin& w, const ProjectRect& rect) {
  ProjectWindowExtras x;
  x.Rect = rect;
  // An accumulating window comes back with one curve: its newest recording.
  x.CurveCount = w.Accumulating ? 1 : w.CurveCount;
  x.FundamentalInputSize = static_cast<std::int32_t>(state.settings.InputSize);
  x.PolarityPositive = state.rec.PolarityPositive;
  x.Calibration = state.settings.ChannelCalibration;
  return x;
}

ProjectWindowBytes WindowRecordOf(const TGrWin& w, const ProjectWindowExtras& x) {
  if (!w.Accumulating || w.SelectedCurve <= 0) return EncodeWindowRecord(w, x);
  // The selected curve must be one of the curves that come back.
  TGrWin kept = w;
  kept.SelectedCurve = 0;
  return EncodeWindowRecord(kept, x);
}

// A restored interval spectrum window is fed by the first signal traces
// window that shows one; without it, no traces window asks for one.
void LinkIntervalSpectrum(TAllWindows& windows) {
  TGrWin* spectrum = windows.IntervalSpectrumWindow();
  for (int i = 0; i < windows.Count(); ++i) {
    TGrWin& w = windows.Window(i);
    if (w.Type != SignalTraces || !w.IntervalSpectrumOn) continue;
    if (!spectrum)
      w.IntervalSpectrumOn = false;
    else if (!spectrum->SourceWindow)
      spectrum->SourceWindow = &w;
  }
}

// The main record of the current state (W = the number of graph windows).
ProjectMain CaptureMainRecord(const ProjectState& state, const ProjectRect& mainWindow) {
  const TFrmFile& rec = state.rec;
  ProjectMain m;
  m.EquipmentIndex = static_cast<std::int16_t>(state.values.EquipmentIndex);
  m.Mode = rec.Mode;
  m.BaudIndex = static_cast<std::int16_t>(state.values.BaudIndex);
  m.PortNumber = static_cast<std::int16_t>(state.values.PortNumber);
  m.TriggerChannelIndex = static_cast<std::int16_t>(state.choices.TriggerChannelIndex);
  m.TriggerEdgeIndex = static_cast<std::int16_t>(state.choices.TriggerEdgeIndex);
  m.SampleRateIndex = static_cast<std::int16_t>(state.values.SampleRateIndex);
  m.SweepSeconds = static_cast<std::int16_t>(rec.SweepSeconds);
  m.SimilarityChannels = rec.SimilarityChannels;
  CopyTestParameters(m, rec);
  m.Name = rec.Name;
  m.WindowCount = state.windows.Count();
  m.MainWindow = mainWindow;
  return m;
}

// Equipment, mode (and the channel offset that goes with it), port,
// parameters with the lengths they give, the recording's name, the
// parameters-set marker, the title and the main window's place.
void RestoreMainRecord(const ProjectMain& m, const ProjectState& state, ProjectWindowHost& host) {
  TFrmFile& rec = state.rec;
  ProcessValues& values = state.values;
  values.EquipmentIndex = m.EquipmentIndex;
  rec.Mode = static_cast<std::uint8_t>(m.Mode);
  values.CurrentMode = m.Mode;
  values.ChannelOffset = ChannelOffsetOf(m.Mode);
  values.BaudIndex = m.BaudIndex;
  values.PortNumber = m.PortNumber;
  host.SetMainWindowTitle(MainWindowTitle(values));
  host.SetMainWindowRect(m.MainWindow);
  rec.SimilarityChannels = m.SimilarityChannels;
  if (rec.SimilarityChannels[0].Name.empty()) {
    rec.SimilarityChannels[0].Present = true;
    rec.SimilarityChannels[0].Name = "REF";
  }
  rec.SweepSeconds = static_cast<std::uint16_t>(m.SweepSeconds);
  CopyTestParameters(rec, m);
  rec.Name = m.Name;
  state.choices.TriggerChannelIndex = m.TriggerChannelIndex;
  state.choices.TriggerEdgeIndex = m.TriggerEdgeIndex;
  values.SampleRateIndex = m.SampleRateIndex;
  // The main record was checked: the record fits its 16-bit length.
  SetRecordLengths(rec, m.SampleRateIndex);
  state.block.MarkParametersSet();
}

}  // namespace

bool ProjectFile::ReadProjectFile() {
  contents_ = {};
  if (!store_.Exists(path_)) return false;
  const StoredFile file = store_.Read(path_, MaxProjectFileSize);
  if (!file.ok()) return false;
  contents_ = ReadProjectBytes(file.bytes);
  if (!contents_.Refusal.empty()) {
    contents_ = {};
    return false;
  }
  RestoreMainRecord(contents_.Main, state_, host_);
  return true;
}

void ProjectFile::RestoreProjectWindows() {
  for (const ProjectWindow& record : contents_.Windows) RestoreWindow(record);
  LinkIntervalSpectrum(state_.windows);
  state_.windows.RefreshAll(state_.rec);
  contents_ = {};
}

void ProjectFile::RestoreWindow(const ProjectWindow& record) {
  TFrmFile& rec = state_.rec;
  TGrWin& w = state_.windows.CreateWindow(rec);
  ProjectWindowExtras x;
  DecodeWindowRecord(record.Record, w, x);
  host_.SetFormRect(w, x.Rect);
  rec.PolarityPositive = x.PolarityPositive;
  state_.settings.InputSize = static_cast<FundamentalInputSize>(x.FundamentalInputSize);
  state_.settings.ChannelCalibration = x.Calibration;
  // The type builds the empty graph: its x scale from the restored
  // parameters, the displayed range and time row kept where they fit.
  ScaleWindow({rec, state_.settings, state_.values}, w);
  if (w.TimePoint >= w.WaterfallRows) w.TimePoint = -1;
  ClampDisplayedRange(w);
  if (w.Form) {
    w.Form->UpdateScrollBar();
    if (w.Type == IntervalSpectrum) w.Form->HideIntervalSpectrumTools();
  }
  RefreshTypeTools(w);
}

void ProjectFile::WriteProjectFile(UserInteraction& ui) {
  std::vector<std::uint8_t> bytes =
      EncodeMainRecord(CaptureMainRecord(state_, host_.MainWindowRect()));
  for (int i = 0; i < state_.windows.Count(); ++i) {
    const TGrWin& w = state_.windows.Window(i);
    const ProjectWindowBytes record = WindowRecordOf(w, ExtrasOf(state_, w, host_.FormRect(w)));
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  const std::string reason = store_.SaveAtomically(path_, bytes);
  if (!reason.empty()) ui.ShowError(FormatText(TextId::CannotCreateFile, {path_, reason}));
}

}  // namespace kalvex
