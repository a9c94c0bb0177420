// Collecting codec lines per thread through one chained message handler.
#include "base/codec_messages.h"

#include <atomic>
#include <mutex>

namespace {

thread_local CodecMessages* tls_current = nullptr;
// Read on any thread that logs; written once, just after our handler went in.
std::atomic<QtMessageHandler> previous_handler{nullptr};

void Handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (CodecMessages::Collect(type, message)) return;
  if (const QtMessageHandler next = previous_handler.load(); next != nullptr) next(type, context, message);
}

void InstallOnce() {
  // Installed at the first scope, after the program's own handler, which it passes on to.
  static std::once_flag once;
  std::call_once(once, [] { previous_handler.store(qInstallMessageHandler(Handler)); });
}

}  // namespace

CodecMessages::CodecMessages() : outer_(tls_current) {
  InstallOnce();
  tls_current = this;
}

CodecMessages::~CodecMessages() { tls_current = outer_; }

bool CodecMessages::Collect(QtMsgType type, const QString& message) {
  if (tls_current == nullptr || type == QtDebugMsg || type == QtInfoMsg || type == QtFatalMsg) return false;
  QString line = message.simplified();
  if (!line.isEmpty() && !tls_current->lines_.contains(line) && tls_current->lines_.size() < 20)
    tls_current->lines_ << line;
  return true;
}

QString CodecMessages::Text() const {
  QString text = lines_.join(QStringLiteral("; "));
  if (text.size() > kMaxChars) text = text.left(kMaxChars - 3) + QStringLiteral("...");
  return text;
}
