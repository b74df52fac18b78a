// The real Kelvane window on simulated drives: one fixture file a drive, in
// drive-number order. For the end-to-end test, the measurements and anyone
// who wants to see the window without ATA drives.
//
//   kelvane-fixture-window [options] DRIVE.drive...
//     --commands          read commands from standard input, one a line:
//                         "dump" prints the window's state, "quit" closes the
//                         window as its close button does
//     --startup-time      print the time from start to the first paint of the
//                         filled window and quit
//     --refresh-cost N    click Refresh N times, print the CPU time per refresh
//                         (with and without the repaint that follows) and quit
//     --idle-wakeups S    count the event loop's wake-ups over S seconds and quit
//
// Standard output gets "ready <window id>" once the window is shown, the state
// on every "dump" and once more when the window closes. A state is a block of
// tab-separated lines between "begin" and "end".
#include <unistd.h>
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QTreeWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <string>
#include <vector>

#include "app/HDUnit.h"
#include "app/Kelvane.h"
#include "platform/Device.h"
#include "platform/qt/QtBackend.h"
#include "platform/sim/SimDevice.h"

namespace {

const auto kProcessStart = std::chrono::steady_clock::now();

std::string Utf8(const QString& text) {
  return text.toStdString();
}

std::string Geometry(const QWidget* w) {
  const QPoint p = w->mapToGlobal(QPoint(0, 0));
  return std::to_string(p.x()) + " " + std::to_string(p.y()) + " " + std::to_string(w->width()) +
         " " + std::to_string(w->height());
}

std::string Rect(const QRect& r) {
  return std::to_string(r.x()) + " " + std::to_string(r.y()) + " " + std::to_string(r.width()) +
         " " + std::to_string(r.height());
}

// What the window shows now: the widgets' own texts and places, and the
// components' state beside them.
void Dump(ui::QtBackend& backend) {
  std::printf("begin\n");
  THDForm* form = HDForm;
  if (form == nullptr) {
    std::printf("end\n");
    std::fflush(stdout);
    return;
  }
  QWidget* window = backend.Widget(*form);
  std::printf("form\tvisible=%d\tminimized=%d\tcomponent-visible=%d\tcomponent-minimized=%d\n",
              window != nullptr && window->isVisible(), window != nullptr && window->isMinimized(),
              form->Visible(), form->WindowState() == ui::TWindowState::Minimized);
  if (window != nullptr) {
    std::printf("window\t%llu\t%s\n", static_cast<unsigned long long>(window->winId()),
                Utf8(window->windowTitle()).c_str());
    std::printf("geometry\tHDForm\t%s\n", Geometry(window).c_str());
  }
  for (const ui::TComponent* c : form->Components()) {
    QWidget* w = backend.Widget(*c);
    if (w == nullptr) continue;
    const std::string name = c->Name();
    std::printf("geometry\t%s\t%s\n", name.c_str(), Geometry(w).c_str());
    std::string shown;
    if (auto* e = qobject_cast<QLineEdit*>(w))
      shown = Utf8(e->text());
    else if (auto* b = qobject_cast<QComboBox*>(w))
      shown = Utf8(b->currentText());
    else if (auto* l = qobject_cast<QLabel*>(w))
      shown = Utf8(l->text());
    else if (auto* x = qobject_cast<QCheckBox*>(w))
      shown = Utf8(x->text()) + "\t" + (x->isChecked() ? "checked" : "unchecked");
    else if (auto* p = qobject_cast<QPushButton*>(w))
      shown = Utf8(p->text());
    else if (auto* g = qobject_cast<QGroupBox*>(w))
      shown = Utf8(g->title());
    if (auto* t = qobject_cast<QTreeWidget*>(w)) {
      std::printf("rows\t%s\t%d\n", name.c_str(), t->topLevelItemCount());
      for (int i = 0; i < t->topLevelItemCount(); ++i) {
        std::string line;
        for (int k = 0; k < t->columnCount(); ++k) line += "\t" + Utf8(t->topLevelItem(i)->text(k));
        std::printf("row\t%s\t%d%s\n", name.c_str(), i, line.c_str());
      }
      const auto selected = t->selectedItems();
      std::printf("selected\t%s\t%d\n", name.c_str(),
                  selected.isEmpty() ? -1 : t->indexOfTopLevelItem(selected.front()));
      continue;
    }
    std::printf("shown\t%s\t%s\n", name.c_str(), shown.c_str());
    if (auto* b = qobject_cast<QComboBox*>(w)) {
      std::printf("index\t%s\t%d\n", name.c_str(), b->currentIndex());
      QAbstractItemView* view = b->view();
      if (view != nullptr && view->isVisible()) {
        // The open drop-down's entries, where a click picks them.
        for (int i = 0; i < b->count(); ++i) {
          QRect r = view->visualRect(view->model()->index(i, 0));
          r.setWidth(std::min(r.width(), view->viewport()->width()));
          r.moveTopLeft(view->viewport()->mapToGlobal(r.topLeft()));
          std::printf("popup\t%s\t%d\t%s\n", name.c_str(), i, Rect(r).c_str());
        }
      }
    }
  }
  std::printf("tray\tvisible=%d\tadded=%d\tindex=%d\n", form->TrayIcon.Visible(),
              form->TrayIcon.EntryAdded(), form->TrayIcon.IconIndex());
  if (QSystemTrayIcon* tray = backend.Tray(form->TrayIcon))
    std::printf("trayicon\t%d\t%s\n", tray->isVisible(), Rect(tray->geometry()).c_str());
  std::printf("end\n");
  std::fflush(stdout);
}

double ProcessCpuMicros() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

// Waits for the first paint of a widget, then runs `then`.
class FirstPaint : public QObject {
 public:
  explicit FirstPaint(std::function<void()> then) : then_(std::move(then)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && then_) {
      auto then = std::move(then_);
      then_ = nullptr;
      QTimer::singleShot(0, this, then);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> then_;
};

int Usage() {
  std::fprintf(stderr,
               "usage: kelvane-fixture-window [--commands] [--startup-time] [--refresh-cost N]\n"
               "                              [--idle-wakeups S] DRIVE.drive...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kelvane-fixture-window"));

  bool commands = false, startup_time = false;
  int refresh_cost = 0, idle_seconds = 0;
  sim::SimDeviceBackend drives;
  const QStringList args = QApplication::arguments();
  try {
    for (int i = 1; i < args.size(); ++i) {
      const QString& a = args[i];
      if (a == "--commands") {
        commands = true;
      } else if (a == "--startup-time") {
        startup_time = true;
      } else if (a == "--refresh-cost" && i + 1 < args.size()) {
        refresh_cost = args[++i].toInt();
      } else if (a == "--idle-wakeups" && i + 1 < args.size()) {
        idle_seconds = args[++i].toInt();
      } else if (a.startsWith("--")) {
        return Usage();
      } else {
        drives.drives.push_back(sim::LoadSimDrive(a.toStdString()));
      }
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kelvane-fixture-window: %s\n", e.what());
    return 2;
  }
  platform::DeviceBackend* previous = platform::SetDeviceBackend(&drives);

  ui::QtBackend backend;
  std::unique_ptr<QSocketNotifier> input;
  std::string pending;
  if (commands) {
    input = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(input.get(), &QSocketNotifier::activated, [&] {
      char buffer[256];
      const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (n <= 0) {
        input->setEnabled(false);  // end of input: the window stays
        return;
      }
      pending.append(buffer, static_cast<std::size_t>(n));
      for (std::size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
        const std::string line = pending.substr(0, eol);
        pending.erase(0, eol + 1);
        if (line == "dump") {
          Dump(backend);
        } else if (line == "quit" && HDForm != nullptr) {
          HDForm->UserClose();
        }
      }
    });
  }

  // Once the message loop runs, the window has been shown.
  FirstPaint first_paint([&] {
    if (startup_time) {
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                                  kProcessStart)
                            .count();
      std::printf("startup-ms\t%.1f\n", ms);
      std::fflush(stdout);
      HDForm->Close();
    }
  });
  QTimer::singleShot(0, [&] {
    QWidget* window = HDForm != nullptr ? backend.Widget(*HDForm) : nullptr;
    if (window == nullptr) return;
    std::printf("ready\t%llu\n", static_cast<unsigned long long>(window->winId()));
    std::fflush(stdout);
    if (startup_time) window->installEventFilter(&first_paint);
    if (refresh_cost > 0) {
      QApplication::processEvents();
      double alone = 0, with_paint = 0;
      for (int i = 0; i < refresh_cost; ++i) {
        const double t0 = ProcessCpuMicros();
        HDForm->RefrashButton.UserClick();
        const double t1 = ProcessCpuMicros();
        window->repaint();
        QApplication::processEvents();
        const double t2 = ProcessCpuMicros();
        alone += t1 - t0;
        with_paint += t2 - t0;
      }
      std::printf("refresh-cpu-us\t%.1f\nrefresh-and-paint-cpu-us\t%.1f\nrows\t%d\n",
                  alone / refresh_cost, with_paint / refresh_cost, HDForm->StatusListView.Count());
      std::fflush(stdout);
      HDForm->Close();
    }
    if (idle_seconds > 0) {
      // Counted from one second after start-up, when the first paints are over.
      QTimer::singleShot(1000, [idle_seconds] {
        auto* dispatcher = QAbstractEventDispatcher::instance();
        auto wakeups = std::make_shared<int>(0);
        auto counting = QObject::connect(dispatcher, &QAbstractEventDispatcher::awake,
                                         [wakeups] { ++*wakeups; });
        QTimer::singleShot(idle_seconds * 1000, [wakeups, idle_seconds, counting] {
          QObject::disconnect(counting);
          // The wake-up that delivers this very timeout is one of them.
          std::printf("idle-wakeups\t%d\tin %d s\n", *wakeups, idle_seconds);
          std::fflush(stdout);
          HDForm->Close();
        });
      });
    }
  });
  QObject::connect(&qt, &QCoreApplication::aboutToQuit, [&] {
    if (!startup_time && refresh_cost == 0 && idle_seconds == 0) Dump(backend);
  });

  const int code = Kelvane(backend);
  platform::SetDeviceBackend(previous);
  return code;
}
