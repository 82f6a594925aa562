// The bundled help: every topic number the program opens has a section, the
// contents reach every section, and the help window shows the section asked
// for, reuses one window and stays usable beside a running modal dialog. The
// English page holds the same topics; the window opens beside its owner, off
// the owner's menu bar, and Esc hides it.

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QDialog>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextLayout>
#include <QTimer>

#include "platform/HelpViewer.h"
#include "support/QtApplication.h"

namespace kalvex {
namespace {

// Every topic number some window or dialog of the program opens.
const QList<int> ProgramTopics = {20,  50,  120, 130, 140, 141, 150, 160, 170, 171, 172, 173, 202,
                                  203, 204, 205, 206, 207, 208, 211, 212, 213, 214, 215, 216, 217,
                                  218, 219, 221, 231, 232, 233, 235, 236, 237, 238, 244, 247, 248};

QList<QWidget*> HelpWindows() {
  QList<QWidget*> found;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->windowTitle() == "Справка" && widget->findChild<QTextBrowser*>())
      found.append(widget);
  return found;
}

QWidget* HelpWindow() {
  const QList<QWidget*> windows = HelpWindows();
  return windows.size() == 1 ? windows.front() : nullptr;
}

QTextBrowser* HelpBrowser() {
  QWidget* window = HelpWindow();
  return window ? window->findChild<QTextBrowser*>() : nullptr;
}

int TopicOfAnchor(const QString& name) {
  if (!name.startsWith("topic-")) return -1;
  bool ok = false;
  const int topic = name.mid(6).toInt(&ok);
  return ok ? topic : -1;
}

// Where the topic's anchor starts in the laid-out page (document pixels), or
// -1 when the page has no such anchor.
int AnchorTop(QTextBrowser* browser, int topic) {
  QTextDocument* page = browser->document();
  for (QTextBlock block = page->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      for (const QString& name : it.fragment().charFormat().anchorNames()) {
        if (TopicOfAnchor(name) != topic) continue;
        const QRectF box = page->documentLayout()->blockBoundingRect(block);
        const QTextLine line =
            block.layout()->lineForTextPosition(it.fragment().position() - block.position());
        return qRound(box.top() + (line.isValid() ? line.y() : 0.0));
      }
    }
  }
  return -1;
}

// The topics the shown page has anchors for, and those its links point to.
struct PageTopics {
  QSet<int> anchors, links;
};
PageTopics TopicsOf(QTextBrowser* browser) {
  PageTopics page;
  for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      for (const QString& name : format.anchorNames()) page.anchors.insert(TopicOfAnchor(name));
      if (!format.anchorHref().isEmpty())
        page.links.insert(TopicOfAnchor(format.anchorHref().mid(1)));
    }
  return page;
}

// Selects the English page for the life of the object.
struct EnglishHelp {
  EnglishHelp() { SelectHelpLanguage(true); }
  ~EnglishHelp() { SelectHelpLanguage(false); }
};

bool AnchorInView(QTextBrowser* browser, int topic) {
  const int top = AnchorTop(browser, topic);
  const int first = browser->verticalScrollBar()->value();
  return top >= first && top < first + browser->viewport()->height();
}

class HelpViewerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureApplication(); }

  // Shows the topic in a help window of fixed size, so that scroll positions
  // compare between topics.
  static QTextBrowser* Show(int topic) {
    ShowHelpTopic(nullptr, topic);
    QWidget* window = HelpWindow();
    if (!window) return nullptr;
    if (window->size() != QSize(600, 400)) {
      window->resize(600, 400);
      ShowHelpTopic(nullptr, topic);  // scroll again at the new size
    }
    return HelpBrowser();
  }
};

TEST_F(HelpViewerTest, EveryTopicOfTheProgramHasASection) {
  for (int topic : ProgramTopics) EXPECT_TRUE(HasHelpTopic(topic)) << topic;
  // A topic number is matched whole, not as the start of a longer one.
  for (int topic : {0, 2, 5, 14, 21, 24, 2000, -20}) EXPECT_FALSE(HasHelpTopic(topic)) << topic;
}

TEST_F(HelpViewerTest, ContentsLinkToEveryOtherTopicAndNoLinkDangles) {
  QTextBrowser* browser = Show(20);
  ASSERT_NE(browser, nullptr);
  QSet<int> fromContents;
  bool inContents = false;
  for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      for (const QString& name : format.anchorNames()) {
        if (TopicOfAnchor(name) >= 0) inContents = TopicOfAnchor(name) == 20;
      }
      if (!format.isAnchor() || format.anchorHref().isEmpty()) continue;
      const QString href = format.anchorHref();
      ASSERT_TRUE(href.startsWith("#")) << "link leaving the page: " << href.toStdString();
      const int target = TopicOfAnchor(href.mid(1));
      EXPECT_TRUE(HasHelpTopic(target)) << "dangling link: " << href.toStdString();
      if (inContents) fromContents.insert(target);
    }
  }
  for (int topic : ProgramTopics) {
    if (topic != 20) {
      EXPECT_TRUE(fromContents.contains(topic)) << topic;
    }
  }
}

TEST_F(HelpViewerTest, EachTopicIsScrolledIntoView) {
  const int contentsScroll = Show(20)->verticalScrollBar()->value();
  for (int topic : ProgramTopics) {
    QTextBrowser* browser = Show(topic);
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(AnchorInView(browser, topic)) << topic;
  }
  // The last sections of the page lie far below the contents.
  EXPECT_GT(Show(238)->verticalScrollBar()->value(), contentsScroll);
  EXPECT_GT(Show(173)->verticalScrollBar()->value(), contentsScroll);
}

TEST_F(HelpViewerTest, AskingAgainForTheShownTopicScrollsBackToIt) {
  QTextBrowser* browser = Show(150);
  ASSERT_NE(browser, nullptr);
  browser->verticalScrollBar()->setValue(browser->verticalScrollBar()->maximum());
  ASSERT_FALSE(AnchorInView(browser, 150));
  Show(150);
  EXPECT_TRUE(AnchorInView(browser, 150));
}

TEST_F(HelpViewerTest, UnknownTopicShowsTheContents) {
  QTextBrowser* browser = Show(20);
  ASSERT_NE(browser, nullptr);
  const int contentsScroll = browser->verticalScrollBar()->value();
  for (int topic : {0, 12345, -1}) {
    Show(238);
    ASSERT_GT(browser->verticalScrollBar()->value(), contentsScroll);
    Show(topic);
    EXPECT_EQ(browser->verticalScrollBar()->value(), contentsScroll) << topic;
    EXPECT_TRUE(AnchorInView(browser, 20)) << topic;
  }
}

TEST_F(HelpViewerTest, OneWindowIsReusedAndShownAgainAfterClosing) {
  ShowHelpTopic(nullptr, 50);
  QPointer<QWidget> first = HelpWindow();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  EXPECT_FALSE(first->isModal());

  QWidget mainWindow;
  mainWindow.show();
  QWidget* button = new QWidget(&mainWindow);
  ShowHelpTopic(button, 140);
  EXPECT_EQ(HelpWindows().size(), 1);
  EXPECT_EQ(HelpWindow(), first);
  EXPECT_EQ(first->parentWidget(), &mainWindow);  // owned by the asking widget's window

  first->close();
  ASSERT_FALSE(first.isNull());
  ShowHelpTopic(button, 141);
  EXPECT_EQ(HelpWindow(), first);
  EXPECT_TRUE(first->isVisible());
}

// A modal dialog blocks input to every window but its own: the help opened
// from its help button must still take keys, and must not vanish with the
// dialog.
TEST_F(HelpViewerTest, HelpFromAModalDialogTakesInputAndOutlivesTheDialog) {
  QWidget mainWindow;
  mainWindow.show();
  ShowHelpTopic(&mainWindow, 20);  // a help window already owned by the main window
  QPointer<QWidget> help = HelpWindow();
  ASSERT_NE(help, nullptr);

  auto dialog = std::make_unique<QDialog>(&mainWindow);
  int scrollBefore = -1;
  int scrollAfterKey = -1;
  QTimer::singleShot(0, dialog.get(), [&] {
    ShowHelpTopic(nullptr, 160);  // asked without a parent, as a shortcut would
    QTextBrowser* browser = HelpBrowser();
    if (browser) {
      scrollBefore = browser->verticalScrollBar()->value();
      QTest::keyClick(help->windowHandle(), Qt::Key_End);
      scrollAfterKey = browser->verticalScrollBar()->value();
    }
    dialog->accept();
  });
  dialog->exec();

  EXPECT_GT(scrollAfterKey, scrollBefore);
  dialog.reset();
  ASSERT_FALSE(help.isNull());
  EXPECT_TRUE(help->isVisible());
  EXPECT_EQ(help->parentWidget(), &mainWindow);
  EXPECT_EQ(HelpWindow(), help);
}

TEST_F(HelpViewerTest, EnglishPageHoldsTheSameTopicsAndIsShownWhenSelected) {
  QTextBrowser* browser = Show(20);
  ASSERT_NE(browser, nullptr);
  const QSet<int> russian = TopicsOf(browser).anchors;
  ASSERT_TRUE(russian.contains(20));

  {
    EnglishHelp english;
    browser = Show(20);
    EXPECT_TRUE(browser->source().path().endsWith("/help_en.html"));
    EXPECT_TRUE(browser->toPlainText().startsWith("Contents"));
    const PageTopics page = TopicsOf(browser);
    EXPECT_EQ(page.anchors.size(), russian.size());
    for (int topic : russian) EXPECT_TRUE(page.anchors.contains(topic)) << topic;
    for (int target : page.links) EXPECT_TRUE(page.anchors.contains(target)) << target;
    for (int topic : ProgramTopics) EXPECT_TRUE(HasHelpTopic(topic)) << topic;
    EXPECT_TRUE(AnchorInView(Show(238), 238));
  }

  // Back to Russian: the next request loads the Russian page again.
  browser = Show(20);
  EXPECT_TRUE(browser->source().path().endsWith("/help.html"));
  EXPECT_FALSE(browser->toPlainText().startsWith("Contents"));
}

TEST_F(HelpViewerTest, EscHidesTheWindowAndKeepsItForTheNextRequest) {
  ShowHelpTopic(nullptr, 50);
  QPointer<QWidget> window = HelpWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(window->isVisible());
  QTest::keyClick(HelpBrowser(), Qt::Key_Escape);
  ASSERT_FALSE(window.isNull());
  EXPECT_FALSE(window->isVisible());
  ShowHelpTopic(nullptr, 50);
  EXPECT_EQ(HelpWindow(), window);
  EXPECT_TRUE(window->isVisible());
}

// The help window must never hide the menus of the window it was asked from:
// with room beside the owner it goes there; without, it overlaps the owner
// only below the menu bar. Either way it stays on the screen.
TEST_F(HelpViewerTest, WindowOpensOffTheOwnersMenuBar) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  struct Case {
    const char* name;
    QRect owner;
    bool roomBeside;
  };
  const Case cases[] = {
      {"room on the right", {screen.left(), screen.top() + 40, 120, 300}, true},
      {"room on the left", {screen.right() - 120, screen.top() + 40, 120, 300}, true},
      {"owner as wide as the screen", {screen.left(), screen.top(), screen.width(), 400}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (QWidget* window : HelpWindows()) window->close();  // shown afresh below
    QMainWindow owner;
    owner.menuBar()->addMenu("Файл");
    owner.setGeometry(c.owner);
    owner.show();
    ShowHelpTopic(owner.menuBar(), 20);
    QWidget* help = HelpWindow();
    ASSERT_NE(help, nullptr);
    const QRect frame = help->frameGeometry();
    const QRect menuBar(owner.menuBar()->mapToGlobal(QPoint(0, 0)), owner.menuBar()->size());
    EXPECT_FALSE(frame.intersects(menuBar));
    EXPECT_TRUE(screen.contains(frame));
    EXPECT_EQ(frame.intersects(owner.frameGeometry()), !c.roomBeside);
    help->close();
  }
}

}  // namespace
}  // namespace kalvex
