#include "host/images/texture_registry.h"

#include <string>
#include <utility>

#include "host/messages/log.h"

TTextureRegistry::TTextureRegistry(TTextureNameSource names, std::function<int64_t()> read_counter)
    : names_(std::move(names)), read_counter_(std::move(read_counter)) {}

uint64_t TTextureRegistry::NextStamp() {
  const int64_t reading = read_counter_();
  const uint64_t counter = reading > 0 ? static_cast<uint64_t>(reading) : 0;
  last_stamp_ = counter > last_stamp_ ? counter : last_stamp_ + 1;
  return last_stamp_;
}

TTextureRegistry::TEntry* TTextureRegistry::Current(uint32_t name, uint64_t stamp) {
  const auto found = entries_.find(name);
  if (found == entries_.end() || found->second.stamp != stamp) return nullptr;
  return &found->second;
}

uint64_t TTextureRegistry::NewTexture(uint32_t* name) {
  const uint32_t issued = names_.generate();
  if (name != nullptr) *name = issued;
  if (issued == 0) return 0;
  // A name OpenGL hands out again starts unmarked: a mark set under an
  // older stamp must not sweep the new texture away.
  TEntry& entry = entries_[issued];
  entry.stamp = NextStamp();
  entry.marked = false;
  return entry.stamp;
}

uint64_t TTextureRegistry::RestampTexture(uint32_t name) {
  const auto found = entries_.find(name);
  if (found == entries_.end()) {
    FatalError(MI_ERROR_PROGRAMMER_NO_BAKA,
               {"RestampTexture of texture name " + std::to_string(name) +
                ", which the host does not hold"});
  }
  // The mark went with the old stamp.
  found->second.stamp = NextStamp();
  found->second.marked = false;
  return found->second.stamp;
}

void TTextureRegistry::MarkTexture(uint32_t name, uint64_t stamp) {
  if (TEntry* entry = Current(name, stamp)) entry->marked = true;
}

bool TTextureRegistry::ClaimTexture(uint32_t name, uint64_t stamp) {
  TEntry* entry = Current(name, stamp);
  if (entry == nullptr) return false;
  entry->marked = false;
  return true;
}

void TTextureRegistry::DeleteTexture(uint32_t name, uint64_t stamp) {
  if (Current(name, stamp) == nullptr) return;
  entries_.erase(name);
  names_.release(name);
}

void TTextureRegistry::ClearTextureMarks() {
  for (auto& [name, entry] : entries_) entry.marked = false;
}

template <typename Predicate>
void TTextureRegistry::DeleteWhere(Predicate should_delete) {
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (!should_delete(it->second)) {
      ++it;
      continue;
    }
    const uint32_t name = it->first;
    it = entries_.erase(it);
    names_.release(name);
  }
}

void TTextureRegistry::DeleteMarkedTextures() {
  DeleteWhere([](const TEntry& entry) { return entry.marked; });
}

void TTextureRegistry::DeleteAllTextures() {
  DeleteWhere([](const TEntry&) { return true; });
}

uint64_t TTextureRegistry::StampOf(uint32_t name) const {
  const auto found = entries_.find(name);
  return found == entries_.end() ? 0 : found->second.stamp;
}

bool TTextureRegistry::IsMarked(uint32_t name) const {
  const auto found = entries_.find(name);
  return found != entries_.end() && found->second.marked;
}
