#include "XlsxSheet.h"

#include "XlsxExport.h"

#include <QFile>

#include <algorithm>

namespace exchange {

namespace {

constexpr int kA4Paper = 9;

// Display width in Excel's character units: wide (CJK, full-width) characters count two.
double textWidth(const QString& text)
{
    double width = 0;
    for (const QChar c : text)
        width += c.isLowSurrogate() ? 0 : (c.unicode() >= 0x1100 ? 2 : 1);
    return width;
}

} // namespace

XlsxBook::XlsxBook(const QString& path)
{
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    book_ = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (!book_)
        return;
    formats_ = {workbook_add_format(book_), workbook_add_format(book_), workbook_add_format(book_), workbook_add_format(book_)};
    format_set_bold(formats_.title);
    format_set_bold(formats_.heading);
    format_set_bottom(formats_.heading, LXW_BORDER_THIN);
    format_set_num_format(formats_.date, "yyyy/mm/dd");
    format_set_num_format(formats_.amount, "#,##0;[Red]-#,##0");
}

XlsxBook::~XlsxBook()
{
    close();
}

lxw_worksheet* XlsxBook::addSheet(const QString& name)
{
    return book_ ? workbook_add_worksheet(book_, name.toUtf8().constData()) : nullptr;
}

QString XlsxBook::close()
{
    if (!book_)
        return QStringLiteral("workbook");
    const lxw_error result = workbook_close(book_);
    book_ = nullptr;
    return result == LXW_NO_ERROR ? QString() : QString::fromUtf8(lxw_strerror(result));
}

SheetWriter::SheetWriter(lxw_worksheet* sheet, const XlsxFormats& formats, int columns)
    : sheet_(sheet)
    , formats_(formats)
    , widths_(static_cast<size_t>(columns), 8.0)
{
}

void SheetWriter::text(lxw_row_t row, int column, const QString& value, lxw_format* format)
{
    worksheet_write_string(sheet_, row, static_cast<lxw_col_t>(column), value.toUtf8().constData(), format);
    fit(column, textWidth(value));
}

void SheetWriter::amount(lxw_row_t row, int column, const std::optional<ledger::Amount>& value)
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

void SheetWriter::date(lxw_row_t row, int column, const QDate& value)
{
    if (!value.isValid())
        return;
    lxw_datetime when = {value.year(), value.month(), value.day(), 0, 0, 0.0};
    worksheet_write_datetime(sheet_, row, static_cast<lxw_col_t>(column), &when, formats_.date);
    fit(column, 10);
}

void SheetWriter::finish(lxw_row_t headingRow, Orientation orientation)
{
    for (size_t column = 0; column < widths_.size(); ++column)
        worksheet_set_column(sheet_, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column), std::min(widths_[column] + 2, 80.0), nullptr);
    worksheet_freeze_panes(sheet_, headingRow + 1, 0);
    worksheet_repeat_rows(sheet_, headingRow, headingRow);
    worksheet_set_paper(sheet_, kA4Paper);
    if (orientation == Orientation::Landscape)
        worksheet_set_landscape(sheet_);
    else
        worksheet_set_portrait(sheet_);
    worksheet_fit_to_pages(sheet_, 1, 0);
}

void SheetWriter::fit(int column, double width)
{
    double& current = widths_[static_cast<size_t>(column)];
    current = std::max(current, width);
}

} // namespace exchange
