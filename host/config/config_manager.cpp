#include "host/config/config_manager.h"

#include <memory>
#include <stdexcept>
#include <string_view>

#include "host/core/globals.h"
#include "host/core/paths.h"
#include "host/core/text_utils.h"
#include "host/messages/log.h"
#include "host/platform/file_system.h"
#include "shared/text_codes.h"

namespace {

constexpr std::string_view kMainSection = "MAIN";

// This build keeps the platform-specific keys under their Linux names.
std::string PlatformKey(const std::string& key) {
  constexpr std::string_view kWindowsSuffix = "_WIN32";
  if (key.size() < kWindowsSuffix.size()) return key;
  const size_t stem = key.size() - kWindowsSuffix.size();
  if (AsciiUpper(std::string_view(key).substr(stem)) != kWindowsSuffix) return key;
  return key.substr(0, stem) + "_linux";
}

// Relative values are taken from the working directory.
std::string FromWorkingDirectory(const std::string& path) {
  if (IsAbsolutePath(path)) return path;
  return JoinPath(Host().working_directory, path);
}

// The fixed English texts for failures before the message container exists.
std::string CannotFindText(const std::string& path) {
  return "Configuration manager crashed.\n\rCannot find the main configuration file,\n\r\"" + path +
         "\"\n\r\n\r";
}

std::string UnreadableText(const std::string& path, const std::string& failure) {
  return "Configuration manager crashed.\n\rMost probably, unable to read the main "
         "configuration file,\n\r\"" +
         path + "\"\n\r\n\rThe error message is \"" + failure + "\".";
}

// Decimal only, with an optional sign and surrounding blanks; the value
// must fit 32 bits. Empty text is 0.
bool ParseConfigInt(std::string_view text, int32_t& value) {
  const size_t begin = text.find_first_not_of(" \t");
  if (begin == text.npos) {
    value = 0;
    return true;
  }
  text = text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
  const bool negative = text.front() == '-';
  if (text.front() == '-' || text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const int64_t limit = negative ? -int64_t{INT32_MIN} : INT32_MAX;
  int64_t magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) return false;
  }
  value = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return true;
}

}  // namespace

TConfigManager::TConfigManager(const std::string& own_ini_path) : file_name_(own_ini_path) {
  inis_.Owns = true;
  overrides_.Add("");
  AttachFile(own_ini_path);
}

TConfigManager::~TConfigManager() {
  // A file that cannot be saved must not keep the others from being saved.
  for (int32_t i = 1; i < inis_.Length; ++i) {
    try {
      inis_[i]->UpdateFile();
    } catch (const std::exception& e) {
      RecordFailure([&] {
        FatalErrorText("Configuration manager cannot save \"" + inis_[i]->FileName() +
                       "\": " + e.what());
      });
    }
  }
}

bool TConfigManager::AttachFile(const std::string& path) {
  const std::string upper_path = AsciiUpper(path);
  for (int32_t i = 1; i < inis_.Length; ++i) {
    if (AsciiUpper(inis_[i]->FileName()) == upper_path) return false;
  }
  const bool container_ready = Host().container_ready;
  if (!container_ready && !platform::FileExists(path))
    throw std::runtime_error(CannotFindText(path));

  std::unique_ptr<TIniFile> ini;
  try {
    ini = std::make_unique<TIniFile>(path);
  } catch (const std::exception& e) {
    if (!container_ready) throw std::runtime_error(UnreadableText(path, e.what()));
    FatalError(MI_ERROR_ACCESSING, {path});
  }
  inis_.Add(ini.get());
  ini.release();
  overrides_.Resize(inis_.Length);
  VerboseLog(" %0 attached at pos %1.", {path, inis_.HighIndex()});
  return true;
}

void TConfigManager::AttachConfigFiles() {
  std::string default_file = "config.ini";
  std::string default_overrides = "video audio controls";
  for (int i = 0;; ++i) {
    const std::string number = std::to_string(i);
    const std::string name = inis_[0]->ReadString("config", "file" + number, default_file);
    if (name.empty()) return;
    const std::string overrides = inis_[0]->ReadString(
        "config", "file" + number + "_override_sections_allowed", default_overrides);
    if (AttachFile(NormalizePath(FromWorkingDirectory(name))))
      overrides_.SetLast(AsciiUpper(overrides));
    default_file.clear();
    default_overrides.clear();
  }
}

std::string TConfigManager::ReadString(const std::string& section, const std::string& key) {
  const std::string upper_section = AsciiUpper(section);
  const std::string upper_key = AsciiUpper(PlatformKey(key));
  source_ = 0;
  const std::string base = inis_[0]->ReadString(upper_section, upper_key, "");
  if (upper_section == kMainSection) return base;

  std::string result = base;
  for (int32_t i = 1; i < inis_.Length; ++i) {
    std::string value = inis_[i]->ReadString(upper_section, upper_key, "");
    if (value.empty()) continue;
    if (base.empty() || MayOverride(i, upper_section)) {
      result = std::move(value);
      source_ = i;
    } else {
      LogRefusedOverride(i, upper_section, upper_key, value);
    }
  }
  return result;
}

std::string TConfigManager::ReadPath(const std::string& section, const std::string& key) {
  const std::string path = FromWorkingDirectory(ReadString(section, key));
  const std::string name = FileNamePart(path);
  return NormalizeDirectory(ReplaceAll(path, "{$PLATFORM}", "linux")) + name;
}

int32_t TConfigManager::ReadInt(const std::string& section, const std::string& key) {
  const std::string text = ReadString(section, key);
  int32_t value = 0;
  if (ParseConfigInt(text, value)) return value;

  const std::string& path = inis_[source_]->FileName();
  if (!Host().container_ready) {
    throw std::runtime_error(UnreadableText(path, "'" + text + "' is not a valid integer value"));
  }
  FatalError(MI_ERROR_INVALID_CONFIG_PARAMETER_NO_LIM, {path, section, PlatformKey(key), text});
}

int32_t TConfigManager::ReadIntLimited(const std::string& section, const std::string& key,
                                       int32_t min, int32_t max) {
  const int32_t value = ReadInt(section, key);
  if (value >= min && value <= max) return value;
  FatalError(MI_ERROR_INVALID_CONFIG_PARAMETER,
             {inis_[source_]->FileName(), section, PlatformKey(key), value, min, max});
}

bool TConfigManager::ReadBool(const std::string& section, const std::string& key) {
  return ReadInt(section, key) == 1;
}

void TConfigManager::WriteString(const std::string& section, const std::string& key,
                                 const std::string& value) {
  const std::string file_key = PlatformKey(key);
  if (inis_.Length < 2) {
    // The own INI lists no configuration file, so there is nowhere to keep it.
    VerboseLog("No configuration file is attached: \"" + file_key + "\" of \"" + section +
               "\" is not saved.");
    return;
  }
  const int32_t target = WriteTarget(section, file_key);
  if (target == 0) FatalError(MI_ERROR_MAININI_READ_ONLY, {section, file_key, value});
  inis_[target]->WriteString(section, file_key, value);
}

void TConfigManager::WriteInt(const std::string& section, const std::string& key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TConfigManager::WriteBool(const std::string& section, const std::string& key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

int32_t TConfigManager::WriteTarget(const std::string& section, const std::string& key) {
  const std::string upper_section = AsciiUpper(section);
  const std::string file_key = PlatformKey(key);
  const std::string base = inis_[0]->ReadString(upper_section, file_key, "");
  int32_t target = base.empty() ? 1 : 0;
  for (int32_t i = 1; i < inis_.Length; ++i) {
    const std::string value = inis_[i]->ReadString(upper_section, file_key, "");
    const bool candidate =
        i == 1 || !value.empty() ||
        AsciiUpper(inis_[i]->ReadString("CONFIG", "WRITE_SECTIONS", "")).find(upper_section) !=
            std::string::npos;
    if (!candidate) continue;
    if (base.empty() || MayOverride(i, upper_section)) {
      target = i;
    } else {
      LogRefusedOverride(i, upper_section, file_key, value);
    }
  }
  return target;
}

bool TConfigManager::MayOverride(int32_t index, const std::string& upper_section) const {
  return upper_section != kMainSection &&
         overrides_[index].find(upper_section) != std::string::npos;
}

void TConfigManager::LogRefusedOverride(int32_t index, const std::string& section,
                                        const std::string& key, const std::string& value) const {
  VerboseLog("The config file \"" + inis_[index]->FileName() + "\" has no rights to override \"" +
             key + "\" parameter of \"" + section + "\" section with value \"" + value + "\".");
}
