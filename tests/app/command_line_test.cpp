// The real executable on the command line: usage, version, style show and its failures.
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

  void StyleShowPrintsTheThirtyTwoValues() {
    const QString path = dir_.filePath("Gold.ini");
    QVERIFY(WriteFile(path, "[Other]\nX=1\n[Frames]\nBackDraw=7\nBackSize=-3\nBackColor=1,2,3\n"
                            "ColorColor=255,000,000\nLineColor=000,000,000\nFrameColor=010,020,030\n"
                            "StrokeColor=000,000,000\nShadowColor=000,000,000\n"));
    const auto result = RunLumisto({"style", "show", path});
    QCOMPARE(result.exit_code, 1);  // BackColor "1,2,3": its first piece "1,2" is no number
    QCOMPARE(result.err, QByteArray("lumisto: '1,2' is not a valid integer value\n"));

    QVERIFY(WriteFile(path, "[Frames]\nBackDraw=7\nBackSize=-3\nBackColor=001,002,003\n"
                            "ColorColor=255,000,000\nLineColor=000,000,000\nFrameColor=010,020,030\n"
                            "StrokeColor=000,000,000\nShadowColor=000,000,000\n"));
    const auto good = RunLumisto({"style", "show", path});
    QCOMPARE(good.exit_code, 0);
    const QList<QByteArray> lines = good.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 32);
    QCOMPARE(lines.first(), QByteArray("BlendOpacity=0"));
    QCOMPARE(lines[3], QByteArray("ColorColor=255,000,000"));
    QCOMPARE(lines[28], QByteArray("BackDraw=1"));
    QCOMPARE(lines[30], QByteArray("BackSize=-3"));
    QCOMPARE(lines[31], QByteArray("BackColor=001,002,003"));
  }

  void StyleShowOfMissingFile() {
    const auto result = RunLumisto({"style", "show", dir_.filePath("nothing.ini")});
    QCOMPARE(result.exit_code, 1);
    QCOMPARE(result.err, QByteArray("lumisto: no file\n"));
  }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
