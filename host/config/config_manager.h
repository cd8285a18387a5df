// The host's settings, merged from the program's own INI (read only: the
// defaults, the list of configuration files and their override rights) and
// the configuration files in the working directory (read and written).
#pragma once

#include <cstdint>
#include <string>

#include "host/config/ini_file.h"
#include "shared/dyna/dyna_types.h"
#include "shared/zok_object.h"

using TAoIni = TObjectArray<TIniFile, "TAoIni">;

class TConfigManager : public TObject {
 public:
  // Attaches the own INI as file 0. Before the message container exists a
  // missing or unreadable own INI throws std::runtime_error.
  explicit TConfigManager(const std::string& own_ini_path);
  // Writes back the configuration files that changed; never the own INI.
  ~TConfigManager() override;
  TConfigManager(const TConfigManager&) = delete;
  TConfigManager& operator=(const TConfigManager&) = delete;

  const char* ClassName() const override { return "TConfigManager"; }

  // False when a configuration file with that path is attached already.
  bool AttachFile(const std::string& path);
  // Attaches the files that section config of the own INI lists (file0,
  // file1, ...; by default config.ini), relative to the working directory.
  void AttachConfigFiles();

  // Keys ending in "_win32" are this platform's "_linux" keys, in every read
  // and write below.

  // Section main comes from the own INI only. Elsewhere a later file
  // supplies keys the own INI lacks and changes the others only in the
  // sections it may override. Empty when absent.
  std::string ReadString(const std::string& section, const std::string& key);
  // Absolute and normalised; relative and empty values are taken from the
  // working directory, and "{$PLATFORM}" in the directory part becomes
  // "linux".
  std::string ReadPath(const std::string& section, const std::string& key);
  // Decimal only; 0 when absent or empty. Anything else is fatal.
  int32_t ReadInt(const std::string& section, const std::string& key);
  int32_t ReadIntLimited(const std::string& section, const std::string& key, int32_t min,
                         int32_t max);
  // True exactly when the value is 1.
  bool ReadBool(const std::string& section, const std::string& key);

  // The value goes to the file WriteTarget names and reaches the disk when
  // the manager is destroyed. A key that belongs to the own INI is fatal.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInt(const std::string& section, const std::string& key, int32_t value);
  void WriteBool(const std::string& section, const std::string& key, bool value);

  // The index of the file a write of the key goes to; 0 means the own INI,
  // which is never written.
  int32_t WriteTarget(const std::string& section, const std::string& key);

  // The file that supplied the value of the latest read.
  int32_t Source() const { return source_; }
  const std::string& FileName() const { return file_name_; }
  int32_t FileCount() const { return inis_.Length; }
  const std::string& FilePath(int32_t index) const { return inis_[index]->FileName(); }

 private:
  bool MayOverride(int32_t index, const std::string& upper_section) const;
  void LogRefusedOverride(int32_t index, const std::string& section, const std::string& key,
                          const std::string& value) const;

  TAoIni inis_;
  TAOS overrides_;  // upper case, parallel to inis_; entry 0 is empty
  std::string file_name_;
  int32_t source_ = 0;
};
