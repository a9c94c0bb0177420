// Photo folder scan: names and header sizes.
#include "sources/photo_folder.h"

#include "imaging/image_io.h"

QList<ListRow> ScanPhotoFolder(const QString& folder) {
  QList<ListRow> rows;
  const QList<ListedPicture> pictures = ListPictures(folder);
  rows.reserve(pictures.size());
  for (const ListedPicture& picture : pictures)
    rows.append({picture.path, picture.file_name, ReadImageSize(picture.path)});
  return rows;
}
