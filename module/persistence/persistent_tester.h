// TTrulyPersistentTester: registered first in every module, so every
// basket's tables hold it and the array type TKIKIMORA. It exercises each
// registration form and is never instantiated otherwise.
#pragma once

#include <cstdint>
#include <string>

#include "module/persistence/truly_persistent.h"

class TTrulyPersistentTester : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TTrulyPersistentTester, TTrulyPersistent)
 public:
  TTrulyPersistentTester() = default;
  void RegisterFields() override;

  std::string StubA;
  int32_t G[6];  // TKikimora
  int32_t StubB;
  float StubC;
  TTrulyPersistentTester* StubD;
};
