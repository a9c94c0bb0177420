// The templates of one category folder: their rows, settings files and deletion.
#pragma once

#include <QList>
#include <QString>

#include "base/folder_listing.h"

// One row per preview picture of folder (listing order of ListPictures), captioned by
// TemplateCaption, sized from the picture's header (invalid, shown "0x0", when unreadable).
// Settings files without a picture are not listed. Empty when the folder is missing.
QList<ListRow> ScanTemplateFolder(const QString& folder);

// The rows of a category kept in two folders: the user's own templates and the installation's
// shipped ones (shipped empty: the user's alone). A user's template wins over a shipped one of the
// same settings-file name (an edited shipped template is written as the user's copy); the rows are in
// ListPictures order over both.
QList<ListRow> ScanTemplateFolders(const QString& user, const QString& shipped);

// The caption of a picture found by pattern group: a *.jpg picture loses its extension, dot
// included, for one space ("Gold.jpg" -> "Gold "); the others keep their full name.
QString TemplateCaption(const QString& file_name, PictureGroup group);

// The settings file of a preview picture: its extension replaced by ".ini" (Gold.jpg and
// Gold.png share Gold.ini).
QString TemplateSettingsPath(const QString& picture_path);

// The preview picture the program writes for a settings file: its extension replaced by ".jpg".
QString TemplatePicturePath(const QString& settings_path);

// Deletes a template for good: the picture, then its ".lmz" companion, then its settings file.
// Missing files are skipped; one the file system refuses stops it with LumistoError
// "Unable to delete NAME: reason".
void DeleteTemplateFiles(const QString& picture_path);
