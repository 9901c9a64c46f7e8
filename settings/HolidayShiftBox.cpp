#include "HolidayShiftBox.h"

#include "Holidays.h"
#include "PaymentRules.h"
#include "Skip.h"
#include "Sql.h"
#include "Transaction.h"

namespace settings {

using calendar::HolidayShift;

HolidayShiftBox::HolidayShiftBox(QWidget* parent)
    : QComboBox(parent)
{
    setObjectName(QStringLiteral("cmb休日既定"));
    setToolTip(QStringLiteral("前月複写で、支払日が銀行の休業日にあたるときの日付（支払先ページで指定のない支払先）"));
    for (HolidayShift shift : {HolidayShift::前営業日, HolidayShift::翌営業日, HolidayShift::そのまま})
        addItem(ledger::shiftText(shift), static_cast<int>(shift));
    showShift(ledger::defaultShift());
}

HolidayShift HolidayShiftBox::shown() const
{
    return static_cast<HolidayShift>(currentData().toInt());
}

void HolidayShiftBox::showShift(HolidayShift shift)
{
    setCurrentIndex(std::max(findData(static_cast<int>(shift)), 0));
}

void HolidayShiftBox::read(SQLite::Database& main)
{
    HolidayShift shift = ledger::defaultShift();
    store::skipOnFailure(QStringLiteral("read 支払日設定"), [&] { shift = ledger::readDefaultShift(main); });
    showShift(shift);
}

bool HolidayShiftBox::write(SQLite::Database& main)
{
    return store::skipOnFailure(QStringLiteral("write 支払日設定"), [&] {
        store::Transaction tx(main);
        ledger::writeDefaultShift(main, shown());
        tx.commit();
    });
}

void HolidayShiftBox::reset(SQLite::Database& main)
{
    store::skipOnFailure(QStringLiteral("reset 支払日設定"), [&] {
        store::Transaction tx(main);
        store::exec(main, QStringLiteral("DELETE FROM ") + store::quoteIdentifier(ledger::kPaymentSettingTable));
        tx.commit();
    });
    showShift(ledger::defaultShift());
}

} // namespace settings
