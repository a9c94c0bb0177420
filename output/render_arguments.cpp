// Parsing and checking the render command's values.
#include "output/render_arguments.h"

#include <QFileInfo>
#include <QRect>
#include <climits>

#include "base/ini_file.h"
#include "base/strict_int.h"
#include "edit/geometric_edits.h"
#include "imaging/image_io.h"
#include "styles/frame_style.h"
#include "styles/template_library.h"

namespace {

// A whole number in [low, high], or a UsageError naming the option and echoing the text.
qint64 Whole(const QString& option, const QString& text, qint64 low, qint64 high) {
  const std::optional<qint64> n = ParseInteger(text.trimmed(), low, high);
  if (!n)
    throw UsageError(QStringLiteral("%1: '%2' is not a whole number from %3 to %4")
                         .arg(option, Echo(text))
                         .arg(low)
                         .arg(high));
  return *n;
}

bool SameFile(const QString& a, const QString& b) {
  const QFileInfo x(a), y(b);
  return x.exists() && y.exists() && x.canonicalFilePath() == y.canonicalFilePath();
}

}  // namespace

QString Echo(const QString& text) {
  constexpr int kLongest = 60;
  return text.size() <= kLongest ? text : text.left(kLongest - 3) + QStringLiteral("...");
}

QSize ParseOutputSize(const QString& text) {
  const QString t = text.trimmed();
  const qsizetype x = t.indexOf(u'x', 0, Qt::CaseInsensitive);
  const QString w = x < 0 ? t : t.left(x), h = x < 0 ? QString() : t.mid(x + 1);
  if (w.isEmpty() && h.isEmpty())
    throw UsageError(QStringLiteral("--size needs WxH, W or xH, not '%1'").arg(Echo(text)));
  const QString option = QStringLiteral("--size");
  const qint64 width = w.isEmpty() ? -1 : Whole(option, w, 1, kMaxImagePixels);
  const qint64 height = h.isEmpty() ? -1 : Whole(option, h, 1, kMaxImagePixels);
  if (width * height > kMaxImagePixels)
    throw UsageError(QStringLiteral("--size %1 x %2 is more than %3 million pixels")
                         .arg(width)
                         .arg(height)
                         .arg(kMaxImagePixels / 1'000'000));
  return QSize(static_cast<int>(width), static_cast<int>(height));
}

CropRect ParseCrop(const QString& text) {
  const QStringList parts = text.split(u',');
  if (parts.size() != 4) throw UsageError(QStringLiteral("--crop needs X,Y,W,H, not '%1'").arg(Echo(text)));
  const QString option = QStringLiteral("--crop");
  const qint64 x = Whole(option, parts[0], INT_MIN, INT_MAX), y = Whole(option, parts[1], INT_MIN, INT_MAX);
  const qint64 w = Whole(option, parts[2], 1, INT_MAX), h = Whole(option, parts[3], 1, INT_MAX);
  if (x + w > INT_MAX || y + h > INT_MAX)
    throw UsageError(QStringLiteral("--crop %1 reaches past the largest coordinate").arg(Echo(text)));
  return CropRect{static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h)};
}

int ParseFontSize(const QString& text) {
  return static_cast<int>(Whole(QStringLiteral("--font-size"), text, 1, kMaxFontPoints));
}

CropCheck CheckCrop(const QString& option, const CropRect& crop, const RotateFlipList& edits,
                    const QString& photo_path) {
  CropCheck check;
  check.crop = crop;
  if (crop.IsEmpty()) return check;
  QSize photo = ReadImageSize(photo_path);
  if (!photo.isValid()) return check;  // the render says what is wrong with the photo
  if (SwapsAxes(ReplayedRotateFlip(edits))) photo.transpose();
  const QRect wanted(crop.x, crop.y, crop.width, crop.height);
  const QRect inside = wanted & QRect(QPoint(0, 0), photo);
  const QString size = QStringLiteral("%1 x %2").arg(photo.width()).arg(photo.height());
  if (inside.isEmpty()) {
    check.outside = true;
    check.message = QStringLiteral("%1 %2,%3,%4,%5 lies outside the %6 photo %7")
                        .arg(option)
                        .arg(crop.x)
                        .arg(crop.y)
                        .arg(crop.width)
                        .arg(crop.height)
                        .arg(size, photo_path);
  } else if (inside != wanted) {
    check.crop = CropRect{inside.x(), inside.y(), inside.width(), inside.height()};
    check.message = QStringLiteral("%1 reaches past the %2 photo: cut to %3,%4,%5,%6")
                        .arg(option, size)
                        .arg(inside.x())
                        .arg(inside.y())
                        .arg(inside.width())
                        .arg(inside.height());
  }
  return check;
}

QStringList CheckRenderRequest(RenderRequest& request, const QString& template_argument, bool quality_given,
                               bool force) {
  QStringList warnings;
  const QString settings = TemplateSettingsPath(template_argument);
  if (!force) {
    for (const QString& input : {request.photo_path, template_argument, settings}) {
      if (SameFile(request.output_path, input))
        throw UsageError(
            QStringLiteral("%1 is also an input; --force writes over it").arg(request.output_path));
    }
  }
  const QString mime = MimeTypeForFileName(request.output_path);
  const bool lossy = mime == QLatin1String("image/jpeg") || mime == QLatin1String("image/webp") ||
                     mime == QLatin1String("image/avif") || mime == QLatin1String("image/jxl");
  if (quality_given && !lossy)
    warnings << QStringLiteral("--quality applies to JPEG, WebP, AVIF and JPEG XL files only: ignored for %1")
                    .arg(request.output_path);
  const CropCheck crop =
      CheckCrop(QStringLiteral("--crop"), request.crop, request.rotate_flip, request.photo_path);
  if (crop.outside) throw UsageError(crop.message);
  request.crop = crop.crop;
  if (!crop.message.isEmpty()) warnings << crop.message;
  return warnings;
}

QString NameFailingKey(const QString& settings_path, const QString& message) {
  try {
    const IniFile ini = IniFile::Load(settings_path);
    for (const FrameStyleSlot& slot : FrameStyleSlots()) {
      const QString text = ini.Value(QStringLiteral("Frames"), QLatin1String(slot.key), QStringLiteral("0"));
      try {
        if (slot.kind == SlotKind::Colour) {
          StyleTextToColour(text);
        } else {
          StrictToInt(text);
        }
      } catch (const LumistoError&) {
        return QStringLiteral("%1: %2").arg(QLatin1String(slot.key), message);
      }
    }
  } catch (const LumistoError&) {
  }
  return message;
}
