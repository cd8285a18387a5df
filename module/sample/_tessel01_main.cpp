// The sample module: a turning scene with a brightness control and a bloom
// post-process. Its module object keeps one settings object, which is what
// survives a rebuild of the library.
#include "module/runtime/host_functions.h"
#include "module/runtime/mo_session.h"
#include "module/sample/tessel01_settings.h"
#include "shared/zok_protocol.h"

class TTessel01Module : public TModule {
  ZOK_PERSISTENT_CLASS(TTessel01Module, TModule)
 public:
  TTessel01Module() : settings(nullptr) {}
  ~TTessel01Module() override { delete settings; }

  void RegisterFields() override {
    RegClassOnce<TTessel01>();
    TModule::RegisterFields();
    RegField("Tessel01", settings);
  }

  void FirstRun() override {
    TModule::FirstRun();
    settings = new TTessel01();
  }

  int32_t Cycle() override {
    TModule::Cycle();
    Settings().Render();
    return 1;
  }

  void Press(int32_t key) override {
    TModule::Press(key);
    constexpr int32_t kDigit1 = keys::k1, kDigit2 = keys::k1 + 1, kDigit3 = keys::k1 + 2;
    constexpr int32_t kDigit4 = keys::k1 + 3, kDigit5 = keys::k1 + 4, kDigit6 = keys::k1 + 5;
    switch (key) {
      case keys::kEscape:
        host::RequestExit();
        break;
      case kDigit1:
        host::SwitchVideoMode(640, 480, 0);
        break;
      case kDigit2:
        host::SwitchVideoMode(800, 600, 0);
        break;
      case kDigit3:
        host::SwitchVideoMode(1024, 768, 0);
        break;
      case kDigit4:
      case kDigit5:
      case kDigit6:
        Settings().SetQuality(key - kDigit4 + 1);
        break;
      case keys::kEnter:
        host::RestoreDefaultVideoMode();
        break;
      case keys::kSpace:
        Settings().light = 1.0f;
        break;
      case keys::kWheelForward:
        Settings().light += 0.01f;
        break;
      case keys::kWheelBackward:
        Settings().light -= 0.01f;
        break;
      default:
        break;
    }
  }

  // The settings, made on first use when neither a first run nor a
  // session gave any.
  TTessel01& Settings() {
    if (settings == nullptr) settings = new TTessel01();
    return *settings;
  }

  TTessel01* settings;
};

ZOK_MODULE_OBJECT_CLASS(TTessel01Module);
