#include "SegyImportDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <cmath>

#include "platform/DialogButtons.h"
#include "recordings/RecordingModes.h"
#include "recordings/TFrmFile.h"
#include "segy/SegyImport.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

QString Q(TextId id) {
  return QString::fromStdString(Text(id));
}

std::string TraceText(const SegyTrace& t, int number) {
  return std::to_string(number) + (t.name.empty() ? "" : ": " + t.name);
}

}  // namespace

SegyImportDialog::SegyImportDialog(const SegyImage& image, const std::string& fileName, int mode,
                                   UserInteraction& ui, QWidget* parent)
    : QDialog(parent), image_(image), ui_(ui), mode_(new QComboBox(this)), grid_(new QGridLayout) {
  setWindowTitle(QString::fromStdString(FormatText(TextId::SegyImportTitle, {fileName})));
  for (int m = Velnarund; m <= Ombrel16; ++m)
    mode_->addItem(
        QString::fromUtf8(ModeName(m).data(), static_cast<qsizetype>(ModeName(m).size())));
  mode_->setObjectName(QStringLiteral("Mode"));
  mode_->setCurrentIndex(mode >= Velnarund && mode <= Ombrel16 ? mode : Velnarund);
  auto* form = new QFormLayout;
  form->addRow(Q(TextId::SegyImportMode), mode_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(grid_);
  layout->addWidget(MakeDialogButtons(*this, ui_, HelpTopic).box);
  connect(mode_, &QComboBox::currentIndexChanged, this, [this] { BuildRows(); });
  BuildRows();
}

int SegyImportDialog::Mode() const {
  return mode_->currentIndex();
}

void SegyImportDialog::SetMode(int mode) {
  mode_->setCurrentIndex(mode);
}

void SegyImportDialog::BuildRows() {
  while (QLayoutItem* item = grid_->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  rows_.clear();
  grid_->addWidget(new QLabel(Q(TextId::SegyImportTrace)), 0, 1);
  grid_->addWidget(new QLabel(Q(TextId::SegyImportScale)), 0, 2);
  const int mode = Mode();
  for (int slot = 0; slot < ChannelCount(mode); ++slot) {
    Row row;
    if (mode == Similarity && slot > 0) {
      row.name = new QLineEdit(QStringLiteral("CH%1").arg(slot));
      row.name->setMaxLength(ChannelNameMaxChars);
      grid_->addWidget(row.name, slot + 1, 0);
    } else {
      row.fixedName = FixedChannelName(mode, slot);
      grid_->addWidget(new QLabel(QString::fromStdString(row.fixedName)), slot + 1, 0);
    }
    row.trace = new QComboBox;
    row.trace->addItem(Q(TextId::SegyImportUnassigned));
    for (std::size_t k = 0; k < image_.traces.size(); ++k)
      row.trace->addItem(
          QString::fromStdString(TraceText(image_.traces[k], static_cast<int>(k) + 1)));
    row.factor = new QLineEdit(QStringLiteral("1"));
    grid_->addWidget(row.trace, slot + 1, 1);
    grid_->addWidget(row.factor, slot + 1, 2);
    rows_.push_back(row);
  }
  Prefill();
}

void SegyImportDialog::Prefill() {
  for (const TraceAssignment& a : DefaultTraceAssignment(image_, Mode())) {
    ChooseTrace(a.slot, a.trace + 1);
    if (rows_[a.slot].name && !a.name.empty())
      rows_[a.slot].name->setText(QString::fromStdString(a.name));
  }
}

void SegyImportDialog::ChooseTrace(int row, int trace) {
  rows_[row].trace->setCurrentIndex(trace);
}

std::vector<std::pair<std::string, int>> SegyImportDialog::Pairs() const {
  std::vector<std::pair<std::string, int>> pairs;
  for (const Row& row : rows_) {
    if (row.trace->currentIndex() <= 0) continue;
    const std::string name = row.name ? row.name->text().trimmed().toStdString() : row.fixedName;
    pairs.emplace_back(name, row.trace->currentIndex());
  }
  return pairs;
}

std::map<int, double> SegyImportDialog::Scales() const {
  std::map<int, double> scales;
  for (const Row& row : rows_) {
    bool ok = false;
    const double factor = QLocale::c().toDouble(row.factor->text().trimmed(), &ok);
    if (row.trace->currentIndex() > 0 && ok) scales[row.trace->currentIndex() - 1] = factor;
  }
  return scales;
}

void SegyImportDialog::accept() {
  for (const Row& row : rows_) {
    bool ok = false;
    const double factor = QLocale::c().toDouble(row.factor->text().trimmed(), &ok);
    if (row.trace->currentIndex() > 0 && (!ok || !std::isfinite(factor) || factor == 0)) {
      ui_.ShowError(FormatText(TextId::SegyBadFactor, {row.factor->text().toStdString()}));
      return;
    }
  }
  std::vector<TraceAssignment> out;
  if (auto refusal = AssignTraces(Pairs(), Mode(), static_cast<int>(image_.traces.size()), out)) {
    ui_.ShowError(*refusal);
    return;
  }
  QDialog::accept();
}

}  // namespace kalvex
