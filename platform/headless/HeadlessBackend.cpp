#include "platform/headless/HeadlessBackend.h"

#include "platform/ui/TrayIcon.h"

namespace ui {

int HeadlessBackend::StartTimer(unsigned ms, std::function<void()> tick) {
  const int id = next_id_++;
  timers_[id] = Timer{ms, now_ms_ + ms, std::move(tick)};
  return id;
}

void HeadlessBackend::StopTimer(int id) { timers_.erase(id); }

std::uint64_t HeadlessBackend::NextTick(int id) const {
  auto it = timers_.find(id);
  return it == timers_.end() ? 0 : it->second.due;
}

void HeadlessBackend::Advance(std::uint64_t ms) {
  const std::uint64_t end = now_ms_ + ms;
  for (;;) {
    // The earliest due timer at or before `end`; a tick may stop or restart
    // timers, so look again after every one.
    int id = 0;
    std::uint64_t due = end + 1;
    for (const auto& [tid, t] : timers_) {
      if (t.due < due) {
        due = t.due;
        id = tid;
      }
    }
    if (id == 0) break;
    now_ms_ = due;
    Timer& t = timers_[id];
    t.due = due + t.interval;
    std::function<void()> tick = t.tick;
    tick();
  }
  now_ms_ = end;
}

bool HeadlessBackend::NotifyIcon(NotifyMessage message, const TTrayIcon& icon) {
  const bool taken = notification_area && (message != NotifyMessage::Modify || entry_shown_);
  notify_calls.push_back(NotifyCall{message, icon.ShownIcon().Shared(), icon.Hint, taken});
  if (!taken) return false;
  switch (message) {
    case NotifyMessage::Add:
    case NotifyMessage::Modify:
      entry_shown_ = true;
      entry_icon_ = icon.ShownIcon().Shared();
      break;
    case NotifyMessage::Delete:
      entry_shown_ = false;
      entry_icon_.reset();
      break;
  }
  return true;
}

void HeadlessBackend::ShellExecute(TForm* owner, const Text& verb, const Text& target) {
  shell_calls.push_back(ShellCall{owner, verb, target});
}

void HeadlessBackend::ShowErrorReport(const Text& title, const Text& message) {
  error_reports.push_back(ErrorReport{title, message});
}

}  // namespace ui
