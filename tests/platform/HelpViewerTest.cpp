// The bundled help: every topic number the program opens has a section, the
// contents reach every section, and the help window shows the section asked
// for, reuses one window and stays usable beside a running modal dialog.

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QDialog>
#include <QPointer>
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

}  // namespace
}  // namespace kalvex
