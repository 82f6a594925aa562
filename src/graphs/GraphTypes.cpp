#include "graphs/GraphTypes.h"

#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

// Type code by menu tag 0..13.
constexpr int kTypeOfTag[] = {0, 1, 2, 3, 8, 6, 7, 5, 4, 9, 10, 11, 12, 13};

}  // namespace

int GraphTypeOfMenuTag(int tag) {
  return tag >= 1 && tag < static_cast<int>(std::size(kTypeOfTag)) ? kTypeOfTag[tag] : 0;
}

int MenuTagOfGraphType(int type) {
  if (type == IntervalSpectrum) return 14;
  for (int tag = 1; tag < static_cast<int>(std::size(kTypeOfTag)); ++tag)
    if (kTypeOfTag[tag] == type) return tag;
  return 0;
}

bool IsFrequencyDomain(int type) {
  return type == Distortion || type == Spectrum || type == IntervalSpectrum;
}

std::string_view AxisUnitWord(int type) {
  return Text(IsFrequencyDomain(type) ? TextId::Hertz : TextId::Seconds);
}

std::string_view GraphTypeName(int type) {
  static constexpr std::string_view names[] = {
      "",          "SignalTraces", "Amplitude",   "Phase",           "Distortion",
      "Harmonics", "Spectrum",     "Correlation", "FrequencyVsTime", "Ground",
      "Power",     "AccCompare",   "Servo",       "Actuator",        "IntervalSpectrum"};
  return type >= 0 && type < static_cast<int>(std::size(names)) ? names[type] : "";
}

}  // namespace kalvex
