// Printing through Qt's PDF printer: one page, the picture at the page origin.
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include "output/print_job.h"
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
    QCOMPARE(printer.docName(), QString("Lumisto"));  // the queue shows whose job it is
    const QByteArray pdf = testing_support::ReadFile(dir.filePath("out.pdf"));
    QVERIFY(pdf.startsWith("%PDF"));
    QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 1);
    QVERIFY(pdf.contains("/Subtype /Image"));
    QVERIFY(pdf.contains("/Width 600"));
  }
};

QTEST_MAIN(PrintJobTest)
#include "print_job_test.moc"
