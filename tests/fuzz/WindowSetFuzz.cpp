// libFuzzer target: the window set under the operator's window commands. The
// input is a sequence of commands on one current recording, one set of open
// recordings (TNFiles) and one window set (TAllWindows), wired as the desktop
// program wires them; after every command each window is drawn on a test
// canvas, with its caption and comments list, and the set is checked:
//   - every curve's snapshot is held by the set of open recordings;
//   - each snapshot's reference count equals the number of curve slots (all
//     eight of every window) that name it;
//   - the curves of a window that does not accumulate name no snapshot;
//   - no window refers to a window that has left the set (interval spectrum
//     source), the forms' tags equal the windows' indices, and there is at
//     most one interval spectrum window.
// A broken rule is reported on stderr with the commands that led to it, and
// the run aborts.
//
// Byte encoding (an input that ends early reads as zeros; at most MaxSteps
// commands run). Each command is an opcode byte (taken modulo 16) followed by
// its operands; the operands are read in full before the command runs, so an
// input means the same whatever state it meets.
//   0 Open       [file, answers]  "Открыть": file % 6 picks
//                velnarund, tarpokline, similarity, dodida, ombrel16 (the
//                bundled samples) or saved.qrm (exists once a save wrote it).
//   1 NewWindow  []               "Новое окно".
//   2 SetType    [tag, script, (field, value) * n]
//                "Графики" item tag % 16 (1..14 are the items; 1 traces,
//                2 amplitude, 5 spectrum...), for the active window, when the
//                menu is enabled and offers the item. The type's
//                dialog follows the script: n = script & 15 edits, then "Да"
//                (a refused "Да" cancels), or Cancel when script & 0x80.
//                Fields are numbered in dialog order: per group its radio
//                set (if any), its check boxes, its lists. An edit sets
//                field % count: a radio set to value % items; a check box
//                off for value 0, else on with unit (value - 1) % units; a
//                list to value % items.
//   3 Accumulate [window]         the accumulation button of window % count,
//                when enabled (it toggles).
//   4 Activate   [window]         window % count becomes the active one.
//   5 Close      [window]         the operator closes window % count.
//   6 Cascade    []               every window at its own size.
//   7 Tile       [size]           tiled over a client area of
//                (300 + 4 * size) x (200 + 3 * size) pixels.
//   8 SameRange  []               the same time range in all windows.
//   9 DeleteAccumulated []        "Удалить накопл." when enabled.
//  10 Parameters [rate, seconds, choices, answers]
//                "Параметры": empty fields (every field when choices & 0x40)
//                given plain values, sample interval rate % 5, seconds
//                1 + seconds % 4, polarity choices & 1 (1 = negative); in
//                Similarity bits 1..5 of choices switch channels 1..5 on;
//                then "Да".
//  11 Mode       [mode, answers]  "Режимы" with mode % 5 (Quorimeter).
//  12 Synthetic  [answers]        the synthetic test signal.
//  13 Comment    [answers]        "Комментарий" from the menu.
//  14 Repaint    [window]         window % count is drawn again.
//  15 Mouse      [x]              the mouse is at x = 3 * x on every plot.
// Answers: the questions a command asks take bits of its answers byte, lowest
// first: a yes/no question 1 bit (0 = yes); "Сохранить данные в памяти?" 2
// bits (0 no, 1 yes, 2 and 3 cancel); a save dialog 1 bit (0 = saved.qrm,
// 1 = cancel); the comment editor 1 bit (0 = a new comment, 1 = cancel).
// For example 00 00 00  02 02 01 04 01  03 00 opens velnarund.qrm, sets the
// active window (the first traces window) to Amplitude of RM (the fifth check
// box, its first unit) and switches its accumulation on.
//
// KALVEX_FUZZ_TRACE=1 prints each command and the windows after it.
// `WindowSetFuzz --write-seeds=DIR` writes the hand-made seeds of
// corpus/windows (see Seeds below) and exits.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "acquisition/AcquisitionCommands.h"
#include "acquisition/CommandBlock.h"
#include "acquisition/EquipmentCommand.h"
#include "acquisition/ParametersCommand.h"
#include "acquisition/ParametersDialog.h"
#include "graphs/Accumulation.h"
#include "graphs/Captions.h"
#include "graphs/CommentsList.h"
#include "graphs/FirstTraces.h"
#include "graphs/GraphForm.h"
#include "graphs/GraphTypeSetup.h"
#include "graphs/GraphsMenu.h"
#include "graphs/PlotRenderer.h"
#include "graphs/TAllWindows.h"
#include "graphs/TypeDialogModel.h"
#include "graphs/WindowPlacement.h"
#include "recordings/DerivedValues.h"
#include "recordings/FileCommands.h"
#include "recordings/ModelLists.h"
#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"
#include "recordings/TNFiles.h"
#include "shell/ProgramSettings.h"
#include "shell/UserInteraction.h"
#include "support/FakeCanvas.h"
#include "support/FakeFileStore.h"
#include "support/LinkedFftw.h"

namespace {

using namespace kalvex;

constexpr int MaxSteps = 48;
constexpr const char* SavedPath = "saved.qrm";
const char* const SampleNames[] = {"velnarund.qrm", "tarpokline.qrm", "similarity.qrm",
                                   "dodida.qrm", "ombrel16.qrm"};
constexpr LocalDateTime Now{2024, 3, 5, 14, 5, 33};

// A new graph window's own size, and what its tool bar, scroll bar and frame
// leave of it for the plot.
constexpr WindowSize OwnSize{650, 356};
constexpr int ChromeWidth = 10, ChromeHeight = 62;

struct Sample {
  std::string path;
  std::vector<std::uint8_t> bytes;
};

// The bundled samples, read once.
const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples = [] {
    std::vector<Sample> all;
    for (const char* name : SampleNames) {
      Sample s{std::string(KALVEX_SAMPLES_DIR) + "/" + name, {}};
      std::ifstream in(s.path, std::ios::binary);
      s.bytes.assign(std::istreambuf_iterator<char>(in), {});
      if (s.bytes.empty()) {
        std::fprintf(stderr, "WindowSetFuzz: cannot read %s\n", s.path.c_str());
        std::abort();
      }
      all.push_back(std::move(s));
    }
    return all;
  }();
  return samples;
}

// The input, read as zeros past its end.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Done() const { return at_ >= size_; }
  std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// A command's answers byte, bit by bit.
class Answers {
 public:
  void Set(std::uint8_t bits) {
    bits_ = bits;
    used_ = 0;
  }
  unsigned Take(int count) {
    unsigned v = 0;
    for (int i = 0; i < count; ++i, ++used_)
      if (used_ < 8 && ((bits_ >> used_) & 1)) v |= 1u << i;
    return v;
  }

 private:
  std::uint8_t bits_ = 0;
  int used_ = 0;
};

// The operator: answers from the current command's answers byte.
class ScriptedOperator : public UserInteraction {
 public:
  void ShowError(const std::string& text) override {
    if (std::getenv("KALVEX_FUZZ_TRACE")) std::fprintf(stderr, "  message: %s\n", text.c_str());
  }
  bool AskYesNo(const std::string&) override { return answers.Take(1) == 0; }
  YesNoCancel AskYesNoCancel(const std::string&) override {
    switch (answers.Take(2)) {
      case 0:
        return YesNoCancel::No;
      case 1:
        return YesNoCancel::Yes;
      default:
        return YesNoCancel::Cancel;
    }
  }
  std::optional<std::string> ChooseFileToOpen(const FileDialogRequest&) override {
    return openChoice;
  }
  std::optional<std::string> ChooseFileToSave(const FileDialogRequest&) override {
    if (answers.Take(1)) return std::nullopt;
    return std::string(SavedPath);
  }
  std::optional<std::string> EditText(const TextEditRequest&) override {
    if (answers.Take(1)) return std::nullopt;
    return "Комментарий " + std::to_string(++comments);
  }
  std::optional<EquipmentChoice> SelectEquipment(const EquipmentChoice& current,
                                                 bool) override {
    return current;
  }

  Answers answers;
  std::optional<std::string> openChoice;
  int comments = 0;
};

// A type dialog's script: its edits, then "Да" or Cancel.
struct DialogScript {
  bool cancel = false;
  std::vector<std::pair<std::uint8_t, std::uint8_t>> edits;
};

class ScriptedPresenter : public TypeDialogPresenter {
 public:
  explicit ScriptedPresenter(UserInteraction& ui) : ui_(ui) {}

  bool Show(TypeDialog& dialog) override {
    if (script.cancel) return false;
    struct Field {
      int group, kind, item;  // kind 0 radio set, 1 check box, 2 list
    };
    std::vector<Field> fields;
    auto& groups = dialog.model.groups;
    for (int g = 0; g < static_cast<int>(groups.size()); ++g) {
      if (!groups[g].radios.empty()) fields.push_back({g, 0, 0});
      for (int c = 0; c < static_cast<int>(groups[g].checks.size()); ++c) fields.push_back({g, 1, c});
      for (int l = 0; l < static_cast<int>(groups[g].lists.size()); ++l) fields.push_back({g, 2, l});
    }
    if (!fields.empty())
      for (auto [field, value] : script.edits) {
        const Field f = fields[field % fields.size()];
        DialogGroup& group = groups[f.group];
        if (f.kind == 0) {
          group.radio = value % static_cast<int>(group.radios.size());
        } else if (f.kind == 1) {
          DialogCheck& check = group.checks[f.item];
          check.checked = value != 0;
          if (value != 0 && !check.units.empty())
            check.unit = (value - 1) % static_cast<int>(check.units.size());
          dialog.CheckChanged(f.group, f.item);
        } else {
          DialogList& list = group.lists[f.item];
          if (!list.items.empty()) list.index = value % static_cast<int>(list.items.size());
        }
      }
    return TryAccept(dialog, ui_);
  }

  DialogScript script;

 private:
  UserInteraction& ui_;
};

class FuzzForm : public GraphForm {
 public:
  FuzzForm(TAllWindows& set, TGrWin& window) : set_(set), window_(&window) {}
  void SetCaption(const std::string&) override {}
  void SetTag(int value) override { tag = value; }
  void Repaint() override {}
  void UpdateScrollBar() override {}
  void CloseLabelEditor() override {}
  void BringToFront() override {}
  // The set closes the form; its close event reports the tag (-1 by then).
  void Close() override { OperatorCloses(); }
  void UpdateTypeTools(const TypeTools& tools) override {
    accumulationEnabled = tools.accumulationEnabled;
    accumulationDown = window_->Accumulating;
  }
  // The form's close event.
  void OperatorCloses() { set_.CloseWindow(tag); }

  int tag = -1;
  bool accumulationEnabled = false;  // the accumulation button starts disabled
  bool accumulationDown = false;
  int surfaceWidth = OwnSize.width - ChromeWidth;
  int surfaceHeight = OwnSize.height - ChromeHeight;

 private:
  TAllWindows& set_;
  TGrWin* window_;
};

class FuzzHost : public WindowSetHost {
 public:
  GraphForm* CreateForm(TGrWin& window) override {
    forms.push_back(std::make_unique<FuzzForm>(*set, window));
    return forms.back().get();
  }
  void RebuildWindowsMenu(const std::vector<std::string>&) override {}
  int TextWidth(std::string_view text) override {
    return test::FakeCanvas::Width(std::string(text));
  }

  TAllWindows* set = nullptr;
  std::vector<std::unique_ptr<FuzzForm>> forms;  // kept for the run, like closed widgets
};

std::vector<std::string>& Trace() {
  static std::vector<std::string> trace;
  return trace;
}

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "WindowSetFuzz: %s\nafter:\n", what.c_str());
  for (const std::string& step : Trace()) std::fprintf(stderr, "  %s\n", step.c_str());
  std::abort();
}

// The main window's objects and its wiring of the commands, without widgets.
class Program {
 public:
  Program()
      : presenter_(ui_),
        dialogs_(rec_, presenter_),
        setup_(windows_, Context(), ui_, dialogs_),
        commands_(rec_, values_, settings_, files_, store_, ui_, [] { return Now; }) {
    host_.set = &windows_;
    for (const Sample& s : Samples()) store_.Put(s.path, s.bytes);
    setup_.SetLeaveAccumulation(
        [this](TGrWin& w) { SwitchAccumulationOff(w, files_, w.GroupCaption); });
    settings_.ChannelCalibration.fill(1.0);
    values_.ChannelOffset = 0;
    windows_.SetRecordingRelease([this](TNFile& item) { files_.ReleaseReference(item); });
    PrepareStartupRecording(rec_);
    values_.CurrentMode = rec_.Mode;
    WireFileCommands();
    WireParameters();
    RecomputeDerivedValues(rec_, settings_, values_);
    ApplyStartupEquipmentChoice({0, Velnarund, 1, 0}, rec_, values_, modeSteps_);
  }

  ~Program() { windows_.CloseAll(); }

  void Run(Input& in) {
    for (int step = 0; step < MaxSteps && !in.Done(); ++step) {
      RunCommand(in);
      DrawAll();
      Check();
      if (std::getenv("KALVEX_FUZZ_TRACE")) PrintState();
    }
  }

 private:
  AnalysisContext Context() { return {rec_, settings_, values_}; }

  void WireFileCommands() {
    FileWindowSteps steps;
    steps.anyAccumulating = [this] { return windows_.AnyAccumulating(); };
    steps.activeAccumulating = [this] {
      return windows_.ActiveWindow() && windows_.ActiveWindow()->Accumulating;
    };
    steps.resetModelSelections = [this] { ForgetModelSelections(choices_); };
    steps.dropAccumulation = [this] { DropEveryGroup(); };
    steps.adoptRecordLength = [this] { ShowWholeRanges(); };
    steps.accumulateOpened = [this] { AccumulateCurrentRecording(windows_, files_, Context()); };
    steps.closeAllWindows = [this] { windows_.CloseAll(); };
    steps.showOpened = [this] { ShowInWindows(); };
    steps.refreshCaptions = [this] { windows_.RefreshAll(rec_); };
    commands_.SetWindowSteps(std::move(steps));
  }

  void WireParameters() {
    parameterSteps_.anyWindow = [this] { return windows_.Count() > 0; };
    parameterSteps_.anyAccumulating = [this] { return windows_.AnyAccumulating(); };
    parameterSteps_.discardAccumulated = [this] { DropEveryGroup(); };
    parameterSteps_.clearAll = [this] { windows_.ClearAll(); };
    parameterSteps_.adaptRanges = [this] { ShowWholeRanges(); };
    parameterSteps_.recompute = [this] {
      setup_.RecomputeAll();
      UpdateDeleteAccumulated();
    };
    parameterSteps_.disableRecordMenus = [this] { graphsMenuEnabled_ = false; };
    // A new mode shares the parameters' steps where they do the same.
    modeSteps_ = {.confirmDiscard = [this] { return commands_.ConfirmDiscard(); },
                  .anyAccumulating = parameterSteps_.anyAccumulating,
                  .discardAccumulated = parameterSteps_.discardAccumulated,
                  .clearAll = parameterSteps_.clearAll,
                  .closeAll = [this] { windows_.CloseAll(); },
                  .disableRecordMenus = parameterSteps_.disableRecordMenus,
                  .setTitle = {}};
  }

  // A record no group can take (another mode or length): every window drops
  // its curves and leaves accumulation.
  void DropEveryGroup() {
    for (int i = 0; i < windows_.Count(); ++i) DropCurvesAndGroup(windows_.Window(i), files_);
  }

  // {0, 0} shows the whole new range once the windows are recomputed.
  void ShowWholeRanges() {
    for (int i = 0; i < windows_.Count(); ++i) windows_.Window(i).DisplayedRange = {0, 0};
  }

  void ShowInWindows() {
    if (windows_.Count() == 0)
      OpenFirstTraces(windows_, Context());
    else
      setup_.RecomputeAll();
    graphsMenuEnabled_ = true;
    UpdateDeleteAccumulated();
  }

  void ShowRecord() {
    if (windows_.AnyAccumulating()) AccumulateCurrentRecording(windows_, files_, Context());
    ShowInWindows();
  }

  void UpdateDeleteAccumulated() { deleteEnabled_ = windows_.AnyAccumulatingSeveral(); }

  FuzzForm* FormOf(int index) {
    if (index < 0 || index >= windows_.Count()) return nullptr;
    return static_cast<FuzzForm*>(windows_.Window(index).Form);
  }

  // The window an operand names, or -1 when there is none.
  int WindowOperand(std::uint8_t b) const {
    return windows_.Count() ? b % windows_.Count() : -1;
  }

  void Log(std::string text) { Trace().push_back(std::move(text)); }

  void RunCommand(Input& in) {
    const int op = in.Next() % 16;
    switch (op) {
      case 0: {
        const int file = in.Next() % 6;
        ui_.answers.Set(in.Next());
        ui_.openChoice = file < 5 ? Samples()[file].path : std::string(SavedPath);
        Log("open " + std::string(file < 5 ? SampleNames[file] : SavedPath));
        commands_.OpenCommand();
        break;
      }
      case 1:
        Log("new window");
        windows_.CreateWindow(rec_);
        break;
      case 2: {
        const int tag = in.Next() % 16;
        const std::uint8_t header = in.Next();
        DialogScript script;
        script.cancel = (header & 0x80) != 0;
        for (int e = 0; e < (header & 15); ++e) {
          const std::uint8_t field = in.Next();
          script.edits.emplace_back(field, in.Next());
        }
        std::string text = "set type tag " + std::to_string(tag) + " on window " +
                           std::to_string(windows_.ActiveIndex()) +
                           (script.cancel ? " (cancel)" : "");
        for (auto [f, v] : script.edits)
          text += " [" + std::to_string(f) + "=" + std::to_string(v) + "]";
        Log(text);
        presenter_.script = std::move(script);
        SetTypeFromMenu(tag);
        break;
      }
      case 3: {
        const int i = WindowOperand(in.Next());
        Log("accumulation button of window " + std::to_string(i));
        if (FuzzForm* f = FormOf(i); f && f->accumulationEnabled) {
          f->accumulationDown = !f->accumulationDown;
          ToggleAccumulation(i, f->accumulationDown);
        }
        break;
      }
      case 4: {
        const int i = WindowOperand(in.Next());
        Log("activate window " + std::to_string(i));
        if (i >= 0) WindowActivated(i);
        break;
      }
      case 5: {
        const int i = WindowOperand(in.Next());
        Log("close window " + std::to_string(i));
        if (FuzzForm* f = FormOf(i)) f->OperatorCloses();
        break;
      }
      case 6:
        Log("cascade");
        for (int i = 0; i < windows_.Count(); ++i) Resize(i, OwnSize);
        break;
      case 7: {
        const int size = in.Next();
        Log("tile over " + std::to_string(size));
        Tile({300 + 4 * size, 200 + 3 * size});
        break;
      }
      case 8:
        Log("same range");
        windows_.SynchroniseRanges();
        break;
      case 9:
        Log("delete accumulated");
        if (deleteEnabled_) {
          windows_.DeleteAccumulated();
          windows_.RefreshAll(rec_);
          UpdateDeleteAccumulated();
        }
        break;
      case 10: {
        const int rate = in.Next() % 5;
        const int seconds = 1 + in.Next() % 4;
        const std::uint8_t choices = in.Next();
        ui_.answers.Set(in.Next());
        Log("parameters rate " + std::to_string(rate) + " seconds " + std::to_string(seconds) +
            " choices " + std::to_string(choices));
        EditParameters(rate, seconds, choices);
        break;
      }
      case 11: {
        const int mode = in.Next() % 5;
        ui_.answers.Set(in.Next());
        Log("mode " + std::to_string(mode));
        ApplyEquipmentChoice({0, mode, values_.PortNumber, values_.BaudIndex}, rec_, values_,
                             modeSteps_);
        break;
      }
      case 12:
        ui_.answers.Set(in.Next());
        Log("synthetic signal");
        if (RunSyntheticSignal(rec_, values_, settings_, commands_, ui_, Now)) ShowRecord();
        break;
      case 13:
        ui_.answers.Set(in.Next());
        Log("comment");
        commands_.EditComment(true);
        break;
      case 14: {
        const int i = WindowOperand(in.Next());
        Log("repaint window " + std::to_string(i));
        break;
      }
      default:
        mouseX_ = 3 * in.Next();
        Log("mouse at " + std::to_string(mouseX_));
        break;
    }
  }

  void SetTypeFromMenu(int tag) {
    if (!graphsMenuEnabled_ || !MenuItemOffered(tag, rec_.Mode)) return;
    const GraphsMenuState menu = windows_.OpenGraphsMenu();
    if (!menu.TypeItemsEnabled || !windows_.ActiveWindow()) return;
    setup_.SetTypeFromMenu(tag);
    UpdateDeleteAccumulated();
  }

  void ToggleAccumulation(int index, bool on) {
    TGrWin& w = windows_.Window(index);
    const bool changed = on ? SwitchAccumulationOn(w, files_, rec_)
                            : SwitchAccumulationOff(w, files_, w.GroupCaption);
    (void)changed;  // the form follows the window either way
    windows_.RefreshCaption(w, rec_);
    RefreshTypeTools(w);
    UpdateDeleteAccumulated();
  }

  void WindowActivated(int index) {
    windows_.SetActiveIndex(index);
    TGrWin& window = windows_.Window(index);
    if (window.Type == SignalTraces && window.SelectedCurve >= 0)
      if (TGrWin* spectrum = windows_.IntervalSpectrumWindow();
          spectrum && spectrum->SourceWindow != &window)
        FeedIntervalSpectrum(windows_, Context(), window);
  }

  void Resize(int index, WindowSize size) {
    FuzzForm* f = FormOf(index);
    f->surfaceWidth = size.width - ChromeWidth;
    f->surfaceHeight = size.height - ChromeHeight;
  }

  void Tile(WindowSize area) {
    const int n = windows_.Count();
    if (n == 0) return;
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
    const int rows = (n + columns - 1) / columns;
    for (int i = 0; i < n; ++i) Resize(i, {area.width / columns, area.height / rows});
  }

  void EditParameters(int rate, int seconds, std::uint8_t choices) {
    using F = ParamField;
    ParametersDialog dialog(rec_, values_, choices_, lists_);
    const std::pair<F, const char*> plain[] = {
        {F::HoldDown, "20000"},     {F::ReactionMass, "4000"},   {F::Baseplate, "2000"},
        {F::TriggerLevel, "0"},     {F::MassAcc, "100"},         {F::BaseplateAcc, "100"},
        {F::TriggerDelay, "0"},     {F::Factor, "1"},            {F::SourceRM, "4000"},
        {F::SourceBP, "2000"},      {F::SourceAccRM, "100"},     {F::SourceAccBP, "100"},
        {F::SourceVoltage, "1"},    {F::SourceCurrent, "1"},     {F::SourceSensor, "1"}};
    const bool everyField = (choices & 0x40) != 0;
    for (auto [field, text] : plain) {
      const ParamEntry& e = dialog.Field(field);
      const bool blank =
          std::all_of(e.text.begin(), e.text.end(), [](char c) { return c == ' ' || c == '\t'; });
      if (e.visible && !e.readOnly && (blank || everyField)) {
        dialog.Edit(field, text);
        dialog.Leave(field);
      }
    }
    dialog.Choose(ParamChoice::SampleRate, rate);
    if (dialog.Mode() == Similarity)
      for (int c = 1; c < 6; ++c) dialog.SwitchChannel(c, (choices >> c) & 1);
    dialog.Edit(F::Seconds, std::to_string(seconds));
    dialog.Leave(F::Seconds);
    dialog.Choose(ParamChoice::Polarity, choices & 1);
    bool stayOpen = false;
    if (const auto accepted = dialog.Accept(ui_, stayOpen))
      ApplyParameters(*accepted, {rec_, values_, choices_, block_, settings_, lists_}, ui_,
                      parameterSteps_);
    windows_.RefreshAll(rec_);
  }

  // Every window as its form paints it, with its caption and comments list.
  void DrawAll() {
    for (int i = 0; i < windows_.Count(); ++i) {
      TGrWin& w = windows_.Window(i);
      if (FuzzForm* f = FormOf(i)) {
        w.PlotWidth = f->surfaceWidth;
        w.PlotHeight = f->surfaceHeight;
      }
      canvas_.ops.clear();
      DrawRequest request;
      request.mouseX = mouseX_;
      DrawGraph(w, canvas_, Context(), request);
      (void)WindowCaption(w, rec_);
      (void)CommentsList(w, rec_);
    }
  }

  // With KALVEX_FUZZ_TRACE set: each command and the windows after it (type,
  // curves, "+" when accumulating), for writing seeds by hand.
  void PrintState() {
    std::string line = Trace().back() + " ->";
    for (int i = 0; i < windows_.Count(); ++i) {
      const TGrWin& w = windows_.Window(i);
      line += " W" + std::to_string(i) + ":" + std::to_string(w.Type) + "/" +
              std::to_string(w.CurveCount) + (w.Accumulating ? "+" : "");
    }
    line += " snapshots " + std::to_string(files_.Count());
    std::fprintf(stderr, "%s\n", line.c_str());
  }

  void Check() {
    std::map<const TNFile*, int> named;
    int spectra = 0;
    for (int i = 0; i < windows_.Count(); ++i) {
      const TGrWin& w = windows_.Window(i);
      const std::string window = "window " + std::to_string(i);
      for (int s = 0; s < MaxCurves; ++s) {
        const TNFile* snapshot = w.Curves[s].Recording;
        if (!snapshot) continue;
        const std::string curve = window + " curve " + std::to_string(s);
        if (!files_.Contains(*snapshot))
          Fail(curve + " names a snapshot the set of open recordings does not hold");
        if (!w.Accumulating) Fail(curve + " names a snapshot, but the window does not accumulate");
        ++named[snapshot];
      }
      if (w.SourceWindow && windows_.IndexOf(w.SourceWindow) < 0)
        Fail(window + " takes its interval from a window that has left the set");
      if (FormOf(i)->tag != i) Fail(window + " has a form tagged " + std::to_string(FormOf(i)->tag));
      spectra += w.Type == IntervalSpectrum;
    }
    if (spectra > 1) Fail(std::to_string(spectra) + " interval spectrum windows");
    for (const TNFile* snapshot : files_.Items()) {
      const int slots = named.count(snapshot) ? named[snapshot] : 0;
      if (snapshot->RefCount != slots)
        Fail("snapshot S" + std::to_string(snapshot->Number) + " counts " +
             std::to_string(snapshot->RefCount) + " references, " + std::to_string(slots) +
             " curve slots name it");
    }
  }

  test::FakeFileStore store_;
  ScriptedOperator ui_;
  TFrmFile rec_;
  ProcessValues values_;
  ProgramSettings settings_;
  AcquisitionChoices choices_;
  CommandBlock block_;
  ModelLists lists_;
  TNFiles files_;
  FuzzHost host_;
  TAllWindows windows_{host_};
  ScriptedPresenter presenter_;
  ModelTypeDialogs dialogs_;
  GraphTypeSetup setup_;
  FileCommands commands_;
  ParameterWindowSteps parameterSteps_;
  ModeWindowSteps modeSteps_;
  bool graphsMenuEnabled_ = false;
  bool deleteEnabled_ = false;
  int mouseX_ = 0;
  test::FakeCanvas canvas_;
};

// The hand-made seeds: a name and its commands.
struct Seed {
  const char* name;
  std::vector<std::uint8_t> bytes;
};

std::vector<Seed> Seeds() {
  // In Velnarund: Amplitude (tag 2) and Spectrum (tag 5) of RM (field 4,
  // unit 0).
  const std::vector<std::uint8_t> amplitudeRm{2, 2, 1, 4, 1};
  const std::vector<std::uint8_t> spectrumRm{2, 5, 1, 4, 1};
  auto join = [](std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  };
  return {
      // The sequence that left a freed snapshot in a window: open velnarund,
      // W0 Amplitude, accumulation on, W1 Amplitude, accumulation on, W1
      // Spectrum, W1 accumulation on, repaint W0.
      {"type-change-while-accumulating",
       join({{0, 0, 0}, amplitudeRm, {3, 0}, {1}, amplitudeRm, {3, 1}, spectrumRm, {3, 1},
             {14, 0}})},
      // Two recordings accumulated in one window, a third of another length
      // (dodida) refused and then taken, "Удалить накопл.", accumulation off.
      {"accumulate-open-delete",
       join({{0, 0, 0}, amplitudeRm, {3, 0}, {0, 0, 0}, {0, 0, 0}, {9}, {0, 3, 1}, {0, 3, 0},
             {3, 0}})},
      // Parameters, the synthetic signal into an accumulating window, a mode
      // change with windows open, the synthetic signal of the new mode.
      {"parameters-synthetic-mode",
       join({{10, 0, 1, 0x40, 0}, {12, 0}, amplitudeRm, {3, 0}, {12, 0}, {13, 0}, {11, 3, 0},
             {10, 1, 1, 0x40, 0}, {12, 0}, {1}, {2, 5, 1, 0, 1}, {7, 40}, {8}})},
      // A settings-only type (Servo, tag 12, its first option) on an
      // accumulating window, then another recording into it.
      {"settings-only-type-while-accumulating",
       join({{0, 0, 0}, amplitudeRm, {3, 0}, {2, 12, 1, 0, 1}, {0, 0, 0}, {14, 0}})},
      // Dodida traces with the interval spectrum on (tag 1, the window
      // spectrum check box is field 4), the spectrum window closed and
      // opened again, then the traces window closed (the spectrum goes too).
      {"interval-spectrum",
       join({{0, 3, 0}, {2, 1, 1, 4, 1}, {15, 100}, {6}, {4, 0}, {5, 1}, {2, 1, 1, 4, 1}, {5, 0},
             {1}, {5, 0}})},
  };
}

void WriteSeeds(const std::string& dir) {
  for (const Seed& s : Seeds()) {
    const std::string path = dir + "/" + s.name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(s.bytes.data()),
              static_cast<std::streamsize>(s.bytes.size()));
    if (!out) {
      std::fprintf(stderr, "WindowSetFuzz: cannot write %s\n", path.c_str());
      std::exit(1);
    }
    std::printf("%s\n", path.c_str());
  }
  std::exit(0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  for (int i = 1; i < *argc; ++i)
    if (std::strncmp((*argv)[i], "--write-seeds=", 14) == 0) WriteSeeds((*argv)[i] + 14);
  Samples();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const test::LinkedFftw fftw;
  Trace().clear();
  Input in(data, size);
  Program program;
  program.Run(in);
  return 0;
}
