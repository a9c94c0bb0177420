// The crop dialog: layout around the view, labels, veil, dragging handles and body, OK and Cancel,
// an unreadable photo; and the cropped working photo.
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include "edit/crop_dialog.h"
#include "edit/crop_photo.h"
#include "support/scripted_dialogs.h"

using testing_support::ScriptedDialogs;

Q_DECLARE_METATYPE(CropRect)
Q_DECLARE_METATYPE(RotateFlipType)

namespace {

// Left half red, right half blue, so a view pixel says where in the photo it comes from.
QImage Halves(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::blue);
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width() / 2; ++x) image.setPixel(x, y, qRgb(255, 0, 0));
  return image;
}

}  // namespace

class CropDialogTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  ScriptedDialogs dialogs_;
  CropDialog* dialog_ = nullptr;
  QString photo_;

  QLabel* Label(const char* name) { return dialog_->findChild<QLabel*>(QLatin1String(name)); }
  QImage Back() { return Label("Back")->pixmap().toImage(); }
  // Presses on a picture of the view and drags it by delta.
  void Drag(const char* name, QPoint delta) {
    QLabel* label = Label(name);
    const QPoint start(16, 16);
    QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseMove(label, start + delta);
    QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, start + delta);
  }

 private Q_SLOTS:
  void initTestCase() {
    photo_ = dir_.filePath(QStringLiteral("photo.jpg"));
    QVERIFY(Halves(QSize(1000, 500)).save(photo_, "JPEG", 95));
  }
  void init() {
    dialogs_ = ScriptedDialogs();
    dialog_ = new CropDialog(dialogs_);
  }
  void cleanup() { delete dialog_; }

  void Layout_data() {
    QTest::addColumn<RotateFlipType>("code");
    QTest::addColumn<QSize>("view");
    QTest::addColumn<QSize>("dialog");
    QTest::newRow("as the file") << RotateFlipType::None << QSize(500, 250) << QSize(520, 336);
    QTest::newRow("a quarter turn") << RotateFlipType::Turn90 << QSize(250, 500) << QSize(270, 586);
  }
  void Layout() {
    QFETCH(RotateFlipType, code);
    QFETCH(QSize, view);
    QFETCH(QSize, dialog);
    QVERIFY(dialog_->Prepare(photo_, code, CropRect{}));
    dialog_->show();
    // As tall as the view makes it; as wide, or wider when the labels need it (the turned photo).
    QCOMPARE(dialog_->height(), dialog.height());
    QVERIFY(dialog_->width() >= dialog.width());
    if (code == RotateFlipType::None) QCOMPARE(dialog_->width(), dialog.width());
    QCOMPARE(Label("Back")->size(), view);
    QCOMPARE(dialog_->findChild<QWidget*>(QStringLiteral("ScrollBox1"))->geometry(),
             QRect(QPoint((dialog_->width() - view.width()) / 2 - 3, 8), view));
    // Every label of the bottom bar shows its whole text, inside the dialog, clear of the others
    // and of the buttons.
    QList<QRect> taken = {dialog_->findChild<QPushButton*>(QStringLiteral("OkButton"))->geometry(),
                          dialog_->findChild<QPushButton*>(QStringLiteral("CancelButton"))->geometry()};
    for (const char* name : {"OriginalCaption", "Label1", "CurrentCaption", "Label2"}) {
      QLabel* label = Label(name);
      QVERIFY2(dialog_->rect().contains(label->geometry()), name);
      QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(), name);
      for (const QRect& other : taken) QVERIFY2(!other.intersects(label->geometry()), name);
      taken.append(label->geometry());
    }
    // The file's own size, whatever the turns.
    QCOMPARE(Label("Label1")->text(), QStringLiteral("1000 x 500"));
    QCOMPARE(Label("Label2")->text(), QStringLiteral("%1 x %2").arg(view.width()).arg(view.height()));
    QCOMPARE(Label("Image9")->geometry(), QRect(QPoint(0, 0), view));
    QCOMPARE(Label("Image8")->pos(), QPoint(view.width() - 32, view.height() - 32));
  }

  // Reopened on a stored crop, "Current:" shows that crop in view pixels, not one pixel more.
  void ReopenedCropShowsItsOwnSize_data() {
    QTest::addColumn<CropRect>("stored");
    QTest::addColumn<QString>("label");
    QTest::newRow("678 x 321 of 1000") << CropRect{123, 45, 678, 321} << "339 x 161";
    QTest::newRow("even numbers") << CropRect{0, 0, 400, 200} << "200 x 100";
    QTest::newRow("a handle's size") << CropRect{10, 10, 64, 64} << "32 x 32";
  }
  void ReopenedCropShowsItsOwnSize() {
    QFETCH(CropRect, stored);
    QFETCH(QString, label);
    QVERIFY(dialog_->Prepare(photo_, RotateFlipType::None, stored));
    QCOMPARE(Label("Label2")->text(), label);
    Drag("Image9", QPoint(-5, 0));  // moved: the selection's own size again
    QCOMPARE(Label("Label2")->text(),
             QStringLiteral("%1 x %2").arg(dialog_->Selection().width()).arg(dialog_->Selection().height()));
  }

  // Centred on the screen, not over the main window in its corner.
  void CentredOnTheScreen() {
    QWidget main_window;
    main_window.setGeometry(0, 0, 200, 150);
    main_window.show();
    CropDialog dialog(dialogs_, &main_window);
    for (const CropRect& stored : {CropRect{}, CropRect{0, 0, 200, 400}}) {
      QVERIFY(dialog.Prepare(photo_, RotateFlipType::None, stored));
      dialog.show();
      QCOMPARE(dialog.frameGeometry().center(), main_window.screen()->availableGeometry().center());
      dialog.hide();
    }
  }

  void VeilOutsideTheSelectionOnly() {
    QVERIFY(dialog_->Prepare(photo_, RotateFlipType::None, CropRect{500, 0, 500, 500}));
    // The selection opens on the right (blue) half: 251, 1, 251, 251 after the + 1, kept inside the view.
    QCOMPARE(dialog_->Selection(), QRect(249, 0, 251, 250));
    const QImage back = Back();
    const QRgb clear = back.pixel(400, 100);
    QVERIFY(qBlue(clear) > 240 && qRed(clear) < 15 && qGreen(clear) < 15);
    // Red under the veil 0x80BEFF96: half red, half (190, 255, 150).
    const QRgb veiled = back.pixel(100, 100);
    QVERIFY2(std::abs(qRed(veiled) - 222) <= 3 && std::abs(qGreen(veiled) - 128) <= 3 &&
                 std::abs(qBlue(veiled) - 75) <= 3,
             qPrintable(QString::number(veiled, 16)));
  }

  void DraggingHandlesAndBody() {
    QVERIFY(dialog_->Prepare(photo_, RotateFlipType::None, CropRect{}));
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_));
    Drag("Image8", QPoint(-100, -50));
    QCOMPARE(dialog_->Selection(), QRect(0, 0, 400, 200));
    QCOMPARE(Label("Label2")->text(), QStringLiteral("400 x 200"));
    QCOMPARE(Label("Image5")->pos(), QPoint(368, (168 - 0) / 2));
    Drag("Image9", QPoint(50, 1000));
    QCOMPARE(dialog_->Selection(), QRect(50, 50, 400, 200));
    Drag("Image1", QPoint(1000, 1000));  // one handle of selection remains
    QCOMPARE(dialog_->Selection(), QRect(418, 218, 32, 32));
    QCOMPARE(Label("Image9")->geometry(), QRect(418, 218, 32, 32));
  }

  void OkAndCancel_data() {
    QTest::addColumn<CropRect>("stored");
    QTest::addColumn<bool>("drag");
    QTest::addColumn<CropRect>("expected");
    QTest::newRow("untouched, no crop: whole photo") << CropRect{} << false << CropRect{0, 0, 1000, 500};
    QTest::newRow("untouched crop kept")
        << CropRect{123, 45, 678, 321} << false << CropRect{123, 45, 678, 321};
    QTest::newRow("moved crop") << CropRect{123, 45, 678, 321} << true << CropRect{104, 0, 680, 322};
  }
  void OkAndCancel() {
    QFETCH(CropRect, stored);
    QFETCH(bool, drag);
    QFETCH(CropRect, expected);
    QVERIFY(dialog_->Prepare(photo_, RotateFlipType::None, stored));
    dialog_->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog_));
    if (drag) Drag("Image9", QPoint(-10, -100));
    QTest::mouseClick(dialog_->findChild<QPushButton*>(QStringLiteral("OkButton")), Qt::LeftButton);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QCOMPARE(dialog_->ChosenCrop(), expected);

    QVERIFY(dialog_->Prepare(photo_, RotateFlipType::None, stored));
    dialog_->show();
    QTest::mouseClick(dialog_->findChild<QPushButton*>(QStringLiteral("CancelButton")), Qt::LeftButton);
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
  }

  void UnreadablePhotoIsNamedAndNotOpened() {
    const QString bad = dir_.filePath(QStringLiteral("broken.jpg"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xFF\xD8 not really a picture");
    file.close();
    QVERIFY(!dialog_->Prepare(bad, RotateFlipType::None, CropRect{}));
    QCOMPARE(dialogs_.notices, QStringList{QStringLiteral("Unable to read broken.jpg")});
    QVERIFY(
        !dialog_->Prepare(dir_.filePath(QStringLiteral("missing.jpg")), RotateFlipType::None, CropRect{}));
    QCOMPARE(dialogs_.notices.size(), 2);
  }

  void CroppedWorkingPhoto_data() {
    QTest::addColumn<RotateFlipType>("code");
    QTest::addColumn<CropRect>("crop");
    QTest::addColumn<QRgb>("left");
    QTest::addColumn<QRgb>("right");
    QTest::newRow("red half") << RotateFlipType::None << CropRect{0, 0, 500, 500} << qRgb(255, 0, 0)
                              << qRgb(255, 0, 0);
    QTest::newRow("across the middle")
        << RotateFlipType::None << CropRect{250, 100, 500, 250} << qRgb(255, 0, 0) << qRgb(0, 0, 255);
    // Turned a quarter clockwise the red half is on top, and the photo 500 x 1000.
    QTest::newRow("turned, top") << RotateFlipType::Turn90 << CropRect{0, 0, 500, 400} << qRgb(255, 0, 0)
                                 << qRgb(255, 0, 0);
    QTest::newRow("mirrored, left is blue")
        << RotateFlipType::Mirror << CropRect{0, 0, 400, 500} << qRgb(0, 0, 255) << qRgb(0, 0, 255);
  }
  void CroppedWorkingPhoto() {
    QFETCH(RotateFlipType, code);
    QFETCH(CropRect, crop);
    const QSize size = WorkingPhotoSize(QSize(crop.width, crop.height), kScreenSize);
    QFETCH(QRgb, left);
    QFETCH(QRgb, right);
    const auto loaded = LoadCroppedWorkingPhoto(photo_, code, crop);
    QVERIFY(loaded);
    QCOMPARE(loaded->image.size(), size);
    QCOMPARE(loaded->photo_size, QSize(crop.width, crop.height));
    const auto near = [](QRgb a, QRgb b) {
      return std::abs(qRed(a) - qRed(b)) < 24 && std::abs(qGreen(a) - qGreen(b)) < 24 &&
             std::abs(qBlue(a) - qBlue(b)) < 24;
    };
    const int y = size.height() / 2;
    QVERIFY(near(loaded->image.pixel(5, y), left));
    QVERIFY(near(loaded->image.pixel(size.width() - 8, y), right));
  }

  void CroppedWorkingPhotoRefusesEmptyCrops() {
    QVERIFY(!LoadCroppedWorkingPhoto(photo_, RotateFlipType::None, CropRect{0, 0, 0, 10}));
    QVERIFY(!LoadCroppedWorkingPhoto(photo_, RotateFlipType::None, CropRect{2000, 0, 10, 10}));
  }
};

QTEST_MAIN(CropDialogTest)
#include "crop_dialog_test.moc"
