#pragma once
// The four model list files through the file store: all four read at
// start-up, one rewritten after each accepted list dialog.

#include <array>
#include <functional>
#include <string>

#include "recordings/ModelLists.h"

namespace kalvex {

class FileStore;
class UserInteraction;

// The full path of each list's file, indexed by ModelListKind.
struct ModelListPaths {
  std::array<std::string, 4> Paths;
  const std::string& Of(ModelListKind kind) const { return Paths[static_cast<std::size_t>(kind)]; }
};

// The files "VibModels.ini", ... in `directory`, each path made by `join`
// (the platform's way of joining a directory and a file name).
ModelListPaths ModelListPathsIn(
    const std::string& directory,
    const std::function<std::string(const std::string& directory, const std::string& name)>& join);

// The four lists as read, and per list (indexed by ModelListKind) the message
// "Cannot open file ..." when its file exists but could not be read or is
// larger than any model list (4 MiB); that list is then empty.
struct ModelListsRead {
  ModelLists lists;
  std::array<std::string, 4> errors;
  const std::string& ErrorOf(ModelListKind kind) const {
    return errors[static_cast<std::size_t>(kind)];
  }
};

// Reads each list from its file. A missing file leaves its list empty; lines
// that do not read are skipped.
ModelListsRead ReadModelLists(FileStore& store, const ModelListPaths& paths);

// The same, the lists alone; with `ui` each file that could not be read is
// named, with the reason, in an error box.
ModelLists LoadModelLists(FileStore& store, const ModelListPaths& paths);
ModelLists LoadModelLists(FileStore& store, const ModelListPaths& paths, UserInteraction& ui);

// Writes the list of that kind as the file at `path`, which is replaced only
// by the complete new file. On failure the error box "Cannot create file ..."
// is shown, the old file stays as it was, and false is returned.
bool SaveModelList(const ModelLists& lists, ModelListKind kind, FileStore& store,
                   const std::string& path, UserInteraction& ui);

}  // namespace kalvex
