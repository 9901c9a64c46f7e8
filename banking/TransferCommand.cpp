#include "TransferCommand.h"

#include "AccountStore.h"
#include "FeeSettingsStore.h"
#include "Msg.h"
#include "PayeeBearers.h"
#include "ReportWindow.h"
#include "Session.h"
#include "Skip.h"
#include "TransferDialog.h"
#include "TransferListLayout.h"
#include "TransferRecords.h"
#include "WholeFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>
#include <QStandardPaths>

namespace banking {

namespace {

std::optional<TransferChoice> askWithDialog(TransferDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return TransferChoice{dialog.day(), dialog.chosen()};
}

QString askPathWithDialog(const QString& suggested, QWidget* parent)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("振込データの保存"), suggested, QStringLiteral("振込データ (*.txt);;すべてのファイル (*)"));
}

QString joinedForMessage(const QStringList& lines, int limit = 20)
{
    QStringList shown = lines.mid(0, limit);
    if (lines.size() > limit)
        shown << QStringLiteral("ほか %1 件").arg(lines.size() - limit);
    return shown.join(QLatin1Char('\n'));
}

} // namespace

TransferCommand::TransferCommand(store::Session& session, messages::Msg& msg)
    : askChoice(askWithDialog)
    , askPath(askPathWithDialog)
    , session_(session)
    , msg_(msg)
{
}

QString TransferCommand::suggestedPath(const QDate& day)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(QStringLiteral("振込_%1.txt").arg(day.toString(QStringLiteral("yyyyMMdd"))));
}

bool TransferCommand::readDetails(std::optional<Sender>& sender, TransferSources& sources)
{
    const bool read = store::skipOnFailure(QStringLiteral("transfer details"), [&] {
        AccountStore store(session_.mainDb());
        sender = store.sender();
        sources.accounts = store.payeeAccounts();
        sources.unlisted = store.unlistedPayees();
        sources.fees.settings = FeeSettingsStore(session_.mainDb()).read();
        sources.fees.bearers = PayeeBearers(session_.mainDb()).all();
    });
    if (!read) {
        msg_.ShowMsg(messages::MsgId::その他_読込失敗, QStringLiteral("振込依頼人と支払先の口座"));
        return false;
    }
    QStringList problems;
    if (!sender)
        problems << messages::findMessage(messages::MsgId::入力_依頼人なし, QString()).text;
    else
        problems = problemTexts(problemsOf(*sender));
    if (!problems.isEmpty()) {
        msg_.ShowMsg(messages::MsgId::その他_依頼人未設定, joinedForMessage(problems));
        return false;
    }
    sources.fees.from = sender->account;
    return true;
}

PaidTransfers TransferCommand::run(const QDate& month, const std::vector<SheetEntry>& lines, const QDate& day, QWidget* parent)
{
    if (!month.isValid()) {
        msg_.ShowMsg(messages::MsgId::その他_振込月なし, QString());
        return {};
    }
    std::optional<Sender> sender;
    TransferSources sources;
    if (!readDetails(sender, sources))
        return {};
    sender_ = *sender;
    addFeeLine_ = sources.fees.settings.addFeeLine;
    sources.lines = lines;
    TransferDialog dialog(month, std::move(sources), day, today ? today() : QDate(), parent);
    dialog.listRequested = [this, &dialog](const QDate& listDay, const std::vector<TransferCandidate>& chosen) { showList(listDay, chosen, QString(), &dialog); };
    const std::optional<TransferChoice> choice = askChoice ? askChoice(dialog) : std::nullopt;
    if (!choice || choice->chosen.empty() || !confirmChoice(*choice))
        return {};
    const QString path = writeFile(*choice, parent);
    if (path.isEmpty())
        return {};
    record(*choice, path);
    PaidTransfers paid;
    paid.day = choice->day;
    for (const TransferCandidate& line : choice->chosen)
        paid.sent.push_back({line.row, line.yen});
    const TransferTotals totals = totalsOf(choice->chosen);
    if (addFeeLine_ && totals.charged > 0)
        paid.feeLineYen = totals.charged;
    const bool markPaid = msg_.ShowMsg(messages::MsgId::登録_支払済確認, QString::number(paid.sent.size()));
    // The list comes last, in front: no box of the command is left to raise the main
    // window above it.
    if (parent)
        showList(choice->day, choice->chosen, path, parent->window());
    return markPaid ? paid : PaidTransfers();
}

bool TransferCommand::confirmChoice(const TransferChoice& choice)
{
    const QDate now = today ? today() : QDate();
    const QString dayText = choice.day.toString(QStringLiteral("yyyy/MM/dd"));
    if (now.isValid() && choice.day < now
        && !msg_.ShowMsg(messages::MsgId::その他_振込過去日, QStringLiteral("%1（今日は %2）").arg(dayText, now.toString(QStringLiteral("yyyy/MM/dd")))))
        return false;
    QStringList repeated;
    const bool read = store::skipOnFailure(QStringLiteral("transfer records"), [&] { repeated = alreadyWritten(TransferRecords(session_.mainDb()).forDay(choice.day), choice.chosen); });
    if (!read) {
        msg_.ShowMsg(messages::MsgId::その他_読込失敗, QStringLiteral("振込データの作成記録"));
        return false;
    }
    return repeated.isEmpty() || msg_.ShowMsg(messages::MsgId::その他_振込作成済確認, joinedForMessage(repeated));
}

void TransferCommand::record(const TransferChoice& choice, const QString& path)
{
    TransferRecord made{choice.day, QDateTime::currentDateTime(), QDir::toNativeSeparators(path), {}};
    for (const TransferCandidate& line : choice.chosen)
        made.transfers.push_back({line.details->payee, line.yen, choice.day});
    try {
        TransferRecords(session_.mainDb()).add(made);
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("record the transfer file"), e);
        msg_.ShowMsg(messages::MsgId::その他_振込記録失敗, QString::fromUtf8(e.what()));
    }
}

QString TransferCommand::writeFile(const TransferChoice& choice, QWidget* parent)
{
    const TransferFile file = makeTransferFile(sender_, choice.day, choice.chosen);
    if (!file.ok()) {
        msg_.ShowMsg(messages::MsgId::その他_振込作成不可, joinedForMessage(file.problems));
        return {};
    }
    QString path = askPath ? askPath(suggestedPath(choice.day), parent) : QString();
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    if (const QString error = store::writeWholeFile(path, file.bytes); !error.isEmpty()) {
        qCWarning(lcStore) << "transfer file" << path << "not written:" << error;
        msg_.ShowMsg(messages::MsgId::その他_出力失敗, QDir::toNativeSeparators(path));
        return {};
    }
    if (written)
        written(path);
    const TransferTotals totals = totalsOf(choice.chosen);
    const QString fees = totals.unknownFees == totals.count
        ? QString()
        : QStringLiteral("手数料: %1 円\n引落予定額: %2 円\n").arg(yenText(totals.charged), yenText(totals.withdrawal()));
    msg_.ShowMsg(messages::MsgId::その他_振込作成完了,
        QStringLiteral("振込指定日: %1\n件数: %2 件\n合計: %3 円\n%4ファイル: %5")
            .arg(choice.day.toString(QStringLiteral("yyyy/MM/dd")))
            .arg(file.count)
            .arg(yenText(file.total))
            .arg(fees, QDir::toNativeSeparators(path)));
    return path;
}

report::ReportWindow* TransferCommand::showList(const QDate& day, const std::vector<TransferCandidate>& chosen, const QString& file, QWidget* owner)
{
    std::vector<report::TransferListRow> rows;
    for (const TransferCandidate& line : chosen) {
        const BankAccount& account = line.details->account;
        report::TransferListRow row{line.details->payee, account.bankCode + QLatin1Char(' ') + account.bankName,
            account.branchCode + QLatin1Char(' ') + account.branchName, accountText(account), account.holder, line.sentYen()};
        row.bill = line.yen;
        if (line.fee && line.fee->bearer == FeeBearer::Payee)
            row.deducted = line.fee->deducted;
        if (line.fee)
            row.charged = line.fee->charged;
        rows.push_back(std::move(row));
    }
    const report::TransferListHeader header{day, sender_.name, file.isEmpty() ? QStringLiteral("（未作成）") : QDir::toNativeSeparators(file)};
    auto* window = report::ReportWindow::showOnce(report::layoutTransferList(header, rows), msg_, owner);
    // The list has no figures of its own to write out.
    if (auto* exportButton = window->findChild<QPushButton*>(QStringLiteral("cmd出力")))
        exportButton->hide();
    return window;
}

} // namespace banking
