// What the writer, the reader and the field handlers share while a basket
// is open: the word stream, the scenarios and the type a handler serves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "module/persistence/host_basket_io.h"
#include "module/persistence/word_stream.h"

struct TBasketSession {
  // The basket being written or read; the module's own when none is given.
  TWordStream* Stream = nullptr;
  // Scenarios of all classes, rebuilt for every save and load.
  std::vector<int32_t> ScenarioTable;
  // The type index of the field a handler is called for.
  int32_t CurrentType = 0;
  // Objects nested inside the one being written or read.
  int32_t Depth = 0;
};

// Inline, as are the two below: handlers reach them once per field.
inline TBasketSession& BasketSession() {
  static TBasketSession session;
  return session;
}

// The basket being written or read.
inline TWordStream& DynaBasket() {
  TBasketSession& session = BasketSession();
  return session.Stream != nullptr ? *session.Stream : ModuleBasket();
}

// Object graphs nest no deeper than this, so that a long chain or damaged
// data cannot exhaust the stack.
constexpr int32_t kMaxObjectDepth = 2000;

// Ends a load: the basket holds something no writer produces.
[[noreturn]] void DataCorrupt(const std::string& reason);
