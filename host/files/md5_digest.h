// MD5 (RFC 1321) over data that arrives in pieces.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

using TMd5Digest = std::array<uint8_t, 16>;

class TMd5 {
 public:
  TMd5();
  ~TMd5();
  TMd5(const TMd5&) = delete;
  TMd5& operator=(const TMd5&) = delete;

  // Starts a new digest; the object can be reused after Finish.
  void Start();
  void Update(const void* data, size_t n);
  TMd5Digest Finish();

 private:
  struct evp_md_ctx_st* context_;
};
