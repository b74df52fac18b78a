// The application object: title, main window, message loop, the minimize
// event, restore, and the standard error report for errors that escape an
// event handler.
#ifndef KELVANE_PLATFORM_UI_APPLICATION_H_
#define KELVANE_PLATFORM_UI_APPLICATION_H_

#include <exception>
#include <utility>

#include "platform/ui/Component.h"
#include "platform/ui/Icon.h"

namespace ui {

class TApplication {
 public:
  explicit TApplication(Backend& backend);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  Backend& GetBackend() const { return backend_; }

  void Initialize() {}
  Text Title;
  bool MainFormOnTaskBar = false;
  TIcon Icon;  // the application icon
  TNotifyEvent OnMinimize;

  TForm* MainForm() const { return main_form_; }
  void SetMainForm(TForm* form) { main_form_ = form; }

  // Shows the main form and runs the message loop until it is closed.
  void Run();

  // A minimize command on the main window: minimizes it, then raises OnMinimize.
  void Minimize();
  bool Minimized() const { return minimized_; }
  // Leaves the minimized state and restores the main window; nothing when
  // the application is not minimized.
  void Restore();
  void NormalizeTopMosts() {}

  // The standard error report: the error's text in a message box titled with
  // the application title.
  void HandleException(const std::exception& e);

  // Runs an event handler started by the platform (user input, a timer tick);
  // an error escaping it goes to the standard error report.
  template <typename F>
  void Dispatch(F&& handler) {
    try {
      std::forward<F>(handler)();
    } catch (const std::exception& e) {
      HandleException(e);
    } catch (...) {
      HandleUnknownException();
    }
  }

 private:
  void HandleUnknownException();

  Backend& backend_;
  TForm* main_form_ = nullptr;
  bool minimized_ = false;
};

// The one application object, as the components reach it. Set by the
// TApplication constructor.
extern TApplication* Application;

}  // namespace ui

#endif  // KELVANE_PLATFORM_UI_APPLICATION_H_
