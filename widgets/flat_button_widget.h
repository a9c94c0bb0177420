// The flat button every form outside the toolbar uses, optionally with a small glyph above its
// caption, and the one factory that places it.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QRect>
#include <QString>

class FlatButtonWidget : public QPushButton {
  Q_OBJECT

 public:
  // The glyphs are drawn this size, over the caption, so that the caption keeps the button's
  // full width (a 44 x 27 button has room for "Delete" but not for a glyph beside it).
  static constexpr QSize kGlyphSize{10, 10};

  FlatButtonWidget(const QString& caption, QWidget* parent);

  // glyph names a picture ":/skin/button_<glyph>.png" (with its @2x twin); an unknown name, or an
  // empty one, leaves a caption-only button.
  void SetGlyph(const QString& glyph);
  bool HasGlyph() const { return !glyph_.isNull(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QIcon glyph_;
};

// A flat button on parent at rect (parent coordinates) with its objectName, caption, hint (as
// tooltip; none when empty) and optional glyph.
FlatButtonWidget* AddFlatButton(QWidget* parent, const QString& name, const QString& caption,
                                const QString& hint, const QRect& rect, const QString& glyph = QString());
