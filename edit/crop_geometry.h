// The crop dialog's geometry without its widgets: view size, the selection and its eight handles,
// their drags, and the crop rectangle a selection stands for.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <array>
#include <optional>

#include "edit/edit_state.h"

inline constexpr int kCropViewLongSide = 500;
inline constexpr int kCropHandleSize = 32;

// The view of an oriented photo of that size: its longer side 500, the other in proportion
// (integer division, multiplication first; at least 1 for a photo that has pixels).
QSize CropViewSize(QSize oriented);

// The dialog around a view: 20 wider and 86 taller.
QSize CropDialogSize(QSize view);
// Where the view lies in the dialog: centred across (less 3), 8 from the top.
QPoint CropViewOrigin(QSize view);

// The selection a dialog opens with for the stored crop (pixels of the oriented photo): the whole
// view when there is none, otherwise each value x 500 / L + 1 (L the oriented photo's longer side),
// brought inside the view and made at least one handle (or the whole view, when smaller) each way.
QRect OpeningSelection(const CropRect& crop, QSize oriented, QSize view);

// The top-left corners of the handles Image1..Image8 for a selection: corners, then the edge
// middles halfway between them (halvings toward zero).
std::array<QPoint, 8> CropHandlePositions(const QRect& selection);

// The selection after handle index (0..7 for Image1..Image8) is dragged by delta inside a view of
// that size: each moving edge clamped so one handle of selection remains and the view is not left;
// nullopt when the clamped move is nothing.
std::optional<QRect> DragCropHandle(const QRect& selection, int index, QPoint delta, QSize view);

// The selection moved by delta, clamped inside the view; nullopt when the clamped move is nothing.
std::optional<QRect> DragCropBody(const QRect& selection, QPoint delta, QSize view);

// The crop a selection in view pixels stands for: L x value / 500 for each value (L the oriented
// photo's longer side, multiplication first, truncated), kept inside the photo.
CropRect CropForSelection(const QRect& selection, QSize oriented);

// The crop "OK" stores: the stored crop unchanged when the selection is still the one the dialog
// opened with (the whole oriented photo when there was none), otherwise CropForSelection.
CropRect AcceptedCrop(const CropRect& stored, const QRect& opened, const QRect& selection, QSize oriented);

// The size the "Current:" label shows: the selection's, in view pixels, except while it is still
// the one a stored crop opened with; then the stored crop's own size in view pixels (value x 500 /
// L, rounded), not the opening's one pixel more.
QSize CurrentCropLabelSize(const CropRect& stored, const QRect& opened, const QRect& selection,
                           QSize oriented);
