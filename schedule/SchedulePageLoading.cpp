// The month page's loading: a month read into the sheet, the question before unregistered
// work is left, and the steps to the month before or after.

#include "SchedulePage.h"

#include "AmountField.h"
#include "Calendar.h"
#include "GridView.h"
#include "MonthController.h"
#include "Msg.h"
#include "Session.h"
#include "SheetColumns.h"
#include "Skip.h"
#include "WorkTableModel.h"
#include "SheetModel.h"
#include "YearMonthEdit.h"

#include <QProgressBar>

#include <algorithm>

#include <utility>

namespace schedule {

bool SchedulePage::Read支払予定()
{
    if (monthEdit_->number().isNull() || !filesOpen())
        return false;
    const QDate shown = controller_->month();
    const QDate wanted = calendar::firstOfMonth(monthEdit_->date());
    for (;;) {
        pbar_->setVisible(true);
        controller_->setMonth(wanted);
        const LoadResult result = controller_->load([this](int value) { showProgress(value); });
        pbar_->setVisible(false);
        if (result.loaded) {
            if (result.stored > kSheetLines)
                context_.msg.ShowMsg(messages::MsgId::入力_行数超過, QString::number(result.stored));
            return true;
        }
        // The month shown stays on the page, header and sheet together.
        controller_->setMonth(shown);
        if (shown.isValid())
            monthEdit_->setDate(shown);
        if (!tellFileFailure("読込", result.failure, calendar::formatYearMonth(wanted, monthEdit_->eraPattern())))
            return false;
        monthEdit_->setDate(wanted);
    }
}

bool SchedulePage::restoreUnsavedSheet()
{
    if (!filesOpen())
        return false;
    const DraftOutcome outcome = controller_->restoreDraft();
    if (outcome == DraftOutcome::None)
        return false;
    monthEdit_->setDate(controller_->month());
    if (outcome == DraftOutcome::Registered) {
        // The book holds the draft's month as it was registered: that is what is shown.
        if (!Read支払予定())
            return false;
        emit statusText(messages::messageText(messages::MsgId::状態_下書き登録済, calendar::formatYearMonth(controller_->month(), monthEdit_->eraPattern())));
        return true;
    }
    emit payeeListNeeded(dat支払先名_, controller_->sheetNames());
    emit modifiedChanged(true);
    emit statusText(messages::messageText(messages::MsgId::状態_未登録復帰, QString()));
    return true;
}

bool SchedulePage::confirmLeavingSheet()
{
    if (!filesOpen() || !controller_->hasUnsavedChanges())
        return true;
    switch (context_.msg.Ask(messages::MsgId::登録_未登録確認, QStringLiteral("支払予定表"))) {
    case messages::Answer::Yes:
        store::skipOnFailure(QStringLiteral("commit GridInp"), [&] { gridInp_->commit(); });
        Entry支払予定表();
        return !controller_->hasUnsavedChanges();
    case messages::Answer::No:
        controller_->forgetUnregisteredSteps();
        return true;
    case messages::Answer::Cancel:
        break;
    }
    return false;
}

void SchedulePage::loadAsked(bool toGrid)
{
    if (!confirmLeavingSheet()) {
        // The month whose sheet is on show stays in the field.
        if (controller_->month().isValid())
            monthEdit_->setDate(controller_->month());
        return;
    }
    if (toGrid)
        loadAndGoToFirstEmptyLine();
    else
        Read支払予定();
}

void SchedulePage::loadAndGoToFirstEmptyLine()
{
    Read支払予定();
    // After the field's own move of the focus has ended, the cursor goes to the grid.
    QMetaObject::invokeMethod(this, &SchedulePage::focusFirstEmptyLine, Qt::QueuedConnection);
}

void SchedulePage::focusFirstEmptyLine()
{
    if (!filesOpen() || !controller_->month().isValid())
        return;
    const SheetLines& lines = controller_->lines();
    const auto empty = std::find_if(lines.begin(), lines.end(), [](const SheetLine& line) { return !line.hasPayee(); });
    if (empty == lines.end())
        return;
    const int row = static_cast<int>(empty - lines.begin());
    gridInp_->setFocus(Qt::OtherFocusReason);
    gridInp_->setCurrentCell(row, kCol表示日付);
}

void SchedulePage::stepMonth(int count)
{
    if (monthEdit_->number().isNull() || !confirmLeavingSheet())
        return;
    const QDate moved = monthEdit_->date().addMonths(count);
    if (moved.isValid())
        monthEdit_->setDate(moved);
    loadAndGoToFirstEmptyLine();
}

void SchedulePage::followBook()
{
    store::BookChanges& changes = context_.session.changes();
    // A new era setting shows at once in the year-month field; the report reads it when opened.
    connect(&changes, &store::BookChanges::settingsChanged, this, &SchedulePage::applyEra);
    connect(&changes, &store::BookChanges::bookReplaced, this, &SchedulePage::showReplacedBook);
}

void SchedulePage::showReplacedBook()
{
    // The month shown stays, as the replaced book holds it (the sheet's unregistered changes
    // were registered or dropped as the user chose before the book was replaced).
    const QDate month = monthHeader().month;
    Clear支払予定表();
    if (month.isValid())
        monthEdit_->setFromText(month.toString(QStringLiteral("yyyyMMdd")));
    Read支払予定();
}

void SchedulePage::applyEra()
{
    const bool era = context_.session.settings.eraYears();
    monthEdit_->setEraPattern(era);
    monthEdit_->setFixedWidth(twipsToPixels(era ? 1860 : 1560));
}

void SchedulePage::Clear支払予定表()
{
    if (!filesOpen())
        return;
    monthEdit_->setFromText(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
    controller_->setMonth(monthEdit_->date());
    controller_->clear();
}

void SchedulePage::onClearClicked()
{
    if (confirmLeavingSheet())
        Clear支払予定表();
}

void SchedulePage::showProgress(int value)
{
    pbar_->setValue(value);
}

void SchedulePage::showFigures()
{
    const MonthFigures& figures = controller_->figures();
    num繰越額_->setAmount(figures.繰越額);
    num予定額月計_->setAmount(figures.予定額月計);
    num支払額月計_->setAmount(figures.支払額月計);
    num累計_->setAmount(figures.累計);
    showCarryOrigin();
}

void SchedulePage::showCarryOrigin()
{
    QString tip;
    if (controller_->month().isValid() && controller_->carry() != controller_->broughtIn()) {
        tip = messages::messageText(messages::MsgId::状態_繰越元, controller_->broughtIn().format().isEmpty() ? QStringLiteral("0") : controller_->broughtIn().format());
    }
    num繰越額_->setToolTip(tip);
}

MonthHeader SchedulePage::monthHeader() const
{
    return {monthEdit_->date(), num繰越額_->amount(), num予定額月計_->amount(), num支払額月計_->amount(), num累計_->amount()};
}


void SchedulePage::setNameCheck(std::function<std::optional<QString>(const QString& name)> check)
{
    controller_->checkName = std::move(check);
}

QStringList SchedulePage::sheetPayees() const
{
    return controller_->sheetNames();
}

bool SchedulePage::hasUnsavedChanges() const
{
    return controller_->hasUnsavedChanges();
}

} // namespace schedule
