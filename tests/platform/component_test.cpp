// The rules of the window components that the program relies on, checked on
// the headless backend: user input goes through the User* entry points, time
// through the virtual clock.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/headless/HeadlessBackend.h"
#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Timer.h"
#include "platform/ui/TrayIcon.h"

namespace {

using ui::Text;

// A 16x16 icon filled with one colour, so a copy can be told from another.
ui::HICON MakeImage(std::uint32_t colour) {
  auto image = std::make_unique<ui::TIconImage>();
  image->Width = image->Height = 16;
  image->Color.assign(16 * 16, colour);
  image->Mask.assign(static_cast<std::size_t>(ui::TIconImage::MaskStride(16) * 16), 0);
  return image;
}
ui::TIcon MakeIcon(std::uint32_t colour) {
  ui::TIcon icon;
  icon.SetHandle(MakeImage(colour));
  return icon;
}
// The colour of an icon image; 0xDEAD for none.
std::uint32_t ColourOf(const ui::TIconImage* image) {
  return image == nullptr ? 0xDEADu : image->ColorAt(0, 0);
}

class Components : public ::testing::Test {
 protected:
  Components() { app.Title = u"Kelvane"; }

  ui::HeadlessBackend backend;
  ui::TApplication app{backend};
  ui::TForm form{nullptr, "HDForm"};
};

// ---- List view --------------------------------------------------------------

struct SelectEvent {
  int row;
  bool selected;
  int selected_then;  // the list's selected row while the handler ran, -1 none
  bool operator==(const SelectEvent&) const = default;
};

class ListViewTest : public Components {
 protected:
  ListViewTest() {
    list.Columns = {{u"ID", 30}, {u"Attribute", 160}};
    for (const char16_t* caption : {u"01", u"03", u"05"}) list.Add().SetCaption(caption);
    list.OnSelectItem = [this](ui::TObject* sender, ui::TListItem* item, bool selected) {
      EXPECT_EQ(sender, &list);
      events.push_back({item->Index(), selected, list.Selected() ? list.Selected()->Index() : -1});
    };
  }
  ui::TListView list{&form, &form, "StatusListView"};
  std::vector<SelectEvent> events;
};

TEST_F(ListViewTest, UserSelectionRaisesTheEventPerRow) {
  struct Case {
    const char* what;
    int before;  // row selected first (-1 none); its events are not counted
    int pick;
    std::vector<SelectEvent> want;
    int selected_after;
  };
  const Case cases[] = {
      {"select a row", -1, 1, {{1, true, 1}}, 1},
      {"move the selection: loser first", 0, 2, {{0, false, -1}, {2, true, 2}}, 2},
      {"click where there is no row", 1, -1, {{1, false, -1}}, -1},
      {"click below the last row", 2, 3, {{2, false, -1}}, -1},
      {"re-select the selected row", 1, 1, {}, 1},
      {"click on no row with none selected", -1, -1, {}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    list.Select(c.before >= 0 ? &list.Item(c.before) : nullptr);
    events.clear();
    list.UserSelect(c.pick);
    EXPECT_EQ(events, c.want);
    EXPECT_EQ(list.Selected(), c.selected_after >= 0 ? &list.Item(c.selected_after) : nullptr);
  }
  EXPECT_TRUE(backend.error_reports.empty());
}

TEST_F(ListViewTest, SelectionFromCodeRaisesTheSameEvents) {
  list.Item(0).SetSelected(true);
  list.Item(0).SetSelected(true);
  list.Item(2).SetSelected(false);  // not selected: nothing
  list.Item(1).SetSelected(true);
  list.Item(1).SetSelected(false);
  const std::vector<SelectEvent> want = {
      {0, true, 0}, {0, false, -1}, {1, true, 1}, {1, false, -1}};
  EXPECT_EQ(events, want);
  EXPECT_FALSE(list.Item(1).Selected());
}

TEST_F(ListViewTest, ClearRaisesNothingAndLeavesNoSelection) {
  list.UserSelect(1);
  events.clear();
  list.Clear();
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Selected(), nullptr);
  // New rows count from 0 again and select normally.
  list.Add().SetCaption(u"C2");
  list.UserSelect(0);
  EXPECT_EQ(events, (std::vector<SelectEvent>{{0, true, 0}}));
}

TEST_F(ListViewTest, RowsKeepInsertionOrderAndEverySubItem) {
  ui::TListItem& row = list.Add();
  row.SetCaption(u"00");
  for (const char16_t* s : {u"name", u"1", u"2", u"3", u"description"}) row.SubItems().Add(s);
  ASSERT_EQ(list.Count(), 4);
  const std::vector<Text> captions = {list.Item(0).Caption(), list.Item(1).Caption(),
                                      list.Item(2).Caption(), list.Item(3).Caption()};
  EXPECT_EQ(captions, (std::vector<Text>{u"01", u"03", u"05", u"00"}));
  // Two columns, five sub-items: the ones without a column are kept.
  ASSERT_EQ(list.Item(3).SubItems().Count(), 5);
  EXPECT_EQ(list.Item(3).SubItems()[4], u"description");
  EXPECT_EQ(list.Item(3).Index(), 3);
}

TEST_F(ListViewTest, HandlerThatClearsTheListEndsTheMove) {
  list.UserSelect(0);
  list.OnSelectItem = [this](ui::TObject*, ui::TListItem* item, bool selected) {
    events.push_back({item->Index(), selected, -1});
    if (!selected) list.Clear();
  };
  events.clear();
  list.UserSelect(2);
  EXPECT_EQ(events, (std::vector<SelectEvent>{{0, false, -1}}));
  EXPECT_EQ(list.Selected(), nullptr);
}

TEST_F(ListViewTest, ErrorsGoToTheReportOnlyForUserInput) {
  list.OnSelectItem = [](ui::TObject*, ui::TListItem*, bool) {
    throw std::runtime_error("select failed");
  };
  list.UserSelect(1);
  ASSERT_EQ(backend.error_reports.size(), 1u);
  EXPECT_EQ(backend.error_reports[0].title, u"Kelvane");
  EXPECT_EQ(backend.error_reports[0].message, u"select failed");
  EXPECT_THROW(list.Item(2).SetSelected(true), std::runtime_error);
  EXPECT_EQ(backend.error_reports.size(), 1u);
}

// ---- Check box --------------------------------------------------------------

class CheckBoxTest : public Components {
 protected:
  CheckBoxTest() {
    box.OnClick = [this](ui::TObject* sender) {
      EXPECT_EQ(sender, &box);
      seen.push_back(box.Checked());
      if (hold) box.SetChecked(flag);
    };
  }
  ui::TCheckBox box{&form, &form, "SMARTCheckBox"};
  std::vector<bool> seen;  // the state each run of the handler found
  bool hold = false;       // the handler sets the box to `flag`
  bool flag = false;
};

TEST_F(CheckBoxTest, ChangeFromCodeRunsTheHandlerOnceAndSameValueNothing) {
  box.SetChecked(true);
  box.SetChecked(true);
  box.SetChecked(false);
  box.SetChecked(false);
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST_F(CheckBoxTest, UserClickFlipsAndRunsTheHandler) {
  box.UserClick();
  EXPECT_TRUE(box.Checked());
  box.UserClick();
  EXPECT_FALSE(box.Checked());
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

TEST_F(CheckBoxTest, HandlerThatSetsTheBoxBackWins) {
  struct Case {
    const char* what;
    bool start;
    bool flag;
    bool user;  // a user click; otherwise the program sets !start
    std::vector<bool> seen;
  };
  const Case cases[] = {
      {"user click, flag off", false, false, true, {true, false}},
      {"user click, flag on", true, true, true, {false, true}},
      {"program unchecks, flag on", true, true, false, {false, true}},
      {"program checks, flag on", false, true, false, {true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    hold = false;
    box.SetChecked(c.start);
    seen.clear();
    hold = true;
    flag = c.flag;
    if (c.user)
      box.UserClick();
    else
      box.SetChecked(!c.start);
    EXPECT_EQ(box.Checked(), c.flag);
    // One run per change of state, each finding the state just set.
    EXPECT_EQ(seen, c.seen);
  }
}

TEST_F(CheckBoxTest, ErrorsGoToTheReportOnlyForUserInput) {
  box.OnClick = [](ui::TObject*) { throw std::runtime_error("click failed"); };
  box.UserClick();
  ASSERT_EQ(backend.error_reports.size(), 1u);
  EXPECT_EQ(backend.error_reports[0].title, u"Kelvane");
  EXPECT_EQ(backend.error_reports[0].message, u"click failed");
  EXPECT_TRUE(box.Checked());
  EXPECT_THROW(box.SetChecked(false), std::runtime_error);
  EXPECT_EQ(backend.error_reports.size(), 1u);
}

// ---- Drop-down list ---------------------------------------------------------

class ComboBoxTest : public Components {
 protected:
  ComboBoxTest() {
    combo.Items().Add(u"Physical Drive 1");
    combo.Items().Add(u"Physical Drive 2");
    combo.OnChange = [this](ui::TObject* sender) {
      EXPECT_EQ(sender, &combo);
      changes.push_back(combo.ItemIndex());
    };
  }
  ui::TComboBox combo{&form, &form, "DriveComboBox"};
  std::vector<int> changes;  // the selection each run of OnChange found
};

TEST_F(ComboBoxTest, SelectionFromCodeRunsNothing) {
  combo.SetItemIndex(1);
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(combo.Caption(), u"Physical Drive 2");
  combo.SetItemIndex(-1);
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.Caption(), u"");
  combo.SetItemIndex(0);
  EXPECT_TRUE(changes.empty());
}

TEST_F(ComboBoxTest, UserPickRunsOnChangeOnlyWhenTheSelectionChanges) {
  combo.SetItemIndex(0);
  combo.UserSelect(1);
  EXPECT_EQ(changes, std::vector<int>{1});
  EXPECT_EQ(combo.Caption(), u"Physical Drive 2");
  combo.UserSelect(1);  // the current entry again
  EXPECT_EQ(changes, std::vector<int>{1});
  combo.UserSelect(0);
  EXPECT_EQ(changes, (std::vector<int>{1, 0}));
}

TEST_F(ComboBoxTest, ClearEmptiesEntriesTextAndSelection) {
  combo.SetItemIndex(1);
  combo.Clear();
  EXPECT_EQ(combo.Items().Count(), 0);
  EXPECT_EQ(combo.Caption(), u"");
  EXPECT_EQ(combo.ItemIndex(), -1);
  combo.UserSelect(0);  // nothing left to pick
  EXPECT_TRUE(changes.empty());
}

TEST_F(ComboBoxTest, ErrorInOnChangeFromUserGoesToTheReport) {
  combo.OnChange = [](ui::TObject*) { throw std::runtime_error("change failed"); };
  combo.UserSelect(1);
  ASSERT_EQ(backend.error_reports.size(), 1u);
  EXPECT_EQ(backend.error_reports[0].title, u"Kelvane");
  EXPECT_EQ(backend.error_reports[0].message, u"change failed");
  EXPECT_EQ(combo.ItemIndex(), 1);
}

// ---- Timer ------------------------------------------------------------------

class TimerTest : public Components {
 protected:
  TimerTest() {
    timer.SetInterval(30000);
    timer.OnTimer = [this](ui::TObject* sender) {
      EXPECT_EQ(sender, &timer);
      ticks.push_back(backend.Now());
      if (on_tick) on_tick();
    };
  }
  ui::TTimer timer{&form, "Timer", backend};
  std::vector<std::uint64_t> ticks;
  std::function<void()> on_tick;
};

TEST_F(TimerTest, TicksEveryIntervalWhileEnabled) {
  backend.Advance(60000);
  EXPECT_TRUE(ticks.empty());  // not enabled yet
  timer.SetEnabled(true);
  backend.Advance(95000);
  EXPECT_EQ(ticks, (std::vector<std::uint64_t>{90000, 120000, 150000}));
}

TEST_F(TimerTest, DisablingDiscardsTheElapsedPartAndEnablingStartsAFullPeriod) {
  timer.SetEnabled(true);
  backend.Advance(20000);
  timer.SetEnabled(false);
  backend.Advance(40000);  // the old schedule's tick at 30000 does not come
  EXPECT_TRUE(ticks.empty());
  EXPECT_EQ(backend.RunningTimers(), 0);
  timer.SetEnabled(true);  // at 60000
  backend.Advance(29999);
  EXPECT_TRUE(ticks.empty());
  backend.Advance(1);
  EXPECT_EQ(ticks, std::vector<std::uint64_t>{90000});
}

TEST_F(TimerTest, ARefreshInsideATickPushesTheNextTickAFullPeriodOn) {
  // The refresh stops the timer, reads for 400 ms, and starts it again.
  on_tick = [this] {
    timer.SetEnabled(false);
    backend.Advance(400);
    timer.SetEnabled(true);
  };
  timer.SetEnabled(true);
  backend.Advance(100000);
  EXPECT_EQ(ticks, (std::vector<std::uint64_t>{30000, 60400, 90800}));
  EXPECT_EQ(backend.RunningTimers(), 1);
}

TEST_F(TimerTest, ErrorInATickGoesToTheReportAndTheTimerGoesOn) {
  on_tick = [] { throw std::runtime_error("tick failed"); };
  timer.SetEnabled(true);
  backend.Advance(60000);
  EXPECT_EQ(ticks.size(), 2u);
  ASSERT_EQ(backend.error_reports.size(), 2u);
  EXPECT_EQ(backend.error_reports[0].title, u"Kelvane");
  EXPECT_EQ(backend.error_reports[0].message, u"tick failed");
}

TEST_F(TimerTest, DestroyedTimerStopsTicking) {
  auto other = std::make_unique<ui::TTimer>(&form, "Other", backend);
  int count = 0;
  other->OnTimer = [&](ui::TObject*) { ++count; };
  other->SetInterval(1000);
  other->SetEnabled(true);
  other.reset();
  backend.Advance(5000);
  EXPECT_EQ(count, 0);
}

// ---- Static text, errors from other user input ------------------------------

TEST_F(Components, StaticTextKeepsHintTextAndShowHint) {
  ui::TStaticText panel(&form, &form, "StatusStaticText");
  EXPECT_EQ(panel.HintText(), u"");
  EXPECT_FALSE(panel.ShowHint());
  EXPECT_FALSE(panel.AutoSize);
  panel.SetCaption(u"Count of reallocated sectors.");
  panel.SetHint(u"Count of reallocated sectors.");
  panel.SetShowHint(true);
  EXPECT_EQ(panel.HintText(), u"Count of reallocated sectors.");
  EXPECT_TRUE(panel.ShowHint());
  panel.SetHint(u"");
  panel.SetShowHint(false);
  EXPECT_EQ(panel.HintText(), u"");
  EXPECT_FALSE(panel.ShowHint());
  EXPECT_EQ(panel.Caption(), u"Count of reallocated sectors.");
}

TEST_F(Components, ErrorsFromButtonAndMinimizeGoToTheReport) {
  ui::TButton button(&form, &form, "RefrashButton");
  button.OnClick = [](ui::TObject*) { throw std::runtime_error("refresh failed"); };
  app.SetMainForm(&form);
  app.OnMinimize = [](ui::TObject*) { throw std::logic_error("hide failed"); };
  button.UserClick();
  form.UserMinimize();
  ASSERT_EQ(backend.error_reports.size(), 2u);
  EXPECT_EQ(backend.error_reports[0].message, u"refresh failed");
  EXPECT_EQ(backend.error_reports[1].message, u"hide failed");
  EXPECT_EQ(backend.error_reports[1].title, u"Kelvane");
  EXPECT_TRUE(app.Minimized());
}

TEST(Ownership, ComponentsMayOutliveTheirOwner) {
  auto owner = std::make_unique<ui::TForm>(nullptr, "F");
  ui::TCheckBox box(owner.get(), owner.get(), "C");
  ASSERT_EQ(owner->Components().size(), 1u);
  owner.reset();
  EXPECT_EQ(box.Owner(), nullptr);  // and box's destructor touches no freed list
}

// ---- Image list -------------------------------------------------------------

TEST_F(Components, ImageListStoresItsOwnCopies) {
  ui::TImageList images(&form, "ImageList");
  {
    ui::TIcon icon = MakeIcon(0x0000FF);
    images.InsertIcon(0, icon);
  }  // the icon object is freed; the list keeps its copy
  auto red = std::make_unique<ui::TIcon>(MakeIcon(0xFF0000));
  images.InsertIcon(1, *red);
  red->SetHandle(MakeImage(0x00FF00));  // given another handle
  red.reset();
  images.InsertIcon(0, MakeIcon(0x123456));  // inserts before the others
  ASSERT_EQ(images.Count(), 3);

  std::vector<std::uint32_t> colours;
  for (int i = 0; i < images.Count(); ++i) {
    ui::TIcon out;
    images.GetIcon(i, out);
    colours.push_back(ColourOf(out.Handle()));
  }
  EXPECT_EQ(colours, (std::vector<std::uint32_t>{0x123456, 0x0000FF, 0xFF0000}));

  // What GetIcon hands out is a copy too.
  ui::TIcon a, b;
  images.GetIcon(1, a);
  images.GetIcon(1, b);
  EXPECT_NE(a.Handle(), b.Handle());
}

TEST_F(Components, ImageListIndexWithoutEntryGivesEmptyIconAndInsertBeyondRaises) {
  ui::TImageList images(&form, "ImageList");
  images.InsertIcon(0, MakeIcon(1));
  for (int index : {-1, 1, 101}) {
    SCOPED_TRACE(index);
    ui::TIcon out = MakeIcon(7);
    images.GetIcon(index, out);
    EXPECT_TRUE(out.Empty());
  }
  EXPECT_THROW(images.InsertIcon(2, MakeIcon(2)), ui::EComponentError);
  EXPECT_THROW(images.InsertIcon(-1, MakeIcon(2)), ui::EComponentError);
  EXPECT_EQ(images.Count(), 1);
  images.InsertIcon(1, MakeIcon(2));  // at Count(): appends
  EXPECT_EQ(images.Count(), 2);
}

// ---- Tray icon --------------------------------------------------------------

// Records, with every call into the notification area, whether the tray icon's
// visible flag was already set.
class RecordingBackend : public ui::HeadlessBackend {
 public:
  bool NotifyIcon(ui::NotifyMessage message, const ui::TTrayIcon& icon) override {
    visible_during.push_back(icon.Visible());
    return HeadlessBackend::NotifyIcon(message, icon);
  }
  std::vector<bool> visible_during;
};

class TrayIconTest : public ::testing::Test {
 protected:
  TrayIconTest() {
    app.Title = u"Kelvane";
    app.Icon = MakeIcon(kAppColour);
    images.InsertIcon(0, app.Icon);
    for (int k = 1; k <= 3; ++k) images.InsertIcon(k, MakeIcon(static_cast<std::uint32_t>(k)));
    tray = std::make_unique<ui::TTrayIcon>(&form, "TrayIcon", backend);
    tray->Icons = &images;
  }

  std::vector<ui::NotifyMessage> Messages() const {
    std::vector<ui::NotifyMessage> m;
    for (const auto& c : backend.notify_calls) m.push_back(c.message);
    return m;
  }

  static constexpr std::uint32_t kAppColour = 0xABCDEF;
  RecordingBackend backend;
  ui::TApplication app{backend};
  ui::TForm form{nullptr, "HDForm"};
  ui::TImageList images{&form, "ImageList"};
  std::unique_ptr<ui::TTrayIcon> tray;
};

TEST_F(TrayIconTest, StartsHiddenAtIndexZeroWithTheTitleAsTooltip) {
  EXPECT_FALSE(tray->Visible());
  EXPECT_EQ(tray->IconIndex(), 0);
  EXPECT_TRUE(tray->Icon().Empty());
  EXPECT_EQ(tray->Hint, u"Kelvane");
  EXPECT_TRUE(backend.notify_calls.empty());
}

TEST_F(TrayIconTest, IndexChangeTakesACopyOfTheEntryAndModifiesOnlyWhenVisible) {
  tray->SetIconIndex(0);  // equal: nothing
  EXPECT_TRUE(tray->ShownIcon().Empty());
  tray->SetIconIndex(2);  // hidden: shown icon only
  EXPECT_EQ(ColourOf(tray->ShownIcon().Handle()), 2u);
  EXPECT_TRUE(backend.notify_calls.empty());

  tray->SetVisible(true);
  backend.notify_calls.clear();
  tray->SetIconIndex(3);
  tray->SetIconIndex(3);  // equal: nothing
  ASSERT_EQ(Messages(), std::vector<ui::NotifyMessage>{ui::NotifyMessage::Modify});
  EXPECT_EQ(ColourOf(backend.EntryIcon().get()), 3u);

  // A copy: the list's own image is not handed out.
  ui::TIcon stored;
  images.GetIcon(3, stored);
  EXPECT_NE(tray->ShownIcon().Handle(), stored.Handle());
}

TEST_F(TrayIconTest, IndexWithoutEntryShowsAnEmptyIconWithoutError) {
  tray->SetVisible(true);
  backend.notify_calls.clear();
  EXPECT_NO_THROW(tray->SetIconIndex(120));
  EXPECT_EQ(tray->IconIndex(), 120);
  EXPECT_TRUE(tray->ShownIcon().Empty());
  ASSERT_EQ(Messages(), std::vector<ui::NotifyMessage>{ui::NotifyMessage::Modify});
  EXPECT_TRUE(backend.EntryShown());  // the entry stays
  tray->SetIconIndex(1);
  EXPECT_EQ(ColourOf(backend.EntryIcon().get()), 1u);
}

TEST_F(TrayIconTest, OwnIconHandleChangesNeitherShownIconNorEntry) {
  tray->SetIconIndex(1);
  tray->Icon().SetHandle(MakeImage(0x45));
  EXPECT_EQ(ColourOf(tray->ShownIcon().Handle()), 1u);
  tray->SetVisible(true);
  EXPECT_EQ(ColourOf(tray->ShownIcon().Handle()), 0x45u);
  backend.notify_calls.clear();
  tray->Icon().SetHandle(MakeImage(0x46));  // the old handle is destroyed by the own icon
  EXPECT_EQ(ColourOf(tray->ShownIcon().Handle()), 0x45u);
  EXPECT_EQ(ColourOf(backend.EntryIcon().get()), 0x45u);
  EXPECT_TRUE(backend.notify_calls.empty());
}

TEST_F(TrayIconTest, ShowingSetsTheFlagFirstAndAddsTheOwnOrApplicationIcon) {
  struct Case {
    const char* what;
    bool own;
    std::uint32_t want;
  };
  for (const Case& c : {Case{"own icon", true, 0x45u}, Case{"no own icon", false, kAppColour}}) {
    SCOPED_TRACE(c.what);
    tray = std::make_unique<ui::TTrayIcon>(&form, "TrayIcon", backend);
    tray->Icons = &images;
    backend.notify_calls.clear();
    backend.visible_during.clear();
    if (c.own) tray->Icon().SetHandle(MakeImage(0x45));
    tray->SetVisible(true);
    EXPECT_TRUE(tray->Visible());
    EXPECT_TRUE(tray->EntryAdded());
    ASSERT_EQ(Messages(), std::vector<ui::NotifyMessage>{ui::NotifyMessage::Add});
    EXPECT_EQ(backend.visible_during, std::vector<bool>{true});
    EXPECT_EQ(ColourOf(backend.notify_calls[0].icon.get()), c.want);
    EXPECT_EQ(backend.notify_calls[0].tip, u"Kelvane");
    tray->SetVisible(true);  // already visible: nothing
    EXPECT_EQ(backend.notify_calls.size(), 1u);
  }
}

TEST_F(TrayIconTest, NoNotificationAreaRaisesWithTheFlagLeftTrue) {
  backend.notification_area = false;
  try {
    tray->SetVisible(true);
    FAIL() << "no error raised";
  } catch (const ui::EComponentError& e) {
    EXPECT_STREQ(e.what(), "Cannot create shell notification icon");
  }
  EXPECT_TRUE(tray->Visible());
  EXPECT_FALSE(tray->EntryAdded());
  EXPECT_EQ(backend.visible_during, std::vector<bool>{true});
  tray->SetVisible(true);  // the flag is set: no second try
  EXPECT_EQ(backend.notify_calls.size(), 1u);
  EXPECT_FALSE(backend.EntryShown());

  // The taskbar comes (back): the entry is added now.
  backend.notification_area = true;
  tray->TaskbarCreated();
  EXPECT_TRUE(tray->EntryAdded());
  EXPECT_TRUE(backend.EntryShown());
  EXPECT_EQ(backend.notify_calls.back().message, ui::NotifyMessage::Add);
}

TEST_F(TrayIconTest, TaskbarCreatedAddsTheEntryAgainOnlyWhenVisible) {
  tray->TaskbarCreated();
  EXPECT_TRUE(backend.notify_calls.empty());
  tray->SetVisible(true);
  tray->SetIconIndex(2);
  tray->TaskbarCreated();
  EXPECT_EQ(Messages(),
            (std::vector<ui::NotifyMessage>{ui::NotifyMessage::Add, ui::NotifyMessage::Modify,
                                            ui::NotifyMessage::Add}));
  EXPECT_EQ(ColourOf(backend.EntryIcon().get()), 2u);
}

TEST_F(TrayIconTest, DestructionDeletesTheEntry) {
  tray->SetVisible(true);
  tray.reset();
  EXPECT_EQ(Messages(),
            (std::vector<ui::NotifyMessage>{ui::NotifyMessage::Add, ui::NotifyMessage::Delete}));
  EXPECT_FALSE(backend.EntryShown());
}

TEST_F(TrayIconTest, DestructionOfANeverShownIconCallsNothing) {
  tray.reset();
  EXPECT_TRUE(backend.notify_calls.empty());
}

TEST_F(TrayIconTest, ShowIconReplacesThePictureButKeepsTheIndex) {
  tray->SetVisible(true);
  tray->SetIconIndex(2);
  backend.notify_calls.clear();
  tray->ShowIcon(MakeIcon(0x77));
  EXPECT_EQ(tray->IconIndex(), 2);
  ASSERT_EQ(Messages(), std::vector<ui::NotifyMessage>{ui::NotifyMessage::Modify});
  EXPECT_EQ(ColourOf(backend.EntryIcon().get()), 0x77u);
}

TEST_F(TrayIconTest, TheUpdateAfterEachRefresh) {
  // The window's update with temperature T: index T, and on the first update
  // an own icon drawn for T and the entry shown.
  auto update = [this](int t) {
    tray->SetIconIndex(t);
    if (!tray->Visible()) tray->Icon().SetHandle(MakeImage(0x1000u + static_cast<unsigned>(t)));
    if (!tray->Visible()) tray->SetVisible(true);
  };
  update(0);  // the index is already 0: the own drawing of "0" shows
  EXPECT_EQ(ColourOf(backend.EntryIcon().get()), 0x1000u);
  update(2);
  EXPECT_EQ(ColourOf(backend.EntryIcon().get()), 2u);
  const std::size_t calls = backend.notify_calls.size();
  update(2);  // unchanged temperature: the notification area is not touched
  EXPECT_EQ(backend.notify_calls.size(), calls);
  update(0);  // now entry 0, the application icon
  EXPECT_EQ(ColourOf(backend.EntryIcon().get()), kAppColour);
}

TEST_F(TrayIconTest, ClickRunsTheHandlerAndItsErrorsGoToTheReport) {
  int clicks = 0;
  tray->OnClick = [&](ui::TObject* sender) {
    EXPECT_EQ(sender, tray.get());
    ++clicks;
    throw std::runtime_error("restore failed");
  };
  tray->UserClick();
  EXPECT_EQ(clicks, 1);
  ASSERT_EQ(backend.error_reports.size(), 1u);
  EXPECT_EQ(backend.error_reports[0].title, u"Kelvane");
  EXPECT_EQ(backend.error_reports[0].message, u"restore failed");
}

}  // namespace
