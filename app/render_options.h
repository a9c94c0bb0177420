// The tone options of `lumisto render` (--tone C,B,S and --knobs C,B,H) and its caption look
// options (--caption-style, --caption-colour, --caption-shadow, --caption-opacity).
#pragma once

#include <QString>
#include <optional>

#include "edit/edit_state.h"
#include "edit/tone_knobs.h"

// Ranges of --tone: contrast and saturation 0..10, brightness -10..10 (the knobs reach 0.02..1.86
// and -0.98..0.86).
inline constexpr float kToneOptionMax = 10.0f;

// True for the two tone options.
bool IsToneOption(const QString& option);

// The contrast, brightness and saturation of `--tone C,B,S` (three decimal numbers with '.' as the
// decimal point, within the ranges above) or of `--knobs C,B,H` (three whole knob positions 1..79,
// read as the knobs of the window read them). nullopt, and *error set to one line naming the
// option, when the value is malformed or out of range.
std::optional<ToneValues> ParseToneOption(const QString& option, const QString& value, QString* error);

// True for the four caption look options.
bool IsCaptionLookOption(const QString& option);

// Sets caption's look from one option, as the "Text" page sets it: --caption-style
// regular|bold|italic|bold-italic; --caption-colour and --caption-shadow RRR,GGG,BBB (the face's
// and the shadow's colour, whole numbers 0..255); --caption-opacity FACE,SHADOW (0..255 each).
// False, caption unchanged and *error set to one line naming the option, when the value is
// malformed or out of range.
bool ApplyCaptionLookOption(const QString& option, const QString& value, CaptionSettings& caption,
                            QString* error);
