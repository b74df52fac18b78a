// One entry in the notification area. Its picture is taken by index from an
// image list, or is its own icon when it is first shown; its tooltip is the
// application title.
#ifndef KELVANE_PLATFORM_UI_TRAYICON_H_
#define KELVANE_PLATFORM_UI_TRAYICON_H_

#include "platform/ui/Component.h"
#include "platform/ui/Icon.h"
#include "platform/ui/ImageList.h"

namespace ui {

class TTrayIcon : public TComponent {
 public:
  TTrayIcon(TComponent* owner, std::string name, Backend& backend);
  ~TTrayIcon() override;

  TImageList* Icons = nullptr;
  unsigned AnimateInterval = 100;
  bool Animate = false;
  Text Hint;  // the tooltip; the application title when the icon is built

  int IconIndex() const { return icon_index_; }
  // Equal to the current index: nothing. Otherwise stores it, takes a copy of
  // that entry of Icons as the shown icon (empty when there is none) and, when
  // visible, updates the entry in the notification area.
  void SetIconIndex(int index);

  // The own icon. Giving it a handle changes neither the shown icon nor the entry.
  TIcon& Icon() { return icon_; }
  const TIcon& Icon() const { return icon_; }

  bool Visible() const { return visible_; }
  // True: the flag is set first; the shown icon becomes the own icon, or the
  // application icon when that is empty, and the entry is added. When the
  // notification area does not take it, raises EComponentError "Cannot create
  // shell notification icon" with the flag left true. False: the entry is removed.
  void SetVisible(bool visible);

  const TIcon& ShownIcon() const { return shown_; }
  // Shows `icon` now, whatever the index says (for a picture the icon list
  // has no entry for); the index stays. When visible, updates the entry.
  void ShowIcon(const TIcon& icon);
  // Whether the notification area holds the entry now.
  bool EntryAdded() const { return added_; }

  TNotifyEvent OnClick;

  // Platform input: a left click on the entry; a notification area that
  // (re)appeared, which gets the entry again while the flag is true.
  void UserClick();
  void TaskbarCreated();

 private:
  Backend& backend_;
  int icon_index_ = 0;
  TIcon icon_;
  TIcon shown_;
  bool visible_ = false;
  bool added_ = false;
};

}  // namespace ui

#endif  // KELVANE_PLATFORM_UI_TRAYICON_H_
