#include "platform/ui/Timer.h"

#include "platform/ui/Application.h"

namespace ui {

TTimer::TTimer(TComponent* owner, std::string name, Backend& backend)
    : TComponent(owner, ComponentKind::Timer, std::move(name)), backend_(backend) {}

TTimer::~TTimer() {
  if (timer_id_ != 0) backend_.StopTimer(timer_id_);
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  Restart();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Restart();
}

void TTimer::Restart() {
  if (timer_id_ != 0) {
    backend_.StopTimer(timer_id_);
    timer_id_ = 0;
  }
  if (enabled_ && interval_ > 0) timer_id_ = backend_.StartTimer(interval_, [this] { Tick(); });
}

void TTimer::Tick() {
  if (!enabled_ || !OnTimer) return;
  if (Application != nullptr)
    Application->Dispatch([this] { OnTimer(this); });
  else
    OnTimer(this);
}

}  // namespace ui
