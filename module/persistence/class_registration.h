// Class registration: a temporary blank instance of the class describes its
// fields, and the registry checks that they tile the object with no hole
// and nothing left over.
#pragma once

#include <cstddef>
#include <string_view>

#include "module/persistence/truly_persistent.h"

// Registers the class as a type and its fields; fatal when it is already
// registered or its fields do not describe it.
void RegClass(TPersistentClass& persistent_class);
template <class T>
void RegClass() {
  RegClass(T::StaticClass());
}

// The field registration RegField, RegSkip and RegSkipPtr share. field lies
// in instance, the object being registered; size is its size in memory.
void RegisterFieldOf(TTrulyPersistent& instance, const char* name, const void* field, size_t size,
                     std::string_view type_name, bool skip);
