#include "PayeeExportCommand.h"

#include "AccountStore.h"
#include "CsvExport.h"
#include "ExportCommand.h"
#include "Msg.h"
#include "PayeeAccountsCsv.h"
#include "PayeeBearers.h"
#include "PayeeTable.h"
#include "Session.h"
#include "Skip.h"
#include "WholeFile.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace exchange {

namespace {

QString askPathWithDialog(const QString& suggested, QWidget* parent)
{
    return QFileDialog::getSaveFileName(parent, QStringLiteral("支払先の出力"), suggested, QStringLiteral("CSV (*.csv)"));
}

} // namespace

PayeeExportCommand::PayeeExportCommand(store::Session& session, messages::Msg& msg)
    : askPath(askPathWithDialog)
    , session_(session)
    , msg_(msg)
{
}

bool PayeeExportCommand::run(QWidget* parent)
{
    QStringList names;
    banking::PayeeAccounts accounts;
    ledger::PaymentRules rules;
    std::map<QString, banking::FeeBearer> bearers;
    const bool read = store::skipOnFailure(QStringLiteral("payee list"), [&] {
        names = ledger::PayeeTable(session_).names();
        accounts = banking::AccountStore(session_.mainDb()).payeeAccounts();
        rules = ledger::readPaymentRules(session_.mainDb());
        bearers = banking::PayeeBearers(session_.mainDb()).all();
    });
    if (!read) {
        msg_.ShowMsg(messages::MsgId::その他_読込失敗, QStringLiteral("支払先マスタ"));
        return false;
    }
    QString path = askPath ? askPath(ExportCommand::suggestedPath(QStringLiteral("支払先.csv")), parent) : QString();
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".csv");
    const QString text = payeeListCsv(names, accounts, rules, bearers);
    const std::optional<QByteArray> bytes = encodeCsv(text, CsvEncoding::Cp932);
    const QString error = store::writeWholeFile(path, bytes ? *bytes : *encodeCsv(text, CsvEncoding::Utf8Bom));
    if (!error.isEmpty()) {
        qCWarning(lcStore) << "payee list to" << path << "failed:" << error;
        msg_.ShowMsg(messages::MsgId::その他_出力失敗, QDir::toNativeSeparators(path));
        return false;
    }
    if (written)
        written(path);
    return true;
}

} // namespace exchange
