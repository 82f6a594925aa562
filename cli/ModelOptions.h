#pragma once
// The model lists on the command line: reading the four files of a folder as
// the program does at start-up, and --vib-model, --acc-model,
// --control-model, --source-model (with --models-dir) filling the test
// parameters as the parameters dialog's model choosers do.

#include <set>
#include <string>

#include "CliArgs.h"
#include "recordings/ModelLists.h"

namespace kalvex::cli {

std::set<std::string> ModelOptionNames();

// The lists of `folder` (the current directory when empty); a missing file is
// an empty list, one that cannot be read (or is too large) exits 3 naming it.
ModelLists ReadModelListsIn(const std::string& folder);

// What the named models fill, for recording mode `mode`. Several models that
// fill the same parameter: the later of vibrator, accelerometer, controller,
// source wins. An unknown name, or an entry with a negative number, exits 1.
// Names match exactly, else as the list dialogs compare them (surrounding
// blanks and the case of a-z do not count).
ModelFill ChosenModelFill(const CliArgs& args, int mode);

}  // namespace kalvex::cli
