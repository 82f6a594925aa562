#include "platform/DialogButtons.h"

#include <QDialog>
#include <QPushButton>

#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {

DialogButtons MakeDialogButtons(QDialog& dialog, UserInteraction& ui, int helpTopic) {
  DialogButtons b;
  b.box = new QDialogButtonBox(&dialog);
  auto add = [&b](TextId text, QDialogButtonBox::ButtonRole role, const char* name) {
    QPushButton* button = b.box->addButton(QString::fromStdString(Text(text)), role);
    button->setObjectName(QLatin1String(name));
    button->setFocusPolicy(Qt::TabFocus);
    return button;
  };
  b.yes = add(TextId::DialogYes, QDialogButtonBox::AcceptRole, "Yes");
  b.cancel = add(TextId::DialogCancel, QDialogButtonBox::RejectRole, "Cancel");
  b.help = add(TextId::HelpTitle, QDialogButtonBox::HelpRole, "Help");
  b.yes->setDefault(true);
  QObject::connect(b.box, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(b.box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(b.box, &QDialogButtonBox::helpRequested, &dialog,
                   [&ui, helpTopic] { ui.ShowHelp(helpTopic); });
  return b;
}

}  // namespace kalvex
