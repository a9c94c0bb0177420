// The frame source of a real capture device through Qt Multimedia: the first video input the
// system lists. Connect is false when it lists none or the device fails to open; a device that
// disappears or fails while connected gives DeviceLost.
#pragma once

#include "sources/frame_source.h"

// A new source on the system's capture devices, owned by parent (or the caller).
FrameSource* NewSystemFrameSource(QObject* parent = nullptr);
