// The window components drawn with Qt 6 Widgets. Every component gets a real
// widget made from its state; the user's input goes back through the
// components' User* entry points, so every rule of the components holds here
// exactly as on the headless backend. A QApplication must exist before the
// backend is made and outlive it.
#ifndef KELVANE_PLATFORM_QT_QTBACKEND_H_
#define KELVANE_PLATFORM_QT_QTBACKEND_H_

#include <map>
#include <memory>

#include "platform/ui/Component.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Icon.h"

class QColor;
class QFont;
class QIcon;
class QObject;
class QPalette;
class QSystemTrayIcon;
class QTimer;
class QWidget;

namespace ui {

class QtBackend : public Backend {
 public:
  QtBackend();
  ~QtBackend() override;

  std::unique_ptr<Peer> CreatePeer(TComponent& component) override;
  int StartTimer(unsigned ms, std::function<void()> tick) override;
  void StopTimer(int id) override;
  bool NotifyIcon(NotifyMessage message, const TTrayIcon& icon) override;
  void ShellExecute(TForm* owner, const Text& verb, const Text& target) override;
  void ShowErrorReport(const Text& title, const Text& message) override;
  void RunMessageLoop(TForm& main) override;

  // The widget drawing `component`; null when it has none (yet).
  QWidget* Widget(const TComponent& component) const;
  // The notification-area entry of `icon`; null before its first Add.
  QSystemTrayIcon* Tray(const TTrayIcon& icon) const;
  // Display pixels per layout pixel (layout positions are at 96 dpi).
  double Scale() const { return scale_; }
  int Scaled(int layout_pixels) const;

  static QIcon ToQIcon(const TIconImage* image);
  // The font of a component: its face where installed, otherwise the
  // nearest sans face; the height in pixels, scaled.
  QFont ToQFont(const TFont& font) const;
  static QColor ToQColor(TColor color, const QPalette& palette);

  // Lays the keyboard focus chain of `form` out in its controls' tab order.
  void ApplyTabOrder(const TForm& form) const;

  // For the peers: `form` was closed (ends the message loop run for it); the
  // tray component `icon` is going away (its entry goes with it).
  void FormClosed(const TForm& form);
  void DropTray(const TTrayIcon& icon);

 private:
  double scale_ = 1.0;
  std::unique_ptr<QObject> timer_owner_;
  std::map<int, QTimer*> timers_;
  int next_timer_ = 1;
  std::map<const TTrayIcon*, std::unique_ptr<QSystemTrayIcon>> trays_;
  const TForm* loop_form_ = nullptr;
};

}  // namespace ui

#endif  // KELVANE_PLATFORM_QT_QTBACKEND_H_
