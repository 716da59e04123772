#include "ui/UDialogTemplate_C.h"

#include <QFont>
#include <QFontMetrics>

#include <algorithm>

#include "foundation/ShownText.h"

namespace NS_Wnd {
namespace {

using UControl_S = UDialogTemplate_C::UControl_S;

using T = UDialogTemplate_C;

constexpr UControl_S controls[] = {
    {T::IDC_ADD_FILES, T::PushButton, TR_NOOP("UDialogTemplate_C", "添加文件"),
     QRect(7, 49, 78, 16), true},
    {T::IDC_ADD_DIRECTORY, T::PushButton, TR_NOOP("UDialogTemplate_C", "添加目录"),
     QRect(7, 68, 78, 16), true},
    {T::IDC_CLEAR, T::PushButton, TR_NOOP("UDialogTemplate_C", "清除"), QRect(7, 87, 78, 16), true},
    {T::IDC_COMPOSE, T::PushButton, TR_NOOP("UDialogTemplate_C", "合成图片"), QRect(7, 106, 78, 30),
     true},
    {T::IDC_VERSION, T::PushButton, TR_NOOP("UDialogTemplate_C", "版本信息"), QRect(7, 140, 78, 16),
     true},
    {T::IDC_TERMINATE, T::PushButton, TR_NOOP("UDialogTemplate_C", "终止"), QRect(7, 160, 78, 16),
     true},
    {T::IDC_FILE_LIST, T::ListBox, "", QRect(93, 16, 105, 160), true},
    {T::IDC_HORIZONTAL, T::RadioButton, TR_NOOP("UDialogTemplate_C", "水平"), QRect(15, 18, 32, 10),
     false},
    {T::IDC_VERTICAL, T::RadioButton, TR_NOOP("UDialogTemplate_C", "垂直"), QRect(15, 28, 32, 10),
     false},
    {T::IDC_AUTO_CUT, T::CheckBox, TR_NOOP("UDialogTemplate_C", "自动裁剪"), QRect(15, 7, 48, 10),
     true},
    {T::IDC_MULTI_ROW, T::RadioButton, TR_NOOP("UDialogTemplate_C", "多行"), QRect(15, 38, 32, 10),
     false},
    {T::IDC_STATIC, T::StaticText, TR_NOOP("UDialogTemplate_C", "请把要处理的图片拖到此处:"),
     QRect(93, 7, 100, 8), false},
};

int Scale(int units, int base, int divisor) {
    return units * base / divisor;
}

}  // namespace

std::span<const UControl_S> UDialogTemplate_C::GetControls() {
    return controls;
}

int UDialogTemplate_C::GetColumnEdge(const UControl_S& control) {
    int edge = control.units.right() + 1;
    for (const UControl_S& other : controls) {
        if (other.units.left() <= control.units.left() &&
            control.units.left() <= other.units.right()) {
            edge = std::max(edge, other.units.right() + 1);
        }
    }
    return edge;
}

QSize UDialogTemplate_C::GetBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

QRect UDialogTemplate_C::ToPixels(const QRect& units, QSize base) {
    return {Scale(units.x(), base.width(), 4), Scale(units.y(), base.height(), 8),
            Scale(units.width(), base.width(), 4), Scale(units.height(), base.height(), 8)};
}

QSize UDialogTemplate_C::ToPixels(QSize units, QSize base) {
    return ToPixels(QRect(QPoint(0, 0), units), base).size();
}

}  // namespace NS_Wnd
