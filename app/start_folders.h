// What is wrong with the folders the window shows at start, said once instead of empty grids.
#pragma once

#include <QString>

#include "base/config.h"

// One message, a line per problem: the photo folder missing or not a folder; a template category
// folder (DATA/Mask/<name>) that Config.ini names and that is missing; the folder of the category
// shown at start holding no template pictures. A category Config.ini leaves out (no key, or "0")
// is not looked at. Empty when every folder can be shown.
QString StartFolderProblem(const Config& config);
