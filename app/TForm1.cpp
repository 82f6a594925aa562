#include "TForm1.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "AcquisitionControl.h"
#include "EquipmentMenu.h"
#include "ProjectKeeper.h"
#include "QcHistoryDialog.h"
#include "SegyMenu.h"
#include "QcHistoryKeeper.h"
#include "QcPanel.h"
#include "ReportMenu.h"
#include "analysis/SignalsText.h"
#include "graphs/Accumulation.h"
#include "graphs/CommentsList.h"
#include "graphs/FirstTraces.h"
#include "graphs/GraphTypeSetup.h"
#include "graphs/GraphsMenu.h"
#include "graphs/ReportPage.h"
#include "graphs/SpecialSettingsFollowUp.h"
#include "graphs/TGrWin.h"
#include "graphs/WindowPlacement.h"
#include "platform/AboutText.h"
#include "platform/FftwLoader.h"
#include "platform/FileAccess.h"
#include "platform/ProgressPanelWidget.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtUserInteraction.h"
#include "platform/StatusLabel.h"
#include "platform/TFGraf.h"
#include "platform/TFSet.h"
#include "platform/TFSpecSet.h"
#include "recordings/DerivedValues.h"
#include "shell/TextCatalogue.h"

namespace kalvex {

namespace {

constexpr int HelpContentsTopic = 20;
constexpr int StartUpDelayMs = 250;
constexpr int StatusTextWidth = 250, ProgressWidth = 120, SparePanelWidth = 50;
constexpr const char* ExportFileName = "Signals.TXT";

QString Q(TextId id) {
  return QString::fromStdString(Text(id));
}

}  // namespace

TForm1::TForm1(const QString& startFile, std::unique_ptr<UserInteraction> ui, QWidget* parent)
    : QMainWindow(parent),
      startFile_(startFile),
      programDirectory_(QDir::currentPath()),
      ui_(ui ? std::move(ui) : std::make_unique<QtUserInteraction>(this)),
      windows_(*this),
      commands_(rec_, values_, settings_, files_, store_, *ui_, [] { return CurrentLocalTime(); }),
      typePresenter_(*ui_, this),
      typeDialogs_(rec_, typePresenter_),
      setup_(windows_, Context(), *ui_, typeDialogs_) {
  setup_.SetLeaveAccumulation(
      [this](TGrWin& w) { SwitchAccumulationOff(w, files_, w.GroupCaption); });
  setWindowTitle(Q(TextId::ProgramTitle));
  resize(1200, 800);
  mdi_ = new QMdiArea(this);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    if (auto* form = sub ? qobject_cast<TFGraf*>(sub->widget()) : nullptr) WindowActivated(*form);
  });
  CreateMenus();
  CreateToolBar();
  CreateStatusBar();

  settings_.ChannelCalibration.fill(1.0);
  values_.ChannelOffset = 0;
  if (!LoadFftLibrary()) ui_->ShowError(Text(TextId::FftLibraryMissing));
  windows_.SetRecordingRelease([this](TNFile& item) { files_.ReleaseReference(item); });
  // Mode 0 with REF and CH1..CH5 until a record or a file says otherwise, so
  // that a new window draws its empty grid.
  PrepareStartupRecording(rec_);
  values_.CurrentMode = rec_.Mode;
  CreateEquipmentMenu();
  CreateAcquisitionControl();
  WireFileCommands();
  LoadSettings(settings_, QtSettingsStore());
  project_ = new ProjectKeeper(
      *this, *mdi_,
      {rec_, values_, settings_, equipment_->Choices(), equipment_->Block(), windows_}, store_,
      programDirectory_);
  projectRead_ = project_->ReadProjectFile();
  RecomputeDerivedValues(rec_, settings_, values_);

  QTimer::singleShot(StartUpDelayMs, this, &TForm1::FinishStartUp);
}

TForm1::~TForm1() {
  // A record still being taken ends before the recording it fills goes.
  acquisition_->StopAndWait();
  // The forms go with the MDI area; the window set must not call them then.
  windows_.CloseAll();
}

QAction* TForm1::AddAction(QMenu* menu, const char* name, TextId text, const char* shortcut,
                           std::function<void()> run) {
  QAction* action = menu->addAction(Q(text));
  action->setObjectName(QString::fromLatin1(name));
  if (shortcut) action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
  connect(action, &QAction::triggered, this, std::move(run));
  return action;
}

QAction* TForm1::Action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

void TForm1::CreateMenus() {
  QMenu* file = fileMenu_ = menuBar()->addMenu(Q(TextId::MenuFile));
  AddAction(file, "Open", TextId::MenuOpen, "Ctrl+O", [this] { commands_.OpenCommand(); });
  AddAction(file, "Save", TextId::MenuSave, nullptr, [this] {
    commands_.SaveCommand();
  })->setEnabled(false);
  AddAction(file, "SaveAs", TextId::MenuSaveAs, "Ctrl+S", [this] {
    commands_.SaveAsCommand();
  })->setEnabled(false);
  // An edited comment is unsaved data: "Сохранить" writes it to the file the
  // recording came from (or asks for a name), until the next open or save.
  AddAction(file, "Comment", TextId::MenuComment, "Ctrl+E", [this] {
    if (commands_.EditComment(true)) Action("Save")->setEnabled(true);
  });
  file->addSeparator();
  AddAction(file, "Settings", TextId::MenuSettings, "F9", [this] {
    QtSettingsStore store;
    EditGeneralSettings(this, settings_, store, *ui_, SettingsSteps());
  });
  // "Установки" is reached by its shortcut only: it is not shown in the menu.
  auto* special = new QAction(Q(TextId::MenuSpecialSettings), this);
  special->setObjectName(QStringLiteral("SpecialSettings"));
  special->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
  connect(special, &QAction::triggered, this, [this] {
    QtSettingsStore store;
    if (const auto accepted = EditSpecialSettings(this, settings_, store, *ui_)) {
      ApplySpecialSettings(*accepted, settings_, rec_, values_, SettingsSteps());
      acquisition_->TimeoutsChanged();
    }
  });
  addAction(special);
  file->addSeparator();
  AddAction(file, "Exit", TextId::MenuExit, nullptr, [this] { close(); });

  CreateGraphsMenu();

  windowsMenu_ = menuBar()->addMenu(Q(TextId::MenuWindows));
  AddAction(windowsMenu_, "Cascade", TextId::MenuCascade, nullptr,
            [this] { mdi_->cascadeSubWindows(); });
  AddAction(windowsMenu_, "Tile", TextId::MenuTile, "Ctrl+M", [this] { mdi_->tileSubWindows(); });
  windowsSeparator_ = windowsMenu_->addSeparator();
  windowsSeparator_->setVisible(false);

  QMenu* help = menuBar()->addMenu(Q(TextId::MenuHelp));
  AddAction(help, "HelpContents", TextId::MenuHelpContents, "Ctrl+F1",
            [this] { ui_->ShowHelp(HelpContentsTopic); });
  AddAction(help, "About", TextId::MenuAbout, nullptr,
            [this] { QMessageBox::about(this, Q(TextId::MenuAbout), AboutText()); });
}

SettingsWindowSteps TForm1::SettingsSteps() {
  SettingsWindowSteps steps;
  steps.resetWindowData = [this] {
    setup_.RecomputeAll();
    qc_->Update();
  };
  steps.redrawAll = [this] { windows_.RefreshAll(rec_); };
  return steps;
}

void TForm1::CreateGraphsMenu() {
  graphsMenu_ = menuBar()->addMenu(Q(TextId::MenuGraphs));
  graphsMenu_->setEnabled(false);  // until there is a recording
  AddAction(graphsMenu_, "NewWindow", TextId::MenuNewWindow, "Ctrl+N", [this] { NewWindow(); });
  graphsMenu_->addSeparator();
  for (int tag = 1; tag <= GraphsMenuItems; ++tag) {
    const auto text = static_cast<TextId>(static_cast<int>(TextId::GraphItem1) + tag - 1);
    const QByteArray name = "GraphItem" + QByteArray::number(tag);
    QAction* item = AddAction(graphsMenu_, name.constData(), text, nullptr, [this, tag] {
      setup_.SetTypeFromMenu(tag);
      UpdateDeleteAccumulated();
    });
    item->setCheckable(true);
  }
  connect(graphsMenu_, &QMenu::aboutToShow, this, &TForm1::GraphsMenuOpening);
}

void TForm1::GraphsMenuOpening() {
  const GraphsMenuState state = windows_.OpenGraphsMenu();
  for (int tag = 1; tag <= GraphsMenuItems; ++tag) {
    QAction* item = Action(("GraphItem" + std::to_string(tag)).c_str());
    item->setChecked(tag == state.CheckedTag);
    item->setEnabled(state.TypeItemsEnabled && windows_.ActiveWindow());
  }
}

void TForm1::ShowGraphTypesOfMode() {
  graphsMenu_->setEnabled(true);
  for (int tag = 1; tag <= GraphsMenuItems; ++tag)
    Action(("GraphItem" + std::to_string(tag)).c_str())
        ->setVisible(MenuItemOffered(tag, rec_.Mode));
}

void TForm1::NewWindow() {
  TGrWin& w = windows_.CreateWindow(rec_);
  if (w.Form) w.Form->BringToFront();
}

void TForm1::CreateToolBar() {
  QToolBar* bar = toolBar_ = addToolBar(QStringLiteral("Main"));
  bar->setObjectName(QStringLiteral("MainToolBar"));
  bar->setMovable(false);
  auto add = [&](const char* name, TextId hint, QStyle::StandardPixmap icon, const QString& text,
                 std::function<void()> run) {
    QAction* a =
        bar->addAction(icon == QStyle::SP_CustomBase ? QIcon() : style()->standardIcon(icon),
                       text.isEmpty() ? Q(hint) : text);
    a->setObjectName(QString::fromLatin1(name));
    a->setToolTip(Q(hint));
    connect(a, &QAction::triggered, this, std::move(run));
    return a;
  };
  add("OpenButton", TextId::HintOpen, QStyle::SP_DialogOpenButton, {},
      [this] { commands_.OpenCommand(); });
  QAction* saveButton = add("SaveAsButton", TextId::HintSaveAs, QStyle::SP_DialogSaveButton, {},
                            [this] { commands_.SaveAsCommand(); });
  // Enabled as "Сохранить как" is: nothing to save, nothing to press.
  QAction* saveAs = Action("SaveAs");
  saveButton->setEnabled(saveAs->isEnabled());
  connect(saveAs, &QAction::changed, saveButton,
          [saveButton, saveAs] { saveButton->setEnabled(saveAs->isEnabled()); });
  bar->addSeparator();
  add("NewWindowButton", TextId::HintNewWindow, QStyle::SP_FileDialogNewFolder, {},
      [this] { NewWindow(); });
  add("TileButton", TextId::HintTile, QStyle::SP_CustomBase, QStringLiteral("▦"),
      [this] { mdi_->tileSubWindows(); });
  add("SynchroniseButton", TextId::HintSynchroniseRanges, QStyle::SP_CustomBase,
      QStringLiteral("⇔"), [this] {
        SynchroniseRanges(windows_, Context());
        for (int i = 0; i < windows_.Count(); ++i)
          if (GraphForm* f = windows_.Window(i).Form) {
            f->UpdateScrollBar();
            f->Repaint();
          }
      });
  // "Удалить накопл." stays hidden; its enabled state still follows the windows.
  QAction* drop = add("DeleteAccumulated", TextId::DeleteAccumulatedButton, QStyle::SP_CustomBase,
                      Q(TextId::DeleteAccumulatedButton), [this] {
                        windows_.DeleteAccumulated();
                        windows_.RefreshAll(rec_);
                        UpdateDeleteAccumulated();
                      });
  drop->setVisible(false);
  drop->setEnabled(false);
}

void TForm1::CreateStatusBar() {
  statusText_ = new StatusLabel(this);
  statusText_->setObjectName(QStringLiteral("StatusText"));
  statusText_->setFixedWidth(StatusTextWidth);
  statusBar()->addWidget(statusText_);
  progress_ = new ProgressPanelWidget(ProgressWidth, this);
  statusBar()->addWidget(progress_);
  auto* spare = new QLabel(this);
  spare->setFixedWidth(SparePanelWidth);
  statusBar()->addWidget(spare);
}

void TForm1::WireFileCommands() {
  FileWindowSteps steps;
  steps.anyAccumulating = [this] { return windows_.AnyAccumulating(); };
  steps.activeAccumulating = [this] {
    TGrWin* w = windows_.ActiveWindow();
    return w && w->Accumulating;
  };
  steps.resetModelSelections = [this] { ForgetModelSelections(equipment_->Choices()); };
  steps.setTitle = [this](const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
  };
  steps.dropAccumulation = [this] {
    for (int i = 0; i < windows_.Count(); ++i) DropCurvesAndGroup(windows_.Window(i), files_);
  };
  // {0, 0} shows the whole new range once the window is recomputed.
  steps.adoptRecordLength = [this] {
    for (int i = 0; i < windows_.Count(); ++i) windows_.Window(i).DisplayedRange = {0, 0};
  };
  steps.accumulateOpened = [this] { AccumulateCurrentRecording(windows_, files_, Context()); };
  steps.closeAllWindows = [this] { windows_.CloseAll(); };
  steps.showOpened = [this] { ShowOpened(); };
  steps.refreshCaptions = [this] {
    windows_.RefreshAll(rec_);
    Action("Save")->setEnabled(false);
  };
  commands_.SetWindowSteps(std::move(steps));
}

void TForm1::CreateEquipmentMenu() {
  ParameterWindowSteps steps;
  steps.anyWindow = [this] { return windows_.Count() > 0; };
  steps.anyAccumulating = [this] { return windows_.AnyAccumulating(); };
  steps.discardAccumulated = [this] {
    for (int i = 0; i < windows_.Count(); ++i) DropCurvesAndGroup(windows_.Window(i), files_);
  };
  steps.clearAll = [this] { windows_.ClearAll(); };
  // {0, 0} shows the whole new range once the window is recomputed.
  steps.adaptRanges = [this] {
    for (int i = 0; i < windows_.Count(); ++i) windows_.Window(i).DisplayedRange = {0, 0};
  };
  steps.recompute = [this] {
    setup_.RecomputeAll();
    UpdateDeleteAccumulated();
    qc_->Update();
  };
  steps.disableRecordMenus = [this] { DisableRecordMenus(); };
  ModeWindowSteps modeSteps;
  modeSteps.confirmDiscard = [this] { return commands_.ConfirmDiscard(); };
  modeSteps.anyAccumulating = steps.anyAccumulating;
  modeSteps.discardAccumulated = steps.discardAccumulated;
  modeSteps.clearAll = steps.clearAll;
  modeSteps.closeAll = [this] { windows_.CloseAll(); };
  modeSteps.disableRecordMenus = steps.disableRecordMenus;
  modeSteps.setTitle = [this](const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
  };
  equipment_ = new EquipmentMenu({*this, rec_, values_, settings_, store_, *ui_}, programDirectory_,
                                 std::move(steps), std::move(modeSteps),
                                 [this] { windows_.RefreshAll(rec_); });
}

void TForm1::CreateAcquisitionControl() {
  AcquisitionControl::Context ctx{*this,
                                  rec_,
                                  values_,
                                  settings_,
                                  commands_,
                                  *ui_,
                                  *equipment_,
                                  *statusText_,
                                  *progress_,
                                  [this] { ShowRecord(); },
                                  [this](bool running) {
                                    for (const char* a : {"Open", "OpenButton"})
                                      Action(a)->setEnabled(!running);
                                    equipment_->SetRunning(running);
                                  }};
  acquisition_ = new AcquisitionControl(ctx, *fileMenu_, *toolBar_);
  report_ =
      new ReportMenu({*this, *ui_, *equipment_, *statusText_, [this] { return Context(); },
                      [this] { setup_.RecomputeAll(); }, [this] { windows_.RefreshAll(rec_); },
                      [this] { return qc_->Outcome(); },
                      [this](const std::string& number) { history_->NumberVibrator(number); }},
                     *fileMenu_, acquisition_->DebugMenu(), programDirectory_);
  history_ = std::make_unique<QcHistoryKeeper>(*ui_, QcHistoryKeeper::DefaultPath());
  qc_ = new QcPanel({*ui_, *statusBar(), [this] { return Context(); },
                     [this] { return !ReportRefusal(rec_); },
                     [this](const QcOutcome& o, const std::string& profilePath) {
                       history_->Keep(o, Context(), profilePath);
                     }},
                    *fileMenu_, Action("Exit"), this);
  auto* history = new QAction(QString::fromStdString(Text(TextId::MenuQcHistory)), fileMenu_);
  history->setObjectName(QStringLiteral("QcHistory"));
  connect(history, &QAction::triggered, this, [this] {
    QcHistoryDialog dialog(*history_, *ui_, this);
    if (dialog.Reload()) dialog.exec();
  });
  fileMenu_->insertAction(Action("Exit"), history);
  segy_ = new SegyMenu({*this, *ui_, commands_, [this] { return Context(); }}, *fileMenu_,
                       Action("Settings"));
  // There is no record to report on until one is read or taken.
  for (const char* a : {"Report", "ReportPdf", "ReportBitmap"}) Action(a)->setEnabled(false);
}

void TForm1::ShowRecord() {
  if (windows_.AnyAccumulating()) AccumulateCurrentRecording(windows_, files_, Context());
  ShowInWindows(true);
}

void TForm1::DisableRecordMenus() {
  graphsMenu_->setEnabled(false);
  for (const char* a : {"Report", "ReportPdf", "ReportBitmap"}) Action(a)->setEnabled(false);
  Action("Save")->setEnabled(false);
  Action("SaveAs")->setEnabled(false);
  segy_->SetRecordingShown(false);
  qc_->Update();  // the verdict went with the record it judged
}

void TForm1::FinishStartUp() {
  if (!missingDevices_.isEmpty())
    ui_->ShowError(FormatText(TextId::SerialDeviceMissing,
                              {missingDevices_.join(QStringLiteral(", ")).toStdString()}));
  // Without a project the equipment, mode and port must be chosen first.
  if (projectRead_)
    project_->RestoreProjectWindows();
  else
    equipment_->StartupPrompt();
  if (!startFile_.isEmpty() && QFileInfo(startFile_).isFile())
    commands_.OpenRecordingFile(NativePath(QFileInfo(startFile_).absoluteFilePath()));
  emit StartUpFinished();
}

void TForm1::ShowOpened() {
  ShowInWindows(false);
}

void TForm1::ShowInWindows(bool unsaved) {
  for (const char* a : {"Report", "ReportPdf", "ReportBitmap"}) Action(a)->setEnabled(true);
  Action("Save")->setEnabled(unsaved);
  Action("SaveAs")->setEnabled(true);
  segy_->SetRecordingShown(true);
  if (windows_.Count() == 0)
    OpenFirstTraces(windows_, Context());
  else
    setup_.RecomputeAll();
  ShowGraphTypesOfMode();
  UpdateDeleteAccumulated();
  qc_->Update();
}

void TForm1::UpdateDeleteAccumulated() {
  Action("DeleteAccumulated")->setEnabled(windows_.AnyAccumulatingSeveral());
}

void TForm1::WindowActivated(TFGraf& form) {
  if (form.Tag() < 0) return;
  windows_.SetActiveIndex(form.Tag());
  TGrWin& window = windows_.Window(form.Tag());
  Action("Comment")->setEnabled(!window.Accumulating);
  // A traces window brought forward feeds the interval spectrum it selects.
  if (window.Type == SignalTraces && window.SelectedCurve >= 0)
    if (TGrWin* spectrum = windows_.IntervalSpectrumWindow();
        spectrum && spectrum->SourceWindow != &window)
      FeedIntervalSpectrum(windows_, Context(), window);
}

GraphForm* TForm1::CreateForm(TGrWin& window) {
  auto* form = new TFGraf(window, windows_, Context());
  WireForm(*form);
  QMdiSubWindow* sub = mdi_->addSubWindow(form);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  PlaceSubWindow(*sub);
  sub->show();
  return form;
}

void TForm1::PlaceSubWindow(QMdiSubWindow& sub) {
  const QSize own = sub.sizeHint();
  const QSize area = mdi_->viewport()->size();
  // One title bar further right and down per window already open.
  const int step = sub.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &sub);
  const IntRect r = PlaceNewWindow({area.width(), area.height()}, {own.width(), own.height()},
                                   static_cast<int>(mdi_->subWindowList().size()) - 1, step);
  sub.setGeometry(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

void TForm1::WireForm(TFGraf& form) {
  TFGraf* f = &form;
  connect(f, &TFGraf::AccumulationToggled, this,
          [this, f](bool on) { ToggleAccumulation(*f, on); });
  connect(f, &TFGraf::CommentsRequested, this, [this, f] {
    if (f->Tag() >= 0) ui_->ShowList(CommentsList(windows_.Window(f->Tag()), rec_));
  });
  connect(f, &TFGraf::HelpRequested, this, [this](int topic) { ui_->ShowHelp(topic); });
  connect(f, &TFGraf::ExportRequested, this, &TForm1::ExportFrameTables);
}

TFGraf* TForm1::Form(int index) const {
  if (index < 0 || index >= windows_.Count()) return nullptr;
  return static_cast<TFGraf*>(windows_.Window(index).Form);
}

void TForm1::ToggleAccumulation(TFGraf& form, bool on) {
  if (form.Tag() < 0) return;
  TGrWin& w = windows_.Window(form.Tag());
  if (on)
    SwitchAccumulationOn(w, files_, rec_);
  else
    SwitchAccumulationOff(w, files_, w.GroupCaption);
  windows_.RefreshCaption(w, rec_);
  RefreshTypeTools(w);
  Action("Comment")->setEnabled(!w.Accumulating);
  UpdateDeleteAccumulated();
  form.Repaint();
}

void TForm1::ExportFrameTables() {
  const std::string text = WriteSignalsText(rec_);
  const QString path = QDir::current().filePath(QString::fromLatin1(ExportFileName));
  const std::string error = SaveFileAtomically(
      NativePath(path), {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
  if (!error.empty())
    ui_->ShowError(FormatText(TextId::CannotCreateFile,
                              {QDir::toNativeSeparators(path).toStdString(), error}));
}

void TForm1::RebuildWindowsMenu(const std::vector<std::string>& captions) {
  qDeleteAll(windowItems_);
  windowItems_.clear();
  for (int i = 0; i < static_cast<int>(captions.size()); ++i) {
    QAction* item = windowsMenu_->addAction(QString::fromStdString(captions[i]), this, [this, i] {
      if (i < windows_.Count() && windows_.Window(i).Form) windows_.Window(i).Form->BringToFront();
    });
    windowItems_ << item;
  }
  windowsSeparator_->setVisible(!captions.empty());
}

int TForm1::TextWidth(std::string_view text) {
  return QFontMetrics(font()).horizontalAdvance(
      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TForm1::closeEvent(QCloseEvent* event) {
  // The worker stops and lets the port go before anything is asked.
  acquisition_->StopAndWait();
  if (!commands_.CloseProgram()) {
    event->ignore();
    return;
  }
  // A file that cannot be written is reported; the program closes anyway.
  project_->WriteProjectFile(*ui_);
  event->accept();
}

}  // namespace kalvex
