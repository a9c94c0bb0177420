// Rendering a photo file with a frame style at full size into an image file.
#pragma once

#include <QString>

#include "edit/tone_matrix.h"
#include "styles/frame_style.h"

struct RenderRequest {
  QString photo_path;
  FrameStyle style;
  ToneMatrix tone;
  QString output_path;  // the format is the one its extension names
  int quality = 100;    // JPEG quality 1..100
};

// Decodes the photo at full size (upright), renders the composite and writes the file through a
// temporary name, so no partial file is ever left. Throws LumistoError with one line naming the
// file and the reason (missing or undecodable photo, unknown extension, "Unable to write to ...").
void RenderToFile(const RenderRequest& request);

// The settings file of a template given by its settings file or by its preview picture.
QString TemplateSettingsPath(const QString& template_path);
