// The shipped template library as text: one readable file of named frame styles per category.
#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include "styles/frame_style.h"

// One template of the definitions file: its category folder, its name (the base name of its files)
// and its style.
struct TemplateDefinition {
  QString category;
  QString name;
  FrameStyle style;
  int line = 0;  // line of the section header, for messages

  bool operator==(const TemplateDefinition&) const = default;
};

// The back colour of a definition that names none: light grey, 226,228,224.
inline constexpr std::int32_t kDefaultBackColour = 226 | 228 << 8 | 224 << 16;

// Parses the definitions text (format described at the top of tools/templates.txt): sections
// "[Category/Name]" followed by "Key=value" lines with the keys of the Frames section. Opacities
// may be written as percentages ("60%"), colours as "R,G,B". Keys not given are 0, except the
// seven opacities, which are 255, BackColor (kDefaultBackColour) and Scale, which is 1.
// Throws LumistoError "<file_name>:<line>: <what is wrong>".
QList<TemplateDefinition> ParseTemplateDefinitions(const QString& text, const QString& file_name);

// JPEG quality of the shipped preview pictures.
inline constexpr int kTemplatePreviewQuality = 95;

// The 70 x 70 preview picture of a style, made as the style editor's Save makes it: one blank
// picture is both the photo and the target, so it shows the back colour under the effects alone.
QImage RenderTemplatePreview(const FrameStyle& style);
