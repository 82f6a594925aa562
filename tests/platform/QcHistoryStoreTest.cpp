// The QC history database: judgements kept once and read back, files that
// are not a history (or are damaged, or newer) refused untouched, a write
// that runs out of room leaving the database as it was, and writers at once
// losing nothing.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <thread>

#include "platform/QcHistoryStore.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

JudgedRecording Judgement(const std::string& sha, const std::string& day, double phase) {
  JudgedRecording j;
  j.sha256 = sha;
  j.path = sha + ".qrm";
  j.mode = 3;
  j.modeName = "Dodida";
  j.recordedDay = day;
  j.recordedTime = "07:00:00";
  j.judgedAt = day + " 08:00:00";
  j.outcome.profile.name = "P";
  j.outcome.profile.limits[static_cast<int>(QcFigureId::PhasePeak)].max = 10;
  QcChannelFigures gf;
  gf.channel = 1;
  gf.name = "GF";
  gf.values[0] = phase;
  gf.available[0] = true;
  j.outcome.figures.channels = {gf};
  j.outcome.provenance = {"0.1", sha, "frame 512"};
  j.profileSha256 = "p1";
  j.vibrators = {"V" + sha.substr(0, 1)};
  return j;
}

struct History {
  QTemporaryDir dir;
  std::string path = dir.filePath("h.sqlite").toStdString();

  std::unique_ptr<QcHistoryStore> Open() {
    std::string error;
    auto store = QcHistoryStore::OpenForWriting(path, error);
    EXPECT_TRUE(store) << error;
    return store;
  }
  std::vector<HistoryFigure> Read(HistoryQuery q = {}) {
    std::string error;
    std::vector<HistoryFigure> figures;
    auto store = QcHistoryStore::OpenForReading(path, error);
    EXPECT_TRUE(store && store->Read(q, figures, error)) << error;
    return figures;
  }
  QByteArray Bytes() {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  void Write(const QByteArray& bytes) {
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
};

TEST(QcHistoryStoreTest, KeepsEachJudgementOnceAndReadsItBack) {
  History h;
  auto store = h.Open();
  bool stored = false;
  std::string error;
  ASSERT_TRUE(store->Store(Judgement("1a", "2026-12-01", 3.5), stored, error)) << error;
  EXPECT_TRUE(stored);
  ASSERT_TRUE(store->Store(Judgement("1a", "2026-12-01", 3.5), stored, error)) << error;
  EXPECT_FALSE(stored);
  JudgedRecording otherProfile = Judgement("1a", "2026-12-01", 3.5);
  otherProfile.profileSha256 = "p2";
  ASSERT_TRUE(store->Store(otherProfile, stored, error) && stored) << error;
  ASSERT_TRUE(store->Store(Judgement("2b", "2026-12-02", 12), stored, error) && stored) << error;

  const std::vector<HistoryFigure> all = h.Read();
  ASSERT_EQ(all.size(), 3u * QcFigureCount);
  auto find = [&](const std::string& vibrator, QcFigureId id) {
    return *std::find_if(all.begin(), all.end(), [&](const HistoryFigure& f) {
      return f.vibrator == vibrator && f.figure == id;
    });
  };
  const HistoryFigure phase = find("V2", QcFigureId::PhasePeak);
  EXPECT_EQ(phase.day, "2026-12-02");
  EXPECT_EQ(phase.value, 12);
  EXPECT_EQ(phase.limit.max, 10);
  EXPECT_EQ(phase.verdict, QcVerdict::Fail);
  // Figures without a value or limit come back so.
  const HistoryFigure level = find("V2", QcFigureId::LevelMin);
  EXPECT_FALSE(level.value);
  EXPECT_FALSE(level.limit.Any());
  EXPECT_EQ(level.verdict, QcVerdict::NotJudged);
  EXPECT_EQ(h.Read({"V1", "phase_peak", "", ""}).size(), 2u);
  EXPECT_EQ(h.Read({"", "", "2026-12-02", "2026-12-31"}).size(), 1u * QcFigureCount);
}

TEST(QcHistoryStoreTest, RefusesWhatIsNotAHistoryOfItsSchemaAndLeavesItAsItWas) {
  History h;
  std::string error;
  EXPECT_FALSE(QcHistoryStore::OpenForReading(h.path, error));
  EXPECT_NE(error.find(h.path), std::string::npos) << error;
  EXPECT_FALSE(QFile::exists(QString::fromStdString(h.path)));

  h.Write("plain text, not a database\n");
  EXPECT_FALSE(QcHistoryStore::OpenForWriting(h.path, error));
  EXPECT_EQ(h.Bytes(), "plain text, not a database\n");

  // A history with a damaged page, and one a newer program made.
  QFile::remove(QString::fromStdString(h.path));
  bool stored = false;
  for (int i = 0; i < 40; ++i)
    h.Open()->Store(Judgement(std::to_string(i) + "x", "2026-12-01", i), stored, error);
  {
    auto store = h.Open();  // its last connection folds the journal in
  }
  QByteArray damaged = h.Bytes();
  ASSERT_GT(damaged.size(), 3 * 4096);
  for (int k = 0; k < 200; ++k) damaged[2 * 4096 + k] = static_cast<char>(0xA5);
  h.Write(damaged);
  EXPECT_FALSE(QcHistoryStore::OpenForWriting(h.path, error));
  EXPECT_NE(error.find(Text(TextId::QcHistoryDamaged)), std::string::npos) << error;
  EXPECT_EQ(h.Bytes(), damaged);

  QFile::remove(QString::fromStdString(h.path));
  h.Open();
  QByteArray newer = h.Bytes();
  newer[60 + 3] = 9;  // the header's user version
  h.Write(newer);
  EXPECT_FALSE(QcHistoryStore::OpenForWriting(h.path, error));
  EXPECT_NE(error.find(FormatText(TextId::QcHistoryNewer, {"9"})), std::string::npos) << error;
  EXPECT_EQ(h.Bytes(), newer);
}

TEST(QcHistoryStoreTest, AWriteWithoutRoomLeavesTheHistoryAsItWas) {
  History h;
  auto store = h.Open();
  bool stored = false;
  std::string error;
  ASSERT_TRUE(store->Store(Judgement("1a", "2026-12-01", 3), stored, error));
  const std::size_t before = h.Read().size();
  JudgedRecording big = Judgement("2b", "2026-12-02", 4);
  big.comment = std::string(200000, 'c');
  store->LimitPages(8);
  EXPECT_FALSE(store->Store(big, stored, error));
  EXPECT_FALSE(stored);
  EXPECT_NE(error.find(h.path), std::string::npos) << error;
  EXPECT_EQ(h.Read().size(), before);
  store->LimitPages(0);
  EXPECT_TRUE(store->Store(big, stored, error) && stored) << error;
}

// Both start on a file that does not exist yet: one creates the schema and
// turns the journal to WAL while the other waits, reading.
TEST(QcHistoryStoreTest, WritersAtOnceLoseNothing) {
  History h;
  auto writer = [&](int base, int* failures) {
    auto store = h.Open();
    for (int i = 0; i < 25; ++i) {
      bool stored = false;
      std::string error;
      if (!store->Store(Judgement(std::to_string(base + i) + "w", "2026-12-03", i), stored, error) ||
          !stored)
        ++*failures;
    }
  };
  int failuresA = 0, failuresB = 0;
  std::thread a(writer, 0, &failuresA), b(writer, 100, &failuresB);
  a.join();
  b.join();
  EXPECT_EQ(failuresA + failuresB, 0);
  EXPECT_EQ(h.Read().size(), 50u * QcFigureCount);
}

}  // namespace
}  // namespace kalvex
