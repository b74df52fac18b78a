// The temperature icon renderer: a number as coloured digits on a transparent
// 16x16 icon, blue up to 50, yellow from 51 to 60, red from 61.
#ifndef KELVANE_ICONS_MAKEICON_H_
#define KELVANE_ICONS_MAKEICON_H_

#include "platform/ui/Icon.h"

// A new icon the caller owns. Keeps nothing between calls.
ui::HICON CreateTemperatureIcon(int Value);

#endif  // KELVANE_ICONS_MAKEICON_H_
