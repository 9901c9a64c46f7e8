// The schedule page's bank business days: the weekday column, the holiday of the current
// line in the status line, 前営業日へ / 翌営業日へ on the selected lines, and what 前月複写
// moved.

#include "SchedulePage.h"

#include "BusinessDays.h"
#include "Calendar.h"
#include "GridView.h"
#include "Holidays.h"
#include "MonthController.h"
#include "Msg.h"
#include "SheetColumns.h"
#include "SheetModel.h"

#include <QHeaderView>

#include <set>
#include <utility>

namespace schedule {

namespace {

} // namespace

void SchedulePage::setUpWeekdayColumn()
{
    // The weekday stands right of the day. Tab and the arrows go from the day straight to
    // the payee, and a copied block leaves it out, so that it pastes back into the same
    // columns.
    gridInp_->setupColumn(kCol曜日, {.heading = QStringLiteral("曜"), .alignment = Qt::AlignHCenter, .widthTwips = kWeekdayTwips});
    QHeaderView* header = gridInp_->horizontalHeader();
    header->moveSection(header->visualIndex(kCol曜日), header->visualIndex(kCol表示日付) + 1);
    gridInp_->setPassedOver({kCol曜日});
}

void SchedulePage::tellBankHoliday()
{
    const int row = gridInp_->currentRowIndex();
    const bool onLine = row >= 0 && row < static_cast<int>(controller_->lines().size());
    const QDate date = onLine ? controller_->lines()[static_cast<std::size_t>(row)].date : QDate();
    if (!date.isValid() || !calendar::isBankHoliday(date)) {
        if (!toldHoliday_.isEmpty())
            emit statusTextWithdrawn(std::exchange(toldHoliday_, QString()));
        return;
    }
    // The weekday is named with the date; the reason only when it is more than the weekday.
    QString reason = bankHolidayReason(date);
    if (date.dayOfWeek() >= Qt::Saturday && calendar::holidayName(date).isEmpty())
        reason.clear();
    const QString day = QStringLiteral("%1行目の %2（%3%4）")
                            .arg(row + 1)
                            .arg(calendar::toSlashText(date), calendar::weekdayLetter(date), reason.isEmpty() ? QString() : QStringLiteral("・") + reason);
    toldHoliday_ = messages::messageText(messages::MsgId::状態_休業日, day);
    emit statusText(toldHoliday_);
}

void SchedulePage::moveSelectedToBusinessDay(bool forward)
{
    if (!filesOpen() || !controller_->month().isValid())
        return;
    gridInp_->commit();
    std::set<int> rows;
    for (const QModelIndex& cell : gridInp_->selectedCells())
        rows.insert(cell.row());
    const QList<QRect> blocks = gridInp_->selectedBlocks();
    const QModelIndex current = gridInp_->currentIndex();
    const BusinessDayOutcome outcome = controller_->moveToBusinessDay({rows.begin(), rows.end()}, forward);
    gridInp_->reselectBlocks(blocks, current);
    QStringList said;
    if (!outcome.moved.empty())
        said << messages::messageText(forward ? messages::MsgId::状態_翌営業日へ : messages::MsgId::状態_前営業日へ, describeDayMoves(outcome.moved));
    if (!outcome.stuck.empty())
        said << messages::messageText(messages::MsgId::状態_月内に営業日なし, describeDayMoves(outcome.stuck));
    if (said.isEmpty())
        said << messages::messageText(messages::MsgId::状態_移動なし, QString());
    emit statusText(said.join(QStringLiteral("　")));
}

void SchedulePage::tellRepeatedDays(const CopyOutcome& outcome)
{
    if (outcome.kind != CopyOutcome::Copied)
        return;
    QStringList said;
    if (!outcome.moved.empty())
        said << messages::messageText(messages::MsgId::状態_複写移動, describeDayMoves(outcome.moved));
    if (!outcome.onHoliday.empty())
        said << messages::messageText(messages::MsgId::状態_複写休業日, describeDayMoves(outcome.onHoliday));
    if (said.isEmpty() && outcome.lines > 0)
        said << messages::messageText(messages::MsgId::状態_複写済, QString::number(outcome.lines));
    if (!outcome.skipped.isEmpty())
        said << messages::messageText(messages::MsgId::状態_複写省略, outcome.skipped.join(QStringLiteral("、")));
    emit statusText(said.join(QStringLiteral("　")));
}

} // namespace schedule
