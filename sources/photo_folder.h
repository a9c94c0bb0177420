// Scanning the photo folder into the rows of the photo list.
#pragma once

#include <QList>
#include <QString>

#include "base/folder_listing.h"

// One row per photo of folder, in listing order: caption = file name with its extension, size
// from the file's header only (invalid, shown "0x0", when the file cannot be read). Empty when
// the folder is missing.
QList<ListRow> ScanPhotoFolder(const QString& folder);
