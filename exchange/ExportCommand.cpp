#include "ExportCommand.h"

#include "ExportDialog.h"
#include "Msg.h"
#include "OverviewExport.h"
#include "OverviewLayout.h"
#include "Session.h"
#include "Skip.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace exchange {

namespace {

std::optional<ExportChoice> askChoiceWithDialog(const QDate& shownMonth, QWidget* parent)
{
    ExportDialog dialog(shownMonth, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

std::optional<ExportChoice> askFormatWithDialog(const QString& subject, QWidget* parent)
{
    ExportDialog dialog(subject, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

QString askPathWithDialog(const QString& suggested, ExportFormat format, QWidget* parent)
{
    const QString filter = format == ExportFormat::Xlsx ? QStringLiteral("Excel ブック (*.xlsx)") : QStringLiteral("CSV (*.csv)");
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Excel・CSV 出力"), suggested, filter);
}

} // namespace

QString listForMessage(const QStringList& lines, int limit)
{
    QStringList shown = lines.mid(0, limit);
    if (lines.size() > limit)
        shown << QStringLiteral("ほか %1 件").arg(lines.size() - limit);
    return shown.join(QLatin1Char('\n'));
}

ExportCommand::ExportCommand(store::Session& session, messages::Msg& msg)
    : askChoice(askChoiceWithDialog)
    , askFormat(askFormatWithDialog)
    , askPath(askPathWithDialog)
    , session_(session)
    , msg_(msg)
{
}

QString ExportCommand::suggestedPath(const ExportChoice& choice)
{
    return suggestedPath(defaultFileName(choice));
}

QString ExportCommand::suggestedPath(const QString& fileName)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    return QDir(folder).filePath(fileName);
}

bool ExportCommand::run(const QDate& shownMonth, QWidget* parent)
{
    const std::optional<ExportChoice> choice = askChoice ? askChoice(shownMonth, parent) : std::nullopt;
    return choice && exportMonths(*choice, parent);
}

bool ExportCommand::acceptProblems(const std::vector<MonthData>& months, ExportChoice& choice)
{
    const QStringList problems = exportProblems(months, choice);
    if (problems.isEmpty())
        return true;
    if (choice.format == ExportFormat::Xlsx) {
        msg_.ShowMsg(messages::MsgId::その他_Excel不可, listForMessage(problems));
        return false;
    }
    if (!msg_.ShowMsg(messages::MsgId::その他_文字コード, listForMessage(problems)))
        return false;
    choice.encoding = CsvEncoding::Utf8Bom;
    return true;
}

bool ExportCommand::exportMonths(ExportChoice choice, QWidget* parent)
{
    if (!choice.from.isValid() || !choice.to.isValid() || choice.to < choice.from)
        return false;
    std::vector<MonthData> months;
    if (!store::skipOnFailure(QStringLiteral("export read"), [&] { months = readStoredMonths(session_, choice.from, choice.to); })) {
        msg_.ShowMsg(messages::MsgId::その他_読込失敗, QStringLiteral("支払予定表"));
        return false;
    }
    if (!acceptProblems(months, choice))
        return false;
    return saveAs(choice, defaultFileName(choice), parent, [&](const QString& path) { return writeExport(months, choice, path); });
}

bool ExportCommand::exportOverview(const ledger::Overview& overview, bool era, QWidget* parent)
{
    if (overview.months.empty()) {
        msg_.ShowMsg(messages::MsgId::その他_出力なし, QString());
        return false;
    }
    const QString subject = QStringLiteral("資金繰り表 (%1)").arg(cashflow::rangeCaption(overview, era));
    const std::optional<ExportChoice> asked = askFormat ? askFormat(subject, parent) : std::nullopt;
    if (!asked)
        return false;
    const ExportChoice choice = overviewChoice(overview, asked->format, asked->encoding);
    return saveAs(choice, overviewFileName(choice), parent, [&](const QString& path) { return writeOverviewExport(overview, era, choice, path); });
}

bool ExportCommand::saveAs(const ExportChoice& choice, const QString& fileName, QWidget* parent, const std::function<QString(const QString& path)>& write)
{
    if (!askPath)
        return false;
    QString path = askPath(suggestedPath(fileName), choice.format, parent);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().compare(formatSuffix(choice.format), Qt::CaseInsensitive) != 0)
        path += QLatin1Char('.') + formatSuffix(choice.format);
    const QString error = write(path);
    if (error.isEmpty()) {
        if (written)
            written(path);
        return true;
    }
    qCWarning(lcStore) << "export to" << path << "failed:" << error;
    msg_.ShowMsg(messages::MsgId::その他_出力失敗, QDir::toNativeSeparators(path));
    return false;
}

} // namespace exchange
