// libFuzzer target: the model-list reader. Any bytes may sit in the four list
// files; reading never crashes, and what was read, written and read again is
// written the same way a second time (the files settle after one save).

#include <cstdint>
#include <cstdlib>
#include <span>

#include "recordings/ModelListEntries.h"
#include "recordings/ModelListReader.h"
#include "recordings/ModelListWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kalvex;
  for (ModelListKind kind : {ModelListKind::Vib, ModelListKind::Acc, ModelListKind::Control,
                             ModelListKind::Source}) {
    ModelLists lists;
    ReplaceEntries(lists, kind, ReadModelListFile({data, size}, kind));
    const std::vector<std::uint8_t> once = WriteModelListFile(lists, kind);
    ModelLists again;
    ReplaceEntries(again, kind, ReadModelListFile(once, kind));
    if (WriteModelListFile(again, kind) != once) std::abort();
  }
  return 0;
}
