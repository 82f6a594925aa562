#include "shell/BusyScope.h"

namespace kalvex {
namespace {

std::function<void(bool)>& Handler() {
  static std::function<void(bool)> handler;
  return handler;
}

int& Depth() {
  static int depth = 0;
  return depth;
}

}  // namespace

BusyScope::BusyScope() {
  if (Depth()++ == 0 && Handler()) Handler()(true);
}

BusyScope::~BusyScope() {
  if (--Depth() == 0 && Handler()) Handler()(false);
}

void BusyScope::SetHandler(std::function<void(bool)> handler) {
  Handler() = std::move(handler);
}

}  // namespace kalvex
