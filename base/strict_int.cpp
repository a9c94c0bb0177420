// Strict decimal conversion.
#include "base/strict_int.h"

#include <limits>

#include "base/lumisto_error.h"

std::int32_t StrictToInt(const QString& text) {
  const auto fail = [&text]() -> std::int32_t {
    throw LumistoError(QStringLiteral("'%1' is not a valid integer value").arg(text));
  };
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  if (i == text.size()) return fail();
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') return fail();
    value = value * 10 + (c - u'0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return fail();
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return fail();
  return static_cast<std::int32_t>(value);
}
