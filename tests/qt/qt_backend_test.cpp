// The Qt backend's mapping: real Qt input reaches the components' rules, and
// the widgets show the components' state. Runs on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/HeadlessBackend.h"
#include "platform/qt/QtBackend.h"
#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Timer.h"
#include "platform/ui/TrayIcon.h"

namespace {

using ui::Text;

// A small window with one control of every kind, laid out as the main window
// lays out its own.
struct Window : ui::TForm {
  explicit Window() : ui::TForm(nullptr, "Window") {
    SetCaption(u"Kelvane v1.4");
    SetClientSize(456, 518);
    Group.SetBounds(12, 74, 430, 152);
    Group.SetCaption(u"Diver Information");
    Button.SetBounds(366, 30, 76, 25);
    Button.SetCaption(u"Refresh");
    Check.SetBounds(18, 24, 121, 17);
    Check.SetCaption(u"S.M.A.R.T Enabled");
    Combo.SetBounds(16, 100, 140, 21);
    for (const char16_t* s : {u"Physical Drive 1", u"Physical Drive 2", u"Physical Drive 3"})
      Combo.Items().Add(s);
    Edit.SetBounds(94, 62, 140, 21);
    Edit.SetText(u"Corvane DT1000 HD-7200");
    Temperature.SetBounds(10, 16, 100, 35);
    Temperature.AutoSize = false;
    Temperature.Alignment = ui::TAlignment::Center;
    Temperature.SetFont(ui::TFont{u"Tahoma", 29, false, ui::clHighlight});
    Temperature.SetCaption(u"39");
    Right.Alignment = ui::TAlignment::RightJustify;
    Right.SetBounds(242, 25, 56, 13);
    Right.SetCaption(u"Buffer Size:");
    Web.Alignment = ui::TAlignment::RightJustify;
    Web.Cursor = ui::TCursor::HandPoint;
    Web.SetBounds(161, 498, 133, 13);
    Web.SetCaption(u"kelvane.example.org");
    List.SetBounds(12, 240, 406, 175);
    List.Columns = {
        {u"ID", 30}, {u"Attribute", 160}, {u"Value", 63}, {u"Worst", 63}, {u"Threshold", 66}};
    for (int i = 0; i < 6; ++i) {
      ui::TListItem& row = List.Item(List.Add().Index());
      row.SetCaption(ui::IntToText(i));
      for (const char16_t* s : {u"Name", u"100", u"99", u"6", u"hidden description"})
        row.SubItems().Add(s);
    }
    Static.SetBounds(12, 420, 400, 52);
    Static.SetCaption(u"A description");
    Static.SetHint(u"A description");
  }
  ui::TButton Button{this, this, "Button"};
  ui::TGroupBox Group{this, this, "Group"};
  ui::TCheckBox Check{this, &Group, "Check"};
  ui::TEdit Edit{this, &Group, "Edit"};
  ui::TLabel Right{this, &Group, "Right"};
  ui::TComboBox Combo{this, this, "Combo"};
  ui::TLabel Temperature{this, this, "Temperature"};
  ui::TLabel Web{this, this, "Web"};
  ui::TListView List{this, this, "List"};
  ui::TStaticText Static{this, this, "Static"};
};

class QtBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app.Title = u"Kelvane";
    app.SetMainForm(&window);
    window.CreatePeers(backend);
    window.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(W(window)));
  }
  void TearDown() override { app.SetMainForm(nullptr); }

  QWidget* W(const ui::TComponent& c) { return backend.Widget(c); }
  template <typename T>
  T* As(const ui::TComponent& c) {
    return qobject_cast<T*>(backend.Widget(c));
  }

  ui::QtBackend backend;
  ui::TApplication app{backend};
  Window window;
};

// ---- Input reaches the handlers --------------------------------------------

TEST_F(QtBackendTest, MouseClickOnEachClickableControlRunsItsHandler) {
  std::vector<std::string> clicked;
  for (ui::TControl* c : std::vector<ui::TControl*>{&window.Button, &window.Web, &window.Check})
    c->OnClick = [&clicked](ui::TObject* sender) { clicked.push_back(sender->Name()); };
  for (ui::TControl* c : std::vector<ui::TControl*>{&window.Button, &window.Web, &window.Check}) {
    SCOPED_TRACE(c->Name());
    clicked.clear();
    QWidget* w = W(*c);
    ASSERT_NE(w, nullptr);
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    EXPECT_EQ(clicked, std::vector<std::string>{c->Name()});
  }
  // A label that is pressed but released elsewhere is no click.
  clicked.clear();
  QWidget* web = W(window.Web);
  QTest::mousePress(web, Qt::LeftButton, {}, web->rect().center());
  QTest::mouseRelease(web, Qt::LeftButton, {}, web->rect().bottomRight() + QPoint(20, 20));
  EXPECT_TRUE(clicked.empty());
}

TEST_F(QtBackendTest, CheckBoxFollowsTheComponentAndCodeChangesRunTheClickHandler) {
  int clicks = 0;
  window.Check.OnClick = [&](ui::TObject*) { ++clicks; };
  auto* box = As<QCheckBox>(window.Check);
  window.Check.SetChecked(true);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(box->isChecked());
  QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(window.Check.Checked());
  EXPECT_FALSE(box->isChecked());
  // The space bar goes the same way.
  box->setFocus();
  QTest::keyClick(box, Qt::Key_Space);
  EXPECT_EQ(clicks, 3);
  EXPECT_TRUE(window.Check.Checked());
  EXPECT_TRUE(box->isChecked());
}

TEST_F(QtBackendTest, CheckBoxWhoseHandlerSetsItBackCannotBeToggledByAClick) {
  // As the main window's handler does: the box shows a flag, not a choice.
  const bool flag = true;
  int runs = 0;
  window.Check.OnClick = [&](ui::TObject*) {
    ++runs;
    window.Check.SetChecked(flag);
  };
  window.Check.SetChecked(true);
  runs = 0;
  auto* box = As<QCheckBox>(window.Check);
  for (int i = 0; i < 3; ++i) QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
  EXPECT_TRUE(window.Check.Checked());
  EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(runs, 6);  // each click: the flip, then the change back
}

TEST_F(QtBackendTest, DropDownChangedFromCodeDoesNotRunOnChange) {
  int changes = 0;
  window.Combo.OnChange = [&](ui::TObject*) { ++changes; };
  auto* combo = As<QComboBox>(window.Combo);
  EXPECT_EQ(combo->currentIndex(), -1);
  window.Combo.SetItemIndex(1);
  EXPECT_EQ(combo->currentIndex(), 1);
  EXPECT_EQ(combo->currentText(), "Physical Drive 2");
  window.Combo.Clear();
  EXPECT_EQ(combo->count(), 0);
  window.Combo.Items().Add(u"Physical Drive 1");
  EXPECT_EQ(combo->count(), 1);
  EXPECT_EQ(combo->currentIndex(), -1);
  EXPECT_EQ(changes, 0);
}

TEST_F(QtBackendTest, UserPickInTheDropDownRunsOnChangeOnce) {
  std::vector<int> seen;
  window.Combo.OnChange = [&](ui::TObject*) { seen.push_back(window.Combo.ItemIndex()); };
  window.Combo.SetItemIndex(0);
  auto* combo = As<QComboBox>(window.Combo);
  auto pick = [&](int index) {
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    QRect r = view->visualRect(view->model()->index(index, 0));
    r.setWidth(std::min(r.width(), view->viewport()->width()));
    QTest::mouseMove(view->viewport(), r.center());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
    QTest::qWait(0);
  };
  pick(2);
  EXPECT_EQ(seen, std::vector<int>{2});
  EXPECT_EQ(window.Combo.ItemIndex(), 2);
  pick(2);  // the same entry again: no change
  EXPECT_EQ(seen, std::vector<int>{2});
  // The keyboard on the closed box picks too.
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Up);
  EXPECT_EQ(seen, (std::vector<int>{2, 1}));
  EXPECT_EQ(combo->currentIndex(), 1);
}

// ---- The list view's selection events ---------------------------------------

struct SelectEvent {
  int row;
  bool selected;
  bool operator==(const SelectEvent&) const = default;
};

std::shared_ptr<std::vector<SelectEvent>> Record(ui::TListView& list) {
  auto log = std::make_shared<std::vector<SelectEvent>>();
  list.OnSelectItem = [log](ui::TObject*, ui::TListItem* item, bool selected) {
    log->push_back({item->Index(), selected});
  };
  return log;
}

TEST_F(QtBackendTest, ListSelectionEventsMatchTheHeadlessBackend) {
  auto qt_log = Record(window.List);
  auto* tree = As<QTreeWidget>(window.List);
  auto row_centre = [&](int row) { return tree->visualItemRect(tree->topLevelItem(row)).center(); };

  // The same user actions, as the headless backend's tests report them.
  ui::HeadlessBackend headless;
  std::vector<SelectEvent> expected;
  {
    ui::TApplication other(headless);
    Window twin;
    auto log = Record(twin.List);
    twin.List.UserSelect(1);
    twin.List.UserSelect(2);
    twin.List.UserSelect(3);  // keyboard Down
    twin.List.UserSelect(3);  // a click on the selected row
    twin.List.UserSelect(-1);
    expected = *log;
  }
  ui::Application = &app;

  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, row_centre(1));
  EXPECT_EQ(*qt_log, (std::vector<SelectEvent>{{1, true}}));
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, row_centre(2));
  QTest::keyClick(tree, Qt::Key_Down);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, row_centre(3));
  // Below the last row: no row, the selection goes.
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                    QPoint(20, tree->viewport()->height() - 3));
  EXPECT_EQ(*qt_log, expected);
  EXPECT_EQ(*qt_log, (std::vector<SelectEvent>{
                         {1, true}, {1, false}, {2, true}, {2, false}, {3, true}, {3, false}}));
  EXPECT_TRUE(tree->selectedItems().isEmpty());
}

TEST_F(QtBackendTest, ListFollowsRowsAndSelectionFromCode) {
  auto log = Record(window.List);
  auto* tree = As<QTreeWidget>(window.List);
  ASSERT_EQ(tree->topLevelItemCount(), 6);
  // Five columns; the fifth sub-item has none and shows nowhere.
  EXPECT_EQ(tree->columnCount(), 5);
  EXPECT_EQ(tree->topLevelItem(2)->text(0), "2");
  EXPECT_EQ(tree->topLevelItem(2)->text(4), "6");
  window.List.Item(4).SetSelected(true);
  EXPECT_EQ(tree->selectedItems(), QList<QTreeWidgetItem*>{tree->topLevelItem(4)});
  window.List.Clear();  // rows go without selection events
  EXPECT_EQ(tree->topLevelItemCount(), 0);
  ui::TListItem& row = window.List.Add();
  row.SetCaption(u"C2");
  row.SubItems().Add(u"Temperature");
  row.SetSelected(true);
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  EXPECT_EQ(tree->topLevelItem(0)->text(1), "Temperature");
  EXPECT_TRUE(tree->topLevelItem(0)->isSelected());
  EXPECT_EQ(*log, (std::vector<SelectEvent>{{4, true}, {0, true}}));
}

// ---- Drawing from the state --------------------------------------------------

TEST_F(QtBackendTest, GeometryFollowsTheComponentBoundsAt96Dpi) {
  ASSERT_DOUBLE_EQ(backend.Scale(), 1.0) << "the offscreen screen is 96 dpi";
  const struct {
    const ui::TControl* control;
    QRect rect;
  } cases[] = {
      {&window.Button, {366, 30, 76, 25}}, {&window.Group, {12, 74, 430, 152}},
      {&window.Check, {18, 24, 121, 17}},  {&window.Combo, {16, 100, 140, 21}},
      {&window.Edit, {94, 62, 140, 21}},   {&window.Temperature, {10, 16, 100, 35}},
      {&window.List, {12, 240, 406, 175}}, {&window.Static, {12, 420, 400, 52}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.control->Name());
    EXPECT_EQ(W(*c.control)->geometry(), c.rect);
  }
  // Fixed client size: the user cannot resize the window.
  QWidget* form = W(window);
  EXPECT_EQ(form->size(), QSize(456, 518));
  EXPECT_EQ(form->minimumSize(), form->maximumSize());
  EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
  // Moved by the program: the widget follows.
  window.Button.SetBounds(10, 20, 30, 40);
  EXPECT_EQ(W(window.Button)->geometry(), QRect(10, 20, 30, 40));
  // Right-aligned and sized to its text: the right edge stays.
  QWidget* right = W(window.Right);
  EXPECT_EQ(right->geometry().left() + right->geometry().width(), 242 + 56);
  EXPECT_EQ(right->width(), QFontMetrics(right->font()).horizontalAdvance("Buffer Size:"));
  window.Right.SetCaption(u"Size:");
  EXPECT_EQ(right->geometry().left() + right->geometry().width(), 242 + 56);
  EXPECT_EQ(right->width(), QFontMetrics(right->font()).horizontalAdvance("Size:"));
}

TEST_F(QtBackendTest, CaptionsFontsAndHints) {
  EXPECT_EQ(W(window)->windowTitle(), "Kelvane v1.4");
  EXPECT_EQ(As<QPushButton>(window.Button)->text(), "Refresh");
  EXPECT_EQ(As<QGroupBox>(window.Group)->title(), "Diver Information");
  EXPECT_EQ(As<QCheckBox>(window.Check)->text(), "S.M.A.R.T Enabled");
  EXPECT_EQ(As<QLineEdit>(window.Edit)->text(), "Corvane DT1000 HD-7200");
  EXPECT_TRUE(As<QLineEdit>(window.Edit)->isReadOnly());
  EXPECT_EQ(As<QLabel>(window.Temperature)->text(), "39");
  window.Temperature.SetCaption(u"45 \u00B0C");
  EXPECT_EQ(As<QLabel>(window.Temperature)->text(), QString::fromUtf8("45 °C"));
  auto* tree = As<QTreeWidget>(window.List);
  const int widths[] = {30, 160, 63, 63, 66};
  const char* captions[] = {"ID", "Attribute", "Value", "Worst", "Threshold"};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(tree->headerItem()->text(i), captions[i]);
    EXPECT_EQ(tree->header()->sectionSize(i), widths[i]);
  }
  EXPECT_FALSE(tree->isSortingEnabled());
  EXPECT_EQ(tree->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_EQ(tree->selectionBehavior(), QAbstractItemView::SelectRows);

  // The window font everywhere, the label's own font where it sets one.
  const QFont edit_font = W(window.Edit)->font();
  EXPECT_EQ(edit_font.pixelSize(), 11);
  const QFont big = W(window.Temperature)->font();
  EXPECT_EQ(big.pixelSize(), 29);
  EXPECT_EQ(QFontInfo(big).family(), QFontInfo(edit_font).family());
  EXPECT_FALSE(QFontInfo(big).family().isEmpty());
  EXPECT_EQ(W(window.Temperature)->palette().color(QPalette::WindowText),
            QApplication::palette().color(QPalette::Highlight));
  EXPECT_EQ(W(window.Web)->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_TRUE(As<QLabel>(window.Temperature)->alignment() & Qt::AlignHCenter);

  // The hint shows only while ShowHint is on.
  EXPECT_TRUE(W(window.Static)->toolTip().isEmpty());
  window.Static.SetShowHint(true);
  EXPECT_EQ(W(window.Static)->toolTip(), "A description");
  window.Static.SetHint(u"Another");
  EXPECT_EQ(W(window.Static)->toolTip(), "Another");
  window.Static.SetShowHint(false);
  EXPECT_TRUE(W(window.Static)->toolTip().isEmpty());
}

TEST(QtIcon, MaskBitOneIsTransparent) {
  ui::TIconImage image;
  image.Width = image.Height = 16;
  image.Color.assign(256, 0x00123456);
  image.Mask.assign(static_cast<std::size_t>(ui::TIconImage::MaskStride(16) * 16), 0xFF);
  image.Mask[0] = 0x7F;                                    // (0, 0) shows the colour
  image.Mask[static_cast<std::size_t>(2 * 5 + 1)] = 0xFE;  // (15, 5) too
  image.Color[5 * 16 + 15] = 0x00FF0000;
  const QImage out = ui::QtBackend::ToQIcon(&image).pixmap(16, 16).toImage().convertToFormat(
      QImage::Format_ARGB32);
  ASSERT_EQ(out.size(), QSize(16, 16));
  EXPECT_EQ(out.pixel(0, 0), 0xFF123456u);
  EXPECT_EQ(out.pixel(15, 5), 0xFFFF0000u);
  EXPECT_EQ(qAlpha(out.pixel(1, 0)), 0);
  EXPECT_EQ(qAlpha(out.pixel(14, 5)), 0);
  EXPECT_EQ(qAlpha(out.pixel(7, 9)), 0);
  // A malformed image (mask too short) makes no icon rather than reading past it.
  image.Mask.resize(10);
  EXPECT_TRUE(ui::QtBackend::ToQIcon(&image).isNull());
  EXPECT_TRUE(ui::QtBackend::ToQIcon(nullptr).isNull());
}

// ---- Platform services ---------------------------------------------------------

TEST_F(QtBackendTest, TrayAddFailsWithoutANotificationAreaHost) {
  ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
  ui::TTrayIcon tray(&window, "Tray", backend);
  EXPECT_EQ(tray.Hint, u"Kelvane");
  try {
    tray.SetVisible(true);
    ADD_FAILURE() << "no error";
  } catch (const ui::EComponentError& e) {
    EXPECT_STREQ(e.what(), "Cannot create shell notification icon");
  }
  EXPECT_TRUE(tray.Visible());
  EXPECT_FALSE(tray.EntryAdded());
  ASSERT_NE(backend.Tray(tray), nullptr);
  EXPECT_EQ(backend.Tray(tray)->toolTip(), "Kelvane");
}

TEST_F(QtBackendTest, ErrorEscapingAClickHandlerGoesToAMessageBox) {
  window.Button.OnClick = [](ui::TObject*) { throw std::runtime_error("Disk not ready"); };
  QString title, text;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      title = box->windowTitle();
      text = box->text();
      box->accept();
    }
  });
  QTest::mouseClick(W(window.Button), Qt::LeftButton);
  EXPECT_EQ(title, "Kelvane");
  EXPECT_EQ(text, "Disk not ready");
}

TEST_F(QtBackendTest, TimerTicksAndMayStopAndRestartItselfInItsTick) {
  ui::TTimer timer(&window, "Timer", backend);
  int ticks = 0;
  timer.SetInterval(10);
  timer.OnTimer = [&](ui::TObject*) {
    ++ticks;
    // As a refresh does: stop, work, start a full period again.
    timer.SetEnabled(false);
    timer.SetEnabled(true);
  };
  timer.SetEnabled(true);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 3; }, 5000));
  timer.SetEnabled(false);
  const int stopped_at = ticks;
  QTest::qWait(50);
  EXPECT_EQ(ticks, stopped_at);
}

TEST_F(QtBackendTest, WindowManagerMinimizeHidesThroughTheMinimizeEventAndCloseCloses) {
  int minimizes = 0;
  app.OnMinimize = [&](ui::TObject*) {
    ++minimizes;
    window.Hide();
  };
  QWidget* form = W(window);
  form->setWindowState(form->windowState() | Qt::WindowMinimized);  // as the window manager does
  EXPECT_EQ(minimizes, 1);
  EXPECT_EQ(window.WindowState(), ui::TWindowState::Minimized);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 2000));
  // Back: shown, restored, in front.
  window.Show();
  app.Restore();
  QTest::qWait(0);
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->isMinimized());
  EXPECT_EQ(minimizes, 1);
  form->close();
  EXPECT_TRUE(window.Closed());
  EXPECT_FALSE(form->isVisible());
}

}  // namespace

int main(int argc, char** argv) {
  // Offscreen also when CTest lists the cases, which it does without the
  // test's environment.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qt(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
