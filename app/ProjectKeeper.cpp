#include "ProjectKeeper.h"

#include <QDir>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <algorithm>

#include "graphs/GraphForm.h"
#include "platform/FileAccess.h"

namespace kalvex {
namespace {

// Enough of a window to take hold of its title bar.
constexpr int VisibleMargin = 60;

QMdiSubWindow* FrameOf(const TGrWin& window) {
  auto* form = dynamic_cast<QWidget*>(window.Form);
  return form ? qobject_cast<QMdiSubWindow*>(form->parentWidget()) : nullptr;
}

// `r` no smaller than `least`, with its top-left corner moved where at least
// a margin of the window lies inside `area`.
QRect KeptWithin(QRect r, const QRect& area, const QSize& least) {
  r.setSize(r.size().expandedTo(least));
  const int right = std::max(area.left(), area.right() - VisibleMargin);
  const int left = std::min(right, area.left() - r.width() + VisibleMargin);
  const int bottom = std::max(area.top(), area.bottom() - VisibleMargin);
  r.moveTo(std::clamp(r.left(), left, right), std::clamp(r.top(), area.top(), bottom));
  return r;
}

}  // namespace

ProjectKeeper::ProjectKeeper(QMainWindow& window, QMdiArea& area, ProjectState state,
                             FileStore& store, const QString& programDirectory)
    : QObject(&window),
      window_(window),
      area_(area),
      file_(state, *this, store,
            NativePath(QDir(programDirectory).filePath(QString::fromLatin1(ProjectFileName)))) {}

ProjectRect ProjectKeeper::MainWindowRect() {
  const QRect r = window_.geometry();
  return {r.x(), r.y(), r.width(), r.height()};
}

void ProjectKeeper::SetMainWindowRect(const ProjectRect& rect) {
  // A window placed on a screen that is no longer there comes back on the
  // primary one.
  QRect r(rect.Left, rect.Top, rect.Width, rect.Height);
  const QScreen* screen = QGuiApplication::screenAt(r.topLeft() + QPoint(VisibleMargin, 0));
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  r = KeptWithin(r, available, window_.minimumSizeHint());
  r.setSize(r.size().boundedTo(available.size()));
  window_.setGeometry(r);
}

void ProjectKeeper::SetMainWindowTitle(const std::string& title) {
  window_.setWindowTitle(QString::fromStdString(title));
}

ProjectRect ProjectKeeper::FormRect(const TGrWin& window) {
  const QMdiSubWindow* frame = FrameOf(window);
  if (!frame) return {};
  const QRect r = frame->geometry();
  return {r.x(), r.y(), r.width(), r.height()};
}

void ProjectKeeper::SetFormRect(TGrWin& window, const ProjectRect& rect) {
  QMdiSubWindow* frame = FrameOf(window);
  if (!frame) return;
  const QRect area(QPoint(0, 0), area_.viewport()->size());
  frame->setGeometry(KeptWithin(QRect(rect.Left, rect.Top, rect.Width, rect.Height), area,
                                frame->minimumSizeHint()));
}

}  // namespace kalvex
