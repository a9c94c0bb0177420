// Listing a folder's pictures by pattern group in natural name order.
#include "base/folder_listing.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>

namespace {

// A run of decimal digits starting at i; compares by value without converting (runs may be long).
int CompareDigitRuns(const QString& a, qsizetype& i, const QString& b, qsizetype& j) {
  qsizetype a_end = i;
  while (a_end < a.size() && a[a_end].isDigit()) ++a_end;
  qsizetype b_end = j;
  while (b_end < b.size() && b[b_end].isDigit()) ++b_end;
  // Leading zeros do not change the value.
  qsizetype a_start = i;
  while (a_start + 1 < a_end && a[a_start] == u'0') ++a_start;
  qsizetype b_start = j;
  while (b_start + 1 < b_end && b[b_start] == u'0') ++b_start;
  int result = 0;
  const qsizetype a_len = a_end - a_start;
  const qsizetype b_len = b_end - b_start;
  if (a_len != b_len) {
    result = a_len < b_len ? -1 : 1;
  } else {
    for (qsizetype k = 0; k < a_len && result == 0; ++k) {
      const char16_t x = a[a_start + k].unicode();
      const char16_t y = b[b_start + k].unicode();
      if (x != y) result = x < y ? -1 : 1;
    }
  }
  i = a_end;
  j = b_end;
  return result;
}

int NaturalCompare(const QString& a, const QString& b) {
  qsizetype i = 0;
  qsizetype j = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i].isDigit() && b[j].isDigit()) {
      const int digits = CompareDigitRuns(a, i, b, j);
      if (digits != 0) return digits;
      continue;
    }
    const char16_t x = a[i].toCaseFolded().unicode();
    const char16_t y = b[j].toCaseFolded().unicode();
    if (x != y) return x < y ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

struct Extension {
  const char* text;
  PictureGroup group;
};
constexpr std::array<Extension, 9> kExtensions = {{{".jpg", PictureGroup::Jpg},
                                                   {".bmp", PictureGroup::Bmp},
                                                   {".png", PictureGroup::Png},
                                                   {".gif", PictureGroup::Gif},
                                                   {".heic", PictureGroup::Heif},
                                                   {".heif", PictureGroup::Heif},
                                                   {".avif", PictureGroup::Avif},
                                                   {".webp", PictureGroup::Webp},
                                                   {".jxl", PictureGroup::Jxl}}};
constexpr std::size_t kGroups = 8;

}  // namespace

bool NaturalLess(const QString& a, const QString& b) {
  const int natural = NaturalCompare(a, b);
  if (natural != 0) return natural < 0;
  return a < b;
}

std::optional<PictureGroup> PictureGroupOf(const QString& name) {
  for (const Extension& candidate : kExtensions) {
    const QLatin1String extension(candidate.text);
    // A name that is only the extension would be hidden anyway; require a base name.
    if (name.size() > extension.size() && name.endsWith(extension, Qt::CaseInsensitive))
      return candidate.group;
  }
  return std::nullopt;
}

QList<ListedPicture> ListPictures(const QString& folder) {
  std::array<QList<ListedPicture>, kGroups> groups;
  // Without QDir::Hidden, dot files are left out; QDir::Files alone never lists folders.
  const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
  const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
  for (const QFileInfo& entry : entries) {
    const QString name = entry.fileName();
    if (const std::optional<PictureGroup> group = PictureGroupOf(name))
      groups[static_cast<std::size_t>(*group)].append({prefix + name, name, *group});
  }
  QList<ListedPicture> result;
  for (QList<ListedPicture>& group : groups) {
    std::sort(group.begin(), group.end(), [](const ListedPicture& x, const ListedPicture& y) {
      return NaturalLess(x.file_name, y.file_name);
    });
    result.append(group);
  }
  return result;
}

QString SizeText(QSize size) {
  if (!size.isValid() || size.isEmpty()) return QStringLiteral("0x0");
  return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}
