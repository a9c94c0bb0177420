// The state the main window's areas share, and the steps of choosing a photo and a template that
// need no widgets.
#pragma once

#include <QImage>
#include <QString>

#include "batch/batch_entry.h"
#include "compose/display_mode.h"
#include "compose/preview.h"
#include "edit/edit_state.h"
#include "edit/live_compositor.h"
#include "styles/frame_style.h"
#include "styles/texture_list.h"

struct MainState {
  TextureList textures;  // the tiles every render of this window draws with
  EditState edit;
  FrameStyle style;            // the current style: all slots zero until a template is read
  QImage working_photo;        // the preview-size photo; blank and transparent before a photo is chosen
  QImage caption_layer;        // the caption as the preview shows it, transparent at start
  CustomFrames custom_frames;  // transparent until a custom frame is drawn
  DisplayMode display_mode = DisplayMode::Normal;
  BatchStore batch;  // the batch list's entries

  // The start values: blank preview-size working photo, caption layer and custom frames.
  MainState();
};

// The tone values back to neutral (1, 0, 1), as they are whenever the tone matrix is the identity.
void ResetToneValues(EditState& edit);

// Loads the file at path as the current photo: ResetPhotoEdits, neutral tone values, the photo path, its
// size, the fit factor and a new working photo. False, with the state untouched, when the file cannot be
// decoded.
bool LoadPhotoIntoState(MainState& state, const QString& path);

// The working photo of a batch entry opened for editing: the photo decoded, its geometric edits
// replayed and, when the entry has a crop, only the crop rectangle of the turned photo fitted into
// the preview box (each side one pixel short, as for a chosen photo). photo_size is the turned
// photo's full size. nullopt when the photo cannot be decoded or the crop lies outside it.
std::optional<LoadedWorkingPhoto> LoadEntryWorkingPhoto(const EditState& edit);
// The current photo is gone (its file was deleted): no photo path and a blank working photo, as at
// start; the other edits and the style stay.
void ForgetPhoto(MainState& state);

enum class TemplateOutcome { Applied, NoSettingsFile };

// Applies the template whose preview picture is at picture_path: placement, tone matrix and tone
// values reset, the template path set, the custom frames made anew, the style read from its
// settings file. NoSettingsFile (style unchanged) when that file is missing; a settings file that
// fails to read throws LumistoError naming the file and the key, and nothing changes.
TemplateOutcome ApplyTemplate(MainState& state, const QString& picture_path);

// The composite of the working photo with the current style and tone, at the working photo's size.
QImage RenderPreviewComposite(const MainState& state);
