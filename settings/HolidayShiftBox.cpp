#include "HolidayShiftBox.h"

#include "Holidays.h"
#include "PaymentRules.h"
#include "Skip.h"
#include "Sql.h"
#include "Transaction.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

namespace settings {

using calendar::HolidayShift;

HolidayShiftBox::HolidayShiftBox(QWidget* parent)
    : QGroupBox(QStringLiteral("銀行の休業日にあたる支払日"), parent)
    , cmb休日既定_(new QComboBox(this))
{
    setObjectName(QStringLiteral("fra休日既定"));
    cmb休日既定_->setObjectName(QStringLiteral("cmb休日既定"));
    for (HolidayShift shift : {HolidayShift::前営業日, HolidayShift::翌営業日, HolidayShift::そのまま})
        cmb休日既定_->addItem(ledger::shiftText(shift), static_cast<int>(shift));
    auto* layout = new QHBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("前月複写で、支払先に指定のない日付は"), this);
    label->setBuddy(cmb休日既定_);
    layout->addWidget(label);
    layout->addWidget(cmb休日既定_);
    layout->addWidget(new QLabel(QStringLiteral("へ（支払先ページの指定が優先）"), this));
    layout->addStretch();
    showShift(ledger::defaultShift());
}

HolidayShift HolidayShiftBox::shown() const
{
    return static_cast<HolidayShift>(cmb休日既定_->currentData().toInt());
}

void HolidayShiftBox::showShift(HolidayShift shift)
{
    cmb休日既定_->setCurrentIndex(std::max(cmb休日既定_->findData(static_cast<int>(shift)), 0));
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
