#pragma once
// A graph window as data: its type, the recording mode it was made for, the
// channels and options chosen, its x range, its curves and their scaling,
// and the accumulation state. The on-screen form is reached only through
// GraphForm.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "graphs/CurveSlot.h"
#include "graphs/GraphTypes.h"
#include "recordings/RecordingModes.h"

namespace kalvex {

class GraphForm;

struct IntRect {
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const IntRect&) const = default;
};

struct IndexRange {
  std::int32_t First = 0;
  std::int32_t Last = 0;
  bool operator==(const IndexRange&) const = default;
};

// Vertical scale modes.
enum ScaleModes : std::uint8_t {
  SymmetricAboutCentre = 0,
  ZeroAtBottom = 1,
  ZeroAtTop = 2,
  FitCentreHalfRange = 3,
};

// Label edit targets of the inline editor.
enum LabelTargets : std::int32_t {
  LeftXLabel = 0,
  RightXLabel = 1,
  CentreValue = -1,
  BottomYLabel = -2,
  TopYLabel = -3,
  NoLabel = 3,
};

// Families that carry an averaging mask in mode 2, in their stored order.
enum AveragingFamily : int {
  AvgSignalTraces = 0,
  AvgAmplitude = 1,
  AvgPhase = 2,  // shared with FrequencyVsTime
  AvgSpectrum = 3,
  AvgCorrelation = 4,
  AvgHarmonics = 5,
  AvgDistortion = 6,
};

// The averaging family of a graph type (interval spectra use their source's).
int AveragingFamilyOf(int type);

class TGrWin {
 public:
  std::uint8_t Type = NoGraphType;
  std::int32_t SelectedCurve = -1;
  std::int32_t HoveredBandCurve = -1;
  std::int32_t ReadoutTop = 4;
  std::int32_t ReadoutBottom = 4;
  // Drags in progress, then the mouse tools chosen on the form.
  bool DragRightFixed = false, DragLeftFixed = false, DragVertical = false;
  bool ToolZoomKeepRight = false, ToolZoomKeepLeft = false, ToolZoomVertical = false,
       ToolZoomByClicks = false;
  std::int32_t DragAnchorX = 0, DragAnchorY = 0;
  IntRect LeftXLabelRect, RightXLabelRect;
  std::int32_t ReadoutX = 0;
  double WaterfallFactor = 0;
  double WaterfallRowStep = 0;
  std::string GroupCaption;
  std::int32_t DefaultColour = 0;
  std::int32_t PlotWidth = 0, PlotHeight = 0;
  TGrWin* SourceWindow = nullptr;  // interval spectrum: its signal traces window
  bool IntervalSpectrumOn = false;
  bool IntervalSpectrumDb = false;
  double EditorValue = 0;
  double XPerUnit = 0;
  std::int32_t LabelEditTarget = NoLabel;
  std::int32_t WaterfallRows = 0;
  std::int32_t TimePoint = -1;
  std::uint8_t ScaleMode = SymmetricAboutCentre;
  std::int32_t CorrelationDb = 0;
  std::int32_t CorrelationReference = 0;
  std::int32_t CorrelationMain = 0;
  ChannelSelection AmplitudeChannels = NoChannels;
  ChannelSelection TraceChannels = NoChannels;
  ChannelSelection CorrelationChannels = NoChannels;
  ChannelSelection SpectrumChannels = NoChannels;
  ChannelSelection PhaseChannels = NoChannels;
  ChannelSelection HarmonicsChannels = NoChannels;
  ChannelSelection HarmonicsOrders = NoChannels;
  std::int32_t DistortionChannel = 0;
  std::int32_t AmplitudeMeasure = 0;  // 0 Fundamental, 1 RMS, 2 PositivePeak, 3 NegativePeak
  std::int32_t SpectrumDb = 0;
  std::int32_t DistortionDisplay = 0;  // 0 Normal, 1 2d, 2 3d
  std::int32_t FrequencyChannel = 0;
  std::int32_t PhaseReference = 0;
  IndexRange DisplayedRange;
  IndexRange FullRange;
  IntRect PlotRect;
  std::int32_t CurveCount = 0;
  std::int32_t ActuatorChoice = 0;
  std::int32_t PowerDimension = 0;  // 0 fundamental power, 1 harmonic power
  bool AmplDiff = false, PhaseDiff = false;
  bool GroundModule = false, GroundActive = false, GroundReactive = false;
  std::array<bool, 2> ServoOptions{};
  std::array<bool, 2> ActuatorOptions{};
  bool PowerActive = false, PowerReactive = false, Power2dActive = false, Power3dActive = false,
       PowerModule = false;
  bool SeparateAxes = false;
  std::array<CurveSlot, MaxCurves> Curves;
  std::uint8_t RecordingMode = NoSignal;
  std::array<std::uint8_t, 2> SimilarityOptions{};
  std::array<std::uint8_t, 7> AveragingMasks{};
  std::array<bool, 7> AverageShown{};
  std::uint8_t AverageUnitCode = 0;
  GraphForm* Form = nullptr;  // none for a window made only for printing

  // Accumulating several recordings (the form's accumulation button is down).
  bool Accumulating = false;
  // The whole-matrix view of a Distortion window (time point -1): curve 0's
  // description as computed, holding the matrix while a row is shown. Never
  // changed once made (a recompute makes a new one), so copies share it.
  std::shared_ptr<const CurveSlot> DistortionMatrixView;

  // Frees every curve's values, drops its snapshot pointer (releasing
  // nothing) and sets the curve count to 0.
  void FreeCurves();
  // The averaging mask for a graph type (0 outside mode 2).
  std::uint8_t MaskFor(int type) const;
};

}  // namespace kalvex
