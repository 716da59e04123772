// The window side of WMosaro_C: its controls built from the template, their connections
// and the delivery of window events.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <cstdio>

#include "ui/UDialogTemplate_C.h"
#include "ui/UFileListBox_C.h"
#include "ui/UPreview_C.h"
#include "ui/UShell_C.h"
#include "ui/WMosaro_C.h"
#include "ui/WOptionsPanel_C.h"

namespace NS_Wnd {
namespace {

// The template's font is 8 points; its family is the platform's.
QFont MakeDialogFont() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}

// The application icon: a sheet of four cells.
QIcon MakeIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QColor cells[] = {QColor(0xE0, 0x4F, 0x3A), QColor(0x3A, 0x8F, 0xE0),
                            QColor(0x4C, 0xB8, 0x5A), QColor(0xF2, 0xB1, 0x34)};
    for (int i = 0; i < 4; ++i) {
        painter.fillRect(2 + (i % 2) * 15, 2 + (i / 2) * 15, 13, 13, cells[i]);
    }
    return QIcon(pixmap);
}

bool HoldsLocalFile(const QMimeData* data) {
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

// Takes a drag of local paths as a copy: the files only get listed, so the application they come
// from must never take the drop for a move and delete them.
bool AcceptAsCopy(QDropEvent* event) {
    if (!HoldsLocalFile(event->mimeData()) || !(event->possibleActions() & Qt::CopyAction)) {
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    return true;
}

// The control's place. The template's cells fit its source captions; a translation that needs
// more room widens its control up to the edge of its column, where nothing else stands, rather
// than lose its last letters ("Column" needs half again the width of "垂直").
QRect FitCaption(const QWidget& widget, const UDialogTemplate_C::UControl_S& control, QSize base) {
    QRect place = UDialogTemplate_C::ToPixels(control.units, base);
    if (*control.text == '\0') {
        return place;
    }
    const int edge =
        UDialogTemplate_C::ToPixels(QSize(UDialogTemplate_C::GetColumnEdge(control), 0), base)
            .width();
    place.setWidth(std::clamp(widget.sizeHint().width(), place.width(), edge - place.left()));
    return place;
}

}  // namespace

// The template's controls keep their fixed places in an area of the template's size; the options
// panel and the room for a preview follow on its right, and only they grow with the window.
void WMosaro_C::CreateControls() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setFont(MakeDialogFont());
    setAcceptDrops(true);
    setWindowIcon(MakeIcon());
    ui.layouts = new QButtonGroup(this);
    ui.templateArea = new QWidget(this);
    CreateTemplateControls();
    ui.options = new WOptionsPanel_C(this);
    ui.layouts->addButton(ui.options->GetPackedButton());
    // The panel keeps the template's margin of 7 units from the window's edges.
    const QSize margin =
        UDialogTemplate_C::ToPixels(QSize(7, 7), UDialogTemplate_C::GetBaseUnits(font()));
    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, margin.width(), margin.height());
    columns->setSpacing(0);
    columns->addWidget(ui.templateArea, 0, Qt::AlignTop);
    auto* panel = new QVBoxLayout;
    panel->addSpacing(margin.height());
    panel->addWidget(ui.options);
    auto* projects = new QHBoxLayout;
    ui.openProject = new QPushButton(tr("Open project…"), this);
    ui.saveProject = new QPushButton(tr("Save project…"), this);
    ui.openProject->setObjectName("OpenProject");
    ui.saveProject->setObjectName("SaveProject");
    for (QPushButton* button : {ui.openProject, ui.saveProject}) {
        button->hide();  // until the program lends the window its project files
        projects->addWidget(button);
    }
    projects->addStretch(1);
    panel->addLayout(projects);
    panel->addStretch(1);
    columns->addLayout(panel);
    ui.preview = new UPreview_C(this);
    auto* previewColumn = new QVBoxLayout;
    previewColumn->setContentsMargins(margin.width(), margin.height(), 0, 0);
    previewColumn->addWidget(ui.preview);
    columns->addLayout(previewColumn, 1);
    const QSize base = UDialogTemplate_C::GetBaseUnits(font());
    resize(UDialogTemplate_C::ToPixels(WindowUnits, base).expandedTo(sizeHint()));
}

void WMosaro_C::CreateTemplateControls() {
    const QSize base = UDialogTemplate_C::GetBaseUnits(font());
    ui.templateArea->setFixedSize(UDialogTemplate_C::ToPixels(UDialogTemplate_C::GetSize(), base));
    QWidget* previous = nullptr;
    for (const UDialogTemplate_C::UControl_S& control : UDialogTemplate_C::GetControls()) {
        QWidget* widget = CreateControl(control);
        widget->setGeometry(FitCaption(*widget, control, base));
        if (control.tabStop) {
            if (previous) {
                setTabOrder(previous, widget);
            }
            previous = widget;
        } else {
            widget->setFocusPolicy(control.kind == UDialogTemplate_C::StaticText ? Qt::NoFocus
                                                                                 : Qt::ClickFocus);
        }
    }
}

// Makes the control and keeps it in its member of `ui`.
QWidget* WMosaro_C::CreateControl(const UDialogTemplate_C::UControl_S& control) {
    const QString text = QCoreApplication::translate("UDialogTemplate_C", control.text);
    QWidget* const area = ui.templateArea;
    const auto button = [&](QPushButton*& member) { return member = new QPushButton(text, area); };
    const auto layout = [&](QRadioButton*& member, NS_Data::ULayout_E shape) {
        member = new QRadioButton(text, area);
        ui.layouts->addButton(member, NS_Data::ComposeModeFromLayout(shape));
        return member;
    };
    switch (control.id) {
        case UDialogTemplate_C::IDC_FILE_LIST:
            return ui.fileList = new UFileListBox_C(area);
        case UDialogTemplate_C::IDC_ADD_FILES:
            return button(ui.addFiles);
        case UDialogTemplate_C::IDC_ADD_DIRECTORY:
            return button(ui.addDirectory);
        case UDialogTemplate_C::IDC_CLEAR:
            return button(ui.clear);
        case UDialogTemplate_C::IDC_COMPOSE:
            return button(ui.compose);
        case UDialogTemplate_C::IDC_VERSION:
            return button(ui.version);
        case UDialogTemplate_C::IDC_TERMINATE:
            return button(ui.terminate);
        case UDialogTemplate_C::IDC_HORIZONTAL:
            return layout(ui.horizontal, NS_Data::ULayout_E::Row);
        case UDialogTemplate_C::IDC_VERTICAL:
            return layout(ui.vertical, NS_Data::ULayout_E::Column);
        case UDialogTemplate_C::IDC_MULTI_ROW:
            return layout(ui.multiRow, NS_Data::ULayout_E::Grid);
        case UDialogTemplate_C::IDC_AUTO_CUT:
            return ui.autoCut = new QCheckBox(text, area);
        default:
            ui.dropHint = new QLabel(text, area);
            ui.dropHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return ui.dropHint;
    }
}

void WMosaro_C::ConnectControls() {
    const std::pair<QAbstractButton*, void (WMosaro_C::*)()> commands[] = {
        {ui.addFiles, &WMosaro_C::OnAddFiles},
        {ui.addDirectory, &WMosaro_C::OnAddDirectory},
        {ui.clear, &WMosaro_C::OnClear},
        {ui.compose, &WMosaro_C::OnCompose},
        {ui.version, &WMosaro_C::OnVersion},
        {ui.terminate, &WMosaro_C::OnTerminate},
        {ui.autoCut, &WMosaro_C::OnAutoCut},
        {ui.openProject, &WMosaro_C::OnOpenProject},
        {ui.saveProject, &WMosaro_C::OnSaveProject},
    };
    for (const auto& [button, handler] : commands) {
        connect(button, &QAbstractButton::clicked, this, handler);
    }
    connect(ui.layouts, &QButtonGroup::idClicked, this, &WMosaro_C::OnComposeMode);
    connect(ui.options->GetTrimEachBox(), &QAbstractButton::clicked, this, &WMosaro_C::OnTrimEach);
    ui.options->SetOnChange([this] { OnOptionsChanged(); });
}

QWidget* WMosaro_C::GetDlgItem(int32_t id) const {
    QWidget* const byId[] = {ui.fileList, ui.version,      nullptr,    ui.horizontal,
                             ui.vertical, ui.multiRow,     ui.compose, ui.autoCut,
                             ui.addFiles, ui.addDirectory, ui.clear,   ui.terminate};
    const int32_t index = id - UDialogTemplate_C::IDC_FILE_LIST;
    return index >= 0 && index < static_cast<int32_t>(std::size(byId)) ? byId[index] : nullptr;
}

void WMosaro_C::ShowMessage(const char* text, const char* caption) {
    shell->ShowMessage(this, QString::fromUtf8(caption), QString::fromUtf8(text));
}

// Records are shown only by the dialog, with itself as owner; one shown without an owner goes
// where the default notice sends it.
void WMosaro_C::ShowNotice(void* owner, const char* caption, const char* text) {
    if (!owner) {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        return;
    }
    static_cast<WMosaro_C*>(owner)->ShowMessage(text, caption);
}

void WMosaro_C::showEvent(QShowEvent* event) {
    // The first showing is the window's initialisation; a restore from the task bar is not.
    if (!initialised) {
        initialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

// While a command runs the window takes no drop, as its list is disabled.
void WMosaro_C::dragEnterEvent(QDragEnterEvent* event) {
    if (!work.IsRunning() && AcceptAsCopy(event)) {
        event->accept();
    }
}

void WMosaro_C::dropEvent(QDropEvent* event) {
    if (work.IsRunning() || !AcceptAsCopy(event)) {
        return;
    }
    event->accept();
    // The drop is handled once the drag has ended, so that a message box shown meanwhile does
    // not hold up the application the files came from.
    const QList<QUrl> drop = event->mimeData()->urls();
    QMetaObject::invokeMethod(
        this, [this, drop] { OnDropFiles(drop); }, Qt::QueuedConnection);
}

// Enter on a control of the template other than a push button confirms the dialog; in the
// options panel it only ends an entry. The help key does nothing.
void WMosaro_C::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QWidget* const focus = focusWidget();
    if (enter && !qobject_cast<QPushButton*>(focus) && !ui.options->isAncestorOf(focus)) {
        done(1);
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace NS_Wnd
