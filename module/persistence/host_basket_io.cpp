#include "module/persistence/host_basket_io.h"

#include "module/runtime/host_functions.h"

namespace {

// The host's functions are bound when the module starts; a stream used
// before that fails instead of calling through null.
template <class F>
F Bound(F function) {
  if (function == nullptr) throw EBasketData("The host's zok-file functions are not bound.");
  return function;
}

std::string AsciiText(std::u16string_view text) {
  return std::string(text.begin(), text.end());
}

}  // namespace

template <class Call>
auto THostBasketIo::Checked(Call call) {
  try {
    return call();
  } catch (...) {
    open_ = false;
    throw;
  }
}

void THostBasketIo::BeginWrite(const std::string& name, int32_t kind) {
  Checked([&] { Bound(host::ZokFileBeginWrite)(name.c_str(), kind); });
  open_ = true;
}

void* THostBasketIo::WriteBuffer(int32_t& bytes) {
  return Checked([&] { return Bound(host::ZokFileWriteBuffer)(&bytes); });
}

void THostBasketIo::Write(int32_t bytes) {
  Checked([&] { Bound(host::ZokFileWrite)(bytes); });
}

void THostBasketIo::BeginRead(const std::string& name) {
  uint8_t kind = 0;  // the kind is the callers' business, not the stream's
  Checked([&] { Bound(host::ZokFileBeginRead)(name.c_str(), &kind); });
  open_ = true;
}

const void* THostBasketIo::Read(int32_t& bytes) {
  return Checked([&] { return Bound(host::ZokFileRead)(&bytes); });
}

void THostBasketIo::End() {
  if (!open_) return;
  open_ = false;
  Bound(host::ZokFileEnd)(0, nullptr);
}

void THostBasketIo::Fail(std::u16string_view russian, std::u16string_view english) {
  if (host::FatalErrorText != nullptr) {
    const bool in_russian = host::IsRussianLanguage != nullptr && host::IsRussianLanguage() != 0;
    host::FatalErrorText(std::u16string(in_russian ? russian : english).c_str());
  }
  // The host's report does not return; without a host, the English text.
  throw EBasketData(AsciiText(english));
}

TWordStream& ModuleBasket() {
  static THostBasketIo io;
  static TWordStream stream(io);
  return stream;
}
