#include "XlsxExport.h"

#include "XlsxSheet.h"

#include <array>

namespace exchange {

namespace {

constexpr int kColumns = 5;
constexpr lxw_row_t kHeadingRow = 3;
constexpr std::int64_t kExactLimit = 1'000'000'000'000'000; // 15 digits
constexpr std::int64_t kMaxCellText = 32767;

void writeMonth(lxw_worksheet* sheet, const XlsxFormats& formats, const MonthData& month)
{
    SheetWriter out(sheet, formats, kColumns);
    out.text(0, 0, QStringLiteral("支払予定表"), formats.title);
    out.text(0, 1, month.caption, formats.title);
    const std::array<QString, 4> labels = {QStringLiteral("繰越額"), QStringLiteral("予定額月計"), QStringLiteral("支払額月計"), QStringLiteral("予定額累計")};
    const std::array<std::optional<ledger::Amount>, 4> figures = {month.繰越額, month.予定額月計, month.支払額月計, month.予定額累計};
    // Rows are written in order: the library streams each row out once the next begins.
    for (int i = 0; i < 4; ++i)
        out.text(1, i, labels[i], formats.heading);
    for (int i = 0; i < 4; ++i)
        out.amount(2, i, figures[i]);
    const std::array<QString, kColumns> headings = {QStringLiteral("日付"), QStringLiteral("支払先名"), QStringLiteral("予定額"), QStringLiteral("支払額"), QStringLiteral("残高")};
    for (int i = 0; i < kColumns; ++i)
        out.text(kHeadingRow, i, headings[i], formats.heading);
    lxw_row_t row = kHeadingRow + 1;
    for (const StoredLine& line : month.lines) {
        out.date(row, 0, line.日付);
        out.text(row, 1, line.支払先名);
        out.amount(row, 2, line.予定額);
        out.amount(row, 3, line.支払額);
        out.amount(row, 4, line.残高);
        ++row;
    }
    out.finish(kHeadingRow, SheetWriter::Orientation::Portrait);
}

} // namespace

std::vector<CellProblem> xlsxProblems(const std::vector<MonthData>& months)
{
    std::vector<CellProblem> problems;
    for (const MonthData& month : months) {
        for (const StoredLine& line : month.lines) {
            const QString& name = line.支払先名;
            if (name.size() > kMaxCellText && name.toUcs4().size() > kMaxCellText)
                problems.push_back({line.日付, name, QStringLiteral("%1 文字 (Excel のセルは 32767 文字まで)").arg(name.toUcs4().size())});
            else if (name.contains(QChar(u'\0')))
                problems.push_back({line.日付, name, QStringLiteral("NUL 文字")});
        }
    }
    return problems;
}

std::optional<double> excelNumber(ledger::Amount amount)
{
    const std::int64_t units = amount.units();
    if (units > -kExactLimit && units < kExactLimit)
        return static_cast<double>(units) / static_cast<double>(ledger::Amount::kScale);
    // Larger amounts: exact when their digits without trailing zeros are at most 15.
    std::int64_t digits = units;
    while (digits % 10 == 0)
        digits /= 10;
    if (digits <= -kExactLimit || digits >= kExactLimit)
        return std::nullopt;
    return amount.toExactString().toDouble();
}

QString writeXlsx(const std::vector<MonthData>& months, const QString& path)
{
    XlsxBook book(path);
    if (!book.isOpen())
        return QStringLiteral("workbook");
    for (const MonthData& month : months) {
        lxw_worksheet* sheet = book.addSheet(monthName(month.month));
        if (!sheet)
            return QStringLiteral("worksheet ") + monthName(month.month);
        writeMonth(sheet, book.formats(), month);
    }
    return book.close();
}

} // namespace exchange
