// The skin pictures of the main window, from the compiled-in artwork or drawn plainly when a
// picture is missing, so the window always has something of the right size to show.
#pragma once

#include <QImage>
#include <QString>

inline constexpr QSize kSkinSize(800, 600);
inline constexpr QSize kGlyphSize(57, 51);

// The window background (resource ":/skin/ui.png", 800 x 600; on a screen denser than 1 the
// double-size ui@2x.png, marked with device pixel ratio 2).
QImage SkinBackground(qreal device_pixel_ratio = 1.0);
// The shape bitmap: white is outside the window (":/skin/shape.png").
QImage SkinShape();
// The preview's start picture, shown until a photo or template is chosen (":/skin/start.png").
QImage StartPicture(qreal device_pixel_ratio = 1.0);
// A toolbar glyph: name is "system", "mail", "save" or "print" (":/skin/glyph_<name>.png").
QImage ToolbarGlyph(const QString& name);
