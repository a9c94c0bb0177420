// A mail request (name=value pairs) and its hand-off to the desktop's mail program.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// name=value pairs: "To", "Subject", "Body" and attachments "Attachment0", "Attachment1", ...
using MailRequest = QList<QPair<QString, QString>>;

struct MailRecipient {
  QString name;
  QString address;  // "SMTP:" followed by the address
};

struct MailAttachment {
  QString path;       // full path, unchanged
  QString file_name;  // the path's file-name part
};

// The message a request stands for: one recipient when "To" is not empty, the attachments read
// from "Attachment0" upward up to the first missing or empty one, subject and text when not empty.
struct MailMessage {
  QList<MailRecipient> recipients;
  QList<MailAttachment> attachments;
  QString subject;
  QString body;
};

// The request of the e-mail command: empty To, Subject and Body, the picture as Attachment0.
MailRequest MailRequestFor(const QString& attachment_path);
MailMessage ReadMailRequest(const MailRequest& request);

// The arguments of xdg-email for the message: --utf8, --subject, --body, one --attach per
// attachment, then the recipients' plain addresses.
QStringList XdgEmailArguments(const MailMessage& message);

// Hands the request to `program` (xdg-email, found on PATH) and returns at once: the mail program
// reads the attachments later, so they must outlive this call. Returns 0 when the program was
// started, 1 when it cannot be found or started (nothing is shown then).
int SendMail(const MailRequest& request, const QString& program = QStringLiteral("xdg-email"));
