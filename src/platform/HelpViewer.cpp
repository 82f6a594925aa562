#include "platform/HelpViewer.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QHash>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPointer>
#include <QScreen>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "shell/TextCatalogue.h"

// The page is compiled into this static library; calling the resource's
// initialiser by name keeps the linker from dropping it. The initialiser is
// declared at global scope, so this function stays outside the namespace.
static void InitHelpResource() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(help);
    return true;
  }();
  (void)registered;
}

namespace kalvex {
namespace {

constexpr int ContentsTopic = 20;
constexpr auto AnchorPrefix = "topic-";
constexpr QSize PreferredSize(640, 560);
// Below this height the window is not worth shrinking further to stay on the
// screen.
constexpr int MinimumHeight = 200;

bool englishPage = false;

// The resource path of the selected page; its URL is "qrc" + this.
QString PagePath() {
  return englishPage ? QStringLiteral(":/help/help_en.html") : QStringLiteral(":/help/help.html");
}

QString AnchorName(int topic) {
  return AnchorPrefix + QString::number(topic);
}

// The topic numbers of a page's anchors, as the browser reads the page (an
// anchor Qt's rich text does not keep is no topic).
QSet<int> ReadTopics(const QString& path) {
  InitHelpResource();
  QSet<int> found;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return found;
  QTextDocument page;
  page.setHtml(QString::fromUtf8(file.readAll()));
  for (QTextBlock block = page.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      for (const QString& name : it.fragment().charFormat().anchorNames()) {
        if (!name.startsWith(AnchorPrefix)) continue;
        bool ok = false;
        const int topic = name.mid(QString(AnchorPrefix).size()).toInt(&ok);
        if (ok) found.insert(topic);
      }
    }
  }
  return found;
}

// The selected page's topics, read once per page.
bool PageHasTopic(int topic) {
  static QHash<QString, QSet<int>> pages;
  const QString path = PagePath();
  auto it = pages.constFind(path);
  if (it == pages.constEnd()) it = pages.insert(path, ReadTopics(path));
  return it->contains(topic);
}

// The lower edge of the owner's title area and menu bar, in screen
// coordinates: the top of its client area, or below its menu bar when it has
// one.
int BelowMenuBar(const QWidget& owner) {
  int top = owner.mapToGlobal(QPoint(0, 0)).y();
  if (const auto* main = qobject_cast<const QMainWindow*>(&owner))
    if (const QWidget* bar = main->menuWidget(); bar && bar->isVisible())
      top = std::max(top, bar->mapToGlobal(QPoint(0, bar->height())).y());
  return top;
}

// Where a window of this frame size goes for the owner, as its frame: beside
// the owner (right, else left), its top level with the lower edge of the
// owner's menu bar, moved up or down only as far as the screen needs. When
// neither side has room it overlaps the owner at the screen's right edge,
// below the menu bar, and is shortened to the screen rather than moved up
// over the menu bar.
QRect FrameBeside(const QWidget& owner, QSize frame) {
  const QScreen* screen = owner.screen();
  const QRect area = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), frame);
  const QRect ownerFrame = owner.frameGeometry();
  frame = frame.boundedTo(area.size());
  const int top = BelowMenuBar(owner);
  int x = ownerFrame.right() + 1;
  bool beside = x + frame.width() - 1 <= area.right();
  if (!beside) {
    x = ownerFrame.left() - frame.width();
    beside = x >= area.left();
  }
  if (beside)
    return {QPoint(x, std::clamp(top, area.top(), area.bottom() - frame.height() + 1)), frame};
  const int y = std::max(top, area.top());
  frame.setHeight(std::min(frame.height(), std::max(MinimumHeight, area.bottom() - y + 1)));
  return {QPoint(area.right() - frame.width() + 1, y), frame};
}

// The help window: a text browser on the page. It belongs to a top-level
// window of the program. A running modal dialog blocks every window but its
// own, so while one runs the help window belongs to it; when that dialog
// closes, the help window moves on to the dialog's owner and stays open
// instead of being destroyed with the dialog.
class HelpWindow : public QWidget {
 public:
  HelpWindow() {
    setWindowTitle(QString::fromStdString(Text(TextId::HelpTitle)));
    // The help window alone never keeps the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    browser_ = new QTextBrowser(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setFocus();
    resize(PreferredSize);
  }

  QTextBrowser* Browser() const { return browser_; }

  // Places the window beside owner when it is about to be shown for that
  // owner for the first time. A window already on the screen stays where it
  // is, and one shown again for the same owner reopens where it was left.
  void PlaceFor(QWidget* owner) {
    if (!owner || owner == placedFor_ || isVisible()) return;
    placedFor_ = owner;
    // The frame's margins are known once the window has been shown; until
    // then the owner's, drawn by the same window manager, stand in for them.
    // The size is kept as the window has it.
    QSize margins = frameGeometry().size() - geometry().size();
    if (margins.isNull()) margins = owner->frameGeometry().size() - owner->geometry().size();
    const QRect frame = FrameBeside(*owner, size() + margins);
    resize(frame.size() - margins);
    move(frame.topLeft());  // a window's position is that of its frame
  }

  // Moves the window to owner (none: an independent top-level window),
  // keeping its place, size and visibility.
  void SetOwner(QWidget* owner) {
    if (owner == parentWidget()) return;
    if (modalOwner_) modalOwner_->removeEventFilter(this);
    modalOwner_ = nullptr;
    const bool shown = isVisible();
    const QRect place = geometry();
    setParent(owner, Qt::Window);  // hides the window
    if (shown) {
      setGeometry(place);
      show();
    }
    if (owner && owner->isModal()) {
      modalOwner_ = owner;
      owner->installEventFilter(this);
    }
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
      close();  // hides: the window is kept for the next request
      return;
    }
    QWidget::keyPressEvent(event);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == modalOwner_ && event->type() == QEvent::Hide) {
      QWidget* next = modalOwner_->parentWidget();
      SetOwner(next ? next->window() : nullptr);
    }
    return QWidget::eventFilter(watched, event);
  }

 private:
  QTextBrowser* browser_ = nullptr;
  QPointer<QWidget> modalOwner_;
  QPointer<QWidget> placedFor_;
};

}  // namespace

void SelectHelpLanguage(bool english) {
  englishPage = english;
}

bool HasHelpTopic(int topic) {
  return PageHasTopic(topic);
}

void ShowHelpTopic(QWidget* parent, int topic) {
  static QPointer<HelpWindow> window;  // gone when its owner was destroyed
  if (!HasHelpTopic(topic)) topic = ContentsTopic;
  if (!window) window = new HelpWindow;

  QWidget* owner = QApplication::activeModalWidget();
  if (!owner && parent) owner = parent->window();
  if (owner == window) owner = window->parentWidget();  // asked from the help window itself
  window->SetOwner(owner);
  window->PlaceFor(owner);

  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();

  // The page is loaded once; later requests only scroll to their anchor,
  // and each one goes into the browser's history (Alt+Left goes back).
  window->Browser()->setSource(QUrl("qrc" + PagePath() + "#" + AnchorName(topic)));
}

}  // namespace kalvex
