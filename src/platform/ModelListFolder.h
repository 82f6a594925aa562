#pragma once
// Where the model list files are: the folder that was the process's current
// directory at start-up (the project file's folder), joined with the
// platform's separator.

#include <QString>

#include "recordings/ModelListFiles.h"

namespace kalvex {

// "VibModels.ini", "AccModels.ini", "ControlModels.ini", "SourceModels.ini"
// in `folder`, as native paths.
ModelListPaths ModelListFilesIn(const QString& folder);

}  // namespace kalvex
