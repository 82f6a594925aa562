// Phase against a reference channel, frequency against time, and the text
// export of the reaction-mass and baseplate tables.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>
#include <sstream>

#include "analysis/FrameAnalyser.h"
#include "analysis/FrequencyAnalysis.h"
#include "analysis/PhaseAnalysis.h"
#include "analysis/SignalsText.h"
#include "graphs/Palette.h"
#include "recordings/FormatNumber.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

class PhaseTest : public ::testing::Test {
 protected:
  // A phase window of the channels against `reference`, computed.
  std::unique_ptr<TGrWin> Phase(test::SignalRecording& s, int reference,
                                std::initializer_list<int> channels) {
    auto w = test::MakeWindow(kalvex::Phase, s.rec);
    Recompute(s, *w, reference, channels);
    return w;
  }
  void Recompute(test::SignalRecording& s, TGrWin& w, int reference,
                 std::initializer_list<int> channels) {
    w.PhaseReference = reference;
    w.PhaseChannels = NoChannels;
    for (int c : channels) w.PhaseChannels[c] = 0;
    w.CurveCount = static_cast<int>(channels.size());
    ComputePhase(s.Context(), w, FrameCount(s.Context()), false, false);
  }
  test::LinkedFftw fftw;
};

TEST_F(PhaseTest, ChannelLikeTheReferenceIsInPhaseEverywhere) {
  test::SignalRecording s(Velnarund, 1000, 4000);
  s.Set(0, test::Tone(9000, 300, 4096, 20));
  s.Set(3, test::Tone(9000, 300, 4096, 20));
  const auto w = Phase(s, 0, {0, 3});
  for (int c = 0; c < 2; ++c) {
    ASSERT_EQ(w->Curves[c].Values->Values.size(), 40u);
    for (double v : w->Curves[c].Values->Values) EXPECT_NEAR(v, 0, 1e-9) << c;
  }
  EXPECT_EQ(w->Curves[0].Name, "REF-REF");
  EXPECT_EQ(w->Curves[1].Name, "Mass-REF");
  EXPECT_EQ(w->Curves[1].Colour, CurveColour(kalvex::Phase, Velnarund, 3));
  EXPECT_EQ(w->Curves[1].Min, -180);
  EXPECT_EQ(w->Curves[1].Max, 180);
  EXPECT_EQ(w->ScaleMode, FitCentreHalfRange);
}

TEST_F(PhaseTest, SteadyRampCrossingHalfATurnIsUnwrappedOnce) {
  // 1/1800 cycle per sample off the reference's bin 64 of 2048: the phase
  // moves 20 degrees per 100 samples and passes ±180 near frame 9.
  for (const double sign : {1.0, -1.0}) {
    test::SignalRecording s(Velnarund, 1000, 1700);
    s.Set(0, test::Tone(9000, 64, 2048));
    s.Set(3, [&](int j) {
      return 9000 * std::sin(2 * std::numbers::pi * (64.0 / 2048 + sign / 1800) * j);
    });
    const auto w = Phase(s, 0, {3});
    const auto& v = w->Curves[0].Values->Values;
    ASSERT_EQ(v.size(), 17u);
    EXPECT_NEAR(v[0], -25.5 * sign, 1);  // frame 0 is centred on sample 127.5
    for (int i = 1; i < 17; ++i) {
      EXPECT_GT((v[i] - v[i - 1]) * -sign, 3) << sign << " frame " << i;
      EXPECT_LT((v[i] - v[i - 1]) * -sign, 25) << sign << " frame " << i;
    }
    EXPECT_NEAR(v[12], -239.9 * sign, 1);
  }
}

TEST_F(PhaseTest, AnotherReferenceRecomputesThePhaseArrays) {
  // Channel 3 is in phase with the reference's bin 64 and 45 degrees ahead
  // of channel 1's bin 96.
  test::SignalRecording s(Velnarund, 1000, 2000);
  s.Set(0, test::Tone(9000, 64, 2048));
  s.Set(1, test::Tone(9000, 96, 2048));
  s.Set(3, test::Sum(test::Tone(9000, 64, 2048), test::Tone(4000, 96, 2048, 45)));
  const auto w = Phase(s, 0, {3});
  for (double v : w->Curves[0].Values->Values) EXPECT_NEAR(v, 0, 0.5);
  EXPECT_TRUE(s.rec.CrossValid[3]);

  Recompute(s, *w, 1, {3});
  EXPECT_EQ(s.rec.CrossReferenceChannel, 1);
  for (double v : w->Curves[0].Values->Values) EXPECT_NEAR(v, -45, 1.5);
  EXPECT_EQ(w->Curves[0].Name, "Mass-Currrent");
}

TEST_F(PhaseTest, FrequencyOfASineFrameByFrame) {
  test::SignalRecording s(Velnarund, 1000, 4096);
  s.Set(0, test::Tone(9000, 256, 8192));
  s.Set(2, [](int j) { return 9000 * std::sin(2 * std::numbers::pi * 40.0 / 1000 * j); });
  for (int channel : {0, 2}) {
    auto w = test::MakeWindow(FrequencyVsTime, s.rec);
    w->FrequencyChannel = channel;
    w->CurveCount = 1;
    ComputeFrequencyVsTime(s.Context(), *w, 0, false);
    const CurveSlot& curve = w->Curves[0];
    ASSERT_EQ(curve.Values->Values.size(), 40u);
    for (double f : curve.Values->Values) {
      if (channel == 0)
        EXPECT_EQ(f, 31.25);  // bin 256 · 1000 / 8192
      else
        EXPECT_NEAR(f, 40, 1000.0 / 8192);
    }
    EXPECT_EQ(curve.Min, 0);
    EXPECT_EQ(curve.Max, 500);
    EXPECT_EQ(curve.Colour, CurveColour(FrequencyVsTime, Velnarund, channel));
  }
}

TEST_F(PhaseTest, SignalsTextHoldsBothTablesRowByRow) {
  test::SignalRecording s(Velnarund, 1000, 1000);
  s.Set(4, test::Tone(9000, 64, 1024));
  s.Set(5, test::Tone(9000, 96, 1024));
  const std::string rmHeading =
      "f(RM) RE(RM) Im(RM) D2(RM) d3(RM) D4(RM) D5(RM) Phase(RM) RE(RM-by-BP) Im(RM-by-BP) "
      "Re(RM-D2) Im(RM-D2) Re(RM-D2) Im(RM-D2)";
  const std::string bpHeading =
      "f(BP) RE(BP) Im(BP) D2(BP) d3(BP) D4(BP) D5(BP) Phase(BP) RE(BP-by-RM) Im(BP-by-RM) "
      "Re(BP-D2) Im(BP-D2) Re(BP-D2) Im(BP-D2)";
  // Before any analysis: the headings alone.
  EXPECT_EQ(WriteSignalsText(s.rec), rmHeading + "\r\n" + bpHeading + "\r\n");

  for (int channel : {4, 5}) ASSERT_GT(AnalyseFrames(s.Context(), 0, channel, 0, 2, 10), 0);
  const std::string text = WriteSignalsText(s.rec);
  ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; at < text.size(); at = end + 2) {
    end = text.find("\r\n", at);
    lines.push_back(text.substr(at, end - at));
  }
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[0], rmHeading);
  EXPECT_EQ(lines[11], bpHeading);
  for (int row = 0; row < 10; ++row) {
    for (int table : {0, 1}) {
      const std::string& line = lines[1 + 11 * table + row];
      ASSERT_EQ(line.find('\n'), std::string::npos);
      ASSERT_EQ(line.back(), ' ') << line;
      ASSERT_EQ(std::count(line.begin(), line.end(), ' '), 14) << line;
      std::istringstream values(line);
      std::vector<std::string> fields{std::istream_iterator<std::string>(values), {}};
      ASSERT_EQ(fields.size(), 14u) << line;
      const FrameAnalysis& t = *s.rec.FrameAnalyses[4 + table];
      EXPECT_EQ(fields[0], FormatNumber(t.Array(0)[row], 1));
      EXPECT_EQ(fields[0], table ? "96.0" : "64.0");  // the bin, not hertz
      EXPECT_EQ(fields[9], FormatNumber(t.Array(9)[row], 1));
    }
  }
}

}  // namespace
}  // namespace kalvex
