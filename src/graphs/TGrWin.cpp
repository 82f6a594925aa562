#include "graphs/TGrWin.h"

namespace kalvex {

int AveragingFamilyOf(int type) {
  switch (type) {
    case SignalTraces:
      return AvgSignalTraces;
    case Amplitude:
      return AvgAmplitude;
    case Phase:
    case FrequencyVsTime:
      return AvgPhase;
    case Spectrum:
      return AvgSpectrum;
    case Correlation:
      return AvgCorrelation;
    case Harmonics:
      return AvgHarmonics;
    case Distortion:
      return AvgDistortion;
    default:
      return -1;
  }
}

void TGrWin::FreeCurves() {
  // A freed curve shows no recording: a snapshot pointer left behind would be
  // released again later, lowering the count of whatever lives at its address.
  for (CurveSlot& c : Curves) {
    c.Values.reset();
    c.Recording = nullptr;
  }
  CurveCount = 0;
}

std::uint8_t TGrWin::MaskFor(int type) const {
  if (RecordingMode != Similarity) return 0;
  if (type == IntervalSpectrum) return SourceWindow ? SourceWindow->MaskFor(SignalTraces) : 0;
  int family = AveragingFamilyOf(type);
  return family < 0 ? 0 : AveragingMasks[family];
}

}  // namespace kalvex
