// Graph window captions: the recording part, the normal and accumulation
// forms, and the windows without a caption of their own.

#include <gtest/gtest.h>

#include "graphs/Captions.h"
#include "graphs/TGrWin.h"
#include "recordings/TFrmFile.h"
#include "recordings/TNFile.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

class CaptionsTest : public ::testing::Test {
 protected:
  CaptionsTest() {
    recording.Mode = window.RecordingMode = Velnarund;
    recording.Origin = OriginFile;
    recording.Name = "C:\\field\\run7.qrm";
    recording.SampleRate = 1000;
    for (int i = 0; i < 3; ++i) snapshots[i].Number = 3 - i;
  }
  TGrWin& Window(int type) {
    window.Type = static_cast<std::uint8_t>(type);
    return window;
  }
  // Accumulating the recordings S3, S2, ... newest first.
  TGrWin& Group(int type, int curves) {
    window.Accumulating = true;
    window.CurveCount = curves;
    for (int i = 0; i < curves; ++i) window.Curves[i].Recording = &snapshots[i];
    return Window(type);
  }
  std::string Caption() const { return WindowCaption(window, recording); }

  TFrmFile recording;
  TGrWin window;
  TNFile snapshots[3];
};

TEST_F(CaptionsTest, RecordingPartByOrigin) {
  EXPECT_EQ(RecordingPart(recording), "run7.qrm [Velnarund]");
  recording.Name = "/home/crew/run8.qrm";
  EXPECT_EQ(RecordingPart(recording), "run8.qrm [Velnarund]");
  recording.Origin = OriginAcquired;
  recording.Name = "Rec_10:15:00";
  EXPECT_EQ(RecordingPart(recording), "Rec_10:15:00 [Velnarund]");
  recording.Origin = OriginNone;
  EXPECT_EQ(RecordingPart(recording), "Нет данных [Velnarund]");
}

TEST_F(CaptionsTest, NormalForms) {
  Window(SignalTraces).TraceChannels = {0, -1, -1, -1, 1, 2, -1};
  EXPECT_EQ(Caption(), "run7.qrm [Velnarund]: Signal traces[REF,RM,BP]");
  Window(Amplitude).AmplitudeChannels[1] = 0;
  window.AmplitudeMeasure = 1;
  EXPECT_EQ(Caption(), "run7.qrm [Velnarund]: Amplitude RMS[Currrent]");
  Window(Phase).PhaseChannels = {-1, -1, -1, -1, 0, 0, -1};
  EXPECT_EQ(Caption(), "run7.qrm [Velnarund]: Phase [RM,BP-REF]");
  Window(Correlation).CorrelationMain = 5;
  EXPECT_EQ(Caption(), "run7.qrm [Velnarund]: Corellation linear[REF-BP]");
  Window(Power).PowerActive = window.PowerModule = true;
  EXPECT_EQ(Caption(), "run7.qrm [Velnarund]: Power [Module,Active]");

  Window(Distortion).DistortionChannel = 5;
  window.TimePoint = 3;  // 3 × 500 ÷ 1000 s
  EXPECT_EQ(Caption(), "run7.qrm [Velnarund]: Distortion Normal[BP(1.5 sec)]");
  window.Accumulating = true;  // no group form of its own
  EXPECT_EQ(Caption(), "run7.qrm [Velnarund]: Distortion Normal[BP(1.5 sec)]");
}

TEST_F(CaptionsTest, HarmonicsListsOrdersForOneChannelAndTheFirstOrderForMore) {
  Window(Harmonics).HarmonicsChannels[4] = 0;
  window.HarmonicsOrders = {0, -1, -1, 0, -1, -1, 0};
  EXPECT_EQ(Caption(), "run7.qrm [Velnarund]: Harmonics RM [All,2-d,5-th]");
  window.HarmonicsChannels[5] = 0;
  EXPECT_EQ(Caption(), "run7.qrm [Velnarund]: Harmonics All [RM,BP]");
  Group(Harmonics, 1);
  EXPECT_EQ(Caption(), "Group: Harmonics [RM-All] [S3]");
}

TEST_F(CaptionsTest, AccumulationFormsListTheRecords) {
  Group(SignalTraces, 3).TraceChannels[4] = 0;
  EXPECT_EQ(Caption(), "Group: Signal traces[RM] [S3,S2,S1]");
  Group(Phase, 2).PhaseChannels = {-1, -1, -1, -1, 0, 0, -1};
  EXPECT_EQ(Caption(), "Group: Phase [RM-REF] [S3,S2]");
  Group(Correlation, 2).CorrelationDb = 1;
  window.GroupCaption = "REF-BP";
  EXPECT_EQ(Caption(), "Group: Corellation dB[REF-BP] [S3,S2]");
  Group(Ground, 1).GroundModule = window.GroundReactive = true;  // Reactive before Module
  EXPECT_EQ(Caption(), "Group: Ground [Reactive] [S3]");
}

TEST_F(CaptionsTest, IntervalSpectrumDescribesItsSourceWindow) {
  TGrWin source;
  source.RecordingMode = Velnarund;
  source.TraceChannels[4] = 0;
  source.XPerUnit = 1000;
  source.DisplayedRange = {1000, 2500};
  source.Curves[0].Name = "RM";
  source.SelectedCurve = 0;
  source.IntervalSpectrumDb = true;
  Window(IntervalSpectrum);
  EXPECT_EQ(Caption(), "Нет данных");  // no source

  window.SourceWindow = &source;
  EXPECT_EQ(Caption(), "WinSpectrum[dB]: RM(1.0-2.5)");
  source.Accumulating = true;
  EXPECT_EQ(Caption(), "WinSpectrum[dB]: RM[RM](1.0-2.5)");
  source.SelectedCurve = -1;
  EXPECT_EQ(Caption(), "WinSpectrum[dB]: График не выбран(1.0-2.5)");
}

TEST_F(CaptionsTest, WindowsWithoutACaptionOfTheirOwn) {
  for (int type : {0, int{Servo}, int{Actuator}}) {
    EXPECT_EQ(WindowCaption(Window(type), recording), "Нет данных") << type;
    EXPECT_EQ(WindowCaption(Group(type, 1), recording), "Нет данных") << type;
  }
  window.RecordingMode = NoSignal;
  EXPECT_EQ(WindowCaption(Window(SignalTraces), recording), "No signal");
}

TEST_F(CaptionsTest, TextsComeFromTheCatalogue) {
  Texts().ApplyModule("CaptionSignalTraces=%s: Traces[%s]\nRecordListItem=R%s");
  std::string normal = WindowCaption(Window(SignalTraces), recording);
  Texts().ApplyModule("GroupSignalTraces=Many [%s] [%s]");
  std::string group = WindowCaption(Group(SignalTraces, 2), recording);
  Texts().Reset();
  EXPECT_EQ(normal, "run7.qrm [Velnarund]: Traces[]");
  EXPECT_EQ(group, "Many [] [R3,R2]");
}

}  // namespace
}  // namespace kalvex
