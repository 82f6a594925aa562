// Graph windows set up with the report's defaults: the choices made, the
// curves and their lengths, the x scale and range, names, colours, limits.

#include <gtest/gtest.h>

#include <tuple>

#include "analysis/AmplitudeAnalysis.h"
#include "analysis/HarmonicsAnalysis.h"
#include "graphs/GraphSetup.h"
#include "graphs/Palette.h"
#include "recordings/DerivedValues.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

ChannelSelection Only(std::initializer_list<int> channels) {
  ChannelSelection s = NoChannels;
  for (int c : channels) s[c] = 0;
  return s;
}

class GraphSetupTest : public ::testing::Test {
 protected:
  // 4000 samples at 1000/s (40 frames); channel c a sine on bin 100 + 20c
  // of the 4096-point frame transform.
  explicit GraphSetupTest(int mode = Velnarund) : s(mode, 1000, 4000, 4) {
    for (int c = 0; c < ChannelCount(mode); ++c)
      s.Set(c, test::Tone(5000 + 500 * c, 100 + 20 * c, 4096));
    ComputeDerivedChannel(s.rec, s.settings);
  }

  std::unique_ptr<TGrWin> Setup(int type, int option = 0) {
    auto w = std::make_unique<TGrWin>();
    SetTypeWithDefaults(s.Context(), *w, type, option);
    EXPECT_EQ(w->Type, type);
    EXPECT_EQ(w->SelectedCurve, 0);
    EXPECT_EQ(w->DisplayedRange, w->FullRange);
    return w;
  }

  static void ExpectCurves(const TGrWin& w, int count, std::size_t length, double xPerUnit,
                           IndexRange full) {
    ASSERT_EQ(w.CurveCount, count);
    for (int c = 0; c < count; ++c) ASSERT_EQ(w.Curves[c].Values->Values.size(), length) << c;
    EXPECT_DOUBLE_EQ(w.XPerUnit, xPerUnit);
    EXPECT_EQ(w.FullRange, full);
  }

  static void ExpectLabel(const CurveSlot& curve, const std::string& name, int type, int mode,
                          int channel) {
    EXPECT_EQ(curve.Name, name);
    EXPECT_EQ(curve.Colour, CurveColour(type, mode, channel)) << name;
  }

  test::LinkedFftw fftw;
  test::SignalRecording s;
};

TEST_F(GraphSetupTest, TracesAndAmplitudeOfTheDefaultChannel) {
  const auto traces = Setup(SignalTraces);
  EXPECT_EQ(traces->TraceChannels, Only({3}));
  ExpectCurves(*traces, 1, 4000, 1000, {0, 4000});
  const CurveSlot& trace = traces->Curves[0];
  ExpectLabel(trace, "Mass", SignalTraces, Velnarund, 3);
  EXPECT_EQ(trace.Zoom, 1.0);
  EXPECT_EQ(trace.UserOffset, 0.0);
  EXPECT_EQ(trace.UserGain, 1.0);
  EXPECT_EQ(trace.Max, 1.25);
  EXPECT_DOUBLE_EQ(trace.Values->Values[1], s.rec.Channels[3]->Samples[1] * 10.0 / 32768);

  const auto amplitude = Setup(Amplitude);
  EXPECT_EQ(amplitude->AmplitudeMeasure, Fundamental);
  EXPECT_EQ(amplitude->AmplitudeChannels, Only({3}));
  ExpectCurves(*amplitude, 1, 40, 10, {0, 40});
  ExpectLabel(amplitude->Curves[0], "Mass", Amplitude, Velnarund, 3);
  EXPECT_GT(amplitude->Curves[0].Values->Values[20], 0);
  EXPECT_EQ(amplitude->ScaleMode, ZeroAtBottom);
}

TEST_F(GraphSetupTest, PhaseOptionsFixReferenceAndLimits) {
  const auto plain = Setup(Phase, 0);
  EXPECT_EQ(plain->PhaseReference, 0);
  ExpectCurves(*plain, 1, 40, 10, {0, 40});
  const CurveSlot& p = plain->Curves[0];
  ExpectLabel(p, "Mass-REF", Phase, Velnarund, 3);
  EXPECT_EQ(std::tuple(p.Min, p.Max, p.Centre, p.HalfRange, p.Scale),
            std::tuple(-10.0, 10.0, 0.0, 10.0, 0.0));

  const auto second = Setup(Phase, 1);
  EXPECT_EQ(second->PhaseReference, 1);
  EXPECT_EQ(second->PhaseChannels, Only({2}));
  const CurveSlot& q = second->Curves[0];
  ExpectLabel(q, "Valve-Currrent", Phase, Velnarund, 2);
  EXPECT_EQ(std::tuple(q.Min, q.Max, q.Centre, q.HalfRange), std::tuple(-180.0, 0.0, -90.0, 90.0));
}

TEST_F(GraphSetupTest, DistortionSpectrumAndFrequency) {
  const auto distortion = Setup(Distortion);
  EXPECT_TRUE(distortion->SeparateAxes);
  EXPECT_EQ(distortion->DistortionChannel, 3);
  EXPECT_EQ(distortion->DistortionDisplay, 0);
  EXPECT_EQ(distortion->WaterfallRows, 9);
  EXPECT_EQ(distortion->TimePoint, -1);
  ExpectCurves(*distortion, 1, 2000 * 9, 4.0, {0, 2000});
  ExpectLabel(distortion->Curves[0], "Mass", Distortion, Velnarund, 3);

  const auto spectrum = Setup(Spectrum);
  EXPECT_EQ(spectrum->SpectrumDb, 1);
  EXPECT_EQ(spectrum->SpectrumChannels, Only({1}));
  ExpectCurves(*spectrum, 1, 16385, 32.768, {0, 16384});
  ExpectLabel(spectrum->Curves[0], "Currrent", Spectrum, Velnarund, 1);
  EXPECT_EQ(spectrum->Curves[0].Values->Values[960], 0);  // bin 120 of 4096
  EXPECT_EQ(spectrum->Curves[0].Min, -40);

  const auto frequency = Setup(FrequencyVsTime);
  EXPECT_EQ(frequency->FrequencyChannel, 0);
  ExpectCurves(*frequency, 1, 40, 10, {0, 40});
  ExpectLabel(frequency->Curves[0], "REF", FrequencyVsTime, Velnarund, 0);
  EXPECT_EQ(frequency->Curves[0].Max, 160);
  EXPECT_EQ(frequency->Curves[0].Values->Values[20], 100 * 1000 / 4096.0);
}

TEST_F(GraphSetupTest, HarmonicsOfTheDefaultChannelInEveryOrder) {
  const auto w = Setup(Harmonics);
  EXPECT_EQ(w->HarmonicsChannels, Only({3}));
  EXPECT_EQ(w->HarmonicsOrders, Only({AllOrders, Order2, Order3, Order4, Order5}));
  ExpectCurves(*w, 5, 40, 10, {0, 40});
  const char* names[] = {"All", "2-d", "3-d", "4-th", "5-th"};
  const int orders[] = {AllOrders, Order2, Order3, Order4, Order5};
  for (int k = 0; k < 5; ++k) {
    ExpectLabel(w->Curves[k], names[k], Harmonics, Velnarund, orders[k]);
    EXPECT_EQ(w->Curves[k].Max, 100);
  }
  EXPECT_EQ(w->ScaleMode, ZeroAtBottom);
}

TEST_F(GraphSetupTest, CorrelationOptionChoosesDecibelsOrLinear) {
  // 1000/s: dB step 2 (q = 2000), linear ±200 samples.
  const auto db = Setup(Correlation, 0);
  EXPECT_EQ(db->CorrelationDb, 1);
  EXPECT_EQ(db->CorrelationReference, 0);
  EXPECT_EQ(db->CorrelationMain, 3);
  ExpectCurves(*db, 1, 4000, 500, {-2000, 2000});
  ExpectLabel(db->Curves[0], "REF-Mass", Correlation, Velnarund, 3);
  EXPECT_EQ(db->Curves[0].Max, 0);
  EXPECT_EQ(db->Curves[0].Min, -90);

  const auto linear = Setup(Correlation, 1);
  EXPECT_EQ(linear->CorrelationDb, 0);
  ExpectCurves(*linear, 1, 400, 1000, {-200, 200});
  EXPECT_EQ(linear->Curves[0].Values->Count, 400);
  EXPECT_EQ(std::max(-linear->Curves[0].Min, linear->Curves[0].Max), 1);
}

TEST_F(GraphSetupTest, MassAndPlateTypes) {
  const auto ground = Setup(Ground);
  EXPECT_TRUE(ground->GroundActive && ground->GroundReactive && ground->GroundModule);
  ExpectCurves(*ground, 3, 40, 10, {0, 40});
  const char* kinds[] = {"Module", "Active", "Reactive"};
  for (int k = 0; k < 3; ++k) ExpectLabel(ground->Curves[k], kinds[k], Ground, Velnarund, k);

  const auto power = Setup(Power);
  EXPECT_EQ(power->PowerDimension, 1);
  EXPECT_TRUE(power->Power2dActive);
  EXPECT_FALSE(power->Power3dActive);
  ExpectCurves(*power, 1, 40, 10, {0, 40});
  ExpectLabel(power->Curves[0], "2-d Active", Power, Velnarund, 0);

  const auto compare = Setup(AccCompare);
  EXPECT_TRUE(compare->AmplDiff && compare->PhaseDiff);
  ExpectCurves(*compare, 2, 40, 10, {0, 40});
  ExpectLabel(compare->Curves[0], "AmplDiff", AccCompare, Velnarund, 4);
  ExpectLabel(compare->Curves[1], "PhaseDiff", AccCompare, Velnarund, 5);
  // Channel 4 (bin 180 of 4096) has 7000 counts, channel 5 7500 at bin 200:
  // at the baseplate's fundamental the mass is far weaker.
  EXPECT_LT(compare->Curves[0].Values->Values[20], -50);
}

class SimilarityGraphSetupTest : public GraphSetupTest {
 protected:
  SimilarityGraphSetupTest() : GraphSetupTest(Similarity) {
    s.rec.SimilarityChannels[1].Present = s.rec.SimilarityChannels[3].Present = true;
  }
};

TEST_F(SimilarityGraphSetupTest, PresentChannelsInTheirOwnColours) {
  const auto amplitude = Setup(Amplitude);
  EXPECT_EQ(amplitude->AmplitudeChannels, Only({1, 3}));
  ExpectCurves(*amplitude, 2, 40, 10, {0, 40});
  // Curve 1 shows channel 3 and takes channel 3's colour.
  ExpectLabel(amplitude->Curves[0], "CH1", Amplitude, Similarity, 1);
  ExpectLabel(amplitude->Curves[1], "CH3", Amplitude, Similarity, 3);
  for (int c = 0; c < 2; ++c) {
    EXPECT_EQ(amplitude->Curves[c].Min, 0.0);
    EXPECT_EQ(amplitude->Curves[c].Max, 0.625);
    EXPECT_GT(amplitude->Curves[c].Values->Values[20], 0);
  }
}

TEST_F(SimilarityGraphSetupTest, HarmonicsOfPresentChannelsInOneOrder) {
  for (int option : {0, 1}) {
    const auto w = Setup(Harmonics, option);
    const int order = option == 1 ? Order2 : AllOrders;
    EXPECT_EQ(w->HarmonicsChannels, Only({1, 3}));
    EXPECT_EQ(w->HarmonicsOrders, Only({order}));
    ExpectCurves(*w, 2, 40, 10, {0, 40});
    ExpectLabel(w->Curves[0], "CH1", Harmonics, Similarity, order);
    ExpectLabel(w->Curves[1], "CH3", Harmonics, Similarity, order);
  }
}

TEST_F(SimilarityGraphSetupTest, CorrelationOfTheChannelNumberedByTheOption) {
  for (int option : {1, 3}) {
    const auto w = Setup(Correlation, option);
    EXPECT_EQ(w->CorrelationDb, 1);
    EXPECT_EQ(w->CorrelationChannels, Only({option}));
    ExpectCurves(*w, 1, 4000, 500, {-2000, 2000});
    ExpectLabel(w->Curves[0], "REF-CH" + std::to_string(option), Correlation, Similarity, option);
    EXPECT_EQ(w->CorrelationMain, option);
  }
}

class OmbrelGraphSetupTest : public GraphSetupTest {
 protected:
  OmbrelGraphSetupTest() : GraphSetupTest(Ombrel16) {}
};

TEST_F(OmbrelGraphSetupTest, DefaultChannelIsTheVibrator) {
  const auto traces = Setup(SignalTraces);
  EXPECT_EQ(traces->TraceChannels, Only({1}));
  ExpectLabel(traces->Curves[0], "VIB", SignalTraces, Ombrel16, 1);
  const auto distortion = Setup(Distortion);
  EXPECT_EQ(distortion->DistortionChannel, 1);
  ExpectLabel(distortion->Curves[0], "VIB", Distortion, Ombrel16, 1);
}

TEST_F(OmbrelGraphSetupTest, CorrelationOfTheVibrator) {
  const auto w = Setup(Correlation, 0);
  EXPECT_EQ(w->CorrelationMain, 1);
  ExpectLabel(w->Curves[0], "REF-VIB", Correlation, Ombrel16, 1);
}

// Without reaction mass and baseplate the three types change nothing.
TEST(NoMassPlateSetupTest, GroundPowerAndAccCompareChangeNothing) {
  test::LinkedFftw fftw;
  for (int mode : {Similarity, Ombrel16}) {
    test::SignalRecording s(mode, 1000, 4000, 4);
    s.rec.SimilarityChannels[1].Present = true;
    s.Set(1, test::Tone(5000, 100, 4096));
    auto w = std::make_unique<TGrWin>();
    SetTypeWithDefaults(s.Context(), *w, Amplitude, 0);
    const std::vector<double> before = w->Curves[0].Values->Values;
    const IndexRange range = w->FullRange;
    for (int type : {Ground, Power, AccCompare}) {
      SetTypeWithDefaults(s.Context(), *w, type, 0);
      EXPECT_EQ(w->Type, Amplitude) << mode << ' ' << type;
      EXPECT_EQ(w->CurveCount, 1);
      EXPECT_EQ(w->Curves[0].Values->Values, before);
      EXPECT_EQ(w->FullRange, range);
      EXPECT_FALSE(w->GroundModule || w->Power2dActive || w->AmplDiff);
    }
  }
}

}  // namespace
}  // namespace kalvex
