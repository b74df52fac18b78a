// The visible controls: a form and what it contains. Positions are in pixels
// as designed at 96 dots per inch; a backend scales them with the display.
#ifndef KELVANE_PLATFORM_UI_CONTROLS_H_
#define KELVANE_PLATFORM_UI_CONTROLS_H_

#include <functional>
#include <vector>

#include "platform/ui/Component.h"

namespace ui {

// A colour: plain 0x00BBGGRR as Windows keeps it, or one of the system colours.
using TColor = std::uint32_t;
inline constexpr TColor clWindowText = 0xFF000008;
inline constexpr TColor clHighlight = 0xFF00000D;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor RGB(int r, int g, int b) {
  return static_cast<TColor>(r | (g << 8) | (b << 16));
}

struct TFont {
  Text Name = u"Tahoma";
  int Height = 11;  // pixels, at 96 dots per inch
  bool Bold = false;
  TColor Color = clWindowText;
};

enum class TAlignment : std::uint8_t { LeftJustify, RightJustify, Center };
enum class TCursor : std::uint8_t { Default, HandPoint };

// A list of display texts that tells its owner when it changes.
class TStrings {
 public:
  explicit TStrings(std::function<void()> changed = {}) : changed_(std::move(changed)) {}
  int Add(Text s);
  void Clear();
  int Count() const { return static_cast<int>(items_.size()); }
  const Text& operator[](int i) const { return items_.at(static_cast<std::size_t>(i)); }

 private:
  std::vector<Text> items_;
  std::function<void()> changed_;
};

class TWinControl;

class TControl : public TComponent {
 public:
  TControl(TComponent* owner, TWinControl* parent, ComponentKind kind, std::string name);

  TWinControl* Parent() const { return parent_; }
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }

  const Text& Caption() const { return caption_; }
  void SetCaption(const Text& caption);

  const TFont& Font() const { return font_; }
  bool ParentFont() const { return parent_font_; }
  void SetFont(const TFont& font);

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }

  int TabOrder() const { return tab_order_; }
  void SetTabOrder(int order) { tab_order_ = order; }

  const Text& HintText() const { return hint_; }
  bool ShowHint() const { return show_hint_; }
  void SetHint(const Text& hint);
  void SetShowHint(bool show);

  TCursor Cursor = TCursor::Default;
  TNotifyEvent OnClick;
  // A click by the user.
  virtual void UserClick();

 protected:
  // Raises OnClick.
  virtual void Click();

 private:
  TWinControl* parent_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  Text caption_;
  TFont font_;
  bool parent_font_ = true;
  bool visible_ = true;
  bool enabled_ = true;
  int tab_order_ = -1;
  Text hint_;
  bool show_hint_ = false;
};

class TWinControl : public TControl {
 public:
  using TControl::TControl;
};

enum class TWindowState : std::uint8_t { Normal, Minimized };

// A top-level window: fixed single border, system menu and minimize button.
class TForm : public TWinControl {
 public:
  TForm(TComponent* owner, std::string name);

  int ClientWidth() const { return client_width_; }
  int ClientHeight() const { return client_height_; }
  void SetClientSize(int width, int height);
  TColor Color = clBtnFace;

  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  TWindowState WindowState() const { return window_state_; }
  void SetWindowState(TWindowState state);

  // Window placement the tray restore asks for.
  void SetActiveWindow() { Changed(Aspect::Activate); }
  void SetFocus() { Changed(Aspect::Focus); }
  void SetTopMost(bool top_most) { Changed(top_most ? Aspect::TopMost : Aspect::NoTopMost); }

  bool Closed() const { return closed_; }
  void Close();

  // User input, reported by the backend.
  void UserMinimize();  // the minimize button or the system menu
  void UserRestore();   // the taskbar button of a minimized window
  void UserClose();

 private:
  int client_width_ = 0, client_height_ = 0;
  TWindowState window_state_ = TWindowState::Normal;
  bool closed_ = false;
};

class TGroupBox : public TWinControl {
 public:
  TGroupBox(TComponent* owner, TWinControl* parent, std::string name)
      : TWinControl(owner, parent, ComponentKind::GroupBox, std::move(name)) {}
};

class TLabel : public TControl {
 public:
  TLabel(TComponent* owner, TWinControl* parent, std::string name)
      : TControl(owner, parent, ComponentKind::Label, std::move(name)) {}
  TAlignment Alignment = TAlignment::LeftJustify;
  bool AutoSize = true;
};

// A read-only edit box: its text is the caption.
class TEdit : public TWinControl {
 public:
  TEdit(TComponent* owner, TWinControl* parent, std::string name)
      : TWinControl(owner, parent, ComponentKind::Edit, std::move(name)) {}
  const Text& GetText() const { return Caption(); }
  void SetText(const Text& text) { SetCaption(text); }
  bool ReadOnly = true;
};

// A pick-only drop-down list. A selection made by the program does not run
// OnChange; a pick by the user that changes the selection does.
class TComboBox : public TWinControl {
 public:
  TComboBox(TComponent* owner, TWinControl* parent, std::string name);

  TStrings& Items() { return items_; }
  const TStrings& Items() const { return items_; }
  int ItemIndex() const { return item_index_; }
  void SetItemIndex(int index);
  // Empties the entries and the text.
  void Clear();
  int ItemHeight = 13;
  TNotifyEvent OnChange;

  void UserSelect(int index);

 private:
  TStrings items_;
  int item_index_ = -1;
};

// A check box. Every change of its state runs OnClick, whether the user made
// it or the program did.
class TCheckBox : public TWinControl {
 public:
  TCheckBox(TComponent* owner, TWinControl* parent, std::string name)
      : TWinControl(owner, parent, ComponentKind::CheckBox, std::move(name)) {}
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  // A click by the user flips the state (which runs OnClick).
  void UserClick() override;

 private:
  bool checked_ = false;
};

class TButton : public TWinControl {
 public:
  TButton(TComponent* owner, TWinControl* parent, std::string name)
      : TWinControl(owner, parent, ComponentKind::Button, std::move(name)) {}
};

// A static text with a hint (tooltip) of its own.
class TStaticText : public TWinControl {
 public:
  TStaticText(TComponent* owner, TWinControl* parent, std::string name)
      : TWinControl(owner, parent, ComponentKind::StaticText, std::move(name)) {}
  bool AutoSize = false;
};

}  // namespace ui

#endif  // KELVANE_PLATFORM_UI_CONTROLS_H_
