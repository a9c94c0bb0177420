// Shipped photos and skin pictures: formats, sizes, credits, the window silhouette, the size budget.
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include "imaging/image_io.h"
#include "support/test_support.h"

using testing_support::ReadFile;

namespace {

const QString kAssets = QStringLiteral(LUMISTO_SOURCE_DIR "/assets");
const QRect kToolbarStrip(62, 52, 696, 57);
const QRgb kToolbarCream = qRgb(248, 245, 213);

QFileInfoList SamplePhotos() {
  return QDir(kAssets + QStringLiteral("/DATA/Photo"))
      .entryInfoList({QStringLiteral("*.jpg"), QStringLiteral("*.bmp"), QStringLiteral("*.png"),
                      QStringLiteral("*.gif")},
                     QDir::Files, QDir::Name);
}

QSize StoredSize(const QString& path) {
  QImageReader reader(path);
  reader.setAutoTransform(false);
  return reader.size();
}

}  // namespace

class ShippedArtworkTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void SamplePhotosCoverTheFormatsAndOrientations() {
    const QFileInfoList photos = SamplePhotos();
    QVERIFY2(photos.size() >= 10 && photos.size() <= 20, qPrintable(QString::number(photos.size())));
    const QByteArray credits = ReadFile(kAssets + QStringLiteral("/DATA/Photo/CREDITS"));
    QSet<QString> suffixes;
    bool portrait = false;
    bool turned_by_exif = false;
    for (const QFileInfo& photo : photos) {
      const QString path = photo.filePath();
      suffixes.insert(photo.suffix().toLower());
      QVERIFY2(credits.contains(photo.fileName().toUtf8()), qPrintable(photo.fileName()));
      const QSize upright = ReadImageSize(path);
      QVERIFY2(upright.isValid(), qPrintable(path));
      QVERIFY2(std::max(upright.width(), upright.height()) <= 2400, qPrintable(path));
      QVERIFY2(LoadImageAtLeast(path, QSize(64, 64)).status == LoadStatus::Ok, qPrintable(path));
      portrait = portrait || upright.height() > upright.width();
      turned_by_exif = turned_by_exif || StoredSize(path) == upright.transposed();
    }
    QCOMPARE(suffixes, (QSet<QString>{QStringLiteral("jpg"), QStringLiteral("png"), QStringLiteral("bmp"),
                                      QStringLiteral("gif")}));
    QVERIFY(portrait);
    QVERIFY(turned_by_exif);
  }

  void SkinPicturesHaveTheirSizes_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::newRow("skin") << "ui" << QSize(800, 600);
    QTest::newRow("window shape") << "shape" << QSize(800, 600);
    QTest::newRow("preview start picture") << "start" << QSize(315, 315);
    for (const char* glyph : {"glyph_system", "glyph_mail", "glyph_save", "glyph_print"})
      QTest::newRow(glyph) << glyph << QSize(57, 51);
    for (const char* glyph : {"button_open", "button_delete", "button_edit", "button_up", "button_down",
                              "button_view", "button_mirror", "button_turn_left", "button_turn_right",
                              "button_resize", "button_crop", "button_text", "button_batch"})
      QTest::newRow(glyph) << glyph << QSize(10, 10);
  }
  void SkinPicturesHaveTheirSizes() {
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QString base = kAssets + QStringLiteral("/skin/") + name;
    QCOMPARE(QImageReader(base + QStringLiteral(".png")).size(), size);
    if (name != QLatin1String("shape"))  // the shape is read once to cut the window, never shown
      QCOMPARE(QImageReader(base + QStringLiteral("@2x.png")).size(), size * 2);
  }

  // The turn glyphs run the way their buttons turn: "<=" (button_turn_left) counter-clockwise,
  // its arrow head at the circle's left pointing down; "=>" (button_turn_right) clockwise, the head
  // at the right. The head is a filled triangle, so the half that holds it carries more ink in the
  // rows where it lies than the other half, where only the arc's thin line passes.
  void TurnGlyphsRunTheWayTheirButtonsTurn_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("clockwise");
    QTest::newRow("<= counter-clockwise") << "button_turn_left@2x" << false;
    QTest::newRow("=> clockwise") << "button_turn_right@2x" << true;
  }
  void TurnGlyphsRunTheWayTheirButtonsTurn() {
    QFETCH(QString, name);
    QFETCH(bool, clockwise);
    const QImage glyph = QImage(kAssets + QStringLiteral("/skin/") + name + QStringLiteral(".png"))
                             .convertToFormat(QImage::Format_ARGB32);
    QVERIFY(!glyph.isNull());
    const int w = glyph.width(), h = glyph.height();
    qint64 left = 0, right = 0;
    for (int y = h * 45 / 100; y < h * 75 / 100; ++y)
      for (int x = 0; x < w * 4 / 10; ++x) {
        left += qAlpha(glyph.pixel(x, y));
        right += qAlpha(glyph.pixel(w - 1 - x, y));
      }
    QVERIFY2(clockwise ? right > left * 5 / 4 : left > right * 5 / 4,
             qPrintable(QStringLiteral("left %1, right %2").arg(left).arg(right)));
  }

  void ResourceFileListsEverySkinPicture() {
    const QString qrc = QString::fromUtf8(ReadFile(kAssets + QStringLiteral("/skin.qrc")));
    QVERIFY(qrc.contains(QLatin1String("prefix=\"/skin\"")));
    static const QRegularExpression kEntry(QStringLiteral("<file alias=\"([^\"]+)\">skin/([^<]+)</file>"));
    QSet<QString> listed;
    for (const QRegularExpressionMatch& entry : kEntry.globalMatch(qrc)) {
      QCOMPARE(entry.captured(1), entry.captured(2));
      listed.insert(entry.captured(2));
    }
    const QStringList on_disk = QDir(kAssets + QStringLiteral("/skin")).entryList(QDir::Files);
    QCOMPARE(listed, QSet<QString>(on_disk.begin(), on_disk.end()));
  }

  // The window is the silhouette of the shape's non-white pixels with white holes cut out: each
  // row must be one solid run, and no white row may split the window.
  void WindowShapeIsOnePieceWithoutHoles() {
    const QImage shape =
        QImage(kAssets + QStringLiteral("/skin/shape.png")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shape.pixel(0, 0), qRgb(255, 255, 255));  // rounded, not square, corners
    QCOMPARE(shape.pixel(shape.width() - 1, shape.height() - 1), qRgb(255, 255, 255));
    int first_row = -1, last_row = -1;
    qint64 solid = 0;
    for (int y = 0; y < shape.height(); ++y) {
      int first = -1, last = -1;
      for (int x = 0; x < shape.width(); ++x) {
        if (shape.pixel(x, y) == qRgb(255, 255, 255)) continue;
        if (first < 0) first = x;
        QVERIFY2(last < 0 || last == x - 1,
                 qPrintable(QStringLiteral("hole in row %1 at x %2").arg(y).arg(x)));
        last = x;
        ++solid;
      }
      if (first < 0) continue;
      if (first_row < 0) first_row = y;
      QVERIFY2(last_row < 0 || last_row == y - 1, qPrintable(QStringLiteral("white row %1").arg(y - 1)));
      last_row = y;
    }
    QVERIFY(first_row >= 0);
    // The skin's controls reach from x 17 to 782 and y 14 to 578: the window must hold them.
    QVERIFY(solid > 0.9 * shape.width() * shape.height());
    QVERIFY(first_row <= 14 && last_row >= 578);
  }

  // The toolbar strip paints its own background; the skin under it has the same colour, so no
  // seam shows at either display scale.
  void ToolbarStripMatchesItsBackground_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("scale");
    QTest::newRow("1x") << "ui.png" << 1;
    QTest::newRow("2x") << "ui@2x.png" << 2;
  }
  void ToolbarStripMatchesItsBackground() {
    QFETCH(QString, file);
    QFETCH(int, scale);
    const QImage skin =
        QImage(kAssets + QStringLiteral("/skin/") + file).convertToFormat(QImage::Format_RGB32);
    const QRect strip(kToolbarStrip.topLeft() * scale, kToolbarStrip.size() * scale);
    for (int y = strip.top(); y <= strip.bottom(); ++y)
      for (int x = strip.left(); x <= strip.right(); ++x)
        QVERIFY2(skin.pixel(x, y) == kToolbarCream, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
  }

  void ShippedContentStaysSmall() {
    qint64 bytes = 0;
    QDirIterator files(kAssets, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) bytes += files.nextFileInfo().size();
    QVERIFY2(bytes < 15 * 1024 * 1024, qPrintable(QString::number(bytes)));
  }
};

QTEST_GUILESS_MAIN(ShippedArtworkTest)
#include "shipped_artwork_test.moc"
