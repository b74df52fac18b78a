#include "platform/ui/TrayIcon.h"

#include "platform/ui/Application.h"

namespace ui {

TTrayIcon::TTrayIcon(TComponent* owner, std::string name, Backend& backend)
    : TComponent(owner, ComponentKind::TrayIcon, std::move(name)), backend_(backend) {
  if (Application != nullptr) Hint = Application->Title;
}

TTrayIcon::~TTrayIcon() {
  if (added_) backend_.NotifyIcon(NotifyMessage::Delete, *this);
}

void TTrayIcon::SetIconIndex(int index) {
  if (index == icon_index_) return;
  icon_index_ = index;
  if (Icons != nullptr)
    Icons->GetIcon(index, shown_);
  else
    shown_.Clear();
  // Sent while visible even when the entry was never added: the notification
  // area refuses it then, as it refuses the add.
  if (visible_) backend_.NotifyIcon(NotifyMessage::Modify, *this);
}

void TTrayIcon::ShowIcon(const TIcon& icon) {
  shown_ = icon;
  if (visible_) backend_.NotifyIcon(NotifyMessage::Modify, *this);
}

void TTrayIcon::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (!visible) {
    if (added_) backend_.NotifyIcon(NotifyMessage::Delete, *this);
    added_ = false;
    return;
  }
  if (!icon_.Empty())
    shown_ = icon_;
  else if (Application != nullptr)
    shown_ = Application->Icon;
  added_ = backend_.NotifyIcon(NotifyMessage::Add, *this);
  if (!added_) throw EComponentError("Cannot create shell notification icon");
}

void TTrayIcon::UserClick() {
  if (!OnClick) return;
  if (Application != nullptr)
    Application->Dispatch([this] { OnClick(this); });
  else
    OnClick(this);
}

void TTrayIcon::TaskbarCreated() {
  if (visible_) added_ = backend_.NotifyIcon(NotifyMessage::Add, *this);
}

}  // namespace ui
