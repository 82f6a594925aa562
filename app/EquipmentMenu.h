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
  // after "Файл". `steps` reach the graph windows and the record's menus;
  // `refreshAll` repaints every window after the parameters command.
  EquipmentMenu(Context context, const QString& programDirectory, ParameterWindowSteps steps,
                std::function<void()> refreshAll);

  ModelLists& Lists() { return lists_; }
  const ModelListPaths& ListPaths() const { return paths_; }
  AcquisitionChoices& Choices() { return choices_; }
  CommandBlock& Block() { return block_; }

  // "Параметры".
  void EditParameters();
  // "Списки" → one of the four lists.
  void EditList(ModelListKind kind);

 private:
  Context ctx_;
  ModelListPaths paths_;
  ModelLists lists_;
  AcquisitionChoices choices_;
  CommandBlock block_;
  ParameterWindowSteps steps_;
  std::function<void()> refreshAll_;
};

}  // namespace kalvex
