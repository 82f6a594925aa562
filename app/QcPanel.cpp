#include "QcPanel.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QToolButton>

#include "graphs/ReportPage.h"
#include "platform/FileAccess.h"
#include "platform/FileDigest.h"
#include "platform/LimitProfileFile.h"
#include "recordings/RecordingReader.h"
#include "recordings/TFrmFile.h"
#include "shell/ProgramVersion.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

constexpr std::int32_t kPassColour = 0x007000;
constexpr std::int32_t kFailColour = 0xC00000;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The profile, then per compared channel its verdict and figures, the
// failed ones with their limits.
std::string Figures(const QcOutcome& o) {
  std::string text = FormatText(TextId::QcProfileName, {o.profile.name});
  for (const QcChannelFigures& c : o.figures.channels) {
    text += "\n" + c.name + ": " + OverallText(o.ChannelOverall(c));
    for (const QcFigureKind& k : QcFigureKinds()) {
      const bool failed = o.VerdictOf(c, k.id) == QcVerdict::Fail;
      text += "\n    " + Text(k.title) + " " + FigureText(c, k.id) + " " + k.unit +
              (failed ? FormatText(TextId::QcFailedLimit, {LimitText(o.profile.Of(k.id))}) : "");
    }
  }
  return text;
}

}  // namespace

QcPanel::QcPanel(Context context, QMenu& fileMenu, QAction* before, QObject* parent)
    : QObject(parent), ctx_(std::move(context)), panel_(new QToolButton(&ctx_.statusBar)) {
  auto* action = new QAction(Q(Text(TextId::MenuLimitProfile)), &fileMenu);
  action->setObjectName(QStringLiteral("LimitProfile"));
  connect(action, &QAction::triggered, this, &QcPanel::ChooseProfile);
  fileMenu.insertAction(before, action);
  panel_->setObjectName(QStringLiteral("QcPanel"));
  panel_->setAutoRaise(true);
  connect(panel_, &QToolButton::clicked, this, &QcPanel::ShowFigures);
  ctx_.statusBar.addPermanentWidget(panel_);
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
  SetProfile(std::move(*file.profile), *path);
}

void QcPanel::SetProfile(LimitProfile profile, std::string path) {
  profile_ = std::move(profile);
  profilePath_ = std::move(path);
  Update();
}

void QcPanel::Update() {
  outcome_.reset();
  if (profile_ && ctx_.haveRecording()) {
    const AnalysisContext ctx = ctx_.analysis();
    outcome_ = std::make_shared<QcOutcome>(
        QcOutcome{ComputeQcFigures(ctx),
                  *profile_,
                  {ProgramVersionAndBuild(), Fingerprint(ctx), SettingsProvenance(ctx.settings)}});
    if (ctx_.judged) ctx_.judged(*outcome_, profilePath_);
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
  panel_->setStyleSheet({});
  if (!profile_) {
    panel_->setText(Q(Text(TextId::QcNoProfile)));
    panel_->setToolTip({});
    return;
  }
  if (!outcome_) {
    panel_->setText(Q("QC: - (" + profile_->name + ")"));
    panel_->setToolTip(Q(FormatText(TextId::QcProfileName, {profile_->name})));
    return;
  }
  const QcOverall overall = outcome_->Overall();
  panel_->setText(Q(std::string("QC: ") + OverallText(overall) + " (" + profile_->name + ")"));
  panel_->setToolTip(Q(Figures(*outcome_)));
  const std::int32_t colour = overall == QcOverall::Pass   ? kPassColour
                              : overall == QcOverall::Fail ? kFailColour
                                                           : 0;
  panel_->setStyleSheet(QStringLiteral("QToolButton { font-weight: bold; color: #%1; }")
                            .arg(colour, 6, 16, QLatin1Char('0')));
}

void QcPanel::ShowFigures() {
  if (outcome_) ctx_.ui.ShowInformation(Figures(*outcome_));
}

}  // namespace kalvex
