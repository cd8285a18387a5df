#include "host/core/engine_stack.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "host/core/globals.h"
#include "host/messages/log.h"
#include "support/temp_dir.h"

namespace {

class Recorded : public TEngineObject {
 public:
  Recorded(std::vector<std::string>& trace, std::string name, bool fail)
      : trace_(trace), name_(std::move(name)), fail_(fail) {}
  ~Recorded() override { trace_.push_back("freed " + name_); }
  const char* ClassName() const override { return name_.c_str(); }
  void Destroy() override {
    trace_.push_back("destroy " + name_);
    if (fail_) throw std::runtime_error("teardown failed");
  }

 private:
  std::vector<std::string>& trace_;
  std::string name_;
  bool fail_;
};

TEST(EngineStack, DestroysLastToFirstAndAFailureDoesNotStopTheRest) {
  TempDir dir;
  const THostGlobals saved = Host();
  Host().working_directory = dir.Path();
  ResetLogStateForTests();

  std::vector<std::string> trace;
  TEngineStack stack;
  stack.Push(new Recorded(trace, "TLibPngLoader", false));
  stack.Push(new Recorded(trace, "TZOKWindow", true));
  stack.Push(new Recorded(trace, "TModule", false));
  stack.DestroyAll();

  const std::vector<std::string> expected = {"destroy TModule",       "freed TModule",
                                             "destroy TZOKWindow",    "freed TZOKWindow",
                                             "destroy TLibPngLoader", "freed TLibPngLoader"};
  EXPECT_EQ(trace, expected);
  EXPECT_EQ(stack.Length(), 0);
  EXPECT_EQ(ErrorCount(), 1u);  // only the failing object is reported

  ResetLogStateForTests();
  Host() = saved;
}

}  // namespace
