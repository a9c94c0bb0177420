// Colours from embedded profiles and colour descriptions turned into sRGB at decode, compared with
// what Little CMS's own tool (tificc, relative colorimetric with black point compensation) gives for
// the same pixels; photos without a profile untouched; outputs labelled sRGB.
#include <lcms2.h>
#include <libheif/heif.h>
#include <turbojpeg.h>

#include <QColorSpace>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "format_tools.h"
#include "imaging/cmyk_jpeg.h"
#include "imaging/colour_profile.h"
#include "imaging/image_io.h"
#include "support/test_support.h"

using format_tools::RunTool;
using format_tools::SavePng;

namespace {

const QString kAdobeRgb = QStringLiteral("/usr/share/color/icc/compatibleWithAdobeRGB1998.icc");
const QString kSrgbFile = QStringLiteral("/usr/share/color/icc/sRGB.icc");

// 16 x 16 colours stepping through the cube, in 4 x 4 blocks (so JPEG and HEVC keep each block's
// middle close to flat); saturated corners included, where profiles differ most.
QImage ColourCube() {
  QImage image(64, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const int i = (y / 4) * 16 + x / 4;
      image.setPixel(x, y, qRgb((i % 4) * 85, ((i / 4) % 4) * 85, (i / 16) * 17));
    }
  return image;
}

// pixels converted by tificc from the profile at icc_path into sRGB, relative colorimetric with
// black point compensation. Null when the tool fails.
QImage Tificc(const QImage& pixels, const QString& icc_path, const QTemporaryDir& dir) {
  QImage plain = pixels.convertToFormat(QImage::Format_RGB888);
  plain.setColorSpace(QColorSpace());  // no profile in the file: tificc takes -i
  const QString in = dir.filePath("tificc-in.tif"), out = dir.filePath("tificc-out.tif");
  if (!plain.save(in, "tiff")) return QImage();
  QString output;
  if (!RunTool("tificc", {"-i" + icc_path, "-o*sRGB", "-t1", "-b", in, out}, &output)) {
    qWarning("tificc: %s", qPrintable(output));
    return QImage();
  }
  QImage result(out);
  return result.convertToFormat(QImage::Format_RGB32);
}

// Largest channel difference over the middles (2 x 2 of each 4 x 4 block) of two cube pictures.
int BlockMiddleError(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 1000;
  int worst = 0;
  for (int y = 1; y < a.height(); y += 4)
    for (int x = 1; x < a.width(); x += 4)
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
          const QRgb p = a.pixel(x + dx, y + dy), q = b.pixel(x + dx, y + dy);
          worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                            std::abs(qBlue(p) - qBlue(q))});
        }
  return worst;
}

// jpeg with profile split into APP2 chunks of chunk_bytes each, in the given order of sequence numbers
// (1-based; a number left out leaves its chunk out), after the SOI.
QByteArray JpegWithProfileChunks(const QByteArray& jpeg, const QByteArray& profile, int chunk_bytes,
                                 const QList<int>& order) {
  const int count = int((profile.size() + chunk_bytes - 1) / chunk_bytes);
  QByteArray segments;
  for (const int sequence : order) {
    const QByteArray part = profile.mid((sequence - 1) * chunk_bytes, chunk_bytes);
    const int length = 2 + 14 + int(part.size());
    segments.append("\xFF\xE2", 2).append(char(length >> 8)).append(char(length & 0xFF));
    segments.append("ICC_PROFILE", 12).append(char(sequence)).append(char(count)).append(part);
  }
  QByteArray result = jpeg;
  result.insert(2, segments);
  return result;
}

// A Display P3 profile (DCI-P3 primaries, D65, sRGB's curve) written by Little CMS at path.
bool WriteDisplayP3Profile(const QString& path) {
  const cmsCIExyY white = {0.3127, 0.3290, 1.0};
  const cmsCIExyYTRIPLE primaries = {{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}};
  const cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
  cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgb);
  cmsToneCurve* curves[3] = {curve, curve, curve};
  cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
  const bool saved = profile != nullptr && cmsSaveProfileToFile(profile, path.toLocal8Bit().constData());
  if (profile != nullptr) cmsCloseProfile(profile);
  cmsFreeToneCurve(curve);
  return saved;
}

// The HEIF file's primary image as stored, decoded by libheif without any colour handling.
QImage RawHeifPixels(const QString& path) {
  heif_context* context = heif_context_alloc();
  QImage result;
  heif_image_handle* handle = nullptr;
  heif_image* image = nullptr;
  if (heif_context_read_from_file(context, path.toLocal8Bit().constData(), nullptr).code == heif_error_Ok &&
      heif_context_get_primary_image_handle(context, &handle).code == heif_error_Ok &&
      heif_decode_image(handle, &image, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr).code ==
          heif_error_Ok) {
    int stride = 0;
    const uint8_t* plane = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif_image_get_height(image, heif_channel_interleaved);
    result =
        QImage(plane, width, height, stride, QImage::Format_RGB888).convertToFormat(QImage::Format_RGB32);
  }
  if (image != nullptr) heif_image_release(image);
  if (handle != nullptr) heif_image_handle_release(handle);
  heif_context_free(context);
  return result;
}

// A CMYK input profile made by Little CMS: a 5-point grid from ink to Lab (a plain subtractive model;
// any model serves, the test compares with Little CMS's own tool using the same profile).
bool WriteCmykProfile(const QString& path) {
  cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
  cmsSetProfileVersion(profile, 2.1);  // a version 2 lut16 table takes a bare grid
  cmsSetDeviceClass(profile, cmsSigInputClass);
  cmsSetColorSpace(profile, cmsSigCmykData);
  cmsSetPCS(profile, cmsSigLabData);
  cmsPipeline* lut = cmsPipelineAlloc(nullptr, 4, 3);
  cmsStage* grid = cmsStageAllocCLut16bit(nullptr, 5, 4, 3, nullptr);
  const auto sampler = [](const cmsUInt16Number in[], cmsUInt16Number out[], void*) -> cmsInt32Number {
    const double c = in[0] / 65535.0, m = in[1] / 65535.0, y = in[2] / 65535.0, k = in[3] / 65535.0;
    cmsCIELab lab;
    lab.L = 100.0 * (1 - k) * (1 - 0.25 * c - 0.35 * m - 0.1 * y);
    lab.a = 60.0 * (m - 0.6 * c) * (1 - k);
    lab.b = 60.0 * (y - 0.5 * c - 0.2 * m) * (1 - k);
    cmsFloat2LabEncoded(out, &lab);
    return 1;
  };
  cmsStageSampleCLut16bit(grid, sampler, nullptr, 0);
  cmsPipelineInsertStage(lut, cmsAT_BEGIN, grid);
  const bool saved = cmsWriteTag(profile, cmsSigAToB0Tag, lut) &&
                     cmsWriteTag(profile, cmsSigMediaWhitePointTag, cmsD50_XYZ()) &&
                     cmsSaveProfileToFile(profile, path.toLocal8Bit().constData());
  cmsPipelineFree(lut);
  cmsCloseProfile(profile);
  return saved;
}

QByteArray StoredCmyk(const QByteArray& jpeg, int width, int height) {
  tjhandle handle = tjInitDecompress();
  QByteArray cmyk(width * height * 4, '\0');
  tjDecompress2(handle, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                static_cast<unsigned long>(jpeg.size()), reinterpret_cast<unsigned char*>(cmyk.data()), width,
                width * 4, height, TJPF_CMYK, 0);
  tjDestroy(handle);
  return cmyk;
}

// Little CMS's own conversion of BGRA rows (Qt's ARGB32 in memory) to sRGB, alpha copied: the
// reference the program's conversion is held to.
bool LcmsToSrgb(const QByteArray& profile, uchar* pixels, qsizetype stride, int width, int rows) {
  cmsHPROFILE source = cmsOpenProfileFromMem(profile.constData(), cmsUInt32Number(profile.size()));
  cmsHPROFILE srgb = cmsCreate_sRGBProfile();
  cmsHTRANSFORM transform =
      source ? cmsCreateTransform(source, TYPE_BGRA_8, srgb, TYPE_BGRA_8, INTENT_RELATIVE_COLORIMETRIC,
                                  cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_COPY_ALPHA)
             : nullptr;
  if (transform) {
    for (int y = 0; y < rows; ++y) {
      uchar* line = pixels + y * stride;
      cmsDoTransform(transform, line, line, cmsUInt32Number(width));
    }
    cmsDeleteTransform(transform);
  }
  cmsCloseProfile(srgb);
  if (source) cmsCloseProfile(source);
  return transform != nullptr;
}

}  // namespace

class ColourProfileTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void jpegProfilesAreApplied_data() {
    QTest::addColumn<int>("chunk_bytes");
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("one chunk") << 65000 << QList<int>{1};
    // The profile may come in several APP2 segments, in any order.
    QTest::newRow("three chunks") << 200 << QList<int>{1, 2, 3};
    QTest::newRow("three chunks out of order") << 200 << QList<int>{3, 1, 2};
  }
  void jpegProfilesAreApplied() {
    QFETCH(int, chunk_bytes);
    QFETCH(QList<int>, order);
    QTemporaryDir dir;
    const QByteArray jpeg = testing_support::JpegBytes(ColourCube());
    const QString plain_path = dir.filePath("plain.jpg");
    QVERIFY(testing_support::WriteFile(plain_path, jpeg));
    const LoadedImage plain = LoadImage(plain_path);
    QCOMPARE(plain.status, LoadStatus::Ok);
    const QImage expected = Tificc(plain.image, kAdobeRgb, dir);
    QVERIFY(!expected.isNull());

    const QString path = dir.filePath("adobe.jpg");
    QVERIFY(testing_support::WriteFile(
        path, JpegWithProfileChunks(jpeg, testing_support::ReadFile(kAdobeRgb), chunk_bytes, order)));
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QVERIFY(loaded.warning.isEmpty());
    // Within 2 levels of Little CMS's own tool: its 16-bit pipeline rounds differently from ours.
    QVERIFY2(BlockMiddleError(loaded.image, expected) <= 2,
             qPrintable(QString::number(BlockMiddleError(loaded.image, expected))));
    // Adobe RGB is wider than sRGB: the conversion visibly moved the colours.
    QVERIFY(BlockMiddleError(loaded.image, plain.image) > 10);
    // The reduced decodes (the preview, the thumbnails) are converted alike.
    const LoadedImage eighth = LoadImageAtLeast(path, QSize(8, 8), ScaledDetail::Thumbnail);
    const LoadedImage plain_eighth = LoadImageAtLeast(plain_path, QSize(8, 8), ScaledDetail::Thumbnail);
    QCOMPARE(eighth.image.size(), QSize(8, 8));
    QVERIFY(testing_support::MaxChannelDifference(eighth.image, plain_eighth.image) > 10);
  }

  void pngProfilesAreApplied() {
    QTemporaryDir dir;
    QImage tagged = ColourCube();
    tagged.setColorSpace(QColorSpace::fromIccProfile(testing_support::ReadFile(kAdobeRgb)));
    QVERIFY(tagged.colorSpace().isValid());
    const QString path = dir.filePath("adobe.png");
    QVERIFY(tagged.save(path, "png"));
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    const QImage expected = Tificc(ColourCube(), kAdobeRgb, dir);
    QVERIFY(BlockMiddleError(loaded.image, expected) <= 2);
  }

  void heifColourDescriptionsAreApplied_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("embed_profile");
    // A Display P3 HEIC as phones store it: with the profile embedded (heif-enc copies the PNG's).
    QTest::newRow("Display P3 HEIC, profile")
        << "heif-enc" << QStringList{"-q", "95", "%IN%", "-o", "%OUT%"} << "p3.heic" << true;
    // Described without a profile: primaries 12 (Display P3), sRGB's transfer 13.
    QTest::newRow("Display P3 AVIF, colour description")
        << "avifenc" << QStringList{"-l", "--cicp", "12/13/0", "%IN%", "%OUT%"} << "p3.avif" << false;
  }
  void heifColourDescriptionsAreApplied() {
    QFETCH(QString, tool);
    QFETCH(QStringList, args);
    QFETCH(QString, name);
    QFETCH(bool, embed_profile);
    QTemporaryDir dir;
    const QString p3 = dir.filePath("p3.icc");
    QVERIFY(WriteDisplayP3Profile(p3));
    QImage cube = ColourCube();
    if (embed_profile) cube.setColorSpace(QColorSpace::fromIccProfile(testing_support::ReadFile(p3)));
    const QString in = SavePng(cube, dir.path(), "cube.png");
    const QString path = dir.filePath(name);
    for (QString& arg : args) arg.replace("%IN%", in).replace("%OUT%", path);
    QVERIFY(RunTool(tool, args));
    const QImage stored = RawHeifPixels(path);
    QVERIFY(!stored.isNull());
    const QImage expected = Tificc(stored, p3, dir);
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QVERIFY2(testing_support::MaxChannelDifference(loaded.image, expected) <= 2,
             qPrintable(QString::number(testing_support::MaxChannelDifference(loaded.image, expected))));
    QVERIFY(testing_support::MaxChannelDifference(loaded.image, stored) > 10);
  }

  // A JPEG XL photo in Adobe RGB: lossless files keep the photo's own colours (Little CMS converts
  // them), lossy ones store XYB, which libjxl turns into sRGB itself; both within the codec's loss
  // of what tificc gives for the photo's pixels.
  void jxlProfilesAreApplied_data() {
    QTest::addColumn<QString>("distance");
    QTest::addColumn<int>("loss");
    QTest::newRow("lossless") << "0" << 0;
    QTest::newRow("lossy (XYB)") << "0.1" << 30;
  }
  void jxlProfilesAreApplied() {
    QFETCH(QString, distance);
    QFETCH(int, loss);
    QTemporaryDir dir;
    QImage cube = ColourCube();
    cube.setColorSpace(QColorSpace::fromIccProfile(testing_support::ReadFile(kAdobeRgb)));
    const QString in = SavePng(cube, dir.path(), "cube.png");
    const QString path = dir.filePath("adobe.jxl");
    QVERIFY(RunTool("cjxl", {"-d", distance, in, path}));
    // The codec's own loss: the converted picture stored the same way without a profile.
    const QImage expected = Tificc(ColourCube(), kAdobeRgb, dir);
    const QString plain = dir.filePath("plain.jxl");
    QVERIFY(RunTool("cjxl", {"-d", distance, SavePng(expected, dir.path(), "srgb.png"), plain}));
    const LoadedImage plain_loaded = LoadImage(plain);
    QCOMPARE(plain_loaded.status, LoadStatus::Ok);
    const int codec_loss = BlockMiddleError(plain_loaded.image, expected);
    QVERIFY(codec_loss <= loss);
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    const int error = BlockMiddleError(loaded.image, expected);
    QVERIFY2(error <= 2 + codec_loss, qPrintable(QString::number(error)));
    QVERIFY(BlockMiddleError(loaded.image, ColourCube()) > 10);
  }

  void photosInSrgbAreLeftAsTheyAre_data() {
    QTest::addColumn<QString>("profile");
    QTest::newRow("no profile") << QString();
    QTest::newRow("an sRGB profile") << kSrgbFile;
  }
  void photosInSrgbAreLeftAsTheyAre() {
    QFETCH(QString, profile);
    QTemporaryDir dir;
    const QByteArray jpeg = testing_support::JpegBytes(ColourCube());
    const QString plain_path = dir.filePath("plain.jpg");
    QVERIFY(testing_support::WriteFile(plain_path, jpeg));
    const QString path = dir.filePath("tagged.jpg");
    QVERIFY(testing_support::WriteFile(
        path, profile.isEmpty()
                  ? jpeg
                  : JpegWithProfileChunks(jpeg, testing_support::ReadFile(profile), 65000, {1})));
    const LoadedImage plain = LoadImage(plain_path);
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QCOMPARE(testing_support::FirstDifference(loaded.image, plain.image), QString());
    QVERIFY(loaded.warning.isEmpty());
  }

  void unusableProfilesAreReadAsSrgb_data() {
    QTest::addColumn<QByteArray>("profile");
    const QByteArray adobe = testing_support::ReadFile(kAdobeRgb);
    QTest::newRow("truncated") << adobe.first(200);
    QByteArray garbage = adobe;
    for (qsizetype i = 128; i < garbage.size(); ++i) garbage[i] = char(i * 7);
    QTest::newRow("tag table destroyed") << garbage;
    QTest::newRow("a grey profile on an RGB photo")
        << testing_support::ReadFile("/usr/share/color/icc/Gray.icc");
  }
  void unusableProfilesAreReadAsSrgb() {
    QFETCH(QByteArray, profile);
    QTemporaryDir dir;
    const QByteArray jpeg = testing_support::JpegBytes(ColourCube());
    const QString plain_path = dir.filePath("plain.jpg");
    const QString path = dir.filePath("bad.jpg");
    QVERIFY(testing_support::WriteFile(plain_path, jpeg));
    QVERIFY(testing_support::WriteFile(path, JpegWithProfileChunks(jpeg, profile, 65000, {1})));
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QCOMPARE(testing_support::FirstDifference(loaded.image, LoadImage(plain_path).image), QString());
    QVERIFY(!loaded.warning.isEmpty());
  }

  void incompleteChunkedProfilesAreIgnored() {
    QTemporaryDir dir;
    const QByteArray jpeg = testing_support::JpegBytes(ColourCube());
    const QString plain_path = dir.filePath("plain.jpg");
    const QString path = dir.filePath("part.jpg");
    QVERIFY(testing_support::WriteFile(plain_path, jpeg));
    // Chunk 2 of 3 missing: the profile cannot be put together.
    QVERIFY(testing_support::WriteFile(
        path, JpegWithProfileChunks(jpeg, testing_support::ReadFile(kAdobeRgb), 200, {1, 3})));
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QCOMPARE(testing_support::FirstDifference(loaded.image, LoadImage(plain_path).image), QString());
  }

  // Profiles of tone curves and a matrix take a quicker way than Little CMS's transform: within a
  // level of it on every 4th value of each channel (a quarter of a million colours).
  void matrixProfilesMatchLittleCms_data() {
    QTest::addColumn<QString>("profile");
    QTest::newRow("Adobe RGB") << kAdobeRgb;
    QTest::newRow("Display P3") << "p3";
    QTest::newRow("gamma 1.8, Apple RGB primaries") << "apple";
  }
  void matrixProfilesMatchLittleCms() {
    QFETCH(QString, profile);
    QTemporaryDir dir;
    if (profile == u"p3") {
      profile = dir.filePath("p3.icc");
      QVERIFY(WriteDisplayP3Profile(profile));
    } else if (profile == u"apple") {
      const cmsCIExyY white = {0.3127, 0.3290, 1.0};
      const cmsCIExyYTRIPLE primaries = {{0.625, 0.340, 1.0}, {0.280, 0.595, 1.0}, {0.155, 0.070, 1.0}};
      cmsToneCurve* curve = cmsBuildGamma(nullptr, 1.8);
      cmsToneCurve* curves[3] = {curve, curve, curve};
      cmsHPROFILE made = cmsCreateRGBProfile(&white, &primaries, curves);
      profile = dir.filePath("apple.icc");
      QVERIFY(made != nullptr && cmsSaveProfileToFile(made, profile.toLocal8Bit().constData()));
      cmsCloseProfile(made);
      cmsFreeToneCurve(curve);
    }
    const QByteArray bytes = testing_support::ReadFile(profile);
    QVERIFY(!bytes.isEmpty());
    QImage cube(512, 512, QImage::Format_RGB32);
    for (int i = 0; i < 512 * 512; ++i)
      cube.setPixel(i % 512, i / 512,
                    qRgb((i % 64) * 4 + 3 * (i % 2), ((i / 64) % 64) * 4, (i / 4096) * 4 + 1));
    QImage expected = cube.copy();
    QVERIFY(LcmsToSrgb(bytes, expected.bits(), expected.bytesPerLine(), 512, 512));
    QImage converted = cube.copy();
    QCOMPARE(ConvertToSrgb(converted, bytes), QString());
    QVERIFY2(testing_support::MaxChannelDifference(converted, expected) <= 1,
             qPrintable(QString::number(testing_support::MaxChannelDifference(converted, expected))));
    QVERIFY(testing_support::MaxChannelDifference(converted, cube) > 10);
  }

  // Rows are turned 32 or eight pixels at a time where the processor allows and the rest one by one:
  // a row of 45 pixels whose pixels 32-39 and 40-44 repeat its first ones gives those pixels two or
  // three times, each way the processor has, and keeps every alpha; every pixel is within a level of
  // Little CMS.
  void groupedAndSinglePixelsAgree() {
    const QByteArray profile = testing_support::ReadFile(kAdobeRgb);
    const std::unique_ptr<SrgbRowConverter> converter = SrgbRowConverter::Make(profile);
    QVERIFY(converter);
    constexpr int kWidth = 45, kRows = 4096;
    // Where pixel x repeats an earlier one.
    const auto repeats = [](int x) { return x >= 40 ? x - 40 : x >= 32 ? x - 32 : -1; };
    std::vector<std::uint32_t> pixels(std::size_t{kWidth} * kRows);
    std::uint32_t seed = 12345;
    for (int y = 0; y < kRows; ++y) {
      std::uint32_t* row = pixels.data() + static_cast<std::size_t>(y) * kWidth;
      for (int x = 0; x < 32; ++x) {
        seed = seed * 1664525u + 1013904223u;
        row[x] = seed;  // any alpha, any colour
      }
      for (int x = 32; x < kWidth; ++x) row[x] = row[repeats(x)];
    }
    // Saturated primaries, black and white among them.
    const std::uint32_t corners[8] = {0xFF000000u, 0xFFFFFFFFu, 0x80FF0000u, 0x0000FF00u,
                                      0xFF0000FFu, 0x12FFFF00u, 0xFFFF00FFu, 0xFF00FFFFu};
    for (const int x : {0, 32}) std::copy(corners, corners + 8, pixels.begin() + x);
    std::copy(corners, corners + 5, pixels.begin() + 40);
    const std::vector<std::uint32_t> original = pixels;
    for (int y = 0; y < kRows; ++y)
      converter->Convert(reinterpret_cast<uchar*>(pixels.data() + static_cast<std::size_t>(y) * kWidth),
                         kWidth);

    std::vector<std::uint32_t> expected = original;
    QVERIFY(LcmsToSrgb(profile, reinterpret_cast<uchar*>(expected.data()), 0,
                       static_cast<int>(expected.size()), 1));

    int worst = 0, changed = 0;
    for (int y = 0; y < kRows; ++y) {
      const std::size_t at = static_cast<std::size_t>(y) * kWidth;
      for (int x = 0; x < kWidth; ++x) {
        const QRgb got = pixels[at + x], want = expected[at + x];
        QCOMPARE(qAlpha(got), qAlpha(original[at + x]));
        worst = std::max({worst, std::abs(qRed(got) - qRed(want)), std::abs(qGreen(got) - qGreen(want)),
                          std::abs(qBlue(got) - qBlue(want))});
        if (got != original[at + x]) ++changed;
        if (repeats(x) >= 0) QCOMPARE(got, QRgb(pixels[at + repeats(x)]));
      }
    }
    QVERIFY2(worst <= 1, qPrintable(QString::number(worst)));
    QVERIFY(changed > kRows * kWidth / 2);
  }

  // A CMYK JPEG goes through its own profile; without one, or with one Little CMS refuses, through
  // the standard CMYK profile (with a warning for the refused one).
  void cmykJpegsGoThroughTheirProfile_data() {
    QTest::addColumn<QString>("carried");  // own, none or damaged
    QTest::newRow("its own profile") << "own";
    QTest::newRow("no profile: the standard one") << "none";
    QTest::newRow("a damaged profile: the standard one") << "damaged";
  }
  void cmykJpegsGoThroughTheirProfile() {
    QFETCH(QString, carried);
    QTemporaryDir dir;
    QString profile = dir.filePath("cmyk.icc");
    QVERIFY(WriteCmykProfile(profile));
    QByteArray profile_bytes = testing_support::ReadFile(profile);
    if (carried == QLatin1String("damaged")) profile_bytes = profile_bytes.left(200);
    if (carried != QLatin1String("own")) {
      profile = QStringLiteral("/usr/share/color/icc/ghostscript/default_cmyk.icc");
      QVERIFY2(!StandardCmykProfile().isEmpty(), "the standard CMYK profile is installed (libgs-common)");
    }
    // Ink in 8 x 8 blocks of a 64 x 32 picture: every mix of none, some and much of each ink.
    constexpr int kWidth = 64, kHeight = 32;
    QByteArray stored(kWidth * kHeight * 4, '\0');
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const int block = (y / 8) * 8 + x / 8;
        const int ink[4] = {(block % 3) * 120, ((block / 3) % 3) * 120, (block % 2) * 200,
                            (block / 16) * 100};
        for (int channel = 0; channel < 4; ++channel)
          stored[(y * kWidth + x) * 4 + channel] = char(255 - ink[channel]);
      }
    const QByteArray jpeg = testing_support::CmykJpeg(stored, kWidth, kHeight);
    QVERIFY(!jpeg.isEmpty());
    const QString path = dir.filePath("cmyk.jpg");
    QVERIFY(testing_support::WriteFile(path, carried == QLatin1String("none")
                                                 ? jpeg
                                                 : JpegWithProfileChunks(jpeg, profile_bytes, 65000, {1})));
    // What Little CMS's calculator makes of the ink the file holds at each block's centre (it takes
    // ink in per cent and gives sRGB levels as decimals).
    const QByteArray held = StoredCmyk(jpeg, kWidth, kHeight);
    QList<QPoint> centres;
    QString input;
    for (int y = 4; y < kHeight; y += 8)
      for (int x = 4; x < kWidth; x += 8) {
        centres << QPoint(x, y);
        for (int channel = 0; channel < 4; ++channel)
          input +=
              QString::number((255 - quint8(held[(y * kWidth + x) * 4 + channel])) * 100.0 / 255.0, 'f', 4) +
              ' ';
        input += '\n';
      }
    QProcess transicc;
    transicc.start("transicc", {"-i" + profile, "-o*sRGB", "-t1", "-b", "-n"});
    transicc.write(input.toLatin1());
    transicc.closeWriteChannel();
    QVERIFY(transicc.waitForFinished(30000));
    QList<QRgb> expected;
    for (const QByteArray& line : transicc.readAllStandardOutput().split('\n')) {
      const QList<QByteArray> values = line.simplified().split(' ');
      if (values.size() != 3) continue;
      const auto level = [](const QByteArray& v) {
        return std::clamp(int(std::lround(v.toDouble())), 0, 255);
      };
      expected << qRgb(level(values[0]), level(values[1]), level(values[2]));
    }
    QCOMPARE(expected.size(), centres.size());
    const LoadedImage loaded = LoadImage(path);
    QCOMPARE(loaded.status, LoadStatus::Ok);
    QCOMPARE(loaded.warning.isEmpty(), carried != QLatin1String("damaged"));
    // Within 2 levels of the calculator: its floating-point pipeline rounds differently from ours.
    // The press profile's tables are finer than its 8-bit transform's: up to 5 levels apart where a
    // mix lies beyond sRGB and is cut.
    const int tolerance = carried == QLatin1String("own") ? 2 : 5;
    for (int i = 0; i < centres.size(); ++i)
      QVERIFY2(testing_support::Near(loaded.image.pixel(centres[i]), expected[i], tolerance),
               qPrintable(QStringLiteral("block %1: %2 against %3")
                              .arg(i)
                              .arg(loaded.image.pixel(centres[i]), 8, 16)
                              .arg(expected[i], 8, 16)));
  }

  void outputsAreLabelledSrgb_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("mime");
    QTest::addColumn<QStringList>("tags");
    QTest::addColumn<QString>("expected");
    const QStringList icc{"-ICC_Profile:ProfileDescription", "-ICC_Profile:ColorSpaceData"};
    QTest::newRow("JPEG") << "out.jpg"
                          << "image/jpeg" << icc << "sRGB";
    QTest::newRow("PNG") << "out.png"
                         << "image/png" << icc << "sRGB";
    QTest::newRow("TIFF") << "out.tif"
                          << "image/tiff" << icc << "sRGB";
    QTest::newRow("WebP") << "out.webp"
                          << "image/webp" << icc << "sRGB";
    // AVIF says sRGB by its colour description: BT.709 primaries (1), the sRGB curve (13).
    QTest::newRow("AVIF") << "out.avif"
                          << "image/avif" << QStringList{"-n", "-ColorPrimaries", "-TransferCharacteristics"}
                          << "1\n13";
  }
  void outputsAreLabelledSrgb() {
    QFETCH(QString, name);
    QFETCH(QString, mime);
    QFETCH(QStringList, tags);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QString error;
    QVERIFY2(EncodeImage(ColourCube(), path, mime, 90, &error), qPrintable(error));
    QString output;
    QVERIFY(RunTool("exiftool", QStringList{"-s3"} + tags + QStringList{path}, &output));
    QVERIFY2(output.startsWith(expected), qPrintable(output));
  }
};

QTEST_GUILESS_MAIN(ColourProfileTest)
#include "colour_profile_test.moc"
