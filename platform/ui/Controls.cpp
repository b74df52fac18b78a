#include "platform/ui/Controls.h"

#include "platform/ui/Application.h"

namespace ui {

int TStrings::Add(Text s) {
  items_.push_back(std::move(s));
  if (changed_) changed_();
  return Count() - 1;
}

void TStrings::Clear() {
  if (items_.empty()) return;
  items_.clear();
  if (changed_) changed_();
}

// ---- TControl -------------------------------------------------------------

TControl::TControl(TComponent* owner, TWinControl* parent, ComponentKind kind, std::string name)
    : TComponent(owner, kind, std::move(name)), parent_(parent) {}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed(Aspect::Bounds);
}

void TControl::SetCaption(const Text& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Changed(Aspect::Caption);
}

void TControl::SetFont(const TFont& font) {
  font_ = font;
  parent_font_ = false;
  Changed(Aspect::Font);
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed(Aspect::Visible);
}

void TControl::SetHint(const Text& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  Changed(Aspect::Hint);
}

void TControl::SetShowHint(bool show) {
  if (show == show_hint_) return;
  show_hint_ = show;
  Changed(Aspect::Hint);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::UserClick() {
  if (Application != nullptr)
    Application->Dispatch([this] { Click(); });
  else
    Click();
}

// ---- TForm ----------------------------------------------------------------

TForm::TForm(TComponent* owner, std::string name)
    : TWinControl(owner, nullptr, ComponentKind::Form, std::move(name)) {
  SetVisible(false);
}

void TForm::SetClientSize(int width, int height) {
  client_width_ = width;
  client_height_ = height;
  Changed(Aspect::Bounds);
}

void TForm::SetWindowState(TWindowState state) {
  if (state == window_state_) return;
  window_state_ = state;
  Changed(Aspect::WindowState);
}

void TForm::Close() {
  if (closed_) return;
  closed_ = true;
  SetVisible(false);
}

void TForm::UserMinimize() {
  // The application object carries out a minimize of its main window.
  if (Application != nullptr && Application->MainForm() == this) {
    Application->Dispatch([] { Application->Minimize(); });
  } else {
    SetWindowState(TWindowState::Minimized);
  }
}

void TForm::UserRestore() {
  if (Application != nullptr && Application->MainForm() == this) {
    Application->Dispatch([] { Application->Restore(); });
  }
  SetWindowState(TWindowState::Normal);
}

void TForm::UserClose() { Close(); }

// ---- TComboBox ------------------------------------------------------------

TComboBox::TComboBox(TComponent* owner, TWinControl* parent, std::string name)
    : TWinControl(owner, parent, ComponentKind::ComboBox, std::move(name)),
      items_([this] {
        if (item_index_ >= items_.Count()) item_index_ = -1;
        Changed(Aspect::Items);
      }) {}

void TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= items_.Count()) index = -1;
  if (index == item_index_) return;
  item_index_ = index;
  SetCaption(index >= 0 ? items_[index] : Text());
  Changed(Aspect::ItemIndex);
}

void TComboBox::Clear() {
  item_index_ = -1;
  items_.Clear();
  SetCaption(Text());
  Changed(Aspect::ItemIndex);
}

void TComboBox::UserSelect(int index) {
  if (index < 0 || index >= items_.Count() || index == item_index_) return;
  SetItemIndex(index);
  if (Application != nullptr) {
    Application->Dispatch([this] {
      if (OnChange) OnChange(this);
    });
  } else if (OnChange) {
    OnChange(this);
  }
}

// ---- TCheckBox ------------------------------------------------------------

void TCheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  Changed(Aspect::Checked);
  Click();
}

void TCheckBox::UserClick() {
  if (Application != nullptr)
    Application->Dispatch([this] { SetChecked(!checked_); });
  else
    SetChecked(!checked_);
}

}  // namespace ui
