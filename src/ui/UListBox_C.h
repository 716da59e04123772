#pragma once

#include <QListWidget>

namespace NS_Wnd {

// The dialog's list box: a bordered column of texts in the order they were added, with a
// vertical scroll bar when needed, never sorted, never selected.
class UListBox_C : public QListWidget {
public:
    explicit UListBox_C(QWidget* parent = nullptr);
    ~UListBox_C() override;
};

}  // namespace NS_Wnd
