#pragma once
// The file commands over a recording, in-memory files and a scripted
// operator, with the clock stopped at `now`: what the file-command tests
// share.

#include "recordings/FileCommands.h"
#include "recordings/TFrmFile.h"
#include "recordings/TNFiles.h"
#include "shell/ProgramSettings.h"
#include "support/FakeFileStore.h"
#include "support/FakeUserInteraction.h"

namespace kalvex::test {

struct FileCommandsRig {
  explicit FileCommandsRig(LocalDateTime now) : now_(now) {}

  LocalDateTime now_;
  TFrmFile rec;
  ProcessValues values;
  ProgramSettings settings;
  TNFiles files;
  FakeFileStore store;
  FakeUserInteraction ui;
  FileCommands commands{rec, values, settings, files, store, ui, [this] { return now_; }};
};

}  // namespace kalvex::test
