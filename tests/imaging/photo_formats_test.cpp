// Reading HEIF/HEIC, AVIF, WebP and JPEG XL: each format made by its own tool, decoded by content
// behind LoadImage with the same verdicts as the other formats (cut files, huge declared sizes).
#include <libheif/heif.h>

#include <QTemporaryDir>
#include <QTransform>
#include <QtEndian>
#include <QtTest>
#include <cmath>

#include "format_tools.h"
#include "imaging/image_io.h"
#include "support/test_support.h"

using format_tools::PatchError;
using format_tools::Patches;
using format_tools::RunTool;
using format_tools::SavePng;

namespace {

// The sample made from source.png by tool (the %IN% and %OUT% arguments replaced), or empty.
QString Make(const QTemporaryDir& dir, const QImage& source, const QString& tool, QStringList args,
             const QString& out_name) {
  const QString in = SavePng(source, dir.path(), out_name + QStringLiteral(".src.png"));
  const QString out = dir.filePath(out_name);
  for (QString& arg : args) arg.replace(QLatin1String("%IN%"), in).replace(QLatin1String("%OUT%"), out);
  QString output;
  if (!RunTool(tool, args, &output)) {
    qWarning("%s failed: %s", qPrintable(tool), qPrintable(output));
    return QString();
  }
  return out;
}

QImage Unpremultiplied(const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32); }

// Patches() with alpha falling from opaque (left) to clear (right), colours unchanged.
QImage TranslucentPatches() {
  QImage image = Patches().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      image.setPixel(x, y, qRgba(qRed(p), qGreen(p), qBlue(p), 255 - (x / 32) * 100));
    }
  return image;
}

struct HeifContextFree {
  void operator()(heif_context* context) const { heif_context_free(context); }
};

// An 8-bit RGB heif_image of a Qt picture.
heif_image* ToHeifImage(const QImage& picture) {
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
  heif_image* image = nullptr;
  heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
  heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
  int stride = 0;
  uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
  for (int y = 0; y < rgb.height(); ++y)
    memcpy(plane + y * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
  return image;
}

heif_error Append(heif_context*, const void* data, size_t size, void* userdata) {
  static_cast<QByteArray*>(userdata)->append(static_cast<const char*>(data), qsizetype(size));
  return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

// A HEIC of image with a thumbnail image of another picture, as some writers store them (none when
// thumbnail is null).
QByteArray HeicWithThumbnail(const QImage& image, const QImage& thumbnail, int quality = 90) {
  std::unique_ptr<heif_context, HeifContextFree> context(heif_context_alloc());
  heif_encoder* encoder = nullptr;
  heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &encoder);
  heif_encoder_set_lossy_quality(encoder, quality);
  heif_image* main_image = ToHeifImage(image);
  heif_image* thumb_image = thumbnail.isNull() ? nullptr : ToHeifImage(thumbnail);
  heif_image_handle* main_handle = nullptr;
  heif_image_handle* thumb_handle = nullptr;
  heif_context_encode_image(context.get(), main_image, encoder, nullptr, &main_handle);
  // The picture given is scaled into the box (two thirds of its size: a picture that fits already
  // is not stored) and stored as the thumbnail of the main image.
  if (thumb_image != nullptr)
    heif_context_encode_thumbnail(context.get(), thumb_image, main_handle, encoder, nullptr,
                                  std::max(thumbnail.width(), thumbnail.height()) * 2 / 3, &thumb_handle);
  heif_context_set_primary_image(context.get(), main_handle);
  QByteArray bytes;
  heif_writer writer = {1, Append};
  heif_context_write(context.get(), &writer, &bytes);
  heif_image_handle_release(main_handle);
  if (thumb_handle != nullptr) heif_image_handle_release(thumb_handle);
  heif_image_release(main_image);
  if (thumb_image != nullptr) heif_image_release(thumb_image);
  heif_encoder_release(encoder);
  return bytes;
}

// ISO base media boxes, enough to take a HEIC apart and write one.
struct Box {
  qsizetype start = -1, payload = -1, end = -1;  // payload: after the size and type
  bool Found() const { return start >= 0; }
};

quint32 Be(const QByteArray& bytes, qsizetype at, int size) {
  quint32 value = 0;
  for (int i = 0; i < size; ++i) value = value << 8 | quint8(bytes[at + i]);
  return value;
}

// The first box of type among the boxes from begin to end.
Box Child(const QByteArray& bytes, qsizetype begin, qsizetype end, const char* type) {
  for (qsizetype at = begin; at + 8 <= end;) {
    const qsizetype size = Be(bytes, at, 4);
    if (size < 8 || at + size > end) break;
    if (bytes.mid(at + 4, 4) == QByteArray(type)) return Box{at, at + 8, at + size};
    at += size;
  }
  return Box{};
}

QByteArray Put(quint32 value, int size) {
  QByteArray out;
  for (int i = size - 1; i >= 0; --i) out.append(char((value >> (8 * i)) & 0xFF));
  return out;
}

QByteArray MakeBox(const char* type, const QByteArray& payload) {
  return Put(quint32(8 + payload.size()), 4) + QByteArray(type) + payload;
}

// A full box: version and flags before the payload.
QByteArray MakeFullBox(const char* type, int version, const QByteArray& payload, quint32 flags = 0) {
  return MakeBox(type, Put(quint32(version) << 24 | flags, 4) + payload);
}

// The coded picture of a one-image HEIC as libheif writes it: its hvcC box and its data.
bool TakeApart(const QByteArray& heic, QByteArray* hvcc, QByteArray* data) {
  const Box meta = Child(heic, 0, heic.size(), "meta");
  if (!meta.Found()) return false;
  const qsizetype children = meta.payload + 4;
  const Box iprp = Child(heic, children, meta.end, "iprp");
  const Box ipco = iprp.Found() ? Child(heic, iprp.payload, iprp.end, "ipco") : Box{};
  const Box hvcc_box = ipco.Found() ? Child(heic, ipco.payload, ipco.end, "hvcC") : Box{};
  const Box iloc = Child(heic, children, meta.end, "iloc");
  if (!hvcc_box.Found() || !iloc.Found()) return false;
  *hvcc = heic.mid(hvcc_box.start, hvcc_box.end - hvcc_box.start);
  // The one item's one extent.
  qsizetype at = iloc.payload;
  const int version = quint8(heic[at]);
  at += 4;
  const int offset_size = quint8(heic[at]) >> 4, length_size = quint8(heic[at]) & 0xF;
  const int base_size = quint8(heic[at + 1]) >> 4, index_size = quint8(heic[at + 1]) & 0xF;
  at += 2;
  at += version < 2 ? 2 : 4;                  // item count
  at += version < 2 ? 2 : 4;                  // item ID
  if (version == 1 || version == 2) at += 2;  // construction method
  at += 2;                                    // data reference index
  const quint32 base = Be(heic, at, base_size);
  at += base_size;
  at += 2;  // extent count
  if ((version == 1 || version == 2) && index_size > 0) at += index_size;
  const quint32 offset = Be(heic, at, offset_size), length = Be(heic, at + offset_size, length_size);
  *data = heic.mid(base + offset, length);
  return data->size() == qsizetype(length) && length > 0;
}

// picture stored as phones store their photos: tiles of tile x tile pixels, coded each on its own,
// that a grid image puts together and cuts to the picture's size. Empty when it cannot be made.
QByteArray GridHeic(const QImage& picture, int tile) {
  const int columns = (picture.width() + tile - 1) / tile, rows = (picture.height() + tile - 1) / tile;
  QList<QByteArray> configs, tiles;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) {
      // The tiles at the right and bottom reach past the picture: its edge pixels repeated.
      QImage part(tile, tile, QImage::Format_RGB32);
      for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x)
          part.setPixel(x, y,
                        picture.pixel(std::min(c * tile + x, picture.width() - 1),
                                      std::min(r * tile + y, picture.height() - 1)));
      QByteArray hvcc, data;
      if (!TakeApart(HeicWithThumbnail(part, QImage(), 95), &hvcc, &data)) return QByteArray();
      configs.append(hvcc);
      tiles.append(data);
    }
  const int count = rows * columns;
  const QByteArray ftyp = MakeBox("ftyp", QByteArray("heic") + Put(0, 4) + "mif1heic");
  // The grid's own data: version 0, 16-bit sizes, rows and columns less one, the output size.
  const QByteArray grid = Put(0, 2) + Put(quint32(rows - 1), 1) + Put(quint32(columns - 1), 1) +
                          Put(quint32(picture.width()), 2) + Put(quint32(picture.height()), 2);
  const auto meta_with = [&](quint32 data_start) {
    QByteArray infos = Put(quint32(1 + count), 2);
    infos += MakeFullBox("infe", 2, Put(1, 2) + Put(0, 2) + "grid" + QByteArray(1, '\0'));
    for (int i = 0; i < count; ++i)
      infos += MakeFullBox("infe", 2, Put(quint32(2 + i), 2) + Put(0, 2) + "hvc1" + QByteArray(1, '\0'),
                           1);  // hidden: a part of the grid, not a picture of its own
    QByteArray dimg = Put(1, 2) + Put(quint32(count), 2);
    for (int i = 0; i < count; ++i) dimg += Put(quint32(2 + i), 2);
    // Properties: 1 the tiles' size, 2 the picture's, 3... each tile's coding.
    QByteArray properties =
        MakeFullBox("ispe", 0, Put(quint32(tile), 4) + Put(quint32(tile), 4)) +
        MakeFullBox("ispe", 0, Put(quint32(picture.width()), 4) + Put(quint32(picture.height()), 4));
    for (const QByteArray& config : configs) properties += config;
    QByteArray associations = Put(quint32(1 + count), 4) + Put(1, 2) + Put(1, 1) + Put(2, 1);
    for (int i = 0; i < count; ++i)
      associations += Put(quint32(2 + i), 2) + Put(2, 1) + Put(quint32(0x80 | (3 + i)), 1) + Put(1, 1);
    // Every item's data in the mdat box: the grid first, then the tiles in order.
    QByteArray locations = Put(0x4400, 2) + Put(quint32(1 + count), 2);
    quint32 at = data_start;
    locations += Put(1, 2) + Put(0, 2) + Put(1, 2) + Put(at, 4) + Put(quint32(grid.size()), 4);
    at += quint32(grid.size());
    for (int i = 0; i < count; ++i) {
      locations +=
          Put(quint32(2 + i), 2) + Put(0, 2) + Put(1, 2) + Put(at, 4) + Put(quint32(tiles[i].size()), 4);
      at += quint32(tiles[i].size());
    }
    return MakeFullBox(
        "meta", 0,
        MakeFullBox("hdlr", 0, Put(0, 4) + "pict" + QByteArray(12, '\0') + QByteArray(1, '\0')) +
            MakeFullBox("pitm", 0, Put(1, 2)) + MakeFullBox("iinf", 0, infos) +
            MakeFullBox("iref", 0, MakeBox("dimg", dimg)) +
            MakeBox("iprp", MakeBox("ipco", properties) + MakeFullBox("ipma", 0, associations)) +
            MakeFullBox("iloc", 0, locations));
  };
  // The meta box's size does not depend on where the data lies.
  const qsizetype data_start = ftyp.size() + meta_with(0).size() + 8;
  QByteArray mdat = grid;
  for (const QByteArray& data : tiles) mdat += data;
  return ftyp + meta_with(quint32(data_start)) + MakeBox("mdat", mdat);
}

// A bare JPEG XL codestream whose size header declares side x side and whose metadata is all
// defaults, followed by nothing of a picture.
QByteArray JxlHeaderDeclaring(quint32 side) {
  std::vector<int> bits;
  const auto put = [&bits](quint32 value, int count) {
    for (int i = 0; i < count; ++i) bits.push_back((value >> i) & 1);
  };
  put(0, 1);  // not a multiple of 8
  put(3, 2);  // the height in 30 bits
  put(side - 1, 30);
  put(1, 3);  // width by the ratio 1:1
  put(1, 1);  // default metadata
  QByteArray bytes("\xFF\x0A", 2);
  for (std::size_t i = 0; i < bits.size(); i += 8) {
    int byte = 0;
    for (std::size_t j = 0; j < 8 && i + j < bits.size(); ++j) byte |= bits[i + j] << j;
    bytes.append(char(byte));
  }
  return bytes + QByteArray(64, '\0');
}

// file with the size of its image spatial extent ('ispe') property set to width x height.
QByteArray WithIspe(QByteArray file, quint32 width, quint32 height) {
  const qsizetype at = file.indexOf("ispe");
  if (at < 0 || at + 16 > file.size()) return QByteArray();
  qToBigEndian(width, file.data() + at + 8);
  qToBigEndian(height, file.data() + at + 12);
  return file;
}

}  // namespace

class PhotoFormatsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void decodesEachFormat_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("tolerance");
    // Lossless files must come back exact; lossy ones at high quality keep flat patches within a
    // few levels (measured: at most 4 for every codec here).
    QTest::newRow("HEIC") << "heif-enc" << QStringList{"-q", "95", "%IN%", "-o", "%OUT%"} << "a.heic" << 8;
    QTest::newRow("AVIF") << "avifenc" << QStringList{"--min", "0", "--max", "8", "%IN%", "%OUT%"} << "a.avif"
                          << 8;
    QTest::newRow("AVIF lossless") << "avifenc" << QStringList{"-l", "%IN%", "%OUT%"} << "l.avif" << 0;
    QTest::newRow("WebP lossy") << "cwebp" << QStringList{"-q", "95", "%IN%", "-o", "%OUT%"} << "a.webp" << 8;
    QTest::newRow("WebP lossless") << "cwebp" << QStringList{"-lossless", "%IN%", "-o", "%OUT%"} << "l.webp"
                                   << 0;
    QTest::newRow("JPEG XL lossy") << "cjxl" << QStringList{"-d", "1", "%IN%", "%OUT%"} << "a.jxl" << 8;
    QTest::newRow("JPEG XL lossless") << "cjxl" << QStringList{"-d", "0", "%IN%", "%OUT%"} << "l.jxl" << 0;
  }
  void decodesEachFormat() {
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(QString, name);
    QFETCH(int, tolerance);
    QTemporaryDir dir;
    const QString path = Make(dir, Patches(), tool, args, name);
    QVERIFY(!path.isEmpty());
    QCOMPARE(ReadImageSize(path), QSize(96, 64));
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QCOMPARE(loaded.full_size, QSize(96, 64));
    QCOMPARE(loaded.image.format(), QImage::Format_RGB32);
    QVERIFY2(PatchError(loaded.image) <= tolerance, qPrintable(QString::number(PatchError(loaded.image))));
    QVERIFY(loaded.warning.isEmpty());
    // A reduced load of these formats gives the whole picture or a smaller one of its shape.
    const LoadedImage reduced = LoadImageAtLeast(path, QSize(48, 32));
    QCOMPARE(reduced.status, LoadStatus::Ok);
    QCOMPARE(reduced.full_size, QSize(96, 64));
    QVERIFY(reduced.image.width() >= 48 && reduced.image.height() >= 32);
  }

  // A JPEG XL thumbnail large enough at an eighth is decoded at an eighth (for a lossy file from the
  // picture's DC alone) and looks like the picture: within a few levels on average of the whole
  // decode scaled down, and far from a picture of another arrangement.
  void jxlThumbnailsAreAnEighth_data() {
    QTest::addColumn<QString>("distance");
    QTest::addColumn<QSize>("at_least");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("lossy") << "1" << QSize(40, 30) << QSize(61, 41);
    QTest::newRow("lossless") << "0" << QSize(40, 30) << QSize(61, 41);
    QTest::newRow("an eighth too small: the whole picture") << "1" << QSize(70, 30) << QSize(481, 321);
  }
  void jxlThumbnailsAreAnEighth() {
    QFETCH(QString, distance);
    QFETCH(QSize, at_least);
    QFETCH(QSize, expected);
    // Soft colour waves across the picture, as a photo's large shapes (odd size: cut edge blocks).
    QImage picture(481, 321, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x)
        picture.setPixel(
            x, y, qRgb(x / 2, int(128 + 100 * std::sin(x / 40.0) * std::cos(y / 30.0)), y * 255 / 320));
    QTemporaryDir dir;
    const QString path = Make(dir, picture, "cjxl", {"-d", distance, "%IN%", "%OUT%"}, "t.jxl");
    QVERIFY(!path.isEmpty());
    const LoadedImage thumbnail = LoadImageAtLeast(path, at_least, ScaledDetail::Thumbnail);
    QCOMPARE(thumbnail.status, LoadStatus::Ok);
    QCOMPARE(thumbnail.full_size, QSize(481, 321));
    QCOMPARE(thumbnail.image.size(), expected);
    const QImage whole =
        LoadImage(path).image.scaled(expected, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const auto mean_difference = [](const QImage& a, const QImage& b) {
      double sum = 0.0;
      for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
          const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
          sum +=
              std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
      return sum / (3.0 * a.width() * a.height());
    };
    const double difference = mean_difference(thumbnail.image, whole);
    QVERIFY2(difference <= 6.0, qPrintable(QString::number(difference)));
    QVERIFY(mean_difference(thumbnail.image, whole.mirrored(true, true)) > 20.0);
  }

  void keepsAlpha_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("name");
    QTest::newRow("WebP") << "cwebp" << QStringList{"-lossless", "-exact", "%IN%", "-o", "%OUT%"} << "a.webp";
    QTest::newRow("AVIF") << "avifenc" << QStringList{"-l", "%IN%", "%OUT%"} << "a.avif";
    QTest::newRow("JPEG XL") << "cjxl" << QStringList{"-d", "0", "%IN%", "%OUT%"} << "a.jxl";
  }
  void keepsAlpha() {
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QImage source = TranslucentPatches();
    const QString path = Make(dir, source, tool, args, name);
    QVERIFY(!path.isEmpty());
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QVERIFY(loaded.image.hasAlphaChannel());
    const QImage got = Unpremultiplied(loaded.image);
    // Alpha exact; colours within the rounding of premultiplication at alpha 55 (255 / 55 levels).
    for (const QPoint at : {QPoint(16, 16), QPoint(48, 48), QPoint(80, 16)}) {
      QCOMPARE(qAlpha(got.pixel(at)), qAlpha(source.pixel(at)));
      QVERIFY2(testing_support::Near(got.pixel(at), source.pixel(at), 5),
               qPrintable(QString::number(at.x())));
    }
  }

  void animatedWebpGivesItsFirstFrame() {
    QTemporaryDir dir;
    const QString first =
        SavePng(testing_support::SolidFrame(qRgb(250, 0, 0), QSize(40, 30)), dir.path(), "1.png");
    const QString second =
        SavePng(testing_support::SolidFrame(qRgb(0, 0, 250), QSize(40, 30)), dir.path(), "2.png");
    const QString path = dir.filePath("anim.webp");
    QVERIFY(RunTool("img2webp", {"-lossless", first, "-d", "100", second, "-o", path}));
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QCOMPARE(loaded.image.size(), QSize(40, 30));
    QCOMPARE(testing_support::Opaque(loaded.image.pixel(20, 15)), qRgb(250, 0, 0));
  }

  void appliesTheImageTransforms_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QTransform>("transform");
    QTest::addColumn<bool>("mirror");
    // irot turns anticlockwise; imir 1 mirrors left to right (applied after the turn).
    QTest::newRow("quarter turn anticlockwise")
        << QStringList{"--irot", "1"} << QTransform().rotate(-90) << false;
    QTest::newRow("half turn") << QStringList{"--irot", "2"} << QTransform().rotate(180) << false;
    QTest::newRow("mirror") << QStringList{"--imir", "1"} << QTransform() << true;
  }
  void appliesTheImageTransforms() {
    QFETCH(QStringList, options);
    QFETCH(QTransform, transform);
    QFETCH(bool, mirror);
    QTemporaryDir dir;
    const QString path = Make(dir, Patches(), "avifenc",
                              QStringList{"-l"} + options + QStringList{"%IN%", "%OUT%"}, "turned.avif");
    QVERIFY(!path.isEmpty());
    QImage expected = Patches().transformed(transform);
    if (mirror) expected = expected.mirrored(true, false);
    QCOMPARE(ReadImageSize(path), expected.size());
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QCOMPARE(testing_support::MaxChannelDifference(loaded.image, expected), 0);
  }

  void deepImagesAreRoundedToEightBits() {
    // 10-bit values whose nearest 8-bit level differs from the top eight bits (v >> 2).
    const quint16 values[4] = {3, 7, 514, 1022};
    QImage deep(4, 1, QImage::Format_RGBX64);
    for (int x = 0; x < 4; ++x) {
      // A 16-bit PNG value that the encoder reduces to exactly v at 10 bits (bit replication).
      const quint16 v16 = quint16((values[x] << 6) | (values[x] >> 4));
      deep.setPixelColor(x, 0, QColor::fromRgba64(v16, v16, v16));
    }
    QTemporaryDir dir;
    const QString path = Make(dir, deep, "avifenc", {"-l", "-d", "10", "%IN%", "%OUT%"}, "deep.avif");
    QVERIFY(!path.isEmpty());
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    for (int x = 0; x < 4; ++x) {
      const int expected = (values[x] * 255 + 511) / 1023;
      QCOMPARE(qRed(loaded.image.pixel(x, 0)), expected);
    }
  }

  void takesThePrimaryOfSeveralImages() {
    QTemporaryDir dir;
    const QString red =
        SavePng(testing_support::SolidFrame(qRgb(220, 30, 30), QSize(64, 48)), dir.path(), "r.png");
    const QString blue =
        SavePng(testing_support::SolidFrame(qRgb(30, 30, 220), QSize(48, 64)), dir.path(), "b.png");
    const QString path = dir.filePath("two.heic");
    // heif-enc makes the first picture the primary image.
    QVERIFY(RunTool("heif-enc", {"-q", "90", red, blue, "-o", path}));
    QCOMPARE(ReadImageSize(path), QSize(64, 48));
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QVERIFY(testing_support::Near(loaded.image.pixel(32, 24), qRgb(220, 30, 30), 8));
  }

  // Phones store a photo as a grid of tiles coded one by one: the grid image is the primary one, its
  // tiles put together in order and cut to the photo's size, whichever way it is read.
  void readsAGridTiledHeic() {
    QTemporaryDir dir;
    const QString path = dir.filePath("grid.heic");
    // 40-pixel tiles, three across and two down, over the 96 x 64 patches: the tiles' edges cross the
    // patches', and the last column and row are cut.
    QVERIFY(testing_support::WriteFile(path, GridHeic(Patches(), 40)));
    QCOMPARE(ReadImageSize(path), QSize(96, 64));
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QCOMPARE(loaded.image.size(), QSize(96, 64));
    QVERIFY2(PatchError(loaded.image) <= 6, qPrintable(QString::number(PatchError(loaded.image))));
    // Reduced for a thumbnail: no thumbnail image, the grid itself scaled.
    QCOMPARE(LoadExifThumbnail(path).status, LoadStatus::Missing);
    const LoadedImage small = LoadImageAtLeast(path, QSize(48, 32));
    QCOMPARE(small.status, LoadStatus::Ok);
    QCOMPARE(small.full_size, QSize(96, 64));
    QVERIFY(small.image.width() >= 48 && small.image.height() >= 32);
    QVERIFY(testing_support::Near(small.image.pixel(small.image.width() / 6, small.image.height() / 4),
                                  qRgb(200, 40, 30), 8));
    QVERIFY(testing_support::Near(
        small.image.pixel(small.image.width() * 5 / 6, small.image.height() * 3 / 4), qRgb(20, 20, 20), 8));
    // A tile missing from the file (cut before its data): refused, never shown with a hole.
    const QByteArray whole = testing_support::ReadFile(path);
    const QString cut = dir.filePath("cut.heic");
    QVERIFY(testing_support::WriteFile(cut, whole.left(whole.size() - 40)));
    QVERIFY(LoadImage(cut).status != LoadStatus::Ok);
  }

  void heifThumbnailImages_data() {
    QTest::addColumn<QSize>("thumbnail");
    QTest::addColumn<QSize>("expected");
    // The picture stored as the thumbnail is scaled to two thirds.
    QTest::newRow("the image's shape") << QSize(72, 48) << QSize(48, 32);
    // A square thumbnail of a 3:2 image is cut to 3:2 around its middle.
    QTest::newRow("another shape") << QSize(60, 60) << QSize(40, 27);
  }
  void heifThumbnailImages() {
    QFETCH(QSize, thumbnail);
    QFETCH(QSize, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("thumb.heic");
    QVERIFY(testing_support::WriteFile(
        path, HeicWithThumbnail(Patches(), testing_support::SolidFrame(qRgb(0, 200, 0), thumbnail))));
    const LoadedImage loaded = LoadExifThumbnail(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QCOMPARE(loaded.full_size, QSize(96, 64));
    QCOMPARE(loaded.image.size(), expected);
    QVERIFY(testing_support::Near(loaded.image.pixel(expected.width() / 2, expected.height() / 2),
                                  qRgb(0, 200, 0), 8));
    // Without a thumbnail image there is none to give.
    const QString plain = Make(dir, Patches(), "heif-enc", {"%IN%", "-o", "%OUT%"}, "plain.heic");
    QCOMPARE(LoadExifThumbnail(plain).status, LoadStatus::Missing);
  }

  void cutFilesAreTruncated_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("name");
    QTest::newRow("HEIC") << "heif-enc" << QStringList{"%IN%", "-o", "%OUT%"} << "a.heic";
    QTest::newRow("AVIF") << "avifenc" << QStringList{"%IN%", "%OUT%"} << "a.avif";
    QTest::newRow("WebP lossy") << "cwebp" << QStringList{"%IN%", "-o", "%OUT%"} << "a.webp";
    QTest::newRow("WebP lossless") << "cwebp" << QStringList{"-lossless", "%IN%", "-o", "%OUT%"} << "l.webp";
    QTest::newRow("JPEG XL") << "cjxl" << QStringList{"%IN%", "%OUT%"} << "a.jxl";
  }
  void cutFilesAreTruncated() {
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(QString, name);
    QTemporaryDir dir;
    // Noise, so that the pixel data fills most of the file and the cut lands inside it.
    QImage noise(200, 150, QImage::Format_RGB32);
    QRandomGenerator random(5);
    for (int y = 0; y < noise.height(); ++y)
      for (int x = 0; x < noise.width(); ++x) noise.setPixel(x, y, random.generate() | 0xFF000000u);
    const QString path = Make(dir, noise, tool, args, name);
    QVERIFY(!path.isEmpty());
    const QByteArray whole = testing_support::ReadFile(path);
    const QString cut = dir.filePath("cut-" + name);
    QVERIFY(testing_support::WriteFile(cut, whole.first(whole.size() * 2 / 3)));
    const LoadedImage loaded = LoadImage(cut);
    QCOMPARE(loaded.status, LoadStatus::Truncated);
    QVERIFY(loaded.image.isNull());
  }

  void hugeDeclaredSizesAreRefused_data() {
    QTest::addColumn<QString>("format");
    QTest::newRow("HEIC") << "heic";
    QTest::newRow("AVIF") << "avif";
    QTest::newRow("JPEG XL") << "jxl";
  }
  void hugeDeclaredSizesAreRefused() {
    QFETCH(QString, format);
    QTemporaryDir dir;
    QByteArray bytes;
    if (format == u"jxl") {
      bytes = JxlHeaderDeclaring(100000);
    } else {
      const QString tool = format == u"heic" ? "heif-enc" : "avifenc";
      const QStringList args =
          format == u"heic" ? QStringList{"%IN%", "-o", "%OUT%"} : QStringList{"%IN%", "%OUT%"};
      const QString small = Make(dir, Patches(), tool, args, "small." + format);
      QVERIFY(!small.isEmpty());
      bytes = WithIspe(testing_support::ReadFile(small), 100000, 100000);
    }
    const QString path = dir.filePath("huge." + format);
    QVERIFY(testing_support::WriteFile(path, bytes));
    // Refused from the header: 10^10 pixels would be 40 GB.
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::TooLarge);
    QCOMPARE(LoadImageAtLeast(path, QSize(70, 70)).status, LoadStatus::TooLarge);
  }
};

QTEST_GUILESS_MAIN(PhotoFormatsTest)
#include "photo_formats_test.moc"
