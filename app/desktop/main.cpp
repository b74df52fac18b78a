// The desktop program: Qt 6 Widgets on the Linux drives.
#include <QApplication>

#include "app/Kelvane.h"
#include "platform/Device.h"
#include "platform/linux/LinuxDevice.h"
#include "platform/qt/QtBackend.h"

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kelvane"));
  QApplication::setDesktopFileName(QStringLiteral("kelvane"));

  platform::linux_device::LinuxDeviceBackend drives;
  platform::DeviceBackend* previous = platform::SetDeviceBackend(&drives);
  int code = 0;
  {
    ui::QtBackend backend;
    code = Kelvane(backend);
  }
  platform::SetDeviceBackend(previous);
  return code;
}
