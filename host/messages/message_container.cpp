#include "host/messages/message_container.h"

#include <optional>

#include "host/config/config_manager.h"
#include "host/core/exceptions.h"
#include "host/core/globals.h"
#include "host/core/paths.h"
#include "host/files/file_list.h"
#include "host/messages/utf16_text_file.h"
#include "shared/text_codes.h"

namespace {

constexpr char kTextFolder[] = "zok/text/";
constexpr char kNewLine[] = "\n\r";
constexpr char16_t kWideNewLine[] = u"\n\r";

bool StartsWith(const std::u16string& line, char16_t c) {
  return !line.empty() && line[0] == c;
}

std::string UpperCp1251(std::u16string_view text) {
  return AsciiUpper(WideToCp1251(text));
}

TStringResourceSettings SettingsFromConfig(const std::string& section) {
  TStringResourceSettings settings;
  settings.base_path = Host().base_path;
  if (g_config != nullptr) {
    settings.substitute_language = g_config->ReadString(section, "SubstituteLanguage");
    settings.strict_checks = g_config->ReadBool(section, "StrictMessageChecks");
  }
  return settings;
}

}  // namespace

TMessageContainer::TMessageContainer(const std::string& language)
    : language_(AsciiUpper(language)) {
  std::optional<EUtf16TextFile> file_failure;
  try {
    LoadAll(SettingsFromConfig(language_));
  } catch (const EStringResources& e) {
    CrashedAtStartup(e.what());
  } catch (const EUtf16TextFile& e) {
    file_failure = e;
  }
  // Outside the handler, so a fatal error does not describe our own exception.
  if (file_failure) ReportUtf16TextFileFailure(*file_failure);
}

TMessageContainer::TMessageContainer(const std::string& language,
                                     const TStringResourceSettings& settings)
    : language_(AsciiUpper(language)) {
  LoadAll(settings);
}

void TMessageContainer::LoadAll(const TStringResourceSettings& settings) {
  for (int32_t id = 0; id < MI_CORE_MIDs_END; ++id) {
    keys_[id] = MessageKey(static_cast<TMessageID>(id));
    texts_[id].clear();
  }

  LoadLanguage(language_, settings.base_path);
  // The substitute only fills gaps; its load alone decides what is reported.
  if (!missing_ids_.empty() && !settings.strict_checks && !settings.substitute_language.empty()) {
    LoadLanguage(settings.substitute_language, settings.base_path);
  }
  if (!missing_ids_.empty() || !invalid_ids_.empty()) throw EStringResources(FailureReport());
}

std::string TMessageContainer::FailureReport() const {
  std::string missing;
  if (!missing_ids_.empty()) {
    missing = std::string("Missing string resources!") + kNewLine + ", for language \"" +
              language_ + "\": " + kNewLine + missing_ids_;
  }
  std::string invalid;
  if (!invalid_ids_.empty()) {
    const std::string prefix =
        missing_ids_.empty()
            ? std::string("found invalid message ID(s)!") + kNewLine + ", for language \"" +
                  language_ + "\": " + kNewLine
            : std::string(kNewLine) +
                  ", also found the invalid (or extra) string resources with ID(s): " + kNewLine;
    invalid = prefix + invalid_ids_;
  }
  return std::string("String resource manager crashed.") + kNewLine + missing + invalid;
}

void TMessageContainer::LoadLanguage(const std::string& language, const std::string& base_path) {
  missing_ids_.clear();
  const std::string folder = base_path + kTextFolder;
  const TFileList files(NormalizePath(folder + "*.txt"), TFileListEntries::kRegularFilesOnly);
  if (files.Count() == 0) {
    throw ETextFolderUnusable("We have no access rights to folder \"" + NormalizeDirectory(folder) +
                              "\" or it doesn't contain any *.txt files");
  }
  invalid_ids_.clear();
  const std::string language_line = "~" + AsciiUpper(language);
  for (int i = files.Count() - 1; i >= 0; --i) {
    ReadEntries(ReadUtf16TextLines(files.FullName(i)), language_line);
  }
  for (int32_t id = 0; id < MI_CORE_MIDs_END; ++id) {
    if (texts_[id].empty()) missing_ids_ += keys_[id] + "  ";
  }
}

int TMessageContainer::FindId(const std::string& key) const {
  for (int32_t id = 0; id < kMessageIdCount; ++id) {
    if (keys_[id] == key) return id;
  }
  return -1;
}

// Files are read newest first, so a text already present stays. The walk
// keeps the engine's long-standing reading of the files: the search for the
// language line runs on across later entries, and the last line of a file
// never continues a text.
void TMessageContainer::ReadEntries(const std::vector<std::u16string>& lines,
                                    const std::string& language_line) {
  const size_t count = lines.size();
  size_t j = 0;
  while (j < count) {
    if (!StartsWith(lines[j], u'#')) {
      ++j;
      continue;
    }
    const std::string key = UpperCp1251(std::u16string_view(lines[j]).substr(1));
    const int id = FindId(key);
    if (id < 0) {
      invalid_ids_ += "  " + key;
      ++j;
      continue;
    }

    do {
      ++j;
    } while (j < count && UpperCp1251(lines[j]) != language_line);
    if (++j >= count) return;
    std::u16string text = lines[j++];
    while (j + 1 < count) {
      const std::u16string& line = lines[j];
      if (StartsWith(line, u'~')) break;
      if (StartsWith(line, u'#')) {
        --j;  // the next entry starts here
        break;
      }
      if (!line.empty() && !StartsWith(line, u';')) text += kWideNewLine + line;
      ++j;
    }
    if (texts_[id].empty()) texts_[id] = std::move(text);
    ++j;
  }
}

std::u16string GetMessageText(TMessageID id) {
  if (g_messages == nullptr || id < 0 || id >= kMessageIdCount) return {};
  return g_messages->Text(id);
}

std::u16string TextOrUndefined(const std::u16string& text) {
  return text.empty() ? GetMessageText(MI_UNDEFINED) : text;
}

bool IsRussianLanguage() {
  return g_messages != nullptr && AsciiUpper(g_messages->Language()) == "RUSSIAN";
}

std::string ChooseLiteral(const std::string& russian, const std::string& english) {
  return IsRussianLanguage() ? russian : english;
}
