// The message texts of the configured language, read once at start-up from
// the UTF-16 text files under <base path>zok/text/.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "shared/format.h"
#include "shared/message_ids.h"
#include "shared/zok_object.h"

// The texts of a language are incomplete or name identifiers that do not
// exist; the message is the whole report.
class EStringResources : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The text folder cannot be listed or holds no text file.
class ETextFolderUnusable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TStringResourceSettings {
  std::string base_path;            // absolute, ends with '/'
  std::string substitute_language;  // fills the gaps of the language; empty for none
  bool strict_checks = false;       // a gap is fatal even with a substitute
};

class TMessageContainer : public TObject {
 public:
  // Start-up: the settings come from the configuration section named by
  // the language and the base path from the host. Incomplete texts end the
  // process; ETextFolderUnusable is left to the start-up handler.
  explicit TMessageContainer(const std::string& language);
  // Throws EStringResources, ETextFolderUnusable or EUtf16TextFile.
  TMessageContainer(const std::string& language, const TStringResourceSettings& settings);
  const char* ClassName() const override { return "TMessageContainer"; }

  // Empty for an identifier without a text.
  const std::u16string& Text(TMessageID id) const { return texts_[id]; }
  const std::string& Key(TMessageID id) const { return keys_[id]; }
  // Upper case.
  const std::string& Language() const { return language_; }

 private:
  void LoadAll(const TStringResourceSettings& settings);
  void LoadLanguage(const std::string& language, const std::string& base_path);
  void ReadEntries(const std::vector<std::u16string>& lines, const std::string& language_line);
  int FindId(const std::string& key) const;
  std::string FailureReport() const;

  std::array<std::u16string, kMessageIdCount> texts_;
  std::array<std::string, kMessageIdCount> keys_;
  std::string language_;
  std::string invalid_ids_;  // "  KEY" for each key that names no identifier
  std::string missing_ids_;  // "KEY  " for each identifier without a text
};

// GetMessageText (shared/format.h) reads the process's container, g_messages:
// empty when the identifier has no text, when no container exists or when
// the identifier is out of range.

// text itself when not empty, else the text of MI_UNDEFINED.
std::u16string TextOrUndefined(const std::u16string& text);

// True when the container's language is Russian, in any case.
bool IsRussianLanguage();

// For built-in texts that are no message identifiers.
std::string ChooseLiteral(const std::string& russian, const std::string& english);
