// What is wrong with the folders the window shows at start, said once instead of empty grids.
#pragma once

#include <QString>

#include "base/config.h"

// One message naming the first unusable folder: the photo folder missing or not a folder, a
// template category folder (DATA/Mask/<name>) missing, or holding no template pictures. Empty
// when every folder can be shown.
QString StartFolderProblem(const Config& config);
