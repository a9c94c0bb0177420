// The real executable on the command line: usage, version, style show and its failures.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "support/test_support.h"

using testing_support::RunLumisto;
using testing_support::WriteFile;

class CommandLineTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

 private Q_SLOTS:
  void HelpAndVersion() {
    const auto help = RunLumisto({"--help"});
    QCOMPARE(help.exit_code, 0);
    QVERIFY(help.out.contains("lumisto style show FILE"));
    const auto version = RunLumisto({"--version"});
    QCOMPARE(version.exit_code, 0);
    QVERIFY(version.out.startsWith("lumisto "));
  }

  void WrongUsage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("unknown command") << QStringList{"frobnicate"};
    QTest::newRow("style without show") << QStringList{"style"};
    QTest::newRow("style show without file") << QStringList{"style", "show"};
    QTest::newRow("home without folder") << QStringList{"--home"};
  }
  void WrongUsage() {
    QFETCH(QStringList, args);
    const auto result = RunLumisto(args);
    QCOMPARE(result.exit_code, 2);
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY(result.err.startsWith("lumisto: "));
  }

  void StyleShowPrintsTheValues() {
    const QString path = dir_.filePath("Gold.ini");
    QVERIFY(WriteFile(path,
                      "[Other]\nX=1\n[Frames]\nBackDraw=7\nBackSize=-3\nBackColor=1,2,3\n"
                      "ColorColor=255,000,000\nLineColor=000,000,000\nFrameColor=010,020,030\n"
                      "StrokeColor=000,000,000\nShadowColor=000,000,000\n"));
    const auto result = RunLumisto({"style", "show", path});
    QCOMPARE(result.exit_code, 1);  // BackColor "1,2,3": its first piece "1,2" is no number
    QCOMPARE(result.err, QByteArray("lumisto: '1,2' is not a valid integer value\n"));

    QVERIFY(WriteFile(path,
                      "[Frames]\nBackDraw=7\nBackSize=-3\nBackColor=001,002,003\n"
                      "ColorColor=255,000,000\nLineColor=000,000,000\nFrameColor=010,020,030\n"
                      "StrokeColor=000,000,000\nShadowColor=000,000,000\n"));
    const auto good = RunLumisto({"style", "show", path});
    QCOMPARE(good.exit_code, 0);
    const QList<QByteArray> lines = good.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 33);
    QCOMPARE(lines.first(), QByteArray("BlendOpacity=0"));
    QCOMPARE(lines.last(), QByteArray("Scale=0"));
    QCOMPARE(lines[3], QByteArray("ColorColor=255,000,000"));
    QCOMPARE(lines[28], QByteArray("BackDraw=1"));
    QCOMPARE(lines[30], QByteArray("BackSize=-3"));
    QCOMPARE(lines[31], QByteArray("BackColor=001,002,003"));
  }

  // Every input format in, every output format out, checked by another program; the EXIF-turned
  // sample photo comes out upright (stored 1600 x 1065 lying on its side).
  void RenderWritesEveryFormat_data() {
    QTest::addColumn<QString>("photo");
    QTest::addColumn<QSize>("size");
    const QString photos = QStringLiteral(LUMISTO_SOURCE_DIR) + "/assets/DATA/Photo/";
    const QString tiff = dir_.filePath("input.tif");
    QImage(QSize(64, 48), QImage::Format_RGB32).save(tiff);
    const QList<std::tuple<const char*, QString, QSize>> inputs = {
        {"jpeg with EXIF turn", photos + "dog-window.jpg", QSize(1065, 1600)},
        {"png", photos + "ladybird.png", QSize(960, 600)},
        {"bmp", photos + "kite.bmp", QSize(800, 500)},
        {"gif", photos + "yellow-flower.gif", QSize(800, 500)},
        {"tiff", tiff, QSize(64, 48)}};
    for (const auto& [name, path, size] : inputs) QTest::newRow(name) << path << size;
  }
  void RenderWritesEveryFormat() {
    QFETCH(QString, photo);
    QFETCH(QSize, size);
    if (QStandardPaths::findExecutable("identify").isEmpty()) QSKIP("needs ImageMagick's identify");
    const QString style = dir_.filePath("every.ini");
    QVERIFY(WriteFile(style,
                      "[Frames]\nBlendOpacity=255\nBackDraw=1\nBackSize=12\nBackOpacity=255\n"
                      "BackColor=200,180,160\nFrameDraw=1\nFrameSize=6\nFrameOpacity=255\n"
                      "FrameColorText=1\nFrameText=3\nFrameTextSize=16\nFrameSharp=1\n"
                      "ColorColor=000,000,000\nLineColor=000,000,000\nFrameColor=000,000,000\n"
                      "StrokeColor=000,000,000\nShadowColor=000,000,000\n"));
    const QList<std::pair<const char*, const char*>> outputs = {
        {"jpg", "JPEG"}, {"png", "PNG"}, {"bmp", "BMP3"}, {"tif", "TIFF"}, {"gif", "GIF"}};
    for (const auto& [ext, magick] : outputs) {
      const QString out = dir_.filePath(QStringLiteral("framed.%1").arg(ext));
      const auto result = RunLumisto({"render", photo, style, out});
      QVERIFY2(result.exit_code == 0, result.err.constData());
      QProcess identify;
      identify.start("identify", {"-format", "%m %w %h", out});
      QVERIFY(identify.waitForFinished());
      const QString expected = QStringLiteral("%1 %2 %3").arg(magick).arg(size.width()).arg(size.height());
      QCOMPARE(QString::fromLatin1(identify.readAllStandardOutput()).replace("BMP ", "BMP3 "), expected);
    }
  }

  void RenderFailuresLeaveNoFile_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const QString photo = QStringLiteral(LUMISTO_SOURCE_DIR) + "/assets/DATA/Photo/kite.bmp";
    QTest::newRow("missing photo") << QStringList{"render", "/nowhere.jpg", "@style.ini", "@out.png"}
                                   << "no such photo";
    QTest::newRow("missing template")
        << QStringList{"render", photo, "@none.jpg", "@out.png"} << "none.ini: no file";
    QTest::newRow("bad settings") << QStringList{"render", photo, "@bad.ini", "@out.png"}
                                  << "bad.ini: '' is not a valid integer value";
    QTest::newRow("unknown extension")
        << QStringList{"render", photo, "@style.ini", "@out.webp"} << "unknown picture type";
  }
  void RenderFailuresLeaveNoFile() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QTemporaryDir work;
    QVERIFY(WriteFile(work.filePath("style.ini"),
                      "[Frames]\nBackColor=001,002,003\nColorColor=000,000,000\n"
                      "LineColor=000,000,000\nFrameColor=000,000,000\n"
                      "StrokeColor=000,000,000\nShadowColor=000,000,000\n"));
    QVERIFY(WriteFile(work.filePath("bad.ini"), "[Frames]\nColorColor=1\n"));
    for (QString& arg : args)
      if (arg.startsWith('@')) arg = work.filePath(arg.mid(1));
    const auto result = RunLumisto(args);
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY2(result.err.contains(message.toUtf8()), result.err.constData());
    QVERIFY(!QFileInfo::exists(work.filePath("out.png")) && !QFileInfo::exists(work.filePath("out.webp")));
    QCOMPARE(QDir(work.path()).entryList(QDir::Files).size(), 2);
  }

  void StyleShowOfMissingFile() {
    const auto result = RunLumisto({"style", "show", dir_.filePath("nothing.ini")});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.err, QByteArray("lumisto: no file\n"));
  }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
