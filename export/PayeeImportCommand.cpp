#include "PayeeImportCommand.h"

#include "AccountStore.h"
#include "ExportCommand.h"
#include "Msg.h"
#include "PayeeAccountsCsv.h"
#include "Session.h"
#include "Skip.h"
#include "Transaction.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace exporting {

namespace {

std::pair<QString, TextEncoding> askFileWithDialog(QWidget* parent)
{
    const QStringList filters = {QStringLiteral("CSV・テキスト 文字コード自動判別 (*.csv *.txt)"), QStringLiteral("CSV・テキスト Shift_JIS (*.csv *.txt)"),
        QStringLiteral("CSV・テキスト UTF-8 (*.csv *.txt)"), QStringLiteral("すべてのファイル (*)")};
    QString selected = filters.front();
    const QString path = QFileDialog::getOpenFileName(parent, QStringLiteral("支払先の取込"), QString(), filters.join(QStringLiteral(";;")), &selected);
    const TextEncoding encoding = selected == filters.at(1) ? TextEncoding::Cp932 : selected == filters.at(2) ? TextEncoding::Utf8 : TextEncoding::Detect;
    return {path, encoding};
}

} // namespace

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
    return !path.isEmpty() && importFile(path, encoding);
}

bool PayeeImportCommand::importFile(const QString& path, TextEncoding encoding)
{
    const QString shownPath = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        msg_.ShowMsg(QStringLiteral("その他"), QStringLiteral("読込失敗"), shownPath);
        return false;
    }
    const DecodedText decoded = decodeText(file.readAll(), encoding);
    if (!decoded.text) {
        QStringList lines;
        for (const int line : decoded.badLines)
            lines << QString::number(line);
        msg_.ShowMsg(QStringLiteral("その他"), QStringLiteral("取込不可"),
            QStringLiteral("%1 の %2 行目 (%3)").arg(shownPath, lines.join(QStringLiteral(", ")), decoded.encodingName));
        return false;
    }
    const bool csv = QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0;
    ImportPlan plan;
    if (!store::skipOnFailure(QStringLiteral("import plan"), [&] { plan = planImport(session_, namesFromText(*decoded.text, csv)); })) {
        msg_.ShowMsg(QStringLiteral("その他"), QStringLiteral("読込失敗"), QStringLiteral("支払先マスタ"));
        return false;
    }
    // A list with the bank details' headings carries the payees' details too.
    const ImportedAccounts accounts = csv ? accountsFromRecords(csvRecords(*decoded.text)) : ImportedAccounts();
    QString notes = plan.alreadyThere.isEmpty() ? QString() : QStringLiteral("\n\n登録済みの %1 件は追加しません。").arg(plan.alreadyThere.size());
    if (!accounts.accounts.empty())
        notes += messages::findMessage(QStringLiteral("入力"), QStringLiteral("取込口座"), QString::number(accounts.accounts.size()))->text;
    if (!accounts.refused.isEmpty())
        notes += messages::findMessage(QStringLiteral("入力"), QStringLiteral("取込口座不可"), listForMessage(accounts.refused))->text;
    if (plan.toAdd.isEmpty() && accounts.accounts.empty()) {
        msg_.ShowMsg(QStringLiteral("その他"), QStringLiteral("取込なし"), notes);
        return false;
    }
    if (!msg_.ShowMsg(QStringLiteral("登録"), QStringLiteral("取込確認"), listForMessage(plan.toAdd, 30) + notes))
        return false;
    const bool added = store::skipOnFailure(QStringLiteral("import add"), [&] {
        store::Transaction transaction(session_.mainDb());
        addPayees(session_, plan.toAdd);
        exchange::AccountStore store(session_.mainDb());
        for (const exchange::PayeeAccount& details : accounts.accounts)
            store.savePayeeAccount(details);
        transaction.commit();
    });
    if (!added) {
        msg_.ShowMsg(QStringLiteral("登録"), QStringLiteral("失敗"), QStringLiteral("支払先"));
        return false;
    }
    msg_.ShowMsg(QStringLiteral("登録"), QStringLiteral("取込完了"), QString::number(plan.toAdd.size()));
    return true;
}

} // namespace exporting
