// Root of the engine's object classes: lets containers free objects they
// own and lets the host name an object in its log without RTTI names.
#pragma once

class TObject {
 public:
  virtual ~TObject() = default;
  virtual const char* ClassName() const { return "TObject"; }
};
