// The "style" sub-commands: show, set and thumbnail of a template's settings file.
#pragma once

#include <QStringList>
#include <QTextStream>

// args follow "style": "show FILE", "set FILE KEY=VALUE...", "thumbnail FILE". FILE is a settings
// file or, for thumbnail, also the template's picture. Returns the exit code; throws UsageError
// for wrong use and LumistoError for failures.
int RunStyleCommand(const QStringList& args, QTextStream& out);
