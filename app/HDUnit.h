// The main window: the drive list, the selected drive's identity, geometry and
// SMART attribute table, the refresh cycle and the notification-area entry.
#ifndef KELVANE_APP_HDUNIT_H_
#define KELVANE_APP_HDUNIT_H_

#include <string_view>

#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ImageList.h"
#include "platform/ui/ListView.h"
#include "platform/ui/Timer.h"
#include "platform/ui/TrayIcon.h"

// The product's web address: the label shows the host, a click opens
// "https://" + host + "/".
inline constexpr std::u16string_view kWebHost = u"kelvane.example.org";

// Reaches the private routines from the tests.
class THDFormTestPeer;

class THDForm : public ui::TForm {
 public:
  // Builds the layout, starts the timer, wires the handlers and runs
  // FormCreate. Needs ui::Application; an error escaping FormCreate goes to
  // its standard error report and the window is still made.
  explicit THDForm(ui::TComponent* Owner);

  // Controls, in the nesting of the window: a parent comes before what it holds.
  ui::TButton RefrashButton{this, this, "RefrashButton"};
  ui::TGroupBox DriveGroupBox{this, this, "DriveGroupBox"};
  ui::TComboBox DriveComboBox{this, &DriveGroupBox, "DriveComboBox"};
  ui::TGroupBox TemperatureGroupBox{this, this, "TemperatureGroupBox"};
  ui::TLabel TemperatureLabel{this, &TemperatureGroupBox, "TemperatureLabel"};
  ui::TGroupBox InformationGroupBox{this, this, "InformationGroupBox"};
  ui::TCheckBox SMARTCheckBox{this, &InformationGroupBox, "SMARTCheckBox"};
  ui::TLabel BufferSizeLabel{this, &InformationGroupBox, "BufferSizeLabel"};
  ui::TEdit BufferSizeEdit{this, &InformationGroupBox, "BufferSizeEdit"};
  ui::TLabel ModelNumberLabel{this, &InformationGroupBox, "ModelNumberLabel"};
  ui::TEdit ModelNumberEdit{this, &InformationGroupBox, "ModelNumberEdit"};
  ui::TLabel Label4{this, &InformationGroupBox, "Label4"};
  ui::TEdit HeadsEdit{this, &InformationGroupBox, "HeadsEdit"};
  ui::TLabel SerialNumberLabel{this, &InformationGroupBox, "SerialNumberLabel"};
  ui::TEdit SerialNumberEdit{this, &InformationGroupBox, "SerialNumberEdit"};
  ui::TLabel CylindersLabel{this, &InformationGroupBox, "CylindersLabel"};
  ui::TEdit CylinderEdit{this, &InformationGroupBox, "CylinderEdit"};
  ui::TLabel FirmwareRevLabel{this, &InformationGroupBox, "FirmwareRevLabel"};
  ui::TEdit FirmwareRevEdit{this, &InformationGroupBox, "FirmwareRevEdit"};
  ui::TLabel SectorsPerTrackLabel{this, &InformationGroupBox, "SectorsPerTrackLabel"};
  ui::TEdit SectorsPerTrackEdit{this, &InformationGroupBox, "SectorsPerTrackEdit"};
  ui::TLabel TrackLabel{this, &InformationGroupBox, "TrackLabel"};
  ui::TGroupBox StatusGroupBox{this, this, "StatusGroupBox"};
  ui::TListView StatusListView{this, &StatusGroupBox, "StatusListView"};
  ui::TStaticText StatusStaticText{this, &StatusGroupBox, "StatusStaticText"};
  ui::TLabel WebLabel{this, this, "WebLabel"};
  ui::TTrayIcon TrayIcon{this, "TrayIcon", ui::Application->GetBackend()};
  ui::TImageList ImageList{this, "ImageList"};
  ui::TTimer Timer{this, "Timer", ui::Application->GetBackend()};

  // Event handlers. None of them reads Sender.
  void FormCreate(ui::TObject* Sender);
  void SMARTCheckBoxClick(ui::TObject* Sender);
  void WebLabelClick(ui::TObject* Sender);
  void RefrashButtonClick(ui::TObject* Sender);
  void DriveComboBoxChange(ui::TObject* Sender);
  void TimerTimer(ui::TObject* Sender);
  void StatusListViewSelectItem(ui::TObject* Sender, ui::TListItem* Item, bool Selected);
  void TrayIconClick(ui::TObject* Sender);

 private:
  friend class THDFormTestPeer;

  void BuildLayout();
  void WireHandlers();
  void BuildTrayIconSet();
  // Reads the selected drive and fills every field.
  void RefreshDriveInfo();
  void ClearDisplay();
  void ShowCurrentDisk();
  void UpdateTrayIcon();
  // Bound to the application's minimize event.
  void ApplicationMinimize(ui::TObject* Sender);
};

extern THDForm* HDForm;

#endif  // KELVANE_APP_HDUNIT_H_
