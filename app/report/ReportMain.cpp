// kelvane-report: the main window's logic on the headless backend, reading the
// machine's drives (or simulated ones), and what every control then shows,
// for each listed drive in turn, as text or as JSON.
#include <cstdio>
#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/HDUnit.h"
#include "disk/DiskInfo.h"
#include "icons/AppIcon.h"
#include "platform/Device.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/sim/SimDevice.h"
#include "platform/ui/Application.h"
#if KELVANE_HAVE_LINUX_DEVICE
#include "platform/linux/LinuxDevice.h"
#endif

namespace {

constexpr const char* kUsage =
    "Usage: kelvane-report [--json] [--fixtures FILE...]\n"
    "\n"
    "Lists the physical drives Kelvane can open and prints, for each in turn,\n"
    "what the main window shows for it: temperature, S.M.A.R.T flag, identity,\n"
    "geometry, the attribute table and the description panel.\n"
    "\n"
    "  --json              print {\"drives\": [...]}, one object per listed drive\n"
    "  --fixtures FILE...  for tests: read simulated drives from fixture files\n"
    "                      (tests/fixtures/*.drive) instead of the machine's;\n"
    "                      the N-th file answers as drive number N-1, and every\n"
    "                      argument after this option is a file\n"
    "  --help              print this help\n"
    "\n"
    "Reading SMART data needs CAP_SYS_RAWIO and read access to the drives'\n"
    "device nodes (run as root). Exit status: 0 when the drives were probed,\n"
    "whatever was found; 2 on bad arguments or an unreadable fixture file.\n";

struct Row {
  ui::Text id, name, value, worst, threshold, description;
};

// What the window shows for one drive entry.
struct DriveView {
  ui::Text entry;
  ui::Text path;
  std::string device;
  ui::Text temperature;
  bool smart = false;
  ui::Text model, serial, firmware, buffer_size, cylinders, heads, sectors_per_track;
  std::vector<Row> attributes;
  ui::Text panel, panel_hint;
};

DriveView Snapshot(const THDForm& f, int index) {
  DriveView v;
  v.entry = f.DriveComboBox.Items()[index];
  v.path = DrivePath(index);
  v.device = platform::DeviceNode(v.path);
  v.temperature = f.TemperatureLabel.Caption();
  v.smart = f.SMARTCheckBox.Checked();
  v.model = f.ModelNumberEdit.GetText();
  v.serial = f.SerialNumberEdit.GetText();
  v.firmware = f.FirmwareRevEdit.GetText();
  v.buffer_size = f.BufferSizeEdit.GetText();
  v.cylinders = f.CylinderEdit.GetText();
  v.heads = f.HeadsEdit.GetText();
  v.sectors_per_track = f.SectorsPerTrackEdit.GetText();
  for (int r = 0; r < f.StatusListView.Count(); ++r) {
    const ui::TListItem& item = f.StatusListView.Item(r);
    const ui::TStrings& sub = item.SubItems();
    auto at = [&sub](int k) { return k < sub.Count() ? sub[k] : ui::Text(); };
    v.attributes.push_back(Row{item.Caption(), at(0), at(1), at(2), at(3), at(4)});
  }
  v.panel = f.StatusStaticText.Caption();
  v.panel_hint = f.StatusStaticText.HintText();
  return v;
}

// ---- JSON ------------------------------------------------------------------

std::string Json(const ui::Text& s) {
  std::string out = "\"";
  ui::Text run;
  auto flush = [&] {
    out += ui::ToUtf8(run);
    run.clear();
  };
  for (const char16_t c : s) {
    const char* esc = nullptr;
    switch (c) {
      case u'"':
        esc = "\\\"";
        break;
      case u'\\':
        esc = "\\\\";
        break;
      case u'\b':
        esc = "\\b";
        break;
      case u'\f':
        esc = "\\f";
        break;
      case u'\n':
        esc = "\\n";
        break;
      case u'\r':
        esc = "\\r";
        break;
      case u'\t':
        esc = "\\t";
        break;
      default:
        break;
    }
    // Control characters (C0, DEL and C1, which the undefined bytes of the
    // code page become) and the two line separators are escaped.
    const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x2028 || c == 0x2029;
    if (esc == nullptr && !control) {
      run.push_back(c);
      continue;
    }
    flush();
    if (esc != nullptr) {
      out += esc;
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
      out += buf;
    }
  }
  flush();
  out += '"';
  return out;
}

std::string Json(const std::string& utf8) {
  return Json(ui::FromUtf8(utf8));
}

void PrintJson(std::ostream& out, const std::vector<DriveView>& drives) {
  out << "{\"drives\": [";
  for (std::size_t i = 0; i < drives.size(); ++i) {
    const DriveView& d = drives[i];
    out << (i == 0 ? "\n" : ",\n") << "  {";
    out << "\"entry\": " << Json(d.entry) << ", \"path\": " << Json(d.path)
        << ", \"device\": " << Json(d.device) << ",\n   \"temperature\": " << Json(d.temperature)
        << ", \"smart\": " << (d.smart ? "true" : "false") << ",\n   \"model\": " << Json(d.model)
        << ", \"serial\": " << Json(d.serial) << ", \"firmware\": " << Json(d.firmware)
        << ",\n   \"buffer_size\": " << Json(d.buffer_size)
        << ", \"cylinders\": " << Json(d.cylinders) << ", \"heads\": " << Json(d.heads)
        << ", \"sectors_per_track\": " << Json(d.sectors_per_track) << ",\n   \"attributes\": [";
    for (std::size_t r = 0; r < d.attributes.size(); ++r) {
      const Row& a = d.attributes[r];
      out << (r == 0 ? "\n" : ",\n") << "    {\"id\": " << Json(a.id)
          << ", \"name\": " << Json(a.name) << ", \"value\": " << Json(a.value)
          << ", \"worst\": " << Json(a.worst) << ", \"threshold\": " << Json(a.threshold)
          << ", \"description\": " << Json(a.description) << "}";
    }
    out << (d.attributes.empty() ? "]" : "\n   ]");
    out << ",\n   \"panel\": " << Json(d.panel) << ",\n   \"panel_hint\": " << Json(d.panel_hint)
        << "}";
  }
  out << (drives.empty() ? "]}\n" : "\n]}\n");
}

// ---- Text ------------------------------------------------------------------

std::string Utf8(const ui::Text& s) {
  return ui::ToUtf8(s);
}

std::string Pad(const ui::Text& s, std::size_t width) {
  std::string out = Utf8(s);
  for (std::size_t n = s.size(); n < width; ++n) out += ' ';
  return out;
}

void PrintText(std::ostream& out, const std::vector<DriveView>& drives) {
  if (drives.empty()) {
    out << "No physical drive could be opened.\n";
    return;
  }
  for (std::size_t i = 0; i < drives.size(); ++i) {
    const DriveView& d = drives[i];
    if (i > 0) out << '\n';
    out << Utf8(d.entry) << "  " << Utf8(d.path);
    if (!d.device.empty()) out << "  " << d.device;
    out << '\n';
    const std::pair<const char*, ui::Text> fields[] = {
        {"Temperature", d.temperature},
        {"S.M.A.R.T Enabled", d.smart ? u"yes" : u"no"},
        {"Model Number", d.model},
        {"Serial Number", d.serial},
        {"Firmware Rev", d.firmware},
        {"Buffer Size", d.buffer_size},
        {"Cylinders", d.cylinders},
        {"Heads", d.heads},
        {"Sectors per track", d.sectors_per_track},
    };
    for (const auto& [label, value] : fields) {
      std::string l = std::string("  ") + label + ':';
      l.resize(22, ' ');
      out << l << Utf8(value) << '\n';
    }
    if (d.attributes.empty()) {
      out << "  Attributes:         none\n";
    } else {
      std::size_t name_width = 9;
      for (const Row& a : d.attributes) name_width = std::max(name_width, a.name.size());
      out << "  ID  " << Pad(u"Attribute", name_width) << "  Value  Worst  Threshold\n";
      for (const Row& a : d.attributes)
        out << "  " << Pad(a.id, 2) << "  " << Pad(a.name, name_width) << "  " << Pad(a.value, 5)
            << "  " << Pad(a.worst, 5) << "  " << Utf8(a.threshold) << '\n';
    }
    out << "  Description:        " << Utf8(d.panel) << '\n';
    if (!d.panel_hint.empty()) out << "  (also shown as the panel's tooltip)\n";
  }
}

int BadArguments(const std::string& message) {
  std::cerr << "kelvane-report: " << message << "\nTry 'kelvane-report --help'.\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool json = false;
  bool fixtures = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (fixtures) {
      files.push_back(arg);
    } else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (arg == "--json") {
      json = true;
    } else if (arg == "--fixtures") {
      fixtures = true;
    } else {
      return BadArguments("unknown argument '" + arg + "'");
    }
  }
  if (fixtures && files.empty()) return BadArguments("--fixtures needs at least one file");

  std::unique_ptr<platform::DeviceBackend> devices;
  if (fixtures) {
    auto sim_devices = std::make_unique<sim::SimDeviceBackend>();
    try {
      for (const std::string& file : files) sim_devices->drives.push_back(sim::LoadSimDrive(file));
    } catch (const std::exception& e) {
      std::cerr << "kelvane-report: " << e.what() << '\n';
      return 2;
    }
    devices = std::move(sim_devices);
  } else {
#if KELVANE_HAVE_LINUX_DEVICE
    devices = std::make_unique<platform::linux_device::LinuxDeviceBackend>();
#else
    std::cerr << "kelvane-report: this build has no device backend for this system; "
                 "use --fixtures\n";
    return 2;
#endif
  }
  platform::DeviceBackend* previous = platform::SetDeviceBackend(devices.get());

  std::vector<DriveView> drives;
  ui::HeadlessBackend screen;
  {
    ui::TApplication application(screen);
    application.Initialize();
    application.MainFormOnTaskBar = true;
    application.Title = u"Kelvane";
    application.Icon.SetHandle(CreateApplicationIcon(32));

    // The constructor runs FormCreate: the probe and the read of entry 0.
    THDForm form(nullptr);
    HDForm = &form;
    application.SetMainForm(&form);
    const int count = form.DriveComboBox.Items().Count();
    for (int i = 0; i < count; ++i) {
      if (i > 0) form.DriveComboBox.UserSelect(i);  // as the user picks it
      drives.push_back(Snapshot(form, i));
    }
    application.SetMainForm(nullptr);
    HDForm = nullptr;
  }
  platform::SetDeviceBackend(previous);

  // The window shows no message of its own; errors that reached the
  // standard error report go to stderr.
  for (const auto& report : screen.error_reports)
    std::cerr << "kelvane-report: error report: " << Utf8(report.message) << '\n';

  if (json)
    PrintJson(std::cout, drives);
  else
    PrintText(std::cout, drives);
  std::cout.flush();
  return std::cout ? 0 : 1;
}
