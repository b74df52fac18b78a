// A timer that ticks every Interval milliseconds while enabled. Disabling it
// discards the part of the period that has run; enabling it starts a full one.
#ifndef KELVANE_PLATFORM_UI_TIMER_H_
#define KELVANE_PLATFORM_UI_TIMER_H_

#include "platform/ui/Component.h"

namespace ui {

class TTimer : public TComponent {
 public:
  TTimer(TComponent* owner, std::string name, Backend& backend);
  ~TTimer() override;

  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  TNotifyEvent OnTimer;

  // A tick from the backend's clock.
  void Tick();

 private:
  void Restart();

  Backend& backend_;
  unsigned interval_ = 1000;
  bool enabled_ = false;
  int timer_id_ = 0;
};

}  // namespace ui

#endif  // KELVANE_PLATFORM_UI_TIMER_H_
