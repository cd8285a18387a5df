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
  // A session is outside input: the arrays read from one must agree before
  // the operations below index into them. Checked while reading, so that a
  // session failing here counts as unreadable.
  void Load() override;

  // A new index for object, or a free one; its count starts at 1.
  int32_t AddObject(TTrulyPersistent* object);
  // Drops one reference; at none the index becomes free.
  void ReleaseIndex(int32_t index);
  // Spare operations for a caller that keeps its own books: the first
  // empties the slot but keeps the references, the second drops one
  // reference but never frees the index, even at none.
  void ClearObject(int32_t index);
  void DropReference(int32_t index);
  TTrulyPersistent* GetObject(int32_t index) const;
  int32_t ReferenceCount(int32_t index) const;
  int32_t Length() const { return f_d->Length; }

  TArrayOfTrulyPersistent* f_d;  // does not own the objects
  TAOI* f_FreeList;
  TAOI* f_Reference_Count;

 private:
  void CheckIndex(int32_t index) const;
  // The count of a held index, for dropping one reference.
  int32_t& CountToDrop(int32_t index);
};
