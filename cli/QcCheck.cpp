#include "QcCheck.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "CliSession.h"
#include "graphs/ReportPage.h"
#include "platform/FileAccess.h"
#include "platform/FileDigest.h"
#include "platform/LimitProfileFile.h"
#include "platform/ReportOutput.h"
#include "recordings/RecordingModes.h"
#include "shell/ProgramVersion.h"
#include "shell/TextCatalogue.h"

namespace kalvex::cli {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}
std::string S(const QJsonValue& value) {
  return value.toString().toStdString();
}

// Far more reports of one name than any folder holds: past it, the folder is
// taken to refuse new files.
constexpr int kMaxReportNumber = 100000;

void WriteReport(const ReportName& name, const QcOutcome& outcome, const AnalysisContext& ctx) {
  ReportValues values;
  values.Colour = true;
  values.Qc = std::make_shared<QcOutcome>(outcome);
  QByteArray pdf;
  const QString reason = RenderReportPdf(pdf, values, "", ctx);
  if (!reason.isEmpty())
    throw CliExit{ExitIo, FormatText(TextId::CannotCreateFile,
                                     {name.PathOf(name.number), reason.toStdString()})};
  const std::span<const std::uint8_t> bytes{reinterpret_cast<const std::uint8_t*>(pdf.constData()),
                                            static_cast<std::size_t>(pdf.size())};
  for (int n = name.number; n < kMaxReportNumber; ++n) {
    const NewFileResult written = CreateNewFile(name.PathOf(n), bytes);
    if (written.existed) continue;
    if (written.error.empty()) return;
    throw CliExit{ExitIo, FormatText(TextId::CannotCreateFile, {name.PathOf(n), written.error})};
  }
  throw CliExit{ExitIo, FormatText(TextId::CannotCreateFile, {name.PathOf(kMaxReportNumber),
                                                              "too many reports of this name"})};
}

}  // namespace

void ReadLimitProfileOption(const CliArgs& args, QcRun& run) {
  run.profile = BuiltInLimitProfile();
  run.profileSource = "built-in";
  if (args.Has("--limits")) ReadLimitProfilePath(args.Get("--limits"), run);
}

void ReadLimitProfilePath(const std::string& path, QcRun& run) {
  const LimitProfileFile file = ReadLimitProfileFile(path);
  if (!file.profile) throw CliExit{file.unreadable ? ExitIo : ExitRefused, file.error};
  run.profile = *file.profile;
  run.profileSource = run.profilePath = path;
}

std::string ReportName::PathOf(int n) const {
  return stem + (n > 1 ? "-" + std::to_string(n) : std::string()) + ".pdf";
}

QcProvenance QcRun::Provenance(const std::string& sha256) const {
  return {ProgramVersionAndBuild(), sha256, settingsText};
}

QcFileResult CheckRecordingFile(const std::string& path, const ReportName& report, const QcRun& run,
                                const QString& executablePath) {
  QcFileResult result;
  result.path = path;
  CliSession session(executablePath);
  try {
    session.ApplyOptions(*run.args);
    const std::vector<std::uint8_t> bytes = ReadRecordingFile(path);
    result.sha256 = Sha256Hex(bytes);
    session.OpenBytes(path, bytes);
    if (const auto refusal = ReportRefusal(session.recording))
      throw CliExit{ExitRefused, Text(*refusal)};
  } catch (const CliExit& e) {
    result.refusedCode = e.code;
    result.reason = e.message;
    return result;
  }
  result.mode = session.recording.Mode;
  result.modeName = std::string(ModeName(session.recording.Mode));
  result.comment = session.recording.Comment;
  result.recorded = RecordedAtOf(session.recording.FileHeader, session.values.RecordingDate);
  const AnalysisContext ctx = session.Context();
  result.figures = ComputeQcFigures(ctx);
  if (run.reports)
    WriteReport(report, {result.figures, run.profile, run.Provenance(result.sha256)}, ctx);
  return result;
}

QByteArray ResultLine(const QcFileResult& r) {
  QJsonArray channels;
  for (const QcChannelFigures& c : r.figures.channels) {
    QJsonArray values;
    for (int k = 0; k < QcFigureCount; ++k)
      values.append(c.available[k] ? QJsonValue(c.values[k]) : QJsonValue());
    channels.append(QJsonObject{{"channel", c.channel}, {"name", Q(c.name)}, {"values", values}});
  }
  const QJsonObject o{{"path", Q(r.path)},
                      {"sha256", Q(r.sha256)},
                      {"refusedCode", r.refusedCode},
                      {"reason", Q(r.reason)},
                      {"mode", r.mode},
                      {"modeName", Q(r.modeName)},
                      {"comment", Q(r.comment)},
                      {"recordedDay", Q(r.recorded.day)},
                      {"recordedTime", Q(r.recorded.time)},
                      {"sweepFrames", r.figures.sweepFrames},
                      {"channels", channels}};
  return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

bool ParseResultLine(const QByteArray& line, QcFileResult& r) {
  const QJsonDocument doc = QJsonDocument::fromJson(line);
  if (!doc.isObject()) return false;
  const QJsonObject o = doc.object();
  r.path = S(o["path"]);
  r.sha256 = S(o["sha256"]);
  r.refusedCode = o["refusedCode"].toInt();
  r.reason = S(o["reason"]);
  r.mode = o["mode"].toInt(-1);
  r.modeName = S(o["modeName"]);
  r.comment = S(o["comment"]);
  r.recorded = {S(o["recordedDay"]), S(o["recordedTime"])};
  r.figures.sweepFrames = o["sweepFrames"].toInt();
  for (const QJsonValue& cv : o["channels"].toArray()) {
    const QJsonObject c = cv.toObject();
    QcChannelFigures f;
    f.channel = c["channel"].toInt();
    f.name = S(c["name"]);
    const QJsonArray values = c["values"].toArray();
    if (values.size() != QcFigureCount) return false;
    for (int k = 0; k < QcFigureCount; ++k) {
      f.available[k] = values[k].isDouble();
      f.values[k] = values[k].toDouble();
    }
    r.figures.channels.push_back(f);
  }
  return true;
}

}  // namespace kalvex::cli
