// Config.ini keys and the folder resolution rules.
#include <QTemporaryDir>
#include <QtTest>

#include "app/app_folder.h"
#include "base/config.h"
#include "base/lumisto_error.h"
#include "support/test_support.h"

using testing_support::ReadFile;
using testing_support::WriteFile;

class ConfigTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void Resolution_data() {
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("photo_folder");
    QTest::addColumn<QString>("template2_folder");
    QTest::newRow("no Config.ini") << QByteArray() << "@/DATA/Photo"
                                   << "@/DATA/Mask/0/";
    QTest::newRow("sentinel 0 is the default")
        << QByteArray("[Photo]\nTemplate=0\n[Template]\nTemplate2=0\n") << "@/DATA/Photo"
        << "@/DATA/Mask/0/";
    QTest::newRow("chosen folders") << QByteArray(
                                           "[photo]\ntemplate=/srv/pics\n[TEMPLATE]\nTemplate2=Color\n")
                                    << "/srv/pics"
                                    << "@/DATA/Mask/Color/";
  }
  void Resolution() {
    QFETCH(QByteArray, config);
    QFETCH(QString, photo_folder);
    QFETCH(QString, template2_folder);
    QTemporaryDir dir;
    if (!config.isNull()) QVERIFY(WriteFile(dir.filePath("Config.ini"), config));
    const Config cfg(dir.path());
    QCOMPARE(cfg.PhotoFolder(), QString(photo_folder).replace('@', dir.path()));
    QCOMPARE(cfg.TemplateFolder(TemplateCategory::Color), QString(template2_folder).replace('@', dir.path()));
    QVERIFY(!config.isNull() || !QFileInfo::exists(dir.filePath("Config.ini")));  // reading creates nothing
  }

  void OutputMetadata_data() {
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<int>("policy");
    QTest::newRow("no Config.ini: keep") << QByteArray() << int(MetadataPolicy::Keep);
    QTest::newRow("no key: keep") << QByteArray("[Output]\n") << int(MetadataPolicy::Keep);
    QTest::newRow("keep") << QByteArray("[Output]\nMetadata=keep\n") << int(MetadataPolicy::Keep);
    QTest::newRow("strip, any case") << QByteArray("[output]\nmetadata=STRIP\n")
                                     << int(MetadataPolicy::Strip);
    QTest::newRow("nolocation") << QByteArray("[Output]\nMetadata=nolocation\n")
                                << int(MetadataPolicy::NoLocation);
    // The program's "0" default of every key, and words it does not know, keep everything: a typo
    // never throws away a photo's date.
    QTest::newRow("0") << QByteArray("[Output]\nMetadata=0\n") << int(MetadataPolicy::Keep);
    QTest::newRow("unknown word") << QByteArray("[Output]\nMetadata=none\n") << int(MetadataPolicy::Keep);
    QTest::newRow("empty") << QByteArray("[Output]\nMetadata=\n") << int(MetadataPolicy::Keep);
  }
  void OutputMetadata() {
    QFETCH(QByteArray, config);
    QFETCH(int, policy);
    QTemporaryDir dir;
    if (!config.isNull()) QVERIFY(WriteFile(dir.filePath("Config.ini"), config));
    const Config cfg(dir.path());
    QCOMPARE(int(cfg.OutputMetadata()), policy);
  }

  void OutputMetadataIsWrittenAsAWord() {
    QTemporaryDir dir;
    QVERIFY(WriteFile(dir.filePath("Config.ini"), "[Photo]\nTemplate=0\n"));
    const Config cfg(dir.path());
    for (const MetadataPolicy policy :
         {MetadataPolicy::Strip, MetadataPolicy::NoLocation, MetadataPolicy::Keep}) {
      cfg.SetOutputMetadata(policy);
      QCOMPARE(cfg.OutputMetadata(), policy);
    }
    cfg.SetOutputMetadata(MetadataPolicy::NoLocation);
    QVERIFY(ReadFile(dir.filePath("Config.ini")).contains("[Output]\nMetadata=nolocation"));
  }

  void FileIsFoundWhateverTheCaseAndWrittenUnderItsName() {
    QTemporaryDir dir;
    QVERIFY(WriteFile(dir.filePath("config.ini"), "[Template]\nTemplate1=Texture\n"));
    const Config cfg(dir.path());
    QCOMPARE(cfg.TemplateFolderName(TemplateCategory::Texture), QString("Texture"));
    cfg.SetPhotoFolder("/media/card");
    QCOMPARE(cfg.PhotoFolder(), QString("/media/card"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"config.ini"});
    QVERIFY(ReadFile(dir.filePath("config.ini")).startsWith("[Template]\nTemplate1=Texture\n"));
  }

  void AppFolderPrecedence() {
    QCOMPARE(ResolveAppFolder("", "", "/opt/lumisto"), QString("/opt/lumisto"));
    QCOMPARE(ResolveAppFolder("", "/env/home", "/opt/lumisto"), QString("/env/home"));
    QCOMPARE(ResolveAppFolder("/cli/home/", "/env/home", "/opt/lumisto"), QString("/cli/home"));
    QStringList args{"render", "--home", "/x", "a"};
    QCOMPARE(TakeHomeOption(args), QString("/x"));
    QCOMPARE(args, (QStringList{"render", "a"}));
    QStringList bare{"--home"};
    QVERIFY_THROWS_EXCEPTION(LumistoError, TakeHomeOption(bare));
  }
};

QTEST_GUILESS_MAIN(ConfigTest)
#include "config_test.moc"
