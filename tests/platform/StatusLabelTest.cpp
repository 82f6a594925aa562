// The status panel leaves out the middle of a text too long for it and offers
// the whole text as its tooltip; a text that fits has no tooltip.

#include <gtest/gtest.h>

#include "platform/StatusLabel.h"
#include "support/QtApplication.h"

namespace kalvex {
namespace {

TEST(StatusLabelTest, ALongTextIsShortenedInTheMiddleAndIsTheTooltip) {
  test::EnsureApplication();
  StatusLabel label;
  label.setFixedWidth(120);
  label.setText("PDF: r.pdf");
  label.grab();  // paints
  EXPECT_TRUE(label.toolTip().isEmpty());
  const QString path = "PDF: /home/crew/projects/survey-2026/vibrators/report1.pdf";
  label.setText(path);
  label.grab();
  EXPECT_EQ(label.toolTip(), path);
  EXPECT_EQ(label.text(), path);  // what the program set stays whole
}

}  // namespace
}  // namespace kalvex
