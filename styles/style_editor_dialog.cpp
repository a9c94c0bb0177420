// The style editor.
#include "styles/style_editor_dialog.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionButton>
#include <QValidator>
#include <algorithm>

#include "base/lumisto_error.h"
#include "styles/effect_page_widget.h"
#include "styles/new_style_dialog.h"
#include "styles/template_files.h"
#include "styles/template_grid_widget.h"
#include "styles/template_library.h"
#include "styles/texture_picker_widget.h"
#include "widgets/skin_colours.h"

namespace {

constexpr int kPageCount = 7;
constexpr int kFramePage = 3;
constexpr int kBackPage = 6;

struct EffectEntry {
  const char* panel;    // the effect list panel's objectName
  const char* caption;  // the panel's caption, also its check box's
  const char* check;    // the switch's objectName; null for Blend
  std::int32_t FrameStyle::*draw;
  const char* swatch;  // null for Blend
  std::int32_t FrameStyle::*colour;
};

const std::array<EffectEntry, kPageCount>& Effects() {
  using S = FrameStyle;
  static const std::array<EffectEntry, kPageCount> effects{{
      {"BlendPanel", "Blending Option", nullptr, nullptr, nullptr, nullptr},
      {"ColorPanel", "Color Overlay", "ColorDraw", &S::color_draw, "ColorColor", &S::color_color},
      {"LinePanel", "Line", "LineDraw", &S::line_draw, "LineColor", &S::line_color},
      {"FramePanel", "Frame", "FrameDraw", &S::frame_draw, "FrameColor", &S::frame_color},
      {"StrokePanel", "StrokeDraw", "StrokeDraw", &S::stroke_draw, "StrokeColor", &S::stroke_color},
      {"ShadowPanel", "Drop Shadow", "ShadowDraw", &S::shadow_draw, "ShadowColor", &S::shadow_color},
      {"BackPanel", "Background", "BackDraw", &S::back_draw, "BackColor", &S::back_color},
  }};
  return effects;
}

QList<EffectPageSpec> PageSpecs() {
  const auto s = [](const char* text) { return QString::fromLatin1(text); };
  return {
      {s("BlendSheet"), s("Blend"), s("Blending Option"), s("Back"), {s("BlendOpacity")}, {}, {}, false},
      {s("ColorSheet"), s("Color"), s("Color Overlay"), {}, {s("ColorOpacity")}, s("ColorColor"), {}, false},
      {s("LineSheet"),
       s("Line"),
       s("Line"),
       {},
       {s("LineOpacity"), s("LineSize")},
       s("LineColor"),
       {},
       false},
      {s("FrameSheet"),
       s("Frame"),
       s("Frame"),
       {},
       {s("FrameOpacity"), s("FrameSize")},
       s("FrameColor"),
       s("Frame"),
       true},
      {s("StrokeSheet"),
       s("Stroke"),
       s("Stroke"),
       {},
       {s("StrokeOpacity"), s("StrokeSize")},
       s("StrokeColor"),
       {},
       false},
      {s("ShadowSheet"),
       s("Shadow"),
       s("Drop Shadow"),
       {},
       {s("ShadowOpacity"), s("ShadowSize")},
       s("ShadowColor"),
       {},
       false},
      {s("BackSheet"),
       s("Back"),
       s("Background"),
       {},
       {s("BackOpacity"), s("BackSize")},
       s("BackColor"),
       s("Back"),
       false},
  };
}

// A box takes numbers within its bar's range only; empty is allowed while typing, and the
// dialog then says why it cannot preview.
class BoxValidator : public QValidator {
 public:
  BoxValidator(const StyleEditorBox& box, QObject* parent) : QValidator(parent), box_(box) {}
  State validate(QString& input, int&) const override {
    if (input.isEmpty()) return Intermediate;
    return ReadStyleEditorBox(box_, input).number ? Acceptable : Invalid;
  }

 private:
  const StyleEditorBox& box_;
};

// An effect's switch: only its box ticks it. A click on its caption, like one anywhere else on the
// panel, goes on to the panel, which shows the effect's page.
class EffectSwitch : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

  // The room the caption has beside the box.
  int CaptionRoom() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this).width();
  }

 protected:
  bool hitButton(const QPoint& pos) const override {
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this).contains(pos);
  }
};

// The effect list's caption size: the form's small dialog font.
constexpr int kCaptionPixels = 11;

// The caption's font, from the dialog's small size made smaller a pixel at a time (not below 8
// pixels) until text fits room. Set on the caption itself, so a style sheet cannot enlarge it.
void FitCaption(QWidget* widget, const QString& text, const std::function<int()>& room) {
  QFont font = widget->font();
  int pixels = kCaptionPixels;
  font.setPixelSize(pixels);
  widget->setFont(font);
  while (pixels > 8 && QFontMetrics(font).horizontalAdvance(text) > room()) {
    font.setPixelSize(--pixels);
    widget->setFont(font);
  }
}

QColor ColourOfWord(std::int32_t word) {
  const auto c = static_cast<std::uint32_t>(word);
  return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                static_cast<int>((c >> 16) & 0xFF));
}

std::int32_t WordOfColour(const QColor& colour) {
  return colour.red() | colour.green() << 8 | colour.blue() << 16;
}

}  // namespace

StyleEditorDialog::StyleEditorDialog(const Config& config, UserDialogs& dialogs,
                                     TemplateGridWidget& templates, const TextureList& textures,
                                     StyleEditorHooks hooks, QWidget* parent)
    : QDialog(parent),
      config_(config),
      dialogs_(dialogs),
      templates_(templates),
      textures_(textures),
      hooks_(std::move(hooks)) {
  setObjectName(QStringLiteral("TFrameSetup"));
  setWindowTitle(QStringLiteral("FrameSetup"));
  BuildLayout(textures);
  Wire();
  ShowPage(0);
}

StyleEditorDialog::~StyleEditorDialog() = default;

void StyleEditorDialog::BuildLayout(const TextureList& textures) {
  setFixedSize(453, 336);
  // The form's small dialog font: the effect list's captions fit their 97-pixel panels.
  QFont small = font();
  small.setPixelSize(11);
  setFont(small);
  pages_ = new QStackedWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  pages_->setGeometry(QRect(QPoint(115, 8), EffectPageWidget::kSize));
  for (const EffectPageSpec& spec : PageSpecs()) pages_->addWidget(new EffectPageWidget(spec, pages_));

  for (int tag = 0; tag < kPageCount; ++tag) {
    const EffectEntry& effect = Effects()[static_cast<std::size_t>(tag)];
    auto* panel = new QFrame(this);
    panel->setObjectName(QLatin1String(effect.panel));
    panel->setProperty("tag", tag);
    panel->setGeometry(8, 8 + tag * 32, 97, 30);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setAutoFillBackground(true);
    panel->setProperty("effectpanel", true);
    panel->installEventFilter(this);
    panels_.append(panel);
    if (effect.check) {
      auto* check = new EffectSwitch(QLatin1String(effect.caption), panel);
      check->setObjectName(QLatin1String(effect.check));
      check->setGeometry(4, 5, 91, 20);
      switches_.append(check);
    } else {
      auto* caption = new QLabel(QLatin1String(effect.caption), panel);
      caption->setObjectName(QLatin1String(effect.panel) + QStringLiteral("Caption"));
      caption->setGeometry(4, 5, 89, 20);
      caption->setAlignment(Qt::AlignCenter);
      switches_.append(nullptr);
    }
  }
  frame_include_ = new QCheckBox(QStringLiteral("FrameInclude"), this);
  frame_include_->setObjectName(QStringLiteral("FrameInclude"));
  frame_include_->setGeometry(8, 240, 104, 20);
  scale_ = new QCheckBox(QStringLiteral("Scale with photo"), this);
  scale_->setObjectName(QStringLiteral("ScaleWithPhoto"));
  scale_->setGeometry(8, 262, 180, 20);
  scale_->setToolTip(
      QStringLiteral("Sizes are those of the preview: the saved picture is the preview enlarged"));

  for (const StyleEditorBox& box : StyleEditorBoxes()) {
    auto* edit = findChild<QLineEdit*>(QLatin1String(box.name));
    auto* bar = findChild<QSlider*>(QLatin1String(box.bar_name));
    Q_ASSERT(edit && bar);
    bar->setRange(box.min, box.max);
    edit->setValidator(new BoxValidator(box, edit));
    boxes_.append(edit);
    bars_.append(bar);
  }
  for (const EffectEntry& effect : Effects())
    if (effect.swatch) swatches_.append(findChild<QPushButton*>(QLatin1String(effect.swatch)));
  frame_colour_radio_ = findChild<QRadioButton*>(QStringLiteral("FrameColorText1"));
  frame_texture_radio_ = findChild<QRadioButton*>(QStringLiteral("FrameColorText"));
  back_colour_radio_ = findChild<QRadioButton*>(QStringLiteral("BackColorText1"));
  back_texture_radio_ = findChild<QRadioButton*>(QStringLiteral("BackColorText"));
  frame_text_size_ = findChild<QWidget*>(QStringLiteral("FrameTextSizePanel"));
  back_text_size_ = findChild<QWidget*>(QStringLiteral("BackTextSizePanel"));
  frame_text_ = findChild<QPushButton*>(QStringLiteral("FrameText"));
  back_text_ = findChild<QPushButton*>(QStringLiteral("BackText"));
  for (int i = 1; i <= 3; ++i) shapes_.append(findChild<QPushButton*>(QStringLiteral("FrameSharp%1").arg(i)));
  shape_combo_ = findChild<QComboBox*>(QStringLiteral("FrameSharp"));
  SetTile(frame_text_, 0);
  SetTile(back_text_, 0);
  shapes_[0]->setChecked(true);
  for (QPushButton* swatch : swatches_) SetSwatch(swatch, 0xFFFFFF);
  for (int i = 0; i < kStyleEditorBoxCount; ++i) {
    const bool percent = StyleEditorBoxes()[static_cast<std::size_t>(i)].percent;
    bars_[i]->setValue(percent ? 100 : 1);
    boxes_[i]->setText(percent ? QStringLiteral("100") : QStringLiteral("1"));
  }

  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("ProblemLabel"));
  problem_->setGeometry(8, 286, 300, 16);
  problem_->setStyleSheet(QStringLiteral("color: %1;").arg(QColor(kSkinProblemText).name()));
  problem_->hide();
  save_ = new QPushButton(QStringLiteral("Save"), this);
  save_->setObjectName(QStringLiteral("Button1"));
  save_->setGeometry(200, 304, 75, 24);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("Button2"));
  cancel_->setGeometry(283, 304, 75, 24);
  new_style_button_ = new QPushButton(QStringLiteral("New Style..."), this);
  new_style_button_->setObjectName(QStringLiteral("Button3"));
  new_style_button_->setGeometry(366, 304, 80, 24);
  preview_button_ = new QPushButton(this);
  preview_button_->setObjectName(QStringLiteral("Button4"));
  preview_button_->hide();

  picker_ = new TexturePickerWidget(textures, this);
  new_style_ = new NewStyleDialog(config_, dialogs_, templates_, hooks_.render_thumbnail,
                                  hooks_.set_template_path, this);
}

void StyleEditorDialog::Wire() {
  for (int i = 0; i < kStyleEditorBoxCount; ++i) {
    connect(boxes_[i], &QLineEdit::textChanged, this, [this, i] { OnBoxEdited(i); });
    connect(bars_[i], &QSlider::valueChanged, this, [this, i](int position) {
      // The bar writes its box, which previews; a box that already says so is left alone.
      const BoxReading reading =
          ReadStyleEditorBox(StyleEditorBoxes()[static_cast<std::size_t>(i)], boxes_[i]->text());
      if (reading.number != position) boxes_[i]->setText(QString::number(position));
    });
  }
  for (int tag = 1; tag < kPageCount; ++tag)
    connect(switches_[tag], &QCheckBox::toggled, this, [this, tag](bool on) {
      SetSwitch(tag, on);
      RenderStylePreview();
    });
  connect(frame_include_, &QCheckBox::toggled, this, [this] { RenderStylePreview(); });
  connect(scale_, &QCheckBox::toggled, this, [this] { RenderStylePreview(); });
  for (QPushButton* swatch : swatches_)
    connect(swatch, &QPushButton::clicked, this, [this, swatch] { OnSwatchClicked(swatch); });
  const auto radio = [this](QRadioButton* button, QWidget* text_size, bool texture) {
    connect(button, &QRadioButton::toggled, this, [this, text_size, texture](bool on) {
      if (!on) return;
      text_size->setVisible(texture);
      RenderStylePreview();
    });
  };
  radio(frame_colour_radio_, frame_text_size_, false);
  radio(frame_texture_radio_, frame_text_size_, true);
  radio(back_colour_radio_, back_text_size_, false);
  radio(back_texture_radio_, back_text_size_, true);
  for (int i = 0; i < 3; ++i)
    connect(shapes_[i], &QPushButton::clicked, this, [this, i] {
      shapes_[i]->setChecked(true);
      shape_combo_->setCurrentIndex(i);
      RenderStylePreview();
    });
  const auto texture_button = [this](QPushButton* button, QRadioButton* texture_radio, int tag) {
    connect(button, &QPushButton::clicked, this, [this, texture_radio, tag] {
      texture_radio->setChecked(true);
      picker_->Open(tag, frameGeometry().topLeft() + QPoint(150, 197));
    });
  };
  texture_button(frame_text_, frame_texture_radio_, TexturePickerWidget::kFrameTag);
  texture_button(back_text_, back_texture_radio_, TexturePickerWidget::kBackTag);
  connect(picker_, &TexturePickerWidget::TilePicked, this, [this](int tag, int tile) {
    SetTile(tag == TexturePickerWidget::kFrameTag ? frame_text_ : back_text_, tile);
    RenderStylePreview();
  });
  connect(preview_button_, &QPushButton::clicked, this, [this] { RenderStylePreview(); });
  connect(save_, &QPushButton::clicked, this, &StyleEditorDialog::Save);
  connect(cancel_, &QPushButton::clicked, this, &StyleEditorDialog::reject);
  connect(new_style_button_, &QPushButton::clicked, this, &StyleEditorDialog::OnNewStyle);
}

bool StyleEditorDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    const QVariant tag = watched->property("tag");
    if (tag.isValid() && panels_.contains(qobject_cast<QFrame*>(watched))) {
      ShowPage(tag.toInt());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void StyleEditorDialog::ShowPage(int tag) {
  if (tag < 0 || tag >= kPageCount) return;
  // The panel of the page shown is highlighted: window-text colour as its face, white text.
  for (int t = 0; t < kPageCount; ++t) {
    QPalette look = palette();
    if (t == tag) {
      look.setColor(QPalette::Window, palette().color(QPalette::WindowText));
      look.setColor(QPalette::WindowText, Qt::white);
    } else {
      look.setColor(QPalette::Window, palette().color(QPalette::Button));
      look.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
    }
    panels_[t]->setPalette(look);
    panels_[t]->setProperty("highlighted", t == tag);
    // A style sheet reads the property when the panel and its captions are polished again.
    QList<QWidget*> looks = panels_[t]->findChildren<QWidget*>();
    looks.append(panels_[t]);
    for (QWidget* widget : looks) {
      widget->style()->unpolish(widget);
      widget->style()->polish(widget);
    }
  }
  pages_->setCurrentIndex(tag);
}

int StyleEditorDialog::PageShown() const { return pages_->currentIndex(); }

void StyleEditorDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The keyboard starts on Save, the default button: Tab goes on through the editor's controls.
  if (focusWidget() == nullptr) save_->setFocus(Qt::ActiveWindowFocusReason);
  // Measured once the dialog wears its look: the window's style sheet sizes the check boxes.
  for (QFrame* panel : panels_) {
    if (auto* check = panel->findChild<EffectSwitch*>()) {
      check->ensurePolished();
      FitCaption(check, check->text(), [check] { return check->CaptionRoom(); });
    } else if (auto* caption = panel->findChild<QLabel*>()) {
      caption->ensurePolished();
      FitCaption(caption, caption->text(), [caption] { return caption->contentsRect().width(); });
    }
  }
}

void StyleEditorDialog::SetSwitch(int tag, bool on) {
  auto* page = static_cast<EffectPageWidget*>(pages_->widget(tag));
  for (QWidget* control : page->SwitchedControls()) control->setEnabled(on);
}

void StyleEditorDialog::SetSwatch(QPushButton* swatch, std::int32_t colour) {
  swatch->setProperty("colour", colour);
  swatch->setStyleSheet(
      QStringLiteral("background-color: %1; border: 1px solid gray;").arg(ColourOfWord(colour).name()));
}

void StyleEditorDialog::SetTile(QPushButton* button, int tile) {
  button->setProperty("tile", tile);
  button->setIcon(QIcon(QPixmap::fromImage(textures_.Tile(tile))));
}

void StyleEditorDialog::OnBoxEdited(int box) {
  const BoxReading reading =
      ReadStyleEditorBox(StyleEditorBoxes()[static_cast<std::size_t>(box)], boxes_[box]->text());
  // The bar follows the box whenever the box holds a number it can show.
  if (reading.number && bars_[box]->value() != *reading.number) {
    const QSignalBlocker quiet(bars_[box]);
    bars_[box]->setValue(*reading.number);
  }
  RenderStylePreview();
}

void StyleEditorDialog::OnSwatchClicked(QPushButton* swatch) {
  const std::optional<QColor> chosen =
      dialogs_.ChooseColour(ColourOfWord(swatch->property("colour").toInt()));
  if (!chosen) return;
  SetSwatch(swatch, WordOfColour(*chosen));
  // A colour chosen for the band or the margin means a colour fill.
  if (swatch == swatches_[kFramePage - 1]) frame_colour_radio_->setChecked(true);
  if (swatch == swatches_[kBackPage - 1]) back_colour_radio_->setChecked(true);
  RenderStylePreview();
}

StyleEditorValues StyleEditorDialog::CurrentValues() const {
  StyleEditorValues values = opened_;
  for (int i = 0; i < kStyleEditorBoxCount; ++i)
    values.boxes[static_cast<std::size_t>(i)] = boxes_[i]->text();
  FrameStyle& rest = values.rest;
  rest.frame_include = frame_include_->isChecked() ? 1 : 0;
  rest.scale = scale_->isChecked() ? 1 : 0;
  for (int tag = 1; tag < kPageCount; ++tag) {
    const EffectEntry& effect = Effects()[static_cast<std::size_t>(tag)];
    rest.*effect.draw = switches_[tag]->isChecked() ? 1 : 0;
    rest.*effect.colour = swatches_[tag - 1]->property("colour").toInt();
  }
  rest.frame_sharp = shape_combo_->currentIndex();
  rest.frame_color_text = frame_texture_radio_->isChecked() ? 1 : 0;
  rest.frame_text = frame_text_->property("tile").toInt();
  rest.back_color_text = back_texture_radio_->isChecked() ? 1 : 0;
  rest.back_text = back_text_->property("tile").toInt();
  return values;
}

QString StyleEditorDialog::Problem() const { return problem_->isHidden() ? QString() : problem_->text(); }

bool StyleEditorDialog::Rebuild() {
  const RebuiltStyle rebuilt = RebuildStyleFromValues(CurrentValues());
  if (!rebuilt.style) {
    problem_->setText(rebuilt.error);
    problem_->show();
    return false;
  }
  problem_->hide();
  working_ = *rebuilt.style;
  return true;
}

bool StyleEditorDialog::RenderStylePreview() {
  if (loading_) return false;
  if (!Rebuild()) return false;
  hooks_.show_preview(hooks_.render_preview(working_));
  return true;
}

void StyleEditorDialog::Load(const FrameStyle& current) {
  const StyleEditorValues values = StyleEditorValuesFromStyle(current);
  opened_ = values;
  loading_ = true;
  for (int i = 0; i < kStyleEditorBoxCount; ++i) {
    const StyleEditorBox& box = StyleEditorBoxes()[static_cast<std::size_t>(i)];
    // The box shows the stored number; only the bar keeps to its range.
    boxes_[i]->setText(values.boxes[static_cast<std::size_t>(i)]);
    const QSignalBlocker quiet(bars_[i]);
    bars_[i]->setValue(BarPositionForStored(box, current.*box.field));
  }
  const FrameStyle& rest = values.rest;
  for (int tag = 1; tag < kPageCount; ++tag) {
    const EffectEntry& effect = Effects()[static_cast<std::size_t>(tag)];
    switches_[tag]->setChecked(rest.*effect.draw != 0);
    SetSwatch(swatches_[tag - 1], rest.*effect.colour);
  }
  frame_include_->setChecked(rest.frame_include != 0);
  scale_->setChecked(rest.scale != 0);
  // The shape buttons know three shapes; another number in a hand-made file opens as a rectangle.
  const int shape = rest.frame_sharp >= 0 && rest.frame_sharp <= 2 ? rest.frame_sharp : 0;
  shapes_[shape]->setChecked(true);
  shape_combo_->setCurrentIndex(shape);
  (rest.frame_color_text ? frame_texture_radio_ : frame_colour_radio_)->setChecked(true);
  frame_text_size_->setVisible(rest.frame_color_text != 0);
  (rest.back_color_text ? back_texture_radio_ : back_colour_radio_)->setChecked(true);
  back_text_size_->setVisible(rest.back_color_text != 0);
  SetTile(frame_text_, rest.frame_text);
  SetTile(back_text_, rest.back_text);
  loading_ = false;
  for (int tag = 1; tag < kPageCount; ++tag) SetSwitch(tag, switches_[tag]->isChecked());
  RenderStylePreview();
}

void StyleEditorDialog::Open(const FrameStyle& current) {
  if (templates_.SelectedIndex() < 0) return;
  Load(current);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  exec();
}

void StyleEditorDialog::Save() {
  if (!Rebuild()) {
    dialogs_.ShowError(Problem());
    return;
  }
  QString settings = TemplateSettingsPath(hooks_.template_path());
  // A shipped template is only read: the edit becomes the user's own copy, which from now on
  // stands in its place.
  const bool copy = config_.IsShipped(settings);
  if (copy) {
    const QString folder = config_.TemplateFolder(templates_.Category());
    settings = QDir(folder).filePath(QFileInfo(settings).fileName());
    if (!QDir().mkpath(folder)) {
      dialogs_.ShowError(QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(settings)));
      return;
    }
  }
  try {
    WriteFrameStyle(settings, working_);
  } catch (const LumistoError& error) {
    // Nothing else changes: the window keeps the style its file still holds.
    dialogs_.ShowError(error.Message());
    return;
  }
  hooks_.set_current_style(working_);
  try {
    WriteTemplatePicture(settings, hooks_.render_thumbnail(working_));
  } catch (const LumistoError& error) {
    dialogs_.ShowError(error.Message());
    return;
  }
  if (copy) {
    hooks_.set_template_path(TemplatePicturePath(settings));
    templates_.ScanCategory(templates_.Category());
    templates_.DrawPage();
  }
  const int cell = templates_.CurrentGridCell();
  if (cell >= 0) templates_.PaintStyleThumbnail(cell, TemplatePicturePath(settings));
  picker_->hide();
  accept();
}

void StyleEditorDialog::reject() {
  // Closing the editor in any way but Save drops the live preview.
  hooks_.refresh_preview();
  picker_->hide();
  QDialog::reject();
}

void StyleEditorDialog::OnNewStyle() {
  if (!Rebuild()) {
    dialogs_.ShowError(Problem());
    return;
  }
  new_style_->Ask(working_);
}
