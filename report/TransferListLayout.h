#pragma once

#include "ReportLayout.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace report {

// One transfer of the day's list as printed: the payee, the bank and branch (code and
// kana name), the account (kind and number), the holder, the amount transferred in yen,
// and the bill it settles (the amount transferred when not given), the fee deducted under
// 先方負担 and the fee the bank charges (blank when not given).
struct TransferListRow {
    QString payee;
    QString bank;
    QString branch;
    QString account;
    QString holder;
    qint64 yen = 0;
    std::optional<qint64> bill;
    std::optional<qint64> deducted;
    std::optional<qint64> charged;
};

// What heads the list: the transfer date, the sender's name and the file it goes with.
struct TransferListHeader {
    QDate date;
    QString sender;
    QString file;
};

// The list of a day's transfers to keep with the transfer file: portrait A4 pages with the
// title, date, sender and file on each, a line per transfer (支払金額, 先方負担, 振込金額,
// 手数料), and after the last line the count, the totals of the transfers and the fees
// and what leaves the account (引落予定額). Named 振込一覧_<date> (the window's title and the PDF's name).
ReportDocument layoutTransferList(const TransferListHeader& header, const std::vector<TransferListRow>& rows);

// "1,234,567": whole yen with comma groups (0 for none).
QString yenText(qint64 yen);

} // namespace report
