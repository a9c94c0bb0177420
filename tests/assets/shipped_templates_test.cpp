// The shipped template library: every template reads, has its picture and renders on every sample photo.
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>

#include "base/ini_file.h"
#include "base/lumisto_error.h"
#include "compose/render_composite.h"
#include "imaging/image_io.h"
#include "styles/frame_style.h"
#include "support/test_support.h"
#include "tools/template_definitions.h"

using testing_support::ShippedTextures;

using testing_support::ReadFile;

namespace {

const QString kAssets = QStringLiteral(LUMISTO_SOURCE_DIR "/assets");

struct ShippedTemplate {
  QString category;
  QString name;
  FrameStyle style;
};

// The three category folders, as the shipped Config.ini names them.
QStringList Categories() {
  QStringList names;
  for (int n = 1; n <= 3; ++n)
    names.append(ReadIniString(kAssets + QStringLiteral("/Config.ini"), QStringLiteral("Template"),
                               QStringLiteral("Template%1").arg(n), QStringLiteral("0")));
  return names;
}

QDir CategoryFolder(const QString& category) {
  return QDir(kAssets + QStringLiteral("/DATA/Mask/") + category);
}

QSet<QString> BaseNames(const QDir& folder, const QStringList& patterns) {
  QSet<QString> names;
  const QFileInfoList files = folder.entryInfoList(patterns, QDir::Files);
  for (const QFileInfo& file : files) names.insert(file.completeBaseName());
  return names;
}

// Mean of the absolute channel differences (red, green, blue) of two opaque pictures of one size.
double MeanDifference(const QImage& a, const QImage& b) {
  return testing_support::CompareImages(a.convertToFormat(QImage::Format_RGB32),
                                        b.convertToFormat(QImage::Format_RGB32))
      .mean_rgb;
}

// What the library as a whole must show at least once.
enum class Feature {
  kBackColour,
  kBackTexture,
  kShadow,
  kBandColour,
  kBandTexture,
  kRectangle,
  kEllipse,
  kDiamond,
  kBandOverPhoto,
  kBandAroundPhoto,
  kWindowInBackground,
  kOverlay,
  kStroke,
  kLine,
  kPartialBlend
};

bool Uses(const FrameStyle& s, Feature feature) {
  const bool band = IsOn(s.frame_draw) && s.frame_size > 0;
  const bool back = IsOn(s.back_draw) && s.back_size > 0;
  // With the band over the photo but not drawn, the window is the whole photo whatever the shape.
  const bool shaped = !(IsOn(s.frame_include) && !IsOn(s.frame_draw));
  switch (feature) {
    case Feature::kBackColour:
      return back && !IsOn(s.back_color_text);
    case Feature::kBackTexture:
      return back && IsOn(s.back_color_text) && s.back_text_size > 0;
    case Feature::kShadow:
      return back && IsOn(s.shadow_draw) && s.shadow_size > 0 && s.shadow_opacity > 0;
    case Feature::kBandColour:
      return band && !IsOn(s.frame_color_text) && s.frame_opacity > 0;
    case Feature::kBandTexture:
      return band && IsOn(s.frame_color_text) && s.frame_text_size > 0;
    case Feature::kRectangle:
      return band && s.frame_sharp == 0;
    case Feature::kEllipse:
      return shaped && (band || back) && s.frame_sharp == 1;
    case Feature::kDiamond:
      return shaped && (band || back) && s.frame_sharp == 2;
    case Feature::kBandOverPhoto:
      return band && IsOn(s.frame_include);
    case Feature::kBandAroundPhoto:
      return band && !IsOn(s.frame_include);
    case Feature::kWindowInBackground:
      return back && !band && !IsOn(s.frame_include) && s.frame_sharp != 0;
    case Feature::kOverlay:
      return IsOn(s.color_draw) && s.color_opacity > 0;
    case Feature::kStroke:
      return IsOn(s.stroke_draw) && s.stroke_size > 0 && s.stroke_opacity > 0;
    case Feature::kLine:
      return IsOn(s.line_draw) && s.line_size > 0 && s.line_opacity > 0;
    case Feature::kPartialBlend:
      return s.blend_opacity > 0 && s.blend_opacity < 255;
  }
  return false;
}

}  // namespace

Q_DECLARE_METATYPE(Feature)

class ShippedTemplatesTest : public QObject {
  Q_OBJECT

 private:
  QList<ShippedTemplate> templates_;
  QTemporaryDir dir_;

 private Q_SLOTS:
  void initTestCase() {
    for (const QString& category : Categories()) {
      const QDir folder = CategoryFolder(category);
      QVERIFY2(folder.exists(), qPrintable(folder.path()));
      const QStringList inis = folder.entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name);
      for (const QString& ini : inis) {
        ShippedTemplate shipped{category, QFileInfo(ini).completeBaseName(), {}};
        try {
          ReadFrameStyle(folder.filePath(ini), shipped.style);
        } catch (const LumistoError& e) {
          QFAIL(qPrintable(category + u'/' + ini + QStringLiteral(": ") + e.Message()));
        }
        templates_.append(shipped);
      }
    }
  }

  void CategoriesHoldFifteenTemplates_data() {
    QTest::addColumn<QString>("category");
    for (const QString& category : Categories()) QTest::newRow(qPrintable(category)) << category;
  }
  void CategoriesHoldFifteenTemplates() {
    QFETCH(QString, category);
    const QDir folder = CategoryFolder(category);
    const QSet<QString> settings = BaseNames(folder, {QStringLiteral("*.ini")});
    QVERIFY2(settings.size() >= 15, qPrintable(QString::number(settings.size())));
    // Every settings file has its picture and every picture its settings file; only JPEG pictures.
    QCOMPARE(BaseNames(folder, {QStringLiteral("*.jpg")}), settings);
    QVERIFY(folder
                .entryList({QStringLiteral("*.bmp"), QStringLiteral("*.png"), QStringLiteral("*.gif")},
                           QDir::Files)
                .isEmpty());
  }

  void PreviewsAreSeventyPixelJpegsOfTheirStyle() {
    for (const ShippedTemplate& shipped : templates_) {
      const QString path = CategoryFolder(shipped.category).filePath(shipped.name + QStringLiteral(".jpg"));
      const QString what = shipped.category + u'/' + shipped.name;
      QVERIFY2(ReadFile(path).startsWith("\xFF\xD8\xFF"), qPrintable(what));  // JPEG data, not BMP
      QImageReader reader(path);
      QCOMPARE(reader.format(), QByteArray("jpeg"));
      const QImage picture = reader.read();
      QCOMPARE(picture.size(), QSize(70, 70));
      // A stale picture (style, renderer or textures changed without regenerating) differs from a
      // fresh one passed through the same encoder; the fresh one is encoded too, so JPEG loss
      // cancels and only a codec of another version could leave a small remainder.
      const QString fresh_path = dir_.filePath(QStringLiteral("fresh.jpg"));
      QString error;
      QVERIFY2(EncodeImage(RenderTemplatePreview(shipped.style), fresh_path, QStringLiteral("image/jpeg"),
                           kTemplatePreviewQuality, &error),
               qPrintable(error));
      const double difference = MeanDifference(picture, QImage(fresh_path));
      QVERIFY2(difference < 0.5,
               qPrintable(QStringLiteral("%1: mean difference %2").arg(what).arg(difference)));
    }
  }

  // The folders are generated from tools/templates.txt: a definition edited without regenerating
  // (or a file added by hand) shows here.
  void FilesMatchTheirDefinitions() {
    const QString definitions_path = QStringLiteral(LUMISTO_SOURCE_DIR "/tools/templates.txt");
    QList<TemplateDefinition> definitions;
    try {
      definitions = ParseTemplateDefinitions(QString::fromUtf8(ReadFile(definitions_path)),
                                             QStringLiteral("templates.txt"));
    } catch (const LumistoError& e) {
      QFAIL(qPrintable(e.Message()));
    }
    QCOMPARE(definitions.size(), templates_.size());
    for (const TemplateDefinition& definition : definitions) {
      const auto found = std::find_if(templates_.begin(), templates_.end(), [&](const ShippedTemplate& t) {
        return t.category == definition.category && t.name == definition.name;
      });
      QVERIFY2(found != templates_.end(), qPrintable(definition.category + u'/' + definition.name));
      QVERIFY2(found->style == definition.style, qPrintable(definition.category + u'/' + definition.name));
    }
  }

  void LibraryUsesEveryEffectAndOption_data() {
    QTest::addColumn<Feature>("feature");
    QTest::newRow("background in colour") << Feature::kBackColour;
    QTest::newRow("background in texture") << Feature::kBackTexture;
    QTest::newRow("drop shadow on a margin") << Feature::kShadow;
    QTest::newRow("band in colour") << Feature::kBandColour;
    QTest::newRow("band in texture") << Feature::kBandTexture;
    QTest::newRow("rectangular window") << Feature::kRectangle;
    QTest::newRow("oval window") << Feature::kEllipse;
    QTest::newRow("diamond window") << Feature::kDiamond;
    QTest::newRow("band over the photo's edge") << Feature::kBandOverPhoto;
    QTest::newRow("band around the photo") << Feature::kBandAroundPhoto;
    QTest::newRow("window cut in the background") << Feature::kWindowInBackground;
    QTest::newRow("colour overlay") << Feature::kOverlay;
    QTest::newRow("stroke") << Feature::kStroke;
    QTest::newRow("line") << Feature::kLine;
    QTest::newRow("partial blend opacity") << Feature::kPartialBlend;
  }
  void LibraryUsesEveryEffectAndOption() {
    QFETCH(Feature, feature);
    QVERIFY(std::any_of(templates_.begin(), templates_.end(),
                        [&](const ShippedTemplate& t) { return Uses(t.style, feature); }));
  }

  // Every template on every sample photo, at a reduced size to keep the run short: the composite
  // keeps the photo's size, is opaque, and its frame shows along the top edge (every shipped
  // template draws there: a margin, a band around the photo or a band over its edge).
  void EveryTemplateRendersOnEveryPhoto() {
    const QDir photos(kAssets + QStringLiteral("/DATA/Photo"));
    const QStringList files = photos.entryList(
        {QStringLiteral("*.jpg"), QStringLiteral("*.bmp"), QStringLiteral("*.png"), QStringLiteral("*.gif")},
        QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString& file : files) {
      const LoadedImage loaded = LoadImageAtLeast(photos.filePath(file), QSize(600, 600));
      QVERIFY2(loaded.status == LoadStatus::Ok, qPrintable(file));
      const QImage photo = loaded.image.scaled(600, 600, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                               .convertToFormat(QImage::Format_ARGB32_Premultiplied);
      for (const ShippedTemplate& shipped : templates_) {
        const QString what = file + QStringLiteral(" with ") + shipped.category + u'/' + shipped.name;
        QImage composite(photo.size(), QImage::Format_ARGB32_Premultiplied);
        composite.fill(Qt::transparent);
        RenderComposite(photo, composite, shipped.style, ShippedTextures());
        QCOMPARE(composite.size(), photo.size());
        const int last_x = photo.width() - 1, last_y = photo.height() - 1;
        for (const QPoint corner : {QPoint(0, 0), QPoint(last_x, 0), QPoint(0, last_y),
                                    QPoint(last_x, last_y), QPoint(last_x / 2, last_y / 2)})
          QVERIFY2(qAlpha(composite.pixel(corner)) == 255, qPrintable(what));
        QVERIFY2(composite.copy(0, 0, photo.width(), 1) != photo.copy(0, 0, photo.width(), 1),
                 qPrintable(what));
      }
    }
  }
};

QTEST_GUILESS_MAIN(ShippedTemplatesTest)
#include "shipped_templates_test.moc"
