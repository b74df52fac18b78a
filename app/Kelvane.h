// The program entry, the same for every front end: the front end's main()
// makes its backend and hands it over.
#ifndef KELVANE_APP_KELVANE_H_
#define KELVANE_APP_KELVANE_H_

#include "platform/ui/Component.h"

// Starts the application on `backend`, shows the main window and runs the
// message loop until the window is closed. Returns the exit code, 0.
int Kelvane(ui::Backend& backend);

#endif  // KELVANE_APP_KELVANE_H_
