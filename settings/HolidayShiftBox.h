#pragma once

#include "PaymentRules.h"

#include <QComboBox>

namespace SQLite {
class Database;
}

namespace settings {

// The settings page's list of what 前月複写 does with a day on a bank holiday for a payee
// whose payment rule does not say (前営業日, 翌営業日, そのまま), kept in 支払日設定 of the
// main file. Like the other settings, it is read by 読込 and stored by 登録.
class HolidayShiftBox : public QComboBox {
    Q_OBJECT
public:
    explicit HolidayShiftBox(QWidget* parent = nullptr);

    calendar::HolidayShift shown() const;
    void showShift(calendar::HolidayShift shift);
    // Shows the stored setting; a file that cannot be read shows the default and is logged.
    void read(SQLite::Database& main);
    // Stores the shown setting in a transaction of its own; false (logged) when it failed.
    bool write(SQLite::Database& main);
    // The stored setting goes (it reads as the default again), and the default is shown.
    void reset(SQLite::Database& main);
};

} // namespace settings
