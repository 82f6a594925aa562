#pragma once
// The name of a record that was acquired or made and not yet saved: "Rec_"
// followed by the time text of the record, which also goes into the header
// image at offset 52.

#include <string>

namespace kalvex {

class TFrmFile;
struct LocalDateTime;

// Name := "Rec_" + time text; the first 10 bytes of the time text go to
// header offset 52.
void NameAcquiredRecord(TFrmFile& rec, const LocalDateTime& now);

// Whether a name is that of a record never saved (empty, or "Rec_...").
bool IsUnsavedRecordName(const std::string& name);

}  // namespace kalvex
