#pragma once

#include <QCoreApplication>
#include <QTabWidget>

#include <cstdint>
#include <functional>
#include <vector>

#include "composition/UComposeOptions_S.h"
#include "composition/UOptionConflict_S.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QGroupBox;
class QRadioButton;
class QSpinBox;

namespace NS_Wnd {

// The sheet options beside the dialog's own controls, on pages grouped as packing tools group
// them: layout and packing, spacing and size, pictures and output, and the data file. Each
// control is kept in the settings store under its object name, with the command line's default.
class WOptionsPanel_C : public QTabWidget {
    Q_DECLARE_TR_FUNCTIONS(WOptionsPanel_C)

public:
    // One stored control: its key in the settings store and its default there.
    struct USetting_S {
        const char* key;
        QWidget* control;
        int32_t defaultValue;
    };

    explicit WOptionsPanel_C(QWidget* parent);

    // Registers every default and sets the controls from the store.
    void ReadSettings();
    // Stores every control's value.
    void WriteSettings() const;
    // Every stored control, in page order.
    std::vector<USetting_S> GetSettings() const;

    // The packed layout's button, which joins the dialog's layout buttons, and the per-picture
    // trim, which excludes the dialog's common trim.
    QRadioButton* GetPackedButton() const { return packed; }
    QCheckBox* GetTrimEachBox() const { return trimEach; }
    bool IsNaturalOrder() const;
    bool WritesDataFile() const;

    // Fills `options` with what the controls ask for, conflicts included; the layout and the
    // trim are the dialog's. Without a data file its form is the default, which refuses nothing.
    void Apply(NS_Data::UComposeOptions_S& options) const;
    // Sets the controls to what `options` ask for, as Apply reads them, and tells the listener
    // once.
    void Show(const NS_Data::UComposeOptions_S& options, bool naturalOrder, bool writesData);
    // Enables the controls the options in `wanted` can use; each other one says why not.
    void ShowConflicts(const NS_Data::UComposeOptions_S& wanted);
    // Called after any control of the panel changes.
    void SetOnChange(std::function<void()> listener) { onChange = std::move(listener); }

    // A control's stored value: a check as 0 or 1, a choice as its item's data, a number as
    // itself, a fraction in thousandths.
    static int32_t ValueOf(const QWidget* control);
    static void SetValueOf(QWidget* control, int32_t value);

private:
    QWidget* MakeLayoutPage();
    QWidget* MakeSpacingPage();
    QWidget* MakeOutputPage();
    QWidget* MakeDataPage();
    QCheckBox* AddCheck(QGroupBox* group, const char* key, const QString& text);
    QSpinBox* AddCount(QFormLayout* form, const char* key, const QString& label, int32_t high);
    void ConnectChanges();
    void Disable(QWidget* control, const QString& why);
    QString ExplainConflict(const NS_Data::UOptionConflict_S& conflict) const;
    QWidget* ControlOf(NS_Data::UOption_E option) const;

    QRadioButton* packed = nullptr;
    QCheckBox* trimEach = nullptr;
    QCheckBox* rotate = nullptr;
    QCheckBox* square = nullptr;
    QCheckBox* multipack = nullptr;
    QCheckBox* alias = nullptr;
    QSpinBox* padding = nullptr;
    QSpinBox* border = nullptr;
    QSpinBox* extrude = nullptr;
    QCheckBox* powerOfTwo = nullptr;
    QSpinBox* maxSize = nullptr;
    QCheckBox* naturalOrder = nullptr;
    QCheckBox* allGifFrames = nullptr;
    QComboBox* compression = nullptr;
    QCheckBox* indexed = nullptr;
    QCheckBox* alphaBleed = nullptr;
    QCheckBox* premultiply = nullptr;
    QCheckBox* dataFile = nullptr;
    QComboBox* dataForm = nullptr;
    QSpinBox* fps = nullptr;
    QCheckBox* pivot = nullptr;
    QDoubleSpinBox* pivotX = nullptr;
    QDoubleSpinBox* pivotY = nullptr;
    std::function<void()> onChange;
};

}  // namespace NS_Wnd
