#pragma once

#include "Amount.h"

#include <QDate>
#include <QString>

#include <xlsxwriter.h>

#include <optional>
#include <vector>

namespace exchange {

// The cell formats every exported sheet shares.
struct XlsxFormats {
    lxw_format* title = nullptr;
    lxw_format* heading = nullptr; // bold with a rule below
    lxw_format* date = nullptr;    // yyyy/mm/dd
    lxw_format* amount = nullptr;  // "#,##0", negatives in red with their minus
};

// A workbook written in constant memory to one path: its rows go out in order and each
// row is final once the next one begins. Closed on destruction when close() was not called.
class XlsxBook {
public:
    explicit XlsxBook(const QString& path);
    ~XlsxBook();
    XlsxBook(const XlsxBook&) = delete;
    XlsxBook& operator=(const XlsxBook&) = delete;

    bool isOpen() const { return book_ != nullptr; }
    const XlsxFormats& formats() const { return formats_; }
    // A new sheet of that name, or nullptr when the library refuses it.
    lxw_worksheet* addSheet(const QString& name);
    // Writes the file out. Answers the library's error text, empty on success.
    QString close();

private:
    lxw_workbook* book_ = nullptr;
    XlsxFormats formats_;
};

// Writes the cells of one sheet and keeps each column wide enough for what it holds.
class SheetWriter {
public:
    SheetWriter(lxw_worksheet* sheet, const XlsxFormats& formats, int columns);

    void text(lxw_row_t row, int column, const QString& value, lxw_format* format = nullptr);
    // A number in the amount format when Excel holds it exactly, else its exact text; a
    // missing amount leaves the cell empty.
    void amount(lxw_row_t row, int column, const std::optional<ledger::Amount>& value);
    // An Excel date; an invalid date leaves the cell empty.
    void date(lxw_row_t row, int column, const QDate& value);

    enum class Orientation { Portrait, Landscape };
    // Sets the column widths, freezes the rows above headingRow + 1, repeats the heading
    // row on every printed page and prints on A4, one page wide.
    void finish(lxw_row_t headingRow, Orientation orientation);

private:
    void fit(int column, double width);

    lxw_worksheet* sheet_;
    const XlsxFormats& formats_;
    std::vector<double> widths_;
};

} // namespace exchange
