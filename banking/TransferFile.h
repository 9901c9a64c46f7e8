#pragma once

#include "BankAccount.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace banking {

// One transfer of the file: the payee (for messages), the account paid to, the customer
// code and the amount in whole yen.
struct Transfer {
    QString payee;
    BankAccount account;
    QString customerCode;
    qint64 yen = 0;
};

// The largest amount of one transfer (10 digits) and of the file's total (12 digits).
inline constexpr qint64 kLargestTransfer = 9'999'999'999;
inline constexpr qint64 kLargestTotal = 999'999'999'999;
// The file's record length in bytes, without the line end.
inline constexpr int kRecordLength = 120;

// A bulk-transfer file (総合振込) made in memory: its bytes, or what refused it.
struct TransferFile {
    QByteArray bytes;
    QStringList problems; // empty when the bytes are the whole file
    int count = 0;
    qint64 total = 0;
    bool ok() const { return problems.isEmpty(); }
};

// Makes the file of the transfers to be made on `date` from the sender's account: the
// header record, one data record per transfer in the given order, the trailer with their
// count and total, and the end record; each 120 bytes in the banks' single-byte code,
// followed by CR LF unless the sender asks for none. Details that do not fit the format,
// an amount of 0 yen or more than 10 digits, or no transfer at all make no bytes: every
// problem is named instead (a field too long is refused, never cut).
TransferFile makeTransferFile(const Sender& sender, const QDate& date, const std::vector<Transfer>& transfers);

// A transfer as the file reads it, borrowed from where its details are kept.
struct TransferView {
    const QString& payee;
    const BankAccount& account;
    const QString& customerCode;
    qint64 yen;
    // Transfers with the same key (not null) share their details, which are checked once.
    const void* key = nullptr;
};

// The same for transfers given by a view of each (count of them, and the view of one).
TransferFile makeTransferFile(const Sender& sender, const QDate& date, std::size_t count, const std::function<TransferView(std::size_t)>& transferAt);

// "1,234,567": whole yen with comma groups ("0" for none), as the messages and the
// dialog show amounts.
QString yenText(qint64 yen);

} // namespace banking
