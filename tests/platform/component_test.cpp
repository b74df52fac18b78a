#include <gtest/gtest.h>

#include "platform/headless/HeadlessBackend.h"
#include "platform/ui/Application.h"
#include "platform/ui/ListView.h"

TEST(CheckBox, ChangeFromCodeRunsClickHandler) {
  ui::HeadlessBackend backend;
  ui::TApplication app(backend);
  ui::TForm form(nullptr, "F");
  ui::TCheckBox box(&form, &form, "C");
  int clicks = 0;
  box.OnClick = [&](ui::TObject*) { ++clicks; };
  box.SetChecked(true);
  EXPECT_EQ(clicks, 1);
  box.SetChecked(true);
  EXPECT_EQ(clicks, 1);
}
