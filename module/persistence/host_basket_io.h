// The basket stream over the host's zok-file functions: the one the module
// saves and loads its session with.
#pragma once

#include "module/persistence/word_stream.h"

class THostBasketIo : public TBasketIo {
 public:
  void BeginWrite(const std::string& name, int32_t kind) override;
  void* WriteBuffer(int32_t& bytes) override;
  void Write(int32_t bytes) override;
  void BeginRead(const std::string& name) override;
  const void* Read(int32_t& bytes) override;
  void End() override;
  [[noreturn]] void Fail(std::u16string_view russian, std::u16string_view english) override;

 private:
  // Runs a host call; a host call that fails has closed the file already.
  template <class Call>
  auto Checked(Call call);

  // Whether the host holds the file open for this stream: a save or load
  // abandoned after the host's own failure must not close it again.
  bool open_ = false;
};

// The module's basket; one is open at a time.
TWordStream& ModuleBasket();
