// How the preview image shows a new composite.
#pragma once

// Normal shows the composite with the caption layer on top and fades it in; every other mode
// draws the composite straight onto the preview.
enum class DisplayMode {
  StyleEditor = 0,     // the style editor's live preview
  Normal = 1,          // fade in with the caption; a drag on the preview moves the photo
  CaptionEditing = 2,  // caption placing, and around a crop or a batch edit; a drag moves the caption
  BatchPreview = 3,    // the moment after a double click in the batch list
};
