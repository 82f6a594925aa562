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
  for (CurveSlot& c : Curves) c.Values.reset();
  CurveCount = 0;
}

std::uint8_t TGrWin::MaskFor(int type) const {
  if (RecordingMode != Similarity) return 0;
  if (type == IntervalSpectrum) return SourceWindow ? SourceWindow->MaskFor(SignalTraces) : 0;
  int family = AveragingFamilyOf(type);
  return family < 0 ? 0 : AveragingMasks[family];
}

}  // namespace kalvex
