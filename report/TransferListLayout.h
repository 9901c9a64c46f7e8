#pragma once

#include "ReportLayout.h"

#include <QDate>
#include <QString>

#include <vector>

namespace report {

// One transfer of the day's list as printed: the payee, the bank and branch (code and
// kana name), the account (kind and number), the holder and the amount in yen.
struct TransferListRow {
    QString payee;
    QString bank;
    QString branch;
    QString account;
    QString holder;
    qint64 yen = 0;
};

// What heads the list: the transfer date, the sender's name and the file it goes with.
struct TransferListHeader {
    QDate date;
    QString sender;
    QString file;
};

// The list of a day's transfers to keep with the transfer file: portrait A4 pages with the
// title, date, sender and file on each, a line per transfer, and the count and total after
// the last line. Named 振込一覧_<date> (the window's title and the PDF's name).
ReportDocument layoutTransferList(const TransferListHeader& header, const std::vector<TransferListRow>& rows);

// "1,234,567": whole yen with comma groups (0 for none).
QString yenText(qint64 yen);

} // namespace report
