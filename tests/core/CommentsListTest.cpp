// The comments list of a graph window.

#include <gtest/gtest.h>

#include "graphs/CommentsList.h"
#include "graphs/TGrWin.h"
#include "recordings/TFrmFile.h"
#include "recordings/TNFiles.h"

namespace kalvex {
namespace {

using Row = std::vector<std::string>;

TEST(CommentsListTest, OneRowPerRecordingTheWindowShows) {
  TFrmFile rec;
  rec.Name = "/data/vib7.qrm";
  rec.Comment = "после ремонта";
  TGrWin window;
  window.CurveCount = 3;

  ListRequest list = CommentsList(window, rec);
  EXPECT_EQ(list.title, "Комментарии");
  EXPECT_EQ(list.columns, (Row{"N", "Файл", "Комментарий"}));
  ASSERT_EQ(list.rows.size(), 1u);  // not accumulating: the current recording only
  EXPECT_EQ(list.rows[0], (Row{"", "/data/vib7.qrm", "после ремонта"}));

  // Accumulating: the snapshots in curve order (newest first), each with its
  // own number, not the current recording's name.
  TNFiles files;
  TNFile& first = files.AddSnapshot(rec);
  rec.Name = "Rec_10:07:03  ";
  rec.Comment = "";
  TNFile& second = files.AddSnapshot(rec);
  window.Accumulating = true;
  window.CurveCount = 2;
  window.Curves[0].Recording = &second;
  window.Curves[1].Recording = &first;
  list = CommentsList(window, rec);
  ASSERT_EQ(list.rows.size(), 2u);
  EXPECT_EQ(list.rows[0], (Row{"S2", "Rec_10:07:03  ", ""}));
  EXPECT_EQ(list.rows[1], (Row{"S1", "/data/vib7.qrm", "после ремонта"}));
}

}  // namespace
}  // namespace kalvex
