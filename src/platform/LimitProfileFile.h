#pragma once
// A limit profile read from its file (at most 1 MiB), named by the file
// when it does not name itself.

#include <optional>
#include <string>

#include "qc/LimitProfile.h"

namespace kalvex {

struct LimitProfileFile {
  std::optional<LimitProfile> profile;
  std::string error;        // the message when there is no profile
  bool unreadable = false;  // the file could not be read (else: refused)
};

LimitProfileFile ReadLimitProfileFile(const std::string& path);

}  // namespace kalvex
