#include "platform/HelpViewer.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

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
constexpr auto PagePath = ":/help/help.html";
constexpr auto PageUrl = "qrc:/help/help.html";
constexpr auto AnchorPrefix = "topic-";

QString AnchorName(int topic) {
  return AnchorPrefix + QString::number(topic);
}

// The topic numbers of the page's anchors, read once, as the browser reads
// the page (an anchor Qt's rich text does not keep is no topic).
const QSet<int>& PageTopics() {
  static const QSet<int> topics = [] {
    InitHelpResource();
    QSet<int> found;
    QFile file(PagePath);
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
  }();
  return topics;
}

// The help window: a text browser on the page. It belongs to a top-level
// window of the program. A running modal dialog blocks every window but its
// own, so while one runs the help window belongs to it; when that dialog
// closes, the help window moves on to the dialog's owner and stays open
// instead of being destroyed with the dialog.
class HelpWindow : public QWidget {
 public:
  HelpWindow() {
    setWindowTitle("Справка");
    // The help window alone never keeps the program running.
    setAttribute(Qt::WA_QuitOnClose, false);
    browser_ = new QTextBrowser(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setFocus();
    resize(640, 560);
  }

  QTextBrowser* Browser() const { return browser_; }

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
};

}  // namespace

bool HasHelpTopic(int topic) {
  return PageTopics().contains(topic);
}

void ShowHelpTopic(QWidget* parent, int topic) {
  static QPointer<HelpWindow> window;  // gone when its owner was destroyed
  if (!HasHelpTopic(topic)) topic = ContentsTopic;
  if (!window) window = new HelpWindow;

  QWidget* owner = QApplication::activeModalWidget();
  if (!owner && parent) owner = parent->window();
  if (owner == window) owner = window->parentWidget();  // asked from the help window itself
  window->SetOwner(owner);

  window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
  window->activateWindow();

  // The page is loaded once; later requests only scroll to their anchor,
  // and each one goes into the browser's history (Alt+Left goes back).
  window->Browser()->setSource(QUrl(QString(PageUrl) + "#" + AnchorName(topic)));
}

}  // namespace kalvex
