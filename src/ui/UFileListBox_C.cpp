#include "ui/UFileListBox_C.h"

#include <QByteArray>

#include <memory>
#include <new>

#include "files/PathRecord_S.h"
#include "files/PathUtilities.h"

namespace NS_Wnd {
namespace {

// The item role that holds an entry's full path, as bytes.
constexpr int PathRole = Qt::UserRole;

}  // namespace

UFileListBox_C::UFileListBox_C(QWidget* parent) : UListBox_C(parent) {}

int32_t UFileListBox_C::GetCount() const {
    return static_cast<int32_t>(count());
}

void UFileListBox_C::AddFilePath(const char* path) {
    if (!PathRecord_S::Fits(path)) {
        throw MakeError(1, path);
    }
    try {
        auto entry = std::make_unique<QListWidgetItem>(QString::fromUtf8(GetFileName(path)));
        entry->setData(PathRole, QByteArray(path));
        addItem(entry.release());
    } catch (const std::bad_alloc&) {
        throw MakeError(3);
    }
}

std::string UFileListBox_C::GetFilePath(int32_t index) const {
    const QListWidgetItem* entry = item(index);
    return entry ? entry->data(PathRole).toByteArray().toStdString() : std::string();
}

void UFileListBox_C::RemoveAll() {
    clear();
}

NS_Base::UError_C UFileListBox_C::MakeError(int32_t code, const char* extra) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, TR_NOOP("UError_C", "Fail to add file path for list.")},
        {2, TR_NOOP("UError_C", "Fail to add data for list.")},
        {3, TR_NOOP("UError_C", "Not enough memory.")},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table, extra);
}

}  // namespace NS_Wnd
