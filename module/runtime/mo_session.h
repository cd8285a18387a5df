// The module object's life across library loads: ModuleStart restores it
// from the session file or creates it, MessageHandler feeds it the host's
// events and writes the session when the library goes away.
//
// A module library names its module class once, in one of its sources:
//
//   class TMyModule : public TModule { ZOK_PERSISTENT_CLASS(TMyModule, TModule) ... };
//   ZOK_MODULE_OBJECT_CLASS(TMyModule);
//
// which registers the class and defines the runtime's two hooks with it.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

#include "module/runtime/mo_module.h"
#include "module/runtime/module_hooks.h"
#include "shared/message_ids.h"

// What ModuleStart needs of the module class: its persistent class, for
// reading a session, and a way to make a new object.
struct TModuleClass {
  TPersistentClass& Persistent;
  TModule* (*Create)();
};

template <class T>
TModuleClass ModuleClassOf() {
  static_assert(std::is_base_of_v<TModule, T>, "the module class derives from TModule");
  return TModuleClass{T::StaticClass(), []() -> TModule* { return new T(); }};
}

// Restores the module object from the session file of this library, or
// creates a new one. A session file that cannot be read is moved aside
// (".bad" appended) before the failure goes on, so the next start begins
// afresh instead of failing the same way.
void ModuleStart(const TModuleClass& module_class, const std::string& module_path,
                 const std::string& session_path, const std::string& save_path);
// One host event for the module object; a failure is reported as the
// module having crashed in that event.
int32_t MessageHandler(int32_t code, int32_t a, int32_t b, int32_t c);

// The session file for a module library, in session_path.
std::string SessionFileNameFor(const std::string& session_path, const std::string& module_path);

// Writes object and everything it reaches to file_name; what names the data
// for the log (MI_OF_SESSION, ...).
void SaveObjectToFile(TTrulyPersistent& object, TMessageID what, int32_t kind,
                      const std::string& file_name);
// Reads an object of class_name, or of a class derived from it.
TTrulyPersistent* LoadObjectFromFile(TMessageID what, const std::string& file_name,
                                     const std::string& class_name);

#define ZOK_MODULE_OBJECT_CLASS(Class)                                              \
  ZOK_REGISTER_MODULE_CLASS(Class);                                                 \
  void ModuleStart(const std::string& module_path, const std::string& session_path, \
                   const std::string& save_path) {                                  \
    ModuleStart(ModuleClassOf<Class>(), module_path, session_path, save_path);      \
  }                                                                                 \
  int32_t ModuleMessageHandler(int32_t code, int32_t a, int32_t b, int32_t c) {     \
    return MessageHandler(code, a, b, c);                                           \
  }                                                                                 \
  static_assert(true, "")
