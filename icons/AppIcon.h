// The application icon: a drive with a thermometer, as 16x16 and 32x32 images.
#ifndef KELVANE_ICONS_APPICON_H_
#define KELVANE_ICONS_APPICON_H_

#include "platform/ui/Icon.h"

// `size` is 16 or 32; any other size gives the 16x16 image.
ui::HICON CreateApplicationIcon(int size);

#endif  // KELVANE_ICONS_APPICON_H_
