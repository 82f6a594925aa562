#pragma once
// The main window's "Аппаратура" menu: "Параметры" (the acquisition
// parameters dialog and its follow-up) and "Списки" with the four model list
// dialogs. Owns what these commands keep for the whole run: the model lists
// read from the program directory at start-up, the dialog's process-wide
// choices and the command block whose first byte says whether the
// parameters were ever set.

#include <QObject>
#include <QString>

#include "acquisition/CommandBlock.h"
#include "acquisition/EquipmentCommand.h"
#include "acquisition/ParametersCommand.h"
#include "recordings/ModelListFiles.h"
#include "recordings/ModelLists.h"

class QMainWindow;
class QMenu;

namespace kalvex {

class FileStore;
class UserInteraction;
struct ProcessValues;
struct ProgramSettings;

class EquipmentMenu : public QObject {
  Q_OBJECT
 public:
  struct Context {
    QMainWindow& window;
    TFrmFile& rec;
    ProcessValues& values;
    const ProgramSettings& settings;
    FileStore& store;
    UserInteraction& ui;
  };

  // Reads the four model lists from `programDirectory` and adds the menu
  // after "Файл". `steps` and `modeSteps` reach the graph windows, the
  // record's menus and the title;
  // `refreshAll` repaints every window after the parameters command.
  EquipmentMenu(Context context, const QString& programDirectory, ParameterWindowSteps steps,
                ModeWindowSteps modeSteps, std::function<void()> refreshAll);

  ModelLists& Lists() { return lists_; }
  const ModelListPaths& ListPaths() const { return paths_; }
  AcquisitionChoices& Choices() { return choices_; }
  CommandBlock& Block() { return block_; }

  // "Режимы": equipment, mode and port; a new mode drops the record and the
  // graph windows.
  void EditModes();
  // After start-up when no project was read: the same dialog, which cannot
  // be cancelled; nothing is dropped.
  void StartupPrompt();
  // "Параметры".
  void EditParameters();
  // "Списки" → one of the four lists.
  void EditList(ModelListKind kind);
  // While a record is being taken nothing may change its shape.
  void SetRunning(bool running);

 private:
  Context ctx_;
  QMenu* menu_ = nullptr;
  ModelListPaths paths_;
  ModelLists lists_;
  AcquisitionChoices choices_;
  CommandBlock block_;
  ParameterWindowSteps steps_;
  ModeWindowSteps modeSteps_;
  std::function<void()> refreshAll_;
};

}  // namespace kalvex
