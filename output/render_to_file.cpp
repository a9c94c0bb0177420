// Full-size rendering into a file.
#include "output/render_to_file.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QSaveFile>
#include <array>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include "base/lumisto_error.h"
#include "base/output_file.h"
#include "base/screen_size.h"
#include "base/work_pool.h"
#include "compose/render_composite.h"
#include "edit/caption_layer.h"
#include "edit/geometric_edits.h"
#include "imaging/colour_profile.h"
#include "imaging/format_limits.h"
#include "imaging/image_buffer.h"
#include "imaging/image_io.h"
#include "imaging/image_scale.h"
#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_header.h"
#include "imaging/row_stream.h"

namespace {

// The caption set up once (font, position, the rows it can reach) and drawn on the whole composite
// or on a band of its rows: drawn band by band it gives the same pixels as drawn whole.
class CaptionStamp {
 public:
  CaptionStamp(QSize composite, const CaptionSettings& caption, float fit_factor) : caption_(caption) {
    if (caption.text.isEmpty() || composite.isEmpty()) return;
    font_ = CaptionFont(caption);
    at_ = CaptionOrigin(composite, caption.position, fit_factor);
    // The text's layout box, the shadow's 2 pixels, and an em to spare for glyphs that overhang it.
    const QRectF box = QFontMetricsF(font_).boundingRect(
        QRectF(at_, QSizeF(0, 0)), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextExpandTabs,
        caption.text);
    const double spare = font_.pixelSize() + 4.0;
    first_row_ = static_cast<int>(std::floor(box.top() - spare));
    end_row_ = static_cast<int>(std::ceil(box.bottom() + 2 + spare));
    active_ = true;
  }

  // The rows [FirstRow, EndRow) of the composite it can reach; empty when there is no caption.
  int FirstRow() const { return active_ ? first_row_ : 0; }
  int EndRow() const { return active_ ? end_row_ : 0; }

  // Draws the caption onto band, which holds the composite's rows from top on. Large glyphs are
  // filled as outlines, whose edge pixels come out slightly different where the band cuts them, so
  // a band must hold all of FirstRow..EndRow that lies in the composite for the pixels to be those
  // of the whole composite.
  void Draw(QImage& band, int top) const {
    if (!active_ || band.isNull() || top >= end_row_ || top + band.height() <= first_row_) return;
    QPainter p(&band);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setFont(font_);
    p.translate(0, -top);
    DrawCaptionText(p, at_, caption_);
  }

 private:
  const CaptionSettings& caption_;
  QFont font_;
  QPointF at_;
  int first_row_ = 0, end_row_ = 0;
  bool active_ = false;
};

// The photo as the frame takes it: decoded, turned and mirrored, cropped.
struct EditedPhoto {
  QImage pixels;    // the decoded frame
  QImage photo;     // pixels, or the crop of them (sharing their memory when it lies inside)
  QString warning;  // the decoder's, naming the file; empty normally
};

EditedPhoto LoadEditedPhoto(const RenderRequest& request) {
  LoadedImage loaded = LoadImage(request.photo_path);
  if (loaded.status != LoadStatus::Ok) throw LumistoError(LoadProblem(loaded.status, request.photo_path));
  EditedPhoto result;
  result.pixels = std::move(loaded.image);
  if (!loaded.warning.isEmpty())
    result.warning = QStringLiteral("%1: %2").arg(request.photo_path, loaded.warning);
  if (!RotateFlip(result.pixels, ReplayedRotateFlip(request.rotate_flip)))
    throw LumistoError(QStringLiteral("%1: not enough memory to turn the photo").arg(request.photo_path));

  const CropRect& c = request.crop;
  if (c.IsEmpty()) {
    result.photo = result.pixels;
    return result;
  }
  if (c.width <= 0 || c.height <= 0)
    throw LumistoError(QStringLiteral("%1: the crop %2,%3,%4,%5 is empty")
                           .arg(request.photo_path)
                           .arg(c.x)
                           .arg(c.y)
                           .arg(c.width)
                           .arg(c.height));
  const QRect rect(c.x, c.y, c.width, c.height);
  const QImage& full = result.pixels;
  if (full.rect().contains(rect) && full.depth() == 32) {
    // A window on the decoded pixels: the composite only reads them, so nothing is copied.
    const uchar* first = full.constBits() + rect.y() * full.bytesPerLine() + rect.x() * 4;
    result.photo = QImage(first, rect.width(), rect.height(), full.bytesPerLine(), full.format());
    return result;
  }
  // Parts of the crop beyond the photo stay transparent.
  QImage source = std::move(result.pixels);
  if (!source.rect().contains(rect) && !source.hasAlphaChannel())
    source = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  result.photo = source.copy(rect);
  return result;
}

// The photo's size after the edits, from the file's header: what the effects canvas needs to know.
// Invalid when the header does not tell.
QSize ExpectedPhotoSize(const RenderRequest& request) {
  const CropRect& c = request.crop;
  if (!c.IsEmpty()) return c.width > 0 && c.height > 0 ? QSize(c.width, c.height) : QSize();
  const QSize size = ReadImageSize(request.photo_path);
  if (!size.isValid()) return QSize();
  return SwapsAxes(ReplayedRotateFlip(request.rotate_flip)) ? size.transposed() : size;
}

// Everything the composite is drawn from.
struct Prepared {
  EditedPhoto photo;
  std::unique_ptr<RowStream> stream;  // set when the photo is still being decoded into photo
  SparseEffectsCanvas canvas;
  float fit_factor = 1.0f;
  const TextureList* textures = nullptr;  // the caller's, outliving the render
  FrameStyle style;                       // the request's style at the photo's scale

  // The photo's size after the edits (photo.photo may hold only some of its rows, see RowStream).
  QSize PhotoSize() const { return stream ? stream->Size() : photo.photo.size(); }
};

float FitFactorFor(const RenderRequest& request, QSize photo) {
  return request.fit_factor > 0 ? request.fit_factor
                                : FitFactor(photo.width(), photo.height(), kScreenSize.width());
}

// The bands DrawAndWriteBands draws: one row of 4:2:0 blocks each, a few ahead of the writer.
constexpr int kBandRows = 16;
constexpr int kBandSlots = 4;

// How the photo may be decoded: whole before anything is drawn; while the top of the composite is
// drawn (the caller waits for the rows it reads); or, when it is drawn by DrawAndWriteBands, into
// a window of a few rows that the decoder fills over and over as the bands above are written.
enum class PhotoDecode { Whole, Streamed, StreamedInBands };

// How far a decoder on a thread of its own may run ahead of the bands: while the effects canvas is
// made, nothing is drawn yet, and a decoder held to the bands' few rows would wait too. 24 MB is
// 1,000 rows of a 24 MP photo, about what it decodes meanwhile.
constexpr double kDecodeAheadBytes = 24 << 20;

// The photo rows a decoder must hold for DrawAndWriteBands to draw a composite of photo_size: all
// those the bands being drawn or waiting read (none of them ever reads more), and a band to spare,
// and with ahead (a decoder of its own) kDecodeAheadBytes of rows more, at most half the photo's.
// 0 (all of them) when the caption takes a strip of bands at once.
int HeldPhotoRows(const RenderRequest& request, QSize photo_size, bool ahead) {
  if (!request.caption.text.isEmpty() || photo_size.isEmpty()) return 0;
  const FrameStyle style =
      EffectiveStyle(FrameStyleForFitFactor(request.style, FitFactorFor(request, photo_size)));
  const double h = photo_size.height();
  const double margin = ComputeFrameLayout(photo_size, style).photo_margin;
  // The photo shrinks into the margin: a composite row reads (h + 2 margin) / h photo rows.
  const double rows =
      std::ceil((kBandSlots + 1) * kBandRows * (h + 2 * margin) / h) + 2 * kBandRows +
      (ahead ? std::floor(std::min(kDecodeAheadBytes / (4.0 * photo_size.width()), h / 2)) : 0.0);
  return rows < h ? static_cast<int>(rows) : 0;
}

Prepared Prepare(const RenderRequest& request, const TextureList& textures,
                 PhotoDecode decode = PhotoDecode::Whole) {
  // The canvas depends only on the photo's final size and the style: a pool thread makes it while
  // this one decodes (or this one after the decode, when none was free). Should the decoded photo
  // differ from its header, the canvas is remade.
  SparseEffectsCanvas canvas;
  bool canvas_made = false;
  TaskGroup canvas_task;  // after what its task writes: a task begun is waited for before those go
  const QSize expected = ExpectedPhotoSize(request);
  // Nothing is made ahead for a photo that will be refused as too large.
  if (expected.isValid() && !expected.isEmpty() &&
      qint64{expected.width()} * expected.height() <= kMaxImagePixels)
    canvas_task.Run([&request, &textures, expected, &canvas, &canvas_made] {
      const FrameStyle style = FrameStyleForFitFactor(request.style, FitFactorFor(request, expected));
      canvas = PrepareEffectsCanvas(expected, style, textures);
      canvas_made = true;
    });
  Prepared p;
  p.textures = &textures;
  if (decode != PhotoDecode::Whole && request.crop.IsEmpty() &&
      ReplayedRotateFlip(request.rotate_flip) == RotateFlipType::None) {
    const bool own_thread = !OnWorkPoolThread();
    p.stream = RowStream::Start(
        request.photo_path,
        decode == PhotoDecode::StreamedInBands ? HeldPhotoRows(request, expected, own_thread) : 0,
        own_thread);
  }
  if (p.stream) {
    p.photo.pixels = p.photo.photo = p.stream->Image();
  } else {
    p.photo = LoadEditedPhoto(request);  // when this throws, a canvas not yet begun is dropped
  }
  canvas_task.Wait();
  if (canvas_made) p.canvas = std::move(canvas);
  p.fit_factor = FitFactorFor(request, p.PhotoSize());
  p.style = FrameStyleForFitFactor(request.style, p.fit_factor);
  return p;
}

// Waits until a photo being decoded is complete; throws when its data turned out damaged or cut.
void AwaitPhoto(const Prepared& p, const RenderRequest& request) {
  if (!p.stream) return;
  const LoadStatus status = p.stream->Finish();
  if (status != LoadStatus::Ok) throw LumistoError(LoadProblem(status, request.photo_path));
}

QImage ComposeWhole(Prepared& p, const RenderRequest& request) {
  AwaitPhoto(p, request);
  const QSize size = p.photo.photo.size();
  QImage composite = NewImage(size.width(), size.height());
  if (composite.isNull())
    throw LumistoError(QStringLiteral("%1: not enough memory to render the photo").arg(request.photo_path));
  {
    const CompositeRows rows(p.photo.photo, size, p.style, request.tone, std::move(p.canvas), *p.textures);
    rows.DrawInto(composite);
  }
  p.photo = EditedPhoto();
  p.stream.reset();
  StampCaption(composite, request.caption, p.fit_factor);
  return composite;
}

// Draws the composite a band of rows at a time on a helper core while this one encodes the band
// before. Whichever core is free draws the next band, so neither idles when drawing is the slower
// half. Bands go through a ring of a few slots, except those the caption reaches: they are drawn
// into one strip that gets the caption in one go before it is encoded. A band is drawn once
// photo_rows_ready (when given) says the photo rows it reads are decoded; photo_rows_done (when
// given) hears, after each band is written, above which photo row nothing is read any more. False
// when the writer failed or the photo's rows never came.
bool DrawAndWriteBands(const CompositeRows& rows, const CaptionStamp& caption, JpegRowWriter& writer,
                       const QString& photo_path, const std::function<bool(int)>& photo_rows_ready,
                       const std::function<void(int)>& photo_rows_done) {
  // A band stays in the cache from drawing to encoding.
  constexpr int kSlots = kBandSlots;
  const int width = rows.Size().width(), height = rows.Size().height();
  const int bands = (height + kBandRows - 1) / kBandRows;
  const auto no_memory = [&photo_path] {
    return LumistoError(QStringLiteral("%1: not enough memory to render the photo").arg(photo_path));
  };
  std::array<QImage, kSlots> slots;
  std::array<uchar*, kSlots> slot_bits{};
  for (int i = 0; i < kSlots; ++i) {
    slots[i] = QImage(width, kBandRows, QImage::Format_ARGB32_Premultiplied);
    if (slots[i].isNull()) throw no_memory();
    slot_bits[i] = slots[i].bits();  // taken once: the threads below only use these pointers
  }
  const qsizetype stride = slots[0].bytesPerLine();
  // The caption's bands [strip_first, strip_end).
  const int strip_first = std::clamp(caption.FirstRow(), 0, height) / kBandRows;
  const int strip_end =
      std::max(strip_first, (std::clamp(caption.EndRow(), 0, height) + kBandRows - 1) / kBandRows);
  QImage strip;
  uchar* strip_bits = nullptr;
  if (strip_first < strip_end) {
    strip = QImage(width, (strip_end - strip_first) * kBandRows, QImage::Format_ARGB32_Premultiplied);
    if (strip.isNull()) throw no_memory();
    strip_bits = strip.bits();
  }
  const auto in_strip = [&](int band) { return band >= strip_first && band < strip_end; };
  const auto band_bits = [&](int band) {
    return in_strip(band) ? strip_bits + (band - strip_first) * kBandRows * stride : slot_bits[band % kSlots];
  };
  const auto written_rows = [height](int bands_written) {
    return std::min(height, bands_written * kBandRows);
  };
  std::atomic<bool> photo_failed = false;
  const auto draw = [&](int band) {
    uchar* bits = band_bits(band);
    const int top = band * kBandRows, count = std::min(kBandRows, height - top);
    if (photo_rows_ready && !photo_rows_ready(rows.SourceRowsFor(top + count))) {
      photo_failed = true;  // the band stays undrawn: nothing more is written
      return;
    }
    for (int r = 0; r < count; ++r)
      rows.DrawRow(top + r, reinterpret_cast<std::uint32_t*>(bits + r * stride), width);
  };

  std::mutex mutex;
  std::condition_variable changed;
  int next_band = 0;  // the next band nobody has started
  int written = 0;    // bands encoded so far
  bool stop = false;
  std::vector<char> drawn(static_cast<std::size_t>(bands), 0);
  // A slot band may be drawn once the band kSlots before it, the slot's last user at the latest,
  // is written; strip bands need no slot.
  const auto may_start = [&](int band) { return in_strip(band) || band < written + kSlots; };
  std::exception_ptr helper_error;  // what the helper threw; it stops then
  const auto helper_loop = [&] {
    for (;;) {
      int band = 0;
      {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return stop || next_band >= bands || may_start(next_band); });
        if (stop || next_band >= bands) return;
        band = next_band++;
      }
      try {
        draw(band);
      } catch (...) {
        const std::lock_guard lock(mutex);
        helper_error = std::current_exception();
        drawn[static_cast<std::size_t>(band)] = 1;  // nobody waits for it in vain
        stop = true;
      }
      {
        const std::lock_guard lock(mutex);
        drawn[static_cast<std::size_t>(band)] = 1;
      }
      changed.notify_all();
    }
  };
  // The helper is an idle pool thread; in a busy pool (a batch on every core) this thread draws
  // every band itself.
  TaskGroup helper;
  if (SharedWorkPool().HasIdleThread()) helper.Run(helper_loop);
  // Draws band here unless the helper has started it, then waits until it is drawn.
  const auto have = [&](int band) {
    bool mine = false;
    {
      const std::lock_guard lock(mutex);
      if (next_band == band) {
        ++next_band;
        mine = true;
      }
    }
    if (mine) {
      draw(band);
      const std::lock_guard lock(mutex);
      drawn[static_cast<std::size_t>(band)] = 1;
    } else {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return drawn[static_cast<std::size_t>(band)] != 0; });
    }
  };
  const auto finish_helper = [&] {
    {
      const std::lock_guard lock(mutex);
      stop = true;
    }
    changed.notify_all();
    helper.Wait();
  };
  const auto helper_failed = [&] {
    const std::lock_guard lock(mutex);
    return helper_error != nullptr;
  };

  bool ok = true;
  try {
    for (int band = 0; band < bands && ok && !helper_failed(); ++band) {
      if (band == strip_first && strip_bits) {
        for (int k = strip_first; k < strip_end; ++k) have(k);
        caption.Draw(strip, strip_first * kBandRows);
      } else if (!in_strip(band)) {
        have(band);
      }
      const int top = band * kBandRows;
      ok = !photo_failed && writer.WriteRows(band_bits(band), stride, std::min(kBandRows, height - top));
      {
        const std::lock_guard lock(mutex);
        written = band + 1;
      }
      changed.notify_all();
      if (photo_rows_done) photo_rows_done(rows.FirstSourceRowFrom(written_rows(band + 1)));
    }
  } catch (...) {
    finish_helper();
    throw;
  }
  finish_helper();
  if (helper_error) std::rethrow_exception(helper_error);
  return ok;
}

// The encoder's bytes on their way into the file. The header, everything before the scan, is held
// until it is complete, then written as edit makes it (the colour profile and the photo's
// information added); the scan follows as the encoder makes it, never held whole. The file is the
// one editing the whole encoded file gives: edit is asked on the header followed by the scan's own
// segment, and when what it returns does not end in that segment unchanged, or the data never walks
// to a scan, the whole file is held and edited at the end instead. edit is called once.
class HeaderEditingWriter : public QIODevice {
 public:
  using Edit = std::function<QByteArray(QByteArray)>;
  HeaderEditingWriter(OutputFile& file, Edit edit) : file_(file), edit_(std::move(edit)) {
    open(QIODevice::WriteOnly);
  }

  // Writes what is still held; false when any write failed.
  bool Finish() {
    if (!streaming_) {
      streaming_ = true;
      Pass(edit_(std::exchange(held_, QByteArray())));
    }
    return ok_;
  }

 protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    if (streaming_) return Pass(QByteArrayView(data, size)) ? size : -1;
    held_.append(data, size);
    if (!whole_) TryHeader();
    return ok_ ? size : -1;
  }

 private:
  void TryHeader() {
    const qsizetype at = JpegScanStart(held_);
    if (at == kJpegScanNotYet) return;
    if (at == kJpegScanNone || at + 4 > held_.size()) {
      whole_ = at == kJpegScanNone;
      return;
    }
    const qsizetype scan_header =
        2 + ((static_cast<unsigned char>(held_[at + 2]) << 8) | static_cast<unsigned char>(held_[at + 3]));
    if (at + scan_header > held_.size()) return;
    const QByteArray tail = held_.sliced(at, scan_header) + QByteArrayLiteral("\xFF\xD9");
    const QByteArray edited = edit_(held_.first(at) + tail);
    const qsizetype edited_at = JpegScanStart(edited);
    if (edited_at < 0 || edited.sliced(edited_at) != tail) {
      // Held whole from here on; the edit is made once more on the whole file.
      whole_ = true;
      return;
    }
    streaming_ = true;
    Pass(edited.first(edited_at));
    Pass(std::exchange(held_, QByteArray()).sliced(at));
  }

  bool Pass(QByteArrayView bytes) {
    if (!ok_) return false;
    ok_ = WriteAll(file_.Device(), bytes.data(), bytes.size());
    // The disk takes the file while the rest is encoded, so the commit waits less.
    passed_ += bytes.size();
    if (passed_ >= kWriteBackEvery) {
      passed_ = 0;
      file_.StartWriteBack();
    }
    return ok_;
  }

  static constexpr qint64 kWriteBackEvery = qint64{4} << 20;
  OutputFile& file_;
  Edit edit_;
  QByteArray held_;
  bool streaming_ = false;  // the header is written: bytes go straight on
  bool whole_ = false;      // the whole file is held and edited at the end
  bool ok_ = true;
  qint64 passed_ = 0;
};

// A JPEG without an output size is drawn and encoded band by band, never held whole, and written
// to the file as it is encoded, with the profile and the photo's information in its header.
void StreamJpeg(Prepared& p, const RenderRequest& request, const PhotoMetadata& metadata,
                QStringList* warnings) {
  const QSize size = p.PhotoSize();
  OutputFile file(request.output_path);
  QString problem;
  HeaderEditingWriter out(file, [&metadata, size, &problem](QByteArray jpeg) {
    jpeg = WithJpegIccProfile(jpeg, SrgbProfile());
    metadata.EmbedInto(jpeg, size, &problem);
    return jpeg;
  });
  bool written = false;
  {
    const CompositeRows rows(p.photo.photo, size, p.style, request.tone, std::move(p.canvas), *p.textures);
    const CaptionStamp caption(size, request.caption, p.fit_factor);
    JpegRowWriter writer(out, size.width(), size.height(), request.quality);
    std::function<bool(int)> photo_rows_ready;
    std::function<void(int)> photo_rows_done;
    if (p.stream) {
      photo_rows_ready = [&p](int count) { return p.stream->WaitForRows(count); };
      photo_rows_done = [&p](int row) { p.stream->Release(row); };
    }
    written =
        DrawAndWriteBands(rows, caption, writer, request.photo_path, photo_rows_ready, photo_rows_done) &&
        writer.Finish();
  }
  // No band reads the photo any more, whether or not all were written: a decoder that holds a
  // window of rows may go on to the end (it would wait for the bands forever otherwise).
  if (p.stream) p.stream->Release(size.height());
  // A photo whose data ends early is refused even when its last rows came: nothing is renamed.
  AwaitPhoto(p, request);
  written = written && out.Finish();
  if (written && !problem.isEmpty())
    warnings->append(QStringLiteral("%1: %2").arg(request.output_path, problem));
  file.Commit(written);
}

// The output size asked for, a missing side (-1) taken in proportion to the composite; the
// composite's own size when nothing is asked. The problem when it is above the pixel ceiling.
QSize ResolvedOutputSize(QSize asked, QSize composite, QString* problem) {
  qint64 w = asked.width(), h = asked.height();
  // Both sides positive: that size; one positive and the other -1: in proportion; else unscaled.
  if (!(w > 0 && h > 0) && !(w > 0 && h == -1) && !(w == -1 && h > 0)) return composite;
  if (composite.isEmpty()) return composite;
  if (h <= 0) h = std::max<qint64>(1, (w * composite.height() + composite.width() / 2) / composite.width());
  if (w <= 0) w = std::max<qint64>(1, (h * composite.width() + composite.height() / 2) / composite.height());
  if (w > kMaxImagePixels || h > kMaxImagePixels || w * h > kMaxImagePixels) {
    *problem = QStringLiteral("An output size of %1 x %2 is more than %3 million pixels")
                   .arg(w)
                   .arg(h)
                   .arg(kMaxImagePixels / 1'000'000);
    return QSize();
  }
  return QSize(static_cast<int>(w), static_cast<int>(h));
}

QSize ResolvedOutputSize(QSize asked, QSize composite) {
  QString problem;
  const QSize size = ResolvedOutputSize(asked, composite, &problem);
  if (!problem.isEmpty()) throw LumistoError(problem);
  return size;
}

// Throws when the picture the render has come to cannot be written in the request's format.
void CheckOutputSize(QSize size, const RenderRequest& request) {
  const QString problem = OutputSizeProblem(size, MimeTypeForFileName(request.output_path));
  if (!problem.isEmpty()) throw LumistoError(request.output_path + QStringLiteral(": ") + problem);
}

}  // namespace

RenderRequest RenderRequestFor(const EditState& state, const FrameStyle& style, const QString& output_path) {
  RenderRequest r;
  r.photo_path = state.photo_path;
  r.style = style;
  r.tone = state.tone_matrix;
  r.rotate_flip = state.rotate_flip;
  r.crop = state.crop;
  r.caption = state.caption;
  r.fit_factor = state.fit_factor;
  r.output_size = QSize(state.output_width, state.output_height);
  r.output_path = output_path;
  return r;
}

QPointF CaptionOrigin(QSize composite, QPointF position, float fit_factor) {
  const int w = composite.width(), h = composite.height();
  const float x = static_cast<float>(position.x()) * fit_factor;
  const float y = static_cast<float>(position.y()) * fit_factor;
  // The preview letterboxes the composite into a square: undo that offset along the shorter side.
  if (w > h) return QPointF(x, y - static_cast<float>(static_cast<unsigned>(w - h) / 2));
  return QPointF(x - static_cast<float>(static_cast<unsigned>(h - w) / 2), y);
}

void StampCaption(QImage& composite, const CaptionSettings& caption, float fit_factor) {
  if (composite.isNull()) return;
  CaptionStamp(composite.size(), caption, fit_factor).Draw(composite, 0);
}

QImage RenderFullSize(const RenderRequest& request, const TextureList& textures) {
  Prepared p = Prepare(request, textures);
  QImage composite = ComposeWhole(p, request);
  const QSize out = ResolvedOutputSize(request.output_size, composite.size());
  if (out != composite.size()) composite = ScaleImage(composite, out);
  return composite;
}

QString PlannedOutputProblem(const RenderRequest& request) {
  const QString mime = MimeTypeForFileName(request.output_path);
  if (FindEncoder(mime) < 0)
    return QStringLiteral("%1: unknown picture type (use .jpg, .png, .bmp, .tif, .gif, .webp, .avif or .jxl)")
        .arg(request.output_path);
  const QSize asked = request.output_size;
  // The photo's header is read only when the size depends on it.
  const bool fixed = asked.width() > 0 && asked.height() > 0;
  const QSize photo = fixed ? QSize(1, 1) : ExpectedPhotoSize(request);
  if (!photo.isValid() || photo.isEmpty()) return QString();  // the decode will say what is wrong
  QString problem;
  const QSize out = ResolvedOutputSize(asked, photo, &problem);
  if (!problem.isEmpty()) return problem;
  problem = OutputSizeProblem(out, mime);
  return problem.isEmpty() ? QString() : request.output_path + QStringLiteral(": ") + problem;
}

QStringList RenderToFile(const RenderRequest& request, const TextureList& textures) {
  // What can never be written is refused before the work of decoding and rendering.
  if (const QString planned = PlannedOutputProblem(request); !planned.isEmpty()) throw LumistoError(planned);
  const QString problem = OutputProblem(request.output_path);
  if (!problem.isEmpty()) throw LumistoError(OutputFile::Unable(request.output_path, problem));
  const QString mime = MimeTypeForFileName(request.output_path);
  const bool jpeg = mime == QLatin1String("image/jpeg");
  QStringList warnings;
  // The photo's information, read while nothing else is held (BMP and GIF hold none).
  PhotoMetadata metadata;
  if (mime != QLatin1String("image/bmp") && mime != QLatin1String("image/gif")) {
    QString problem;
    metadata = PhotoMetadata::Read(request.photo_path, request.metadata, &problem);
    if (!problem.isEmpty()) warnings.append(problem);
  }
  // The streaming decoder is a thread of its own; a render on a pool thread (a batch photo) decodes
  // on that thread instead, so the pool's bound on busy threads holds: a few rows ahead of the bands
  // it draws when the picture is drawn in bands, else whole before drawing.
  PhotoDecode decode = PhotoDecode::Whole;
  if (jpeg) {
    const QSize expected = ExpectedPhotoSize(request);
    QString unused;
    if (expected.isValid() && ResolvedOutputSize(request.output_size, expected, &unused) == expected)
      decode = PhotoDecode::StreamedInBands;
    else if (!OnWorkPoolThread())
      decode = PhotoDecode::Streamed;
  }
  Prepared p = Prepare(request, textures, decode);
  if (!p.photo.warning.isEmpty()) warnings.append(p.photo.warning);
  const QSize out = ResolvedOutputSize(request.output_size, p.PhotoSize());
  // The photo's pixels may not be what its header promised.
  CheckOutputSize(out, request);
  const bool scaled = out != p.PhotoSize();
  // A photo held a few rows at a time is drawn only in bands; the header said otherwise.
  if ((scaled || !jpeg) && p.stream && p.stream->HoldsPart()) {
    p.stream.reset();
    p.photo = LoadEditedPhoto(request);
  }
  if (jpeg && !scaled) {
    StreamJpeg(p, request, metadata, &warnings);
    return warnings;
  }
  QImage composite = ComposeWhole(p, request);
  // Scaled on the work pool, whichever route asked for the render (command line, window, batch).
  if (scaled) composite = ScaleImage(composite, out);
  if (composite.isNull())
    throw LumistoError(QStringLiteral("%1: not enough memory to render the photo").arg(request.photo_path));
  QString error;
  QString warning;
  if (!EncodeImage(composite, request.output_path, mime, request.quality, &error, metadata, &warning))
    throw LumistoError(error);
  if (!warning.isEmpty()) warnings.append(warning);
  return warnings;
}
