#include "platform/qt/QtBackend.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>
#include <exception>
#include <functional>
#include <vector>

#include "platform/ui/Application.h"
#include "platform/ui/ListView.h"
#include "platform/ui/TrayIcon.h"

namespace ui {
namespace {

QString ToQString(const Text& text) {
  return QString::fromStdU16String(text);
}

// Input from Qt enters the components here. The components route errors of
// the handlers they run to the standard error report; whatever still escapes
// (no application object) must not unwind through Qt's event loop.
template <typename F>
void FromQt(QtBackend& backend, F&& handler) {
  try {
    std::forward<F>(handler)();
  } catch (const std::exception& e) {
    backend.ShowErrorReport(Application != nullptr ? Application->Title : Text(),
                            FromUtf8(e.what()));
  } catch (...) {
    backend.ShowErrorReport(Application != nullptr ? Application->Title : Text(), u"Unknown error");
  }
}

Qt::Alignment ToQAlignment(TAlignment a) {
  switch (a) {
    case TAlignment::RightJustify:
      return Qt::AlignRight | Qt::AlignTop;
    case TAlignment::Center:
      return Qt::AlignHCenter | Qt::AlignTop;
    case TAlignment::LeftJustify:
      break;
  }
  return Qt::AlignLeft | Qt::AlignTop;
}

// ---- Widgets that report input Qt has no plain signal for -----------------

// The top-level window: minimize and close through the window manager.
class FormWidget : public QWidget {
 public:
  explicit FormWidget(TForm& form)
      : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                             Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                             Qt::WindowCloseButtonHint),
        form_(form) {}
  std::function<void(std::function<void()>)> input;

 protected:
  void changeEvent(QEvent* event) override {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    // A hidden window is minimized by nobody: what arrives then is the window
    // manager catching up with an earlier state.
    if (!isVisible()) return;
    const bool minimized = isMinimized();
    if (minimized && form_.WindowState() != TWindowState::Minimized) {
      input([this] { form_.UserMinimize(); });
    } else if (!minimized && form_.WindowState() == TWindowState::Minimized) {
      input([this] { form_.UserRestore(); });
    }
  }
  void closeEvent(QCloseEvent* event) override {
    if (!form_.Closed()) input([this] { form_.UserClose(); });
    if (form_.Closed())
      event->accept();
    else
      event->ignore();
  }

 private:
  TForm& form_;
};

// A label with a click: pressed and released on it with the left button.
class LabelWidget : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> on_click;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton) pressed_ = true;
    QLabel::mousePressEvent(event);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    const bool was_pressed = pressed_;
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (was_pressed && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()) && on_click)
      on_click();
  }

 private:
  bool pressed_ = false;
};

// A check box whose state only the component changes: a click asks the
// component, which flips its state and runs its handler; the widget then
// shows whatever state the component ended in.
class CheckBoxWidget : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;
  std::function<void()> on_click;

 protected:
  void nextCheckState() override {
    if (on_click) on_click();
  }
};

// A list view that reports a click where there is no row.
class ListWidget : public QTreeWidget {
 public:
  using QTreeWidget::QTreeWidget;
  std::function<void()> on_empty_click;

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (!indexAt(event->position().toPoint()).isValid() && on_empty_click) on_empty_click();
    QTreeWidget::mousePressEvent(event);
  }
};

// Drop-down entries of a fixed height.
class ItemHeightDelegate : public QStyledItemDelegate {
 public:
  ItemHeightDelegate(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(height_);
    return size;
  }

 private:
  int height_;
};

// ---- Peers -----------------------------------------------------------------

class QtPeer : public Peer {
 public:
  explicit QtPeer(QtBackend& backend) : backend_(backend) {}
  virtual QWidget* widget() const { return nullptr; }

 protected:
  QtBackend& backend_;
};

class ControlPeer : public QtPeer {
 public:
  ControlPeer(QtBackend& backend, TControl& control, QWidget* widget)
      : QtPeer(backend), control_(control), widget_(widget) {}
  ~ControlPeer() override { delete widget_.data(); }
  QWidget* widget() const override { return widget_; }

  // Draws the whole current state.
  void Init() {
    ApplyFont();
    ApplyCaption();
    ApplyState();
    ApplyBounds();
    ApplyHint();
    widget_->setEnabled(control_.Enabled());
    ApplyVisible();
  }

  void Update(Aspect what, int index) override {
    if (!widget_) return;
    switch (what) {
      case Aspect::Bounds:
        ApplyBounds();
        break;
      case Aspect::Caption:
        ApplyCaption();
        break;
      case Aspect::Font:
        ApplyFont();
        ApplyBounds();
        break;
      case Aspect::Visible:
        ApplyVisible();
        break;
      case Aspect::Enabled:
        widget_->setEnabled(control_.Enabled());
        break;
      case Aspect::Hint:
        ApplyHint();
        break;
      default:
        UpdateOther(what, index);
        break;
    }
  }

 protected:
  void Input(const std::function<void()>& handler) { FromQt(backend_, handler); }
  int S(int v) const { return backend_.Scaled(v); }

  virtual void ApplyCaption() {}
  virtual void ApplyState() {}
  virtual void UpdateOther(Aspect, int) {}
  virtual void ApplyBounds() {
    widget_->setGeometry(S(control_.Left()), S(control_.Top()), S(control_.Width()),
                         S(control_.Height()));
  }
  virtual void ApplyVisible() { widget_->setVisible(control_.Visible()); }
  virtual void ApplyFont() {
    if (control_.ParentFont()) return;
    widget_->setFont(backend_.ToQFont(control_.Font()));
    QPalette palette = widget_->palette();
    const QColor color = QtBackend::ToQColor(control_.Font().Color, QApplication::palette());
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::ButtonText, color);
    widget_->setPalette(palette);
  }
  void ApplyHint() {
    widget_->setToolTip(control_.ShowHint() ? ToQString(control_.HintText()) : QString());
  }

  TControl& control_;
  QPointer<QWidget> widget_;
};

class FormPeer : public ControlPeer {
 public:
  FormPeer(QtBackend& backend, TForm& form)
      : ControlPeer(backend, form, new FormWidget(form)), form_(form) {
    static_cast<FormWidget*>(widget())->input = [this](std::function<void()> h) { Input(h); };
    widget_->setAutoFillBackground(true);
  }

 protected:
  void ApplyCaption() override { widget_->setWindowTitle(ToQString(form_.Caption())); }
  void ApplyState() override {
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Window, QtBackend::ToQColor(form_.Color, QApplication::palette()));
    widget_->setPalette(palette);
    if (Application != nullptr && !Application->Icon.Empty())
      widget_->setWindowIcon(QtBackend::ToQIcon(Application->Icon.Handle()));
  }
  void ApplyFont() override {
    // The form's font is every control's font unless it sets its own.
    widget_->setFont(backend_.ToQFont(form_.Font()));
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::WindowText,
                     QtBackend::ToQColor(form_.Font().Color, QApplication::palette()));
    widget_->setPalette(palette);
  }
  void ApplyBounds() override {
    // Only the size comes from the layout; the window manager places it.
    if (form_.ClientWidth() > 0 && form_.ClientHeight() > 0)
      widget_->setFixedSize(S(form_.ClientWidth()), S(form_.ClientHeight()));
  }
  void ApplyVisible() override { SyncWindow(); }
  // Brings the window to the component's visibility and window state.
  void SyncWindow() {
    QWidget* w = widget_;
    if (form_.Closed()) {
      w->hide();
      backend_.FormClosed(form_);
      return;
    }
    if (!form_.Visible()) {
      if (w->isMinimized() || form_.WindowState() == TWindowState::Minimized) {
        // Hidden straight from the minimize, the window manager would still
        // be iconifying it; hide once that is over, if it is still wanted then.
        QTimer::singleShot(0, w, [this] {
          if (!form_.Visible()) widget_->hide();
        });
      } else {
        w->hide();
      }
      return;
    }
    if (form_.WindowState() == TWindowState::Minimized) {
      if (w->isVisible()) {
        if (!w->isMinimized()) w->setWindowState(w->windowState() | Qt::WindowMinimized);
      } else {
        // Shown while minimized: usually a restore follows at once, and then
        // the window must map normal, not iconic first.
        QTimer::singleShot(0, w, [this] {
          if (form_.Visible() && form_.WindowState() == TWindowState::Minimized &&
              !widget_->isVisible()) {
            widget_->setWindowState(widget_->windowState() | Qt::WindowMinimized);
            widget_->show();
          }
        });
      }
      return;
    }
    // Visible and normal. A plain show() of a window hidden while minimized
    // maps it iconic again: clear the state first.
    const bool was_away = !w->isVisible() || w->isMinimized();
    if (w->windowState() & Qt::WindowMinimized)
      w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    if (!w->isVisible()) w->show();
    if (was_away) {
      w->raise();
      w->activateWindow();
    }
  }
  void UpdateOther(Aspect what, int) override {
    switch (what) {
      case Aspect::WindowState:
        SyncWindow();
        break;
      case Aspect::Activate:
        widget_->activateWindow();
        break;
      case Aspect::Focus:
        widget_->setFocus();
        break;
      case Aspect::TopMost:
        widget_->raise();
        break;
      default:
        break;
    }
  }

 private:
  TForm& form_;
};

class GroupBoxPeer : public ControlPeer {
 public:
  GroupBoxPeer(QtBackend& backend, TGroupBox& box, QWidget* parent)
      : ControlPeer(backend, box, new QGroupBox(parent)) {}

 protected:
  void ApplyCaption() override {
    static_cast<QGroupBox*>(widget())->setTitle(ToQString(control_.Caption()));
  }
};

class LabelPeer : public ControlPeer {
 public:
  LabelPeer(QtBackend& backend, TLabel& label, QWidget* parent)
      : ControlPeer(backend, label, new LabelWidget(parent)), label_(label) {
    auto* w = static_cast<LabelWidget*>(widget());
    w->setTextFormat(Qt::PlainText);
    w->on_click = [this] { Input([this] { label_.UserClick(); }); };
  }

 protected:
  void ApplyCaption() override {
    static_cast<QLabel*>(widget())->setText(ToQString(label_.Caption()));
    if (label_.AutoSize) ApplyBounds();
  }
  void ApplyState() override {
    static_cast<QLabel*>(widget())->setAlignment(ToQAlignment(label_.Alignment));
    widget_->setCursor(label_.Cursor == TCursor::HandPoint ? Qt::PointingHandCursor
                                                           : Qt::ArrowCursor);
  }
  void ApplyBounds() override {
    const int left = S(label_.Left()), top = S(label_.Top()), width = S(label_.Width());
    if (!label_.AutoSize) {
      widget_->setGeometry(left, top, width, S(label_.Height()));
      return;
    }
    // Sized to its text, keeping the edge its alignment names.
    const QFontMetrics metrics(widget_->font());
    const int text_width = metrics.horizontalAdvance(ToQString(label_.Caption()));
    int x = left;
    if (label_.Alignment == TAlignment::RightJustify)
      x = left + width - text_width;
    else if (label_.Alignment == TAlignment::Center)
      x = left + (width - text_width) / 2;
    widget_->setGeometry(x, top, text_width, metrics.height());
  }

 private:
  TLabel& label_;
};

class EditPeer : public ControlPeer {
 public:
  EditPeer(QtBackend& backend, TEdit& edit, QWidget* parent)
      : ControlPeer(backend, edit, new QLineEdit(parent)), edit_(edit) {}

 protected:
  void ApplyCaption() override {
    auto* w = static_cast<QLineEdit*>(widget());
    w->setText(ToQString(edit_.GetText()));
    w->setCursorPosition(0);  // show the start of a long text
  }
  void ApplyState() override { static_cast<QLineEdit*>(widget())->setReadOnly(edit_.ReadOnly); }

 private:
  TEdit& edit_;
};

class ComboBoxPeer : public ControlPeer {
 public:
  ComboBoxPeer(QtBackend& backend, TComboBox& combo, QWidget* parent)
      : ControlPeer(backend, combo, new QComboBox(parent)), combo_(combo) {
    auto* w = box();
    w->setEditable(false);
    w->setItemDelegate(new ItemHeightDelegate(S(combo_.ItemHeight), w));
    QObject::connect(w, &QComboBox::activated, w, [this](int index) {
      Input([this, index] { combo_.UserSelect(index); });
      SyncIndex();  // a re-pick, or a handler that moved the selection again
    });
  }

 protected:
  QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
  void ApplyState() override { SyncItems(); }
  void UpdateOther(Aspect what, int) override {
    if (what == Aspect::Items)
      SyncItems();
    else if (what == Aspect::ItemIndex)
      SyncIndex();
  }
  void SyncItems() {
    QSignalBlocker block(box());
    box()->clear();
    for (int i = 0; i < combo_.Items().Count(); ++i) box()->addItem(ToQString(combo_.Items()[i]));
    box()->setCurrentIndex(combo_.ItemIndex());
  }
  void SyncIndex() {
    if (!widget_) return;
    QSignalBlocker block(box());
    box()->setCurrentIndex(combo_.ItemIndex());
  }

 private:
  TComboBox& combo_;
};

class CheckBoxPeer : public ControlPeer {
 public:
  CheckBoxPeer(QtBackend& backend, TCheckBox& check, QWidget* parent)
      : ControlPeer(backend, check, new CheckBoxWidget(parent)), check_(check) {
    static_cast<CheckBoxWidget*>(widget())->on_click = [this] {
      Input([this] { check_.UserClick(); });
      SyncChecked();
    };
  }

 protected:
  void ApplyCaption() override {
    static_cast<QCheckBox*>(widget())->setText(ToQString(check_.Caption()));
  }
  void ApplyState() override { SyncChecked(); }
  void UpdateOther(Aspect what, int) override {
    if (what == Aspect::Checked) SyncChecked();
  }
  void SyncChecked() {
    if (!widget_) return;
    auto* w = static_cast<QCheckBox*>(widget());
    QSignalBlocker block(w);
    w->setChecked(check_.Checked());
  }

 private:
  TCheckBox& check_;
};

class ButtonPeer : public ControlPeer {
 public:
  ButtonPeer(QtBackend& backend, TButton& button, QWidget* parent)
      : ControlPeer(backend, button, new QPushButton(parent)), button_(button) {
    auto* w = static_cast<QPushButton*>(widget());
    w->setAutoDefault(false);
    QObject::connect(w, &QPushButton::clicked, w,
                     [this] { Input([this] { button_.UserClick(); }); });
  }

 protected:
  void ApplyCaption() override {
    static_cast<QPushButton*>(widget())->setText(ToQString(button_.Caption()));
  }

 private:
  TButton& button_;
};

class ListViewPeer : public ControlPeer {
 public:
  ListViewPeer(QtBackend& backend, TListView& list, QWidget* parent)
      : ControlPeer(backend, list, new ListWidget(parent)), list_(list) {
    auto* w = tree();
    w->setRootIsDecorated(false);
    w->setItemsExpandable(false);
    w->setUniformRowHeights(true);
    w->setSortingEnabled(false);
    w->setAllColumnsShowFocus(true);
    w->setSelectionMode(QAbstractItemView::SingleSelection);
    w->setSelectionBehavior(list_.RowSelect ? QAbstractItemView::SelectRows
                                            : QAbstractItemView::SelectItems);
    w->setEditTriggers(list_.ReadOnly ? QAbstractItemView::NoEditTriggers
                                      : QAbstractItemView::DoubleClicked);
    w->setHeaderHidden(!list_.ShowColumnHeaders);
    w->header()->setSectionsMovable(false);
    w->header()->setSectionsClickable(false);
    w->header()->setStretchLastSection(false);
    w->setColumnCount(std::max<int>(1, static_cast<int>(list_.Columns.size())));
    QStringList captions;
    for (const TListColumn& column : list_.Columns) captions << ToQString(column.Caption);
    w->setHeaderLabels(captions);
    for (int i = 0; i < static_cast<int>(list_.Columns.size()); ++i)
      w->header()->resizeSection(i, S(list_.Columns[static_cast<std::size_t>(i)].Width));
    if (list_.HideSelection) {
      // The selection shows only while the list has the focus.
      QPalette palette = w->palette();
      palette.setColor(QPalette::Inactive, QPalette::Highlight,
                       palette.color(QPalette::Inactive, QPalette::Base));
      palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                       palette.color(QPalette::Inactive, QPalette::Text));
      w->setPalette(palette);
    }
    QObject::connect(w, &QTreeWidget::itemSelectionChanged, w, [this] { QtSelectionChanged(); });
    w->on_empty_click = [this] { UserPicked(-1); };
  }

 protected:
  ListWidget* tree() const { return static_cast<ListWidget*>(widget()); }
  void ApplyState() override {
    SyncRows(-1);
    SyncSelection();
  }
  void UpdateOther(Aspect what, int index) override {
    if (what == Aspect::Rows) {
      SyncRows(index);
    } else if (what == Aspect::Selection && !in_user_select_) {
      SyncSelection();
    }
  }

 private:
  int SelectedRow() const { return list_.Selected() != nullptr ? list_.Selected()->Index() : -1; }

  void QtSelectionChanged() {
    const QList<QTreeWidgetItem*> selected = tree()->selectedItems();
    UserPicked(selected.isEmpty() ? -1 : tree()->indexOfTopLevelItem(selected.front()));
  }
  void UserPicked(int row) {
    if (row == SelectedRow()) return;
    in_user_select_ = true;
    Input([this, row] { list_.UserSelect(row); });
    in_user_select_ = false;
    if (widget_) SyncSelection();
  }

  void FillRow(int index) {
    QTreeWidgetItem* item = tree()->topLevelItem(index);
    const TListItem& row = list_.Item(index);
    item->setText(0, ToQString(row.Caption()));
    // Sub-items past the last column have no column and show nowhere.
    for (int column = 1; column < tree()->columnCount(); ++column) {
      const int sub = column - 1;
      item->setText(column,
                    sub < row.SubItems().Count() ? ToQString(row.SubItems()[sub]) : QString());
    }
  }
  void SyncRows(int index) {
    QSignalBlocker block(tree());
    if (index < 0) {
      tree()->clear();
      tree()->scrollToTop();
    }
    while (tree()->topLevelItemCount() > list_.Count())
      delete tree()->takeTopLevelItem(tree()->topLevelItemCount() - 1);
    const int first_new = tree()->topLevelItemCount();
    while (tree()->topLevelItemCount() < list_.Count())
      tree()->addTopLevelItem(new QTreeWidgetItem());
    if (index < 0) {
      for (int i = 0; i < list_.Count(); ++i) FillRow(i);
    } else {
      for (int i = first_new; i < list_.Count(); ++i) FillRow(i);
      if (index < list_.Count()) FillRow(index);
    }
  }
  void SyncSelection() {
    QSignalBlocker block(tree());
    const int row = SelectedRow();
    QTreeWidgetItem* item = row >= 0 ? tree()->topLevelItem(row) : nullptr;
    if (item == nullptr) {
      tree()->clearSelection();
      return;
    }
    if (!item->isSelected() || tree()->selectedItems().size() != 1) {
      tree()->clearSelection();
      item->setSelected(true);
    }
    if (tree()->currentItem() != item)
      tree()->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
  }

  TListView& list_;
  bool in_user_select_ = false;
};

class StaticTextPeer : public ControlPeer {
 public:
  StaticTextPeer(QtBackend& backend, TStaticText& text, QWidget* parent)
      : ControlPeer(backend, text, new QLabel(parent)), text_(text) {
    auto* w = static_cast<QLabel*>(widget());
    w->setTextFormat(Qt::PlainText);
    w->setWordWrap(true);
    w->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  }

 protected:
  void ApplyCaption() override {
    static_cast<QLabel*>(widget())->setText(ToQString(text_.Caption()));
  }

 private:
  TStaticText& text_;
};

// The notification-area entry is made by the first Add (which may come
// before any peer exists); the peer only takes it away with its component.
class TrayPeer : public QtPeer {
 public:
  TrayPeer(QtBackend& backend, TTrayIcon& icon) : QtPeer(backend), icon_(icon) {}
  ~TrayPeer() override { backend_.DropTray(icon_); }
  void Update(Aspect, int) override {}

 private:
  TTrayIcon& icon_;
};

template <typename Peer, typename Component>
std::unique_ptr<ControlPeer> MakeControlPeer(QtBackend& backend, TComponent& c, QWidget* parent) {
  auto* component = dynamic_cast<Component*>(&c);
  if (component == nullptr) return nullptr;
  return std::make_unique<Peer>(backend, *component, parent);
}

}  // namespace

// ---- QtBackend -------------------------------------------------------------

QtBackend::QtBackend() : timer_owner_(std::make_unique<QObject>()) {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    scale_ = screen->logicalDotsPerInch() / 96.0;
  if (scale_ <= 0) scale_ = 1.0;
}

QtBackend::~QtBackend() = default;

int QtBackend::Scaled(int layout_pixels) const {
  return static_cast<int>(layout_pixels * scale_ + (layout_pixels >= 0 ? 0.5 : -0.5));
}

std::unique_ptr<Peer> QtBackend::CreatePeer(TComponent& component) {
  if (component.Kind() == ComponentKind::TrayIcon) {
    auto* icon = dynamic_cast<TTrayIcon*>(&component);
    return icon != nullptr ? std::make_unique<TrayPeer>(*this, *icon) : nullptr;
  }
  auto* control = dynamic_cast<TControl*>(&component);
  if (control == nullptr) return nullptr;  // the timer and the image list draw nothing
  QWidget* parent = control->Parent() != nullptr ? Widget(*control->Parent()) : nullptr;
  std::unique_ptr<ControlPeer> peer;
  switch (component.Kind()) {
    case ComponentKind::Form:
      if (auto* form = dynamic_cast<TForm*>(control))
        peer = std::make_unique<FormPeer>(*this, *form);
      break;
    case ComponentKind::GroupBox:
      peer = MakeControlPeer<GroupBoxPeer, TGroupBox>(*this, component, parent);
      break;
    case ComponentKind::Label:
      peer = MakeControlPeer<LabelPeer, TLabel>(*this, component, parent);
      break;
    case ComponentKind::Edit:
      peer = MakeControlPeer<EditPeer, TEdit>(*this, component, parent);
      break;
    case ComponentKind::ComboBox:
      peer = MakeControlPeer<ComboBoxPeer, TComboBox>(*this, component, parent);
      break;
    case ComponentKind::CheckBox:
      peer = MakeControlPeer<CheckBoxPeer, TCheckBox>(*this, component, parent);
      break;
    case ComponentKind::Button:
      peer = MakeControlPeer<ButtonPeer, TButton>(*this, component, parent);
      break;
    case ComponentKind::ListView:
      peer = MakeControlPeer<ListViewPeer, TListView>(*this, component, parent);
      break;
    case ComponentKind::StaticText:
      peer = MakeControlPeer<StaticTextPeer, TStaticText>(*this, component, parent);
      break;
    default:
      break;
  }
  if (peer) peer->Init();
  return peer;
}

QWidget* QtBackend::Widget(const TComponent& component) const {
  const auto* peer = dynamic_cast<const QtPeer*>(component.GetPeer());
  return peer != nullptr ? peer->widget() : nullptr;
}

QSystemTrayIcon* QtBackend::Tray(const TTrayIcon& icon) const {
  auto it = trays_.find(&icon);
  return it != trays_.end() ? it->second.get() : nullptr;
}

int QtBackend::StartTimer(unsigned ms, std::function<void()> tick) {
  auto* timer = new QTimer(timer_owner_.get());
  // Precise: a coarse timer may fire up to 5 % early.
  timer->setTimerType(Qt::PreciseTimer);
  timer->setInterval(static_cast<int>(std::min<unsigned>(ms, 0x7FFFFFFF)));
  auto handler = std::make_shared<std::function<void()>>(std::move(tick));
  QObject::connect(timer, &QTimer::timeout, timer, [this, handler] { FromQt(*this, *handler); });
  timer->start();
  const int id = next_timer_++;
  timers_[id] = timer;
  return id;
}

void QtBackend::StopTimer(int id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second->stop();
  // The tick being delivered may be the one that stops its own timer.
  it->second->deleteLater();
  timers_.erase(it);
}

bool QtBackend::NotifyIcon(NotifyMessage message, const TTrayIcon& icon) {
  std::unique_ptr<QSystemTrayIcon>& tray = trays_[&icon];
  if (message == NotifyMessage::Delete) {
    if (tray) tray->hide();
    return true;
  }
  if (!tray) {
    tray = std::make_unique<QSystemTrayIcon>();
    // The component reports the click; it is not const, only this call's view of it.
    auto* component = const_cast<TTrayIcon*>(&icon);
    QObject::connect(tray.get(), &QSystemTrayIcon::activated, tray.get(),
                     [this, component](QSystemTrayIcon::ActivationReason reason) {
                       if (reason == QSystemTrayIcon::Trigger)
                         FromQt(*this, [component] { component->UserClick(); });
                     });
  }
  tray->setIcon(ToQIcon(icon.ShownIcon().Handle()));
  if (message == NotifyMessage::Add) {
    tray->setToolTip(ToQString(icon.Hint));
    // Shown even without a host: Qt embeds it when one appears.
    tray->show();
    return QSystemTrayIcon::isSystemTrayAvailable();
  }
  return tray->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void QtBackend::DropTray(const TTrayIcon& icon) {
  trays_.erase(&icon);
}

void QtBackend::ShellExecute(TForm*, const Text&, const Text& target) {
  QDesktopServices::openUrl(QUrl(ToQString(target)));
}

void QtBackend::ShowErrorReport(const Text& title, const Text& message) {
  QWidget* parent = nullptr;
  if (Application != nullptr && Application->MainForm() != nullptr) {
    parent = Widget(*Application->MainForm());
    if (parent != nullptr && !parent->isVisible()) parent = nullptr;
  }
  QMessageBox::critical(parent, ToQString(title), ToQString(message));
}

void QtBackend::RunMessageLoop(TForm& main) {
  if (main.Closed()) return;
  ApplyTabOrder(main);
  // The loop ends with the main form, not with the last window shown: the
  // form hides in the tray, and an error report may be the only window.
  QApplication::setQuitOnLastWindowClosed(false);
  loop_form_ = &main;
  QApplication::exec();
  loop_form_ = nullptr;
}

void QtBackend::FormClosed(const TForm& form) {
  if (loop_form_ == &form) QCoreApplication::exit(0);
}

void QtBackend::ApplyTabOrder(const TForm& form) const {
  std::vector<QWidget*> chain;
  std::function<void(const TControl*)> walk = [&](const TControl* parent) {
    std::vector<const TControl*> children;
    for (const TComponent* c : form.Components()) {
      const auto* control = dynamic_cast<const TControl*>(c);
      if (control != nullptr && control->Parent() == parent) children.push_back(control);
    }
    // Controls without a tab position come last, in creation order.
    std::stable_sort(children.begin(), children.end(), [](const TControl* a, const TControl* b) {
      const unsigned ta = static_cast<unsigned>(a->TabOrder());
      const unsigned tb = static_cast<unsigned>(b->TabOrder());
      return ta < tb;
    });
    for (const TControl* child : children) {
      if (child->Kind() == ComponentKind::GroupBox) {
        walk(child);
      } else if (QWidget* w = Widget(*child); w != nullptr && w->focusPolicy() & Qt::TabFocus) {
        chain.push_back(w);
      }
    }
  };
  walk(&form);
  for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

QIcon QtBackend::ToQIcon(const TIconImage* image) {
  if (image == nullptr || image->Width <= 0 || image->Height <= 0) return QIcon();
  const auto w = static_cast<std::size_t>(image->Width);
  const auto h = static_cast<std::size_t>(image->Height);
  if (image->Color.size() < w * h ||
      image->Mask.size() < static_cast<std::size_t>(TIconImage::MaskStride(image->Width)) * h)
    return QIcon();
  QImage out(image->Width, image->Height, QImage::Format_ARGB32);
  for (int y = 0; y < image->Height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < image->Width; ++x) {
      // Mask 1 lets the screen through: transparent here.
      line[x] = image->MaskBit(x, y) ? 0u : (0xFF000000u | (image->ColorAt(x, y) & 0xFFFFFFu));
    }
  }
  return QIcon(QPixmap::fromImage(out));
}

QFont QtBackend::ToQFont(const TFont& font) const {
  QFont out(ToQString(font.Name));
  // Where the face is not installed, fontconfig picks the nearest sans face.
  out.setStyleHint(QFont::SansSerif);
  out.setPixelSize(std::max(1, Scaled(font.Height)));
  out.setBold(font.Bold);
  return out;
}

QColor QtBackend::ToQColor(TColor color, const QPalette& palette) {
  switch (color) {
    case clWindowText:
      return palette.color(QPalette::Active, QPalette::WindowText);
    case clHighlight:
      return palette.color(QPalette::Active, QPalette::Highlight);
    case clBtnFace:
      return palette.color(QPalette::Active, QPalette::Button);
    default:
      break;
  }
  if (color & 0xFF000000u) return palette.color(QPalette::Active, QPalette::WindowText);
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace ui
