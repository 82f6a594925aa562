#include "graphs/ReportGrid.h"

#include "graphs/GraphTypes.h"
#include "recordings/TFrmFile.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

// The similarity channels 1..5 in use, their names joined by ",".
std::string NamesInUse(const TFrmFile& rec) {
  std::string names;
  for (int i = 1; i <= 5; ++i) {
    if (!rec.SimilarityChannels[i].Present) continue;
    if (!names.empty()) names += ',';
    names += rec.SimilarityChannels[i].Name;
  }
  return names;
}

std::vector<ReportCell> SimilarityCells(const TFrmFile& rec) {
  std::vector<ReportCell> cells;
  const std::string names = NamesInUse(rec);
  if (!names.empty()) {
    cells.push_back({0, 1, Amplitude, 0, FormatText(TextId::ReportSimilarityFundamental, {names})});
    cells.push_back({0, 2, Phase, 0, FormatText(TextId::ReportSimilarityPhase, {names})});
    cells.push_back(
        {0, 3, Harmonics, 0, FormatText(TextId::ReportSimilarityHarmonicsAll, {names})});
    cells.push_back({0, 4, Harmonics, 1, FormatText(TextId::ReportSimilarityHarmonics2, {names})});
  }
  for (int k = 1; k <= 5; ++k)
    if (rec.SimilarityChannels[k].Present)
      cells.push_back(
          {1, k - 1, Correlation, k,
           FormatText(TextId::ReportSimilarityCorrelation, {rec.SimilarityChannels[k].Name})});
  return cells;
}

}  // namespace

std::vector<ReportCell> ReportCells(const TFrmFile& rec) {
  if (rec.Mode == Similarity) return SimilarityCells(rec);
  const bool dodida = rec.Mode == Dodida;
  return {
      {0, 1, SignalTraces, 0, Text(dodida ? TextId::ReportGfSignal : TextId::ReportVibSignal)},
      {0, 2, Amplitude, 0,
       Text(dodida ? TextId::ReportGfFundamental : TextId::ReportVibFundamental)},
      {0, 3, Phase, 0, Text(TextId::ReportPhase)},
      {0, 4, Harmonics, 0, Text(TextId::ReportHarmonics)},
      {1, 0, FrequencyVsTime, 0, Text(TextId::ReportFrequency)},
      {1, 1, Correlation, 0, Text(TextId::ReportCorrelationDb)},
      dodida ? ReportCell{1, 2, Distortion, 0, Text(TextId::ReportDistortion)}
             : ReportCell{1, 2, Correlation, 1, Text(TextId::ReportCorrelationLinear)},
      dodida ? ReportCell{1, 3, Phase, 1, Text(TextId::ReportPhaseBpRm)}
             : ReportCell{1, 3, Distortion, 0, Text(TextId::ReportDistortion)},
      dodida ? ReportCell{1, 4, Power, 0, Text(TextId::ReportPower)}
             : ReportCell{1, 4, Spectrum, 0, Text(TextId::ReportSpectrum)},
  };
}

}  // namespace kalvex
