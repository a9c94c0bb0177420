// Building one page of the style editor.
#include "styles/effect_page_widget.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace {

constexpr int kRowHeight = 30;

// A bar row: "Opacity:" or "Size:", the bar (150 wide, a tick per step), the box and its unit.
void AddBarRow(QWidget* parent, const QString& box_name, int y) {
  const bool percent = box_name.endsWith(QLatin1String("Opacity"));
  const bool texture_size = box_name.endsWith(QLatin1String("TextSize"));
  auto* label = new QLabel(percent ? QStringLiteral("Opacity:")
                                   : (texture_size ? QStringLiteral("TextSize:") : QStringLiteral("Size:")),
                           parent);
  label->setGeometry(8, y + 4, 58, 16);
  auto* bar = new QSlider(Qt::Horizontal, parent);
  bar->setObjectName(box_name + QStringLiteral("Bar"));
  bar->setGeometry(66, y, 150, 24);
  bar->setTickPosition(QSlider::TicksBelow);
  bar->setTickInterval(1);
  bar->setSingleStep(1);
  bar->setPageStep(1);
  auto* box = new QLineEdit(parent);
  box->setObjectName(box_name);
  box->setGeometry(220, y + 1, 40, 21);
  auto* unit = new QLabel(percent ? QStringLiteral("%") : QStringLiteral("px"), parent);
  unit->setGeometry(264, y + 4, 20, 16);
}

QIcon ShapeIcon(int shape) {
  QPixmap glyph(20, 20);
  glyph.fill(Qt::transparent);
  QPainter painter(&glyph);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::black, 1.5));
  const QRectF box(3, 3, 14, 14);
  if (shape == 0) painter.drawRect(box);
  if (shape == 1) painter.drawEllipse(box);
  if (shape == 2)
    painter.drawPolygon(QPolygonF{QPointF(10, 2), QPointF(18, 10), QPointF(10, 18), QPointF(2, 10)});
  return QIcon(glyph);
}

QPushButton* NamedButton(const QString& name, QWidget* parent, const QRect& rect) {
  auto* button = new QPushButton(parent);
  button->setObjectName(name);
  button->setGeometry(rect);
  return button;
}

}  // namespace

EffectPageWidget::EffectPageWidget(const EffectPageSpec& spec, QWidget* parent)
    : QWidget(parent), caption_(spec.caption) {
  setObjectName(spec.name);
  resize(kSize);
  const bool two_groups = !spec.swatch.isEmpty() && spec.texture.isEmpty();
  auto* group = new QGroupBox(spec.group, this);
  group->setObjectName(spec.name + QStringLiteral("Group"));
  switched_.append(group);
  QWidget* bars = group;
  int y = 20;
  if (!spec.inner_group.isEmpty()) {
    auto* inner = new QGroupBox(spec.inner_group, group);
    inner->setObjectName(spec.name + QStringLiteral("InnerGroup"));
    inner->setGeometry(8, 20, 300, 24 + kRowHeight * static_cast<int>(spec.boxes.size()));
    bars = inner;
  }
  for (const QString& box : spec.boxes) {
    AddBarRow(bars, box, y);
    y += kRowHeight;
  }
  int group_height = y + (spec.inner_group.isEmpty() ? 6 : 30);
  group->setGeometry(4, 4, 318, group_height);

  if (two_groups) {
    auto* colour_group = new QGroupBox(this);
    colour_group->setObjectName(spec.name + QStringLiteral("ColourGroup"));
    colour_group->setGeometry(4, group_height + 10, 318, 44);
    switched_.append(colour_group);
    auto* label = new QLabel(QStringLiteral("Color:"), colour_group);
    label->setGeometry(8, 16, 50, 16);
    NamedButton(spec.swatch, colour_group, QRect(66, 13, 41, 21));
  }

  if (!spec.texture.isEmpty()) {
    // The fill choice lies in the main group, under the bars.
    auto* colour_radio = new QRadioButton(QStringLiteral("Color"), group);
    colour_radio->setObjectName(spec.texture + QStringLiteral("ColorText1"));
    colour_radio->setGeometry(8, y + 2, 58, 20);
    NamedButton(spec.swatch, group, QRect(70, y + 1, 41, 21));
    auto* texture_radio = new QRadioButton(QStringLiteral("Texture"), group);
    texture_radio->setObjectName(spec.texture + QStringLiteral("ColorText"));
    texture_radio->setGeometry(130, y + 2, 64, 20);
    NamedButton(spec.texture + QStringLiteral("Text"), group, QRect(198, y - 6, 41, 41))
        ->setIconSize(QSize(32, 32));
    colour_radio->setChecked(true);
    y += 44;
    auto* text_size = new QWidget(group);
    text_size->setObjectName(spec.texture + QStringLiteral("TextSizePanel"));
    text_size->setGeometry(0, y, 300, kRowHeight);
    AddBarRow(text_size, spec.texture + QStringLiteral("TextSize"), 0);
    text_size->hide();
    switched_.append(text_size);
    y += kRowHeight;
    group->setGeometry(4, 4, 318, y + 6);
  }

  if (spec.shapes) {
    auto* shapes = new QGroupBox(this);
    shapes->setObjectName(spec.name + QStringLiteral("ShapeGroup"));
    shapes->setGeometry(4, y + 16, 318, 48);
    switched_.append(shapes);
    auto* label = new QLabel(QStringLiteral("Sharp"), shapes);
    label->setGeometry(8, 16, 40, 16);
    auto* exclusive = new QButtonGroup(shapes);
    for (int i = 0; i < 3; ++i) {
      QPushButton* button =
          NamedButton(QStringLiteral("FrameSharp%1").arg(i + 1), shapes, QRect(60 + i * 40, 10, 32, 30));
      button->setCheckable(true);
      button->setIcon(ShapeIcon(i));
      exclusive->addButton(button, i);
    }
    auto* combo = new QComboBox(shapes);
    combo->setObjectName(QStringLiteral("FrameSharp"));
    combo->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    combo->hide();
  }
}
