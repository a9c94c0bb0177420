// The resize dialog: constrained proportions, conversion errors, OK and Cancel.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "edit/size_dialog.h"
#include "support/scripted_dialogs.h"

using testing_support::ScriptedDialogs;

class SizeDialogTest : public QObject {
  Q_OBJECT

 private:
  ScriptedDialogs dialogs_;
  SizeDialog* dialog_ = nullptr;
  QLineEdit* Width() { return dialog_->findChild<QLineEdit*>("Edit1"); }
  QLineEdit* Height() { return dialog_->findChild<QLineEdit*>("Edit2"); }
  QCheckBox* Constrain() { return dialog_->findChild<QCheckBox*>("CheckBox1"); }
  // Clears the box without a key and types text.
  void Retype(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
  }

 private Q_SLOTS:
  void init() {
    dialogs_ = ScriptedDialogs();
    dialog_ = new SizeDialog(dialogs_);
    dialog_->Prepare(400, 300);
    dialog_->show();
  }
  void cleanup() { delete dialog_; }

  void Layout() {
    QCOMPARE(dialog_->windowTitle(), QString("SizeForm"));
    QCOMPARE(dialog_->size(), QSize(301, 97));
    QCOMPARE(Width()->text(), QString("400"));
    QCOMPARE(Height()->text(), QString("300"));
    QVERIFY(!Constrain()->isChecked());
  }

  void ConstrainedTyping_data() {
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::newRow("200 gives 150") << "200"
                                   << "150";
    QTest::newRow("1 gives 0") << "1"
                               << "0";
    QTest::newRow("800 gives 600") << "800"
                                   << "600";
  }
  void ConstrainedTyping() {
    QFETCH(QString, width);
    QFETCH(QString, height);
    QTest::mouseClick(Constrain(), Qt::LeftButton, {}, QPoint(5, 10));
    QVERIFY(Constrain()->isChecked());
    Retype(Width(), width);
    QCOMPARE(Height()->text(), height);
    Retype(Height(), "150");
    QCOMPARE(Width()->text(), QString("200"));
    QVERIFY(dialogs_.errors.isEmpty());
  }

  void UnconstrainedTypingLeavesTheOtherBox() {
    Retype(Width(), "123");
    QCOMPARE(Height()->text(), QString("300"));
  }

  void EmptyBoxIsAConversionError() {
    QTest::mouseClick(Constrain(), Qt::LeftButton, {}, QPoint(5, 10));
    Width()->selectAll();
    QTest::keyClick(Width(), Qt::Key_Backspace);
    QCOMPARE(dialogs_.errors.value(0), QString("'' is not a valid integer value"));
    QCOMPARE(Height()->text(), QString("300"));
    QVERIFY(dialog_->isVisible());
  }

  // One message per edit of an emptied box; Return asks once more (OK), Escape always cancels.
  void EmptiedBoxDoesNotTrapTheKeyboard() {
    QTest::mouseClick(Constrain(), Qt::LeftButton, {}, QPoint(5, 10));
    Width()->selectAll();
    QTest::keyClick(Width(), Qt::Key_Backspace);
    QCOMPARE(dialogs_.errors.size(), 1);
    QTest::keyClick(Width(), Qt::Key_Return);
    QCOMPARE(dialogs_.errors.size(), 2);
    QVERIFY(dialog_->isVisible());
    QTest::keyClick(Width(), Qt::Key_Escape);
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QCOMPARE(dialogs_.errors.size(), 2);
  }

  // Keys that change no text recompute nothing: Tab or Shift+Tab out of a box (whose release
  // lands in the other box), arrows, Home.
  void KeysThatTypeNothingRecomputeNothing_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Tab") << int(Qt::Key_Tab) << int(Qt::NoModifier);
    QTest::newRow("Shift+Tab") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier);
    QTest::newRow("Left") << int(Qt::Key_Left) << int(Qt::NoModifier);
    QTest::newRow("Home") << int(Qt::Key_Home) << int(Qt::NoModifier);
  }
  void KeysThatTypeNothingRecomputeNothing() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QTest::mouseClick(Constrain(), Qt::LeftButton, {}, QPoint(5, 10));
    Retype(Height(), "301");
    QCOMPARE(Width()->text(), QString("401"));
    const auto k = static_cast<Qt::Key>(key);
    const auto m = static_cast<Qt::KeyboardModifiers>(modifiers);
    QTest::keyPress(Height(), k, m);
    QTest::keyRelease(Width(), k, m);
    QTest::keyRelease(Height(), k, m);
    QCOMPARE(Width()->text(), QString("401"));
    QCOMPARE(Height()->text(), QString("301"));
    QVERIFY(dialogs_.errors.isEmpty());
  }

  // The boxes open on the output size when one is set; the tick keeps the picture's shape;
  // "Original size" clears the output size; OK on the picture's own size sets none.
  void OutputSizeAndOriginalSize() {
    dialog_->Prepare(QSize(600, 400), QSize(800, 532));
    QCOMPARE(Width()->text(), QString("800"));
    QCOMPARE(Height()->text(), QString("532"));
    QTest::mouseClick(Constrain(), Qt::LeftButton, {}, QPoint(5, 10));
    QCOMPARE(Height()->text(), QString("533"));  // 800 x 400 / 600
    QTest::mouseClick(dialog_->findChild<QPushButton*>("OriginalSizeButton"), Qt::LeftButton);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(dialog_->ChosenSize(), QSize(0, 0));
    dialog_->Prepare(QSize(600, 400));
    dialog_->show();
    QTest::mouseClick(dialog_->findChild<QPushButton*>("OkButton"), Qt::LeftButton);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(dialog_->ChosenSize(), QSize(0, 0));
    // With an output size set, OK on the picture's size sets that size.
    dialog_->Prepare(QSize(600, 400), QSize(800, 532));
    dialog_->show();
    Retype(Width(), "600");
    Retype(Height(), "400");
    QTest::mouseClick(dialog_->findChild<QPushButton*>("OkButton"), Qt::LeftButton);
    QCOMPARE(dialog_->ChosenSize(), QSize(600, 400));
  }

  void OkKeepsBothOrNothing() {
    Retype(Width(), "1024");
    Retype(Height(), "7x");
    QTest::mouseClick(dialog_->findChild<QPushButton*>("OkButton"), Qt::LeftButton);
    QCOMPARE(dialogs_.errors, QStringList{"'7x' is not a valid integer value"});
    QVERIFY(dialog_->isVisible());
    QVERIFY(!dialog_->ChosenSize().isValid());  // the width is not kept on its own
    Retype(Height(), "768");
    QTest::mouseClick(dialog_->findChild<QPushButton*>("OkButton"), Qt::LeftButton);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(dialog_->ChosenSize(), QSize(1024, 768));
  }

  void OutOfRangeSizesAreRefused_data() {
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::newRow("negative") << "-5"
                              << "100";
    QTest::newRow("too large") << "100000"
                               << "100000";
  }
  void OutOfRangeSizesAreRefused() {
    QFETCH(QString, width);
    QFETCH(QString, height);
    Retype(Width(), width);
    Retype(Height(), height);
    QTest::mouseClick(dialog_->findChild<QPushButton*>("OkButton"), Qt::LeftButton);
    QCOMPARE(dialogs_.errors.size(), 1);
    QVERIFY(dialog_->isVisible());
  }

  void CancelKeepsNothing() {
    Retype(Width(), "10");
    QTest::mouseClick(dialog_->findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QVERIFY(!dialog_->ChosenSize().isValid());
  }

  void TickOutlivesAShowing() {
    QTest::mouseClick(Constrain(), Qt::LeftButton, {}, QPoint(5, 10));
    dialog_->Prepare(300, 400);
    QVERIFY(Constrain()->isChecked());
    Retype(Width(), "150");
    QCOMPARE(Height()->text(), QString("200"));
  }
};

QTEST_MAIN(SizeDialogTest)
#include "size_dialog_test.moc"
