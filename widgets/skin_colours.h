// The skin's colours, named once: the flat buttons, the captions over the skin, the toolbar strip and
// the lists and menus that wear them.
#pragma once

#include <QColor>
#include <QString>

inline constexpr QRgb kSkinFace = 0xFFBEE696;          // flat button face, list and menu selection
inline constexpr QRgb kSkinFocusedFace = 0xFFD9F0C1;   // flat button with the focus
inline constexpr QRgb kSkinBorder = 0xFF96D060;        // flat button, list and menu border
inline constexpr QRgb kSkinHighlight = 0xFFD6EFBC;     // flat button's lit edges (top, left)
inline constexpr QRgb kSkinShadow = 0xFF76BB37;        // flat button's shaded edges (bottom, right)
inline constexpr QRgb kSkinCaption = 0xFF009B00;       // captions over the skin, the hover frame
inline constexpr QRgb kSkinStrip = 0xFFF8F5D5;         // the toolbar strip and the menus
inline constexpr QRgb kSkinStripCaption = 0xFF71B335;  // captions on the toolbar strip
inline constexpr QRgb kSkinListText = 0xFF006400;      // list rows
inline constexpr QRgb kSkinSelectedText = 0xFF005000;  // selected list rows and menu items
inline constexpr QRgb kSkinMenuText = 0xFF006E00;
inline constexpr QRgb kSkinHover = 0xFFECF7E1;  // a list row under the pointer
inline constexpr QRgb kSkinDisabledText = 0xFF96AA8C;
inline constexpr QRgb kSkinProblemText = 0xFFC00000;  // a refusal shown in a dialog

// The style sheet of the window and of every dialog it opens: flat buttons, labels, lists, menus,
// the dialogs' face, boxes and bars, and the style editor's effect list (a QFrame with the property
// effectpanel, lit while its property highlighted is true).
QString SkinStyleSheet();
