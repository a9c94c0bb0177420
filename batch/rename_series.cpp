// Series numbering.
#include "batch/rename_series.h"

#include <QSet>

QString SeriesName(const QString& pattern, int number) {
  const QString digits = QString::number(number);
  const qsizetype last_hash = pattern.lastIndexOf(u'#');
  if (last_hash < 0) {
    const qsizetype dot = pattern.lastIndexOf(u'.');
    if (dot < 0) return pattern + digits;
    return pattern.left(dot) + digits + pattern.mid(dot);
  }
  qsizetype start = last_hash;
  while (start > 0 && pattern[start - 1] == u'#') --start;
  while (start > 0 && pattern[start - 1] == u'0') --start;
  const qsizetype width = last_hash + 1 - start;
  return pattern.left(start) + digits.rightJustified(width, u'0') + pattern.mid(last_hash + 1);
}

QStringList SeriesNames(const QString& pattern, int first, int count) {
  QStringList names;
  names.reserve(count);
  for (int i = 0; i < count; ++i) names << SeriesName(pattern, first + i);
  return names;
}

std::optional<QString> FirstDuplicate(const QStringList& names) {
  QSet<QString> seen;
  for (const QString& name : names) {
    if (seen.contains(name)) return name;
    seen.insert(name);
  }
  return std::nullopt;
}
