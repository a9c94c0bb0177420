// Writing pictures safely: a write that fails midway (the file system full) leaves the old file,
// targets that are not regular files are refused, and only what killed writes left is cleaned.
#include <signal.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "base/codec_messages.h"
#include "base/lumisto_error.h"
#include "base/output_file.h"
#include "imaging/image_io.h"
#include "support/test_support.h"

using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

QImage Noise(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  QRandomGenerator random(11);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) image.setPixel(x, y, random.generate() | 0xFF000000u);
  return image;
}

// Files may grow to `bytes` while it lives, as on a file system with that much room left: a write
// past it fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

// The number of a process that has ended and been reaped (numbers are reused only after a wrap).
qint64 EndedProcessId() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  int status = 0;
  waitpid(child, &status, 0);
  return child;
}

// Every warning that reaches the log, to tell whether a codec's lines were folded or leaked.
QStringList logged_lines;
QtMessageHandler test_handler = nullptr;
void RecordLine(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg || type == QtCriticalMsg) logged_lines << message;
  if (test_handler != nullptr) test_handler(type, context, message);
}

}  // namespace

class OutputSafetyTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString Path(const QString& name) const { return dir_.filePath(name); }

 private Q_SLOTS:
  void initTestCase() { test_handler = qInstallMessageHandler(RecordLine); }

  void FullFileSystemKeepsTheOldFile_data() {
    QTest::addColumn<QString>("mime");
    for (const char* mime : {"image/jpeg", "image/bmp", "image/png", "image/tiff", "image/gif"})
      QTest::newRow(mime) << QString::fromLatin1(mime);
  }
  void FullFileSystemKeepsTheOldFile() {
    QFETCH(QString, mime);
    const QString path = Path(QStringLiteral("full/out.img"));
    QVERIFY(WriteFile(path, "the user's old file"));
    const QImage picture = Noise(300, 200);  // well past 16 KB in every format
    QString error;
    bool written = true;
    logged_lines.clear();
    {
      const FileSizeLimit limit(16 * 1024);
      written = EncodeImage(picture, path, mime, 95, &error);
    }
    QVERIFY(!written);
    // One line says why, in the system's words; what a codec library logs is inside it, not before it.
    QCOMPARE(error,
             QStringLiteral("Unable to write to %1: %2").arg(path, QString::fromLocal8Bit(strerror(EFBIG))));
    QVERIFY2(logged_lines.isEmpty(), qPrintable(logged_lines.join(u'\n')));
    QCOMPARE(ReadFile(path), QByteArray("the user's old file"));
    QCOMPARE(QDir(Path(QStringLiteral("full"))).entryList(QDir::Files | QDir::Hidden),
             QStringList{"out.img"});
    // With room again the same write succeeds.
    QVERIFY(EncodeImage(picture, path, mime, 95, &error));
  }

  // Lines a codec logs while a write fails end up in the failure's one line, cut to a sane length.
  void CodecLinesAreFoldedIntoTheFailure() {
    const QString path = Path(QStringLiteral("folded.png"));
    logged_lines.clear();
    QString reason;
    {
      OutputFile out(path);
      qWarning("libfoo: bad block %d", 7);
      {
        CodecMessages inner;  // the innermost scope collects
        qWarning("inner line");
        QCOMPARE(inner.Text(), QStringLiteral("inner line"));
      }
      qWarning("%s", QByteArray(500, 'x').constData());
      qDebug("debug chatter passes");
      try {
        out.Commit(false);
      } catch (const LumistoError& e) {
        reason = e.Message();
      }
    }
    QCOMPARE(logged_lines, QStringList());
    const QString expected_start =
        QStringLiteral("Unable to write to %1: the picture could not be encoded (libfoo: bad block 7; xxx")
            .arg(path);
    QVERIFY2(reason.startsWith(expected_start), qPrintable(reason));
    QVERIFY2(reason.endsWith(QStringLiteral("...)")), qPrintable(reason));
    const QString prefix =
        QStringLiteral("Unable to write to %1: the picture could not be encoded (").arg(path);
    QCOMPARE(reason.size(), prefix.size() + CodecMessages::kMaxChars + 1);
    QVERIFY(!QFileInfo::exists(path));
    // Outside a scope messages pass on as before.
    qWarning("after the write");
    QCOMPARE(logged_lines, QStringList{"after the write"});
  }

  void NonRegularTargetsAreRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("pipe") << "pipe.png"
                          << "not a regular file";
    QTest::newRow("folder") << "folder.png"
                            << "it is a folder";
    QTest::newRow("missing folder") << "missing/out.png"
                                    << "no such folder";
  }
  void NonRegularTargetsAreRefused() {
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QDir(dir_.path()).mkpath(QStringLiteral("folder.png"));
    mkfifo(QFile::encodeName(Path(QStringLiteral("pipe.png"))).constData(), 0600);
    const QString path = Path(name);
    QString error;
    QVERIFY(!EncodeImage(Noise(8, 8), path, QStringLiteral("image/png"), -1, &error));
    QCOMPARE(error, QStringLiteral("Unable to write to %1: %2").arg(path, reason));
    QCOMPARE(OutputProblem(path), reason);
    struct stat info {};
    if (name == QLatin1String("pipe.png")) {
      QCOMPARE(stat(QFile::encodeName(path).constData(), &info), 0);
      QVERIFY(S_ISFIFO(info.st_mode));  // still the pipe
    }
  }

  void RefusedDeleteSaysWhy() {
    // Root may delete any file; a folder with something in it is what the file system refuses.
    const QString folder = Path(QStringLiteral("busy"));
    QVERIFY(WriteFile(folder + QStringLiteral("/inside.txt"), "x"));
    try {
      RemoveFile(folder);
      QFAIL("a full folder was deleted");
    } catch (const LumistoError& e) {
      QVERIFY2(e.Message().startsWith(QStringLiteral("Unable to delete busy: ")), qPrintable(e.Message()));
    }
    RemoveFile(Path(QStringLiteral("never-was.jpg")));  // nothing to delete is no failure
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("/inside.txt")));
  }

  // Names that look like temporary files but that the program cannot prove its own are the user's.
  void OnlyOwnLeftoversOfEndedProcessesAreSwept_data() {
    const QString host = PartialWriteHost();
    const qint64 own = QCoreApplication::applicationPid();
    const qint64 gone = EndedProcessId();
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("swept");
    QTest::newRow("user's Backup") << "out.jpg.Backup" << false;
    QTest::newRow("user's dated copy") << "out.jpg.202401" << false;
    QTest::newRow("user's copy2a") << "out.jpg.copy2a" << false;
    QTest::newRow("six mixed characters") << "out.jpg.Ab12Cd" << false;
    QTest::newRow("ended process") << PartialWriteName("out.jpg", gone, 0, host) << true;
    QTest::newRow("ended process, later write") << PartialWriteName("out.jpg", gone, 17, host) << true;
    QTest::newRow("this process, still writing") << PartialWriteName("out.jpg", own, 999, host) << false;
    QTest::newRow("the first process") << PartialWriteName("out.jpg", 1, 0, host) << false;
    QTest::newRow("another machine") << PartialWriteName("out.jpg", gone, 0, host + "-other") << false;
    QTest::newRow("another file's") << PartialWriteName("other.jpg", gone, 0, host) << false;
    QTest::newRow("a longer name's") << PartialWriteName("out.jpg.jpg", gone, 0, host) << false;
    QTest::newRow("mark in the middle") << PartialWriteName("out.jpg", gone, 0, host) + ".keep" << false;
  }
  void OnlyOwnLeftoversOfEndedProcessesAreSwept() {
    QFETCH(QString, name);
    QFETCH(bool, swept);
    const QTemporaryDir folder;
    QVERIFY(WriteFile(folder.filePath(name), "someone's bytes"));
    QString error;
    QVERIFY2(EncodeImage(Noise(8, 8), folder.filePath("out.jpg"), QStringLiteral("image/jpeg"), 90, &error),
             qPrintable(error));
    QCOMPARE(QFileInfo::exists(folder.filePath(name)), !swept);
    QStringList names = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(names.size(), swept ? 1 : 2);
  }

  // A process killed in the middle of a write leaves exactly one file, named as its own; the next
  // write to the same target, once that process is gone, takes it away.
  void KilledWriteLeavesOneNamedFile() {
    const QTemporaryDir folder;
    const QString target = folder.filePath("out.png");
    QVERIFY(WriteFile(target, "the old picture"));
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
      OutputFile out(target);
      out.Device().write("half a picture");
      raise(SIGKILL);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
    QStringList names = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    names.removeOne("out.png");
    QCOMPARE(names.size(), 1);
    QVERIFY2(names[0].startsWith(QStringLiteral("out.png.lumisto-partial-%1-").arg(child)),
             qPrintable(names[0]));
    QVERIFY2(names[0].endsWith(u'@' + PartialWriteHost()), qPrintable(names[0]));
    QCOMPARE(ReadFile(target), QByteArray("the old picture"));
    QString error;
    QVERIFY(EncodeImage(Noise(8, 8), target, QStringLiteral("image/png"), -1, &error));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.png"});
  }

  // A name at the file system's limit still gets a temporary name that keeps its mark.
  void LongNamesKeepTheirMark() {
    const QString name = QString(251, u'n') + QStringLiteral(".jpg");
    const QString partial = PartialWriteName(name, 123456, 7, QStringLiteral("host"));
    QCOMPARE(QFile::encodeName(partial).size(), 255);
    QVERIFY(partial.endsWith(QStringLiteral(".lumisto-partial-123456-7@host")));
    const QTemporaryDir folder;
    QString error;
    QVERIFY2(EncodeImage(Noise(8, 8), folder.filePath(name), QStringLiteral("image/jpeg"), 90, &error),
             qPrintable(error));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
  }

  // Writing through a link replaces the file it names and keeps the link; a replaced file keeps
  // its permissions.
  void LinksAndPermissionsAreKept() {
    const QTemporaryDir folder;
    const QString real = folder.filePath("real.png");
    QVERIFY(WriteFile(real, "old"));
    QVERIFY(QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(QFile::link(real, folder.filePath("link.png")));
    QString error;
    QVERIFY(EncodeImage(Noise(8, 8), folder.filePath("link.png"), QStringLiteral("image/png"), -1, &error));
    QVERIFY(QFileInfo(folder.filePath("link.png")).isSymLink());
    QVERIFY(ReadFile(real).startsWith("\x89PNG"));
    const QFile::Permissions kept = QFileInfo(real).permissions();
    QVERIFY(kept.testFlag(QFile::WriteOwner));
    QVERIFY(!kept.testFlag(QFile::ReadGroup) && !kept.testFlag(QFile::ReadOther));
  }
};

QTEST_MAIN(OutputSafetyTest)
#include "output_safety_test.moc"
