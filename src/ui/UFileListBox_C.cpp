#include "ui/UFileListBox_C.h"

#include <cstring>
#include <memory>
#include <new>

#include "files/PathUtilities.h"

namespace NS_Wnd {
namespace {

// The item role that carries the address of an entry's path block.
constexpr int PathBlockRole = Qt::UserRole;

}  // namespace

UFileListBox_C::UFileListBox_C(QWidget* parent) : UListBox_C(parent) {}

// The control's window goes with this object, so the blocks are freed here, before the base
// class deletes the items that point to them.
UFileListBox_C::~UFileListBox_C() {
    RemoveAll();
}

int32_t UFileListBox_C::GetCount() const {
    return static_cast<int32_t>(count());
}

void UFileListBox_C::AddFilePath(const char* path) {
    std::unique_ptr<char[]> block(new (std::nothrow) char[PathCapacity]);
    if (!block) {
        throw MakeError(3);
    }
    const std::size_t length = std::strlen(path);
    if (length >= PathCapacity) {
        throw MakeError(1, path);
    }
    std::memcpy(block.get(), path, length + 1);
    auto* entry = new (std::nothrow) QListWidgetItem(QString::fromUtf8(GetFileName(path)));
    if (!entry) {
        throw MakeError(1, path);
    }
    entry->setData(PathBlockRole, QVariant::fromValue(reinterpret_cast<quintptr>(block.get())));
    addItem(entry);
    block.release();
}

void UFileListBox_C::GetFilePath(int32_t index, char* out) const {
    const char* block = GetBlock(index);
    NS_Base::CopyText(out, PathCapacity, block ? block : "");
}

void UFileListBox_C::RemoveAll() {
    const int32_t n = GetCount();
    for (int32_t i = 0; i < n; ++i) {
        delete[] GetBlock(i);
    }
    clear();
}

char* UFileListBox_C::GetBlock(int32_t index) const {
    const QListWidgetItem* entry = item(index);
    return entry ? reinterpret_cast<char*>(entry->data(PathBlockRole).value<quintptr>()) : nullptr;
}

NS_Base::UError_C UFileListBox_C::MakeError(int32_t code, const char* extra) {
    static constexpr NS_Base::UMessage_S table[] = {
        {1, "Fail to add file path for list."},
        {2, "Fail to add data for list."},
        {3, "Not enough memory."},
        {0, nullptr},
    };
    return NS_Base::UError_C(code, NS_Base::SystemError, ClassName(), table, extra);
}

}  // namespace NS_Wnd
