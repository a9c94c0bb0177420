// Strict decimal conversion of user and file text to a 32-bit integer.
#pragma once

#include <QString>
#include <cstdint>

// Optional sign and decimal digits, nothing else, within the signed 32-bit range. Anything else
// throws LumistoError "'<text>' is not a valid integer value".
std::int32_t StrictToInt(const QString& text);
