// The pictures of a folder in listing order, and the rows the two browsing lists show for them.
#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <optional>

// The patterns, in the order a folder is listed: every *.jpg first, then *.bmp, *.png, *.gif, then
// *.heic and *.heif together, *.avif, *.webp, *.jxl.
enum class PictureGroup { Jpg, Bmp, Png, Gif, Heif, Avif, Webp, Jxl };

struct ListedPicture {
  QString path;       // folder + "/" + file name
  QString file_name;  // with its extension
  PictureGroup group = PictureGroup::Jpg;
};

// The ordinary, non-hidden files of folder whose names end in one of the patterns (any case),
// grouped by pattern in that order and in natural name order within a group. Empty when the folder
// is missing or unreadable.
QList<ListedPicture> ListPictures(const QString& folder);

// The group of a picture file by its name, without regard to case: one of the patterns with
// a base name before the extension (a file named just ".jpg" is no picture). Empty for other names.
std::optional<PictureGroup> PictureGroupOf(const QString& file_name);
inline bool IsPhotoFileName(const QString& file_name) { return PictureGroupOf(file_name).has_value(); }

// Natural name order: digit runs compare by value ("IMG_2" before "IMG_10"), letters without
// regard to case; names equal under that rule fall back to plain code-unit order, so the order
// is total and the same on every machine.
bool NaturalLess(const QString& a, const QString& b);

// One row of a browsing list: the picture's path, the caption shown for it and its pixel size.
struct ListRow {
  QString path;
  QString caption;
  QSize size;  // invalid when the file could not be read
  bool operator==(const ListRow&) const = default;
};

// Width "x" height in decimal ("1024x768"); "0x0" for a file that could not be read.
QString SizeText(QSize size);
