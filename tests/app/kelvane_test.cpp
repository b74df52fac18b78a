// The program entry on the headless backend, whose message loop returns at once.
#include <gtest/gtest.h>

#include "app/HDUnit.h"
#include "app/Kelvane.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/sim/Pages.h"
#include "platform/sim/SimDevice.h"

namespace {

TEST(Kelvane, RunsTheWindowAndCleansUp) {
  sim::SimDeviceBackend devices;
  sim::SimDrive drive;
  drive.identify = sim::IdentifyPage({"M", "S", "F"});
  drive.smart_data = sim::SmartDataPage({{194, 100, 100, 41}});
  drive.thresholds = sim::ThresholdPage({{194, 100, 100, 41}});
  devices.drives = {drive};
  platform::DeviceBackend* previous = platform::SetDeviceBackend(&devices);
  ui::HeadlessBackend backend;

  EXPECT_EQ(Kelvane(backend), 0);

  // The title was set before the window was made: the entry carries it.
  ASSERT_GE(backend.notify_calls.size(), 2u);
  EXPECT_EQ(backend.notify_calls.front().message, ui::NotifyMessage::Add);
  EXPECT_EQ(backend.notify_calls.front().tip, u"Kelvane");
  // Closing removes the entry, stops the timer and forgets the window.
  EXPECT_EQ(backend.notify_calls.back().message, ui::NotifyMessage::Delete);
  EXPECT_FALSE(backend.EntryShown());
  EXPECT_EQ(backend.RunningTimers(), 0);
  EXPECT_EQ(HDForm, nullptr);
  EXPECT_EQ(ui::Application, nullptr);
  EXPECT_TRUE(backend.error_reports.empty());
  EXPECT_EQ(devices.OpenHandles(), 0);
  platform::SetDeviceBackend(previous);
}

}  // namespace
