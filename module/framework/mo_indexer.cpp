#include "module/framework/mo_indexer.h"

#include <string>
#include <vector>

#include "module/persistence/basket_session.h"
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

void TIndexer::Load() {
  TTrulyPersistent::Load();
  if (f_d == nullptr) f_d = new TArrayOfTrulyPersistent();
  if (f_FreeList == nullptr) f_FreeList = new TAOI();
  if (f_Reference_Count == nullptr) f_Reference_Count = new TAOI();
  const int32_t length = f_d->Length;
  if (f_Reference_Count->Length != length) {
    DataCorrupt("An indexer holds " + std::to_string(length) + " objects but " +
                std::to_string(f_Reference_Count->Length) + " reference counts.");
  }
  std::vector<bool> listed(static_cast<size_t>(length), false);
  for (int32_t i = 0; i < f_FreeList->Length; ++i) {
    const int32_t index = (*f_FreeList)[i];
    if (index < 0 || index >= length || (*f_Reference_Count)[index] != 0 ||
        listed[static_cast<size_t>(index)]) {
      DataCorrupt("An indexer lists " + std::to_string(index) +
                  " as free, which is out of range, referenced or listed twice.");
    }
    listed[static_cast<size_t>(index)] = true;
  }
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

// An index beyond the table would reach outside it: the caller's mistake,
// reported instead of obeyed.
void TIndexer::CheckIndex(int32_t index) const {
  if (index >= 0 && index < f_d->Length) return;
  ModuleFatalError(MI_ERROR_PROGRAMMER_NO_BAKA,
                   {WideText("TIndexer: index " + std::to_string(index) + " is out of range.")});
}

// A free index released again would enter the free list twice and later
// be handed out to two objects; a count below zero would never free its
// index. Both are the caller's mistake too.
int32_t& TIndexer::CountToDrop(int32_t index) {
  CheckIndex(index);
  int32_t& count = (*f_Reference_Count)[index];
  if (count <= 0) {
    ModuleFatalError(
        MI_ERROR_PROGRAMMER_NO_BAKA,
        {WideText("TIndexer: index " + std::to_string(index) + " holds no reference to drop.")});
  }
  return count;
}

void TIndexer::ReleaseIndex(int32_t index) {
  int32_t& count = CountToDrop(index);
  if (--count == 0) {
    (*f_d)[index] = nullptr;
    f_FreeList->Add(index);
  }
}

void TIndexer::ClearObject(int32_t index) {
  CheckIndex(index);
  (*f_d)[index] = nullptr;
}

void TIndexer::DropReference(int32_t index) {
  --CountToDrop(index);
}

TTrulyPersistent* TIndexer::GetObject(int32_t index) const {
  CheckIndex(index);
  return (*f_d)[index];
}

int32_t TIndexer::ReferenceCount(int32_t index) const {
  CheckIndex(index);
  return (*f_Reference_Count)[index];
}
