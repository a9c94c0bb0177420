// Strict decimal conversion of user and file text to a 32-bit integer.
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

// The one integer reading for text from users, command lines and files: an optional sign and ASCII
// decimal digits, nothing else (no blanks, group separators, other digits or bases), within
// [low, high]. nullopt for anything else.
std::optional<qint64> ParseInteger(QStringView text, qint64 low, qint64 high);

// Optional sign and decimal digits, nothing else, within the signed 32-bit range. Anything else
// throws LumistoError "'<text>' is not a valid integer value".
std::int32_t StrictToInt(const QString& text);
