// The one error type the program throws; the general handler shows its message to the user.
#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

class LumistoError : public std::exception {
 public:
  explicit LumistoError(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
  const QString& Message() const { return message_; }
  const char* what() const noexcept override { return utf8_.constData(); }

 private:
  QString message_;
  QByteArray utf8_;
};
