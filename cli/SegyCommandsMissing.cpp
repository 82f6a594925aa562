// export-segy and import-segy in a build made without segyio (a cross build
// whose toolchain could not get its source): they say so.

#include "CliArgs.h"
#include "Commands.h"

namespace kalvex::cli {
namespace {

[[noreturn]] void Missing() {
  throw CliExit{ExitRefused, "this build has no SEG-Y export and import (built without segyio)"};
}

}  // namespace

int RunExportSegy(const Words&, const QString&) {
  Missing();
}

int RunImportSegy(const Words&, const QString&) {
  Missing();
}

}  // namespace kalvex::cli
