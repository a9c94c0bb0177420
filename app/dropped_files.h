// Files dropped on the window: photos and folders to open, template settings files to import.
#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

#include "styles/texture_list.h"

// The local files among urls, in order (remote ones are left out).
QStringList DroppedLocalPaths(const QList<QUrl>& urls);

// True when every path names a template's settings file (*.ini, any case) and there is one.
bool AllTemplateSettingsFiles(const QStringList& paths);

// The settings file a dropped template gets in category_folder: its base name + ".ini".
QString ImportedTemplatePath(const QString& dropped, const QString& category_folder);

// Reads the dropped settings file's frame style and writes it into category_folder under its own
// name, with a preview picture rendered from it as the style editor's Save renders one (replacing
// a template of that name). Throws LumistoError when the file cannot be read or written, or when
// its name would leave the folder.
void ImportTemplate(const QString& dropped, const QString& category_folder, const TextureList& textures);
