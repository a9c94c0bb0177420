// The "style" sub-commands: show, set and thumbnail of a template's settings file.
#pragma once

#include <QStringList>
#include <QTextStream>

#include "styles/frame_style.h"

// args follow "style": "show FILE", "set FILE KEY=VALUE...", "thumbnail FILE". FILE is a settings
// file or, for thumbnail, also the template's picture. Returns the exit code; throws UsageError
// for wrong use and LumistoError for failures.
int RunStyleCommand(const QStringList& args, QTextStream& out);

// Reads the frame style of a template named by its settings file or its picture into style.
// Failures name the file and, for a value that does not convert, the key.
void ReadTemplate(const QString& template_argument, FrameStyle& style);
