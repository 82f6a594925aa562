#include "analysis/SignalsText.h"

#include "recordings/FormatNumber.h"
#include "recordings/TFrmFile.h"

namespace kalvex {
namespace {

constexpr const char* kRmHeading =
    "f(RM) RE(RM) Im(RM) D2(RM) d3(RM) D4(RM) D5(RM) Phase(RM) RE(RM-by-BP) Im(RM-by-BP) "
    "Re(RM-D2) Im(RM-D2) Re(RM-D2) Im(RM-D2)";
constexpr const char* kBpHeading =
    "f(BP) RE(BP) Im(BP) D2(BP) d3(BP) D4(BP) D5(BP) Phase(BP) RE(BP-by-RM) Im(BP-by-RM) "
    "Re(BP-D2) Im(BP-D2) Re(BP-D2) Im(BP-D2)";

void AppendTable(std::string& out, const char* heading, const FrameAnalysis* table) {
  out += heading;
  out += "\r\n";
  if (!table) return;
  for (int i = 0; i < table->FrameCount; ++i) {
    for (int k = 0; k < FrameAnalysis::ArrayCount; ++k) {
      out += FormatNumber(table->Array(k)[i], 1);
      out += ' ';
    }
    out += "\r\n";
  }
}

const FrameAnalysis* TableOf(const TFrmFile& rec, int channel) {
  return channel >= 0 ? rec.FrameAnalyses[channel].get() : nullptr;
}

}  // namespace

std::string WriteSignalsText(const TFrmFile& rec) {
  std::string out;
  AppendTable(out, kRmHeading, TableOf(rec, RmChannelIndex(rec.Mode)));
  AppendTable(out, kBpHeading, TableOf(rec, BpChannelIndex(rec.Mode)));
  return out;
}

}  // namespace kalvex
