// A temporary application folder with generated photos and templates, for the window tests.
#pragma once

#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include "styles/frame_style.h"
#include "support/test_support.h"

namespace testing_support {

// The colour of generated photo i: distinct, saturated, easy to find again in a screenshot.
inline QColor PhotoColour(int i) { return QColor::fromHsv((i * 47) % 360, 230, 220); }

class AppFolderFixture {
 public:
  AppFolderFixture() { QDir(dir_.path()).mkpath(QStringLiteral("DATA/Photo")); }

  QString Path() const { return dir_.path(); }
  QString PhotoFolder() const { return dir_.filePath(QStringLiteral("DATA/Photo")); }
  QString CategoryFolder(const QString& name) const {
    return dir_.filePath(QStringLiteral("DATA/Mask/") + name);
  }

  // Photos p01.png.. in one colour each, size by default 60 x 40.
  void AddPhotos(int count, QSize size = QSize(60, 40), const char* format = "png") const {
    for (int i = 1; i <= count; ++i)
      AddPhoto(QStringLiteral("p%1.%2").arg(i, 2, 10, QChar(u'0')).arg(QLatin1String(format)), PhotoColour(i),
               size);
  }
  QString AddPhoto(const QString& name, QColor colour, QSize size) const {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = PhotoFolder() + u'/' + name;
    image.save(path);
    return path;
  }

  // Templates t01.jpg.. with settings files (back size 3 + i) in the category folder.
  void AddTemplates(const QString& category, int count) const {
    QDir().mkpath(CategoryFolder(category));
    for (int i = 1; i <= count; ++i) {
      const QString base = CategoryFolder(category) + QStringLiteral("/t%1").arg(i, 2, 10, QChar(u'0'));
      QImage picture(70, 70, QImage::Format_RGB32);
      picture.fill(QColor::fromHsv((i * 61) % 360, 200, 200));
      picture.save(base + QStringLiteral(".jpg"));
      FrameStyle style;
      style.back_size = 3 + i;
      style.back_draw = 1;
      style.back_opacity = 255;
      style.back_color = 0x00FF00;
      style.blend_opacity = 255;
      WriteFrameStyle(base + QStringLiteral(".ini"), style);
    }
  }

  // Config.ini naming the three category folders.
  void WriteConfig(const QString& template1, const QString& template2 = QStringLiteral("Color"),
                   const QString& template3 = QStringLiteral("Cool")) const {
    WriteFile(dir_.filePath(QStringLiteral("Config.ini")),
              QStringLiteral("[Photo]\nTemplate=0\n\n[Template]\nTemplate1=%1\nTemplate2=%2\nTemplate3=%3\n")
                  .arg(template1, template2, template3)
                  .toUtf8());
  }

 private:
  QTemporaryDir dir_;
};

}  // namespace testing_support
