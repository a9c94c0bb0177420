// Choosing a photo and a template on the shared state.
#include <QTemporaryDir>
#include <QTest>

#include "app/main_state.h"
#include "base/lumisto_error.h"
#include "compose/preview.h"
#include "support/test_support.h"

using testing_support::WriteFile;

class MainStateTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void StartsBlankAtPreviewSize() {
    const MainState state;
    QCOMPARE(state.working_photo.size(), kScreenSize);
    QCOMPARE(qAlpha(state.working_photo.pixel(5, 5)), 0);
    QCOMPARE(state.caption_layer.size(), kScreenSize);
    QCOMPARE(state.display_mode, DisplayMode::Normal);
    QCOMPARE(state.style, FrameStyle{});
    // A refresh before any photo renders the blank working photo at preview size.
    QCOMPARE(RenderPreviewComposite(state).size(), kScreenSize);
  }

  void LoadingAPhotoResetsItsEdits() {
    QTemporaryDir dir;
    QImage photo(630, 400, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    const QString path = dir.filePath(QStringLiteral("p.png"));
    QVERIFY(photo.save(path));
    MainState state;
    state.edit.photo_offset = QPoint(9, 9);
    state.edit.caption.text = QStringLiteral("kept");
    QVERIFY(LoadPhotoIntoState(state, path));
    QCOMPARE(state.edit.photo_path, path);
    QCOMPARE(state.edit.photo_width, 630);
    QCOMPARE(state.edit.photo_height, 400);
    QCOMPARE(state.edit.fit_factor, 2.0f);
    QCOMPARE(state.edit.photo_offset, QPoint(1, 1));
    QCOMPARE(state.edit.caption.text, QStringLiteral("kept"));
    QCOMPARE(state.working_photo.size(), WorkingPhotoSize(QSize(630, 400), kScreenSize));
  }

  void AnUndecodablePhotoChangesNothing() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("broken.jpg"));
    QVERIFY(WriteFile(path, "not a jpeg"));
    MainState state;
    state.edit.photo_offset = QPoint(9, 9);
    const EditState before = state.edit;
    const QImage working_before = state.working_photo;
    QVERIFY(!LoadPhotoIntoState(state, path));
    QCOMPARE(state.edit, before);
    QCOMPARE(state.working_photo, working_before);
  }

  void TemplateWithAndWithoutSettings() {
    QTemporaryDir dir;
    QVERIFY(WriteFile(dir.filePath(QStringLiteral("Gold.jpg")), "picture"));
    FrameStyle gold;
    gold.back_size = 7;
    gold.back_color = 0x0000FF;
    WriteFrameStyle(dir.filePath(QStringLiteral("Gold.ini")), gold);
    QVERIFY(WriteFile(dir.filePath(QStringLiteral("Bare.png")), "picture"));

    MainState state;
    state.edit.photo_offset = QPoint(9, 9);
    state.edit.crop = {1, 2, 3, 4};
    state.custom_frames.picture.fill(Qt::red);
    QCOMPARE(ApplyTemplate(state, dir.filePath(QStringLiteral("Gold.jpg"))), TemplateOutcome::Applied);
    QCOMPARE(state.style, gold);
    QCOMPARE(state.edit.template_path, dir.filePath(QStringLiteral("Gold.jpg")));
    QCOMPARE(state.edit.photo_offset, QPoint(1, 1));
    QCOMPARE(state.edit.crop, (CropRect{1, 2, 3, 4}));
    QCOMPARE(qAlpha(state.custom_frames.picture.pixel(3, 3)), 0);

    // No settings file: the path is taken and the placement reset, the style stays.
    const FrameStyle style = state.style;
    QCOMPARE(ApplyTemplate(state, dir.filePath(QStringLiteral("Bare.png"))), TemplateOutcome::NoSettingsFile);
    QCOMPARE(state.style, style);
    QCOMPARE(state.edit.template_path, dir.filePath(QStringLiteral("Bare.png")));
  }

  void ABadSettingsFileThrows() {
    QTemporaryDir dir;
    QVERIFY(WriteFile(dir.filePath(QStringLiteral("Bad.jpg")), "picture"));
    QVERIFY(WriteFile(dir.filePath(QStringLiteral("Bad.ini")), "[Frames]\nBlendOpacity=abc\n"));
    MainState state;
    QVERIFY_THROWS_EXCEPTION(LumistoError, ApplyTemplate(state, dir.filePath(QStringLiteral("Bad.jpg"))));
  }
};

QTEST_MAIN(MainStateTest)
#include "main_state_test.moc"
