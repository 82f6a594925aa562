#pragma once
// The set of open recordings: one snapshot per recording that entered while
// some graph window accumulated recordings, in the order they entered. The
// set owns the snapshots; the accumulating windows' curves point at them and
// count their references, and a snapshot goes when its last curve lets go.
// Used on the user-interface thread.

#include <list>
#include <memory>
#include <vector>

#include "recordings/TNFile.h"

namespace kalvex {

class TFrmFile;

class TNFiles {
 public:
  TNFiles() = default;
  TNFiles(const TNFiles&) = delete;
  TNFiles& operator=(const TNFiles&) = delete;

  // Appends a snapshot of `recording`, numbered one past the snapshot that is
  // last now (1 in an empty set), with no references yet.
  TNFile& AddSnapshot(const TFrmFile& recording);
  // Copies the recording's name, comment and the ten parameters into `item`.
  static void TakeSnapshot(TNFile& item, const TFrmFile& recording);

  // A window switches into accumulation: the snapshot its current curve
  // belongs to. Makes one of `recording` when the set is empty; otherwise the
  // last snapshot is the newest recording any window took.
  TNFile& EnsureGroupSnapshot(const TFrmFile& recording);

  // A curve starts using `item`. Items outside the set are ignored.
  void AddReference(TNFile& item);
  // A curve stops using `item`; the release of the last reference frees the
  // item and removes it from the set (true then). A release of an item
  // outside the set, or of one nobody refers to, changes nothing: a curve
  // released twice must not free a snapshot that others still use.
  bool ReleaseReference(TNFile& item);

  // nullptr when the set is empty.
  TNFile* Last() { return items_.empty() ? nullptr : items_.back().get(); }
  const TNFile* Last() const { return items_.empty() ? nullptr : items_.back().get(); }
  int Count() const { return static_cast<int>(items_.size()); }
  bool Contains(const TNFile& item) const;
  // Every snapshot, in the order they entered (for lists and checks).
  std::vector<const TNFile*> Items() const;

 private:
  // Addresses stay put while other items come and go: curves keep pointers.
  std::list<std::unique_ptr<TNFile>> items_;
};

}  // namespace kalvex
