// Driving a modal dialog from inside its own event loop, so that a failing check can never leave it
// open: the dialog is closed whatever the script did, and the test reports after exec() returns.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace testing_support {

// Once a visible QDialog named object_name shows, runs script on it once. A check that fails in the
// script returns from it early; the dialog is then rejected if the script left it open, so the
// exec() that showed it returns. After the call that opened the dialog, END_DIALOG_SCRIPT(script)
// stops the test when the dialog never showed or a check in the script failed.
class DialogScript {
 public:
  DialogScript(QString object_name, std::function<void(QDialog*)> script)
      : name_(std::move(object_name)), script_(std::move(script)) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
  }
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  // Whether the dialog showed and the script ran.
  bool Ran() const { return ran_; }

 private:
  void Poll() {
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget* widget : widgets) {
      auto* dialog = qobject_cast<QDialog*>(widget);
      if (dialog == nullptr || dialog->objectName() != name_ || !dialog->isVisible()) continue;
      timer_.stop();
      ran_ = true;
      script_(dialog);
      if (dialog->isVisible()) dialog->reject();
      return;
    }
  }

  QString name_;
  std::function<void(QDialog*)> script_;
  QTimer timer_;
  bool ran_ = false;
};

}  // namespace testing_support

// Stops the test function when the scripted dialog never showed or a check inside it failed.
#define END_DIALOG_SCRIPT(script)                                             \
  do {                                                                        \
    QVERIFY2((script).Ran(), "the dialog the script waits for never showed"); \
    if (QTest::currentTestFailed()) return;                                   \
  } while (false)
