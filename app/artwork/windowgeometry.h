#pragma once

// Where the controls of the main window and the help window lie. The window pictures
// (drawn in this folder) show their buttons, boxes and panels at exactly these places,
// and the windows put their hot areas and labels here, so both read them from this one
// file.

#include <QRect>
#include <QSize>

namespace geometry {

// The main window's two layouts (outer sizes) and their pictures.
inline constexpr QSize kEmptyLayout{739, 437};
inline constexpr QSize kListLayout{678, 600};
inline constexpr QSize kEmptyPicture{739, 437};  // Image2
inline constexpr QSize kListPicture{678, 610};   // Image1; its lowest 10 rows are cut off

// Hot areas of the empty layout.
inline constexpr QRect JvTransparentButton8{64, 64, 185, 41};    // "ВЫБРАТЬ ФАЙЛЫ"
inline constexpr QRect JvTransparentButton10{64, 168, 185, 49};  // "СТАРЫЕ ЗАГРУЗКИ"
inline constexpr QRect JvTransparentButton9{64, 264, 185, 41};   // "ПОДСКАЗКИ"
inline constexpr QRect JvTransparentButton11{64, 370, 193, 39};  // "ВЫХОД"
// Hot areas of both layouts; the first three are drawn in the empty layout only.
inline constexpr QRect JvTransparentButton7{650, 6, 33, 33};    // "?"
inline constexpr QRect JvTransparentButton6{690, 6, 33, 33};    // "X"
inline constexpr QRect JvTransparentButton12{466, 80, 39, 41};  // "i"
inline constexpr QRect JvTransparentButton13{18, 8, 39, 33};    // not drawn
inline constexpr QRect btnInfo{18, 220, 31, 33};                // "i" (list layout)
inline constexpr QRect btnHelp{595, 220, 33, 33};               // "?" (list layout)
inline constexpr QRect btnClose{629, 220, 33, 33};              // "X" (list layout)
// Hot areas of the list layout.
inline constexpr QRect JvTransparentButton1{18, 568, 129, 33};   // "ВЫБРАТЬ ФАЙЛЫ"
inline constexpr QRect JvTransparentButton2{146, 568, 129, 31};  // "ВЫДЕЛИТЬ ВСЕ"
inline constexpr QRect JvTransparentButton4{282, 568, 129, 31};  // "ОБНОВИТЬ ФОРМАТЫ"
inline constexpr QRect JvTransparentButton5{410, 568, 129, 31};  // "СТАРЫЕ ЗАГРУЗКИ"
inline constexpr QRect JvTransparentButton3{538, 568, 129, 31};  // "ОТПРАВИТЬ"

// Other controls of the main window.
inline constexpr QRect banner{16, 7, 647, 210};
inline constexpr QRect DBGrid1{18, 283, 458, 214};
inline constexpr QRect Label1{507, 470, 121, 27};  // lower half of the "ЗАГРУЖЕНО ФАЙЛОВ" box
inline constexpr QRect Label2{501, 264, 161, 177};
// The box drawn round Label1, as wide as the usage hint's card above it; Label1's text
// is centred on the box, not on the label.
inline constexpr QRect kCountBox{Label2.left() - 4, 446, Label2.width() + 8, 54};
inline constexpr QRect Label3{280, 144, 417, 265};
// On the welcome screen: the corner of the information panel that holds the list
// layout's "?" and "X" under a title of its own (the text flows round it), and the tab
// of the buttons' card that holds its "i".
inline constexpr QRect kPanelCorner{585, 134, 122, 128};
inline constexpr QRect kInfoTab{10, 208, 54, 52};

// The strip of the main window that drags it: less than 30 pixels below the top,
// strictly between 100 and 600 pixels from the left.
inline constexpr int kDragStripHeight = 30;
inline constexpr int kDragStripLeft = 100;
inline constexpr int kDragStripRight = 600;

// Whether a click at this point of the main window (window coordinates) lies on the
// drag strip.
constexpr bool inDragStrip(int x, int y) {
    return y < kDragStripHeight && x > kDragStripLeft && x < kDragStripRight;
}

// The help window.
inline constexpr QSize kHelpWindow{420, 416};
inline constexpr QRect helpCloseButton{365, 14, 33, 33};  // JvTransparentButton2
inline constexpr QRect JvLinkLabel2{24, 64, 388, 96};
inline constexpr QRect JvLinkLabel1{24, 166, 374, 256};

}  // namespace geometry
