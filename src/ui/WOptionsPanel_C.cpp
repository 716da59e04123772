#include "ui/WOptionsPanel_C.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "composition/data/UDataForm_S.h"
#include "files/UCustomization_C.h"

namespace NS_Wnd {
namespace {

using NS_Data::UOption_E;

// The room the command line gives any spacing option.
constexpr int32_t MaxSpacing = 16384;
// A pivot is stored in thousandths of a side; the window offers up to a thousand sides away.
constexpr double PivotScale = 1000.0;
constexpr double MaxPivot = 1000.0;

// A value of a type that does not read as an integer comes only from a damaged file; the
// default stands in, and the exit-time save replaces it.
int32_t ReadSetting(const char* key, int32_t fallback) {
    try {
        return UCustomization_C::GetValue(key);
    } catch (const NS_Base::UError_C&) {
        return fallback;
    }
}

QGroupBox* AddGroup(QVBoxLayout* page, const QString& title, QLayout* layout) {
    auto* group = new QGroupBox(title);
    group->setLayout(layout);
    page->addWidget(group);
    return group;
}

// A page whose groups stand close to its top and bottom, so that the tallest page is no
// taller than the dialog beside it.
QWidget* FinishPage(QVBoxLayout* page) {
    page->addStretch(1);
    auto* widget = new QWidget;
    widget->setLayout(page);
    const QMargins margins = page->contentsMargins();
    page->setContentsMargins(margins.left(), margins.top() / 2, margins.right(),
                             margins.bottom() / 2);
    return widget;
}

QDoubleSpinBox* MakePivotSide(const char* key) {
    auto* side = new QDoubleSpinBox;
    side->setObjectName(key);
    side->setDecimals(3);
    side->setRange(-MaxPivot, MaxPivot);
    side->setSingleStep(0.5);
    return side;
}

}  // namespace

WOptionsPanel_C::WOptionsPanel_C(QWidget* parent) : QTabWidget(parent) {
    addTab(MakeLayoutPage(), tr("Layout"));
    addTab(MakeSpacingPage(), tr("Spacing"));
    addTab(MakeOutputPage(), tr("Output"));
    addTab(MakeDataPage(), tr("Data file"));
    ConnectChanges();
}

QWidget* WOptionsPanel_C::MakeLayoutPage() {
    auto* page = new QVBoxLayout;
    // Beside the dialog's own row, column, grid and common trim.
    QGroupBox* placing = AddGroup(page, tr("Layout and trimming"), new QVBoxLayout);
    packed = new QRadioButton(tr("Packed: pictures of any size, placed tightly"));
    packed->setObjectName("PackedLayout");
    placing->layout()->addWidget(packed);
    trimEach = AddCheck(placing, "TrimEach", tr("Trim each picture to its own area"));
    QGroupBox* packing = AddGroup(page, tr("Packing"), new QVBoxLayout);
    rotate = AddCheck(packing, "Rotate", tr("Turn pictures where the sheet gets smaller"));
    square = AddCheck(packing, "Square", tr("Square sheet"));
    multipack = AddCheck(packing, "Multipack", tr("Further sheets when one is full"));
    alias = AddCheck(packing, "SharePlaces", tr("Identical pictures share one place"));
    return FinishPage(page);
}

QWidget* WOptionsPanel_C::MakeSpacingPage() {
    auto* page = new QVBoxLayout;
    auto* spacing = new QFormLayout;
    AddGroup(page, tr("Spacing"), spacing);
    padding = AddCount(spacing, "Padding", tr("Between pictures:"), MaxSpacing);
    border = AddCount(spacing, "Border", tr("Around the sheet:"), MaxSpacing);
    extrude = AddCount(spacing, "Extrude", tr("Edge pixels repeated:"), MaxSpacing);
    auto* size = new QFormLayout;
    QGroupBox* sizeGroup = AddGroup(page, tr("Sheet size"), size);
    powerOfTwo = AddCheck(sizeGroup, "PowerOfTwo", tr("Sides in powers of two"));
    maxSize = AddCount(size, "MaxSize", tr("Longest side:"), std::numeric_limits<int32_t>::max());
    maxSize->setSpecialValueText(tr("No limit"));
    return FinishPage(page);
}

QWidget* WOptionsPanel_C::MakeOutputPage() {
    using Level = USheetEncoder_C::Level;
    auto* page = new QVBoxLayout;
    QGroupBox* pictures = AddGroup(page, tr("Pictures"), new QVBoxLayout);
    naturalOrder = AddCheck(pictures, "NaturalOrder", tr("Numbers in names by value: 2 before 10"));
    allGifFrames = AddCheck(pictures, "AllGifFrames", tr("Every frame of an animated GIF"));
    auto* file = new QFormLayout;
    QGroupBox* fileGroup = AddGroup(page, tr("Sheet file"), file);
    compression = new QComboBox;
    compression->setObjectName("Compression");
    compression->addItem(tr("Fast"), static_cast<int>(Level::Fast));
    compression->addItem(tr("Default"), static_cast<int>(Level::Default));
    compression->addItem(tr("Best"), static_cast<int>(Level::Best));
    file->addRow(tr("Compression:"), compression);
    indexed = AddCheck(fileGroup, "Indexed", tr("Palette PNG where 256 colours suffice"));
    QGroupBox* edges = AddGroup(page, tr("Edges and blending"), new QVBoxLayout);
    alphaBleed = AddCheck(edges, "AlphaBleed", tr("Colour clear edge pixels as their neighbours"));
    alphaBleed->setToolTip(tr("Engines that filter the sheet then draw no dark or light fringe"));
    premultiply = AddCheck(edges, "Premultiply", tr("Premultiplied alpha"));
    return FinishPage(page);
}

QWidget* WOptionsPanel_C::MakeDataPage() {
    auto* page = new QVBoxLayout;
    auto* rows = new QFormLayout;
    QGroupBox* group = AddGroup(page, tr("Frame data"), rows);
    dataFile = AddCheck(group, "DataFile", tr("Write where each frame lies, beside the sheet"));
    dataForm = new QComboBox;
    dataForm->setObjectName("DataForm");
    for (const UDataForm_S& form : GetDataForms()) {
        dataForm->addItem(QString::fromUtf8(form.name), static_cast<int>(form.form));
        dataForm->setItemData(dataForm->count() - 1,
                              QCoreApplication::translate("UDataForm_S", form.description),
                              Qt::ToolTipRole);
    }
    rows->addRow(tr("Form:"), dataForm);
    fps = AddCount(rows, "Fps", tr("Frames per second:"), 1000);
    fps->setMinimum(1);
    pivot = new QCheckBox(tr("Pivot:"));
    pivot->setObjectName("Pivot");
    pivotX = MakePivotSide("PivotX");
    pivotY = MakePivotSide("PivotY");
    auto* sides = new QHBoxLayout;
    sides->addWidget(pivotX);
    sides->addWidget(pivotY);
    rows->addRow(pivot, sides);
    return FinishPage(page);
}

QCheckBox* WOptionsPanel_C::AddCheck(QGroupBox* group, const char* key, const QString& text) {
    auto* check = new QCheckBox(text);
    check->setObjectName(key);
    if (auto* form = qobject_cast<QFormLayout*>(group->layout())) {
        form->addRow(check);
    } else {
        group->layout()->addWidget(check);
    }
    return check;
}

QSpinBox* WOptionsPanel_C::AddCount(QFormLayout* form, const char* key, const QString& label,
                                    int32_t high) {
    auto* count = new QSpinBox;
    count->setObjectName(key);
    count->setRange(0, high);
    form->addRow(label, count);
    return count;
}

std::vector<WOptionsPanel_C::USetting_S> WOptionsPanel_C::GetSettings() const {
    const NS_Data::UComposeOptions_S defaults;
    const auto flag = [](bool value) { return value ? 1 : 0; };
    const auto fraction = [](double value) { return static_cast<int32_t>(value * PivotScale); };
    return {
        {"Rotate", rotate, flag(defaults.packing.rotate)},
        {"Square", square, flag(defaults.packing.square)},
        {"Multipack", multipack, flag(defaults.packing.multipack)},
        {"SharePlaces", alias, flag(defaults.packing.alias)},
        {"Padding", padding, defaults.sheet.padding},
        {"Border", border, defaults.sheet.border},
        {"Extrude", extrude, defaults.sheet.extrude},
        {"PowerOfTwo", powerOfTwo, flag(defaults.sheet.powerOfTwo)},
        {"MaxSize", maxSize, static_cast<int32_t>(defaults.sheet.maxSize)},
        {"NaturalOrder", naturalOrder, 0},
        {"AllGifFrames", allGifFrames, flag(defaults.allGifFrames)},
        {"Compression", compression, static_cast<int32_t>(defaults.encoding.compression)},
        {"Indexed", indexed, flag(defaults.encoding.indexed)},
        {"AlphaBleed", alphaBleed, flag(defaults.pixels.alphaBleed)},
        {"Premultiply", premultiply, flag(defaults.pixels.premultiply)},
        {"DataFile", dataFile, flag(!defaults.data.path.empty())},
        {"DataForm", dataForm, static_cast<int32_t>(defaults.data.form)},
        {"Fps", fps, defaults.data.fps},
        {"Pivot", pivot, flag(defaults.data.hasPivot)},
        {"PivotX", pivotX, fraction(defaults.data.pivotX)},
        {"PivotY", pivotY, fraction(defaults.data.pivotY)},
    };
}

void WOptionsPanel_C::ReadSettings() {
    for (const USetting_S& setting : GetSettings()) {
        UCustomization_C::SetDefaultValue(setting.key, setting.defaultValue);
        SetValueOf(setting.control, ReadSetting(setting.key, setting.defaultValue));
    }
}

void WOptionsPanel_C::WriteSettings() const {
    for (const USetting_S& setting : GetSettings()) {
        UCustomization_C::SetValue(setting.key, ValueOf(setting.control));
    }
}

int32_t WOptionsPanel_C::ValueOf(const QWidget* control) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->isChecked() ? 1 : 0;
    }
    if (const auto* choice = qobject_cast<const QComboBox*>(control)) {
        return choice->currentData().toInt();
    }
    if (const auto* count = qobject_cast<const QSpinBox*>(control)) {
        return count->value();
    }
    const double value = qobject_cast<const QDoubleSpinBox*>(control)->value();
    return static_cast<int32_t>(std::lround(value * PivotScale));
}

// A value outside a control's range takes its nearest; a choice that no item holds, which only
// a damaged or newer file gives, leaves the control as it is.
void WOptionsPanel_C::SetValueOf(QWidget* control, int32_t value) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setChecked(value != 0);
    } else if (auto* choice = qobject_cast<QComboBox*>(control)) {
        if (const int index = choice->findData(value); index >= 0) {
            choice->setCurrentIndex(index);
        }
    } else if (auto* count = qobject_cast<QSpinBox*>(control)) {
        count->setValue(value);
    } else {
        qobject_cast<QDoubleSpinBox*>(control)->setValue(value / PivotScale);
    }
}

void WOptionsPanel_C::ConnectChanges() {
    const auto changed = [this] {
        if (onChange) {
            onChange();
        }
    };
    for (const USetting_S& setting : GetSettings()) {
        if (auto* button = qobject_cast<QAbstractButton*>(setting.control)) {
            connect(button, &QAbstractButton::toggled, this, changed);
        } else if (auto* choice = qobject_cast<QComboBox*>(setting.control)) {
            connect(choice, &QComboBox::currentIndexChanged, this, changed);
        } else if (auto* count = qobject_cast<QSpinBox*>(setting.control)) {
            connect(count, &QSpinBox::valueChanged, this, changed);
        } else {
            connect(qobject_cast<QDoubleSpinBox*>(setting.control), &QDoubleSpinBox::valueChanged,
                    this, changed);
        }
    }
}

bool WOptionsPanel_C::IsNaturalOrder() const {
    return naturalOrder->isChecked();
}

bool WOptionsPanel_C::WritesDataFile() const {
    return dataFile->isChecked();
}

void WOptionsPanel_C::Apply(NS_Data::UComposeOptions_S& options) const {
    options.packing = {rotate->isChecked(), square->isChecked(), multipack->isChecked(),
                       alias->isChecked()};
    options.sheet.padding = padding->value();
    options.sheet.border = border->value();
    options.sheet.extrude = extrude->value();
    options.sheet.powerOfTwo = powerOfTwo->isChecked();
    options.sheet.maxSize = maxSize->value();
    options.allGifFrames = allGifFrames->isChecked();
    options.encoding.compression =
        static_cast<USheetEncoder_C::Level>(compression->currentData().toInt());
    options.encoding.indexed = indexed->isChecked();
    options.pixels = {alphaBleed->isChecked(), premultiply->isChecked()};
    options.data = {};
    if (dataFile->isChecked()) {
        options.data.form =
            static_cast<NS_Data::UDataOptions_S::Form_E>(dataForm->currentData().toInt());
        options.data.fps = fps->value();
        options.data.hasPivot = pivot->isChecked();
        options.data.pivotX = pivotX->value();
        options.data.pivotY = pivotY->value();
    }
}

void WOptionsPanel_C::Show(const NS_Data::UComposeOptions_S& options, bool naturalOrderWanted,
                           bool writesData) {
    const std::function<void()> listener = std::exchange(onChange, nullptr);
    const std::pair<QAbstractButton*, bool> checks[] = {
        {rotate, options.packing.rotate},
        {square, options.packing.square},
        {multipack, options.packing.multipack},
        {alias, options.packing.alias},
        {powerOfTwo, options.sheet.powerOfTwo},
        {naturalOrder, naturalOrderWanted},
        {allGifFrames, options.allGifFrames},
        {indexed, options.encoding.indexed},
        {alphaBleed, options.pixels.alphaBleed},
        {premultiply, options.pixels.premultiply},
        {dataFile, writesData},
        {pivot, options.data.hasPivot},
    };
    for (const auto& [check, on] : checks) {
        check->setChecked(on);
    }
    padding->setValue(options.sheet.padding);
    border->setValue(options.sheet.border);
    extrude->setValue(options.sheet.extrude);
    maxSize->setValue(static_cast<int32_t>(
        std::min<int64_t>(options.sheet.maxSize, std::numeric_limits<int32_t>::max())));
    SetValueOf(compression, static_cast<int32_t>(options.encoding.compression));
    SetValueOf(dataForm, static_cast<int32_t>(options.data.form));
    fps->setValue(options.data.fps);
    pivotX->setValue(options.data.pivotX);
    pivotY->setValue(options.data.pivotY);
    onChange = listener;
    if (onChange) {
        onChange();
    }
}

void WOptionsPanel_C::ShowConflicts(const NS_Data::UComposeOptions_S& wanted) {
    for (QWidget* control : {static_cast<QWidget*>(rotate), static_cast<QWidget*>(square),
                             static_cast<QWidget*>(multipack), static_cast<QWidget*>(alias),
                             static_cast<QWidget*>(premultiply)}) {
        control->setEnabled(true);
        control->setToolTip({});
    }
    const bool writes = dataFile->isChecked();
    for (QWidget* control : {static_cast<QWidget*>(dataForm), static_cast<QWidget*>(fps),
                             static_cast<QWidget*>(pivot)}) {
        control->setEnabled(writes);
        control->setToolTip(writes ? QString() : tr("Only a data file uses this."));
    }
    for (QWidget* side : {pivotX, pivotY}) {
        side->setEnabled(writes && pivot->isChecked());
        side->setToolTip(side->isEnabled() ? QString() : tr("Only a data file's pivot uses this."));
    }
    // Every packing option set, so that a control is disabled before a click would conflict.
    NS_Data::UComposeOptions_S probe = wanted;
    probe.packing = {.rotate = true, .square = true, .multipack = true, .alias = false};
    for (const NS_Data::UOptionConflict_S& conflict : NS_Data::FindConflicts(probe)) {
        Disable(ControlOf(conflict.option), ExplainConflict(conflict));
    }
}

void WOptionsPanel_C::Disable(QWidget* control, const QString& why) {
    control->setEnabled(false);
    control->setToolTip(why);
}

QString WOptionsPanel_C::ExplainConflict(const NS_Data::UOptionConflict_S& conflict) const {
    if (conflict.cause == UOption_E::DataForm) {
        return tr("The data form %1 %2.")
            .arg(dataForm->currentText(), QString::fromUtf8(conflict.reason.c_str()));
    }
    return tr("Only the packed layout can use this.");
}

QWidget* WOptionsPanel_C::ControlOf(UOption_E option) const {
    switch (option) {
        case UOption_E::Rotate:
            return rotate;
        case UOption_E::Square:
            return square;
        case UOption_E::Multipack:
            return multipack;
        case UOption_E::Premultiply:
            return premultiply;
        default:
            return alias;
    }
}

}  // namespace NS_Wnd
