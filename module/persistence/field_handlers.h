// The field handlers of the built-in types: how a string, an enumeration,
// a container, a two-level dword array or an object reference is saved,
// loaded and skipped.
#pragma once

#include <cstdint>
#include <memory>

#include "module/persistence/basket_session.h"
#include "module/persistence/persistence_types.h"

void EnumFieldHandler(void* field, TFieldOperation operation);
void AnsiStringFieldHandler(void* field, TFieldOperation operation);
void WideStringFieldHandler(void* field, TFieldOperation operation);
void DwordArray2DFieldHandler(void* field, TFieldOperation operation);
void ObjectFieldHandler(void* field, TFieldOperation operation);

// A container field holds an owning pointer: -1 for nil, else the
// container's own Save. A loaded field gets a new container; its old
// content belongs to a freshly created object and is not freed.
template <class C>
void ContainerFieldHandler(void* field, TFieldOperation operation) {
  TWordStream& basket = DynaBasket();
  C* container = nullptr;  // the field is null when skipping
  switch (operation) {
    case fio_Save:
      container = *static_cast<C**>(field);
      if (container == nullptr) {
        basket.WriteWord(static_cast<uint32_t>(-1));
      } else {
        container->Save();
      }
      break;
    case fio_Load:
      if (static_cast<int32_t>(basket.PeekWord()) >= 0) {
        container = new C();
        // The object owns it before it is read, so a failed read frees it.
        *static_cast<C**>(field) = container;
        container->Load();
      } else {
        basket.ReadWord();
        *static_cast<C**>(field) = nullptr;
      }
      break;
    case fio_Skip:
      if (static_cast<int32_t>(basket.PeekWord()) >= 0) {
        std::make_unique<C>()->Load();
      } else {
        basket.ReadWord();
      }
      break;
  }
}
