#pragma once
// The hourglass cursor around long operations: a scope shows it and restores
// the previous cursor when it ends, also when the operation fails part-way.
// The desktop program installs a handler; elsewhere nothing is shown.

#include <functional>

namespace kalvex {

class BusyScope {
 public:
  BusyScope();
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

  // Called with true when the first scope opens and false when the last one
  // closes. User-interface thread only.
  static void SetHandler(std::function<void(bool busy)> handler);
};

}  // namespace kalvex
