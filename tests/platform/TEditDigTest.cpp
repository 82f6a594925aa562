// The numeric entry field as a user types into it: the key filter applied to
// real key presses, the caret position it is given, and the keys it leaves to
// the line edit.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "platform/TEditDig.h"
#include "support/QtApplication.h"

namespace kalvex {
namespace {

class TEditDigTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureApplication(); }
  TEditDig field_;
};

TEST_F(TEditDigTest, CommaIsTypedAsPointOnce) {
  field_.SetInteg(false);
  QTest::keyClicks(&field_, "1,5");
  EXPECT_EQ(field_.text(), "1.5");
  QTest::keyClicks(&field_, ",.2");
  EXPECT_EQ(field_.text(), "1.52");
}

TEST_F(TEditDigTest, RefusedKeysLeaveTheTextAlone) {
  QTest::keyClicks(&field_, "a1b2e-3 ");
  EXPECT_EQ(field_.text(), "123");
  QTest::keyClicks(&field_, ",.");  // integer field
  EXPECT_EQ(field_.text(), "123");
}

TEST_F(TEditDigTest, LeadingZeroAndSignFollowTheCaret) {
  field_.SetZnak(true);
  QTest::keyClicks(&field_, "05");
  EXPECT_EQ(field_.text(), "5");
  // Without a selection the caret is the insertion point: back at the start
  // a sign is accepted and a zero is not.
  QTest::keyClick(&field_, Qt::Key_Home);
  QTest::keyClicks(&field_, "0-");
  EXPECT_EQ(field_.text(), "-5");
  QTest::keyClick(&field_, Qt::Key_End);
  QTest::keyClicks(&field_, "0-");
  EXPECT_EQ(field_.text(), "-50");
}

TEST_F(TEditDigTest, EditingKeysStillWork) {
  QTest::keyClicks(&field_, "123");
  QTest::keyClick(&field_, Qt::Key_Backspace);
  QTest::keyClick(&field_, Qt::Key_Left);
  QTest::keyClick(&field_, Qt::Key_Delete);
  EXPECT_EQ(field_.text(), "1");
  EXPECT_EQ(field_.cursorPosition(), 1);
}

TEST_F(TEditDigTest, ReplacedSeparatorRespectsMaxLength) {
  field_.SetInteg(false);
  field_.setMaxLength(2);
  QTest::keyClicks(&field_, "12,");
  EXPECT_EQ(field_.text(), "12");
}

TEST_F(TEditDigTest, SelectedTextIsReplacedByTheSeparator) {
  field_.SetInteg(false);
  QTest::keyClicks(&field_, "125");
  field_.setSelection(1, 1);
  QTest::keyClick(&field_, ',');
  EXPECT_EQ(field_.text(), "1.5");
}

TEST_F(TEditDigTest, PastedTextIsNotFiltered) {
  QGuiApplication::clipboard()->setText("abc");
  if (QGuiApplication::clipboard()->text() != "abc") GTEST_SKIP() << "no clipboard here";
  QTest::keyClick(&field_, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(field_.text(), "abc");
  field_.selectAll();
  QTest::keyClick(&field_, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(field_.text(), "");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "abc");
}

TEST_F(TEditDigTest, PropertiesReachTheFilter) {
  EXPECT_TRUE(field_.Integ());
  EXPECT_FALSE(field_.MayBeNul());
  field_.SetInteg(false);
  EXPECT_TRUE(field_.MayBeNul());
  EXPECT_TRUE(field_.setProperty("AfterZpt", 0));
  EXPECT_EQ(field_.AfterZpt(), -1);
  EXPECT_TRUE(field_.setProperty("Znak", true));
  QTest::keyClicks(&field_, "-0,5");
  EXPECT_EQ(field_.text(), "-0.5");
}

}  // namespace
}  // namespace kalvex
