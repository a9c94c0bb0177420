// Installing into a fresh prefix: the program folder, the link in bin/, the menu entry, the icon in
// every size of the theme and the AppStream metainfo, each valid by the desktop's own validators.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
  int exit_code = -1;
  QString output;
};

Run RunTool(const QString& program, const QStringList& args) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, args);
  Run run;
  if (!process.waitForFinished(120000)) return run;
  run.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.output = QString::fromLocal8Bit(process.readAll());
  return run;
}

}  // namespace

class DesktopInstallTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir prefix_;

 private Q_SLOTS:
  void initTestCase() {
    const Run install = RunTool(QStringLiteral(CMAKE_COMMAND),
                                {QStringLiteral("--install"), QStringLiteral(LUMISTO_BINARY_DIR),
                                 QStringLiteral("--prefix"), prefix_.path()});
    QVERIFY2(install.exit_code == 0, qPrintable(install.output));
  }

  void ProgramFolderAndLink() {
    const QFileInfo link(prefix_.filePath(QStringLiteral("bin/lumisto")));
    QVERIFY(link.isSymLink());
    QVERIFY(QFileInfo(link.canonicalFilePath()).isExecutable());
    QVERIFY(QFileInfo::exists(prefix_.filePath(QStringLiteral("lib/lumisto/Config.ini"))));
    QVERIFY(QFileInfo(prefix_.filePath(QStringLiteral("lib/lumisto/DATA/Mask"))).isDir());
  }

  void MenuEntryIsValid() {
    const QString entry = prefix_.filePath(QStringLiteral("share/applications/org.lumisto.Lumisto.desktop"));
    QVERIFY(QFileInfo::exists(entry));
    const Run check = RunTool(QStringLiteral("desktop-file-validate"), {entry});
    QVERIFY2(check.exit_code == 0 && check.output.trimmed().isEmpty(), qPrintable(check.output));
    QSettings desktop(entry, QSettings::IniFormat);
    desktop.beginGroup(QStringLiteral("Desktop Entry"));
    QCOMPARE(desktop.value(QStringLiteral("Exec")).toString(), QStringLiteral("lumisto %F"));
    QCOMPARE(desktop.value(QStringLiteral("Icon")).toString(), QStringLiteral("org.lumisto.Lumisto"));
  }

  void MetainfoIsValid() {
    const QString metainfo =
        prefix_.filePath(QStringLiteral("share/metainfo/org.lumisto.Lumisto.metainfo.xml"));
    QVERIFY(QFileInfo::exists(metainfo));
    const Run check = RunTool(
        QStringLiteral("appstreamcli"),
        {QStringLiteral("validate"), QStringLiteral("--no-net"), QStringLiteral("--explain"), metainfo});
    QVERIFY2(check.exit_code == 0, qPrintable(check.output));
  }

  void IconInEverySize_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("48") << 48;
    QTest::newRow("128") << 128;
    QTest::newRow("256") << 256;
  }
  void IconInEverySize() {
    QFETCH(int, size);
    const QImage icon(
        prefix_.filePath(QStringLiteral("share/icons/hicolor/%1x%1/apps/org.lumisto.Lumisto.png").arg(size)));
    QCOMPARE(icon.size(), QSize(size, size));
    // Transparent corners, an opaque middle: a tile, not a square.
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(size / 2, size / 2)), 255);
    const QString svg =
        prefix_.filePath(QStringLiteral("share/icons/hicolor/scalable/apps/org.lumisto.Lumisto.svg"));
    QFile file(svg);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("<svg"));
  }
};

QTEST_GUILESS_MAIN(DesktopInstallTest)
#include "desktop_install_test.moc"
