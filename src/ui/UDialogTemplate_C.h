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

    struct UControl_S {
        int32_t id;  // -1 for a control the logic never addresses
        UControlKind_E kind;
        const char* text;
        QRect units;
        bool tabStop;
    };

    static std::span<const UControl_S> GetControls();
    static QSize GetSize() { return {205, 183}; }

    // Pixels per 4 horizontal and 8 vertical dialog units for `font`: its average character
    // width (over the Latin letters, rounded) and its line height.
    static QSize GetBaseUnits(const QFont& font);
    static QRect ToPixels(const QRect& units, QSize baseUnits);
    static QSize ToPixels(QSize units, QSize baseUnits);
};

}  // namespace NS_Wnd
