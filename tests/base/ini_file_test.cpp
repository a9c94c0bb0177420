// The INI module: lookup rules, byte-for-byte preservation, creation and refused writes.
#include <QTemporaryDir>
#include <QtTest>

#include "base/ini_file.h"
#include "base/lumisto_error.h"
#include "support/test_support.h"

using testing_support::ReadFile;
using testing_support::WriteFile;

class IniFileTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString Path(const QString& name) const { return dir_.filePath(name); }

 private Q_SLOTS:
  void Lookup_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    const QByteArray basic = "[Frames]\nBackSize=20\n";
    QTest::newRow("exact") << basic << "Frames"
                           << "BackSize"
                           << "20";
    QTest::newRow("case of names") << basic << "FRAMES"
                                   << "backsize"
                                   << "20";
    QTest::newRow("missing key") << basic << "Frames"
                                 << "LineSize"
                                 << "dflt";
    QTest::newRow("missing section") << basic << "Photo"
                                     << "BackSize"
                                     << "dflt";
    QTest::newRow("trimmed") << QByteArray("  [ Frames ]  \r\n  BackSize  =  7 \r\n") << "Frames"
                             << "BackSize"
                             << "7";
    QTest::newRow("first key wins") << QByteArray("[a]\nk=1\nK=2\n") << "a"
                                    << "k"
                                    << "1";
    QTest::newRow("first section wins") << QByteArray("[a]\nx=1\n[A]\nk=2\n") << "a"
                                        << "k"
                                        << "dflt";
    QTest::newRow("other section's key") << QByteArray("[a]\n[b]\nk=2\n") << "a"
                                         << "k"
                                         << "dflt";
    QTest::newRow("empty value") << QByteArray("[a]\nk=\n") << "a"
                                 << "k"
                                 << "";
    QTest::newRow("comment is no key") << QByteArray("[a]\n;k=1\nk=2\n") << "a"
                                       << "k"
                                       << "2";
    QTest::newRow("no trailing newline") << QByteArray("[a]\nk=3") << "a"
                                         << "k"
                                         << "3";
    QTest::newRow("utf-8 value") << QByteArray("[Photo]\nTemplate=/home/zoë/Fotos\n") << "photo"
                                 << "template" << QString::fromUtf8("/home/zoë/Fotos");
    QTest::newRow("CR line ends") << QByteArray("[a]\rx=1\rk=4\r") << "a"
                                  << "k"
                                  << "4";
  }
  void Lookup() {
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QVERIFY(WriteFile(Path("lookup.ini"), content));
    QCOMPARE(ReadIniString(Path("lookup.ini"), section, key, "dflt"), expected);
  }

  void MissingFileGivesDefault() {
    QCOMPARE(ReadIniString(Path("nowhere.ini"), "a", "b", "0"), QString("0"));
  }

  void Edits_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("rewrites only its line, keeps the key's spelling")
        << QByteArray("; head\n[Frames]\n  backsize = 20 \nOther=1\n[X]\nk=v\n") << "Frames"
        << "BackSize" << QByteArray("; head\n[Frames]\nbacksize=42\nOther=1\n[X]\nk=v\n");
    QTest::newRow("key appended after the section's last line")
        << QByteArray("[Frames]\nA=1\n\n[X]\nk=v\n") << "frames"
        << "BackSize" << QByteArray("[Frames]\nA=1\nBackSize=42\n\n[X]\nk=v\n");
    QTest::newRow("section appended, CRLF kept")
        << QByteArray("[X]\r\nk=v\r\n") << "Frames"
        << "BackSize" << QByteArray("[X]\r\nk=v\r\n[Frames]\r\nBackSize=42\r\n");
    QTest::newRow("last line without newline") << QByteArray("[Frames]\nA=1") << "Frames"
                                               << "BackSize" << QByteArray("[Frames]\nA=1\nBackSize=42\n");
    QTest::newRow("CR line ends kept") << QByteArray("[X]\rk=v\r") << "Frames"
                                       << "BackSize" << QByteArray("[X]\rk=v\r[Frames]\rBackSize=42\r");
    QTest::newRow("only the first of duplicate keys") << QByteArray("[a]\nk=1\nk=2\n") << "a"
                                                      << "k" << QByteArray("[a]\nk=42\nk=2\n");
  }
  void Edits() {
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QByteArray, after);
    QVERIFY(WriteFile(Path("edit.ini"), before));
    WriteIniString(Path("edit.ini"), section, key, "42");
    QCOMPARE(ReadFile(Path("edit.ini")), after);
  }

  void CreatesMissingFile() {
    WriteIniString(Path("new.ini"), "Photo", "Template", "/data/pics");
    QCOMPARE(ReadIniString(Path("new.ini"), "photo", "template", "0"), QString("/data/pics"));
    QCOMPARE(ReadFile(Path("new.ini")), QByteArray("[Photo]\r\nTemplate=/data/pics\r\n"));
  }

  void ManyEditsAreOneReplacement() {
    IniFile ini = IniFile::Load(Path("batch.ini"));
    for (int i = 0; i < 32; ++i) ini.SetValue("Frames", QString("K%1").arg(i), QString::number(i));
    QVERIFY(!QFileInfo::exists(Path("batch.ini")));  // nothing is written before Save
    ini.Save();
    QCOMPARE(ReadIniString(Path("batch.ini"), "Frames", "K31", ""), QString("31"));
  }

  void WholeSectionsOut() {
    QVERIFY(WriteFile(Path("whole.ini"), "[Old]\nA=1\n"));
    IniFile ini = IniFile::New(Path("whole.ini"));  // replaces the old file, keeps none of it
    ini.AppendSection("Batch", {{"Version", "1"}});
    ini.AppendSection("Entry1", {{"Photo", " /p/a b.jpg "}, {"Photo", "second"}});
    ini.AppendSection("Entry1", {{"X", "2"}});
    ini.Save();
    QCOMPARE(ReadFile(Path("whole.ini")),
             QByteArray("[Batch]\r\nVersion=1\r\n\r\n[Entry1]\r\nPhoto=/p/a b.jpg\r\nPhoto=second\r\n\r\n"
                        "[Entry1]\r\nX=2\r\n"));
  }

  // After appends each section ends where the next begins: a key set in an earlier section lands
  // in it, and no lookup reaches into the sections after it.
  void AppendedSectionsEndAtTheNext() {
    IniFile ini = IniFile::New(Path("ends.ini"));
    ini.AppendSection("A", {{"x", "1"}});
    ini.AppendSection("B", {{"y", "2"}});
    ini.AppendSection("a", {{"x", "shadowed"}});  // a second A is not indexed
    ini.AppendSection("C", {{"z", "3"}});
    QCOMPARE(ini.Value("A", "y", "none"), QString("none"));
    QCOMPARE(ini.Value("B", "z", "none"), QString("none"));
    QCOMPARE(ini.Value("C", "z", "none"), QString("3"));
    ini.SetValue("A", "w", "4");
    ini.SetValue("B", "v", "5");
    ini.Save();
    QCOMPARE(ReadFile(Path("ends.ini")),
             QByteArray("[A]\r\nx=1\r\nw=4\r\n\r\n[B]\r\ny=2\r\nv=5\r\n\r\n[a]\r\nx=shadowed\r\n\r\n"
                        "[C]\r\nz=3\r\n"));
  }

  // Read from a loaded document, or straight from the file without the lookup index: the same.
  void WholeSectionsIn_data() {
    QTest::addColumn<bool>("indexed");
    QTest::newRow("loaded") << true;
    QTest::newRow("read straight") << false;
  }
  void WholeSectionsIn() {
    QFETCH(bool, indexed);
    QVERIFY(WriteFile(Path("in.ini"),
                      "\xEF\xBB\xBF[Z]\r\n\r\n[ A ]\nk = v = w\n\n[B]\n[A]\nk=2\nno equals sign"));
    const QList<IniFile::Section> sections =
        indexed ? IniFile::Load(Path("in.ini")).Sections() : IniFile::ReadSections(Path("in.ini"));
    QCOMPARE(sections.size(), 4);
    QCOMPARE(sections[0].name, QString("Z"));  // the byte-order mark is no part of it
    QVERIFY(sections[0].values.isEmpty());
    QCOMPARE(sections[1].name, QString("A"));
    QCOMPARE(sections[1].values, (IniFile::KeyValues{{"k", "v = w"}}));
    QCOMPARE(sections[2].name, QString("B"));
    QVERIFY(sections[2].values.isEmpty());
    QCOMPARE(sections[3].values, (IniFile::KeyValues{{"k", "2"}}));
    // CR alone ends lines too, and a last line without a break is told apart.
    bool cut = false;
    QVERIFY(WriteFile(Path("in.ini"), "[A]\rk=1\r[B]\rj=2"));
    const QList<IniFile::Section> cr = IniFile::ReadSections(Path("in.ini"), IniFile::kMaxBytes, &cut);
    QCOMPARE(cr.size(), 2);
    QCOMPARE(cr[1].values, (IniFile::KeyValues{{"j", "2"}}));
    QVERIFY(cut);
    QVERIFY(WriteFile(Path("in.ini"), "[A]\r\nk=1\r\n"));
    QCOMPARE(IniFile::ReadSections(Path("in.ini"), IniFile::kMaxBytes, &cut).size(), 1);
    QVERIFY(!cut);
    QVERIFY(WriteFile(Path("in.ini"), "Stray=1\n; note\n[A]\nk=1\n"));
    QCOMPARE(IniFile::ReadSections(Path("in.ini")).size(), 1);  // keys before the first section left out
    QVERIFY(WriteFile(Path("in.ini"), QByteArray(101, '\n')));
    QVERIFY_THROWS_EXCEPTION(LumistoError, IniFile::ReadSections(Path("in.ini"), 100));
  }

  // Appended sections join the lookup index: values are found in them, and an edit of the section
  // before them stays inside it.
  void AppendedSectionsAreLookedUp() {
    QVERIFY(WriteFile(Path("append.ini"), "[First]\nA=1\n"));
    IniFile ini = IniFile::Load(Path("append.ini"));
    ini.AppendSection("Second", {{"B", "2"}, {"b", "shadowed"}});
    ini.AppendSection("first", {{"A", "ignored: the first section of a name wins"}});
    QCOMPARE(ini.Value("Second", "b", "0"), QString("2"));
    QCOMPARE(ini.Value("FIRST", "A", "0"), QString("1"));
    ini.SetValue("First", "C", "3");
    ini.Save();
    QCOMPARE(ReadFile(Path("append.ini")),
             QByteArray(
                 "[First]\nA=1\nC=3\n\n[Second]\nB=2\nb=shadowed\n\n[first]\nA=ignored: the first section of "
                 "a name wins\n"));
  }

  void ByteOrderMarkIsSkippedAndKept() {
    const QString path = Path("bom.ini");
    QVERIFY(WriteFile(path, "\xEF\xBB\xBF[Frames]\r\nBackSize=7\r\n"));
    QCOMPARE(ReadIniString(path, "Frames", "BackSize", "0"), QString("7"));
    WriteIniString(path, "Frames", "BackSize", "8");
    QCOMPARE(ReadFile(path), QByteArray("\xEF\xBB\xBF[Frames]\r\nBackSize=8\r\n"));
  }

  void SizeLimit_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("refused");
    QTest::newRow("at the limit") << IniFile::kMaxBytes << false;
    QTest::newRow("one byte more") << IniFile::kMaxBytes + 1 << true;
    QTest::newRow("10 MB") << qint64{10} * 1024 * 1024 << true;
  }
  void SizeLimit() {
    QFETCH(qint64, size);
    QFETCH(bool, refused);
    // Key lines to the size: the last key of the section is still found when the file is accepted.
    QByteArray data = "[Frames]\n";
    const QByteArray line = "KeyNumberLine=1234567890\n";
    while (data.size() + line.size() + 12 < size) data += line;
    data += "Last=ok\n";
    data += QByteArray(size - data.size(), '\n');
    QCOMPARE(data.size(), size);
    const QString path = Path("big.ini");
    QVERIFY(WriteFile(path, data));
    try {
      QCOMPARE(ReadIniString(path, "Frames", "Last", "missing"), QString("ok"));
      QVERIFY(!refused);
    } catch (const LumistoError& e) {
      QVERIFY(refused);
      QVERIFY2(e.Message().startsWith(path + ": "), qPrintable(e.Message()));
    }
  }

  void NonRegularFileIsRefused() {
    QVERIFY(QDir(dir_.path()).mkpath("folder.ini"));
    try {
      ReadIniString(Path("folder.ini"), "Frames", "BackSize", "0");
      QFAIL("a folder was read");
    } catch (const LumistoError& e) {
      QCOMPARE(e.Message(), Path("folder.ini") + ": not a regular file");
    }
  }

  void RefusedWriteThrowsAndKeepsOriginal_data() {
    QTest::addColumn<QString>("target");
    // Root passes permission checks, so the writes are made to fail by what no user can get past:
    // a parent that is a plain file, and a name so long that no temporary name fits beside it.
    QTest::newRow("parent is a file") << QString("plain-file/Config.ini");
    QTest::newRow("no room for a temporary name") << QString(250, 'n') + ".ini";
  }
  void RefusedWriteThrowsAndKeepsOriginal() {
    QFETCH(QString, target);
    QVERIFY(WriteFile(Path("plain-file"), "I am a file\n"));
    const QString path = Path(target);
    const QByteArray original = "[Frames]\nBackSize=20\n";
    const bool original_exists = WriteFile(path, original);
    try {
      WriteIniString(path, "Frames", "BackSize", "99");
      QFAIL("the write did not fail");
    } catch (const LumistoError& e) {
      // The reason follows: the parent that is no folder, or the name the system refused.
      QVERIFY2(e.Message().startsWith(QString("Unable to write to %1: ").arg(path)), qPrintable(e.Message()));
    }
    if (original_exists) QCOMPARE(ReadFile(path), original);
    QCOMPARE(ReadFile(Path("plain-file")), QByteArray("I am a file\n"));
  }
};

QTEST_GUILESS_MAIN(IniFileTest)
#include "ini_file_test.moc"
