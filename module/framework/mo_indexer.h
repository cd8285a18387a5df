// TIndexer: small, stable indices for persistent objects, with reference
// counts; released indices are reused, the last freed first.
#pragma once

#include <cstdint>

#include "module/persistence/persistence_types.h"
#include "module/persistence/truly_persistent.h"

class TIndexer : public TTrulyPersistent {
  ZOK_PERSISTENT_CLASS(TIndexer, TTrulyPersistent)
 public:
  TIndexer();
  ~TIndexer() override;
  void RegisterFields() override;

  // A new index for object, or a free one; its count starts at 1.
  int32_t AddObject(TTrulyPersistent* object);
  // Drops one reference; at none the index becomes free.
  void ReleaseIndex(int32_t index);
  TTrulyPersistent* GetObject(int32_t index) const;
  int32_t ReferenceCount(int32_t index) const;
  int32_t Length() const { return f_d->Length; }

  TArrayOfTrulyPersistent* f_d;  // does not own the objects
  TAOI* f_FreeList;
  TAOI* f_Reference_Count;

 private:
  void CheckIndex(int32_t index) const;
};
