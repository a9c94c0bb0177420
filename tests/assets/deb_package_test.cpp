// The Debian package: made by cpack from this build, unpacked into a temporary root with dpkg -x,
// its files and computed dependencies checked, and the program run from there: --version, a render,
// and a first start that seeds the user's data folder without writing anything under the prefix.
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
  int exit_code = -1;
  QString output;
};

Run RunTool(const QString& program, const QStringList& args, const QProcessEnvironment& env = {}) {
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  if (!env.isEmpty()) process.setProcessEnvironment(env);
  process.start(program, args);
  Run run;
  if (!process.waitForFinished(300000)) return run;
  run.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.output = QString::fromLocal8Bit(process.readAll());
  return run;
}

// Every file under root with its size and time of change: what a run may not alter.
QStringList TreeState(const QString& root) {
  QStringList state;
  QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info = it.nextFileInfo();
    state.append(QStringLiteral("%1 %2 %3")
                     .arg(info.filePath())
                     .arg(info.size())
                     .arg(info.lastModified().toMSecsSinceEpoch()));
  }
  state.sort();
  return state;
}

}  // namespace

class DebPackageTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir work_;
  QString deb_;
  QString root_;

  QProcessEnvironment Environment(const QString& home) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    env.remove(QStringLiteral("LUMISTO_HOME"));
    env.insert(QStringLiteral("LUMISTO_INSTANCE"),
               QStringLiteral("lumisto-deb-test-%1").arg(QCoreApplication::applicationPid()));
    return env;
  }

 private Q_SLOTS:
  void initTestCase() {
    if (QStandardPaths::findExecutable(QStringLiteral("dpkg-shlibdeps")).isEmpty())
      QSKIP("dpkg-dev is not installed");
    const Run pack =
        RunTool(QStringLiteral(CPACK_COMMAND),
                {QStringLiteral("--config"), QStringLiteral(LUMISTO_BINARY_DIR "/CPackConfig.cmake"),
                 QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), work_.path()});
    QVERIFY2(pack.exit_code == 0, qPrintable(pack.output));
    const QStringList debs = QDir(work_.path()).entryList({QStringLiteral("lumisto_*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    deb_ = work_.filePath(debs.first());
    root_ = work_.filePath(QStringLiteral("root"));
    const Run unpack = RunTool(QStringLiteral("dpkg"), {QStringLiteral("-x"), deb_, root_});
    QVERIFY2(unpack.exit_code == 0, qPrintable(unpack.output));
  }

  // Dependencies come from the binary (dpkg-shlibdeps), plus the plug-ins and the font.
  void DependenciesAreComputed() {
    const Run depends =
        RunTool(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb_, QStringLiteral("Depends")});
    QCOMPARE(depends.exit_code, 0);
    for (const char* package : {"libqt6widgets6", "libqt6gui6", "libturbojpeg0", "libc6",
                                "qt6-image-formats-plugins", "fonts-lato"})
      QVERIFY2(depends.output.contains(QLatin1String(package)), qPrintable(depends.output));
  }

  void FilesInPlace_data() {
    QTest::addColumn<QString>("path");
    for (const char* path :
         {"usr/lib/lumisto/lumisto", "usr/lib/lumisto/INSTALLED", "usr/lib/lumisto/Config.ini",
          "usr/lib/lumisto/DATA/Mask/Texture/Bamboo.ini", "usr/lib/lumisto/help/index.html",
          "usr/share/applications/org.lumisto.Lumisto.desktop",
          "usr/share/metainfo/org.lumisto.Lumisto.metainfo.xml",
          "usr/share/icons/hicolor/256x256/apps/org.lumisto.Lumisto.png", "usr/share/man/man1/lumisto.1.gz",
          "usr/share/doc/lumisto/copyright", "usr/share/doc/lumisto/changelog.Debian.gz"})
      QTest::newRow(path) << QString::fromLatin1(path);
  }
  void FilesInPlace() {
    QFETCH(QString, path);
    QVERIFY2(QFileInfo::exists(QDir(root_).filePath(path)), qPrintable(path));
  }

  void VersionAndRenderFromTheUnpackedRoot() {
    QTemporaryDir home;
    const QString program = QDir(root_).filePath(QStringLiteral("usr/bin/lumisto"));
    const QStringList before = TreeState(root_);
    const Run version = RunTool(program, {QStringLiteral("--version")}, Environment(home.path()));
    QCOMPARE(version.exit_code, 0);
    QVERIFY(version.output.contains(QStringLiteral("lumisto " LUMISTO_VERSION)));
    const QString out = home.filePath(QStringLiteral("framed.png"));
    const Run render =
        RunTool(program,
                {QStringLiteral("render"),
                 QDir(root_).filePath(QStringLiteral("usr/lib/lumisto/DATA/Photo/kite.bmp")),
                 QDir(root_).filePath(QStringLiteral("usr/lib/lumisto/DATA/Mask/Texture/Bamboo.ini")), out},
                Environment(home.path()));
    QVERIFY2(render.exit_code == 0, qPrintable(render.output));
    QVERIFY(!QImage(out).isNull());
    QCOMPARE(TreeState(root_), before);
  }

  // The first start of the window seeds ~/.local/share/lumisto from the installation (the settings,
  // the sample photos and empty template category folders: the shipped templates are read in
  // place) and writes nothing under the prefix, even for root, who could.
  void FirstStartSeedsTheUserFolder() {
    QTemporaryDir home;
    const QStringList before = TreeState(root_);
    QProcess window;
    QProcessEnvironment env = Environment(home.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    window.setProcessEnvironment(env);
    window.start(QDir(root_).filePath(QStringLiteral("usr/bin/lumisto")), {});
    const QString user = home.filePath(QStringLiteral(".local/share/lumisto"));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(user + QStringLiteral("/DATA/Photo/kite.bmp")).isFile(), 60000);
    QVERIFY(QFileInfo(user + QStringLiteral("/Config.ini")).isFile());
    QVERIFY(QFileInfo(user + QStringLiteral("/DATA/Mask/Texture")).isDir());
    QVERIFY(!QFileInfo::exists(user + QStringLiteral("/DATA/Mask/Texture/Bamboo.ini")));
    window.kill();
    window.waitForFinished(10000);
    QCOMPARE(TreeState(root_), before);
  }

  void LintianFindsNoError() {
    if (QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty())
      QSKIP("lintian is not installed");
    const Run lint = RunTool(QStringLiteral("lintian"), {deb_});
    QVERIFY2(!lint.output.contains(
                 QRegularExpression(QStringLiteral("^E: "), QRegularExpression::MultilineOption)),
             qPrintable(lint.output));
  }
};

QTEST_GUILESS_MAIN(DebPackageTest)
#include "deb_package_test.moc"
