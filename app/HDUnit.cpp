#include "app/HDUnit.h"

#include <string>

#include "disk/DiskInfo.h"
#include "icons/MakeIcon.h"
#include "platform/CodePage.h"
#include "platform/Device.h"

THDForm* HDForm = nullptr;

namespace {

constexpr unsigned kRefreshInterval = 30000;  // ms
// The tray icon set: entry 0 the application icon, 1 to 100 the numbers.
constexpr int kHighestIconEntry = 100;
// From this length on, the description panel also shows its text as a hint.
constexpr std::size_t kHintLength = 326;

const ui::Text kDrivePrefix = u"Physical Drive ";

ui::Text WebAddress() {
  return u"https://" + ui::Text(kWebHost) + u"/";
}

ui::Text TemperatureText(std::int32_t celsius) {
  if (celsius <= 0) return {};
  return ui::IntToText(celsius) + u" \u00B0C";
}

void PlaceLabel(ui::TLabel& label, int left, int top, int width, const char16_t* caption) {
  label.SetBounds(left, top, width, 13);
  label.SetCaption(caption);
  label.Alignment = ui::TAlignment::RightJustify;
}

void PlaceEdit(ui::TEdit& edit, int left, int top, int width, int tab) {
  edit.SetBounds(left, top, width, 21);
  edit.ReadOnly = true;
  edit.SetTabOrder(tab);
}

}  // namespace

THDForm::THDForm(ui::TComponent* Owner) : ui::TForm(Owner, "HDForm") {
  BuildLayout();
  WireHandlers();
  // The timer runs from the moment the window is built; the first refresh
  // restarts it.
  Timer.SetInterval(kRefreshInterval);
  Timer.SetEnabled(true);
  ui::Application->Dispatch([this] { FormCreate(this); });
}

void THDForm::BuildLayout() {
  SetCaption(u"Kelvane v1.4");
  SetClientSize(456, 518);
  Color = ui::clBtnFace;
  SetFont(ui::TFont{});  // Tahoma 11 px, window-text colour

  RefrashButton.SetBounds(366, 30, 76, 25);
  RefrashButton.SetCaption(u"Refresh");
  RefrashButton.SetTabOrder(0);

  DriveGroupBox.SetBounds(12, 8, 174, 60);
  DriveGroupBox.SetCaption(u"Hard Drive");
  DriveGroupBox.SetTabOrder(1);
  DriveComboBox.SetBounds(16, 24, 140, 21);
  DriveComboBox.ItemHeight = 13;
  DriveComboBox.SetTabOrder(0);

  TemperatureGroupBox.SetBounds(220, 8, 120, 60);
  TemperatureGroupBox.SetCaption(u"Temperature");
  TemperatureGroupBox.SetTabOrder(2);
  TemperatureLabel.SetBounds(10, 16, 100, 35);
  TemperatureLabel.SetCaption(u"39");
  TemperatureLabel.AutoSize = false;
  TemperatureLabel.Alignment = ui::TAlignment::Center;
  TemperatureLabel.SetFont(ui::TFont{u"Tahoma", 29, false, ui::clHighlight});

  InformationGroupBox.SetBounds(12, 74, 430, 152);
  InformationGroupBox.SetCaption(u"Diver Information");
  InformationGroupBox.SetTabOrder(3);
  SMARTCheckBox.SetBounds(18, 24, 121, 17);
  SMARTCheckBox.SetCaption(u"S.M.A.R.T Enabled");
  SMARTCheckBox.SetTabOrder(0);
  PlaceLabel(BufferSizeLabel, 242, 25, 56, u"Buffer Size:");
  PlaceEdit(BufferSizeEdit, 304, 22, 100, 1);
  PlaceLabel(ModelNumberLabel, 16, 65, 72, u"Model Number:");
  PlaceEdit(ModelNumberEdit, 94, 62, 140, 2);
  PlaceLabel(Label4, 264, 65, 34, u"Heads:");
  PlaceEdit(HeadsEdit, 304, 62, 62, 5);
  PlaceLabel(SerialNumberLabel, 18, 92, 70, u"Serial Number:");
  PlaceEdit(SerialNumberEdit, 94, 89, 140, 3);
  PlaceLabel(CylindersLabel, 250, 92, 48, u"Cylinders:");
  PlaceEdit(CylinderEdit, 304, 89, 62, 6);
  PlaceLabel(FirmwareRevLabel, 18, 116, 70, u"Firmware Rev:");
  PlaceEdit(FirmwareRevEdit, 94, 116, 140, 4);
  PlaceLabel(SectorsPerTrackLabel, 258, 119, 40, u"Sectors:");
  PlaceEdit(SectorsPerTrackEdit, 304, 116, 62, 7);
  PlaceLabel(TrackLabel, 374, 119, 43, u"per track");

  StatusGroupBox.SetBounds(12, 232, 430, 262);
  StatusGroupBox.SetCaption(u"Drive Status");
  StatusGroupBox.SetTabOrder(4);
  StatusListView.SetBounds(12, 22, 406, 175);
  StatusListView.Columns = {
      {u"ID", 30}, {u"Attribute", 160}, {u"Value", 63}, {u"Worst", 63}, {u"Threshold", 66}};
  StatusListView.ShowColumnHeaders = true;
  StatusListView.ReadOnly = true;
  StatusListView.RowSelect = true;
  StatusListView.HideSelection = true;
  StatusListView.GridLines = false;
  StatusListView.SetTabOrder(0);
  StatusStaticText.SetBounds(12, 203, 400, 52);
  StatusStaticText.AutoSize = false;
  StatusStaticText.SetTabOrder(1);

  // Laid out at the width of its text; FormCreate centres it.
  WebLabel.SetBounds(0, 498, 133, 13);
  WebLabel.SetCaption(ui::Text(kWebHost));
  WebLabel.Alignment = ui::TAlignment::RightJustify;
  WebLabel.Cursor = ui::TCursor::HandPoint;
  WebLabel.SetFont(ui::TFont{u"Tahoma", 11, false, ui::clWindowText});

  TrayIcon.Icons = &ImageList;
  TrayIcon.AnimateInterval = 100;
  TrayIcon.Animate = false;

  ImageList.Width = 16;
  ImageList.Height = 16;
}

void THDForm::WireHandlers() {
  RefrashButton.OnClick = [this](ui::TObject* Sender) { RefrashButtonClick(Sender); };
  DriveComboBox.OnChange = [this](ui::TObject* Sender) { DriveComboBoxChange(Sender); };
  SMARTCheckBox.OnClick = [this](ui::TObject* Sender) { SMARTCheckBoxClick(Sender); };
  StatusListView.OnSelectItem = [this](ui::TObject* Sender, ui::TListItem* Item, bool Selected) {
    StatusListViewSelectItem(Sender, Item, Selected);
  };
  WebLabel.OnClick = [this](ui::TObject* Sender) { WebLabelClick(Sender); };
  TrayIcon.OnClick = [this](ui::TObject* Sender) { TrayIconClick(Sender); };
  Timer.OnTimer = [this](ui::TObject* Sender) { TimerTimer(Sender); };
}

void THDForm::FormCreate(ui::TObject*) {
  WebLabel.SetLeft((ClientWidth() - WebLabel.Width()) / 2);

  DriveComboBox.Clear();

  // Every drive number that opens, up to the first that does not. Nothing
  // is read here.
  for (std::int32_t i = 0;; ++i) {
    const platform::THandle h =
        platform::OpenDevice(DrivePath(i), platform::GENERIC_READ, platform::FILE_SHARE_READ);
    if (h == platform::INVALID_HANDLE_VALUE) break;
    DriveComboBox.Items().Add(kDrivePrefix + ui::IntToText(i + 1));
    platform::CloseDevice(h);
  }

  BuildTrayIconSet();

  DriveComboBox.SetItemIndex(-1);
  if (DriveComboBox.Items().Count() > 0) {
    DriveComboBox.SetItemIndex(0);  // from code: no change event
    RefreshDriveInfo();
  } else {
    // No drive will ever be read: no temperature to show.
    TemperatureLabel.SetCaption(ui::Text());
  }

  ui::Application->OnMinimize = [this](ui::TObject* Sender) { ApplicationMinimize(Sender); };
}

void THDForm::BuildTrayIconSet() {
  ImageList.InsertIcon(0, ui::Application->Icon);
  for (int k = 1; k <= kHighestIconEntry; ++k) {
    ui::TIcon icon;
    icon.SetHandle(CreateTemperatureIcon(k));
    ImageList.InsertIcon(k, icon);
  }
}

void THDForm::SMARTCheckBoxClick(ui::TObject*) {
  // The box shows the flag and nothing else: any change sets it straight back.
  SMARTCheckBox.SetChecked(CurrentDisk.SmartSupported);
}

void THDForm::WebLabelClick(ui::TObject*) {
  ui::Application->GetBackend().ShellExecute(this, u"open", WebAddress());
}

void THDForm::RefrashButtonClick(ui::TObject*) {
  RefreshDriveInfo();
}

void THDForm::DriveComboBoxChange(ui::TObject*) {
  if (DriveComboBox.Items().Count() > 0) RefreshDriveInfo();
}

void THDForm::TimerTimer(ui::TObject*) {
  RefreshDriveInfo();
}

void THDForm::StatusListViewSelectItem(ui::TObject*, ui::TListItem* Item, bool) {
  if (Item == nullptr) return;
  const ui::TStrings& sub = Item->SubItems();
  StatusStaticText.SetCaption(sub.Count() > 4 ? sub[4] : ui::Text());
  const ui::Text& shown = StatusStaticText.Caption();
  if (shown.size() >= kHintLength) {
    StatusStaticText.SetHint(shown);
    StatusStaticText.SetShowHint(true);
  } else {
    StatusStaticText.SetHint(ui::Text());
    StatusStaticText.SetShowHint(false);
  }
}

void THDForm::RefreshDriveInfo() {
  if (DriveComboBox.Items().Count() == 0) return;
  if (DriveComboBox.ItemIndex() < 0) return;

  Timer.SetEnabled(false);
  try {
    ClearDisplay();
    try {
      ReadDiskInfo(DriveComboBox.ItemIndex());
      FillAttributeList(StatusListView);
      ShowCurrentDisk();
      UpdateTrayIcon();
    } catch (...) {
      // A drive that fails half-way shows what was written before; nothing
      // is reported.
    }
  } catch (...) {
    Timer.SetEnabled(true);
    throw;
  }
  // A full period from the end of this read.
  Timer.SetEnabled(true);
}

void THDForm::ClearDisplay() {
  // Runs SMARTCheckBoxClick, which puts back the previous read's flag until
  // the new one is written.
  SMARTCheckBox.SetChecked(false);
  TemperatureLabel.SetCaption(ui::Text());
  SerialNumberEdit.SetText(ui::Text());
  CylinderEdit.SetText(ui::Text());
  ModelNumberEdit.SetText(ui::Text());
  FirmwareRevEdit.SetText(ui::Text());
  HeadsEdit.SetText(ui::Text());
  BufferSizeEdit.SetText(ui::Text());
  SectorsPerTrackEdit.SetText(ui::Text());
  StatusListView.Clear();
}

void THDForm::ShowCurrentDisk() {
  TemperatureLabel.SetCaption(TemperatureText(CurrentDisk.Temperature));
  SerialNumberEdit.SetText(platform::AnsiToText(CurrentDisk.SerialNumber));
  CylinderEdit.SetText(ui::IntToText(CurrentDisk.Cylinders));
  ModelNumberEdit.SetText(platform::AnsiToText(CurrentDisk.ModelNumber));
  FirmwareRevEdit.SetText(platform::AnsiToText(CurrentDisk.FirmwareRev));
  SMARTCheckBox.SetChecked(CurrentDisk.SmartSupported);
  HeadsEdit.SetText(ui::IntToText(CurrentDisk.Heads));
  BufferSizeEdit.SetText(ui::IntToText(CurrentDisk.BufferSize));
  SectorsPerTrackEdit.SetText(ui::IntToText(CurrentDisk.SectorsPerTrack));
}

void THDForm::UpdateTrayIcon() {
  const std::int32_t t = CurrentDisk.Temperature;
  const bool changed = TrayIcon.IconIndex() != t;
  TrayIcon.SetIconIndex(t);
  // The icon set stops at 100: a higher number is drawn when it comes. An
  // unchanged one keeps what the entry shows.
  if (changed && t > kHighestIconEntry && TrayIcon.Visible()) {
    ui::TIcon drawn;
    drawn.SetHandle(CreateTemperatureIcon(t));
    TrayIcon.ShowIcon(drawn);
  }
  // Only the first update shows the entry, with the number drawn at once.
  if (!TrayIcon.Visible()) TrayIcon.Icon().SetHandle(CreateTemperatureIcon(t));
  if (!TrayIcon.Visible()) TrayIcon.SetVisible(true);
}

void THDForm::ApplicationMinimize(ui::TObject*) {
  // Without an entry in the notification area a hidden window could not be
  // brought back: it then stays minimized on the taskbar.
  if (TrayIcon.Visible() && TrayIcon.EntryAdded()) Hide();
}

void THDForm::TrayIconClick(ui::TObject*) {
  Show();
  ui::Application->Restore();
  ui::Application->NormalizeTopMosts();
  SetActiveWindow();
  SetFocus();
  SetFocus();
  // Lifted above every window, then out of the top-most band again: in front
  // of the ordinary windows without staying on top.
  SetTopMost(true);
  SetTopMost(false);
}
