#include "QcPanel.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

#include "graphs/ReportPage.h"
#include "platform/FileAccess.h"
#include "platform/FileDigest.h"
#include "platform/LimitProfileFile.h"
#include "recordings/RecordingReader.h"
#include "recordings/TFrmFile.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

constexpr std::int32_t kPassColour = 0x007000;
constexpr std::int32_t kFailColour = 0xC00000;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// One line per compared channel: its figures and verdict.
QString Figures(const QcOutcome& o) {
  QString tip = Q("Profile: " + o.profile.name);
  for (const QcChannelFigures& c : o.figures.channels) {
    tip += Q("\n" + c.name + ": " + OverallText(o.ChannelOverall(c)));
    for (const QcFigureKind& k : QcFigureKinds()) {
      const bool failed = o.VerdictOf(c, k.id) == QcVerdict::Fail;
      tip += Q(std::string("\n    ") + k.label + " " + FigureText(c, k.id) + " " + k.unit +
               (failed ? "  (limit " + LimitText(o.profile.Of(k.id)) + ")" : ""));
    }
  }
  return tip;
}

}  // namespace

QcPanel::QcPanel(Context context, QMenu& fileMenu, QAction* before, QObject* parent)
    : QObject(parent), ctx_(std::move(context)), label_(new QLabel(&ctx_.statusBar)) {
  auto* action = new QAction(Q(Text(TextId::MenuLimitProfile)), &fileMenu);
  action->setObjectName(QStringLiteral("LimitProfile"));
  connect(action, &QAction::triggered, this, &QcPanel::ChooseProfile);
  fileMenu.insertAction(before, action);
  label_->setObjectName(QStringLiteral("QcPanel"));
  ctx_.statusBar.addPermanentWidget(label_);
  Show();
}

void QcPanel::ChooseProfile() {
  FileDialogRequest request;
  request.filter = Text(TextId::LimitProfileFilter);
  request.defaultExtension = ".ini";
  const auto path = ctx_.ui.ChooseFileToOpen(request);
  if (!path) return;
  LimitProfileFile file = ReadLimitProfileFile(*path);
  if (!file.profile) return ctx_.ui.ShowError(file.error);
  SetProfile(std::move(*file.profile));
}

void QcPanel::SetProfile(LimitProfile profile) {
  profile_ = std::move(profile);
  Update();
}

void QcPanel::Update() {
  outcome_.reset();
  if (profile_ && ctx_.haveRecording()) {
    const AnalysisContext ctx = ctx_.analysis();
    outcome_ = std::make_shared<QcOutcome>(
        QcOutcome{ComputeQcFigures(ctx), *profile_,
                  {ReportVersionNumber, Fingerprint(ctx), SettingsProvenance(ctx.settings)}});
  }
  Show();
}

// The SHA-256 of the file the recording was read from, while it is that
// file's content; none for a taken or edited record.
std::string QcPanel::Fingerprint(const AnalysisContext& ctx) const {
  if (ctx.rec.Origin != OriginFile || ctx.rec.Modified) return "";
  const FileReadResult file = ReadFileBytes(ctx.rec.Name, MaxRecordingFileSize);
  return file.ok() && file.bytes.size() <= MaxRecordingFileSize ? Sha256Hex(file.bytes) : "";
}

void QcPanel::Show() {
  if (!profile_) {
    label_->setText(Q(Text(TextId::QcNoProfile)));
    label_->setToolTip({});
    label_->setStyleSheet({});
    return;
  }
  if (!outcome_) {
    label_->setText(Q("QC: - (" + profile_->name + ")"));
    label_->setToolTip(Q("Profile: " + profile_->name));
    label_->setStyleSheet({});
    return;
  }
  const QcOverall overall = outcome_->Overall();
  label_->setText(Q(std::string("QC: ") + OverallText(overall) + " (" + profile_->name + ")"));
  label_->setToolTip(Figures(*outcome_));
  const std::int32_t colour = overall == QcOverall::Pass   ? kPassColour
                              : overall == QcOverall::Fail ? kFailColour
                                                           : 0;
  label_->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; color: #%1; }")
                            .arg(colour, 6, 16, QLatin1Char('0')));
}

}  // namespace kalvex
