// The real executable on the command line: usage, version, style show and its failures.
#include <QDir>
#include <QImage>
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
    QVERIFY(help.out.contains("lumisto PHOTO... | FOLDER"));
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
    QTest::newRow("camera test pattern with a command") << QStringList{"--camera-test-pattern", "render"};
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
    QCOMPARE(result.err, ("lumisto: " + path + ": BackColor: '1,2' is not a valid integer value\n").toUtf8());

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
                                  << "bad.ini: ColorColor: '' is not a valid integer value";
    QTest::newRow("unknown extension")
        << QStringList{"render", photo, "@style.ini", "@out.heic"} << "unknown picture type";
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
    QVERIFY(!QFileInfo::exists(work.filePath("out.png")) && !QFileInfo::exists(work.filePath("out.heic")));
    QCOMPARE(QDir(work.path()).entryList(QDir::Files).size(), 2);
  }

  void EveryCommandAnswersHelp_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("text");
    QTest::newRow("help") << QStringList{"help"} << "lumisto render PHOTO TEMPLATE OUT";
    QTest::newRow("render --help") << QStringList{"render", "--help"} << "--crop X,Y,W,H";
    for (const char* flag : {"--caption-style STYLE", "--caption-colour RRR,GGG,BBB",
                             "--caption-shadow RRR,GGG,BBB", "--caption-opacity FACE,SHADOW"})
      QTest::newRow(qPrintable(QStringLiteral("render --help: %1").arg(QLatin1String(flag))))
          << QStringList{"render", "--help"} << QString::fromLatin1(flag);
    QTest::newRow("style show --help") << QStringList{"style", "show", "--help"} << "lumisto style show FILE";
  }
  void EveryCommandAnswersHelp() {
    QFETCH(QStringList, args);
    QFETCH(QString, text);
    const auto result = RunLumisto(args);
    QCOMPARE(result.exit_code, 0);
    QVERIFY2(result.out.contains(text.toUtf8()), result.out.constData());
  }

  // Values and files the render refuses before any work, and what it says.
  void RenderRefusals_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exit_code");
    QTest::addColumn<QString>("message");
    const QString photo = QStringLiteral(LUMISTO_SOURCE_DIR) + "/assets/DATA/Photo/kite.bmp";  // 800 x 500
    QTest::newRow("size 0x0") << QStringList{"render", photo, "@style.ini", "@out.png", "--size", "0x0"} << 2
                              << "--size: '0' is not a whole number from 1 to 250000000";
    QTest::newRow("size -10x100") << QStringList{"render",   photo,    "@style.ini",
                                                 "@out.png", "--size", "-10x100"}
                                  << 2 << "--size: '-10'";
    QTest::newRow("size past the ceiling")
        << QStringList{"render", photo, "@style.ini", "@out.png", "--size", "100000x100000"} << 2
        << "more than 250 million pixels";
    QTest::newRow("crop outside") << QStringList{"render",   photo,    "@style.ini",
                                                 "@out.png", "--crop", "900,0,10,10"}
                                  << 2 << "lies outside the 800 x 500 photo";
    QTest::newRow("crop overflowing")
        << QStringList{"render", photo, "@style.ini", "@out.png", "--crop", "2147483647,0,10,10"} << 2
        << "reaches past the largest coordinate";
    QTest::newRow("caption opacity 256")
        << QStringList{"render", photo, "@style.ini", "@out.png", "--caption-opacity", "255,256"} << 2
        << "--caption-opacity needs the face's and the shadow's opacity, 0..255 each";
    QTest::newRow("caption style heavy")
        << QStringList{"render", photo, "@style.ini", "@out.png", "--caption-style", "heavy"} << 2
        << "--caption-style needs regular, bold, italic or bold-italic";
    QTest::newRow("font size 0") << QStringList{"render", photo, "@style.ini", "@out.png", "--font-size", "0"}
                                 << 2 << "--font-size: '0'";
    QTest::newRow("folder as OUT") << QStringList{"render", photo, "@style.ini", "@folder.png"} << 1
                                   << "folder.png: it is a folder";
    QTest::newRow("OUT is the template")
        << QStringList{"render", photo, "@style.ini", "@style.ini"} << 2 << "is also an input";
    // Were it read as Qt's option, the template's path would name the platform and the program would abort.
    QTest::newRow("photo named -platform")
        << QStringList{"render", "-platform", "@style.ini", "@out.png"} << 1 << "-platform: no such photo";
    QTest::newRow("long bad value echoed short")
        << QStringList{"render", photo, "@style.ini", "@out.png", "--" + QString(200, 'x')} << 2
        << "render does not know --" + QString(55, 'x') + "...";
  }
  void RenderRefusals() {
    QFETCH(QStringList, args);
    QFETCH(int, exit_code);
    QFETCH(QString, message);
    QTemporaryDir work;
    // A settings file with a byte-order mark, as some editors save it.
    QVERIFY(WriteFile(work.filePath("style.ini"),
                      "\xEF\xBB\xBF[Frames]\nBackColor=001,002,003\nColorColor=000,000,000\n"
                      "LineColor=000,000,000\nFrameColor=000,000,000\n"
                      "StrokeColor=000,000,000\nShadowColor=000,000,000\n"));
    QVERIFY(QDir(work.path()).mkpath("folder.png"));
    for (QString& arg : args)
      if (arg.startsWith('@')) arg = work.filePath(arg.mid(1));
    const auto result = RunLumisto(args);
    QCOMPARE(result.exit_code, exit_code);
    QCOMPARE(result.err.count('\n'), 1);
    QVERIFY2(result.err.contains(message.toUtf8()), result.err.constData());
    QVERIFY(!QFileInfo::exists(work.filePath("out.png")));
  }

  void RenderWithOneSideKeepsTheProportion() {
    QTemporaryDir work;
    QVERIFY(WriteFile(work.filePath("style.ini"),
                      "[Frames]\nBackColor=001,002,003\nColorColor=000,000,000\n"
                      "LineColor=000,000,000\nFrameColor=000,000,000\n"
                      "StrokeColor=000,000,000\nShadowColor=000,000,000\n"));
    const QString photo = QStringLiteral(LUMISTO_SOURCE_DIR) + "/assets/DATA/Photo/kite.bmp";  // 800 x 500
    const QString out = work.filePath("small.png");
    for (const auto& [size, expected] :
         {std::pair{"160", QSize(160, 100)}, std::pair{"X50", QSize(80, 50)}}) {
      const auto result = RunLumisto({"render", photo, work.filePath("style.ini"), out, "--size", size});
      QVERIFY2(result.exit_code == 0, result.err.constData());
      QCOMPARE(QImage(out).size(), expected);
    }
    // A crop partly outside the photo is cut to it, with a warning, and the render goes on.
    const auto clipped = RunLumisto(
        {"render", photo, work.filePath("style.ini"), out, "--crop", "700,400,200,200", "--quality", "80"});
    QCOMPARE(clipped.exit_code, 0);
    QVERIFY2(clipped.err.contains("cut to 700,400,100,100"), clipped.err.constData());
    QVERIFY2(clipped.err.contains("--quality applies to JPEG, WebP, AVIF and JPEG XL files only"),
             clipped.err.constData());
    QCOMPARE(QImage(out).size(), QSize(100, 100));
  }

  // A missing photo is a failure naming it, never an unknown command; nothing opens.
  void MissingPhotoToOpen_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("alone") << QStringList{"gone.jpg"} << QByteArray("lumisto: no such file: gone.jpg\n");
    QTest::newRow("in a folder") << QStringList{"/nowhere/x.tif"}
                                 << QByteArray("lumisto: no such file: /nowhere/x.tif\n");
  }
  void MissingPhotoToOpen() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, message);
    const auto result = RunLumisto(args);
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.err, message);
  }

  void StyleShowOfMissingFile() {
    const auto result = RunLumisto({"style", "show", dir_.filePath("nothing.ini")});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.err, ("lumisto: " + dir_.filePath("nothing.ini") + ": no file\n").toUtf8());
  }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
