#pragma once
// The hidden "Командный файл" dialog (menu "Отладка"): the command block as
// hexadecimal text in a fixed-pitch font, printed with "Печать" or sent to
// the unit once with "Записать в порт" (no reply is read). It works on its
// own copy of the block.

#include <QDialog>
#include <QFont>
#include <string>

#include "acquisition/CommandBlock.h"

class QPlainTextEdit;
class QPushButton;

namespace kalvex {

class SerialLink;
class UserInteraction;
class TFrmFile;
struct AcquisitionChoices;
struct ProcessValues;

class TFCommandFile : public QDialog {
  Q_OBJECT
 public:
  // `portNumber` is the chosen COM port (0 or less: none, and sending says
  // the port cannot be opened).
  TFCommandFile(const CommandBlock& block, int portNumber, SerialLink& link, UserInteraction& ui,
                QWidget* parent = nullptr);

  QPlainTextEdit* TextArea() const { return text_; }
  QPushButton* PrintButton() const { return print_; }
  QPushButton* WriteButton() const { return write_; }

  // "Печать": the text on the default printer, as the job "Command File".
  void Print();
  // "Записать в порт".
  void WriteToPort();

 private:
  CommandBlock block_;
  std::string portName_;
  SerialLink& link_;
  UserInteraction& ui_;
  QPlainTextEdit* text_ = nullptr;
  QPushButton* print_ = nullptr;
  QPushButton* write_ = nullptr;
};

// Shows the dialog with `block` modally over `parent`.
void ShowCommandFile(QWidget* parent, const CommandBlock& block, int portNumber, SerialLink& link,
                     UserInteraction& ui);

// "Отладка" → "Командный файл": builds the block from the recording's
// parameters (a refusal has said why; then nothing more) and shows it.
void SendCommandFile(QWidget* parent, CommandBlock& block, const TFrmFile& rec,
                     const ProcessValues& values, const AcquisitionChoices& choices,
                     SerialLink& link, UserInteraction& ui);

// The fixed-pitch font of the text: "Courier New" or a metric equivalent.
QFont CommandFileFont();

// Prints `text` on the default printer as the job `title`; without a printer,
// or when the printer refuses the job, says so. True when printed.
bool PrintPlainText(const QString& text, const QString& title, UserInteraction& ui);

}  // namespace kalvex
