// Where an installed program keeps the user's data, and the first start that seeds it.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "app/user_data_folder.h"
#include "base/lumisto_error.h"
#include "support/test_support.h"

using testing_support::ReadFile;
using testing_support::WriteFile;

class UserDataFolderTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  QString Shipped() const { return dir_.filePath(QStringLiteral("usr/lib/lumisto")); }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(QDir().mkpath(Shipped() + QStringLiteral("/DATA/Mask/Texture")));
    QVERIFY(QDir().mkpath(Shipped() + QStringLiteral("/DATA/Photo")));
    QVERIFY(WriteFile(Shipped() + QStringLiteral("/Config.ini"), "[Photo]\nTemplate=0\n"));
    QVERIFY(WriteFile(Shipped() + QStringLiteral("/DATA/Mask/Texture/Oak.ini"), "[Frames]\nBackSize=4\n"));
    QVERIFY(WriteFile(Shipped() + QStringLiteral("/DATA/Photo/a.jpg"), "jpeg"));
    QVERIFY(WriteFile(Shipped() + QLatin1Char('/') + QLatin1String(kInstalledMarker), "installed\n"));
    QVERIFY(QDir().mkpath(dir_.filePath(QStringLiteral("build"))));
  }

  void Folders_data() {
    QTest::addColumn<QString>("home_option");
    QTest::addColumn<QString>("home_environment");
    QTest::addColumn<QString>("executable");  // relative to the test folder
    QTest::addColumn<QString>("xdg");
    QTest::addColumn<QString>("app_folder");  // relative to the test folder
    QTest::addColumn<QString>("shipped");
    QTest::newRow("a build folder is its own") << ""
                                               << ""
                                               << "build"
                                               << ""
                                               << "build"
                                               << "build";
    QTest::newRow("installed: the user's folder") << ""
                                                  << ""
                                                  << "usr/lib/lumisto"
                                                  << ""
                                                  << "home/.local/share/lumisto"
                                                  << "usr/lib/lumisto";
    QTest::newRow("installed, XDG_DATA_HOME set") << ""
                                                  << ""
                                                  << "usr/lib/lumisto"
                                                  << "@/xdg"
                                                  << "xdg/lumisto"
                                                  << "usr/lib/lumisto";
    QTest::newRow("a relative XDG_DATA_HOME is ignored") << ""
                                                         << ""
                                                         << "usr/lib/lumisto"
                                                         << "rel"
                                                         << "home/.local/share/lumisto"
                                                         << "usr/lib/lumisto";
    QTest::newRow("--home wins") << "@/mine"
                                 << "@/env"
                                 << "usr/lib/lumisto"
                                 << ""
                                 << "mine"
                                 << "mine";
    QTest::newRow("LUMISTO_HOME") << ""
                                  << "@/env"
                                  << "usr/lib/lumisto"
                                  << ""
                                  << "env"
                                  << "env";
  }
  void Folders() {
    QFETCH(QString, home_option);
    QFETCH(QString, home_environment);
    QFETCH(QString, executable);
    QFETCH(QString, xdg);
    QFETCH(QString, app_folder);
    QFETCH(QString, shipped);
    const QString root = dir_.path();
    const auto at = [&root](QString text) { return text.replace(QLatin1String("@"), root); };
    const DataFolders folders =
        ResolveDataFolders(at(home_option), at(home_environment), dir_.filePath(executable), at(xdg),
                           dir_.filePath(QStringLiteral("home")));
    QCOMPARE(folders.app_folder, dir_.filePath(app_folder));
    QCOMPARE(folders.shipped_folder, dir_.filePath(shipped));
  }

  // The first start copies Config.ini and DATA but the shipped templates (the installation's, read
  // in place): their category folders come empty. Later starts keep what the user changed.
  void SeedingCopiesOnceAndKeepsTheUsersFiles() {
    const QString user = dir_.filePath(QStringLiteral("seeded/lumisto"));
    // Left by a start that was interrupted while copying.
    QVERIFY(QDir().mkpath(user + QStringLiteral("/DATA.part/Mask")));
    SeedUserDataFolder(Shipped(), user);
    QCOMPARE(ReadFile(user + QStringLiteral("/Config.ini")), QByteArray("[Photo]\nTemplate=0\n"));
    QVERIFY(QFileInfo(user + QStringLiteral("/DATA/Mask/Texture")).isDir());
    QVERIFY(!QFileInfo::exists(user + QStringLiteral("/DATA/Mask/Texture/Oak.ini")));
    QVERIFY(QFileInfo::exists(user + QStringLiteral("/DATA/Photo/a.jpg")));
    QVERIFY(!QFileInfo::exists(user + QStringLiteral("/DATA.part")));
    QVERIFY(QFileInfo(user + QStringLiteral("/DATA/Photo/a.jpg")).isWritable());
    QVERIFY(WriteFile(user + QStringLiteral("/DATA/Mask/Texture/Oak.ini"), "[Frames]\nBackSize=9\n"));
    QVERIFY(WriteFile(user + QStringLiteral("/Config.ini"), "[Photo]\nTemplate=/photos\n"));
    SeedUserDataFolder(Shipped(), user);
    QCOMPARE(ReadFile(user + QStringLiteral("/DATA/Mask/Texture/Oak.ini")),
             QByteArray("[Frames]\nBackSize=9\n"));
    QCOMPARE(ReadFile(user + QStringLiteral("/Config.ini")), QByteArray("[Photo]\nTemplate=/photos\n"));
  }

  void SeedingWhereNothingCanBeWrittenSaysSo() {
    // Not even root can make a folder in /proc.
    QVERIFY_THROWS_EXCEPTION(LumistoError, SeedUserDataFolder(Shipped(), QStringLiteral("/proc/lumisto")));
  }
};

QTEST_GUILESS_MAIN(UserDataFolderTest)
#include "user_data_folder_test.moc"
