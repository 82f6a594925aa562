// The desktop's SEG-Y items: the current recording goes out as SEG-Y, and a
// SEG-Y file's traces come back through the mapping dialog as a new
// recording file that is then open, with the counts it went out with.
#include <gtest/gtest.h>

#include <QAction>

#include "SegyImportDialog.h"
#include "SegyMenu.h"
#include "platform/FileAccess.h"
#include "segy/SegyCodec.h"
#include "shell/TextCatalogue.h"
#include "support/SampleMainWindow.h"

namespace kalvex {
namespace {

TEST(SegyMenuTest, RecordingGoesOutAndComesBackThroughTheDialog) {
  test::SampleMainWindow w("dodida.qrm");
  ASSERT_TRUE(w.started);
  TForm1& main = *w.main;
  EXPECT_TRUE(main.findChild<QAction*>(QStringLiteral("ExportSegy"))->isEnabled());
  std::vector<std::vector<std::int16_t>> sent;
  for (int slot = 0; slot < 3; ++slot) sent.push_back(main.Recording().Channels[slot]->Samples);

  const std::string segy = NativePath(w.dir.filePath(QStringLiteral("out.sgy")));
  ASSERT_TRUE(main.Segy().ExportTo(segy));
  FileReadResult file = ReadFileBytes(segy, 1 << 24);
  SegyImage image;
  ASSERT_EQ(DecodeSegy(file.bytes, image), std::nullopt);
  ASSERT_EQ(image.traces.size(), 4u);  // REF, RM, BP and the ground force

  SegyImportDialog dialog(image, "out.sgy", Dodida, *w.ui, &main);
  const std::vector<std::pair<std::string, int>> own{{"REF", 1}, {"RM", 2}, {"BP", 3}};
  EXPECT_EQ(dialog.Pairs(), own);
  dialog.SetMode(Ombrel16);  // traces of another mode by name, where names match
  EXPECT_EQ(dialog.Pairs(), (std::vector<std::pair<std::string, int>>{{"REF", 1}}));
  image.traces[0].name.clear();  // else in order
  dialog.SetMode(Velnarund);
  EXPECT_EQ(dialog.Pairs().size(), 4u);
  dialog.SetMode(Ombrel16);
  dialog.ChooseTrace(1, 0);
  EXPECT_EQ(dialog.Pairs().size(), 1u);
  image.traces[0].name = "REF";
  dialog.SetMode(Dodida);

  const std::string back = NativePath(w.dir.filePath(QStringLiteral("back.qrm")));
  ASSERT_TRUE(main.Segy().ImportInto(image, dialog.Mode(), dialog.Pairs(), dialog.Scales(), back));
  EXPECT_TRUE(w.ui->errors.empty());
  EXPECT_EQ(main.Recording().Name, back);
  for (int slot = 0; slot < 3; ++slot)
    EXPECT_EQ(main.Recording().Channels[slot]->Samples, sent[slot]) << slot;
  ASSERT_EQ(w.ui->infos.size(), 1u);
  EXPECT_NE(w.ui->infos[0].find("8500"), std::string::npos) << w.ui->infos[0];

  // A mapping the mode cannot take is said, and the open recording stays.
  EXPECT_FALSE(main.Segy().ImportInto(image, Dodida, {{"GF", 4}}, {}, back + "2"));
  EXPECT_EQ(w.ui->errors.size(), 1u);
  EXPECT_EQ(main.Recording().Name, back);
}

}  // namespace
}  // namespace kalvex
