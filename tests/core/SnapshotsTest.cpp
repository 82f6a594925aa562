// The set of open recordings: what a snapshot copies, sequence numbers after
// snapshots are freed, and reference counting.

#include <gtest/gtest.h>

#include "recordings/TFrmFile.h"
#include "recordings/TNFiles.h"

namespace kalvex {
namespace {

TEST(SnapshotsTest, SnapshotCopiesNameCommentAndParameters) {
  TFrmFile rec;
  rec.Name = "Rec_14:05:33  ";
  rec.Comment = std::string(95, 'x') + "яю";  // 97 characters
  rec.ReactionMassWeight = 3900;
  rec.SourceSensorFactor = 2.5;
  rec.TestOut = 0.75;
  TNFiles files;
  TNFile& s = files.AddSnapshot(rec);
  EXPECT_EQ(s.Name, rec.Name);
  EXPECT_EQ(s.Comment, std::string(95, 'x') + "я");
  EXPECT_EQ(s.ReactionMassWeight, 3900);
  EXPECT_EQ(s.SourceSensorFactor, 2.5);
  EXPECT_EQ(s.TestOut, 0.75);
  EXPECT_EQ(s.RefCount, 0);
}

TEST(SnapshotsTest, NumberingContinuesFromTheLastSnapshotPresent) {
  TFrmFile rec;
  for (int freed : {3, 1}) {
    TNFiles files;
    TNFile* s[3];
    for (TNFile*& p : s) files.AddReference(*(p = &files.AddSnapshot(rec)));
    EXPECT_TRUE(files.ReleaseReference(*s[freed - 1]));
    EXPECT_EQ(files.AddSnapshot(rec).Number, freed == 3 ? 3 : 4);
  }
  // A window entering accumulation makes a snapshot only in an empty set.
  TNFiles files;
  TNFile& first = files.EnsureGroupSnapshot(rec);
  EXPECT_EQ(first.Number, 1);
  EXPECT_EQ(&files.EnsureGroupSnapshot(rec), &first);
}

TEST(SnapshotsTest, TheLastReleaseFreesAndStrayReleasesChangeNothing) {
  TFrmFile rec;
  TNFiles files, others;
  TNFile& a = files.AddSnapshot(rec);
  TNFile& b = files.AddSnapshot(rec);
  files.AddReference(a);
  files.AddReference(a);
  EXPECT_FALSE(files.ReleaseReference(a));
  EXPECT_TRUE(files.ReleaseReference(a));
  EXPECT_FALSE(files.Contains(a));
  // Nobody refers to b yet: a release neither frees it nor counts below 0.
  EXPECT_FALSE(files.ReleaseReference(b));
  EXPECT_EQ(b.RefCount, 0);
  // Another set's item is not this set's to count or free.
  TNFile& foreign = others.AddSnapshot(rec);
  others.AddReference(foreign);
  files.AddReference(foreign);
  EXPECT_FALSE(files.ReleaseReference(foreign));
  EXPECT_EQ(foreign.RefCount, 1);
  EXPECT_EQ(files.Count(), 1);
}

}  // namespace
}  // namespace kalvex
