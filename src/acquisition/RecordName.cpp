#include "acquisition/RecordName.h"

#include <algorithm>

#include "recordings/ProcessValues.h"
#include "recordings/RecordingHeader.h"
#include "recordings/RecordingWriter.h"
#include "recordings/TFrmFile.h"

namespace kalvex {

void NameAcquiredRecord(TFrmFile& rec, const LocalDateTime& now) {
  const std::string time = HeaderTimeText(now);
  std::copy_n(time.begin(), std::min<std::size_t>(10, time.size()),
              rec.FileHeader.begin() + header::Time);
  rec.Name = "Rec_" + time;
}

bool IsUnsavedRecordName(const std::string& name) {
  return name.empty() || name.rfind("Rec_", 0) == 0;
}

}  // namespace kalvex
