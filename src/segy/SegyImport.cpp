#include "segy/SegyImport.h"

#include <algorithm>
#include <cmath>

#include "analysis/UnitFactors.h"
#include "recordings/Cp1251.h"
#include "recordings/DerivedValues.h"
#include "recordings/TFrmFile.h"
#include "segy/SegyExport.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

constexpr int kUnitCode = 0;  // the unit the export writes every channel in

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string ModeText(int mode) {
  return std::string(ModeName(mode));
}

// The slot a name gives in the mode: a fixed channel name, or in Similarity
// the next free slot after the reference.
std::optional<std::string> SlotOfName(const std::string& name, int mode, int& nextSimilarity,
                                      int& slot) {
  if (mode == Similarity && Upper(name) != "REF") {
    if (Utf8Length(name) > ChannelNameMaxChars) return FormatText(TextId::SegyNameTooLong, {name});
    if (nextSimilarity > 5) return Text(TextId::SegyTooManyChannels);
    slot = nextSimilarity++;
    return std::nullopt;
  }
  for (slot = 0; slot < ChannelCount(mode); ++slot)
    if (Upper(FixedChannelName(mode, slot)) == Upper(name)) return std::nullopt;
  return FormatText(TextId::SegyUnknownChannel, {ModeText(mode), name});
}

bool Taken(const std::vector<TraceAssignment>& out, int slot, const std::string& name) {
  return std::any_of(out.begin(), out.end(), [&](const TraceAssignment& a) {
    return a.slot == slot || (!name.empty() && Upper(a.name) == Upper(name));
  });
}

// Counts of one trace at the channel's full scale, clipped to 16 bits.
void FillCounts(const std::vector<float>& values, double perCount, SampleArray& block,
                long& clipped) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double counts = perCount != 0 ? std::nearbyint(values[i] / perCount) : 0.0;
    const double kept = std::clamp(counts, -32768.0, 32767.0);
    if (kept != counts) ++clipped;
    block.Samples[i] = static_cast<std::int16_t>(kept);
  }
}

int SweepSamples(const SegyImage& image, const SegyImportChoices& choices, long rate, long n) {
  long sweep = n - 500;
  if (choices.sweepSeconds)
    sweep = *choices.sweepSeconds * rate;
  else if (image.sweep.lengthMs > 0)
    sweep = image.sweep.lengthMs * rate / 1000;
  return static_cast<int>(std::clamp(sweep, 0L, n));
}

void PutSimilarityNames(TFrmFile& rec, const std::vector<TraceAssignment>& channels) {
  for (int slot = 1; slot <= 5; ++slot) rec.SimilarityChannels[slot].Present = false;
  for (const TraceAssignment& a : channels) {
    if (a.slot == 0) continue;
    rec.SimilarityChannels[a.slot].Present = true;
    if (!a.name.empty()) rec.SimilarityChannels[a.slot].Name = a.name;
  }
}

}  // namespace

std::string FixedChannelName(int mode, int slot) {
  static const TFrmFile names;  // the fixed names of the modes
  if (mode == Similarity) return slot == 0 ? "REF" : "";
  return names.ChannelName(mode, slot);
}

std::vector<TraceAssignment> DefaultTraceAssignment(const SegyImage& image, int mode) {
  std::vector<TraceAssignment> out;
  if (!OwnTraceAssignment(image, mode, out)) return out;
  out.clear();
  for (int slot = 0; slot < ChannelCount(mode); ++slot) {
    const std::string name = Upper(FixedChannelName(mode, slot));
    for (std::size_t k = 0; k < image.traces.size() && !name.empty(); ++k)
      if (Upper(image.traces[k].name) == name) {
        out.push_back({slot, static_cast<int>(k), ""});
        break;
      }
  }
  if (!out.empty()) return out;
  const int count = std::min(ChannelCount(mode), static_cast<int>(image.traces.size()));
  for (int slot = 0; slot < count; ++slot) out.push_back({slot, slot, ""});
  return out;
}

std::optional<std::string> AssignTraces(const std::vector<std::pair<std::string, int>>& pairs,
                                        int mode, int traceCount,
                                        std::vector<TraceAssignment>& out) {
  out.clear();
  int nextSimilarity = 1;
  for (const auto& [name, trace] : pairs) {
    if (trace < 1 || trace > traceCount)
      return FormatText(TextId::SegyNoSuchTrace,
                        {std::to_string(trace), std::to_string(traceCount)});
    const bool named = mode == Similarity && Upper(name) != "REF";
    if (named && Taken(out, -1, name)) return FormatText(TextId::SegyChannelTwice, {name});
    int slot = 0;
    if (auto refusal = SlotOfName(name, mode, nextSimilarity, slot)) return refusal;
    if (!named && Taken(out, slot, "")) return FormatText(TextId::SegyChannelTwice, {name});
    out.push_back({slot, trace - 1, named ? name : ""});
  }
  if (out.empty()) return Text(TextId::SegyNothingMapped);
  return std::nullopt;
}

std::optional<std::string> OwnTraceAssignment(const SegyImage& image, int mode,
                                              std::vector<TraceAssignment>& out) {
  out.clear();
  if (image.text.rfind(SegyOwnMark, 0) != 0) return Text(TextId::SegyNotOurs);
  for (std::size_t k = 0; k < image.traces.size(); ++k) {
    const int channel = image.traces[k].channelNumber;
    const long slot = channel - 1L;  // any number a foreign header holds
    if (slot == ChannelCount(mode) && mode != Similarity && mode != Ombrel16) continue;  // derived
    if (slot < 0 || slot >= ChannelCount(mode) || Taken(out, static_cast<int>(slot), ""))
      return FormatText(TextId::SegyChannelOutside,
                        {std::to_string(k + 1), std::to_string(channel), ModeText(mode)});
    out.push_back({static_cast<int>(slot), static_cast<int>(k),
                   mode == Similarity && slot > 0 ? image.traces[k].name : ""});
  }
  if (out.empty()) return Text(TextId::SegyNothingMapped);
  return std::nullopt;
}

std::optional<int> RateIndexOfInterval(int intervalUs) {
  for (int k = 0; k <= 4; ++k)
    if (intervalUs * (500 << k) == 1000000) return k;
  return std::nullopt;
}

SegyImportResult ImportSegy(const SegyImage& image, const SegyImportChoices& choices,
                            const AnalysisContext& ctx, int& sampleRateIndex) {
  SegyImportResult result;
  const std::optional<int> index = RateIndexOfInterval(image.intervalUs);
  if (!index) {
    result.refusal = FormatText(TextId::SegyBadRate, {std::to_string(image.intervalUs)});
    return result;
  }
  TFrmFile& rec = ctx.rec;
  const long n = image.traces.empty() ? 0 : static_cast<long>(image.traces[0].values.size());
  const long rate = 500L << *index;
  sampleRateIndex = *index;
  rec.SampleRate = static_cast<std::uint16_t>(rate);
  rec.RecordLength = static_cast<std::uint16_t>(n);
  rec.SweepLength = static_cast<std::uint16_t>(SweepSamples(image, choices, rate, n));
  rec.SweepSeconds = static_cast<std::uint16_t>(rec.SweepLength / rate);
  if (rec.Mode == Similarity) PutSimilarityNames(rec, choices.channels);
  rec.ClearAnalyses();
  rec.FreeChannelsFrom(ChannelCount(rec.Mode));
  for (int slot = 0; slot < ChannelCount(rec.Mode); ++slot) {
    auto& block = rec.Channels[slot];
    if (!block) block = std::make_unique<SampleArray>();
    block->Samples.assign(n, 0);
  }
  for (const TraceAssignment& a : choices.channels) {
    const auto scale = choices.scales.find(a.trace);
    const double factor = scale == choices.scales.end() ? 1.0 : scale->second;
    const double perCount = UnitFactor(ctx, rec.Mode, a.slot, kUnitCode) / factor;
    FillCounts(image.traces[a.trace].values, perCount, *rec.Channels[a.slot], result.clipped);
  }
  for (int slot = 0; slot < ChannelCount(rec.Mode); ++slot)
    ScanRange(*rec.Channels[slot], rec.SweepLength);
  if (!rec.DerivedChannel) rec.DerivedChannel = std::make_unique<ValueArray>();
  rec.DerivedChannel->Values.assign(n, 0.0);
  ComputeDerivedChannel(rec, ctx.settings);
  rec.Origin = OriginFile;
  return result;
}

}  // namespace kalvex
