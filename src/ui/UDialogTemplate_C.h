#pragma once

#include <QRect>
#include <QSize>

#include <cstdint>
#include <span>

class QFont;

namespace NS_Wnd {

// The main dialog's template: its size and its controls in creation and tab order, measured in
// dialog units, which scale with the dialog font (a unit is a quarter of the font's average
// character width across and an eighth of its height down).
class UDialogTemplate_C {
public:
    enum UControlKind_E : int32_t { PushButton, ListBox, RadioButton, CheckBox, StaticText };

    // The controls' ids, by which the window operations address them.
    enum UControlId_E : int32_t {
        IDC_STATIC = -1,  // a control the logic never addresses
        IDC_FILE_LIST = 1001,
        IDC_VERSION = 1002,
        IDC_HORIZONTAL = 1004,
        IDC_VERTICAL = 1005,
        IDC_MULTI_ROW = 1006,
        IDC_COMPOSE = 1007,
        IDC_AUTO_CUT = 1008,
        IDC_ADD_FILES = 1009,
        IDC_ADD_DIRECTORY = 1010,
        IDC_CLEAR = 1011,
        IDC_TERMINATE = 1012,
    };

    struct UControl_S {
        UControlId_E id;
        UControlKind_E kind;
        const char* text;
        QRect units;
        bool tabStop;
    };

    static std::span<const UControl_S> GetControls();
    // The right edge, in units, of the column that `control` stands in: the farthest right edge
    // of the controls across its left edge. A caption longer than its cell may grow up to it.
    static int GetColumnEdge(const UControl_S& control);
    static QSize GetSize() { return {205, 183}; }

    // Pixels per 4 horizontal and 8 vertical dialog units for `font`: its average character
    // width (over the Latin letters, rounded) and its line height.
    static QSize GetBaseUnits(const QFont& font);
    static QRect ToPixels(const QRect& units, QSize baseUnits);
    static QSize ToPixels(QSize units, QSize baseUnits);
};

}  // namespace NS_Wnd
