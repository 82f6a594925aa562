// The QPainter canvas on an image: where fills, lines and text land, the
// text metrics the plot layout is built from, the rotated legend font, the
// colours, and the PNG written from the image.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <optional>
#include <set>

#include "platform/QtCanvas.h"
#include "support/QtApplication.h"

namespace kalvex {
namespace {

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;  // inclusive
  int Width() const { return right - left + 1; }
  int Height() const { return bottom - top + 1; }
};

// The bounding box of the pixels that are not white.
std::optional<Box> InkBox(const QImage& image) {
  std::optional<Box> box;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == qRgb(255, 255, 255)) continue;
      if (!box) box = Box{x, y, x, y};
      box->left = std::min(box->left, x);
      box->right = std::max(box->right, x);
      box->top = std::min(box->top, y);
      box->bottom = std::max(box->bottom, y);
    }
  return box;
}

CanvasFont Font(const char* name, int height, int width = 0, int escapement = 0) {
  CanvasFont f;
  f.name = name;
  f.height = height;
  f.width = width;
  f.escapement = escapement;
  return f;
}

class QtCanvasTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { test::EnsureApplication(); }

  ImageCanvas image_{400, 300};
  Canvas& canvas_ = image_.Surface();
};

TEST_F(QtCanvasTest, TextMetricsGrowWithTheTextAndStayTheSame) {
  EXPECT_EQ(canvas_.TextWidth(""), 0);
  const int one = canvas_.TextWidth("9");
  EXPECT_GT(one, 0);
  EXPECT_GT(canvas_.TextWidth("99"), one);
  EXPECT_GT(canvas_.TextWidth("-999.9999"), canvas_.TextWidth("99"));
  EXPECT_EQ(canvas_.TextWidth("-999.9999"), canvas_.TextWidth("-999.9999"));
  EXPECT_GT(canvas_.TextHeight("X"), 0);
  EXPECT_EQ(canvas_.TextHeight("X"), canvas_.TextHeight("-999.9999"));

  // The default font is 8 points: about 11 pixels of character height on a
  // 96-dpi image, a little more with the leading.
  EXPECT_GE(canvas_.TextHeight("X"), 10);
  EXPECT_LE(canvas_.TextHeight("X"), 15);
}

TEST_F(QtCanvasTest, PixelHeightsOfBothSigns) {
  // Negative: the character height; the cell is a little taller.
  canvas_.SetFont(Font("Courier New", -11));
  EXPECT_GE(canvas_.TextHeight("X"), 11);
  EXPECT_LE(canvas_.TextHeight("X"), 14);
  // Positive: the whole cell.
  canvas_.SetFont(Font("Arial", 10));
  EXPECT_LE(canvas_.TextHeight("X"), 10);
  EXPECT_GE(canvas_.TextHeight("X"), 9);
  canvas_.SetFont(Font("Arial", 40));
  EXPECT_LE(canvas_.TextHeight("X"), 40);
  EXPECT_GE(canvas_.TextHeight("X"), 38);
}

TEST_F(QtCanvasTest, CourierNewIsMonospacedAndArialIsNot) {
  // Both must reach a real font (or its metric equivalent), not a default.
  canvas_.SetFont(Font("Courier New", -11));
  EXPECT_EQ(canvas_.TextWidth("iiii"), canvas_.TextWidth("WWWW"));
  EXPECT_EQ(canvas_.TextWidth("+1.234"), canvas_.TextWidth("-9.876"));
  canvas_.SetFont(Font("Arial", -11));
  EXPECT_LT(canvas_.TextWidth("iiii"), canvas_.TextWidth("WWWW"));
}

TEST_F(QtCanvasTest, TextIsUtf8) {
  // Cyrillic En and Latin H are the same glyph in these fonts; read as
  // Latin-1, the two bytes of "Н" would be two other characters.
  canvas_.SetFont(Font("Arial", -11));
  EXPECT_EQ(canvas_.TextWidth("Н"), canvas_.TextWidth("H"));
  canvas_.PutText(10, 10, "Нет сигнала");
  EXPECT_TRUE(InkBox(image_.Finish()));
}

TEST_F(QtCanvasTest, TextLiesBelowAndRightOfItsPoint) {
  const int width = canvas_.TextWidth("XXXX");
  const int height = canvas_.TextHeight("XXXX");
  canvas_.PutText(50, 40, "XXXX");
  std::optional<Box> ink = InkBox(image_.Finish());
  ASSERT_TRUE(ink);
  EXPECT_GE(ink->left, 50);
  EXPECT_LE(ink->right, 50 + width);
  EXPECT_GE(ink->top, 40);
  EXPECT_LT(ink->bottom, 40 + height);
  // Capitals fill most of the cell: the point is not the baseline.
  EXPECT_LE(ink->top, 40 + height / 3);
  EXPECT_GE(ink->Width(), width / 2);
}

TEST_F(QtCanvasTest, FillCoversLeftTopButNotRightBottom) {
  canvas_.SetBrushColour(0x112233);
  canvas_.FillRect(10, 20, 30, 25);
  canvas_.FillRect(50, 50, 50, 60);  // empty
  canvas_.FillRect(80, 80, 70, 90);  // inverted
  const QImage& image = image_.Finish();
  std::optional<Box> ink = InkBox(image);
  ASSERT_TRUE(ink);
  EXPECT_EQ(ink->left, 10);
  EXPECT_EQ(ink->top, 20);
  EXPECT_EQ(ink->right, 29);
  EXPECT_EQ(ink->bottom, 24);
  EXPECT_EQ(image.pixel(10, 20), qRgb(0x11, 0x22, 0x33));
  EXPECT_EQ(image.pixel(29, 24), qRgb(0x11, 0x22, 0x33));
}

TEST_F(QtCanvasTest, LinesAreOnePixelWithoutAntialiasing) {
  canvas_.SetPenColour(0x0000FF);
  canvas_.MoveTo(30, 50);
  canvas_.LineTo(60, 50);
  const QImage& image = image_.Finish();
  std::optional<Box> ink = InkBox(image);
  ASSERT_TRUE(ink);
  EXPECT_EQ(ink->top, 50);
  EXPECT_EQ(ink->bottom, 50);
  EXPECT_EQ(ink->left, 30);
  EXPECT_GE(ink->right, 59);
  EXPECT_LE(ink->right, 60);
  for (int x = 30; x < 60; ++x) EXPECT_EQ(image.pixel(x, 50), qRgb(0, 0, 255)) << x;
}

TEST_F(QtCanvasTest, LinesChainFromTheCurrentPoint) {
  canvas_.SetPenColour(0x00FF00);
  canvas_.MoveTo(100, 100);
  canvas_.LineTo(100, 150);  // down
  canvas_.LineTo(180, 190);  // diagonal from (100, 150)
  canvas_.MoveTo(300, 10);
  canvas_.LineTo(300, 20);
  const QImage& image = image_.Finish();
  for (int y = 100; y < 150; ++y) EXPECT_EQ(image.pixel(100, y), qRgb(0, 255, 0)) << y;
  EXPECT_EQ(image.pixel(300, 15), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(200, 15), qRgb(255, 255, 255));  // MoveTo drew nothing

  // The diagonal: one pure-green pixel per column, nothing blended.
  std::set<QRgb> colours;
  for (int x = 101; x < 180; ++x) {
    int lit = 0;
    for (int y = 140; y < 200; ++y) {
      colours.insert(image.pixel(x, y));
      lit += image.pixel(x, y) != qRgb(255, 255, 255);
    }
    EXPECT_EQ(lit, 1) << x;
  }
  EXPECT_EQ(colours, (std::set<QRgb>{qRgb(255, 255, 255), qRgb(0, 255, 0)}));
}

TEST_F(QtCanvasTest, TextIsInTheFontColourNotThePenColour) {
  canvas_.SetPenColour(0x00FF00);
  CanvasFont f = Font("Arial", -20);
  f.colour = 0xFF0000;
  canvas_.SetFont(f);
  canvas_.PutText(20, 20, "WWW");
  const QImage& image = image_.Finish();
  int red = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (p == qRgb(255, 255, 255)) continue;
      // Antialiased edges blend red into white: red stays full, green and
      // blue fall together.
      EXPECT_EQ(qRed(p), 255);
      EXPECT_EQ(qGreen(p), qBlue(p));
      red += p == qRgb(255, 0, 0);
    }
  EXPECT_GT(red, 20);
}

TEST_F(QtCanvasTest, RotatedTextRunsUpFromItsPoint) {
  const CanvasFont legend = Font("Arial", 10, 8, 900);
  canvas_.SetFont(legend);
  const int width = canvas_.TextWidth("Channel 1");
  const int height = canvas_.TextHeight("Channel 1");
  canvas_.PutText(200, 250, "Channel 1");
  // The painter is upright again after the rotated text.
  canvas_.SetBrushColour(0x000000);
  canvas_.FillRect(10, 10, 12, 12);
  const QImage& image = image_.Finish();

  std::optional<Box> ink = InkBox(image.copy(100, 100, 300, 200));
  ASSERT_TRUE(ink);
  ink->left += 100, ink->right += 100, ink->top += 100, ink->bottom += 100;
  EXPECT_GT(ink->Height(), 3 * ink->Width());
  EXPECT_GE(ink->left, 200);
  EXPECT_LE(ink->right, 200 + height);
  EXPECT_LE(ink->bottom, 250);
  EXPECT_GE(ink->top, 250 - width);
  EXPECT_GE(ink->Height(), width * 3 / 4);
  EXPECT_EQ(image.pixel(10, 10), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(11, 11), qRgb(0, 0, 0));
}

TEST_F(QtCanvasTest, AverageWidthWidensTheFont) {
  canvas_.SetFont(Font("Arial", 10));
  const int natural = canvas_.TextWidth("Channel 1");
  canvas_.SetFont(Font("Arial", 10, 8));
  const int wide = canvas_.TextWidth("Channel 1");
  EXPECT_GT(wide, natural * 3 / 2);
  EXPECT_LE(canvas_.TextHeight("X"), 10);
}

TEST(ImageCanvasTest, SavesAWhitePictureAsPng) {
  test::EnsureApplication();
  QTemporaryDir dir;
  ImageCanvas image(64, 32);
  ASSERT_TRUE(image.Valid());
  image.Surface().SetBrushColour(0x336699);
  image.Surface().FillRect(0, 0, 1, 1);
  const QString path = dir.filePath("graph.png");
  ASSERT_EQ(image.SavePng(path.toStdString()), "");

  QImage back(path, "PNG");
  ASSERT_FALSE(back.isNull());
  EXPECT_EQ(back.size(), QSize(64, 32));
  EXPECT_EQ(back.pixel(0, 0), qRgb(0x33, 0x66, 0x99));
  EXPECT_EQ(back.pixel(63, 31), qRgb(255, 255, 255));
  EXPECT_EQ(back.pixel(1, 0), qRgb(255, 255, 255));

  // After the drawing has ended the canvas draws nothing more.
  image.Surface().FillRect(0, 0, 64, 32);
  EXPECT_EQ(image.Finish().pixel(63, 31), qRgb(255, 255, 255));
}

// What the report page needs: wide pen lines, bold and underlined text and
// a small picture stretched into blocks of its pixels.
TEST_F(QtCanvasTest, PenWidthUnderlineAndStretchedPicture) {
  canvas_.SetPenWidth(5);
  canvas_.MoveTo(20, 20);
  canvas_.LineTo(120, 20);
  canvas_.SetPenWidth(1);
  canvas_.MoveTo(20, 60);
  canvas_.LineTo(120, 60);
  CanvasFont plain = Font("Arial", -20);
  canvas_.SetFont(plain);
  const int plainWidth = canvas_.TextWidth("Report");
  CanvasFont bold = plain;
  bold.weight = 700;
  bold.underline = true;
  canvas_.SetFont(bold);
  EXPECT_GT(canvas_.TextWidth("Report"), plainWidth);
  canvas_.PutText(200, 100, "Report");
  const int underlineBottom = 100 + canvas_.TextHeight("Report");
  const CanvasImage picture{2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0x000000}};
  canvas_.DrawImage(300, 200, 340, 240, picture);
  canvas_.DrawImage(0, 0, 10, 10, CanvasImage{3, 3, {0x000000}});  // too few pixels: nothing

  const QImage& image = image_.Finish();
  int thick = 0, thin = 0;
  for (int y = 10; y < 30; ++y) thick += image.pixel(70, y) != qRgb(255, 255, 255);
  for (int y = 50; y < 70; ++y) thin += image.pixel(70, y) != qRgb(255, 255, 255);
  EXPECT_EQ(thick, 5);
  EXPECT_EQ(thin, 1);
  // The underline: a run of ink under the letters, across most of the word.
  int longestRun = 0;
  for (int y = 100; y < underlineBottom; ++y) {
    int run = 0;
    for (int x = 200; x < 200 + canvas_.TextWidth("Report"); ++x) {
      run = image.pixel(x, y) != qRgb(255, 255, 255) ? run + 1 : 0;
      longestRun = std::max(longestRun, run);
    }
  }
  EXPECT_GT(longestRun, plainWidth * 3 / 4);
  // Each picture pixel is a 20 x 20 block, unsmoothed up to its edges.
  EXPECT_EQ(image.pixel(300, 200), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(319, 219), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(320, 219), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(300, 220), qRgb(0, 0, 255));
  EXPECT_EQ(image.pixel(339, 239), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(340, 240), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 255));
}

TEST(ImageCanvasTest, FailuresAreReportedAndLeaveNoFile) {
  test::EnsureApplication();
  QTemporaryDir dir;
  ImageCanvas image(16, 16);
  const QString missing = dir.filePath("no-such-folder/graph.png");
  EXPECT_NE(image.SavePng(missing.toStdString()), "");
  EXPECT_FALSE(QFile::exists(missing));

  ImageCanvas empty(0, 10);
  EXPECT_FALSE(empty.Valid());
  empty.Surface().FillRect(0, 0, 5, 5);  // harmless
  EXPECT_NE(empty.SavePng(dir.filePath("empty.png").toStdString()), "");
  EXPECT_FALSE(QFile::exists(dir.filePath("empty.png")));
}

}  // namespace
}  // namespace kalvex
