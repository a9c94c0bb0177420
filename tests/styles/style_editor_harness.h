// The style editor in the main window with a template folder of its own, for the editor's tests.
#pragma once

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "app/preview_widget.h"
#include "base/config.h"
#include "styles/style_editor_dialog.h"
#include "styles/template_grid_widget.h"
#include "support/app_folder_fixture.h"
#include "support/scripted_dialogs.h"

namespace testing_support {

inline const QString kCategory = QStringLiteral("Frames A");
inline constexpr QRgb kBand = 0xFFFF0000;  // the band's red

// A red rectangular band of 20 pixels over the photo's edge, line opacity 127.
inline FrameStyle BandStyle() {
  FrameStyle s;
  s.blend_opacity = 255;
  s.frame_draw = 1;
  s.frame_include = 1;
  s.frame_opacity = 255;
  s.frame_size = 20;
  s.frame_color = 0x0000FF;
  s.frame_text_size = 10;
  s.line_opacity = 127;
  s.line_size = 2;
  s.color_opacity = s.stroke_opacity = s.shadow_opacity = s.back_opacity = 255;
  s.stroke_size = s.shadow_size = s.back_size = s.back_text_size = 5;
  s.back_color = 0xE0E0E0;
  return s;
}

struct Harness {
  // Templates t01.jpg .. of BandStyle in category 1, one green 60 x 40 photo chosen, then
  // template `chosen` (0-based) chosen.
  explicit Harness(int templates = 1, int chosen = 0, const char* picture_format = "jpg") {
    folder.WriteConfig(kCategory);
    folder.AddPhotos(1);
    QDir().mkpath(folder.CategoryFolder(kCategory));
    for (int i = 1; i <= templates; ++i) {
      const QString base =
          folder.CategoryFolder(kCategory) + QStringLiteral("/t%1").arg(i, 2, 10, QChar(u'0'));
      QImage picture(70, 70, QImage::Format_RGB32);
      picture.fill(Qt::yellow);
      picture.save(base + u'.' + QLatin1String(picture_format));
      WriteFrameStyle(base + QStringLiteral(".ini"), BandStyle());
    }
    config = std::make_unique<Config>(folder.Path());
    window = std::make_unique<MainWindow>(*config, dialogs, cache, 1);
    Click(QStringLiteral("Hot1"));
    if (chosen >= 0) {
      while (window->Templates()->Page() < chosen / 8) Click(QStringLiteral("FlatButton8"));
      Click(QStringLiteral("Hot%1").arg(51 + chosen % 8));
    }
    Editor()->Load(window->State().style);
  }

  template <typename T = QWidget>
  T* Find(const QString& name) const {
    T* widget = Editor()->findChild<T*>(name);
    if (!widget) widget = window->findChild<T*>(name);
    if (!widget) qFatal("no control named %s", qPrintable(name));
    return widget;
  }
  void Click(const QString& name) const { QTest::mouseClick(Find(name), Qt::LeftButton); }
  QLineEdit* Box(const QString& name) const { return Find<QLineEdit>(name); }
  void Type(const QString& box, const QString& text) const {
    QVERIFY2(Box(box)->isEnabled(), qPrintable(box));  // a greyed box takes no keys
    Box(box)->selectAll();
    Box(box)->del();
    QTest::keyClicks(Box(box), text);
  }
  StyleEditorDialog* Editor() const { return window->StyleEditor(); }
  QString Settings(int i = 1) const {
    return folder.CategoryFolder(kCategory) + QStringLiteral("/t%1.ini").arg(i, 2, 10, QChar(u'0'));
  }
  FrameStyle Stored(int i = 1) const {
    FrameStyle style;
    ReadFrameStyle(Settings(i), style);
    return style;
  }
  // The preview at the left edge of the photo's middle row: the band when it is drawn.
  QRgb PreviewBandPixel() const {
    const QImage& screen = window->Preview()->Fade().Surface();
    return screen.pixel(5, screen.height() / 2);
  }
  QImage CellPicture(int number) const {
    return Find<QLabel>(QStringLiteral("Image%1").arg(number))->pixmap().toImage();
  }

  AppFolderFixture folder;
  ScriptedDialogs dialogs;
  ThumbnailCache cache{QString()};
  std::unique_ptr<Config> config;
  std::unique_ptr<MainWindow> window;
};

}  // namespace testing_support
