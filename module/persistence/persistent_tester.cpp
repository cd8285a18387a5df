#include "module/persistence/persistent_tester.h"

#include "module/persistence/type_registry.h"

void TTrulyPersistentTester::RegisterFields() {
  RegType("TKikimora", zt::LongInt, sizeof G);
  TTrulyPersistent::RegisterFields();
  RegField("StubA", StubA, zt::AnsiString);
  RegField("G", G, "TKikimora");
  RegField("StubB", StubB, "LongInt");
  RegField("StubC", StubC, zt::Single);
  RegField("StubD", StubD);
}
