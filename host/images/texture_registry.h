// The host's register of the OpenGL texture names it hands to modules.
// Each name carries a stamp, a 64-bit value never given out twice, so a
// module reloaded after a rebuild can tell whether a name it saved still
// holds its texture, claim it back, and leave the rest to one sweep.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

struct TTextureNameSource {
  // A new texture name, or 0 when OpenGL gave none.
  std::function<uint32_t()> generate;
  std::function<void(uint32_t name)> release;
};

class TTextureRegistry {
 public:
  // read_counter must rise; stamps rise strictly whatever it answers.
  TTextureRegistry(TTextureNameSource names, std::function<int64_t()> read_counter);
  TTextureRegistry(const TTextureRegistry&) = delete;
  TTextureRegistry& operator=(const TTextureRegistry&) = delete;

  // Stores a new name through name and answers its stamp; when OpenGL
  // gives no name, stores 0 and answers 0.
  uint64_t NewTexture(uint32_t* name);
  // A new stamp for a name that holds a texture of the registry; any other
  // name is a programming error of the caller (a fatal error), since a
  // stamp for it would let the registry delete a texture it never made.
  uint64_t RestampTexture(uint32_t name);

  // These act only on a name whose current stamp is the given one; a stale
  // stamp, name 0 or a name the registry does not hold leaves everything
  // alone.
  void MarkTexture(uint32_t name, uint64_t stamp);
  // Clears the mark; true when the stamp is current.
  bool ClaimTexture(uint32_t name, uint64_t stamp);
  void DeleteTexture(uint32_t name, uint64_t stamp);

  void ClearTextureMarks();
  // Deletes every marked texture and forgets its name.
  void DeleteMarkedTextures();
  // Deletes every texture of the registry: the window does this before its
  // OpenGL context goes.
  void DeleteAllTextures();

  // The name's current stamp, 0 when the registry does not hold it.
  uint64_t StampOf(uint32_t name) const;
  bool IsMarked(uint32_t name) const;

 private:
  struct TEntry {
    uint64_t stamp = 0;
    bool marked = false;
  };

  uint64_t NextStamp();
  TEntry* Current(uint32_t name, uint64_t stamp);
  template <typename Predicate>
  void DeleteWhere(Predicate should_delete);

  TTextureNameSource names_;
  std::function<int64_t()> read_counter_;
  uint64_t last_stamp_ = 0;
  // OpenGL names need not be small, so no array indexed by them.
  std::map<uint32_t, TEntry> entries_;
};
