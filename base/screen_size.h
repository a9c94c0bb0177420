// The size of the preview image `Screen`, which the preview, the caption placement and the skin share.
#pragma once

#include <QSize>

// The preview image's size in pixels.
inline constexpr QSize kScreenSize(315, 315);
