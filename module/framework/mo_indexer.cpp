#include "module/framework/mo_indexer.h"

#include <string>

#include "module/runtime/module_report.h"

TIndexer::TIndexer()
    : f_d(new TArrayOfTrulyPersistent()), f_FreeList(new TAOI()), f_Reference_Count(new TAOI()) {}

TIndexer::~TIndexer() {
  delete f_d;
  delete f_FreeList;
  delete f_Reference_Count;
}

void TIndexer::RegisterFields() {
  TTrulyPersistent::RegisterFields();
  RegField("f_d", f_d, zt::TArrayOfTrulyPersistent);
  RegField("f_FreeList", f_FreeList, zt::TAOI);
  RegField("f_Reference_Count", f_Reference_Count, zt::TAOI);
}

int32_t TIndexer::AddObject(TTrulyPersistent* object) {
  int32_t index;
  if (f_FreeList->Length > 0) {
    index = f_FreeList->Last();
    f_FreeList->Decrement();
    (*f_d)[index] = object;
  } else {
    index = f_d->Add(object);
    f_Reference_Count->Resize(f_d->Length);
  }
  ++(*f_Reference_Count)[index];
  return index;
}

// A free index released again would enter the free list twice and later
// be handed out to two objects; an index beyond the table would write
// outside it. Both are the caller's mistake, reported instead of obeyed.
void TIndexer::CheckIndex(int32_t index) const {
  if (index >= 0 && index < f_d->Length) return;
  ModuleFatalError(MI_ERROR_PROGRAMMER_NO_BAKA,
                   {WideText("TIndexer: index " + std::to_string(index) + " is out of range.")});
}

void TIndexer::ReleaseIndex(int32_t index) {
  CheckIndex(index);
  int32_t& count = (*f_Reference_Count)[index];
  if (count <= 0) {
    ModuleFatalError(MI_ERROR_PROGRAMMER_NO_BAKA,
                     {WideText("TIndexer: index " + std::to_string(index) + " is already free.")});
  }
  if (--count == 0) {
    (*f_d)[index] = nullptr;
    f_FreeList->Add(index);
  }
}

TTrulyPersistent* TIndexer::GetObject(int32_t index) const {
  CheckIndex(index);
  return (*f_d)[index];
}

int32_t TIndexer::ReferenceCount(int32_t index) const {
  CheckIndex(index);
  return (*f_Reference_Count)[index];
}
