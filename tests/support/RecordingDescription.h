#pragma once
// Everything a file read or a reset may change in a recording and the process
// values, as text (one field per line, so that a test failure shows a diff).
// Samples and values are summarised by count and checksum.

#include <cstdint>
#include <sstream>
#include <string>

#include "recordings/ProcessValues.h"
#include "recordings/TFrmFile.h"

namespace kalvex::test {

template <typename Values>
std::string Summary(const Values& v) {
  std::uint64_t h = 1469598103934665603ull;
  for (auto x : v)
    h = (h ^ static_cast<std::uint64_t>(static_cast<std::int64_t>(x * 1000))) * 1099511628211ull;
  return std::to_string(v.size()) + "/" + std::to_string(h);
}

inline std::string Describe(const TFrmFile& r, const ProcessValues& v = {}) {
  std::ostringstream o;
  o.precision(17);
  o << "mode " << int{r.Mode} << " origin " << int{r.Origin} << " modified " << r.Modified
    << "\nlengths " << r.RecordLength << ' ' << r.SweepLength << ' ' << r.SweepSeconds << ' '
    << r.SampleRate << "\ncomment [" << r.Comment << "] name [" << r.Name << "]\nweights "
    << r.HoldDownWeight << ' ' << r.BaseplateWeight << ' ' << r.ReactionMassWeight << "\ntrigger "
    << r.TriggerLevel << ' ' << r.TriggerDelay << "\nsensitivities " << r.BaseplateAccSensitivity
    << ' ' << r.MassAccSensitivity << "\nfactors " << r.ServoCurrentFactor << ' '
    << r.SourceVoltageFactor << ' ' << r.SourceCurrentFactor << ' ' << r.SourceSensorFactor << ' '
    << r.TestOut << "\npolarity " << r.PolarityPositive << "\ncache " << r.CrossReferenceChannel;
  for (auto b : r.CacheState) o << ' ' << int{b};
  o << ' ' << r.AmplitudeNorm << "\nindices " << v.SampleRateIndex << ' ' << v.EquipmentIndex;
  for (const auto& d : r.SimilarityChannels)
    o << "\nsimilarity " << d.Present << d.Attenuated << " [" << d.Name << ']';
  o << "\nheader";
  for (auto b : r.FileHeader) o << ' ' << int{b};
  for (int slot = 0; slot < MaxChannelSlots; ++slot) {
    o << "\nslot " << slot << ' ' << r.AnalysisValid[slot] << r.CrossValid[slot]
      << (r.FrameAnalyses[slot] ? " table " : " - ");
    o << (r.Channels[slot] ? Summary(r.Channels[slot]->Samples) : "none");
  }
  o << "\nderived " << (r.DerivedChannel ? Summary(r.DerivedChannel->Values) : "none") << '\n';
  return o.str();
}

}  // namespace kalvex::test
