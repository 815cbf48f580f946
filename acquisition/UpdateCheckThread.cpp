#include "acquisition/UpdateCheckThread.h"

#include <thread>

#include "acquisition/UpdateCheck.h"
#include "platform/win32/Win32.h"
#include "shell/SharedState.h"
#include "shell/toolkit/xcgui.h"

namespace {

struct Message {
  const AnsiText* text;
  const AnsiText* title;
};

intptr_t ShowOverMainWindow(intptr_t data) {
  const auto* message = reinterpret_cast<const Message*>(data);
  HWND owner = MainWindow != 0 ? XWnd_GetHWND(MainWindow) : nullptr;
  MessageBoxA(owner, message->text->c_str(), message->title->c_str(), MB_OK | MB_ICONWARNING | MB_TASKMODAL);
  return 0;
}

// Message boxes belong to the UI thread; starting the updater and ending the process do not.
class UiThreadEffects : public UpdateEffects {
 public:
  void showMessage(const AnsiText& text, const AnsiText& title) override {
    Message message{&text, &title};
    XC_CallUiThread(ShowOverMainWindow, reinterpret_cast<intptr_t>(&message));
  }
  void startUpdater(const AnsiText& location) override { SystemUpdateEffects().startUpdater(location); }
  void endProcess() override { SystemUpdateEffects().endProcess(); }
};

}  // namespace

void StartUpdateCheck() {
  std::thread([] {
    UiThreadEffects effects;
    CheckForUpdates(SystemManifestUrl(), effects);
  }).detach();
}
