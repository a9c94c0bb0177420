// A file-size limit that stops the banded JPEG write half-way: the render fails, says so, and the
// user's old file survives untouched.
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "support/test_support.h"

using testing_support::ReadFile;
using testing_support::WriteFile;

class WriteFailureTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  // Runs `lumisto render` with writes past limit_kb refused (EFBIG instead of the signal).
  testing_support::ProcessResult RenderUnderLimit(int limit_kb, const QStringList& args) {
    QProcess process;
    QStringList bash_args = {QStringLiteral("-c"),
                             QStringLiteral("trap '' XFSZ; ulimit -f %1; exec \"$0\" \"$@\"").arg(limit_kb),
                             QStringLiteral(LUMISTO_EXE), QStringLiteral("render")};
    bash_args += args;
    process.start(QStringLiteral("bash"), bash_args);
    testing_support::ProcessResult result;
    if (!process.waitForFinished(120000)) return result;
    result.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
  }

 private Q_SLOTS:
  void CutShortJpegLeavesTheOldFile() {
    // Noise does not compress: at quality 100 a 1200 x 900 picture is far above the limit, so the
    // limit strikes while bands are still being drawn and encoded.
    QImage photo(1200, 900, QImage::Format_RGB32);
    QRandomGenerator noise(7);
    for (int y = 0; y < photo.height(); ++y)
      for (int x = 0; x < photo.width(); ++x) photo.setPixel(x, y, 0xFF000000u | noise.generate());
    const QString photo_path = dir_.filePath(QStringLiteral("noise.png"));
    QVERIFY(photo.save(photo_path));
    const QString settings = dir_.filePath(QStringLiteral("Black Edge.ini"));
    QVERIFY(
        QFile::copy(QStringLiteral(LUMISTO_SOURCE_DIR "/assets/DATA/Mask/Color/Black Edge.ini"), settings));
    const QString out = dir_.filePath(QStringLiteral("out.jpg"));
    const QByteArray old_bytes = "the user's old picture";
    QVERIFY(WriteFile(out, old_bytes));

    const auto result = RenderUnderLimit(256, {photo_path, settings, out});
    QCOMPARE(result.exit_code, 1);
    QVERIFY2(result.err.startsWith("lumisto: Unable to write to"), result.err.constData());
    QCOMPARE(ReadFile(out), old_bytes);
    // Nothing else is left in the folder: the temporary file went with the failure.
    QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
  }
};

QTEST_GUILESS_MAIN(WriteFailureTest)
#include "write_failure_test.moc"
