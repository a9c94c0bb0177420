// Mail requests, the xdg-email hand-off, and scratch files that never outlive their use.
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

#include "output/mail_request.h"
#include "output/scratch_files.h"
#include "support/test_support.h"

using testing_support::ReadFile;
using testing_support::WriteFile;

class MailRequestTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void RequestRules() {
    MailRequest request{{"To", "ann@example.org"},
                        {"Subject", "Framed"},
                        {"Body", ""},
                        {"Attachment0", "/tmp/a/mail.jpg"},
                        {"Attachment2", "/tmp/c.jpg"}};
    MailMessage m = ReadMailRequest(request);
    QCOMPARE(m.recipients.size(), 1);
    QCOMPARE(m.recipients[0].name, QString("ann@example.org"));
    QCOMPARE(m.recipients[0].address, QString("SMTP:ann@example.org"));
    QCOMPARE(m.attachments.size(), 1);  // numbering stops at the missing Attachment1
    QCOMPARE(m.attachments[0].file_name, QString("mail.jpg"));
    QCOMPARE(m.subject, QString("Framed"));
    QVERIFY(m.body.isEmpty());
    QCOMPARE(XdgEmailArguments(m), (QStringList{"--utf8", "--subject", "Framed", "--attach",
                                                "/tmp/a/mail.jpg", "ann@example.org"}));

    const MailMessage plain = ReadMailRequest(MailRequestFor("/x/mail.jpg"));
    QVERIFY(plain.recipients.isEmpty());
    QVERIFY(plain.subject.isEmpty());
    QCOMPARE(XdgEmailArguments(plain), (QStringList{"--utf8", "--attach", "/x/mail.jpg"}));

    request[3].second.clear();  // an empty Attachment0 ends the list at once
    QVERIFY(ReadMailRequest(request).attachments.isEmpty());
  }

  void HandOffToXdgEmail() {
    QTemporaryDir bin;
    const QString log = bin.filePath("args.log");
    // A stand-in that records its arguments, one per line.
    QVERIFY(WriteFile(bin.filePath("xdg-email"), "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > " +
                                                     log.toUtf8() + ".part && mv " + log.toUtf8() + ".part " +
                                                     log.toUtf8() + "\n"));
    QFile::setPermissions(bin.filePath("xdg-email"), QFile::ExeOwner | QFile::ReadOwner | QFile::WriteOwner);
    const QByteArray old_path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8() + ':' + old_path);
    QCOMPARE(SendMail(MailRequestFor("/somewhere/mail.jpg")), 0);
    QTRY_VERIFY(QFile::exists(log));
    QCOMPARE(ReadFile(log), QByteArray("--utf8\n--attach\n/somewhere/mail.jpg\n"));
    qputenv("PATH", bin.filePath("empty").toUtf8());
    QCOMPARE(SendMail(MailRequestFor("/somewhere/mail.jpg")), 1);  // no mail program: nothing happens
    qputenv("PATH", old_path);
  }

  void ScratchFilesAreUniqueAndRemoved() {
    QTemporaryDir root;
    QString first, second;
    {
      ScratchFiles scratch(root.path());
      first = scratch.NewAttachmentPath("mail.jpg");
      second = scratch.NewAttachmentPath("mail.jpg");
      QVERIFY(first != second);
      QCOMPARE(QFileInfo(first).fileName(), QString("mail.jpg"));
      QVERIFY(WriteFile(first, "picture"));
      QVERIFY(first.startsWith(scratch.Folder()));
    }
    QVERIFY(!QFileInfo::exists(first));
    QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
  }

  void LeftoversOfEndedRunsAreRemoved() {
    QTemporaryDir root;
    // pid 2^22 + 1 is above Linux's pid ceiling, so no process has it.
    QVERIFY(WriteFile(root.filePath("lumisto-4194305/1/mail.jpg"), "old"));
    QVERIFY(WriteFile(root.filePath(QString("lumisto-%1/1/mail.jpg").arg(getppid())), "a running copy's"));
    QVERIFY(WriteFile(root.filePath("unrelated/keep.txt"), "not ours"));
    ScratchFiles(root.path()).RemoveLeftovers();
    QVERIFY(!QFileInfo::exists(root.filePath("lumisto-4194305")));
    QVERIFY(QFileInfo::exists(root.filePath(QString("lumisto-%1/1/mail.jpg").arg(getppid()))));
    QVERIFY(QFileInfo::exists(root.filePath("unrelated/keep.txt")));
  }

  void PrintFileFallsBackToTheTemporaryFolder() {
    QTemporaryDir app, temp;
    QCOMPARE(PrintFilePath(app.path(), temp.path()), app.filePath("print.jpg"));
    // A folder that is not there (or read-only) cannot take the file.
    QCOMPARE(PrintFilePath(app.filePath("missing"), temp.path()), temp.filePath("print.jpg"));
  }
};

QTEST_GUILESS_MAIN(MailRequestTest)
#include "mail_request_test.moc"
