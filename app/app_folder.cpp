// Application folder resolution.
#include "app/app_folder.h"

#include <QDir>

#include "base/lumisto_error.h"

QString ResolveAppFolder(const QString& home_option, const QString& home_environment,
                         const QString& executable_folder) {
  QString folder = executable_folder;
  if (!home_environment.isEmpty()) folder = home_environment;
  if (!home_option.isEmpty()) folder = home_option;
  return QDir::cleanPath(QDir(folder).absolutePath());
}

QString TakeHomeOption(QStringList& args) {
  QString home;
  for (qsizetype i = 0; i < args.size();) {
    if (args[i] == QLatin1String("--home")) {
      if (i + 1 >= args.size()) throw LumistoError(QStringLiteral("--home needs a folder"));
      home = args[i + 1];
      args.remove(i, 2);
    } else if (args[i].startsWith(QLatin1String("--home="))) {
      home = args[i].mid(7);
      args.remove(i);
    } else {
      ++i;
    }
  }
  return home;
}

bool TakeFlag(QStringList& args, const QString& flag) { return args.removeAll(flag) > 0; }
