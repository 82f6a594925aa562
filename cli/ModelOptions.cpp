#include "ModelOptions.h"

#include <QDir>

#include "platform/ModelListFolder.h"
#include "platform/QtFileStore.h"
#include "recordings/ModelListDialog.h"

namespace kalvex::cli {
namespace {

// The entry of that name: an exact match first, else a name the list dialog
// would call the same.
template <typename Model>
const Model& Find(const std::vector<Model>& list, const std::string& name, const char* option,
                  const std::string& file) {
  for (const Model& m : list)
    if (m.Name == name) return m;
  for (const Model& m : list)
    if (ModelListDialog::SameName(m.Name, name)) return m;
  throw CliExit{ExitUsage, std::string(option) + ": no model \"" + name + "\" in " + file};
}

template <typename Model>
const Model* Chosen(const CliArgs& args, const std::vector<Model>& list, const char* option,
                    ModelListKind kind, const std::string& folder) {
  if (!args.Has(option)) return nullptr;
  const std::string file =
      QDir::toNativeSeparators(
          QDir(QString::fromStdString(folder)).filePath(ModelListFileName(kind)))
          .toStdString();
  const Model& model = Find(list, args.Get(option), option, file);
  if (model.Number < 0)
    throw CliExit{ExitUsage, std::string(option) + ": model \"" + model.Name + "\" in " + file +
                                 " has the number " + std::to_string(model.Number) +
                                 " and fills no parameter"};
  return &model;
}

// Values `from` sets replace those of `into`.
void Merge(ModelFill& into, const ModelFill& from) {
  auto take = [](auto& target, const auto& source) {
    if (source) target = source;
  };
  take(into.HoldDownWeight, from.HoldDownWeight);
  take(into.ReactionMassWeight, from.ReactionMassWeight);
  take(into.BaseplateWeight, from.BaseplateWeight);
  take(into.MassAccSensitivity, from.MassAccSensitivity);
  take(into.BaseplateAccSensitivity, from.BaseplateAccSensitivity);
  take(into.ServoCurrentFactor, from.ServoCurrentFactor);
  take(into.TestOut, from.TestOut);
  take(into.SourceVoltageFactor, from.SourceVoltageFactor);
  take(into.SourceCurrentFactor, from.SourceCurrentFactor);
  take(into.SourceSensorFactor, from.SourceSensorFactor);
  take(into.AccDelayCode, from.AccDelayCode);
}

}  // namespace

std::set<std::string> ModelOptionNames() {
  return {"--models-dir", "--vib-model", "--acc-model", "--control-model", "--source-model"};
}

ModelLists ReadModelListsIn(const std::string& folder) {
  QtFileStore store;
  ModelListsRead read = ReadModelLists(
      store,
      ModelListFilesIn(folder.empty() ? QDir::currentPath() : QString::fromStdString(folder)));
  for (const std::string& error : read.errors)
    if (!error.empty()) throw CliExit{ExitIo, error};
  return std::move(read.lists);
}

ModelFill ChosenModelFill(const CliArgs& args, int mode) {
  ModelFill fill;
  const bool any = args.Has("--vib-model") || args.Has("--acc-model") ||
                   args.Has("--control-model") || args.Has("--source-model");
  if (!any) return fill;
  const std::string folder = args.Get("--models-dir", ".");
  const ModelLists lists = ReadModelListsIn(folder);
  if (auto* m = Chosen(args, lists.Vib, "--vib-model", ModelListKind::Vib, folder))
    Merge(fill, FillOf(*m));
  if (auto* m = Chosen(args, lists.Acc, "--acc-model", ModelListKind::Acc, folder))
    Merge(fill, FillOf(*m));
  if (auto* m = Chosen(args, lists.Control, "--control-model", ModelListKind::Control, folder))
    Merge(fill, FillOf(*m, mode));
  if (auto* m = Chosen(args, lists.Source, "--source-model", ModelListKind::Source, folder))
    Merge(fill, FillOf(*m));
  return fill;
}

}  // namespace kalvex::cli
