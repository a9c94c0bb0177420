// Numbered names for a series of outputs: "000#.jpg" from 1 gives 0001.jpg, 0002.jpg, ...
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The smallest and largest start number the series takes.
constexpr int kSeriesFirstMin = 1;
constexpr int kSeriesFirstMax = 9999;

// The name for number in pattern. The last run of '#', with the '0' characters directly before
// it, is the number field; the number is written right-aligned into it, padded with zeros, and in
// full when it is wider. A pattern without '#' gets the number before its extension (the last
// '.'), or at its end when it has none.
QString SeriesName(const QString& pattern, int number);

// The names for count rows numbered first, first + 1, ...
QStringList SeriesNames(const QString& pattern, int first, int count);

// The first name that appears twice in names, or nullopt.
std::optional<QString> FirstDuplicate(const QStringList& names);
