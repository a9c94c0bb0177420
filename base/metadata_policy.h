// What an output keeps of the photo's own information (camera, date, place): the setting's values.
#pragma once

#include <QString>

// All of it, none, or all but the GPS position.
enum class MetadataPolicy { Keep, Strip, NoLocation };

// "keep", "strip", "nolocation" (any case, blanks around ignored); Keep with *ok false otherwise.
inline MetadataPolicy ParseMetadataPolicy(const QString& text, bool* ok) {
  const QString word = text.trimmed().toLower();
  *ok = true;
  if (word == u"keep") return MetadataPolicy::Keep;
  if (word == u"strip") return MetadataPolicy::Strip;
  if (word == u"nolocation") return MetadataPolicy::NoLocation;
  *ok = false;
  return MetadataPolicy::Keep;
}

inline QString MetadataPolicyName(MetadataPolicy policy) {
  switch (policy) {
    case MetadataPolicy::Keep:
      break;
    case MetadataPolicy::Strip:
      return QStringLiteral("strip");
    case MetadataPolicy::NoLocation:
      return QStringLiteral("nolocation");
  }
  return QStringLiteral("keep");
}
