// Mail requests and the xdg-email hand-off.
#include "output/mail_request.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

QString ValueOf(const MailRequest& request, const QString& name) {
  for (const auto& [key, value] : request)
    if (key == name) return value;
  return QString();
}

}  // namespace

MailRequest MailRequestFor(const QString& attachment_path) {
  return {{QStringLiteral("To"), QString()},
          {QStringLiteral("Subject"), QString()},
          {QStringLiteral("Body"), QString()},
          {QStringLiteral("Attachment0"), attachment_path}};
}

MailMessage ReadMailRequest(const MailRequest& request) {
  MailMessage message;
  const QString to = ValueOf(request, QStringLiteral("To"));
  if (!to.isEmpty()) message.recipients << MailRecipient{to, QStringLiteral("SMTP:") + to};
  for (int n = 0;; ++n) {
    const QString path = ValueOf(request, QStringLiteral("Attachment%1").arg(n));
    if (path.isEmpty()) break;
    message.attachments << MailAttachment{path, QFileInfo(path).fileName()};
  }
  message.subject = ValueOf(request, QStringLiteral("Subject"));
  message.body = ValueOf(request, QStringLiteral("Body"));
  return message;
}

QStringList XdgEmailArguments(const MailMessage& message) {
  QStringList args{QStringLiteral("--utf8")};
  if (!message.subject.isEmpty()) args << QStringLiteral("--subject") << message.subject;
  if (!message.body.isEmpty()) args << QStringLiteral("--body") << message.body;
  for (const MailAttachment& a : message.attachments) args << QStringLiteral("--attach") << a.path;
  for (const MailRecipient& r : message.recipients) args << r.address.mid(5);  // without "SMTP:"
  return args;
}

int SendMail(const MailRequest& request, const QString& program) {
  const QString found = QStandardPaths::findExecutable(program);
  if (found.isEmpty()) return 1;
  return QProcess::startDetached(found, XdgEmailArguments(ReadMailRequest(request))) ? 0 : 1;
}
