#include "PayeeImportCommand.h"

#include "AccountStore.h"
#include "ExportCommand.h"
#include "LongCommand.h"
#include "Msg.h"
#include "PayeeAccountsCsv.h"
#include "PayeeBearers.h"
#include "PayeeRuleImport.h"
#include "Session.h"
#include "TextCodec.h"
#include "Skip.h"
#include "Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QProgressDialog>

namespace exchange {

namespace {

constexpr int kProgressSteps = 1000;

std::pair<QString, TextEncoding> askFileWithDialog(QWidget* parent)
{
    const QStringList filters = {QStringLiteral("CSV・テキスト 文字コード自動判別 (*.csv *.txt)"), QStringLiteral("CSV・テキスト Shift_JIS (*.csv *.txt)"),
        QStringLiteral("CSV・テキスト UTF-8 (*.csv *.txt)"), QStringLiteral("すべてのファイル (*)")};
    QString selected = filters.front();
    const QString path = QFileDialog::getOpenFileName(parent, QStringLiteral("支払先の取込"), QString(), filters.join(QStringLiteral(";;")), &selected);
    const TextEncoding encoding = selected == filters.at(1) ? TextEncoding::Cp932 : selected == filters.at(2) ? TextEncoding::Utf8 : TextEncoding::Detect;
    return {path, encoding};
}

// A progress dialog that shows once its step takes a moment; its steps answer whether
// キャンセル was pressed.
class StepProgress {
public:
    StepProgress(const QString& label, QWidget* parent, const PayeeImportCommand& command)
        : dialog_(label, QStringLiteral("キャンセル"), 0, kProgressSteps, parent)
        , command_(command)
    {
        dialog_.setObjectName(QStringLiteral("dlg支払先取込"));
        dialog_.setWindowTitle(QStringLiteral("支払先の取込"));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(command.progressAfterMs);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
    }

    bool step(qint64 done, qint64 total)
    {
        const int value = total > 0 ? static_cast<int>(done * kProgressSteps / total) : kProgressSteps;
        if (value != dialog_.value())
            dialog_.setValue(value); // a modal dialog lets the events in here
        if (command_.onProgress)
            command_.onProgress(dialog_);
        return !dialog_.wasCanceled() && !store::LongCommand::stopRequested();
    }

private:
    QProgressDialog dialog_;
    const PayeeImportCommand& command_;
};

} // namespace

QString refusedLinesText(const QList<RefusedLine>& refused, int shown)
{
    const QLocale grouped(QLocale::Japanese, QLocale::Japan); // 1,000
    QStringList lines;
    for (qsizetype i = 0; i < refused.size() && i < shown; ++i)
        lines << QStringLiteral("%1 行目: %2").arg(grouped.toString(refused.at(i).line), refused.at(i).reason);
    if (refused.size() > shown)
        lines << QStringLiteral("ほか %1 行").arg(grouped.toString(refused.size() - shown));
    return lines.join(QLatin1Char('\n'));
}

PayeeImportCommand::PayeeImportCommand(store::Session& session, messages::Msg& msg)
    : askFile(askFileWithDialog)
    , session_(session)
    , msg_(msg)
{
}

bool PayeeImportCommand::run(QWidget* parent)
{
    if (!askFile)
        return false;
    const auto [path, encoding] = askFile(parent);
    return !path.isEmpty() && importFile(path, encoding, parent);
}

namespace {

// The payment rules and bank details a CSV list carries beside its names, from its text
// (the file is within the size limit).
struct ListExtras {
    ListedRules listed;
    ImportedAccounts accounts;
};

ListExtras extrasOf(QFile& file, bool csv, const QString& encodingName)
{
    ListExtras extras;
    if (!csv || !file.seek(0))
        return extras;
    const QByteArray bytes = file.readAll();
    QString text = encodingName == QStringLiteral("UTF-8") ? QString::fromUtf8(bytes) : cp932::decode(bytes).value_or(QString());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    extras.listed = rulesFromText(text, true);
    extras.accounts = accountsFromRecords(csvRecords(text));
    return extras;
}

// The bank details and fee bearers a list carries, stored in the caller's transaction.
void storeDetails(SQLite::Database& main, const ImportedAccounts& accounts)
{
    banking::AccountStore store(main);
    for (const banking::PayeeAccount& details : accounts.accounts)
        store.savePayeeAccount(details);
    banking::PayeeBearers bearers(main);
    for (const auto& [name, bearer] : accounts.bearers)
        bearers.set(name, bearer);
}

// What the question adds under the names: those left out, the refused lines and the bank
// details that come along.
QString importNotes(const ImportPlan& plan, const PayeeList& list, const ImportedAccounts& accounts, const QString& shownPath)
{
    QString notes;
    if (!plan.alreadyThere.isEmpty())
        notes += QStringLiteral("\n\n登録済みの %1 件は追加しません。").arg(plan.alreadyThere.size());
    if (!list.refused.isEmpty())
        notes += QStringLiteral("\n\n") + messages::messageText(messages::MsgId::その他_取込除外, shownPath + QStringLiteral(" (") + list.encodingName + QStringLiteral(")"))
            + QLatin1Char('\n') + refusedLinesText(list.refused, PayeeImportCommand::kRefusedLinesShown);
    if (!accounts.accounts.empty())
        notes += messages::messageText(messages::MsgId::入力_取込口座, QString::number(accounts.accounts.size()));
    if (!accounts.refused.isEmpty())
        notes += messages::messageText(messages::MsgId::入力_取込口座不可, listForMessage(accounts.refused, PayeeImportCommand::kNamesShown));
    return notes;
}

} // namespace

bool PayeeImportCommand::openList(QFile& file, const QString& shownPath)
{
    if (!file.open(QIODevice::ReadOnly)) {
        msg_.ShowMsg(messages::MsgId::その他_読込失敗, shownPath);
        return false;
    }
    // A file past the limit is refused before a byte of it is read.
    if (file.size() > kMaxImportFileBytes) {
        msg_.ShowMsg(messages::MsgId::その他_取込大きすぎ, shownPath);
        return false;
    }
    return true;
}

void PayeeImportCommand::tellImported(qsizetype names, std::size_t rules)
{
    if (rules == 0)
        msg_.ShowMsg(messages::MsgId::登録_取込完了, QString::number(names));
    else
        msg_.ShowMsg(messages::MsgId::登録_取込規則完了, QStringLiteral("%1 件を追加し、支払日の指定 %2").arg(names).arg(rules));
}

bool PayeeImportCommand::importFile(const QString& path, TextEncoding encoding, QWidget* parent)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!openList(file, shownPath))
        return false;
    const bool csv = QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0;
    // The progress dialogs let events in: the program's end waits for the import, which
    // stops at its next step as on キャンセル.
    const store::LongCommand running;
    PayeeList list;
    {
        StepProgress reading(QStringLiteral("支払先の一覧を読んでいます…"), parent, *this);
        list = readPayeeList(file, csv, encoding, [&](qint64 done, qint64 total) { return reading.step(done, total); });
    }
    if (list.cancelled)
        return false;
    const auto [listed, accounts] = extrasOf(file, csv, list.encodingName);
    if (!listed.unreadable.isEmpty()) {
        msg_.ShowMsg(messages::MsgId::その他_取込規則不可, listForMessage(listed.unreadable, kNamesShown));
        return false;
    }
    ImportPlan plan;
    if (!store::skipOnFailure(QStringLiteral("import plan"), [&] { plan = planImport(session_, list.names); })) {
        msg_.ShowMsg(messages::MsgId::その他_読込失敗, QStringLiteral("支払先マスタ"));
        return false;
    }
    const QString notes = importNotes(plan, list, accounts, shownPath);
    const QString rules = listed.rules.empty() ? QString() : QStringLiteral("\n\n支払日の指定 %1 件も登録します（登録済みの支払先の指定は置き換えます）。").arg(listed.rules.size());
    if (plan.toAdd.isEmpty() && listed.rules.empty() && accounts.accounts.empty()) {
        msg_.ShowMsg(messages::MsgId::その他_取込なし, notes);
        return false;
    }
    const bool onlyRules = plan.toAdd.isEmpty() && accounts.accounts.empty();
    const bool asked = onlyRules ? msg_.ShowMsg(messages::MsgId::登録_取込規則確認, QString::number(listed.rules.size()))
                                 : msg_.ShowMsg(messages::MsgId::登録_取込確認, listForMessage(plan.toAdd, kNamesShown) + notes + rules);
    if (!asked)
        return false;
    bool added = false;
    const bool ran = store::skipOnFailure(QStringLiteral("import add"), [&] {
        StepProgress adding(QStringLiteral("支払先を追加しています…"), parent, *this);
        store::Transaction transaction(session_.mainDb());
        added = addPayees(session_, plan.toAdd, listed.rules, [&](qint64 done, qint64 total) { return adding.step(done, total); });
        if (!added)
            return; // キャンセル: the transaction rolls back
        storeDetails(session_.mainDb(), accounts);
        transaction.commit();
    });
    if (!ran) {
        msg_.ShowMsg(messages::MsgId::登録_失敗, QStringLiteral("支払先"));
        return false;
    }
    if (!added)
        return false; // キャンセル: nothing was added
    tellImported(plan.toAdd.size(), listed.rules.size());
    return true;
}

} // namespace exchange
