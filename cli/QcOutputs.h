#pragma once
// What `qc` writes: the table on standard output, the JSON document and the
// CSV rows (one per compared channel, or one for a refused file), each with
// its provenance: program version, file SHA-256, settings and profile.

#include <string>
#include <vector>

#include "QcCheck.h"

namespace kalvex::cli {

// A text padded with spaces to `width` characters (UTF-8), on the left when
// `right`; a CSV field, quoted where it must be.
std::string Padded(std::string text, std::size_t width, bool right = false);
std::string CsvField(const std::string& text);

// The file's verdict: refused files have none.
QcOverall FileOverall(const QcFileResult& file, const QcRun& run);

std::string QcTable(const std::vector<QcFileResult>& files, const QcRun& run);
std::string QcJson(const std::vector<QcFileResult>& files, const QcRun& run);
std::string QcCsv(const std::vector<QcFileResult>& files, const QcRun& run);

}  // namespace kalvex::cli
