#include "ui/UPreview_C.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QToolButton>
#include <QVBoxLayout>

#include "composition/UComposeJob_C.h"
#include "composition/USheetSummary_S.h"
#include "foundation/UError_C.h"

namespace NS_Wnd {

UPreview_C::UPreview_C(QWidget* parent)
    : QWidget(parent),
      view(new UPreviewView_C(this)),
      fit(new QToolButton(this)),
      actualSize(new QToolButton(this)),
      sheets(new QComboBox(this)),
      summary(new QLabel(this)) {
    fit->setText(tr("Fit"));
    fit->setToolTip(tr("Show the whole sheet"));
    actualSize->setText(tr("1:1"));
    actualSize->setToolTip(tr("One pixel of the sheet per pixel of the screen"));
    summary->setWordWrap(true);
    summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* tools = new QHBoxLayout;
    tools->addWidget(fit);
    tools->addWidget(actualSize);
    tools->addStretch();
    tools->addWidget(sheets);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(tools);
    column->addWidget(view, 1);
    column->addWidget(summary);
    connect(fit, &QToolButton::clicked, view, &UPreviewView_C::FitToView);
    connect(actualSize, &QToolButton::clicked, view, &UPreviewView_C::ShowActualSize);
    connect(sheets, &QComboBox::currentIndexChanged, this, &UPreview_C::ShowSheet);
    Show(nullptr);
}

void UPreview_C::Show(const std::shared_ptr<const UPreviewInput_S>& input, const QString& reason) {
    if (!input || input->pictures.empty()) {
        Accept(planner.Supersede(), nullptr,
               reason.isEmpty() ? tr("No pictures to show.") : reason);
        return;
    }
    planning = true;
    summary->setText(tr("Placing %n picture(s)…", "", int(input->pictures.size())));
    planner.Start([this, input](uint64_t generation) {
        if (!planner.IsLatest(generation)) {
            return;
        }
        std::shared_ptr<const UPreviewView_C::UModel_S> made;
        QString failure;
        try {
            const NS_Data::UComposeJob_C job(input->options);
            made = std::make_shared<const UPreviewView_C::UModel_S>(
                UPreviewView_C::UModel_S{input, job.MakePlan(input->pictures, input->names)});
        } catch (const NS_Base::UError_C& error) {
            failure = QString::fromStdString(error.ComposeText());
        } catch (const std::bad_alloc&) {
            failure = tr("Not enough memory to place the pictures.");
        }
        QMetaObject::invokeMethod(
            this, [this, generation, made, failure] { Accept(generation, made, failure); },
            Qt::QueuedConnection);
    });
}

void UPreview_C::Accept(uint64_t generation, std::shared_ptr<const UPreviewView_C::UModel_S> made,
                        const QString& failure) {
    if (!planner.IsLatest(generation)) {
        return;
    }
    planning = false;
    model = std::move(made);
    const QSignalBlocker quiet(sheets);
    sheets->clear();
    if (!model) {
        summary->setText(failure);
        view->Show(nullptr, 0);
        sheets->setVisible(false);
        return;
    }
    const NS_Data::USheetSummary_S figures = NS_Data::USheetSummary_S::Of(model->plan);
    QStringList sizes;
    for (std::size_t i = 0; i < figures.sheets.size(); ++i) {
        const QString size =
            tr("%1 x %2").arg(figures.sheets[i].GetWidth()).arg(figures.sheets[i].GetHeight());
        sizes << size;
        sheets->addItem(tr("Sheet %1 of %2: %3").arg(i + 1).arg(figures.sheets.size()).arg(size));
    }
    sheets->setVisible(figures.sheets.size() > 1);
    const QLocale locale;
    summary->setText(tr("%1 · %2 covered · %n picture(s), %3 sharing a place", "", figures.pictures)
                         .arg(sizes.join(QStringLiteral(", ")))
                         .arg(locale.toString(figures.covered * 100, 'f', 1) + locale.percent())
                         .arg(figures.shared));
    view->Show(model, 0);
}

void UPreview_C::ShowSheet(int32_t sheet) {
    if (model && sheet >= 0) {
        view->Show(model, sheet);
    }
}

QString UPreview_C::GetSummary() const {
    return summary->text();
}

}  // namespace NS_Wnd
