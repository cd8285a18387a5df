// The host's two failure classes, and what it does with failures at the top.
#pragma once

#include <exception>
#include <stdexcept>
#include <string>

// Asks for a quiet close of the application.
class EFake : public std::runtime_error {
 public:
  EFake() : std::runtime_error("EFake") {}
};

// A fatal error whose text is already in the error list. Its message is the
// error text in 8-bit form.
class EDying : public std::runtime_error {
 public:
  explicit EDying(const std::string& text) : std::runtime_error(text) {}
};

// A call of an operation that a class left abstract.
class EAbstractError : public std::logic_error {
 public:
  EAbstractError() : std::logic_error("Abstract Error") {}
};

// The one-line description of an exception for error texts; empty for a
// null pointer.
std::u16string DescribeException(const std::exception_ptr& e);

// The first-stage failure box; ends the process with exit code 1.
[[noreturn]] void CrashedAtStartup(const std::string& message);

// Logs and shows every collected error text, newest first.
void FinalErrorReport();
