// Printing through Qt's PDF printer: one page, the picture at the page origin.
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include "output/print_job.h"
#include "support/pdf_probe.h"
#include "support/test_support.h"

class PrintJobTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void PrintsOnePageToPdf() {
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("out.pdf"));
    QImage picture(600, 400, QImage::Format_ARGB32_Premultiplied);
    picture.fill(QColor(200, 30, 30));
    QVERIFY(PrintPicture(printer, picture));
    QCOMPARE(printer.docName(), QString("GdiplusPrint"));
    const QByteArray pdf = testing_support::ReadFile(dir.filePath("out.pdf"));
    QVERIFY(pdf.startsWith("%PDF"));
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 1);
    QVERIFY(pdf.contains("/Subtype /Image"));
    QVERIFY(pdf.contains("/Width 600"));
  }

  // A picture larger than the printable area is scaled down to fit it in its own shape, at the
  // area's top-left corner; one that fits prints one pixel to one device pixel.
  void PictureOnThePage_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<bool>("fits");
    QTest::newRow("3000 x 2000, wider than the page") << QSize(3000, 2000) << false;
    QTest::newRow("700 x 2400, taller than the page") << QSize(700, 2400) << false;
    QTest::newRow("600 x 400 fits") << QSize(600, 400) << true;
    QTest::newRow("1 x 1") << QSize(1, 1) << true;
  }
  void PictureOnThePage() {
    QFETCH(QSize, picture);
    QFETCH(bool, fits);
    QTemporaryDir dir;
    QPrinter printer;  // the window's printer: screen resolution
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFileName(dir.filePath("out.pdf"));
    QImage image(picture, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(30, 90, 200));
    QVERIFY(PrintPicture(printer, image));
    const std::optional<QRectF> box =
        testing_support::PdfImageBox(testing_support::ReadFile(dir.filePath("out.pdf")));
    QVERIFY(box);
    const QRectF area = printer.pageLayout().paintRect(QPageLayout::Point);
    const double point_per_pixel = 72.0 / printer.resolution();
    QVERIFY(qAbs(box->left() - area.left()) < 0.5 && qAbs(box->top() - area.top()) < 0.5);
    if (fits) {
      QVERIFY(qAbs(box->width() - picture.width() * point_per_pixel) < 0.5);
      QVERIFY(qAbs(box->height() - picture.height() * point_per_pixel) < 0.5);
    } else {
      QVERIFY2(box->width() <= area.width() + 0.5 && box->height() <= area.height() + 0.5,
               qPrintable(QStringLiteral("%1 x %2 in %3 x %4")
                              .arg(box->width())
                              .arg(box->height())
                              .arg(area.width())
                              .arg(area.height())));
      QVERIFY(qAbs(box->width() - area.width()) < 1.5 || qAbs(box->height() - area.height()) < 1.5);
      QVERIFY(qAbs(box->width() / box->height() - double(picture.width()) / picture.height()) < 0.01);
    }
  }

  void PrintedRect_data() {
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("area");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("fits") << QSize(600, 400) << QSize(700, 1000) << QRect(0, 0, 600, 400);
    QTest::newRow("exactly the area") << QSize(700, 1000) << QSize(700, 1000) << QRect(0, 0, 700, 1000);
    QTest::newRow("one pixel too wide") << QSize(701, 100) << QSize(700, 1000) << QRect(0, 0, 700, 99);
    QTest::newRow("wide") << QSize(3000, 2000) << QSize(700, 1000) << QRect(0, 0, 700, 466);
    QTest::newRow("tall") << QSize(1000, 4000) << QSize(700, 1000) << QRect(0, 0, 250, 1000);
    QTest::newRow("no picture") << QSize(0, 0) << QSize(700, 1000) << QRect();
  }
  void PrintedRect() {
    QFETCH(QSize, picture);
    QFETCH(QSize, area);
    QFETCH(QRect, rect);
    QCOMPARE(PrintedPictureRect(picture, area), rect);
  }
};

QTEST_MAIN(PrintJobTest)
#include "print_job_test.moc"
