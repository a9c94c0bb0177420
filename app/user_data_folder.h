// The user's own data folder, for a program installed where its user cannot (or must not) write.
#pragma once

#include <QString>

// The file an installation lays beside the executable: its folder is shipped data, never written.
inline constexpr const char* kInstalledMarker = "INSTALLED";

// True when executable_folder is an installation: it holds the marker, or this user cannot write it.
bool IsInstalledFolder(const QString& executable_folder);

// $XDG_DATA_HOME/lumisto, or home/.local/share/lumisto when XDG_DATA_HOME is unset or not absolute
// (as the XDG base directory rules say).
QString UserDataFolder(const QString& xdg_data_home, const QString& home);

// First start in user: copies Config.ini and the DATA folder (the sample photos, and the template
// category folders empty: shipped templates are read from the installation) from shipped, each
// only when user has none yet, so a user's own files are never replaced. Each copy
// is made under a temporary name and renamed into place: an interrupted seed leaves nothing half
// copied and is done again at the next start. Throws LumistoError naming what could not be written.
void SeedUserDataFolder(const QString& shipped, const QString& user);

// Where the program's data lives and where its shipped files (the manual) are read from.
struct DataFolders {
  QString app_folder;
  QString shipped_folder;
};

// --home and LUMISTO_HOME name the application folder as before (shipped files read from there
// too); without them an installation keeps the user's data in the user data folder, seeded from
// the installation, and reads the manual and the shipped templates from the installation. A folder that is
// not an installation (a build folder) is the application folder itself.
DataFolders ResolveDataFolders(const QString& home_option, const QString& home_environment,
                               const QString& executable_folder, const QString& xdg_data_home,
                               const QString& home);
