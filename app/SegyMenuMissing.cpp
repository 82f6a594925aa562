// The SEG-Y items in a build made without segyio (a cross build whose
// toolchain could not get its source): the menu has none.

#include "SegyMenu.h"

#include <QMenu>

namespace kalvex {

SegyMenu::SegyMenu(Context context, QMenu& fileMenu, QAction*)
    : QObject(&fileMenu), ctx_(std::move(context)), export_(nullptr) {}

void SegyMenu::SetRecordingShown(bool) {}
void SegyMenu::ExportCommand() {}
void SegyMenu::ImportCommand() {}

bool SegyMenu::ExportTo(const std::string&) {
  return false;
}

bool SegyMenu::ImportInto(const SegyImage&, int, const std::vector<std::pair<std::string, int>>&,
                          const std::map<int, double>&, const std::string&) {
  return false;
}

}  // namespace kalvex
