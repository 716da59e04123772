// The window side of WMosaro_C: its controls built from the template, the window operations
// that the dialog's logic is written against, and the delivery of window events.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
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
#include "ui/UShell_C.h"
#include "ui/WMosaro_C.h"

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

// The button with template id `id`, or null when there is none.
QAbstractButton* ButtonOf(const WMosaro_C& dialog, int32_t id) {
    return qobject_cast<QAbstractButton*>(dialog.GetDlgItem(id));
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

}  // namespace

void WMosaro_C::CreateControls() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setFont(MakeDialogFont());
    const QSize base = UDialogTemplate_C::GetBaseUnits(font());
    setFixedSize(UDialogTemplate_C::ToPixels(UDialogTemplate_C::GetSize(), base));
    setAcceptDrops(true);
    setWindowIcon(MakeIcon());
    layoutButtons = new QButtonGroup(this);
    QWidget* previous = nullptr;
    for (const UDialogTemplate_C::UControl_S& control : UDialogTemplate_C::GetControls()) {
        QWidget* widget = CreateControl(control.id, control.kind, control.text);
        widget->setGeometry(UDialogTemplate_C::ToPixels(control.units, base));
        if (control.tabStop) {
            if (previous) {
                setTabOrder(previous, widget);
            }
            previous = widget;
        } else {
            widget->setFocusPolicy(control.kind == UDialogTemplate_C::StaticText ? Qt::NoFocus
                                                                                 : Qt::ClickFocus);
        }
        if (control.id != -1) {
            controls[control.id] = widget;
        }
    }
}

QWidget* WMosaro_C::CreateControl(int32_t id, int32_t kind, const char* text) {
    const QString caption = QString::fromUtf8(text);
    switch (kind) {
        case UDialogTemplate_C::PushButton:
            return new QPushButton(caption, this);
        case UDialogTemplate_C::ListBox:
            fileList = new UFileListBox_C(this);
            return fileList;
        case UDialogTemplate_C::RadioButton: {
            auto* button = new QRadioButton(caption, this);
            layoutButtons->addButton(button, id);
            return button;
        }
        case UDialogTemplate_C::CheckBox:
            return new QCheckBox(caption, this);
        default: {
            auto* label = new QLabel(caption, this);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
    }
}

void WMosaro_C::ConnectControls() {
    const std::pair<int32_t, void (WMosaro_C::*)()> commands[] = {
        {IDC_ADD_FILES, &WMosaro_C::OnAddFiles}, {IDC_ADD_DIRECTORY, &WMosaro_C::OnAddDirectory},
        {IDC_CLEAR, &WMosaro_C::OnClear},        {IDC_COMPOSE, &WMosaro_C::OnCompose},
        {IDC_VERSION, &WMosaro_C::OnVersion},    {IDC_TERMINATE, &WMosaro_C::OnTerminate},
        {IDC_AUTO_CUT, &WMosaro_C::OnAutoCut},
    };
    for (const auto& [id, handler] : commands) {
        connect(ButtonOf(*this, id), &QAbstractButton::clicked, this,
                [this, handler] { (this->*handler)(); });
    }
    connect(layoutButtons, &QButtonGroup::idClicked, this, [this] { OnComposeMode(); });
}

QWidget* WMosaro_C::GetDlgItem(int32_t id) const {
    const auto found = controls.find(id);
    return found == controls.end() ? nullptr : found->second;
}

void WMosaro_C::EnableControl(int32_t id, bool enable) {
    if (QWidget* control = GetDlgItem(id)) {
        control->setEnabled(enable);
    }
}

int32_t WMosaro_C::IsDlgButtonChecked(int32_t id) const {
    const QAbstractButton* button = ButtonOf(*this, id);
    return button && button->isChecked() ? 1 : 0;
}

// Selects `checkedId` and clears the other buttons of the range; an id outside the range
// leaves all of them clear.
void WMosaro_C::CheckRadioButton(int32_t firstId, int32_t lastId, int32_t checkedId) {
    layoutButtons->setExclusive(false);
    for (int32_t id = firstId; id <= lastId; ++id) {
        if (QAbstractButton* button = ButtonOf(*this, id)) {
            button->setChecked(id == checkedId);
        }
    }
    layoutButtons->setExclusive(true);
}

void WMosaro_C::CheckDlgButton(int32_t id, int32_t state) {
    if (QAbstractButton* button = ButtonOf(*this, id)) {
        button->setChecked(state == 1);
    }
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

void WMosaro_C::dragEnterEvent(QDragEnterEvent* event) {
    if (AcceptAsCopy(event)) {
        event->accept();
    }
}

void WMosaro_C::dropEvent(QDropEvent* event) {
    if (!AcceptAsCopy(event)) {
        return;
    }
    event->accept();
    // The drop is handled once the drag has ended, so that a message box shown meanwhile does
    // not hold up the application the files came from.
    const QList<QUrl> drop = event->mimeData()->urls();
    QMetaObject::invokeMethod(
        this, [this, drop] { OnDropFiles(drop); }, Qt::QueuedConnection);
}

// Enter on a control other than a push button confirms the dialog; the help key does nothing.
void WMosaro_C::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !qobject_cast<QPushButton*>(focusWidget())) {
        done(1);
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace NS_Wnd
