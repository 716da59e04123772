#include "ui/UListBox_C.h"

namespace NS_Wnd {

UListBox_C::UListBox_C(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::NoSelection);
    setSortingEnabled(false);
    setFrameShape(QFrame::Box);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Drops belong to the dialog, which expands folders and filters the files.
    setAcceptDrops(false);
    setDragEnabled(false);
}

UListBox_C::~UListBox_C() = default;

}  // namespace NS_Wnd
