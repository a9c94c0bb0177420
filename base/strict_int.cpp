// Strict decimal conversion.
#include "base/strict_int.h"

#include <limits>

#include "base/lumisto_error.h"

std::optional<qint64> ParseInteger(QStringView text, qint64 low, qint64 high) {
  qsizetype i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  if (i == text.size()) return std::nullopt;
  // Magnitudes are gathered up to one past the 64-bit range's edge, which no limit reaches.
  constexpr std::uint64_t kCeiling = std::uint64_t{std::numeric_limits<qint64>::max()} + 1;
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    if (c < u'0' || c > u'9') return std::nullopt;
    magnitude = magnitude * 10 + (c - u'0');
    if (magnitude > kCeiling) return std::nullopt;
  }
  if (!negative && magnitude == kCeiling) return std::nullopt;
  const qint64 value = negative ? static_cast<qint64>(0 - magnitude) : static_cast<qint64>(magnitude);
  if (value < low || value > high) return std::nullopt;
  return value;
}

std::int32_t StrictToInt(const QString& text) {
  const std::optional<qint64> value =
      ParseInteger(text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
  if (!value) throw LumistoError(QStringLiteral("'%1' is not a valid integer value").arg(text));
  return static_cast<std::int32_t>(*value);
}
