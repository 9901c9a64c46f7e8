#include "XlsxExport.h"

#include <QFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace exporting {

namespace {

constexpr int kColumns = 5;
constexpr lxw_row_t kHeadingRow = 3;
constexpr std::int64_t kExactLimit = 1'000'000'000'000'000; // 15 digits
constexpr std::int64_t kMaxCellText = 32767;

// Display width in Excel's character units: wide (CJK, full-width) characters count two.
double textWidth(const QString& text)
{
    double width = 0;
    for (const QChar c : text)
        width += c.isLowSurrogate() ? 0 : (c.unicode() >= 0x1100 ? 2 : 1);
    return width;
}

struct Formats {
    lxw_format* title;
    lxw_format* heading;
    lxw_format* date;
    lxw_format* amount;
};

class SheetWriter {
public:
    SheetWriter(lxw_worksheet* sheet, const Formats& formats)
        : sheet_(sheet)
        , formats_(formats)
    {
        widths_.fill(8.0);
    }

    void text(lxw_row_t row, int column, const QString& value, lxw_format* format = nullptr)
    {
        worksheet_write_string(sheet_, row, static_cast<lxw_col_t>(column), value.toUtf8().constData(), format);
        fit(column, textWidth(value));
    }

    void amount(lxw_row_t row, int column, const std::optional<store::Amount>& value)
    {
        if (!value)
            return;
        if (const auto number = excelNumber(*value)) {
            worksheet_write_number(sheet_, row, static_cast<lxw_col_t>(column), *number, formats_.amount);
            fit(column, textWidth(value->format()) + 1);
        } else {
            text(row, column, value->toExactString());
        }
    }

    void date(lxw_row_t row, int column, const QDate& value)
    {
        if (!value.isValid())
            return;
        lxw_datetime when = {value.year(), value.month(), value.day(), 0, 0, 0.0};
        worksheet_write_datetime(sheet_, row, static_cast<lxw_col_t>(column), &when, formats_.date);
        fit(column, 10);
    }

    void finish()
    {
        for (int column = 0; column < kColumns; ++column)
            worksheet_set_column(sheet_, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column), std::min(widths_[column] + 2, 80.0), nullptr);
        worksheet_freeze_panes(sheet_, kHeadingRow + 1, 0);
        worksheet_repeat_rows(sheet_, kHeadingRow, kHeadingRow);
        worksheet_set_paper(sheet_, 9);
        worksheet_set_portrait(sheet_);
        worksheet_fit_to_pages(sheet_, 1, 0);
    }

private:
    void fit(int column, double width) { widths_[column] = std::max(widths_[column], width); }

    lxw_worksheet* sheet_;
    const Formats& formats_;
    std::array<double, kColumns> widths_;
};

void writeMonth(lxw_worksheet* sheet, const Formats& formats, const MonthData& month)
{
    SheetWriter out(sheet, formats);
    out.text(0, 0, QStringLiteral("支払予定表"), formats.title);
    out.text(0, 1, month.caption, formats.title);
    const std::array<QString, 4> labels = {QStringLiteral("繰越額"), QStringLiteral("予定額月計"), QStringLiteral("支払額月計"), QStringLiteral("予定額累計")};
    const std::array<std::optional<store::Amount>, 4> figures = {month.繰越額, month.予定額月計, month.支払額月計, month.予定額累計};
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
    out.finish();
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

std::optional<double> excelNumber(store::Amount amount)
{
    const std::int64_t units = amount.units();
    if (units > -kExactLimit && units < kExactLimit)
        return static_cast<double>(units) / static_cast<double>(store::Amount::kScale);
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
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!workbook)
        return QStringLiteral("workbook");
    Formats formats = {workbook_add_format(workbook), workbook_add_format(workbook), workbook_add_format(workbook), workbook_add_format(workbook)};
    format_set_bold(formats.title);
    format_set_bold(formats.heading);
    format_set_bottom(formats.heading, LXW_BORDER_THIN);
    format_set_num_format(formats.date, "yyyy/mm/dd");
    format_set_num_format(formats.amount, "#,##0;[Red]-#,##0");
    for (const MonthData& month : months) {
        lxw_worksheet* sheet = workbook_add_worksheet(workbook, monthName(month.month).toUtf8().constData());
        if (!sheet) {
            workbook_close(workbook);
            return QStringLiteral("worksheet ") + monthName(month.month);
        }
        writeMonth(sheet, formats, month);
    }
    const lxw_error result = workbook_close(workbook);
    return result == LXW_NO_ERROR ? QString() : QString::fromUtf8(lxw_strerror(result));
}

} // namespace exporting
