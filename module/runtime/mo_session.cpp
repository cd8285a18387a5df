#include "module/runtime/mo_session.h"

#include <cxxabi.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <stdexcept>
#include <typeinfo>

#include "module/framework/mo_globopts.h"
#include "module/persistence/basket_files.h"
#include "module/persistence/basket_reader.h"
#include "module/persistence/host_basket_io.h"
#include "module/runtime/host_functions.h"
#include "module/runtime/module_globals.h"
#include "module/runtime/module_report.h"
#include "shared/format.h"
#include "shared/zok_protocol.h"

namespace {

constexpr char kHandlerSuffix[] = "  message handler";
constexpr char kBadSessionSuffix[] = ".bad";

void LogMessage(TMessageID id, TMsgArgs args) {
  ModuleLogText(FormatMessage(id, args));
}

// The class of the exception being handled, readable.
std::string CurrentExceptionClass() {
  const std::type_info* type = abi::__cxa_current_exception_type();
  if (type == nullptr) return "unknown";
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> name(
      abi::__cxa_demangle(type->name(), nullptr, nullptr, &status), &std::free);
  return status == 0 && name ? std::string(name.get()) : std::string(type->name());
}

std::string CurrentExceptionMessage() {
  try {
    throw;
  } catch (const std::exception& failure) {
    return failure.what();
  } catch (...) {
    return {};
  }
}

// After a reload: what the conversion did, in one line for the programmer.
void LogConversion() {
  const TLoadConversion& c = LastLoadConversion();
  ModuleLogText(Format(
      ModuleLiteral(u"Сессия прочитана: классы без изменений %0, прочитаны по полям %1; поля "
                    u"совпали %2, сменили тип %3, отброшены %4, новые %5; значения перечислений "
                    u"совпали %6, перенумерованы %7, отброшены %8.",
                    u"Session read: classes unchanged %0, read field by field %1; fields "
                    u"matched %2, retyped %3, dropped %4, added %5; enumeration values matched "
                    u"%6, renumbered %7, dropped %8."),
      {c.ClassesSame, c.ClassesConverted, c.FieldsMatched, c.FieldsRetyped, c.FieldsDropped,
       c.FieldsAdded, c.EnumValuesMatched, c.EnumValuesMoved, c.EnumValuesDropped}));
}

// Moves an unreadable session file out of the way, so that the next start
// creates a new module object instead of failing on it again. Runs while
// the load's failure is on its way out; a failure here must not replace it.
void MoveSessionAside(const std::string& session_file) {
  const std::string bad_file = session_file + kBadSessionSuffix;
  try {
    host::ReplaceFileInWorkingDir(session_file.c_str(), bad_file.c_str());
  } catch (...) {
    ModuleLogText(Format(ModuleLiteral(u"Не удалось переименовать файл сессии %0 в %1.",
                                       u"Could not move the session file %0 aside as %1."),
                         {session_file, bad_file}));
    return;
  }
  ModuleLogText(
      Format(ModuleLiteral(u"Файл сессии %0 не читается; он переименован в %1, модуль начнёт "
                           u"новую сессию при следующем запуске.",
                           u"The session file %0 could not be read; it was moved aside as %1, "
                           u"so the next start begins a new session."),
             {session_file, bad_file}));
}

// How far a load got: a failure while reading means the file is bad, one in
// AfterLoading (a configuration value, say) does not.
enum class TLoadStage { Reading, AfterLoading, Done };

TTrulyPersistent* LoadObject(TMessageID what, const std::string& file_name,
                             const std::string& class_name, TLoadStage& stage) {
  LogMessage(MI_LOADING, {GetMessageText(what)});
  TTrulyPersistent* root = nullptr;
  stage = TLoadStage::Reading;
  try {
    BeginLoad(ModuleBasket(), file_name, class_name);
    // Texture names remembered from another host run mean nothing in this one.
    if (host::ZokFileReadStamp() != host::RunStamp()) host::DeleteMarkedTextures();
    root = ReadRootObject();
    if (root == nullptr) throw std::runtime_error("The stored root object is nil.");
    stage = TLoadStage::AfterLoading;
    EndLoad();
  } catch (...) {
    AbandonLoad();
    ModuleFatalErrorInContext(FormatMessage(MI_ERROR_LOADING, {GetMessageText(what), file_name}));
  }
  stage = TLoadStage::Done;
  host::AddLogSuccess();
  return root;
}

void RestoreModule(const TModuleClass& module_class, const std::string& session_file) {
  TLoadStage stage = TLoadStage::Reading;
  TTrulyPersistent* root = nullptr;
  try {
    root = LoadObject(MI_OF_SESSION, session_file, module_class.Persistent.Name, stage);
  } catch (...) {
    if (stage == TLoadStage::Reading) MoveSessionAside(session_file);
    throw;
  }
  // The reader gives an object of the class or of a class derived from it.
  ModuleObject() = static_cast<TModule*>(root);
  // Every loaded texture has claimed its name by now; the rest go.
  host::DeleteMarkedTextures();
  LogConversion();
}

void CreateModule(const TModuleClass& module_class) {
  try {
    ModuleObject() = module_class.Create();
  } catch (...) {
    ModuleObject() = nullptr;
    throw;
  }
}

}  // namespace

std::string SessionFileNameFor(const std::string& session_path, const std::string& module_path) {
  const size_t slash = module_path.find_last_of('/');
  std::string name = slash == std::string::npos ? module_path : module_path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot != 0) name.resize(dot);
  return session_path + name + ".zok";
}

void ModuleStart(const TModuleClass& module_class, const std::string& module_path,
                 const std::string& session_path, const std::string& save_path) {
  TModuleGlobals& globals = Module();
  globals.module_path = module_path;
  globals.session_path = session_path;
  globals.save_path = save_path;
  const std::string session_file = SessionFileNameFor(session_path, module_path);
  if (host::FileExistsInWorkingDir(session_file.c_str()) != 0) {
    RestoreModule(module_class, session_file);
  } else {
    CreateModule(module_class);
  }
}

int32_t MessageHandler(int32_t code, int32_t a, int32_t b, int32_t c) {
  int32_t result = 1;
  try {
    TModule* module = ModuleObject();
    if (module == nullptr) throw std::logic_error("There is no module object.");
    switch (code) {
      case Re_OnDestroy:
        module->SaveSession();
        delete module;
        break;
      case Re_OnUnload:
        module->SaveSession();
        module->LoseFocus();
        break;
      default:
        result = module->Handle(code, a, b, c);
    }
  } catch (...) {
    const std::string handler = std::string(CbMessageName(code)) + kHandlerSuffix;
    const std::string exception_class = CurrentExceptionClass();
    const std::string message = CurrentExceptionMessage();
    ModuleFatalErrorInContext(FormatMessage(MI_CRASHED_IN, {handler, exception_class, message}));
  }
  return result;
}

void TModule::SaveSession() {
  const std::string temporary = TemporarySessionFileName();
  const std::string session = SessionFileName();
  const int32_t kind = Options != nullptr ? Options->SessionFormatKind() : '0';
  SaveObjectToFile(*this, MI_OF_SESSION, kind, temporary);
  // One rename over the old file: there is always a complete session file.
  try {
    host::ReplaceFileInWorkingDir(temporary.c_str(), session.c_str());
  } catch (...) {
    ModuleFatalErrorInContext(
        FormatMessage(MI_ERROR_SAVING, {GetMessageText(MI_OF_SESSION), session}));
  }
}

void SaveObjectToFile(TTrulyPersistent& object, TMessageID what, int32_t kind,
                      const std::string& file_name) {
  LogMessage(MI_SAVING, {GetMessageText(what)});
  try {
    SaveObjectGraph(ModuleBasket(), object, file_name, kind);
  } catch (...) {
    ModuleFatalErrorInContext(FormatMessage(MI_ERROR_SAVING, {GetMessageText(what), file_name}));
  }
  host::AddLogSuccess();
}

TTrulyPersistent* LoadObjectFromFile(TMessageID what, const std::string& file_name,
                                     const std::string& class_name) {
  TLoadStage stage = TLoadStage::Reading;
  return LoadObject(what, file_name, class_name, stage);
}
