#include "TransferCommand.h"

#include "AccountStore.h"
#include "Msg.h"
#include "ReportWindow.h"
#include "Session.h"
#include "Skip.h"
#include "TransferDialog.h"
#include "TransferListLayout.h"
#include "WholeFile.h"

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

bool TransferCommand::readDetails(std::optional<Sender>& sender, PayeeAccounts& accounts)
{
    const bool read = store::skipOnFailure(QStringLiteral("transfer details"), [&] {
        AccountStore store(session_.mainDb());
        sender = store.sender();
        accounts = store.payeeAccounts();
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
    return true;
}

std::vector<int> TransferCommand::run(const QDate& month, const std::vector<SheetEntry>& lines, const QDate& day, QWidget* parent)
{
    if (!month.isValid()) {
        msg_.ShowMsg(messages::MsgId::その他_振込月なし, QString());
        return {};
    }
    std::optional<Sender> sender;
    PayeeAccounts accounts;
    if (!readDetails(sender, accounts))
        return {};
    sender_ = *sender;
    TransferDialog dialog(month, lines, std::move(accounts), day, parent);
    dialog.listRequested = [this, &dialog](const QDate& listDay, const std::vector<TransferCandidate>& chosen) { showList(listDay, chosen, QString(), &dialog); };
    const std::optional<TransferChoice> choice = askChoice ? askChoice(dialog) : std::nullopt;
    if (!choice || choice->chosen.empty())
        return {};
    const QString path = writeFile(*choice, parent);
    if (path.isEmpty())
        return {};
    if (parent)
        showList(choice->day, choice->chosen, path, parent->window());
    std::vector<int> rows;
    for (const TransferCandidate& line : choice->chosen)
        rows.push_back(line.row);
    if (!msg_.ShowMsg(messages::MsgId::登録_支払済確認, QString::number(rows.size())))
        return {};
    return rows;
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
    msg_.ShowMsg(messages::MsgId::その他_振込作成完了,
        QStringLiteral("振込指定日: %1\n件数: %2 件\n合計: %3 円\nファイル: %4")
            .arg(choice.day.toString(QStringLiteral("yyyy/MM/dd")))
            .arg(file.count)
            .arg(yenText(file.total))
            .arg(QDir::toNativeSeparators(path)));
    return path;
}

report::ReportWindow* TransferCommand::showList(const QDate& day, const std::vector<TransferCandidate>& chosen, const QString& file, QWidget* owner)
{
    std::vector<report::TransferListRow> rows;
    for (const TransferCandidate& line : chosen) {
        const BankAccount& account = line.details->account;
        rows.push_back({line.details->payee, account.bankCode + QLatin1Char(' ') + account.bankName, account.branchCode + QLatin1Char(' ') + account.branchName,
            accountText(account), account.holder, line.yen});
    }
    const report::TransferListHeader header{day, sender_.name, file.isEmpty() ? QStringLiteral("（未作成）") : QDir::toNativeSeparators(file)};
    auto* window = report::ReportWindow::showOnce(report::layoutTransferList(header, rows), msg_, owner);
    // The list has no figures of its own to write out.
    if (auto* exportButton = window->findChild<QPushButton*>(QStringLiteral("cmd出力")))
        exportButton->hide();
    return window;
}

} // namespace banking
