#pragma once
// SEG-Y traces into the recording: which trace becomes which channel of the
// mode, the sample rate the system records, and the physical values turned
// back into 16-bit counts at the full scale of each channel's unit.

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/AnalysisContext.h"
#include "segy/SegyImage.h"

namespace kalvex {

struct TraceAssignment {
  int slot = 0;      // the channel slot of the mode
  int trace = 0;     // 0-based trace index in the file
  std::string name;  // Similarity: the channel's name
};

// Channel names (any case; in Similarity the names of the channels besides
// "REF", given to slots 1..5 in order) with 1-based trace numbers. Returns the
// refusal when a name is not a channel of the mode, is given twice, is too
// long, or a trace is not in the file.
std::optional<std::string> AssignTraces(const std::vector<std::pair<std::string, int>>& pairs,
                                        int mode, int traceCount,
                                        std::vector<TraceAssignment>& out);

// A file the program wrote maps back by the channel numbers in its trace
// headers (the derived channel is left out: it is computed again). Refused
// for another writer's file or a channel the mode does not have.
std::optional<std::string> OwnTraceAssignment(const SegyImage& image, int mode,
                                              std::vector<TraceAssignment>& out);

// The name of a channel of the mode a trace is assigned to by; empty for the
// Similarity channels besides "REF", which the import names.
std::string FixedChannelName(int mode, int slot);

// The assignment an import starts from: a file the program wrote by its
// channel numbers, else the channels whose fixed names match a trace's name,
// else trace by trace in order.
std::vector<TraceAssignment> DefaultTraceAssignment(const SegyImage& image, int mode);

struct SegyImportChoices {
  std::vector<TraceAssignment> channels;
  std::map<int, double> scales;     // 0-based trace → factor applied before the counts
  std::optional<int> sweepSeconds;  // else the file's sweep length, else the record less 500
};

struct SegyImportResult {
  std::optional<std::string> refusal;
  long clipped = 0;  // samples beyond full scale, set to it
};

// The sample interval as a rate index 0..4, or nothing for a rate the system
// does not record.
std::optional<int> RateIndexOfInterval(int intervalUs);

// Fills the recording of mode ctx.rec.Mode (its parameters already set):
// rate, lengths, the mapped channels in counts (the others silent), their
// ranges and the derived channel. A refusal changes nothing.
SegyImportResult ImportSegy(const SegyImage& image, const SegyImportChoices& choices,
                            const AnalysisContext& ctx, int& sampleRateIndex);

}  // namespace kalvex
