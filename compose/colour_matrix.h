// Drawing images through a 5 x 5 colour matrix, and the opacity matrix of SetAlphaScale.
#pragma once

#include <QImage>
#include <QRectF>

#include "edit/tone_matrix.h"

// The alpha factor an opacity 0..255 stands for: floor(v x 100 / 255) x 0.01 (255 -> 1.00,
// 127 -> 0.49, 0 -> 0).
float AlphaScaleFactor(int opacity);

// Loads the identity with the alpha-to-alpha element set to AlphaScaleFactor(opacity).
void SetAlphaScale(int opacity, ToneMatrix& attributes);

// Draws the area src_rect of source, scaled into dest_rect of target, blended over what target
// holds (source-over), each sample passed through matrix: the row vector (R, G, B, A, 1) of
// unpremultiplied components 0..1 times the matrix, clamped. src_rect may reach outside the
// image: the outside contributes nothing. Bilinear sampling; partially covered edge pixels of
// dest_rect get their share. The identity and pure alpha scales take fast paths. target must be
// Format_ARGB32_Premultiplied; source any format (32-bit formats are read without conversion).
void DrawImageRect(QImage& target, const QRectF& dest_rect, const QImage& source, const QRectF& src_rect,
                   const ToneMatrix& matrix = ToneMatrix::Identity());

// Applies matrix to every pixel of image in place (Format_ARGB32_Premultiplied).
void ApplyColourMatrix(QImage& image, const ToneMatrix& matrix);
