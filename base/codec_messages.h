// The lines image libraries send through Qt's message log while a picture is written, kept for the
// one failure message instead of reaching the terminal before it.
#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// While one lives, warnings and errors logged on its thread are collected here instead of passing
// on (scopes nest; the innermost collects). Debug and info messages pass on untouched.
class CodecMessages {
 public:
  CodecMessages();
  ~CodecMessages();
  CodecMessages(const CodecMessages&) = delete;
  CodecMessages& operator=(const CodecMessages&) = delete;

  // The collected lines joined by "; ", at most kMaxChars characters (cut with "..."); empty when
  // nothing was logged.
  QString Text() const;

  // Collects message when a scope is open on this thread; false lets the caller pass it on.
  static bool Collect(QtMsgType type, const QString& message);

  static constexpr int kMaxChars = 200;

 private:
  QStringList lines_;
  CodecMessages* outer_;
};
