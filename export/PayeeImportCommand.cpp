#include "PayeeImportCommand.h"

#include "ExportCommand.h"
#include "Msg.h"
#include "PayeeRuleImport.h"
#include "Skip.h"

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
    const ListedRules listed = rulesFromText(*decoded.text, csv);
    if (!listed.unreadable.isEmpty()) {
        msg_.ShowMsg(QStringLiteral("その他"), QStringLiteral("取込規則不可"), listForMessage(listed.unreadable, 30));
        return false;
    }
    ImportPlan plan;
    if (!store::skipOnFailure(QStringLiteral("import plan"), [&] { plan = planImport(session_, namesFromText(*decoded.text, csv)); })) {
        msg_.ShowMsg(QStringLiteral("その他"), QStringLiteral("読込失敗"), QStringLiteral("支払先マスタ"));
        return false;
    }
    const QString known = plan.alreadyThere.isEmpty() ? QString() : QStringLiteral("\n\n登録済みの %1 件は追加しません。").arg(plan.alreadyThere.size());
    const QString rules = listed.rules.empty() ? QString() : QStringLiteral("\n\n支払日の指定 %1 件も登録します（登録済みの支払先の指定は置き換えます）。").arg(listed.rules.size());
    if (plan.toAdd.isEmpty() && listed.rules.empty()) {
        msg_.ShowMsg(QStringLiteral("その他"), QStringLiteral("取込なし"), known);
        return false;
    }
    const bool asked = plan.toAdd.isEmpty() ? msg_.ShowMsg(QStringLiteral("登録"), QStringLiteral("取込規則確認"), QString::number(listed.rules.size()))
                                            : msg_.ShowMsg(QStringLiteral("登録"), QStringLiteral("取込確認"), listForMessage(plan.toAdd, 30) + known + rules);
    if (!asked)
        return false;
    if (!store::skipOnFailure(QStringLiteral("import add"), [&] { addPayees(session_, plan.toAdd, listed.rules); })) {
        msg_.ShowMsg(QStringLiteral("登録"), QStringLiteral("失敗"), QStringLiteral("支払先"));
        return false;
    }
    if (listed.rules.empty())
        msg_.ShowMsg(QStringLiteral("登録"), QStringLiteral("取込完了"), QString::number(plan.toAdd.size()));
    else
        msg_.ShowMsg(QStringLiteral("登録"), QStringLiteral("取込規則完了"), QStringLiteral("%1 件を追加し、支払日の指定 %2").arg(plan.toAdd.size()).arg(listed.rules.size()));
    return true;
}

} // namespace exporting
