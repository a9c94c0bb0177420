// One page of the style editor: the group boxes of one effect with their bars, number boxes,
// colour swatch, colour/texture radios, texture button and shape buttons, named as the form's
// controls. The editor finds the controls by objectName and wires them.
#pragma once

#include <QGroupBox>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

struct EffectPageSpec {
  QString name;         // the page's objectName ("BlendSheet", ...)
  QString caption;      // the page's caption ("Blend", ...)
  QString group;        // the main group's caption ("Color Overlay", ...)
  QString inner_group;  // a group inside the main one holding the bars ("Back" on Blend), or empty
  QStringList boxes;    // the number boxes, top to bottom (objectNames; bars add "Bar")
  QString swatch;       // the colour swatch's objectName, or empty
  QString texture;      // "Frame" or "Back": radio pair, texture button and texture size; or empty
  bool shapes = false;  // the three shape buttons and the hidden shape combo
};

class EffectPageWidget : public QWidget {
  Q_OBJECT

 public:
  static constexpr QSize kSize{330, 250};

  EffectPageWidget(const EffectPageSpec& spec, QWidget* parent);

  const QString& Caption() const { return caption_; }
  // What the effect's switch enables and disables: the group boxes and the texture size panel.
  const QList<QWidget*>& SwitchedControls() const { return switched_; }

 private:
  QString caption_;
  QList<QWidget*> switched_;
};
