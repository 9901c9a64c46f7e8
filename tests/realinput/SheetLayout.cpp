#include "SheetLayout.h"

namespace layout {

namespace {

// Measured on the main window's inside at its default size (929 × 603 pixels, the menu bar included).
constexpr int kGridFirstRowMiddle = 152; // rows are 20 pixels apart
constexpr int kRowPitch = 20;

int columnMiddle(Column column)
{
    switch (column) {
    case Column::Day:
        return 63;
    case Column::Payee:
        return 234;
    case Column::Scheduled:
        return 435;
    case Column::Paid:
        return 585;
    case Column::Balance:
        return 735;
    }
    return 0;
}

} // namespace

QSize windowSize()
{
    return {929, 603};
}

QPoint yearMonthField()
{
    return {200, 50};
}

QPoint cell(int row, Column column)
{
    return {columnMiddle(column), kGridFirstRowMiddle + row * kRowPitch};
}

} // namespace layout
