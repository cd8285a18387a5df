#include "host/files/md5_digest.h"

#include <openssl/evp.h>

#include <new>
#include <stdexcept>

namespace {

void Check(int ok, const char* what) {
  if (ok != 1) throw std::runtime_error(what);
}

}  // namespace

TMd5::TMd5() : context_(EVP_MD_CTX_new()) {
  if (context_ == nullptr) throw std::bad_alloc();
}

TMd5::~TMd5() {
  EVP_MD_CTX_free(context_);
}

void TMd5::Start() {
  Check(EVP_DigestInit_ex(context_, EVP_md5(), nullptr), "MD5 cannot start");
}

void TMd5::Update(const void* data, size_t n) {
  Check(EVP_DigestUpdate(context_, data, n), "MD5 cannot take data");
}

TMd5Digest TMd5::Finish() {
  TMd5Digest digest{};
  unsigned int length = 0;
  Check(EVP_DigestFinal_ex(context_, digest.data(), &length), "MD5 cannot finish");
  if (length != digest.size()) throw std::runtime_error("MD5 has the wrong length");
  return digest;
}
