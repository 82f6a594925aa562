// Which graphs the report shows, by recording mode.

#include <gtest/gtest.h>

#include "graphs/GraphTypes.h"
#include "graphs/ReportGrid.h"
#include "recordings/TFrmFile.h"

namespace kalvex {
namespace {

std::vector<std::tuple<int, int, int, int>> Layout(const std::vector<ReportCell>& cells) {
  std::vector<std::tuple<int, int, int, int>> out;
  for (const ReportCell& c : cells) out.emplace_back(c.column, c.row, c.type, c.option);
  return out;
}

TEST(ReportGridTest, ModeThreeShowsDistortionBpRmPhaseAndPowerOnTheRight) {
  TFrmFile rec;
  rec.Mode = Dodida;
  auto cells = ReportCells(rec);
  EXPECT_EQ(Layout(cells), (std::vector<std::tuple<int, int, int, int>>{{0, 1, SignalTraces, 0},
                                                                        {0, 2, Amplitude, 0},
                                                                        {0, 3, Phase, 0},
                                                                        {0, 4, Harmonics, 0},
                                                                        {1, 0, FrequencyVsTime, 0},
                                                                        {1, 1, Correlation, 0},
                                                                        {1, 2, Distortion, 0},
                                                                        {1, 3, Phase, 1},
                                                                        {1, 4, Power, 0}}));
  EXPECT_EQ(cells[0].title, "GF signal(T)");
  EXPECT_EQ(cells[8].title, "2-d Power (kW)");

  rec.Mode = Velnarund;
  cells = ReportCells(rec);
  EXPECT_EQ(cells[0].title, "VIB signal(T)");
  EXPECT_EQ((std::tuple{cells[6].type, cells[6].option, cells[6].title}),
            (std::tuple{int{Correlation}, 1, std::string("Correlation (lin)")}));
  EXPECT_EQ(cells[8].type, Spectrum);
}

TEST(ReportGridTest, SimilarityShowsOneCorrelationPerChannelInUse) {
  TFrmFile rec;
  rec.Mode = Similarity;
  EXPECT_TRUE(ReportCells(rec).empty());  // no channel in use
  rec.SimilarityChannels[2] = {true, false, "VIB2"};
  rec.SimilarityChannels[4] = {true, true, "VIB4"};
  const auto cells = ReportCells(rec);
  ASSERT_EQ(cells.size(), 6u);
  EXPECT_EQ(cells[0].title, "Fundamental(V)[VIB2,VIB4]");
  EXPECT_EQ(cells[3].title, "Harmonics: 2-d[VIB2,VIB4]");
  EXPECT_EQ(Layout({cells[4], cells[5]}), (std::vector<std::tuple<int, int, int, int>>{
                                              {1, 1, Correlation, 2}, {1, 3, Correlation, 4}}));
  EXPECT_EQ(cells[5].title, "Correlation dB [REF-VIB4]");
}

}  // namespace
}  // namespace kalvex
