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

ModelListsRead ReadModelLists(FileStore& store, const ModelListPaths& paths) {
  ModelListsRead read;
  for (ModelListKind kind : kKinds) {
    const std::string& path = paths.Of(kind);
    if (path.empty() || !store.Exists(path)) continue;
    const StoredFile file = store.Read(path, MaxModelListFileSize);
    std::string& error = read.errors[static_cast<std::size_t>(kind)];
    if (!file.ok())
      error = FormatText(TextId::CannotOpenFile, {path, file.error});
    else if (file.bytes.size() > MaxModelListFileSize)
      error = FormatText(TextId::CannotOpenFile, {path, "a model list file is at most 4 MiB"});
    else
      ReplaceEntries(read.lists, kind, ReadModelListFile(file.bytes, kind));
  }
  return read;
}

ModelLists LoadModelLists(FileStore& store, const ModelListPaths& paths) {
  return ReadModelLists(store, paths).lists;
}

ModelLists LoadModelLists(FileStore& store, const ModelListPaths& paths, UserInteraction& ui) {
  ModelListsRead read = ReadModelLists(store, paths);
  for (const std::string& error : read.errors)
    if (!error.empty()) ui.ShowError(error);
  return std::move(read.lists);
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
