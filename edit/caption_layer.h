// The caption's font and drawing, shared by the preview's caption layer and the full-size stamp.
#pragma once

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>

#include "edit/edit_state.h"

class QPainter;

// The caption sizes the program draws, in points; others are brought into this range.
inline constexpr int kCaptionMinPoints = 1;
inline constexpr int kCaptionMaxPoints = 1000;

// The caption's font: its family (through the system's font matching, so a family that is not
// installed falls back to the closest one), its size in points at 96 pixels per inch, bold and
// italic from its style, unhinted so that its shapes scale with the picture.
QFont CaptionFont(const CaptionSettings& caption);

// The family the system actually draws for font_name: the name itself when it is installed.
QString CaptionFamilyInUse(const QString& font_name);

// Draws the caption's shadow at origin + (2, 2) and its face at origin (the top-left corner of its
// layout), with painter's current font and transform; no wrapping and no clipping.
void DrawCaptionText(QPainter& painter, QPointF origin, const CaptionSettings& caption);

// The caption layer of the preview: a transparent image of screen's size holding the caption laid
// out at its natural size for the full-size photo and scaled down by fit_factor (photo pixels per
// preview pixel) with its top-left corner at the caption's position, so it covers the same share
// of the photo as in the saved picture. Transparent for an empty text or a fit factor that is not
// positive.
QImage BuildCaptionLayer(const CaptionSettings& caption, float fit_factor, QSize screen);
