#include "platform/QtUserInteraction.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>

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
      QFileDialog::getOpenFileName(parent_, QString(), Q(r.initialName), QtFileFilter(r.filter),
                                   nullptr, NoNativeWhenOffscreen());
  if (path.isEmpty()) return std::nullopt;
  return WithSuffix(path, QtDefaultSuffix(r.defaultExtension)).toStdString();
}

std::optional<std::string> QtUserInteraction::ChooseFileToSave(const FileDialogRequest& r) {
  QString start = Q(r.initialName);
  for (;;) {
    // The question is asked here, after the default extension is on the
    // name, so that it concerns the file that would really be replaced.
    QString path =
        QFileDialog::getSaveFileName(parent_, QString(), start, QtFileFilter(r.filter), nullptr,
                                     NoNativeWhenOffscreen() | QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty()) return std::nullopt;
    path = WithSuffix(path, QtDefaultSuffix(r.defaultExtension));
    if (!r.confirmOverwrite || !QFileInfo::exists(path)) return path.toStdString();
    if (AskYesNo(FormatText(TextId::ReplaceExistingFile, {path.toStdString()})))
      return path.toStdString();
    start = path;
  }
}

std::optional<std::string> QtUserInteraction::EditText(const TextEditRequest& r) {
  QInputDialog dialog(parent_);
  dialog.setWindowTitle(Q(r.title));
  dialog.setLabelText(Q(r.label));
  dialog.setTextValue(Q(r.text));
  dialog.setOkButtonText(Q(Text(TextId::DialogYes)));
  dialog.setCancelButtonText(Q(Text(TextId::DialogCancel)));
  if (r.maxChars > 0)
    if (auto* edit = dialog.findChild<QLineEdit*>()) edit->setMaxLength(r.maxChars);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

}  // namespace kalvex
