// Rendering a photo file with its edits and a frame style at full size into an image file.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include "compose/tone_matrix.h"
#include "edit/edit_state.h"
#include "imaging/photo_metadata.h"
#include "styles/frame_style.h"
#include "styles/texture_list.h"

// Everything a full-size render reads.
struct RenderRequest {
  QString photo_path;
  FrameStyle style;
  ToneMatrix tone;
  RotateFlipList rotate_flip;  // replayed on the decoded photo as one rotate-flip
  CropRect crop;               // pixels of the oriented photo; all zero: no crop
  CaptionSettings caption;     // drawn when its text is not empty
  float fit_factor = 0.0f;     // photo pixels per preview pixel; 0: from the oriented (cropped) photo
  QSize output_size;    // scaled to this when both sides are positive; a side of -1 follows the other in
                        // proportion
  QString output_path;  // the format is the one its extension names
  int quality = 100;    // JPEG, WebP, AVIF and JPEG XL quality 1..100
  MetadataPolicy metadata = MetadataPolicy::Keep;  // what the output keeps of the photo's information
};

// The request for the current edits of the window: same photo, orientation, crop, tone, caption,
// fit factor and output size.
RenderRequest RenderRequestFor(const EditState& state, const FrameStyle& style, const QString& output_path);

// Why the request cannot be written, decided before anything is decoded, from the numbers and the
// photo's header: an unknown output type, an output size above the pixel ceiling, or one beyond what
// the output format holds (OutputSizeProblem). One line naming the output; empty when nothing is in
// the way so far. RenderToFile asks it first; a planner can ask it of every entry before any render.
QString PlannedOutputProblem(const RenderRequest& request);

// Decodes the photo at full size (upright), replays the geometric edits, crops, renders the
// composite, stamps the caption, scales to the output size and writes the file through a temporary
// name, so no partial file is ever left. The photo's colours are turned into sRGB from its profile,
// and its information (EXIF, XMP, IPTC) is carried over as the request's policy says. Throws
// LumistoError with one line naming the file and the reason (missing or undecodable photo, empty
// crop, unknown extension, "Unable to write to ..."). Returns the warnings, one line each: a colour
// profile or photo information that could not be used (the file is written all the same).
QStringList RenderToFile(const RenderRequest& request, const TextureList& textures);

// The composite RenderToFile would write, without writing it.
QImage RenderFullSize(const RenderRequest& request, const TextureList& textures);

// Draws the caption onto a full-size composite: its preview position times the fit factor, less
// the letterbox offset along the shorter side; a grey shadow copy 2 pixels right and down first.
// Font sizes are points at 96 pixels per inch, the same number of pixels on any photo.
void StampCaption(QImage& composite, const CaptionSettings& caption, float fit_factor);

// The top-left corner of the caption's face on a composite of that size.
QPointF CaptionOrigin(QSize composite, QPointF position, float fit_factor);
