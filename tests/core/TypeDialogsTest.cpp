// The graph type dialogs as data: which dialog each type shows in each mode,
// how it is filled from a window, its refusals and what "Да" writes back;
// and every type set through the dialogs on a recording of each mode.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "graphs/GraphTypeSetup.h"
#include "graphs/GraphsMenu.h"
#include "graphs/TypeDialogModel.h"
#include "support/FakeUserInteraction.h"
#include "support/FakeWindowSetHost.h"
#include "support/LinkedFftw.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

TGrWin WindowOfMode(int mode) {
  TGrWin w;
  w.RecordingMode = static_cast<std::uint8_t>(mode);
  return w;
}

std::unique_ptr<TypeDialog> Dialog(int type, const TGrWin& w) {
  static test::SignalRecording rec(Similarity, 1000, 2000);
  rec.rec.SimilarityChannels[2].Present = true;
  rec.rec.SimilarityChannels[2].Name = "VIB7";
  return MakeTypeDialog(type, w, rec.rec);
}

std::unique_ptr<TypeDialog> Dialog(int type, int mode) {
  return Dialog(type, WindowOfMode(mode));
}

DialogCheck& Check(TypeDialog& d, const std::string& label, int group = 0) {
  for (DialogCheck& c : d.model.groups[group].checks)
    if (c.label == label) return c;
  ADD_FAILURE() << "no check box " << label;
  static DialogCheck none;
  return none;
}

std::string Refusal(const TypeDialog& d) {
  const auto r = d.Refusal();
  return r ? Text(*r) : "";
}

TEST(TypeDialogsTest, EachTypeAndModeShowsItsDialog) {
  struct Case {
    int type, mode;
    const char* form;
    const char* caption;
    int help;
  };
  const Case cases[] = {
      {SignalTraces, Velnarund, "TFSigPuls", "Velnarund:Signal Traces", 211},
      {SignalTraces, Tarpokline, "TFSigPuls", "Tarpokline: Signal Traces", 211},
      {SignalTraces, Similarity, "TFSigSimil", "Similarity: Signal Traces", 231},
      {SignalTraces, Dodida, "TFSignal", "DOdida:Signal Traces", 211},
      {SignalTraces, Ombrel16, "TFSignal16", "Ombrel16: Signal Traces", 211},
      {Amplitude, Velnarund, "TFAmpitude", "Velnarund:Amplitude", 202},
      {Amplitude, Dodida, "TFSignal", "DOdida:Amplitude", 212},
      {Amplitude, Similarity, "TFSigSimil", "Similarity:Amplitude", 232},
      {Phase, Velnarund, "TFPhase", "Velnarund: Phase", 203},
      {Phase, Dodida, "TFPhase", "Dodida: Phase", 213},
      {Distortion, Ombrel16, "TFDistor", "Ombrel16: Distortion", 248},
      {FrequencyVsTime, Dodida, "TFDistor", "Dodida: Distortion", 214},
      {Distortion, Similarity, "TFSimilSig", "Similarity: Distortion", 238},
      {Harmonics, Similarity, "TFSimilSig", "Similarity: Harmonics", 237},
      {Harmonics, Tarpokline, "TFHarmon", "Tarpokline: Harmonics", 207},
      {Spectrum, Ombrel16, "TFSpectr", "Ombrel16:Spectrum", 205},
      {Correlation, Dodida, "TFCorell", "Dodida: Correlation", 216},
      {Ground, Velnarund, "TFGround", "Velnarund:Ground", 219},
      {AccCompare, Dodida, "TFGround", "Dodida:AccCompare", 221},
      {Servo, Velnarund, "TFGround", "Velnarund:Serv0", 248},
      {Power, Dodida, "TFPower", "DOdida:Power", 20},
      {Actuator, Tarpokline, "TFActuator", "Velnarund:Actuator", 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    auto d = Dialog(c.type, c.mode);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->model.formName, c.form);
    EXPECT_EQ(d->model.caption, c.caption);
    EXPECT_EQ(d->model.helpTopic, c.help);
  }
  EXPECT_FALSE(Dialog(Phase, Tarpokline));  // not offered
  EXPECT_FALSE(Dialog(Phase, Ombrel16));    // applied without a dialog
  EXPECT_FALSE(Dialog(IntervalSpectrum, Velnarund));
}

TEST(TypeDialogsTest, UnitListsStandForTheUnitCodesBothWays) {
  TGrWin w = WindowOfMode(Velnarund);
  w.TraceChannels = {0, -1, -1, -1, 2, -1, -1};  // REF, RM in tonnes
  auto d = Dialog(SignalTraces, w);
  const auto& checks = d->model.groups[0].checks;
  ASSERT_EQ(checks.size(), 7u);
  EXPECT_EQ(checks[1].label, "Current");  // the dialogs' spelling
  EXPECT_TRUE(checks[4].checked);
  EXPECT_EQ(checks[4].units[checks[4].unit].label, "Tons");
  EXPECT_EQ(checks[0].unit, 0);   // a one-entry list is always chosen
  EXPECT_EQ(checks[1].unit, -1);  // nothing chosen yet

  Check(*d, "Current").checked = true;
  EXPECT_EQ(Refusal(*d), "Единица измерения не задана");
  Check(*d, "Current").unit = 1;  // "mA"
  Check(*d, "GF").checked = true;
  Check(*d, "GF").unit = 2;  // "kN"
  ASSERT_EQ(Refusal(*d), "");
  d->Write(w);
  EXPECT_EQ(w.TraceChannels, (ChannelSelection{0, 1, -1, -1, 2, -1, 2}));

  // Ombrel16's VIB lists forces first: "Volts" is code 3.
  TGrWin o = WindowOfMode(Ombrel16);
  auto d16 = Dialog(SignalTraces, o);
  EXPECT_EQ(d16->model.groups.size(), 2u);  // with the window spectrum group
  Check(*d16, "VIB").checked = true;
  Check(*d16, "VIB").unit = 3;
  d16->model.groups[1].checks[0].checked = true;
  d16->model.groups[1].lists[0].index = 1;
  d16->Write(o);
  EXPECT_EQ(o.TraceChannels[1], 3);
  EXPECT_TRUE(o.IntervalSpectrumOn);
  EXPECT_TRUE(o.IntervalSpectrumDb);
}

TEST(TypeDialogsTest, RefusalsWithTheirMessages) {
  auto amplitude = Dialog(Amplitude, Ombrel16);
  EXPECT_EQ(Refusal(*amplitude), "Не задан ни один сигнал");
  Check(*amplitude, "REF").checked = true;
  amplitude->model.groups[1].lists[0].index = -1;
  EXPECT_EQ(Refusal(*amplitude), "Способ расчета амплитуды не задан");

  auto distortion = Dialog(Distortion, Velnarund);
  distortion->model.groups[0].lists[0].index = 4;
  distortion->model.groups[1].lists[0].index = -1;
  EXPECT_EQ(Refusal(*distortion), "Тип графика не задан");
  distortion->model.groups[1].lists[0].index = 1;  // "2-D" passes here
  EXPECT_EQ(Refusal(*distortion), "");

  auto correlation = Dialog(Correlation, Dodida);
  correlation->model.groups[1].lists[0].index = -1;
  EXPECT_EQ(Refusal(*correlation), "Не выбрано ни одного значения");

  auto harmonics = Dialog(Harmonics, Dodida);
  EXPECT_EQ(harmonics->model.groups[0].checks.size(), 3u);  // RM, BP, GF
  Check(*harmonics, "BP").checked = true;
  EXPECT_EQ(Refusal(*harmonics), "Тип графика не задан");

  auto spectrum = Dialog(Spectrum, Velnarund);
  Check(*spectrum, "BP").checked = true;
  spectrum->model.groups[1].lists[0].index = -1;
  EXPECT_EQ(Refusal(*spectrum), "Единица измерения не задана");

  // AccCompare: either of its two boxes; nothing else counts.
  TGrWin acc = WindowOfMode(Velnarund);
  acc.GroundModule = true;
  auto ground = Dialog(AccCompare, acc);
  EXPECT_EQ(ground->model.groups[0].checks.size(), 2u);
  EXPECT_EQ(Refusal(*ground), "Данные не заданы");

  test::FakeUserInteraction ui;
  EXPECT_FALSE(TryAccept(*ground, ui));
  EXPECT_EQ(ui.infos, std::vector<std::string>{"Данные не заданы"});
  ground->model.groups[0].checks[1].checked = true;
  EXPECT_TRUE(TryAccept(*ground, ui));
}

TEST(TypeDialogsTest, PowerAndActuatorBoxesChooseTheirGroup) {
  TGrWin w = WindowOfMode(Dodida);
  w.PowerDimension = 7;  // opens as fundamental power
  auto power = Dialog(Power, w);
  EXPECT_EQ(power->model.groups[0].radio, 0);
  EXPECT_EQ(Refusal(*power), "Данные не заданы");
  power->model.groups[2].checks[0].checked = true;  // "2-d Active"
  power->CheckChanged(2, 0);
  EXPECT_EQ(power->model.groups[0].radio, 1);
  ASSERT_EQ(Refusal(*power), "");
  power->Write(w);
  EXPECT_EQ(w.PowerDimension, 1);
  EXPECT_TRUE(w.Power2dActive);

  TGrWin a = WindowOfMode(Velnarund);
  a.ActuatorChoice = 2;
  a.ActuatorOptions = {false, true};
  auto actuator = Dialog(Actuator, a);
  EXPECT_TRUE(actuator->model.groups[3].checks[1].checked);  // "Reactive" of group 3
  EXPECT_FALSE(actuator->model.groups[1].checks[1].checked);
  actuator->model.groups[3].checks[1].checked = false;
  EXPECT_EQ(Refusal(*actuator), "Данные не заданы");
  actuator->model.groups[2].checks[0].checked = true;  // "Amplitude Ratio" of "GF vs CF"
  actuator->CheckChanged(2, 0);
  ASSERT_EQ(Refusal(*actuator), "");
  actuator->Write(a);
  EXPECT_EQ(a.ActuatorChoice, 1);
  EXPECT_EQ(a.ActuatorOptions, (std::array<bool, 2>{true, false}));
}

TEST(TypeDialogsTest, SimilarityChannelsAndTheirAverage) {
  TGrWin w = WindowOfMode(Similarity);
  auto d = Dialog(SignalTraces, w);
  const auto& checks = d->model.groups[0].checks;
  ASSERT_EQ(checks.size(), 3u);  // REF, the one present channel, AVERAGE
  EXPECT_EQ(checks[1].label, "VIB7");
  Check(*d, "AVERAGE").checked = true;
  EXPECT_EQ(Refusal(*d), "No average trace specified");
  Check(*d, "VIB7").checked = true;
  d->model.groups[1].lists[1].index = 1;  // the others in tonnes
  ASSERT_EQ(Refusal(*d), "");
  d->Write(w);
  EXPECT_EQ(w.TraceChannels, (ChannelSelection{-1, -1, 1, -1, -1, -1, 1}));
  EXPECT_EQ(w.AveragingMasks[AvgSignalTraces], 1 << 2);
  EXPECT_TRUE(w.AverageShown[AvgSignalTraces]);

  // Distortion analyses the first channel chosen.
  auto distortion = Dialog(Distortion, w);
  EXPECT_TRUE(Check(*distortion, "REF").checked);  // channel 0 as the window holds it
  Check(*distortion, "REF").checked = false;
  Check(*distortion, "VIB7").checked = true;
  Check(*distortion, "AVERAGE").checked = true;
  ASSERT_EQ(Refusal(*distortion), "");
  distortion->Write(w);
  EXPECT_EQ(w.DistortionChannel, 2);
  EXPECT_EQ(w.AveragingMasks[AvgDistortion], 1 << 2);
}

// "Опорный сигнал" lists the offered channels: the window's reference slot is
// shown at its entry and written back as that slot; a reference no longer
// offered shows, and writes, REF.
TEST(TypeDialogsTest, SimilarityPhaseReferenceMapsSlotsToEntriesBothWays) {
  test::SignalRecording rec(Similarity, 1000, 2000);
  for (int slot : {2, 3})
    rec.rec.SimilarityChannels[slot] = {true, false, "VIB" + std::to_string(slot)};
  TGrWin w = WindowOfMode(Similarity);
  for (auto [reference, entry] :
       {std::pair{2, 1}, std::pair{3, 2}, std::pair{0, 0}, std::pair{5, 0}}) {
    SCOPED_TRACE(reference);
    w.PhaseReference = reference;
    auto d = MakeTypeDialog(Phase, w, rec.rec);
    const DialogList& list = d->model.groups[1].lists[0];
    EXPECT_EQ(list.items, (std::vector<std::string>{"REF", "VIB2", "VIB3"}));
    EXPECT_EQ(list.index, entry);
    Check(*d, "VIB3").checked = true;
    TGrWin written = w;
    d->Write(written);
    EXPECT_EQ(written.PhaseReference, reference == 5 ? 0 : reference);
  }
}

TEST(TypeDialogsTest, GraphsMenuShowsTheTypesOfTheMode) {
  auto offered = [](int mode) {
    std::string tags;
    for (int tag = 1; tag <= GraphsMenuItems; ++tag)
      if (MenuItemOffered(tag, mode)) tags += std::to_string(tag) + " ";
    return tags;
  };
  EXPECT_EQ(offered(Velnarund), "1 2 3 4 5 6 7 8 9 11 12 13 ");
  EXPECT_EQ(offered(Tarpokline), "1 5 9 13 14 ");
  EXPECT_EQ(offered(Similarity), "1 2 3 5 6 7 8 ");
  EXPECT_EQ(offered(Dodida), "1 2 3 4 5 6 7 8 9 10 11 ");
  EXPECT_EQ(offered(Ombrel16), "1 2 3 4 5 6 7 8 ");
}

// Every type on a recording of each mode, chosen through the dialog with its
// fields as they open plus the first channel and option boxes ticked.
TEST(TypeDialogsTest, EveryOfferedTypeSetsUpThroughItsDialog) {
  test::LinkedFftw fftw;
  for (int mode : {Velnarund, Tarpokline, Similarity, Dodida, Ombrel16}) {
    test::SignalRecording s(mode, 1000, 2000, 2);
    s.rec.Origin = OriginFile;
    for (int slot = 0; slot < ChannelCount(mode); ++slot) s.Set(slot, test::Tone(3000, 20, 1024));
    struct TickFirst : TypeDialogPresenter {
      bool Show(TypeDialog& d) override {
        for (std::size_t g = 0; g < d.model.groups.size(); ++g) {
          DialogGroup& group = d.model.groups[g];
          if (!group.checks.empty() && !AnyTicked(group)) {
            group.checks.front().checked = true;
            d.CheckChanged(int(g), 0);
          }
          for (DialogCheck& c : group.checks)
            if (c.checked && c.unit < 0 && !c.units.empty()) c.unit = 0;
        }
        return TryAccept(d, ui);
      }
      static bool AnyTicked(const DialogGroup& g) {
        for (const DialogCheck& c : g.checks)
          if (c.checked) return true;
        return false;
      }
      test::FakeUserInteraction ui;
    } presenter;
    test::FakeWindowSetHost host;
    TAllWindows windows(host);
    host.set = &windows;
    ModelTypeDialogs dialogs(s.rec, presenter);
    GraphTypeSetup setup(windows, s.Context(), presenter.ui, dialogs);
    for (int type : {SignalTraces, Amplitude, Phase, Distortion, Harmonics, Spectrum, Correlation,
                     FrequencyVsTime, Ground, Power, AccCompare}) {
      SCOPED_TRACE(::testing::Message() << "mode " << mode << " type " << type);
      TGrWin& w = windows.CreateWindow(s.rec);
      setup.SetType(w, type);
      const bool offered = !(type == Phase && mode == Tarpokline);
      const bool computes = !((type == Ground || type == Power || type == AccCompare) &&
                              (mode == Similarity || mode == Ombrel16)) &&
                            !(type == Power && mode != Dodida);
      if (offered && computes) {
        EXPECT_EQ(w.Type, type);
        EXPECT_GE(w.CurveCount, 1);
        EXPECT_EQ(w.SelectedCurve, 0);  // labelled from the start
      }
      EXPECT_TRUE(presenter.ui.infos.empty()) << presenter.ui.infos.front();
    }
  }
}

}  // namespace
}  // namespace kalvex
