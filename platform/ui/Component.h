// The window components' common base, the drawing seam (Peer) and the services
// a backend provides (Backend). Components hold all of their state and
// implement every behaviour the program relies on; a backend draws them and
// reports the user's input through the components' User* entry points, the
// same entry points the tests call on the headless backend.
#ifndef KELVANE_PLATFORM_UI_COMPONENT_H_
#define KELVANE_PLATFORM_UI_COMPONENT_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace ui {

using Text = std::u16string;

class TComponent;
class TForm;
class TTrayIcon;
using TObject = TComponent;
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Raised by a component whose platform call failed.
class EComponentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What changed in a component, for its peer to redraw. `index` names a row or
// an item where that is meaningful, -1 otherwise.
enum class Aspect : std::uint8_t {
  Bounds,
  Caption,
  Font,
  Visible,
  Enabled,
  Checked,
  Items,
  ItemIndex,
  Rows,
  Selection,
  Hint,
  WindowState,
  Activate,   // SetActiveWindow
  Focus,      // input focus requested
  TopMost,    // placed into the top-most band
  NoTopMost,  // taken out of it again
};

enum class ComponentKind : std::uint8_t {
  Form,
  GroupBox,
  Label,
  Edit,
  ComboBox,
  CheckBox,
  Button,
  ListView,
  StaticText,
  Timer,
  ImageList,
  TrayIcon,
};

// The drawing side of one component, made by the backend.
class Peer {
 public:
  virtual ~Peer() = default;
  virtual void Update(Aspect what, int index) = 0;
};

enum class NotifyMessage : std::uint8_t { Add, Modify, Delete };

// What the platform provides to components. One backend per process.
class Backend {
 public:
  virtual ~Backend() = default;

  // The drawing side of a component; a headless backend returns null.
  virtual std::unique_ptr<Peer> CreatePeer(TComponent& component) = 0;

  // A periodic tick every `ms` milliseconds from now until stopped.
  virtual int StartTimer(unsigned ms, std::function<void()> tick) = 0;
  virtual void StopTimer(int id) = 0;

  // One call into the notification area, for the entry of `icon` (its shown
  // icon and tooltip). False when the notification area did not take it.
  virtual bool NotifyIcon(NotifyMessage message, const TTrayIcon& icon) = 0;

  // Asks the shell to open `target` with `verb` ("open"). The result is the
  // shell's business: nothing is reported back.
  virtual void ShellExecute(TForm* owner, const Text& verb, const Text& target) = 0;

  // The platform's standard error report: a message box with the error text.
  virtual void ShowErrorReport(const Text& title, const Text& message) = 0;

  // Runs the message loop until `main` is closed.
  virtual void RunMessageLoop(TForm& main) = 0;
};

// The component base: a name, an owner that lists it, and a peer once the
// backend has made one.
class TComponent {
 public:
  TComponent(TComponent* owner, ComponentKind kind, std::string name);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return name_; }
  ComponentKind Kind() const { return kind_; }
  TComponent* Owner() const { return owner_; }
  const std::vector<TComponent*>& Components() const { return components_; }

  Peer* GetPeer() const { return peer_.get(); }
  // Asks the backend for peers of this component and every component it owns,
  // in creation order (a parent is always created before what it contains).
  void CreatePeers(Backend& backend);

 protected:
  void Changed(Aspect what, int index = -1) const {
    if (peer_) peer_->Update(what, index);
  }

 private:
  TComponent* owner_;
  ComponentKind kind_;
  std::string name_;
  std::vector<TComponent*> components_;
  std::unique_ptr<Peer> peer_;
};

// UTF-8 <-> UTF-16 for error messages and the like.
Text FromUtf8(const std::string& s);
std::string ToUtf8(const Text& s);
// Decimal text of a number, as display text.
Text IntToText(long long value);

}  // namespace ui

#endif  // KELVANE_PLATFORM_UI_COMPONENT_H_
