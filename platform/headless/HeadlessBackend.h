// A backend without a screen: components keep their state and nothing is
// drawn. Time is a virtual clock that only moves when told, the notification
// area and the shell are recorded, and error reports are kept for reading.
// Tests drive user input through the components' User* entry points.
#ifndef KELVANE_PLATFORM_HEADLESS_HEADLESSBACKEND_H_
#define KELVANE_PLATFORM_HEADLESS_HEADLESSBACKEND_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/ui/Component.h"
#include "platform/ui/Icon.h"

namespace ui {

class HeadlessBackend : public Backend {
 public:
  std::unique_ptr<Peer> CreatePeer(TComponent&) override { return nullptr; }

  // ---- Clock ----
  int StartTimer(unsigned ms, std::function<void()> tick) override;
  void StopTimer(int id) override;
  std::uint64_t Now() const { return now_ms_; }
  // Moves the clock on, firing every tick that falls due, in time order.
  void Advance(std::uint64_t ms);
  // When the timer `id` fires next; 0 when it is not running.
  std::uint64_t NextTick(int id) const;
  int RunningTimers() const { return static_cast<int>(timers_.size()); }

  // ---- Notification area ----
  struct NotifyCall {
    NotifyMessage message;
    std::shared_ptr<const TIconImage> icon;
    Text tip;
    bool taken;
  };
  bool NotifyIcon(NotifyMessage message, const TTrayIcon& icon) override;
  // Whether a notification area exists; false makes every call fail.
  bool notification_area = true;
  std::vector<NotifyCall> notify_calls;
  // The entry as the notification area shows it now (null icon when none).
  bool EntryShown() const { return entry_shown_; }
  std::shared_ptr<const TIconImage> EntryIcon() const { return entry_icon_; }

  // ---- Shell and error report ----
  struct ShellCall {
    TForm* owner;
    Text verb;
    Text target;
  };
  void ShellExecute(TForm* owner, const Text& verb, const Text& target) override;
  std::vector<ShellCall> shell_calls;

  struct ErrorReport {
    Text title;
    Text message;
  };
  void ShowErrorReport(const Text& title, const Text& message) override;
  std::vector<ErrorReport> error_reports;

  // Returns at once: a headless program has no user to wait for.
  void RunMessageLoop(TForm&) override {}

 private:
  struct Timer {
    unsigned interval;
    std::uint64_t due;
    std::function<void()> tick;
  };
  std::map<int, Timer> timers_;
  int next_id_ = 1;
  std::uint64_t now_ms_ = 0;
  bool entry_shown_ = false;
  std::shared_ptr<const TIconImage> entry_icon_;
};

}  // namespace ui

#endif  // KELVANE_PLATFORM_HEADLESS_HEADLESSBACKEND_H_
