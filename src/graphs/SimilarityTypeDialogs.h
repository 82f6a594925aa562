#pragma once
// The graph type dialogs of the similarity mode (2): the channels come from
// the recording, and "AVERAGE" stands for the average of the chosen ones.

#include <memory>

#include "graphs/TypeDialogModel.h"

namespace kalvex {

// Signal traces, amplitude, phase, spectrum and correlation.
std::unique_ptr<TypeDialog> SimilaritySignalsDialog(int type, const TGrWin& w, const TFrmFile& rec);
// Distortion and harmonics.
std::unique_ptr<TypeDialog> SimilarityHarmonicsDialog(int type, const TGrWin& w,
                                                      const TFrmFile& rec);

}  // namespace kalvex
