#pragma once
// The directory dialog's drive list: a combo box that assistive tools hear by its name ("Jednotky")
// with the chosen drive as its value, on every platform. Qt's own combo box is named by its value on
// Linux, so a screen reader would announce "C:\" without saying what the box is for.
#include <QComboBox>

namespace vrelmont::ui {

class DriveSelector : public QComboBox {
    Q_OBJECT
public:
    explicit DriveSelector(QWidget *parent = nullptr);
};

} // namespace vrelmont::ui
