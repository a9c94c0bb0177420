// Writing a template's files: the settings file with its preview picture, and the checks a new
// template's name must pass before anything is written.
#pragma once

#include <QImage>
#include <QString>
#include <optional>

#include "styles/frame_style.h"

// Writes picture to TemplatePicturePath(settings_path) as BMP data, which every reader of the
// program recognises by content, so the grid shows exactly the pixels rendered. The file is
// replaced whole or not at all. Throws LumistoError "Unable to write to <file>".
void WriteTemplatePicture(const QString& settings_path, const QImage& picture);

// Writes style to settings_path, then picture beside it (WriteTemplatePicture). Throws
// LumistoError "Unable to write to <file>"; when the settings file fails nothing is written.
void WriteTemplateFiles(const QString& settings_path, const FrameStyle& style, const QImage& picture);

// Why a new template's name cannot be written into a category folder.
enum class NewTemplateProblem {
  kNone,
  kEmptyName,      // "Please input Frame Name!"
  kUnsafeName,     // a path separator, "." or "..": it would leave the folder
  kAlreadyExists,  // a settings file or a preview picture of that base name is there
};

// Checks name for a new template in folder (the category folder, with or without its trailing
// slash). A picture of that base name without a settings file counts as existing too: writing
// would overwrite the user's picture and list the template twice.
NewTemplateProblem CheckNewTemplateName(const QString& folder, const QString& name);

// The settings file of a new template: folder + name + ".ini".
QString NewTemplateSettingsPath(const QString& folder, const QString& name);
