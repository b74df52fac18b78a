// A bare Qt window of Kelvane's size, for comparing start-up figures: prints
// the time from start to its first paint and quits. With --text it holds one
// line of text, so that the font set-up is in the figure as well.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace {

const auto kProcessStart = std::chrono::steady_clock::now();

class Window : public QWidget {
 protected:
  void paintEvent(QPaintEvent* event) override {
    QWidget::paintEvent(event);
    if (painted_) return;
    painted_ = true;
    QTimer::singleShot(0, this, [] {
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                                  kProcessStart)
                            .count();
      std::printf("startup-ms\t%.1f\n", ms);
      std::fflush(stdout);
      QApplication::quit();
    });
  }

 private:
  bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  Window window;
  window.setFixedSize(456, 518);
  window.setWindowTitle(QStringLiteral("bare"));
  if (QApplication::arguments().contains(QStringLiteral("--text"))) {
    auto* label = new QLabel(QStringLiteral("Physical Drive 1"), &window);
    label->move(16, 16);
  }
  window.show();
  return QApplication::exec();
}
