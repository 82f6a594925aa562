#include "EquipmentMenu.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "acquisition/ParametersDialog.h"
#include "platform/ModelListFolder.h"
#include "platform/ModelListWidget.h"
#include "platform/TFParms.h"
#include "recordings/ProcessValues.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

QString Q(TextId id) {
  return QString::fromStdString(Text(id));
}

}  // namespace

EquipmentMenu::EquipmentMenu(Context context, const QString& programDirectory,
                             ParameterWindowSteps steps, ModeWindowSteps modeSteps,
                             std::function<void()> refreshAll)
    : QObject(&context.window),
      ctx_(context),
      steps_(std::move(steps)),
      modeSteps_(std::move(modeSteps)),
      refreshAll_(std::move(refreshAll)) {
  paths_ = ModelListFilesIn(programDirectory);
  lists_ = LoadModelLists(ctx_.store, paths_, ctx_.ui);

  QMenuBar* bar = ctx_.window.menuBar();
  auto* menu = menu_ = new QMenu(Q(TextId::MenuEquipment), bar);
  menu->setObjectName(QStringLiteral("EquipmentMenu"));
  const QList<QAction*> menus = bar->actions();
  bar->insertMenu(menus.size() > 1 ? menus[1] : nullptr, menu);
  QAction* modes = menu->addAction(Q(TextId::MenuModes), this, [this] { EditModes(); });
  modes->setObjectName(QStringLiteral("Modes"));
  QAction* parameters =
      menu->addAction(Q(TextId::MenuParameters), this, [this] { EditParameters(); });
  parameters->setObjectName(QStringLiteral("Parameters"));
  QMenu* lists = menu->addMenu(Q(TextId::MenuModelLists));
  const std::pair<const char*, TextId> items[] = {{"VibModels", TextId::MenuVibModels},
                                                  {"AccModels", TextId::MenuAccModels},
                                                  {"ControlModels", TextId::MenuControlModels},
                                                  {"SourceModels", TextId::MenuSourceModels}};
  for (int k = 0; k < 4; ++k) {
    QAction* item = lists->addAction(Q(items[k].second), this,
                                     [this, k] { EditList(static_cast<ModelListKind>(k)); });
    item->setObjectName(QString::fromLatin1(items[k].first));
  }
}

namespace {

EquipmentChoice CurrentChoice(const TFrmFile& rec, const ProcessValues& values) {
  return {values.EquipmentIndex, rec.Mode, values.PortNumber, values.BaudIndex};
}

}  // namespace

void EquipmentMenu::EditModes() {
  if (const auto choice = ctx_.ui.SelectEquipment(CurrentChoice(ctx_.rec, ctx_.values), false))
    ApplyEquipmentChoice(*choice, ctx_.rec, ctx_.values, modeSteps_);
}

void EquipmentMenu::StartupPrompt() {
  if (const auto choice = ctx_.ui.SelectEquipment(StartupPromptChoice(ctx_.values), true))
    ApplyStartupEquipmentChoice(*choice, ctx_.rec, ctx_.values, modeSteps_);
}

void EquipmentMenu::EditParameters() {
  ParametersDialog model(ctx_.rec, ctx_.values, choices_, lists_);
  if (const auto accepted = kalvex::EditParameters(&ctx_.window, model, ctx_.ui))
    ApplyParameters(*accepted, {ctx_.rec, ctx_.values, choices_, block_, ctx_.settings, lists_},
                    ctx_.ui, steps_);
  // Every window shows the recording as it now is, also after Cancel.
  refreshAll_();
}

void EquipmentMenu::EditList(ModelListKind kind) {
  // The command block takes the delay code of the accelerometer entry as the
  // list now holds it.
  if (EditModelList(&ctx_.window, kind, lists_, ctx_.store, paths_.Of(kind), ctx_.ui))
    choices_.AccDelayCode = AccDelayCodeOf(lists_, choices_.AccModelIndex);
}

void EquipmentMenu::SetRunning(bool running) {
  for (QAction* item : menu_->actions()) item->setEnabled(!running);
}

}  // namespace kalvex
