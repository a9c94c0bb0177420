// The render command's values: parsing with ranges, and the checks against the files they name.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include "base/lumisto_error.h"
#include "base/usage_error.h"
#include "edit/edit_state.h"
#include "output/render_to_file.h"

// A value as it may appear in a message: at most 60 characters ("..." ending a longer one).
QString Echo(const QString& text);

// "--size": "WxH", "W", "Wx" or "xH" ('x' or 'X'); a missing side is -1, meaning "in proportion".
// Each given side 1..kMaxImagePixels, both together at most kMaxImagePixels. Throws UsageError.
QSize ParseOutputSize(const QString& text);

// "--crop X,Y,W,H": whole numbers, W and H positive, X + W and Y + H within the int range.
// Throws UsageError.
CropRect ParseCrop(const QString& text);

// "--font-size PT": 1..kMaxFontPoints. Throws UsageError.
inline constexpr int kMaxFontPoints = 1000;
int ParseFontSize(const QString& text);

// A crop checked against the photo it cuts, the way every command checks it.
struct CropCheck {
  bool outside = false;  // the crop lies wholly outside the photo: nothing to render
  CropRect crop;         // the crop to render: cut to the photo when it reached past it
  QString message;       // why it is outside, or what it was cut to; empty when it fits
};
// Checks crop against the photo at photo_path turned by edits (the size read from the file's header).
// option names the crop in the message ("--crop", or a job file's "Crop"). A crop that is empty,
// or a photo whose size cannot be read (its render says why), passes as it is.
CropCheck CheckCrop(const QString& option, const CropRect& crop, const RotateFlipList& edits,
                    const QString& photo_path);

// Checks a parsed request against its files before any work: a crop wholly outside the turned
// photo throws UsageError naming the photo's size, one partly outside is clipped (with a warning);
// an output that is the photo or one of the template's files is refused unless force; a quality
// for a format without one gives a warning. Returns the warnings, one line each.
QStringList CheckRenderRequest(RenderRequest& request, const QString& template_argument, bool quality_given,
                               bool force);

// Finds the first key of the settings file whose value does not convert, to name it in a message:
// "KEY: message"; the message alone when every key converts.
QString NameFailingKey(const QString& settings_path, const QString& message);
