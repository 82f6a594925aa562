#include "QcHistoryDialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "QcHistoryKeeper.h"
#include "graphs/HistoryPlot.h"
#include "platform/QtCanvas.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The vibrator's drifting figures with their crossing days; "—" for none.
std::string DriftText(const std::vector<DriftLine>& drift, const std::string& vibrator) {
  std::string text;
  for (const DriftLine& d : drift) {
    if (d.vibrator != vibrator || !d.drifting) continue;
    if (!text.empty()) text += "; ";
    text += FormatText(TextId::QcHistoryDriftTo, {Text(KindOf(d.figure).title), *d.crossingDay});
  }
  return text.empty() ? "—" : text;
}

}  // namespace

HistoryPlotWidget::HistoryPlotWidget(QWidget* parent) : QWidget(parent) {
  setMinimumSize(640, 420);
}

void HistoryPlotWidget::Show(std::string vibrator, std::vector<DailyFigure> daily,
                             std::vector<DriftLine> drift) {
  vibrator_ = std::move(vibrator);
  daily_ = std::move(daily);
  drift_ = std::move(drift);
  update();
}

void HistoryPlotWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QtCanvas canvas(painter);
  DrawHistoryPlot(canvas, width(), height(), nullptr, vibrator_, daily_, drift_);
  canvas.Flush();
}

QcHistoryDialog::QcHistoryDialog(QcHistoryKeeper& keeper, UserInteraction& ui, QWidget* parent)
    : QDialog(parent),
      keeper_(keeper),
      ui_(ui),
      table_(new QTableWidget(0, 4, this)),
      note_(new QLabel(this)),
      plot_(new HistoryPlotWidget(this)) {
  setObjectName(QStringLiteral("QcHistoryDialog"));
  setWindowTitle(Q(Text(TextId::QcHistoryTitle)));
  table_->setHorizontalHeaderLabels({Q(Text(TextId::QcHistoryVibrator)),
                                     Q(Text(TextId::QcHistoryLatestDay)),
                                     Q(Text(TextId::QcHistoryVerdict)),
                                     Q(Text(TextId::QcHistoryDrift))});
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setMinimumWidth(420);
  connect(table_, &QTableWidget::itemSelectionChanged, this, &QcHistoryDialog::ShowChosen);
  note_->setWordWrap(true);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  auto* rename = buttons->addButton(Q(Text(TextId::QcHistoryRename)), QDialogButtonBox::ActionRole);
  rename->setObjectName(QStringLiteral("Rename"));
  connect(rename, &QPushButton::clicked, this, &QcHistoryDialog::AskRename);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* left = new QVBoxLayout;
  left->addWidget(table_);
  left->addWidget(note_);
  auto* body = new QHBoxLayout;
  body->addLayout(left);
  body->addWidget(plot_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addWidget(buttons);
  resize(1200, 620);
}

bool QcHistoryDialog::Reload() {
  vibrators_.clear();
  daily_.clear();
  drift_.clear();
  std::vector<HistoryFigure> figures;
  // No history file yet is an empty history; one that cannot be read is said.
  if (QFile::exists(Q(keeper_.Path()))) {
    std::string error;
    const auto store = QcHistoryStore::OpenForReading(keeper_.Path(), error);
    if (!store || !store->Read({}, figures, error)) {
      ui_.ShowError(error);
      return false;
    }
  }
  vibrators_ = LatestVerdicts(figures);
  daily_ = DailyStatistics(figures);
  drift_ = DriftLines(daily_);
  note_->setText(vibrators_.empty() ? Q(FormatText(TextId::QcHistoryEmpty, {keeper_.Path()}))
                                    : Q(keeper_.Path()));
  table_->setRowCount(static_cast<int>(vibrators_.size()));
  for (int row = 0; row < static_cast<int>(vibrators_.size()); ++row) {
    const VibratorVerdict& v = vibrators_[row];
    const std::string cells[] = {v.vibrator, v.day, OverallText(v.overall),
                                 DriftText(drift_, v.vibrator)};
    for (int column = 0; column < 4; ++column) {
      auto* item = new QTableWidgetItem(Q(cells[column]));
      item->setToolTip(item->text());  // the drift's whole text, however narrow the column
      table_->setItem(row, column, item);
    }
  }
  table_->resizeColumnsToContents();
  if (!vibrators_.empty()) table_->selectRow(0);
  ShowChosen();
  return true;
}

void QcHistoryDialog::ShowChosen() {
  const int row = table_->currentRow();
  const std::string vibrator =
      row >= 0 && row < static_cast<int>(vibrators_.size()) ? vibrators_[row].vibrator : "";
  plot_->Show(vibrator, daily_, drift_);
}

void QcHistoryDialog::AskRename() {
  const int row = table_->currentRow();
  if (row < 0 || row >= static_cast<int>(vibrators_.size())) return;
  const std::string from = vibrators_[row].vibrator;
  const auto to = ui_.EditText({Text(TextId::QcHistoryTitle),
                                FormatText(TextId::QcHistoryRenamePrompt, {from}), from, 0, 0});
  if (to && !to->empty() && *to != from) Rename(from, *to);
}

void QcHistoryDialog::Rename(const std::string& from, const std::string& to) {
  const auto store = keeper_.OpenForWriting();
  std::string error;
  if (store && !store->RenameVibrator(from, to, error)) ui_.ShowError(error);
  Reload();
}

}  // namespace kalvex
