// Mirror and quarter turns: the orientation they add up to, the crop they move, the resize arithmetic.
#pragma once

#include <QList>
#include <QSize>

#include "edit/edit_state.h"

#include "imaging/rotate_flip.h"

// The orientation code 1..8 that the recorded edits add up to: 1..4 unmirrored (quarter turns
// clockwise 0..3), 5..8 the same each followed by a horizontal mirror.
int ReplayOrientation(const RotateFlipList& list);

// The one rotate-flip that reproduces the whole list: the orientation code minus 1.
RotateFlipType ReplayedRotateFlip(const RotateFlipList& list);

// The rotate-flip that applies one edit to a picture.
inline RotateFlipType RotateFlipOf(GeometricEdit edit) { return static_cast<RotateFlipType>(edit); }

// The shortest list of edits that gives the orientation code 1..8.
QList<GeometricEdit> ShortestCodes(int orientation);

// Records one edit. A full list is first replaced by the shortest equivalent, so no edit is ever
// refused or lost.
void RecordGeometricEdit(RotateFlipList& list, GeometricEdit code);

// The crop after one edit of a photo that measured width x height before it; an empty crop stays empty.
CropRect RewriteCrop(const CropRect& crop, GeometricEdit code, int width, int height);

// Applies one mirror or quarter turn to the edit state: records the code, toggles the mirror
// switch (mirror), rewrites the crop and exchanges the photo's width and height (turns).
void ApplyGeometricEdit(EditState& state, GeometricEdit code);

// "Constrain Proportions": typed x other_start / this_start, multiplication first, truncating
// toward zero (400 x 300, typed width 200 gives height 150), held within the int range. A zero
// start size gives 0.
int ConstrainedSide(int typed, int other_start, int this_start);

// The size of the picture a full-size render frames: the crop when there is one, otherwise the
// photo in its current orientation.
QSize FramedPictureSize(const EditState& state);

// True when an output size of that shape stretches or squashes the picture by more than 1 %
// (either side empty: false).
bool OutputSizeChangesShape(QSize picture, QSize output);
