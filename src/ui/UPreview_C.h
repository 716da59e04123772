#pragma once

#include <QCoreApplication>
#include <QWidget>

#include <cstdint>
#include <memory>

#include "ui/ULatestTask_C.h"
#include "ui/UPreviewInput_S.h"
#include "ui/UPreviewView_C.h"

class QComboBox;
class QLabel;
class QToolButton;

namespace NS_Wnd {

// The sheet before it is written: each change of the pictures or the options plans the sheet
// again on a worker thread (a change meanwhile supersedes it), then shows one sheet of the plan,
// with the figures of the whole plan under it, or why the pictures do not fit.
class UPreview_C : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(UPreview_C)

public:
    explicit UPreview_C(QWidget* parent = nullptr);

    // Plans `input` and shows it; null shows an empty preview with `reason`.
    void Show(const std::shared_ptr<const UPreviewInput_S>& input, const QString& reason = {});

    UPreviewView_C* GetView() const { return view; }
    QString GetSummary() const;
    bool IsPlanning() const { return planning; }
    // A plan is shown, rather than a reason why none is.
    bool IsShowing() const { return model != nullptr; }

private:
    void Accept(uint64_t generation, std::shared_ptr<const UPreviewView_C::UModel_S> model,
                const QString& failure);
    void ShowSheet(int32_t sheet);

    UPreviewView_C* view;
    QToolButton* fit;
    QToolButton* actualSize;
    QComboBox* sheets;
    QLabel* summary;
    std::shared_ptr<const UPreviewView_C::UModel_S> model;
    bool planning = false;
    ULatestTask_C planner;
};

}  // namespace NS_Wnd
