// The texture picker `TFrameTextPanel`: a borderless palette of every texture tile, opened by the
// style editor for the frame band (tag 0) or the background (tag 1).
#pragma once

#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>

#include "styles/texture_list.h"

class TexturePickerWidget : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kFrameTag = 0;
  static constexpr int kBackTag = 1;

  // Every tile of textures is painted once, here. parent is the window it stays in front of.
  TexturePickerWidget(const TextureList& textures, QWidget* parent);

  // Hides the selection frame, takes the tag and shows the palette with its top-left corner at
  // the screen point top_left, without making it modal.
  void Open(int tag, QPoint top_left);
  int Tag() const { return tag_; }
  // A tile click: the selection frame moves onto tile index, and TilePicked says so.
  void PickTile(int index);
  // Losing activation, or "X": the palette is hidden.
  void FormDeactivate() { hide(); }

 Q_SIGNALS:
  void TilePicked(int tag, int index);

 protected:
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildLayout(const TextureList& textures);

  int tag_ = kFrameTag;
  QPushButton* close_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  QList<QLabel*> tiles_;
  QLabel* selection_ = nullptr;
};
