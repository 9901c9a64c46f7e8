#pragma once

#include "TransferFees.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QTableWidget;
namespace messages {
class Msg;
}

namespace settings {

// 振込手数料: the fee table of the sender's account as the bank publishes it, one table of
// bands (下限 in yen and the fee in yen, tax included) for 同行同店, 同行他店 and 他行, each
// with rows to add and remove; the method that picks the fee deducted under 先方負担, who
// bears the fee of a payee without a choice of its own, and whether marking transfers paid
// adds a line 振込手数料. 登録 accepts only tables that can be used (a box names every cell
// that cannot); a table left empty has no fees.
class FeeDialog : public QDialog {
    Q_OBJECT
public:
    FeeDialog(const banking::FeeSettings& stored, messages::Msg& msg, QWidget* parent = nullptr);

    // The table of a destination, for typing into.
    QTableWidget* table(banking::FeeDestination destination) const { return tables_[static_cast<std::size_t>(destination)]; }
    // After 登録: the settings as typed.
    const banking::FeeSettings& settings() const { return result_; }

    // 登録: reads and checks the tables; accepts when every one can be used.
    void tryAccept();

private:
    // The three tables side by side, each with its buttons to add and remove rows.
    QHBoxLayout* makeTables();
    QTableWidget* makeTable(banking::FeeDestination destination);
    void showSettings(const banking::FeeSettings& settings);

    messages::Msg& msg_;
    banking::FeeSettings result_;
    std::array<QTableWidget*, 3> tables_{};
    QComboBox* method_;
    QComboBox* bearer_;
    QCheckBox* feeLine_;
};

// The fee settings in a few lines for the settings page: the method and the default bearer,
// then a line for each destination's bands ("他行 2段" or "他行 未設定").
QString feeSummary(const banking::FeeSettings& settings);

} // namespace settings
