#pragma once
// One of a graph window's eight curves: its values, its extremes and its
// vertical scaling.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "recordings/SampleBlocks.h"

namespace kalvex {

class TNFile;

inline constexpr int MaxCurves = 8;
inline constexpr int CurveNameMaxChars = 15;

struct CurveSlot {
  std::string Name;  // at most 15 characters
  double Min = 0;    // data extremes, set by the analysis
  double Max = 0;
  double Centre = 0;  // scale mode 3 and ShowWhole
  double HalfRange = 0;
  std::int16_t ReadoutLeft = 0;  // x extent of this curve's read-out text
  std::int16_t ReadoutRight = 0;
  std::int16_t BandTop = 0;  // pixels
  std::int16_t BandBottom = 0;
  std::int16_t BandHeight = 0;  // top - bottom (negative)
  std::int16_t Computed = -1;   // -1: must be (re)computed
  std::int32_t Colour = 0;      // RGB, 0xRRGGBB
  double Scale = 0;             // pixels per value unit before zoom; 0 = not yet scaled
  double ZeroLine = 0;          // pixel y of value 0
  double Zoom = 1.0;            // 1.0 = automatic fit
  double UserOffset = 0.0;
  double UserGain = 1.0;
  TNFile* Recording = nullptr;  // accumulation: the recording this curve shows
  // Shared only between a Distortion window's curve 0 and its saved
  // whole-matrix view; otherwise the curve's own.
  std::shared_ptr<ValueArray> Values;

  // A fresh array of `count` zero values, replacing any the curve held.
  ValueArray& Allocate(int count);
  // Frees the values and resets the slot to a new curve's state.
  void Clear() { *this = CurveSlot(); }
};

// Seven slots, one per channel index 0..6: -1 not selected; otherwise the
// unit code (signal traces, amplitude) or 0.
using ChannelSelection = std::array<std::int16_t, 7>;
inline constexpr ChannelSelection NoChannels{-1, -1, -1, -1, -1, -1, -1};

// Channels selected, in index order.
int SelectedCount(const ChannelSelection& selection);
// The n-th selected channel (from 0), or -1.
int NthSelected(const ChannelSelection& selection, int n);

}  // namespace kalvex
