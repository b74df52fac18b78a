// The main window on the headless backend, its drives simulated.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/HDUnit.h"
#include "disk/DiskInfo.h"
#include "disk/smart.h"
#include "icons/AppIcon.h"
#include "icons/MakeIcon.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/sim/Pages.h"
#include "platform/sim/SimDevice.h"

class THDFormTestPeer {
 public:
  static void RefreshDriveInfo(THDForm& f) { f.RefreshDriveInfo(); }
};

namespace {

using ui::Text;

sim::SimDrive MakeDrive(const sim::Identity& id, const std::vector<sim::Attribute>& attributes) {
  sim::SimDrive d;
  d.identify = sim::IdentifyPage(id);
  d.smart_data = sim::SmartDataPage(attributes);
  d.thresholds = sim::ThresholdPage(attributes);
  return d;
}

// A drive whose attribute 194 carries `celsius` in its raw value (worst below
// the id); 0 gives a drive without a temperature attribute.
std::vector<sim::Attribute> TemperatureAttributes(int celsius) {
  std::vector<sim::Attribute> a = {{1, 100, 100, 0, 0x0F, 6}, {9, 98, 98, 1234, 0x32, 0}};
  if (celsius > 0) a.push_back({194, 100, 100, static_cast<std::uint64_t>(celsius), 0x22, 0});
  return a;
}

sim::SimDrive DriveAt(int celsius, const std::string& model = "SIM DISK") {
  return MakeDrive({model, "SN0001", "FW01", 16383, 16, 63, 8192}, TemperatureAttributes(celsius));
}

bool SameImage(const ui::TIconImage* a, const ui::TIconImage* b) {
  return a != nullptr && b != nullptr && a->Width == b->Width && a->Height == b->Height &&
         a->Color == b->Color && a->Mask == b->Mask;
}

bool SameImage(const ui::TIconImage* a, const ui::HICON& b) {
  return SameImage(a, b.get());
}

enum class Hue { None, Blue, Yellow, Red, Other };

// The colour of the drawn digits: the pixels where the mask shows the image.
Hue DigitHue(const ui::TIconImage* icon) {
  if (icon == nullptr) return Hue::None;
  Hue hue = Hue::None;
  for (int y = 0; y < icon->Height; ++y) {
    for (int x = 0; x < icon->Width; ++x) {
      if (icon->MaskBit(x, y)) continue;
      const std::uint32_t c = icon->ColorAt(x, y);
      const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
      Hue h = Hue::Other;
      if (b > 128 && r < 100 && g < 160) h = Hue::Blue;
      if (r > 160 && g > 160 && b < 100) h = Hue::Yellow;
      if (r > 160 && g < 100 && b < 100) h = Hue::Red;
      if (hue != Hue::None && hue != h) return Hue::Other;
      hue = h;
    }
  }
  return hue;
}

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    application_ = std::make_unique<ui::TApplication>(backend);
    application_->Title = u"Kelvane";
    application_->Icon.SetHandle(CreateApplicationIcon(32));
    CurrentDisk = TDiskInfo{};
    previous_devices_ = platform::SetDeviceBackend(&devices);
  }
  void TearDown() override {
    form_.reset();
    platform::SetDeviceBackend(previous_devices_);
  }

  THDForm& Create() {
    form_ = std::make_unique<THDForm>(nullptr);
    application_->SetMainForm(form_.get());
    return *form_;
  }
  // Shown as Run shows it (the headless message loop returns at once).
  THDForm& CreateAndShow() {
    Create();
    application_->Run();
    return *form_;
  }
  ui::TApplication& App() { return *application_; }

  // Drive number `n` now answers with temperature `celsius`.
  void SetTemperature(int celsius, std::size_t n = 0) {
    devices.drives[n].smart_data = sim::SmartDataPage(TemperatureAttributes(celsius));
    devices.drives[n].thresholds = sim::ThresholdPage(TemperatureAttributes(celsius));
  }

  ui::HeadlessBackend backend;
  sim::SimDeviceBackend devices;

 private:
  std::unique_ptr<ui::TApplication> application_;
  platform::DeviceBackend* previous_devices_ = nullptr;
  std::unique_ptr<THDForm> form_;
};

// ---- Window and layout ------------------------------------------------------

TEST_F(FormTest, WindowLayoutAndParentsBeforeChildren) {
  THDForm& f = Create();
  EXPECT_EQ(f.Caption(), u"Kelvane v1.4");
  EXPECT_EQ(f.ClientWidth(), 456);
  EXPECT_EQ(f.ClientHeight(), 518);
  EXPECT_EQ(f.Font().Name, u"Tahoma");
  EXPECT_EQ(f.Font().Height, 11);

  // Peers are made in ownership order: every parent must come first.
  const auto& list = f.Components();
  for (std::size_t i = 0; i < list.size(); ++i) {
    auto* control = dynamic_cast<ui::TControl*>(list[i]);
    if (control == nullptr || control->Parent() == &f) continue;
    const auto parent = std::find(list.begin(), list.end(), control->Parent());
    ASSERT_NE(parent, list.end()) << control->Name();
    EXPECT_LT(parent - list.begin(), static_cast<std::ptrdiff_t>(i)) << control->Name();
  }
  EXPECT_EQ(f.DriveComboBox.Parent(), &f.DriveGroupBox);
  EXPECT_EQ(f.TemperatureLabel.Parent(), &f.TemperatureGroupBox);
  EXPECT_EQ(f.TrackLabel.Parent(), &f.InformationGroupBox);
  EXPECT_EQ(f.StatusStaticText.Parent(), &f.StatusGroupBox);

  EXPECT_EQ(f.TemperatureLabel.Font().Height, 29);
  EXPECT_EQ(f.TemperatureLabel.Font().Color, ui::clHighlight);
  EXPECT_EQ(f.TemperatureLabel.Alignment, ui::TAlignment::Center);
  EXPECT_FALSE(f.TemperatureLabel.AutoSize);
  ASSERT_EQ(f.StatusListView.Columns.size(), 5u);
  EXPECT_EQ(f.StatusListView.Columns[4].Caption, u"Threshold");
  EXPECT_EQ(f.StatusListView.Columns[4].Width, 66);
  EXPECT_EQ(f.Timer.Interval(), 30000u);
  EXPECT_TRUE(f.Timer.Enabled());
}

TEST_F(FormTest, WebLabelIsCentredAndOpensTheAddressOnce) {
  THDForm& f = Create();
  EXPECT_EQ(f.WebLabel.Left(), 161);
  EXPECT_EQ(f.WebLabel.Top(), 498);
  EXPECT_EQ(f.WebLabel.Caption(), u"kelvane.example.org");
  EXPECT_EQ(f.WebLabel.Cursor, ui::TCursor::HandPoint);
  EXPECT_FALSE(f.WebLabel.ParentFont());

  f.WebLabel.UserClick();
  ASSERT_EQ(backend.shell_calls.size(), 1u);
  EXPECT_EQ(backend.shell_calls[0].owner, &f);
  EXPECT_EQ(backend.shell_calls[0].verb, u"open");
  EXPECT_EQ(backend.shell_calls[0].target, u"https://kelvane.example.org/");
}

// ---- Start-up probe ---------------------------------------------------------

TEST_F(FormTest, ProbeStopsAtTheFirstDriveThatDoesNotOpen) {
  devices.drives = {DriveAt(30, "FIRST"), DriveAt(31, "SECOND"), DriveAt(0), DriveAt(33)};
  devices.drives[2].fail_open = true;
  THDForm& f = Create();

  ASSERT_EQ(f.DriveComboBox.Items().Count(), 2);
  EXPECT_EQ(f.DriveComboBox.Items()[0], u"Physical Drive 1");
  EXPECT_EQ(f.DriveComboBox.Items()[1], u"Physical Drive 2");
  EXPECT_EQ(f.DriveComboBox.ItemIndex(), 0);
  EXPECT_EQ(f.DriveComboBox.Caption(), u"Physical Drive 1");
  EXPECT_EQ(f.ModelNumberEdit.GetText(), u"FIRST");
  EXPECT_EQ(devices.OpenHandles(), 0);

  // The probe: 0, 1, 2 and no further, read access shared for reading only;
  // then the one read of drive 0.
  ASSERT_EQ(devices.open_calls.size(), 4u);
  for (int i = 0; i < 3; ++i) {
    const auto& call = devices.open_calls[static_cast<std::size_t>(i)];
    EXPECT_EQ(call.path, DrivePath(i));
    EXPECT_EQ(call.access, platform::GENERIC_READ);
    EXPECT_EQ(call.share, platform::FILE_SHARE_READ);
  }
  EXPECT_EQ(devices.open_calls[3].path, DrivePath(0));
  EXPECT_TRUE(backend.error_reports.empty());
}

TEST_F(FormTest, NoDriveLeavesEverythingEmptyAndTheTimerOnSchedule) {
  THDForm& f = CreateAndShow();
  EXPECT_EQ(f.DriveComboBox.Items().Count(), 0);
  EXPECT_EQ(f.DriveComboBox.ItemIndex(), -1);
  EXPECT_EQ(f.TemperatureLabel.Caption(), u"");  // not the "39" of the layout
  EXPECT_EQ(f.ModelNumberEdit.GetText(), u"");
  EXPECT_EQ(f.CylinderEdit.GetText(), u"");
  EXPECT_FALSE(f.SMARTCheckBox.Checked());
  EXPECT_EQ(f.StatusListView.Count(), 0);
  EXPECT_FALSE(f.TrayIcon.Visible());
  EXPECT_TRUE(backend.notify_calls.empty());

  int ticks = 0;
  auto tick = f.Timer.OnTimer;
  f.Timer.OnTimer = [&](ui::TObject* s) {
    ++ticks;
    tick(s);
  };
  backend.Advance(15000);
  f.RefrashButton.UserClick();
  backend.Advance(14999);
  EXPECT_EQ(ticks, 0);
  backend.Advance(1);  // 30 s after the window was built, Refresh or not
  EXPECT_EQ(ticks, 1);
  backend.Advance(30000);
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(devices.open_calls.size(), 1u);  // the probe's one try
  EXPECT_EQ(f.TemperatureLabel.Caption(), u"");
  EXPECT_TRUE(backend.notify_calls.empty());
  EXPECT_TRUE(backend.error_reports.empty());
}

TEST_F(FormTest, ErrorEscapingFormCreateIsReportedAndTheWindowStillMade) {
  struct ThrowingOpen : sim::SimDeviceBackend {
    platform::THandle Open(const std::u16string&, std::uint32_t, std::uint32_t) override {
      throw std::runtime_error("device layer gone");
    }
  } broken;
  platform::SetDeviceBackend(&broken);
  THDForm& f = Create();
  ASSERT_EQ(backend.error_reports.size(), 1u);
  EXPECT_EQ(backend.error_reports[0].title, u"Kelvane");
  EXPECT_EQ(backend.error_reports[0].message, u"device layer gone");
  EXPECT_EQ(f.Caption(), u"Kelvane v1.4");
  EXPECT_TRUE(f.Timer.Enabled());
  platform::SetDeviceBackend(&devices);
}

// ---- Refresh cycle ----------------------------------------------------------

TEST_F(FormTest, FieldsShowTheDriveAsRead) {
  devices.drives = {MakeDrive({"Caf\xE9 \x80 Drive", "S\x9D", "1.0", 16383, 16, 63, 8192},
                              TemperatureAttributes(45))};
  THDForm& f = Create();
  EXPECT_EQ(f.TemperatureLabel.Caption(), u"45 \u00B0C");
  EXPECT_EQ(f.ModelNumberEdit.GetText(), u"Caf\u00E9 \u20AC Drive");
  EXPECT_EQ(f.SerialNumberEdit.GetText(), u"S\u009D");
  EXPECT_EQ(f.FirmwareRevEdit.GetText(), u"1.0");
  EXPECT_EQ(f.CylinderEdit.GetText(), u"16383");
  EXPECT_EQ(f.HeadsEdit.GetText(), u"16");
  EXPECT_EQ(f.SectorsPerTrackEdit.GetText(), u"63");
  EXPECT_EQ(f.BufferSizeEdit.GetText(), u"8192");
  EXPECT_TRUE(f.SMARTCheckBox.Checked());
  ASSERT_EQ(f.StatusListView.Count(), 3);
  EXPECT_EQ(f.StatusListView.Item(2).Caption(), u"C2");
}

TEST_F(FormTest, TemperatureText) {
  const struct {
    int celsius;
    const char16_t* shown;
  } cases[] = {{45, u"45 \u00B0C"}, {255, u"255 \u00B0C"}, {1, u"1 \u00B0C"}, {0, u""}};
  devices.drives = {DriveAt(20)};
  THDForm& f = Create();
  for (const auto& c : cases) {
    SetTemperature(c.celsius);
    f.RefrashButton.UserClick();
    EXPECT_EQ(f.TemperatureLabel.Caption(), c.shown) << c.celsius;
  }
}

TEST_F(FormTest, RefreshMovesTheNextTickToAFullPeriodAfterIt) {
  devices.drives = {DriveAt(40)};
  THDForm& f = Create();
  const int after_start = devices.Opens();
  backend.Advance(20000);
  f.RefrashButton.UserClick();  // 10 s before the tick
  EXPECT_EQ(devices.Opens(), after_start + 1);
  backend.Advance(29999);
  EXPECT_EQ(devices.Opens(), after_start + 1);
  backend.Advance(1);
  EXPECT_EQ(devices.Opens(), after_start + 2);
  backend.Advance(30000);
  EXPECT_EQ(devices.Opens(), after_start + 3);
}

TEST_F(FormTest, SecondEntryReadsDriveNumberOne) {
  devices.drives = {DriveAt(30, "ZERO"), DriveAt(31, "ONE")};
  THDForm& f = Create();
  f.DriveComboBox.UserSelect(1);
  EXPECT_EQ(devices.open_calls.back().path, DrivePath(1));
  EXPECT_EQ(devices.exchanges.back().drive, 1);
  EXPECT_EQ(f.ModelNumberEdit.GetText(), u"ONE");
  EXPECT_EQ(f.TemperatureLabel.Caption(), u"31 \u00B0C");
  // The timer reads the entry now selected.
  backend.Advance(30000);
  EXPECT_EQ(devices.open_calls.back().path, DrivePath(1));
}

TEST_F(FormTest, RemovedDriveShowsTheResetRecordWithoutAReport) {
  devices.drives = {DriveAt(40)};
  THDForm& f = Create();
  ASSERT_EQ(f.StatusListView.Count(), 3);
  devices.drives[0].fail_open = true;
  f.RefrashButton.UserClick();
  EXPECT_EQ(f.TemperatureLabel.Caption(), u"");
  EXPECT_EQ(f.ModelNumberEdit.GetText(), u"");
  EXPECT_EQ(f.SerialNumberEdit.GetText(), u"");
  EXPECT_EQ(f.FirmwareRevEdit.GetText(), u"");
  for (const ui::TEdit* e :
       {&f.CylinderEdit, &f.HeadsEdit, &f.BufferSizeEdit, &f.SectorsPerTrackEdit})
    EXPECT_EQ(e->GetText(), u"0") << e->Name();
  EXPECT_FALSE(f.SMARTCheckBox.Checked());
  EXPECT_EQ(f.StatusListView.Count(), 0);
  EXPECT_TRUE(backend.error_reports.empty());
}

TEST_F(FormTest, CheckBoxFollowsTheSmartFlagAndIgnoresClicks) {
  devices.drives = {DriveAt(40)};
  THDForm& f = Create();
  for (const bool answers : {true, false, true}) {
    devices.drives[0].fail_version = !answers;
    f.RefrashButton.UserClick();
    EXPECT_EQ(f.SMARTCheckBox.Checked(), answers);
    f.SMARTCheckBox.UserClick();
    EXPECT_EQ(f.SMARTCheckBox.Checked(), answers);
    f.SMARTCheckBox.UserClick();
    EXPECT_EQ(f.SMARTCheckBox.Checked(), answers);
  }
  EXPECT_TRUE(backend.error_reports.empty());
}

// A drive layer that fails with an error (not a false result) once the
// IDENTIFY page is in: on the SMART READ DATA request.
struct ThrowingAfterIdentify : sim::SimDeviceBackend {
  bool armed = false;
  bool Control(platform::THandle handle, std::uint32_t code, const void* in, std::uint32_t in_len,
               void* out, std::uint32_t out_len, std::uint32_t* returned) override {
    if (armed && code == SMART_RCV_DRIVE_DATA) {
      SENDCMDINPARAMS req{};
      std::memcpy(&req, in, SENDCMDINPARAMS_SENT);
      if (req.irDriveRegs.bCommandReg == SMART_CMD) throw std::runtime_error("bus reset");
    }
    return sim::SimDeviceBackend::Control(handle, code, in, in_len, out, out_len, returned);
  }
};

TEST_F(FormTest, FailureInTheReadLeavesLaterFieldsClearedAndTheTimerRunning) {
  ThrowingAfterIdentify throwing;
  throwing.drives = {DriveAt(40)};
  platform::SetDeviceBackend(&throwing);
  THDForm& f = Create();
  ASSERT_EQ(f.ModelNumberEdit.GetText(), u"SIM DISK");
  ASSERT_TRUE(f.TrayIcon.Visible());
  const std::size_t notify_calls = backend.notify_calls.size();

  throwing.armed = true;
  throwing.drives[0].identify = sim::IdentifyPage({"OTHER", "S2", "F2", 1, 2, 3, 4});
  f.RefrashButton.UserClick();
  EXPECT_TRUE(backend.error_reports.empty());
  EXPECT_EQ(f.TemperatureLabel.Caption(), u"");
  EXPECT_EQ(f.ModelNumberEdit.GetText(), u"");
  EXPECT_EQ(f.HeadsEdit.GetText(), u"");
  EXPECT_EQ(f.BufferSizeEdit.GetText(), u"");
  EXPECT_EQ(f.StatusListView.Count(), 0);
  EXPECT_TRUE(f.SMARTCheckBox.Checked());  // the previous read's flag, not yet rewritten
  EXPECT_EQ(backend.notify_calls.size(), notify_calls);  // the tray step was not reached
  EXPECT_EQ(throwing.OpenHandles(), 0);  // the drive was closed all the same

  // The timer goes on: the next tick reads again, 30 s after the failed refresh.
  const int opens = throwing.Opens();
  throwing.armed = false;
  backend.Advance(29999);
  EXPECT_EQ(throwing.Opens(), opens);
  backend.Advance(1);
  EXPECT_EQ(throwing.Opens(), opens + 1);
  EXPECT_EQ(f.ModelNumberEdit.GetText(), u"OTHER");
  platform::SetDeviceBackend(&devices);
}

TEST_F(FormTest, ErrorWhileClearingReachesTheErrorReportWithTheTimerRestarted) {
  devices.drives = {DriveAt(40)};
  THDForm& f = Create();
  ASSERT_TRUE(f.SMARTCheckBox.Checked());
  f.SMARTCheckBox.OnClick = [](ui::TObject*) { throw std::runtime_error("cannot clear"); };

  // Called directly, the error comes out of the refresh...
  EXPECT_THROW(THDFormTestPeer::RefreshDriveInfo(f), std::runtime_error);
  EXPECT_TRUE(f.Timer.Enabled());

  // ...and started by the user, it reaches the standard error report.
  f.SMARTCheckBox.OnClick = [&f](ui::TObject*) {
    if (!f.SMARTCheckBox.Checked()) throw std::runtime_error("cannot clear");
  };
  f.SMARTCheckBox.SetChecked(true);
  const int opens = devices.Opens();
  backend.Advance(10000);
  f.RefrashButton.UserClick();
  ASSERT_EQ(backend.error_reports.size(), 1u);
  EXPECT_EQ(backend.error_reports[0].title, u"Kelvane");
  EXPECT_EQ(backend.error_reports[0].message, u"cannot clear");
  EXPECT_EQ(devices.Opens(), opens);  // nothing was read
  EXPECT_TRUE(f.Timer.Enabled());
  backend.Advance(29999);
  EXPECT_EQ(devices.Opens(), opens);
  backend.Advance(1);  // a full period after the failed refresh
  EXPECT_EQ(devices.Opens(), opens + 1);
}

// ---- Description panel ------------------------------------------------------

TEST_F(FormTest, PanelShowsTheSelectedDescriptionWithAHintForLongOnes) {
  devices.drives = {
      MakeDrive({"M", "S", "F"}, {{5, 100, 100, 0, 0x33, 36}, {9, 99, 99, 5, 0x32, 0}})};
  THDForm& f = Create();
  const Text long_description = GetAttributeDescription(5);
  ASSERT_EQ(long_description.size(), 502u);
  EXPECT_EQ(f.StatusStaticText.Caption(), long_description);
  EXPECT_EQ(f.StatusStaticText.HintText(), long_description);
  EXPECT_TRUE(f.StatusStaticText.ShowHint());

  f.StatusListView.UserSelect(1);
  EXPECT_EQ(f.StatusStaticText.Caption(), GetAttributeDescription(9));
  EXPECT_EQ(f.StatusStaticText.HintText(), u"");
  EXPECT_FALSE(f.StatusStaticText.ShowHint());

  // A click where there is no row: the row loses the selection, the panel stays.
  f.StatusListView.UserSelect(-1);
  EXPECT_EQ(f.StatusListView.Selected(), nullptr);
  EXPECT_EQ(f.StatusStaticText.Caption(), GetAttributeDescription(9));
}

TEST_F(FormTest, HintThresholdIs326Characters) {
  devices.drives = {DriveAt(40)};
  THDForm& f = Create();
  const struct {
    std::size_t length;
    bool hint;
  } cases[] = {{326, true}, {325, false}, {1000, true}, {0, false}};
  for (const auto& c : cases) {
    ui::TListItem& row = f.StatusListView.Add();
    row.SetCaption(u"FE");
    for (const char16_t* s : {u"Custom", u"1", u"1", u"0"}) row.SubItems().Add(s);
    const Text description(c.length, u'x');
    row.SubItems().Add(description);
    f.StatusListView.UserSelect(row.Index());
    EXPECT_EQ(f.StatusStaticText.Caption(), description) << c.length;
    EXPECT_EQ(f.StatusStaticText.ShowHint(), c.hint) << c.length;
    EXPECT_EQ(f.StatusStaticText.HintText(), c.hint ? description : Text()) << c.length;
  }
}

// ---- Tray presence ----------------------------------------------------------

TEST_F(FormTest, IconSetHoldsTheApplicationIconAndTheColouredNumbers) {
  THDForm& f = Create();
  ASSERT_EQ(f.ImageList.Count(), 101);
  ui::TIcon entry;
  f.ImageList.GetIcon(0, entry);
  EXPECT_TRUE(SameImage(entry.Handle(), App().Icon.Handle()));

  const struct {
    int index;
    Hue hue;
  } cases[] = {{1, Hue::Blue},    {50, Hue::Blue}, {51, Hue::Yellow},
               {60, Hue::Yellow}, {61, Hue::Red},  {100, Hue::Red}};
  for (const auto& c : cases) {
    f.ImageList.GetIcon(c.index, entry);
    EXPECT_TRUE(SameImage(entry.Handle(), CreateTemperatureIcon(c.index))) << c.index;
    EXPECT_EQ(DigitHue(entry.Handle()), c.hue) << c.index;
  }
  f.ImageList.GetIcon(101, entry);
  EXPECT_TRUE(entry.Empty());
}

TEST_F(FormTest, TrayFollowsTheTemperature) {
  devices.drives = {DriveAt(0)};
  THDForm& f = Create();
  // The first update draws the number at once: a blue "0", not the application icon.
  ASSERT_TRUE(backend.EntryShown());
  EXPECT_TRUE(SameImage(backend.EntryIcon().get(), CreateTemperatureIcon(0)));
  EXPECT_FALSE(SameImage(backend.EntryIcon().get(), App().Icon.Handle()));
  EXPECT_EQ(DigitHue(backend.EntryIcon().get()), Hue::Blue);
  EXPECT_EQ(backend.EntryIcon()->Width, 16);
  EXPECT_EQ(backend.notify_calls.front().tip, u"Kelvane");

  SetTemperature(40);
  f.RefrashButton.UserClick();
  EXPECT_TRUE(SameImage(backend.EntryIcon().get(), CreateTemperatureIcon(40)));

  SetTemperature(0);
  f.RefrashButton.UserClick();
  EXPECT_TRUE(SameImage(backend.EntryIcon().get(), App().Icon.Handle()));
  EXPECT_TRUE(backend.error_reports.empty());
}

TEST_F(FormTest, UnchangedTemperatureLeavesTheEntryUntouched) {
  devices.drives = {DriveAt(45)};
  THDForm& f = Create();
  ASSERT_EQ(backend.notify_calls.size(), 1u);
  EXPECT_EQ(backend.notify_calls[0].message, ui::NotifyMessage::Add);
  EXPECT_TRUE(SameImage(backend.EntryIcon().get(), CreateTemperatureIcon(45)));
  f.RefrashButton.UserClick();
  backend.Advance(60000);
  EXPECT_EQ(backend.notify_calls.size(), 1u);
}

TEST_F(FormTest, TemperaturesAbove100AreDrawnInRed) {
  devices.drives = {DriveAt(120)};
  THDForm& f = Create();
  EXPECT_TRUE(SameImage(backend.EntryIcon().get(), CreateTemperatureIcon(120)));
  EXPECT_EQ(DigitHue(backend.EntryIcon().get()), Hue::Red);

  SetTemperature(130);
  f.RefrashButton.UserClick();
  EXPECT_TRUE(SameImage(backend.EntryIcon().get(), CreateTemperatureIcon(130)));
  EXPECT_EQ(DigitHue(backend.EntryIcon().get()), Hue::Red);

  const std::size_t calls = backend.notify_calls.size();
  f.RefrashButton.UserClick();  // 130 again: nothing to do
  EXPECT_EQ(backend.notify_calls.size(), calls);

  SetTemperature(45);  // back in the icon set
  f.RefrashButton.UserClick();
  EXPECT_TRUE(SameImage(backend.EntryIcon().get(), CreateTemperatureIcon(45)));
}

TEST_F(FormTest, MinimizeHidesToTheTrayAndAClickBringsTheWindowBack) {
  devices.drives = {DriveAt(45)};
  THDForm& f = CreateAndShow();
  ASSERT_TRUE(f.Visible());
  f.UserMinimize();
  EXPECT_FALSE(f.Visible());
  EXPECT_TRUE(App().Minimized());
  EXPECT_TRUE(backend.EntryShown());

  // The timer goes on while hidden, and the entry follows.
  SetTemperature(52);
  backend.Advance(30000);
  EXPECT_TRUE(SameImage(backend.EntryIcon().get(), CreateTemperatureIcon(52)));

  f.TrayIcon.UserClick();
  EXPECT_TRUE(f.Visible());
  EXPECT_FALSE(App().Minimized());
  EXPECT_EQ(f.WindowState(), ui::TWindowState::Normal);

  // A click while shown changes nothing but the order.
  f.TrayIcon.UserClick();
  EXPECT_TRUE(f.Visible());
  EXPECT_EQ(f.WindowState(), ui::TWindowState::Normal);
  EXPECT_TRUE(backend.error_reports.empty());
}

TEST_F(FormTest, WithoutATrayEntryMinimizeKeepsTheWindowReachable) {
  THDForm& f = CreateAndShow();
  f.UserMinimize();
  EXPECT_TRUE(f.Visible());
  EXPECT_EQ(f.WindowState(), ui::TWindowState::Minimized);
  f.UserRestore();
  EXPECT_EQ(f.WindowState(), ui::TWindowState::Normal);
  EXPECT_FALSE(App().Minimized());
}

TEST_F(FormTest, MissingNotificationAreaIsSwallowedUntilTheTaskbarAppears) {
  backend.notification_area = false;
  devices.drives = {DriveAt(45)};
  THDForm& f = CreateAndShow();
  EXPECT_TRUE(backend.error_reports.empty());
  EXPECT_TRUE(f.TrayIcon.Visible());
  EXPECT_FALSE(f.TrayIcon.EntryAdded());
  EXPECT_EQ(f.SectorsPerTrackEdit.GetText(), u"63");  // written before the tray step

  // The window minimizes but stays reachable while there is no entry.
  f.UserMinimize();
  EXPECT_TRUE(f.Visible());
  f.UserRestore();

  SetTemperature(47);
  f.RefrashButton.UserClick();
  EXPECT_TRUE(backend.error_reports.empty());
  EXPECT_FALSE(backend.EntryShown());

  backend.notification_area = true;
  f.TrayIcon.TaskbarCreated();
  EXPECT_TRUE(backend.EntryShown());
  EXPECT_TRUE(SameImage(backend.EntryIcon().get(), CreateTemperatureIcon(47)));
  f.UserMinimize();
  EXPECT_FALSE(f.Visible());
}

}  // namespace
