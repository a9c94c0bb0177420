// `lumisto batch`: jobs built by script, listed, rendered on several workers; existing files,
// failures and wrong usage, through the real executable.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "support/test_support.h"

using testing_support::ReadFile;
using testing_support::RunLumisto;
using testing_support::WriteFile;

class BatchCommandTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString Path(const QString& name) const { return dir_.filePath(name); }

  // A job of three photos with template t.ini, made by `batch add`.
  QString MakeJob(const QString& name) {
    const QString job = Path(name);
    const auto result = RunLumisto(
        {"batch", "add", job, "--template", Path("t.jpg"), Path("a.png"), Path("b.jpg"), Path("c.png")});
    if (result.exit_code != 0) qWarning("%s", result.err.constData());
    return job;
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    const QList<std::pair<const char*, QColor>> photos = {
        {"a.png", Qt::red}, {"b.jpg", Qt::darkGreen}, {"c.png", Qt::blue}};
    for (const auto& [name, colour] : photos) {
      QImage image(90, 60, QImage::Format_RGB32);
      image.fill(colour);
      QVERIFY(image.save(Path(QString::fromLatin1(name))));
    }
    QVERIFY(WriteFile(Path("t.ini"),
                      "[Frames]\nBlendOpacity=255\nBackDraw=1\nBackSize=8\nBackOpacity=255\n"
                      "BackColor=200,180,160\nColorColor=000,000,000\nLineColor=000,000,000\n"
                      "FrameColor=000,000,000\nStrokeColor=000,000,000\nShadowColor=000,000,000\n"));
    QImage picture(70, 70, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    QVERIFY(picture.save(Path("t.jpg")));
    QVERIFY(QFileInfo::exists(MakeJob("usage.ini")));
  }

  void AddListAndRender() {
    const QString job = MakeJob("job.ini");
    const auto list = RunLumisto({"batch", "list", job});
    QCOMPARE(list.exit_code, 0);
    const QList<QByteArray> lines = list.out.trimmed().split('\n');
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[1], (QStringLiteral("b.jpg\t%1\t%2").arg(Path("b.jpg"), Path("t.jpg"))).toUtf8());

    // Appending keeps what is there.
    const auto more = RunLumisto({"batch", "add", job, "--template", Path("t.ini"), Path("a.png")});
    QCOMPARE(more.exit_code, 0);
    QCOMPARE(RunLumisto({"batch", "list", job}).out.count('\n'), 4);

    const QString out = Path("out");
    const auto run = RunLumisto({"batch", job, "--out", out, "--jobs", "2", "--overwrite"});
    QVERIFY2(run.exit_code == 0, run.err.constData());
    QCOMPARE(QDir(out).entryList(QDir::Files), (QStringList{"a.png", "b.jpg", "c.png"}));
    QCOMPARE(QImage(out + "/a.png").size(), QSize(90, 60));
  }

  void BatchAddRendersLikeRender() {
    const QString job = MakeJob("same.ini");
    const QString out = Path("same");
    const auto run = RunLumisto({"batch", job, "--out", out});
    QVERIFY2(run.exit_code == 0, run.err.constData());
    for (const char* name : {"a.png", "b.jpg"}) {
      const QString single = Path(QStringLiteral("single-%1").arg(QLatin1String(name)));
      QCOMPARE(RunLumisto({"render", Path(QLatin1String(name)), Path("t.jpg"), single}).exit_code, 0);
      QCOMPARE(ReadFile(out + u'/' + QLatin1String(name)), ReadFile(single));
    }
  }

  // With the shipped templates (sizes of the preview, Scale=1), photos added by `batch add` and
  // written by `batch` are the files `render` writes of each.
  void ShippedTemplatesFrameAsRenderDoes() {
    const QString mask = QStringLiteral(LUMISTO_SOURCE_DIR "/assets/DATA/Mask/");
    const QString texture =
        mask + QStringLiteral("Texture/") +
        QDir(mask + QStringLiteral("Texture")).entryList({QStringLiteral("*.jpg")}).first();
    const QString colour = mask + QStringLiteral("Color/Black Edge.jpg");
    QImage photo(1200, 800, QImage::Format_RGB32);
    photo.fill(QColor(40, 120, 200));
    QVERIFY(photo.save(Path("big.jpg")));
    QVERIFY(photo.transformed(QTransform().rotate(90)).save(Path("tall.png")));
    const QString job = Path("shipped.ini");
    QCOMPARE(RunLumisto({"batch", "add", job, "--template", texture, Path("big.jpg")}).exit_code, 0);
    QCOMPARE(RunLumisto({"batch", "add", job, "--template", colour, Path("tall.png")}).exit_code, 0);
    const auto run = RunLumisto({"batch", job, "--out", Path("shipped")});
    QVERIFY2(run.exit_code == 0, run.err.constData());
    const QList<std::pair<QString, QString>> pairs{{"big.jpg", texture}, {"tall.png", colour}};
    for (const auto& [name, templ] : pairs) {
      const QString single = Path("shipped-single-" + name);
      QCOMPARE(RunLumisto({"render", Path(name), templ, single}).exit_code, 0);
      QVERIFY2(ReadFile(Path("shipped/" + name)) == ReadFile(single), qPrintable(name));
    }
  }

  void ExistingFiles() {
    const QString job = MakeJob("existing.ini");
    const QString out = Path("existing");
    QVERIFY(QDir().mkpath(out));
    QVERIFY(WriteFile(out + "/b.jpg", "old"));
    // Without a flag nothing is written and the file is named.
    const auto refused = RunLumisto({"batch", job, "--out", out});
    QCOMPARE(refused.exit_code, 1);
    QVERIFY2(refused.err.contains("b.jpg exists"), refused.err.constData());
    QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{"b.jpg"});
    const auto skipped = RunLumisto({"batch", job, "--out", out, "--skip-existing"});
    QCOMPARE(skipped.exit_code, 0);
    QCOMPARE(skipped.out, QByteArray("2 written, 1 skipped, 0 failed\n"));
    QCOMPARE(ReadFile(out + "/b.jpg"), QByteArray("old"));
    const auto overwritten = RunLumisto({"batch", job, "--out", out, "--overwrite", "--jobs", "1"});
    QCOMPARE(overwritten.exit_code, 0);
    QVERIFY(!QImage(out + "/b.jpg").isNull());
  }

  void FailedEntriesAreNamedAndTheRestWritten() {
    const QString job = MakeJob("broken.ini");
    QByteArray text = ReadFile(job);
    text.replace(Path("b.jpg").toUtf8(), Path("gone.jpg").toUtf8());
    QVERIFY(WriteFile(job, text));
    const QString out = Path("broken");
    const auto run = RunLumisto({"batch", job, "--out", out});
    QCOMPARE(run.exit_code, 1);
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY2(run.err.contains("b.jpg") && run.err.contains("gone.jpg"), run.err.constData());
    QCOMPARE(QDir(out).entryList(QDir::Files), (QStringList{"a.png", "c.png"}));
  }

  void AddRefusesBadPhotosAndKeepsTheJob() {
    const QString job = MakeJob("keep.ini");
    const QByteArray before = ReadFile(job);
    const auto result =
        RunLumisto({"batch", "add", job, "--template", Path("t.jpg"), Path("a.png"), Path("t.ini")});
    QCOMPARE(result.exit_code, 1);
    QVERIFY(result.err.contains("t.ini"));
    QCOMPARE(ReadFile(job), before);
    QCOMPARE(RunLumisto({"batch", "add", job, "--template", Path("none.jpg"), Path("a.png")}).exit_code, 1);
  }

  // Three processes, each given one shard, write into one folder exactly what one run writes.
  void ShardsTogetherMakeOneRun() {
    const QString job = Path("shards.ini");
    QStringList add{"batch", "add", job, "--template", Path("t.ini")};
    for (int k = 0; k < 12; ++k) {
      QImage image(40 + k, 30, QImage::Format_RGB32);
      image.fill(QColor::fromHsv(k * 30, 200, 200));
      const QString photo =
          Path(QStringLiteral("shard%1.%2").arg(k, 2, 10, QChar(u'0')).arg(k % 2 ? "png" : "jpg"));
      QVERIFY(image.save(photo));
      add << photo;
    }
    QCOMPARE(RunLumisto(add).exit_code, 0);
    const QString whole = Path("whole");
    QCOMPARE(RunLumisto({"batch", job, "--out", whole}).exit_code, 0);
    const QStringList names = QDir(whole).entryList(QDir::Files);
    QCOMPARE(names.size(), 12);

    const QString shared = Path("shared");
    QList<QProcess*> shards;
    for (int i = 1; i <= 3; ++i) {
      auto* process = new QProcess(this);
      process->start(QStringLiteral(LUMISTO_EXE), {"batch", job, "--out", shared, "--shard",
                                                   QStringLiteral("%1/3").arg(i), "--jobs", "2"});
      shards << process;
    }
    for (QProcess* process : shards) {
      QVERIFY(process->waitForFinished(120000));
      QCOMPARE(process->exitCode(), 0);
      QCOMPARE(process->readAllStandardOutput(), QByteArray("4 written, 0 skipped, 0 failed\n"));
    }
    QCOMPARE(QDir(shared).entryList(QDir::Files), names);
    for (const QString& name : names) QCOMPARE(ReadFile(shared + u'/' + name), ReadFile(whole + u'/' + name));

    // Shard 2 of 3 holds entries 1, 4, 7 and 10 (counted from 0).
    const QString second = Path("second");
    QCOMPARE(RunLumisto({"batch", job, "--out", second, "--shard", "2/3"}).exit_code, 0);
    QCOMPARE(QDir(second).entryList(QDir::Files),
             (QStringList{"shard01.png", "shard04.jpg", "shard07.png", "shard10.jpg"}));
    // Files of other shards already in the folder are no reason to refuse; its own are.
    QCOMPARE(RunLumisto({"batch", job, "--out", second, "--shard", "1/3"}).exit_code, 0);
    const auto again = RunLumisto({"batch", job, "--out", second, "--shard", "2/3", "--skip-existing"});
    QCOMPARE(again.exit_code, 0);
    QCOMPARE(again.out, QByteArray("0 written, 4 skipped, 0 failed\n"));
    QCOMPARE(RunLumisto({"batch", job, "--out", second, "--shard", "3/3"}).exit_code, 0);
    QCOMPARE(RunLumisto({"batch", job, "--out", second, "--shard", "3/3"}).exit_code, 1);
    // More shards than entries: the last ones are empty and succeed.
    const auto empty = RunLumisto({"batch", job, "--out", Path("empty"), "--shard", "13/13"});
    QCOMPARE(empty.exit_code, 0);
    QCOMPARE(empty.out, QByteArray("0 written, 0 skipped, 0 failed\n"));
  }

  // A name written twice in the job stops every shard, as it stops one run.
  void ShardsRefuseANameWrittenTwice() {
    const QString job = MakeJob("twice.ini");
    QCOMPARE(RunLumisto({"batch", "add", job, "--template", Path("t.ini"), Path("a.png")}).exit_code, 0);
    for (const char* shard : {"1/4", "2/4", "3/4", "4/4"}) {
      const auto run = RunLumisto({"batch", job, "--out", Path("twice"), "--shard", shard});
      QCOMPARE(run.exit_code, 1);
      QVERIFY2(run.err.contains("a.png exists or is written twice"), run.err.constData());
    }
    QVERIFY(QDir(Path("twice")).entryList(QDir::Files).isEmpty());
  }

  // An output that is a file the job reads is refused before anything is written; --force allows
  // only an entry's own photo, which no other entry reads.
  void OutputsNeverReplaceInputs_data() {
    QTest::addColumn<QStringList>("photos");  // photos of the job, in the folder "in"
    QTest::addColumn<QStringList>("names");   // output names, empty: the photos' names
    QTest::addColumn<QString>("out");         // the output folder: "in", or the template's folder "."
    QTest::addColumn<QStringList>("flags");
    QTest::addColumn<int>("exit_code");
    QTest::addColumn<QString>("named");  // a piece of the message
    QTest::newRow("own photo") << QStringList{"a.png"} << QStringList{} << "in" << QStringList{"--overwrite"}
                               << 1 << "is the photo of its own entry 1; --force";
    QTest::newRow("own photo, forced") << QStringList{"a.png"} << QStringList{} << "in"
                                       << QStringList{"--overwrite", "--force"} << 0 << QString();
    QTest::newRow("another entry's photo, forced")
        << QStringList{"a.png", "c.png"} << QStringList{"c.png", "x.png"} << "in"
        << QStringList{"--overwrite", "--force"} << 1 << "is the photo of entry 2";
    QTest::newRow("a photo two entries read, forced")
        << QStringList{"a.png", "a.png"} << QStringList{"a.png", "y.png"} << "in"
        << QStringList{"--overwrite", "--force"} << 1 << "is the photo of entry 2";
    QTest::newRow("the template's picture") << QStringList{"a.png"} << QStringList{"t.jpg"} << "."
                                            << QStringList{"--overwrite", "--force"} << 1 << "template";
    QTest::newRow("the template's settings file") << QStringList{"a.png"} << QStringList{"t.ini"} << "."
                                                  << QStringList{"--overwrite", "--force"} << 1 << "template";
  }
  void OutputsNeverReplaceInputs() {
    QFETCH(QStringList, photos);
    QFETCH(QStringList, names);
    QFETCH(QString, out);
    QFETCH(QStringList, flags);
    QFETCH(int, exit_code);
    QFETCH(QString, named);
    QTemporaryDir work;
    QVERIFY(QFile::copy(Path("t.jpg"), work.filePath("t.jpg")));
    QVERIFY(QFile::copy(Path("t.ini"), work.filePath("t.ini")));
    QVERIFY(QDir().mkpath(work.filePath("in")));
    QStringList add{"batch", "add", work.filePath("job.ini"), "--template", work.filePath("t.jpg")};
    for (const QString& photo : photos) {
      if (!QFileInfo::exists(work.filePath("in/" + photo)))
        QVERIFY(QFile::copy(Path(photo), work.filePath("in/" + photo)));
      add << work.filePath("in/" + photo);
    }
    QVERIFY(QFile::copy(Path("c.png"), work.filePath("in/x.png")));
    QCOMPARE(RunLumisto(add).exit_code, 0);
    if (!names.isEmpty()) {
      QByteArray text = ReadFile(work.filePath("job.ini"));
      for (qsizetype i = 0; i < names.size(); ++i)
        // Before the entry's own OutputName, which it overrides: the first of a key wins.
        text.replace(QStringLiteral("[Entry%1]").arg(i + 1).toUtf8(),
                     QStringLiteral("[Entry%1]\nOutputName=%2").arg(i + 1).arg(names[i]).toUtf8());
      QVERIFY(WriteFile(work.filePath("job.ini"), text));
    }
    QMap<QString, QByteArray> before;
    for (const QString& file : QDir(work.path()).entryList(QDir::Files))
      before[file] = ReadFile(work.filePath(file));
    for (const QString& file : QDir(work.filePath("in")).entryList(QDir::Files))
      before["in/" + file] = ReadFile(work.filePath("in/" + file));
    const auto run =
        RunLumisto(QStringList{"batch", work.filePath("job.ini"), "--out", work.filePath(out)} + flags);
    QCOMPARE(run.exit_code, exit_code);
    if (exit_code != 0) {
      QVERIFY2(run.err.contains(named.toUtf8()), run.err.constData());
      // Nothing at all is written.
      for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(ReadFile(work.filePath(it.key())), it.value());
      QCOMPARE(QDir(work.filePath("in")).entryList(QDir::Files).size() +
                   QDir(work.path()).entryList(QDir::Files).size(),
               before.size());
      return;
    }
    // Forced: the photo is read whole, then framed in its place.
    const QString single = work.filePath("single.png");
    QCOMPARE(RunLumisto({"render", Path("a.png"), work.filePath("t.jpg"), single}).exit_code, 0);
    QCOMPARE(ReadFile(work.filePath("in/a.png")), ReadFile(single));
  }

  // Job files that break their own promises: one line each, exit 1, nothing written.
  void HostileJobFiles_data() {
    QTest::addColumn<QByteArray>("job");  // @ stands for the test folder
    QTest::addColumn<QString>("named");
    const QByteArray entry1 = "[Entry1]\nPhoto=@/a.png\nTemplate=@/t.jpg\n";
    const QByteArray entry2 = "[Entry2]\nPhoto=@/b.jpg\nTemplate=@/t.jpg\n";
    QTest::newRow("two announced, one there") << "[Batch]\nEntries=2\n" + entry1 << "[Entry2] is missing";
    QTest::newRow("cut inside a value") << "[Batch]\nEntries=2\n" + entry1 + entry2 + "CaptionText=Sum"
                                        << "cut off";
    QTest::newRow("lone high surrogate") << "[Batch]\nEntries=2\n" + entry1 + "OutputName=\"\\ud800.jpg\"\n" +
                                                entry2 + "OutputName=\"\\udc00.jpg\"\n"
                                         << "OutputName";
    QTest::newRow("surrogate and replacement character")
        << "[Batch]\nEntries=2\n" + entry1 + "OutputName=\"\\ud800.jpg\"\n" + entry2 +
               "OutputName=\"\\ufffd.jpg\"\n"
        << "OutputName";
    QTest::newRow("crop wholly outside") << "[Batch]\nEntries=2\n" + entry1 + "Crop=500,500,10,10\n" + entry2
                                         << "Crop 500,500,10,10 lies outside the 90 x 60 photo";
    QTest::newRow("size JPEG cannot hold")
        << "[Batch]\nEntries=1\n" + entry1 + "OutputName=a.jpg\nOutputSize=65535,1\n"
        << "JPEG holds at most 65,500 pixels a side; 65,535 x 1 is too wide";
    QTest::newRow("CR line ends, no entries") << QByteArray("[Batch]\rEntries=0\r") << "no entries";
    QTest::newRow("empty file") << QByteArray() << "[Batch]";
  }
  void HostileJobFiles() {
    QFETCH(QByteArray, job);
    QFETCH(QString, named);
    const QString path = Path("hostile.ini");
    QVERIFY(WriteFile(path, job.replace("@", dir_.path().toUtf8())));
    const QString out = Path("hostile-out");
    const auto run = RunLumisto({"batch", path, "--out", out});
    QCOMPARE(run.exit_code, 1);
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY2(run.err.contains(named.toUtf8()), run.err.constData());
    QVERIFY(!QFileInfo::exists(out));
  }

  // A crop partly outside is cut exactly as render cuts its --crop, with the same warning.
  void JobCropIsCutLikeRender() {
    const QString path = Path("crop.ini");
    QVERIFY(WriteFile(
        path, QStringLiteral("[Batch]\nEntries=1\n[Entry1]\nPhoto=%1\nTemplate=%2\nCrop=50,20,100,100\n")
                  .arg(Path("a.png"), Path("t.jpg"))
                  .toUtf8()));
    const auto run = RunLumisto({"batch", path, "--out", Path("crop-out")});
    QCOMPARE(run.exit_code, 0);
    QVERIFY2(run.err.contains("Crop reaches past the 90 x 60 photo: cut to 50,20,40,40"),
             run.err.constData());
    const auto single = RunLumisto(
        {"render", Path("a.png"), Path("t.jpg"), Path("crop-single.png"), "--crop", "50,20,100,100"});
    QCOMPARE(single.exit_code, 0);
    QVERIFY2(single.err.contains("--crop reaches past the 90 x 60 photo: cut to 50,20,40,40"),
             single.err.constData());
    QCOMPARE(ReadFile(Path("crop-out/a.png")), ReadFile(Path("crop-single.png")));
  }

  void Usage_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exit_code");
    QTest::newRow("nothing") << QStringList{"batch"} << 2;
    QTest::newRow("no --out") << QStringList{"batch", "@usage.ini"} << 2;
    QTest::newRow("--out without value") << QStringList{"batch", "@usage.ini", "--out"} << 2;
    QTest::newRow("jobs 0") << QStringList{"batch", "@usage.ini", "--out", "@u", "--jobs", "0"} << 2;
    QTest::newRow("jobs -1") << QStringList{"batch", "@usage.ini", "--out", "@u", "--jobs", "-1"} << 2;
    QTest::newRow("jobs 65") << QStringList{"batch", "@usage.ini", "--out", "@u", "--jobs", "65"} << 2;
    QTest::newRow("jobs past int") << QStringList{"batch", "@usage.ini", "--out",
                                                  "@u",    "--jobs",     "2147483648"}
                                   << 2;
    QTest::newRow("jobs with a blank")
        << QStringList{"batch", "@usage.ini", "--out", "@u", "--jobs", " 2"} << 2;
    QTest::newRow("jobs empty") << QStringList{"batch", "@usage.ini", "--out", "@u", "--jobs", ""} << 2;
    QTest::newRow("both flags") << QStringList{"batch", "@usage.ini",  "--out",
                                               "@u",    "--overwrite", "--skip-existing"}
                                << 2;
    QTest::newRow("unknown flag") << QStringList{"batch", "@usage.ini", "--out", "@u", "--fast"} << 2;
    QTest::newRow("two jobs") << QStringList{"batch", "@usage.ini", "@usage.ini", "--out", "@u"} << 2;
    QTest::newRow("add without photos")
        << QStringList{"batch", "add", "@usage.ini", "--template", "@t.jpg"} << 2;
    QTest::newRow("list two files") << QStringList{"batch", "list", "@usage.ini", "@usage.ini"} << 2;
    QTest::newRow("missing job") << QStringList{"batch", "@nothing.ini", "--out", "@u"} << 1;
    QTest::newRow("list missing job") << QStringList{"batch", "list", "@nothing.ini"} << 1;
    for (const char* shard : {"0/4", "5/4", "x", "1/0", "0/0", "-1/4", "1/-4", "/4", "1/", "1/4/2", " 1/4",
                              "1/4 ", "+1/4", "1/100001", "1/2147483648", ""})
      QTest::newRow(qPrintable(QStringLiteral("shard '%1'").arg(QLatin1String(shard))))
          << QStringList{"batch", "@usage.ini", "--out", "@u", "--shard", shard} << 2;
    QTest::newRow("shard without value") << QStringList{"batch", "@usage.ini", "--out", "@u", "--shard"} << 2;
    QTest::newRow("shard 100000/100000")
        << QStringList{"batch", "@usage.ini", "--out", "@u100k", "--shard", "100000/100000"} << 0;
    QTest::newRow("jobs 64") << QStringList{"batch", "@usage.ini", "--out", "@u64", "--jobs", "64"} << 0;
  }
  void Usage() {
    QFETCH(QStringList, args);
    QFETCH(int, exit_code);
    for (QString& arg : args)
      if (arg.startsWith('@')) arg = Path(arg.mid(1));
    const auto result = RunLumisto(args);
    QCOMPARE(result.exit_code, exit_code);
    if (exit_code != 0) QCOMPARE(result.err.count('\n'), 1);
  }
};

QTEST_GUILESS_MAIN(BatchCommandTest)
#include "batch_command_test.moc"
