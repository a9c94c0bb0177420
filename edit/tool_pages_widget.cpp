// Layout of the editing tool pages.
#include "edit/tool_pages_widget.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>
#include <array>

#include "base/user_dialogs.h"
#include "edit/caption_layer.h"
#include "widgets/flat_button_widget.h"

namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                    QRect rect, const QString& glyph = QString()) {
  return AddFlatButton(parent, QLatin1String(name), caption, hint, rect, glyph);
}

constexpr int kSwatchSide = 12;

// A small square of the colour, edged in grey so that white shows on the white list.
QIcon Swatch(const QColor& colour) {
  QPixmap swatch(kSwatchSide, kSwatchSide);
  swatch.fill(colour);
  QPainter painter(&swatch);
  painter.setPen(QColor(128, 128, 128));
  painter.drawRect(0, 0, kSwatchSide - 1, kSwatchSide - 1);
  return QIcon(swatch);
}

// The named colours, the caption shadow's start grey among them, then "Other..." (no colour of its
// own: it opens the colour chooser).
QComboBox* ColourBox(QWidget* parent, const char* name, QRect rect) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QLatin1String(name));
  box->setGeometry(rect);
  box->setIconSize(QSize(kSwatchSide, kSwatchSide));
  const char* const kColours[] = {"Black",  "Maroon", "Green", "Olive",  "Navy", "Purple",  "Teal", "Gray",
                                  "Silver", "Red",    "Lime",  "Yellow", "Blue", "Fuchsia", "Aqua", "White"};
  for (const char* colour : kColours) {
    const QColor value(QString::fromLatin1(colour).toLower());
    box->addItem(Swatch(value), QLatin1String(colour), value);
  }
  box->addItem(Swatch(kCaptionShadowGrey), QStringLiteral("Grey 100"), kCaptionShadowGrey);
  box->addItem(QString::fromUtf8(ToolPagesWidget::kOtherColour));
  box->setCurrentIndex(0);
  return box;
}

bool IsOther(const QComboBox* box, int index) { return index >= 0 && index == box->count() - 1; }

// A colour word 0x00BBGGRR and the colour it names.
QColor ColourOfWord(std::int32_t word) {
  return QColor(word & 0xFF, (word >> 8) & 0xFF, (word >> 16) & 0xFF);
}
std::int32_t WordOfColour(const QColor& colour) {
  return colour.red() | colour.green() << 8 | colour.blue() << 16;
}

// Selects the colour in box; one that has no name there gets an entry of its own, "#RRGGBB" with
// its swatch, above "Other...".
void SelectColour(QComboBox* box, std::int32_t word) {
  const QColor colour = ColourOfWord(word);
  int index = box->findData(colour);
  if (index < 0) {
    index = box->count() - 1;
    box->insertItem(index, Swatch(colour), colour.name().toUpper(), colour);
  }
  box->setCurrentIndex(index);
}

std::int32_t SelectedColour(const QComboBox* box) { return WordOfColour(box->currentData().value<QColor>()); }

}  // namespace

ToolPagesWidget::ToolPagesWidget(QWidget* parent, std::function<bool()> photo_loaded, UserDialogs* dialogs)
    : QStackedWidget(parent), photo_loaded_(std::move(photo_loaded)), dialogs_(dialogs) {
  setObjectName(QStringLiteral("PageControl4"));
  BuildLayout();
  Wire();
}

void ToolPagesWidget::BuildLayout() {
  addWidget(BuildAdjustPage());
  addWidget(BuildTextPage());
  setCurrentIndex(0);
}

QWidget* ToolPagesWidget::BuildAdjustPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("AdjustSheet"));
  auto* panel = new QWidget(page);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setGeometry(0, 0, 344, 136);
  // The hints read as the window has always shown them ("Filp", and "Rotate 90 CW" on the button
  // that turns counter-clockwise): kept on purpose, users and their guides know them.
  Button(panel, "FlatButton13", QStringLiteral("<=>"), QStringLiteral("Filp Horizontal"),
         QRect(12, 14, 44, 27), QStringLiteral("mirror"));
  Button(panel, "FlatButton16", QStringLiteral("<="), QStringLiteral("Rotate 90 CW"), QRect(60, 14, 44, 27),
         QStringLiteral("turn_left"));
  Button(panel, "FlatButton14", QStringLiteral("=>"), QStringLiteral("Rotate 90 CWW"), QRect(108, 14, 44, 27),
         QStringLiteral("turn_right"));
  Button(panel, "FlatButton28", QStringLiteral("#"), QStringLiteral("Resize"), QRect(12, 52, 44, 27),
         QStringLiteral("resize"));
  Button(panel, "FlatButton15", QStringLiteral("[ ]"), QStringLiteral("Crop"), QRect(60, 52, 44, 27),
         QStringLiteral("crop"));
  Button(panel, "FlatButton20", QStringLiteral("A"), QStringLiteral("Add Text"), QRect(108, 52, 44, 27),
         QStringLiteral("text"));
  Button(panel, "Batch", QStringLiteral("Add Batch"), QStringLiteral("Add Batch to save"),
         QRect(12, 98, 320, 28), QStringLiteral("batch"));

  auto* knobs = new QWidget(panel);
  knobs->setObjectName(QStringLiteral("Panel9"));
  knobs->setGeometry(190, 10, 105, 81);
  // Tracks first, so the knobs lie over them.
  Button(knobs, "FlatButton23", QString(), QStringLiteral("Brightness"), QRect(0, 11, 97, 5));
  Button(knobs, "FlatButton24", QString(), QStringLiteral("Contrast"), QRect(0, 35, 97, 5));
  Button(knobs, "FlatButton22", QString(), QStringLiteral("Hue"), QRect(0, 59, 97, 5));
  knobs_[1] =
      Button(knobs, "B2", QStringLiteral("B"), QStringLiteral("Brightness"), QRect(kKnobStart, 6, 17, 16));
  knobs_[0] =
      Button(knobs, "B1", QStringLiteral("C"), QStringLiteral("Contrast"), QRect(kKnobStart, 30, 17, 16));
  knobs_[2] = Button(knobs, "B3", QStringLiteral("H"), QStringLiteral("Hue"), QRect(kKnobStart, 53, 17, 16));
  // A glyph left of each track says what its knob does: sun, half disc, drop of colour.
  const std::array<std::pair<const char*, int>, 3> glyphs = {
      {{"brightness", 10 + 11}, {"contrast", 10 + 35}, {"saturation", 10 + 59}}};
  for (const auto& [name, track_y] : glyphs) {
    auto* glyph = new QLabel(panel);
    glyph->setObjectName(QStringLiteral("Glyph_%1").arg(QLatin1String(name)));
    glyph->setPixmap(QIcon(QStringLiteral(":/skin/button_%1.png").arg(QLatin1String(name))).pixmap(10, 10));
    glyph->setGeometry(174, track_y + 2 - 5, 10, 10);
    glyph->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  for (QPushButton* knob : knobs_) knob->installEventFilter(this);
  return page;
}

QWidget* ToolPagesWidget::BuildTextPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("TabSheet8"));
  fonts_ = new QComboBox(page);
  fonts_->setObjectName(QStringLiteral("ComboBox1"));
  fonts_->setGeometry(12, 10, 170, 24);
  fonts_->addItems(QFontDatabase::families());
  if (fonts_->count() > 1) fonts_->setCurrentIndex(1);
  size_ = new QSpinBox(page);
  size_->setObjectName(QStringLiteral("Edit1"));
  size_->setGeometry(188, 10, 50, 24);
  // Beyond these a caption is either invisible or larger than any photo.
  size_->setRange(kCaptionMinPoints, kCaptionMaxPoints);
  size_->setValue(24);
  bold_ = Button(page, "B", QStringLiteral("B"), QString(), QRect(244, 10, 26, 24));
  bold_->setCheckable(true);
  italic_ = Button(page, "I", QStringLiteral("I"), QString(), QRect(274, 10, 26, 24));
  italic_->setCheckable(true);
  memo_ = new QPlainTextEdit(page);
  memo_->setObjectName(QStringLiteral("Memo1"));
  memo_->setGeometry(12, 40, 226, 86);
  // Tab leaves the text for the next control rather than being written into the caption.
  memo_->setTabChangesFocus(true);
  shadow_colour_ = ColourBox(page, "FC", QRect(244, 40, 88, 24));
  face_colour_ = ColourBox(page, "BC", QRect(244, 70, 88, 24));
  ok_ = Button(page, "FlatButton19", QStringLiteral("OK"), QString(), QRect(244, 100, 88, 26));
  return page;
}

void ToolPagesWidget::Wire() {
  connect(fonts_, &QComboBox::currentTextChanged, this, &ToolPagesWidget::CaptionControlsChanged);
  connect(size_, &QSpinBox::valueChanged, this, &ToolPagesWidget::CaptionControlsChanged);
  connect(bold_, &QPushButton::clicked, this, &ToolPagesWidget::CaptionControlsChanged);
  connect(italic_, &QPushButton::clicked, this, &ToolPagesWidget::CaptionControlsChanged);
  connect(memo_, &QPlainTextEdit::textChanged, this, &ToolPagesWidget::CaptionControlsChanged);
  // The colour boxes speak only while their page shows.
  connect(shadow_colour_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (TakeColourChoice(shadow_colour_, shadow_index_, index) && currentIndex() == kTextPage)
      Q_EMIT ShadowColourChanged(SelectedColour(shadow_colour_));
  });
  connect(face_colour_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (TakeColourChoice(face_colour_, face_index_, index) && currentIndex() == kTextPage)
      Q_EMIT FaceColourChanged(SelectedColour(face_colour_));
  });
  connect(ok_, &QPushButton::clicked, this, &ToolPagesWidget::CaptionDone);
}

bool ToolPagesWidget::TakeColourChoice(QComboBox* box, int& last_index, int index) {
  if (!IsOther(box, index)) {
    last_index = index;
    return true;
  }
  // "Other...": the chooser opens at the colour chosen before; what it gives becomes an entry of
  // its own, and a cancel puts the earlier choice back.
  const QColor before = box->itemData(last_index).value<QColor>();
  const std::optional<QColor> chosen =
      dialogs_ && currentIndex() == kTextPage ? dialogs_->ChooseColour(before) : std::nullopt;
  {
    const QSignalBlocker block(box);
    if (chosen && chosen->isValid())
      SelectColour(box, WordOfColour(chosen->toRgb()));
    else
      box->setCurrentIndex(last_index);
  }
  if (box->currentIndex() == last_index) return false;
  last_index = box->currentIndex();
  return true;
}

bool ToolPagesWidget::eventFilter(QObject* watched, QEvent* event) {
  const auto knob = std::find(knobs_.begin(), knobs_.end(), watched);
  if (knob == knobs_.end()) return QStackedWidget::eventFilter(watched, event);
  const auto i = static_cast<std::size_t>(knob - knobs_.begin());
  // Asked only for the mouse: other events reach the knobs while the window is being taken down.
  const auto loaded = [this] { return photo_loaded_ && photo_loaded_(); };
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      drag_start_[i] = static_cast<QMouseEvent*>(event)->position().toPoint().x();
      break;
    case QEvent::MouseMove: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (!(mouse->buttons() & Qt::LeftButton) || !loaded()) break;
      const int x = mouse->position().toPoint().x();
      if (const std::optional<int> to = KnobDragTarget((*knob)->x(), x, drag_start_[i]))
        (*knob)->move(*to, (*knob)->y());
      break;
    }
    case QEvent::MouseButtonRelease:
      if (loaded()) Q_EMIT ToneKnobsReleased(KnobPositions());
      break;
    case QEvent::KeyPress: {
      // The keyboard moves a knob as a drag does, one step a key, ten with Page Up and Page Down
      // (Home and End to the track's ends), and lets go at once.
      const int key = static_cast<QKeyEvent*>(event)->key();
      int to = (*knob)->x();
      if (key == Qt::Key_Left || key == Qt::Key_Down)
        to -= 1;
      else if (key == Qt::Key_Right || key == Qt::Key_Up)
        to += 1;
      else if (key == Qt::Key_PageDown)
        to -= 10;
      else if (key == Qt::Key_PageUp)
        to += 10;
      else if (key == Qt::Key_Home)
        to = kToneKnobMin;
      else if (key == Qt::Key_End)
        to = kToneKnobMax;
      else
        break;
      if (!loaded()) return true;
      (*knob)->move(std::clamp(to, kToneKnobMin, kToneKnobMax), (*knob)->y());
      Q_EMIT ToneKnobsReleased(KnobPositions());
      return true;
    }
    case QEvent::Move:
      // Screen readers say the knob's place on its track.
      (*knob)->setAccessibleDescription(QStringLiteral("position %1 of %2")
                                            .arg((*knob)->x() - kToneKnobMin + 1)
                                            .arg(kToneKnobMax - kToneKnobMin + 1));
      break;
    default:
      break;
  }
  return QStackedWidget::eventFilter(watched, event);
}

void ToolPagesWidget::FocusCaptionText() { memo_->setFocus(Qt::OtherFocusReason); }

void ToolPagesWidget::ResetToneKnobs() {
  for (QPushButton* knob : knobs_) knob->move(kKnobStart, knob->y());
}

ToneKnobPositions ToolPagesWidget::KnobPositions() const {
  return {knobs_[0]->x(), knobs_[1]->x(), knobs_[2]->x()};
}

void ToolPagesWidget::SetKnobPositions(ToneKnobPositions p) {
  const int at[3] = {p.contrast, p.brightness, p.saturation};
  for (std::size_t i = 0; i < knobs_.size(); ++i)
    knobs_[i]->move(std::clamp(at[i], kToneKnobMin, kToneKnobMax), knobs_[i]->y());
}

void ToolPagesWidget::LoadCaptionControls(const CaptionSettings& caption) {
  const QSignalBlocker block_fonts(fonts_), block_size(size_), block_bold(bold_), block_italic(italic_),
      block_memo(memo_), block_shadow(shadow_colour_), block_face(face_colour_);
  // The family actually drawn, which is the name itself when it is installed.
  const QString family = CaptionFamilyInUse(caption.font_name);
  if (fonts_->findText(family) < 0) fonts_->addItem(family);
  fonts_->setCurrentText(family);
  size_->setValue(caption.size);
  bold_->setChecked(IsBold(caption.style));
  italic_->setChecked(IsItalic(caption.style));
  SelectColour(shadow_colour_, caption.shadow_colour);
  SelectColour(face_colour_, caption.face_colour);
  shadow_index_ = shadow_colour_->currentIndex();
  face_index_ = face_colour_->currentIndex();
  memo_->setPlainText(caption.text);
}

CaptionSettings ToolPagesWidget::ReadCaptionControls(CaptionSettings caption) const {
  caption.font_name = fonts_->currentText();
  caption.size = size_->value();
  caption.style = bold_->isChecked() ? (italic_->isChecked() ? CaptionStyle::BoldItalic : CaptionStyle::Bold)
                                     : (italic_->isChecked() ? CaptionStyle::Italic : CaptionStyle::Regular);
  caption.shadow_colour = SelectedColour(shadow_colour_);
  caption.face_colour = SelectedColour(face_colour_);
  caption.text = memo_->toPlainText();
  return caption;
}
