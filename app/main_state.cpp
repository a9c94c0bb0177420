// Photo and template choice on the shared state.
#include "app/main_state.h"

#include <QFileInfo>

#include "app/style_command.h"
#include "compose/preview.h"
#include "compose/render_composite.h"
#include "edit/geometric_edits.h"
#include "imaging/image_io.h"
#include "styles/template_library.h"

namespace {

QImage BlankScreenImage() {
  QImage image(kScreenSize, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

}  // namespace

MainState::MainState()
    : textures(TextureList::LoadShipped()),
      working_photo(BlankScreenImage()),
      caption_layer(BlankScreenImage()),
      custom_frames{BlankScreenImage(), BlankScreenImage(), BlankScreenImage()} {}

bool LoadPhotoIntoState(MainState& state, const QString& path) {
  // Decode before touching anything: a photo that cannot be read must leave the state as it was.
  std::optional<LoadedWorkingPhoto> loaded = LoadWorkingPhoto(path, kScreenSize);
  if (!loaded) return false;
  ResetPhotoEdits(state.edit);
  ResetToneValues(state.edit);
  state.edit.photo_path = path;
  state.edit.photo_width = loaded->photo_size.width();
  state.edit.photo_height = loaded->photo_size.height();
  state.edit.fit_factor = FitFactor(state.edit.photo_width, state.edit.photo_height, kScreenSize.width());
  state.working_photo = std::move(loaded->image);
  return true;
}

std::optional<LoadedWorkingPhoto> LoadEntryWorkingPhoto(const EditState& edit) {
  const RotateFlipType turn = ReplayedRotateFlip(edit.rotate_flip);
  if (edit.crop.IsEmpty()) {
    std::optional<LoadedWorkingPhoto> loaded = LoadWorkingPhoto(edit.photo_path, kScreenSize);
    if (!loaded) return std::nullopt;
    if (!RotateFlip(loaded->image, turn)) return std::nullopt;
    if (SwapsAxes(turn)) loaded->photo_size.transpose();
    return loaded;
  }
  // A crop needs the turned photo at full size to cut from.
  LoadedImage full = LoadImage(edit.photo_path);
  if (full.status != LoadStatus::Ok) return std::nullopt;
  if (!RotateFlip(full.image, turn)) return std::nullopt;
  const QRect crop(edit.crop.x, edit.crop.y, edit.crop.width, edit.crop.height);
  if (crop.isEmpty() || !full.image.rect().contains(crop)) return std::nullopt;
  const QImage part = full.image.copy(crop);
  LoadedWorkingPhoto loaded;
  loaded.photo_size = full.image.size();
  loaded.image =
      part.scaled(WorkingPhotoSize(part.size(), kScreenSize), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
          .convertToFormat(QImage::Format_ARGB32_Premultiplied);
  return loaded;
}

void ResetToneValues(EditState& edit) {
  // The values the knobs stand for follow the matrix back to neutral, so a batch entry stored
  // from here puts the knobs where a freshly chosen photo has them.
  edit.contrast = 1.0f;
  edit.brightness = 0.0f;
  edit.saturation = 1.0f;
}

void ForgetPhoto(MainState& state) {
  state.edit.photo_path.clear();
  state.working_photo = BlankScreenImage();
}

TemplateOutcome ApplyTemplate(MainState& state, const QString& picture_path) {
  const QString settings = TemplateSettingsPath(picture_path);
  if (!QFileInfo::exists(settings)) {
    ResetPlacement(state.edit);
    ResetToneValues(state.edit);
    state.edit.template_path = picture_path;
    state.custom_frames = {BlankScreenImage(), BlankScreenImage(), BlankScreenImage()};
    return TemplateOutcome::NoSettingsFile;
  }
  // Read whole before anything changes: a file that does not read leaves the previous template
  // current, so what Save writes is still what the preview shows.
  FrameStyle style = state.style;
  ReadTemplate(settings, style);
  ResetPlacement(state.edit);
  ResetToneValues(state.edit);
  state.edit.template_path = picture_path;
  state.custom_frames = {BlankScreenImage(), BlankScreenImage(), BlankScreenImage()};
  state.style = style;
  return TemplateOutcome::Applied;
}

QImage RenderPreviewComposite(const MainState& state) {
  QImage destination(state.working_photo.size(), QImage::Format_ARGB32_Premultiplied);
  destination.fill(Qt::transparent);
  RenderComposite(state.working_photo, destination, state.style, state.textures, state.edit.tone_matrix);
  return destination;
}
