#include <QBuffer>
#include <QImage>

#include "CliSession.h"
#include "Commands.h"
#include "ModelOptions.h"
#include "QcCheck.h"
#include "graphs/ReportPage.h"
#include "platform/FileAccess.h"
#include "platform/FileDigest.h"
#include "platform/ReportOutput.h"
#include "recordings/ModelListDialog.h"
#include "shell/TextCatalogue.h"

namespace kalvex::cli {
namespace {

struct TextOption {
  const char* name;
  std::string ReportValues::*field;
  int maxChars;
  bool digits;  // an unsigned integer, as the dialog's numeric fields take it
};

const TextOption kTextOptions[] = {
    {"--vib-number", &ReportValues::VibNumber, 6, false},
    {"--drive-level", &ReportValues::DriveLevel, 3, true},
    {"--start-hz", &ReportValues::StartHz, 3, true},
    {"--end-hz", &ReportValues::EndHz, 3, true},
    {"--duration", &ReportValues::Duration, 2, true},
    {"--signal-type", &ReportValues::SignalType, 6, false},
    {"--parameter", &ReportValues::Parameter, 5, false},
};

int Characters(const std::string& text) {
  int chars = 0;
  for (unsigned char c : text) chars += (c & 0xC0) != 0x80;
  return chars;
}

// The dialog's values from the options, within the limits its fields keep.
ReportValues ValuesOf(const CliArgs& args) {
  ReportValues values;
  for (const TextOption& o : kTextOptions) {
    const std::string text = args.Get(o.name);
    if (Characters(text) > o.maxChars)
      throw CliExit{ExitUsage, std::string(o.name) + " takes at most " +
                                   std::to_string(o.maxChars) + " characters"};
    if (o.digits && text.find_first_not_of("0123456789") != std::string::npos)
      throw CliExit{ExitUsage, std::string(o.name) + " is an unsigned integer"};
    values.*o.field = text;
  }
  values.Colour = !args.Has("--bw");
  values.Landscape = args.Has("--landscape");
  return values;
}

// The vibrator model's name as its list spells it.
std::string VibModelName(const CliArgs& args) {
  if (!args.Has("--vib-model")) return "";
  const std::string name = args.Get("--vib-model");
  const ModelLists lists = ReadModelListsIn(args.Get("--models-dir", "."));
  for (const VibModel& m : lists.Vib)
    if (m.Name == name) return m.Name;
  for (const VibModel& m : lists.Vib)
    if (ModelListDialog::SameName(m.Name, name)) return m.Name;
  throw CliExit{ExitUsage, "--vib-model: no model \"" + name + "\" in the vibrator model list"};
}

void Save(const std::string& target, const QByteArray& bytes) {
  SaveOutput(target, {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                      static_cast<std::size_t>(bytes.size())});
}

void WritePng(const std::string& target, const ReportValues& values, const std::string& model,
              const AnalysisContext& ctx) {
  QImage image;
  QString reason = RenderReportImage(image, values, model, ctx);
  if (reason.isEmpty()) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) reason = QStringLiteral("the image could not be written");
    if (reason.isEmpty()) return Save(target, png);
  }
  throw CliExit{ExitIo, FormatText(TextId::CannotCreateFile, {target, reason.toStdString()})};
}

// Vectors on one A4 page through the same canvas as the printer.
void WritePdf(const std::string& target, const ReportValues& values, const std::string& model,
              const AnalysisContext& ctx) {
  QByteArray pdf;
  const QString reason = RenderReportPdf(pdf, values, model, ctx);
  if (!reason.isEmpty())
    throw CliExit{ExitIo, FormatText(TextId::CannotCreateFile, {target, reason.toStdString()})};
  Save(target, pdf);
}

bool EndsWith(const std::string& text, const std::string& end) {
  if (text.size() < end.size()) return false;
  return std::equal(end.rbegin(), end.rend(), text.rbegin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
}

}  // namespace

int RunReport(const Words& words, const QString& executablePath) {
  auto options = CliSession::SettingsOptions();
  options.insert({"-o", "--models-dir", "--vib-model", "--limits"});
  for (const TextOption& o : kTextOptions) options.insert(o.name);
  auto flags = CliSession::SettingsFlags();
  flags.insert({"--bw", "--landscape"});
  CliArgs args(words, options, flags);
  if (args.Positional().size() != 1 || !args.Has("-o"))
    throw CliExit{ExitUsage, "usage: kalvex-cli report FILE -o OUT.pdf|OUT.png [options]"};
  const std::string out = args.Get("-o");
  const bool pdf = EndsWith(out, ".pdf");
  if (!pdf && !EndsWith(out, ".png")) throw CliExit{ExitUsage, "-o: the file ends in .pdf or .png"};
  ReportValues values = ValuesOf(args);
  if (!pdf && values.Landscape) throw CliExit{ExitUsage, "--landscape is for a PDF report"};
  const std::string model = VibModelName(args);

  CliSession session(executablePath);
  session.ApplyOptions(args);
  QcRun run;
  if (args.Has("--limits")) ReadLimitProfileOption(args, run);
  const std::vector<std::uint8_t> bytes = ReadRecordingFile(args.Positional()[0]);
  session.OpenBytes(args.Positional()[0], bytes);
  if (const auto refusal = ReportRefusal(session.recording))
    throw CliExit{ExitRefused, Text(*refusal)};
  session.LoadFft();
  const AnalysisContext ctx = session.Context();
  if (args.Has("--limits")) {
    run.settingsText = SettingsProvenance(session.settings);
    values.Qc = std::make_shared<QcOutcome>(
        QcOutcome{ComputeQcFigures(ctx), run.profile, run.Provenance(Sha256Hex(bytes))});
  }
  if (pdf)
    WritePdf(out, values, model, ctx);
  else
    WritePng(out, values, model, ctx);
  return ExitOk;
}

}  // namespace kalvex::cli
