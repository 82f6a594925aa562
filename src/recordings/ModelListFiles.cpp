#include "recordings/ModelListFiles.h"

#include "recordings/FileStore.h"
#include "recordings/ModelListReader.h"
#include "recordings/ModelListWriter.h"
#include "shell/TextCatalogue.h"
#include "shell/UserInteraction.h"

namespace kalvex {
namespace {

// Far beyond any list a crew keeps (some 10 000 models); a larger file is not
// a model list and is left unread.
constexpr std::size_t MaxModelListFileSize = 4 << 20;

constexpr ModelListKind kKinds[] = {ModelListKind::Vib, ModelListKind::Acc, ModelListKind::Control,
                                    ModelListKind::Source};

}  // namespace

ModelListPaths ModelListPathsIn(
    const std::string& directory,
    const std::function<std::string(const std::string& directory, const std::string& name)>& join) {
  ModelListPaths paths;
  for (ModelListKind kind : kKinds)
    paths.Paths[static_cast<std::size_t>(kind)] = join(directory, ModelListFileName(kind));
  return paths;
}

ModelLists LoadModelLists(FileStore& store, const ModelListPaths& paths) {
  ModelLists lists;
  for (ModelListKind kind : kKinds) {
    const std::string& path = paths.Of(kind);
    if (path.empty() || !store.Exists(path)) continue;
    const StoredFile file = store.Read(path, MaxModelListFileSize);
    if (file.ok() && file.bytes.size() <= MaxModelListFileSize)
      ReplaceEntries(lists, kind, ReadModelListFile(file.bytes, kind));
  }
  return lists;
}

bool SaveModelList(const ModelLists& lists, ModelListKind kind, FileStore& store,
                   const std::string& path, UserInteraction& ui) {
  const std::vector<std::uint8_t> bytes = WriteModelListFile(lists, kind);
  const std::string reason = store.SaveAtomically(path, bytes);
  if (reason.empty()) return true;
  ui.ShowError(FormatText(TextId::CannotCreateFile, {path, reason}));
  return false;
}

}  // namespace kalvex
