// What the persistence tests share: a stand-in host that gives every
// message identifier the text "NAME(%0|%1|...)" (one placeholder per
// argument the identifier takes) and records the log, a registry built
// afresh for each test, and saving and loading through a basket in memory.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "module/persistence/basket_files.h"
#include "module/persistence/basket_reader.h"
#include "module/persistence/basket_writer.h"
#include "module/persistence/type_registry.h"
#include "module/runtime/host_functions.h"
#include "module/runtime/module_globals.h"
#include "module/runtime/module_report.h"
#include "support/memory_basket_io.h"

namespace persistence_test {

struct TMessageArity {
  TMessageID id;
  int arguments;
};

inline const std::u16string& FakeMessageText(TMessageID id) {
  static const std::map<TMessageID, std::u16string> texts = [] {
    static const TMessageArity arities[] = {
#include "unit/message_arguments.inc"
    };
    std::map<TMessageID, std::u16string> made;
    for (const auto& [message, count] : arities) {
      std::u16string text = WideText(MessageIdName(message)) + u"(";
      for (int i = 0; i < count; ++i) {
        text += (i > 0 ? u"|%" : u"%") + WideText(std::to_string(i));
      }
      made[message] = text + u")";
    }
    return made;
  }();
  static const std::u16string none;
  const auto found = texts.find(id);
  return found != texts.end() ? found->second : none;
}

inline std::vector<std::u16string>& LogLines() {
  static std::vector<std::u16string> lines;
  return lines;
}

extern "C" inline const char16_t* FakeGetMessageText(int32_t id) {
  return FakeMessageText(static_cast<TMessageID>(id)).c_str();
}
extern "C" inline void FakeAddLog(const char16_t* text) {
  LogLines().emplace_back(text);
}

// The narrow form of a text, for readable test failures.
inline std::string Narrow(const std::u16string& text) {
  std::string narrow;
  for (char16_t c : text) narrow.push_back(c < 128 ? static_cast<char>(c) : '?');
  return narrow;
}

// The reports of the fatal error the call raises; empty when none.
inline std::string FatalTextOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const EModuleFatal& fatal) {
    return Narrow(fatal.AllTexts());
  } catch (const EBasketData& failure) {  // the word stream's, without a host
    return failure.what();
  }
  return {};
}

inline bool LogHas(const std::string& piece) {
  for (const auto& line : LogLines()) {
    if (Narrow(line).find(piece) != std::string::npos) return true;
  }
  return false;
}

// Every test starts with a registry as a module builds it at start-up.
class TPersistenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::GetMessageText = &FakeGetMessageText;
    host::AddLog = &FakeAddLog;
    LogLines().clear();
    Module().debug_mode = false;
    Module().russian = false;
    InitTypeRegistry();
  }
  void TearDown() override {
    loaded.clear();
    ResetTypeRegistry();
    host::GetMessageText = nullptr;
    host::AddLog = nullptr;
    Module().debug_mode = false;
    Module().russian = false;
  }

  // Saves root into the memory basket.
  void Save(TTrulyPersistent& root) {
    TWordStream stream(io);
    SaveObjectGraph(stream, root, "test.zok", '0');
  }
  // Loads the memory basket; the test owns every object read (they are
  // freed with the test), so object references in test classes do not own.
  template <class T>
  T* Load() {
    return static_cast<T*>(LoadRoot(T::StaticClass().Name));
  }
  TTrulyPersistent* LoadRoot(const std::string& class_name) {
    TWordStream stream(io);
    try {
      BeginLoad(stream, "test.zok", class_name);
      TTrulyPersistent* root = ReadRootObject();
      for (TTrulyPersistent* object : EndLoad()) loaded.emplace_back(object);
      return root;
    } catch (...) {
      AbandonLoad();
      throw;
    }
  }

  std::vector<std::unique_ptr<TTrulyPersistent>> loaded;

  TMemoryBasketIo io{64};  // small chunks, so the tables cross many of them
};

}  // namespace persistence_test
