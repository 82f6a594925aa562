#include "QcHistoryKeeper.h"

#include <QDir>
#include <QStandardPaths>

#include "analysis/AnalysisContext.h"
#include "platform/FileAccess.h"
#include "platform/FileDigest.h"
#include "qc/VibratorName.h"
#include "recordings/RecordingModes.h"
#include "recordings/TFrmFile.h"
#include "shell/UserInteraction.h"

namespace kalvex {

std::string QcHistoryKeeper::DefaultPath() {
  const QString chosen = qEnvironmentVariable("KALVEX_QC_HISTORY");
  if (!chosen.isEmpty()) return NativePath(chosen);
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  QDir().mkpath(folder);
  return NativePath(QDir(folder).filePath(QStringLiteral("qc-history.sqlite")));
}

std::string RecordingDigest(const QcOutcome& outcome, const AnalysisContext& ctx) {
  if (!outcome.provenance.sha256.empty()) return outcome.provenance.sha256;
  const TFrmFile& rec = ctx.rec;
  std::vector<std::uint8_t> bytes(rec.FileHeader.begin(), rec.FileHeader.end());
  for (const auto& channel : rec.Channels) {
    if (!channel) continue;
    for (std::int16_t s : channel->Samples) {
      bytes.push_back(static_cast<std::uint8_t>(s & 0xFF));
      bytes.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
    }
  }
  return Sha256Hex(bytes);
}

void QcHistoryKeeper::Refused(const std::string& error) {
  if (refusalShown_) return;
  refusalShown_ = true;
  ui_.ShowError(error);
}

std::unique_ptr<QcHistoryStore> QcHistoryKeeper::OpenForWriting() {
  std::string error;
  auto store = QcHistoryStore::OpenForWriting(path_, error);
  if (!store) Refused(error);
  return store;
}

void QcHistoryKeeper::Keep(const QcOutcome& outcome, const AnalysisContext& ctx,
                           const std::string& profilePath) {
  const TFrmFile& rec = ctx.rec;
  JudgedRecording j;
  j.sha256 = RecordingDigest(outcome, ctx);
  j.path = rec.Name;
  j.mode = rec.Mode;
  j.modeName = std::string(ModeName(rec.Mode));
  const RecordedAt at = RecordedAtOf(rec.FileHeader, ctx.values.RecordingDate);
  j.recordedDay = at.day;
  j.recordedTime = at.time;
  j.comment = rec.Comment;
  j.judgedAt = DateTimeText(CurrentLocalTime());
  j.outcome = outcome;
  j.profileSha256 = ProfileDigest(outcome.profile, profilePath);
  const auto number = numbers_.find(j.sha256);
  VibratorNaming naming;
  if (number != numbers_.end()) naming = {VibratorNaming::Source::Given, number->second, {}};
  for (const QcChannelFigures& c : outcome.figures.channels)
    j.vibrators.push_back(VibratorOf(naming, rec.Mode, c.name, rec.Comment, rec.Name));
  lastSha_ = j.sha256;
  const auto store = OpenForWriting();
  bool stored = false;
  std::string error;
  if (store && !store->Store(j, stored, error)) Refused(error);
}

void QcHistoryKeeper::NumberVibrator(const std::string& number) {
  if (lastSha_.empty() || number.empty()) return;
  numbers_[lastSha_] = number;
  const auto store = OpenForWriting();
  std::string error;
  if (store && !store->AssignVibrator(lastSha_, number, error)) Refused(error);
}

}  // namespace kalvex
