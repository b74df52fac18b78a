#include "app/Kelvane.h"

#include <memory>

#include "app/HDUnit.h"
#include "icons/AppIcon.h"
#include "platform/ui/Application.h"

int Kelvane(ui::Backend& backend) {
  ui::TApplication application(backend);
  application.Initialize();
  application.MainFormOnTaskBar = true;
  // Before the window: its tray icon takes the title as its tooltip.
  application.Title = u"Kelvane";
  application.Icon.SetHandle(CreateApplicationIcon(32));

  auto form = std::make_unique<THDForm>(nullptr);
  HDForm = form.get();
  application.SetMainForm(HDForm);
  application.Run();

  application.SetMainForm(nullptr);
  HDForm = nullptr;
  form.reset();
  return 0;
}
