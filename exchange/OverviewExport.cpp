#include "OverviewExport.h"

#include "CashFlowModel.h"
#include "CsvExport.h"
#include "OverviewLayout.h"
#include "XlsxSheet.h"

#include <array>

namespace exchange {

namespace {

using cashflow::CashFlowModel;

constexpr lxw_row_t kHeadingRow = 2;

QStringList headings()
{
    QStringList texts;
    for (int column = 0; column < CashFlowModel::ColumnCount; ++column)
        texts << CashFlowModel::heading(column);
    return texts;
}

// The amounts of a month in the order of the table's amount columns.
std::array<std::optional<ledger::Amount>, 5> amounts(const ledger::MonthFlow& month)
{
    return {month.繰越額, month.予定額計, month.支払額計, month.月末残高, month.最低残高};
}

} // namespace

QString overviewCsvText(const ledger::Overview& overview, bool era)
{
    QString text = csvTextRecord(headings());
    for (const ledger::MonthFlow& month : overview.months) {
        text += csvTextField(CashFlowModel::cellText(month, CashFlowModel::Month, era));
        for (const auto& amount : amounts(month))
            text += QLatin1Char(',') + csvAmountField(amount);
        text += QLatin1Char(',') + month.最低残高日.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral("\r\n");
    }
    return text;
}

QString writeOverviewXlsx(const ledger::Overview& overview, bool era, const QString& path)
{
    XlsxBook book(path);
    lxw_worksheet* sheet = book.addSheet(QStringLiteral("資金繰り表"));
    if (!sheet)
        return QStringLiteral("worksheet");
    SheetWriter out(sheet, book.formats(), CashFlowModel::ColumnCount);
    out.text(0, 0, QStringLiteral("資金繰り表"), book.formats().title);
    out.text(0, 1, cashflow::rangeCaption(overview, era), book.formats().title);
    const QStringList texts = headings();
    for (int column = 0; column < texts.size(); ++column)
        out.text(kHeadingRow, column, texts.at(column), book.formats().heading);
    lxw_row_t row = kHeadingRow + 1;
    for (const ledger::MonthFlow& month : overview.months) {
        out.text(row, CashFlowModel::Month, CashFlowModel::cellText(month, CashFlowModel::Month, era));
        int column = CashFlowModel::Carry;
        for (const auto& amount : amounts(month))
            out.amount(row, column++, amount);
        out.date(row, CashFlowModel::LowestDay, month.最低残高日);
        ++row;
    }
    out.finish(kHeadingRow, SheetWriter::Orientation::Landscape);
    return book.close();
}

ExportChoice overviewChoice(const ledger::Overview& overview, ExportFormat format, CsvEncoding encoding)
{
    ExportChoice choice{format, encoding, QDate(), QDate()};
    if (!overview.months.empty()) {
        choice.from = overview.months.front().month;
        choice.to = overview.months.back().month;
    }
    return choice;
}

QString overviewFileName(const ExportChoice& choice)
{
    return defaultFileName(QStringLiteral("資金繰り表"), choice);
}

QString writeOverviewExport(const ledger::Overview& overview, bool era, const ExportChoice& choice, const QString& path)
{
    return writeChosenFormat(
        choice, path, [&](const QString& temporaryPath) { return writeOverviewXlsx(overview, era, temporaryPath); },
        [&] { return overviewCsvText(overview, era); });
}

} // namespace exchange
