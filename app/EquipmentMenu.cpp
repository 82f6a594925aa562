#include "EquipmentMenu.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "acquisition/ParametersDialog.h"
#include "platform/ModelListFolder.h"
#include "platform/ModelListWidget.h"
#include "platform/TFParms.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

QString Q(TextId id) {
  return QString::fromStdString(Text(id));
}

}  // namespace

EquipmentMenu::EquipmentMenu(Context context, const QString& programDirectory,
                             ParameterWindowSteps steps, std::function<void()> refreshAll)
    : QObject(&context.window),
      ctx_(context),
      steps_(std::move(steps)),
      refreshAll_(std::move(refreshAll)) {
  paths_ = ModelListFilesIn(programDirectory);
  lists_ = LoadModelLists(ctx_.store, paths_);

  QMenuBar* bar = ctx_.window.menuBar();
  auto* menu = new QMenu(Q(TextId::MenuEquipment), bar);
  menu->setObjectName(QStringLiteral("EquipmentMenu"));
  const QList<QAction*> menus = bar->actions();
  bar->insertMenu(menus.size() > 1 ? menus[1] : nullptr, menu);
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

}  // namespace kalvex
