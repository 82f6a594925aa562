#include "recordings/TNFiles.h"

#include <algorithm>

#include "recordings/Cp1251.h"
#include "recordings/TFrmFile.h"

namespace kalvex {

TNFile& TNFiles::AddSnapshot(const TFrmFile& recording) {
  auto item = std::make_unique<TNFile>();
  // Numbering continues from the last snapshot present, so a number freed at
  // the end is given again while one freed in the middle is not.
  item->Number = items_.empty() ? 1 : items_.back()->Number + 1;
  TakeSnapshot(*item, recording);
  items_.push_back(std::move(item));
  return *items_.back();
}

void TNFiles::TakeSnapshot(TNFile& item, const TFrmFile& recording) {
  item.Name = recording.Name;
  item.Comment = Utf8Prefix(recording.Comment, CommentMaxChars);
  item.HoldDownWeight = recording.HoldDownWeight;
  item.BaseplateWeight = recording.BaseplateWeight;
  item.ReactionMassWeight = recording.ReactionMassWeight;
  item.BaseplateAccSensitivity = recording.BaseplateAccSensitivity;
  item.MassAccSensitivity = recording.MassAccSensitivity;
  item.ServoCurrentFactor = recording.ServoCurrentFactor;
  item.SourceVoltageFactor = recording.SourceVoltageFactor;
  item.SourceCurrentFactor = recording.SourceCurrentFactor;
  item.SourceSensorFactor = recording.SourceSensorFactor;
  item.TestOut = recording.TestOut;
}

TNFile& TNFiles::EnsureGroupSnapshot(const TFrmFile& recording) {
  if (items_.empty()) return AddSnapshot(recording);
  return *items_.back();
}

bool TNFiles::Contains(const TNFile& item) const {
  return std::any_of(items_.begin(), items_.end(),
                     [&item](const std::unique_ptr<TNFile>& p) { return p.get() == &item; });
}

std::vector<const TNFile*> TNFiles::Items() const {
  std::vector<const TNFile*> items;
  items.reserve(items_.size());
  for (const std::unique_ptr<TNFile>& p : items_) items.push_back(p.get());
  return items;
}

void TNFiles::AddReference(TNFile& item) {
  if (Contains(item)) ++item.RefCount;
}

bool TNFiles::ReleaseReference(TNFile& item) {
  auto it = std::find_if(items_.begin(), items_.end(),
                         [&item](const std::unique_ptr<TNFile>& p) { return p.get() == &item; });
  if (it == items_.end() || item.RefCount <= 0) return false;
  if (--item.RefCount > 0) return false;
  items_.erase(it);
  return true;
}

}  // namespace kalvex
