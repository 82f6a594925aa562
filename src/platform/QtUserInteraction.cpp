#include "platform/QtUserInteraction.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/HelpViewer.h"
#include "platform/SystemSerialLink.h"
#include "platform/TFHardw.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QString Title() {
  return Q(Text(TextId::ProgramTitle));
}

QString WithSuffix(QString path, const QString& suffix) {
  if (!path.isEmpty() && !suffix.isEmpty() && QFileInfo(path).suffix().isEmpty())
    path += '.' + suffix;
  return path;
}

QFileDialog::Options NoNativeWhenOffscreen() {
  // The platform's own dialogs cannot be scripted or shown without a display.
  return QFileDialog::DontUseNativeDialog;
}

}  // namespace

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = Q(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    const QString patterns = parts[i + 1].split(';', Qt::SkipEmptyParts).join(' ').trimmed();
    if (description.contains('(' + patterns + ')'))
      out << description;
    else
      out << description + " (" + patterns + ')';
  }
  if (parts.size() % 2 == 1 && !parts.back().isEmpty()) out << parts.back();
  return out.join(";;");
}

QString NameToOpen(const QString& path, const QString& suffix) {
  // A file whose name has no extension is opened as it is named.
  return QFileInfo(path).isFile() ? path : WithSuffix(path, suffix);
}

QString DialogStartPath(const QString& name, const QString& lastFolder) {
  if (lastFolder.isEmpty() || name.contains('/') || name.contains('\\')) return name;
  return name.isEmpty() ? lastFolder : QDir(lastFolder).filePath(name);
}

std::string QtUserInteraction::Chosen(const QString& path) {
  lastFolder_ = QFileInfo(path).absolutePath();
  return path.toStdString();
}

QString QtDefaultSuffix(const std::string& extension) {
  QString s = Q(extension);
  while (s.startsWith('.')) s.remove(0, 1);
  return s;
}

void QtUserInteraction::ShowError(const std::string& text) {
  QMessageBox::critical(parent_, Title(), Q(text));
}

void QtUserInteraction::ShowInformation(const std::string& text) {
  QMessageBox::information(parent_, Title(), Q(text));
}

void QtUserInteraction::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, Title(), Q(text), QMessageBox::Ok, parent_);
  box.exec();
}

std::optional<EquipmentChoice> QtUserInteraction::SelectEquipment(const EquipmentChoice& current,
                                                                  bool mandatory) {
  SystemSerialLink link;  // the ports free now
  return kalvex::SelectEquipment(parent_, current, mandatory, link, *this);
}

bool QtUserInteraction::AskYesNo(const std::string& text) {
  return QMessageBox::question(parent_, Title(), Q(text), QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::Yes) == QMessageBox::Yes;
}

YesNoCancel QtUserInteraction::AskYesNoCancel(const std::string& text) {
  switch (QMessageBox::question(parent_, Title(), Q(text),
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                QMessageBox::Yes)) {
    case QMessageBox::Yes:
      return YesNoCancel::Yes;
    case QMessageBox::No:
      return YesNoCancel::No;
    default:
      return YesNoCancel::Cancel;
  }
}

std::optional<std::string> QtUserInteraction::ChooseFileToOpen(const FileDialogRequest& r) {
  const QString path =
      QFileDialog::getOpenFileName(parent_, QString(), DialogStartPath(Q(r.initialName), lastFolder_),
                                   QtFileFilter(r.filter), nullptr, NoNativeWhenOffscreen());
  if (path.isEmpty()) return std::nullopt;
  return Chosen(NameToOpen(path, QtDefaultSuffix(r.defaultExtension)));
}

std::optional<std::string> QtUserInteraction::ChooseFileToSave(const FileDialogRequest& r) {
  QString start = DialogStartPath(Q(r.initialName), lastFolder_);
  for (;;) {
    // The question is asked here, after the default extension is on the
    // name, so that it concerns the file that would really be replaced.
    QString path =
        QFileDialog::getSaveFileName(parent_, QString(), start, QtFileFilter(r.filter), nullptr,
                                     NoNativeWhenOffscreen() | QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) return std::nullopt;
    path = WithSuffix(path, QtDefaultSuffix(r.defaultExtension));
    if (!r.confirmOverwrite || !QFileInfo::exists(path)) return Chosen(path);
    if (AskYesNo(FormatText(TextId::ReplaceExistingFile, {path.toStdString()}))) return Chosen(path);
    start = path;
  }
}

std::optional<std::string> QtUserInteraction::EditText(const TextEditRequest& r) {
  QDialog dialog(parent_);
  dialog.setWindowTitle(Q(r.title));
  auto* edit = new QLineEdit(Q(r.text), &dialog);
  edit->setObjectName(QStringLiteral("Edit1"));
  if (r.maxChars > 0) edit->setMaxLength(r.maxChars);
  edit->setMinimumWidth(360);
  auto* buttons = new QDialogButtonBox(&dialog);
  buttons->addButton(Q(Text(TextId::DialogYes)), QDialogButtonBox::AcceptRole);
  buttons->addButton(Q(Text(TextId::DialogCancel)), QDialogButtonBox::RejectRole);
  if (r.helpTopic > 0) {
    QPushButton* help = buttons->addButton(Q(Text(TextId::HelpTitle)), QDialogButtonBox::HelpRole);
    QObject::connect(help, &QPushButton::clicked, &dialog, [this, &r] { ShowHelp(r.helpTopic); });
  }
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(Q(r.label), &dialog));
  layout->addWidget(edit);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return edit->text().toStdString();
}

namespace {

// The request's rows in a read-only table, sized to its contents.
QTableWidget* ListTable(const ListRequest& r, QDialog& dialog) {
  dialog.setWindowTitle(Q(r.title));
  auto* table = new QTableWidget(static_cast<int>(r.rows.size()),
                                 static_cast<int>(r.columns.size()), &dialog);
  QStringList headings;
  for (const std::string& c : r.columns) headings << Q(c);
  table->setHorizontalHeaderLabels(headings);
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int row = 0; row < table->rowCount(); ++row)
    for (int col = 0; col < table->columnCount() && col < int(r.rows[row].size()); ++col)
      table->setItem(row, col, new QTableWidgetItem(Q(r.rows[row][col])));
  table->resizeColumnsToContents();
  table->horizontalHeader()->setStretchLastSection(true);
  return table;
}

}  // namespace

void QtUserInteraction::ShowList(const ListRequest& r) {
  QDialog dialog(parent_);
  dialog.setObjectName(QStringLiteral("TFNakComm"));
  // Every column is shown, the "N" of a window that does not accumulate
  // empty: the list looks the same for every window.
  QTableWidget* table = ListTable(r, dialog);
  auto* close = new QPushButton(Q(Text(TextId::DialogClose)), &dialog);
  QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(table);
  layout->addWidget(close, 0, Qt::AlignRight);
  dialog.resize(560, 240);
  dialog.exec();
}

std::optional<int> QtUserInteraction::ChooseFromList(const ListRequest& r) {
  QDialog dialog(parent_);
  dialog.setObjectName(QStringLiteral("ListChoice"));
  QTableWidget* table = ListTable(r, dialog);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  if (table->rowCount() > 0) table->selectRow(0);
  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* open = buttons->addButton(Q(Text(TextId::MenuOpen)), QDialogButtonBox::AcceptRole);
  open->setObjectName(QStringLiteral("Open"));
  buttons->addButton(Q(Text(TextId::DialogCancel)), QDialogButtonBox::RejectRole)
      ->setObjectName(QStringLiteral("Cancel"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(table, &QTableWidget::cellDoubleClicked, &dialog, &QDialog::accept);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(table);
  layout->addWidget(buttons);
  dialog.resize(640, 360);
  if (dialog.exec() != QDialog::Accepted || table->currentRow() < 0) return std::nullopt;
  return table->currentRow();
}

void QtUserInteraction::ShowHelp(int topic) {
  ShowHelpTopic(parent_, topic);
}

}  // namespace kalvex
