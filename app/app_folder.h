// Where the program's data lives: the application folder.
#pragma once

#include <QString>
#include <QStringList>

// The application folder: --home DIR wins, then the environment variable LUMISTO_HOME, then the
// folder holding the executable. Empty texts count as not given.
QString ResolveAppFolder(const QString& home_option, const QString& home_environment,
                         const QString& executable_folder);

// Removes "--home DIR" (or "--home=DIR") from args and returns DIR, or an empty text.
// Throws LumistoError when --home has no folder after it.
QString TakeHomeOption(QStringList& args);

// Removes every flag (an option without a value, "--camera-test-pattern") from args; true when
// there was one.
bool TakeFlag(QStringList& args, const QString& flag);
