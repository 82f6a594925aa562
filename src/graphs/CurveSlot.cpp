#include "graphs/CurveSlot.h"

namespace kalvex {

ValueArray& CurveSlot::Allocate(int count) {
  Values = std::make_shared<ValueArray>();
  Values->Values.assign(static_cast<std::size_t>(count > 0 ? count : 0), 0.0);
  Values->Count = count > 0 ? count : 0;
  return *Values;
}

int SelectedCount(const ChannelSelection& selection) {
  int n = 0;
  for (auto slot : selection) n += slot >= 0 ? 1 : 0;
  return n;
}

int NthSelected(const ChannelSelection& selection, int n) {
  for (int channel = 0; channel < static_cast<int>(selection.size()); ++channel) {
    if (selection[channel] < 0) continue;
    if (n-- == 0) return channel;
  }
  return -1;
}

}  // namespace kalvex
