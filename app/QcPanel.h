#pragma once
// Pass/fail QC in the main window: "Профиль допусков…" in the "Файл" menu
// chooses a limit profile for the session; the status bar's QC panel shows
// the current recording's verdict against it (its figures in the tooltip,
// and in a message when the panel is clicked), and the reports carry the QC
// block. Without a profile nothing is judged
// and the reports are drawn as always.

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "qc/QcVerdict.h"

class QAction;
class QToolButton;
class QMenu;
class QStatusBar;

namespace kalvex {

class UserInteraction;
struct AnalysisContext;

class QcPanel : public QObject {
  Q_OBJECT
 public:
  struct Context {
    UserInteraction& ui;
    QStatusBar& statusBar;
    std::function<AnalysisContext()> analysis;
    // Whether a recording with samples is shown.
    std::function<bool()> haveRecording;
    // Each verdict as it is shown, with the profile's file (empty: none).
    std::function<void(const QcOutcome&, const std::string& profilePath)> judged;
  };

  // Adds "Профиль допусков…" to `fileMenu` before `before`, and the panel.
  QcPanel(Context context, QMenu& fileMenu, QAction* before, QObject* parent);

  // Asks for a profile file; a refused file keeps the profile in use.
  void ChooseProfile();
  // Uses a profile already read (tests, and ChooseProfile), from the file
  // `path` (empty: none).
  void SetProfile(LimitProfile profile, std::string path = {});
  // Judges the current recording again (a new one shown, settings changed).
  void Update();

  // The verdict of the current recording, or null without a profile or
  // without a recording.
  std::shared_ptr<const QcOutcome> Outcome() const { return outcome_; }

 private:
  std::string Fingerprint(const AnalysisContext& ctx) const;
  void Show();
  void ShowFigures();

  Context ctx_;
  std::optional<LimitProfile> profile_;
  std::string profilePath_;
  std::shared_ptr<const QcOutcome> outcome_;
  QToolButton* panel_;
};

}  // namespace kalvex
