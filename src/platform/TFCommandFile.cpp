#include "platform/TFCommandFile.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

#include "acquisition/CommandFileSender.h"
#include "recordings/ProcessValues.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

QString Q(TextId id) {
  return QString::fromStdString(Text(id));
}

constexpr int kTextPixels = 13;
constexpr int kPrintPoints = 10;

}  // namespace

QFont CommandFileFont() {
  QFont font;
  // Liberation Mono has the metrics of Courier New where that is missing.
  font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                    QStringLiteral("DejaVu Sans Mono")});
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  font.setPixelSize(kTextPixels);
  return font;
}

bool PrintPlainText(const QString& text, const QString& title, UserInteraction& ui) {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    ui.ShowError(Text(TextId::PrinterUnavailable));
    return false;
  }
  QPrinter printer(info);
  printer.setDocName(title);
  QPainter painter;
  if (!painter.begin(&printer)) {
    ui.ShowError(Text(TextId::PrinterUnavailable));
    return false;
  }
  QFont font = CommandFileFont();
  font.setPointSize(kPrintPoints);
  painter.setFont(font);
  painter.drawText(QRectF(0, 0, painter.viewport().width(), painter.viewport().height()),
                   Qt::AlignLeft | Qt::AlignTop, text);
  return painter.end();
}

TFCommandFile::TFCommandFile(const CommandBlock& block, int portNumber, SerialLink& link,
                             UserInteraction& ui, QWidget* parent)
    : QDialog(parent),
      block_(block),
      portName_(CommandFilePortName(portNumber)),
      link_(link),
      ui_(ui) {
  setObjectName(QStringLiteral("TFCommandFile"));
  setWindowTitle(Q(TextId::CommandFileTitle));

  text_ = new QPlainTextEdit(this);
  text_->setObjectName(QStringLiteral("Text"));
  text_->setReadOnly(true);
  text_->setFont(CommandFileFont());
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  text_->setPlainText(QString::fromStdString(CommandBlockText(block_)));
  // Room for the three lines and a margin, without scroll bars.
  const QFontMetrics metrics(text_->font());
  const int lines = text_->document()->blockCount() + 1;
  text_->setFixedSize(metrics.horizontalAdvance(QStringLiteral("0000:  CCA50073 00007EF4")) + 48,
                      metrics.lineSpacing() * lines + 2 * text_->frameWidth() +
                          2 * static_cast<int>(text_->document()->documentMargin()) + 8);
  text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

  print_ = new QPushButton(Q(TextId::CommandFilePrint), this);
  print_->setObjectName(QStringLiteral("Print"));
  connect(print_, &QPushButton::clicked, this, &TFCommandFile::Print);
  write_ = new QPushButton(Q(TextId::CommandFileWriteToPort), this);
  write_->setObjectName(QStringLiteral("WriteToPort"));
  connect(write_, &QPushButton::clicked, this, &TFCommandFile::WriteToPort);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(print_);
  buttons->addStretch(1);
  buttons->addWidget(write_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFCommandFile::Print() {
  PrintPlainText(text_->toPlainText(), Q(TextId::CommandFilePrintTitle), ui_);
}

void TFCommandFile::WriteToPort() {
  WriteCommandFile(block_, portName_, link_, ui_);
}

void ShowCommandFile(QWidget* parent, const CommandBlock& block, int portNumber, SerialLink& link,
                     UserInteraction& ui) {
  TFCommandFile dialog(block, portNumber, link, ui, parent);
  dialog.exec();
}

void SendCommandFile(QWidget* parent, CommandBlock& block, const TFrmFile& rec,
                     const ProcessValues& values, const AcquisitionChoices& choices,
                     SerialLink& link, UserInteraction& ui) {
  if (!BuildCommandBlock(block, rec, values, choices, ui)) return;
  ShowCommandFile(parent, block, values.PortNumber, link, ui);
}

}  // namespace kalvex
