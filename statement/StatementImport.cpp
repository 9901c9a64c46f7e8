#include "StatementImport.h"

#include "AccountStore.h"
#include "Calendar.h"
#include "CsvColumnsDialog.h"
#include "LongCommand.h"
#include "Msg.h"
#include "ReconcileDialog.h"
#include "Session.h"
#include "Skip.h"
#include "StatementStore.h"
#include "ZenginStatement.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QProgressDialog>
#include <QSet>

namespace statement {

namespace {

using messages::MsgId;

// The progress dialog of a long file; none for a short one.
class Progress {
public:
    Progress(qint64 bytes, QWidget* parent)
    {
        if (bytes < StatementImport::kProgressBytes)
            return;
        dialog_ = std::make_unique<QProgressDialog>(QStringLiteral("入出金明細を読み込んでいます…"), QString(), 0, 100, parent);
        dialog_->setObjectName(QStringLiteral("prg明細消込"));
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);
        dialog_->setValue(0);
    }
    std::function<void(int)> callback()
    {
        if (!dialog_)
            return {};
        return [this](int percent) {
            dialog_->setValue(percent);
            QCoreApplication::processEvents();
        };
    }

private:
    store::LongCommand running_;
    std::unique_ptr<QProgressDialog> dialog_;
};

// The withdrawals not reconciled before, matched; those of other months only when they
// fit a line of this month.
Reconciliation reconcileMonth(const MatchedStatement& m, const QDate& month, const QSet<QString>& settled, int window)
{
    MatchSources sources = m.sources;
    sources.dayWindow = window;
    std::vector<std::size_t> withdrawals;
    for (std::size_t i = 0; i < m.statement.lines.size(); ++i) {
        if (m.statement.lines[i].direction == Direction::Withdrawal && !settled.contains(m.keys[i]))
            withdrawals.push_back(i);
    }
    Reconciliation r = matchStatement(m.statement, withdrawals, m.lines, sources);
    const QDate first = calendar::firstOfMonth(month);
    const QDate last = calendar::lastOfMonth(month);
    // A withdrawal of another month that fits no line here belongs to that month's sheet.
    std::erase_if(r.unmatched, [&](std::size_t w) { return m.statement.lines[w].date < first || m.statement.lines[w].date > last; });
    return r;
}

} // namespace

std::vector<OpenLine> openLines(const std::vector<banking::SheetEntry>& lines)
{
    std::vector<OpenLine> open;
    for (const banking::SheetEntry& line : lines) {
        const std::optional<ledger::Amount> rest = line.scheduled.value_or(ledger::Amount()).minus(line.paid.value_or(ledger::Amount()));
        if (line.payee.isEmpty() || !line.date.isValid() || !rest || rest->units() <= 0)
            continue;
        open.push_back({line.row, line.date, line.payee, rest->units()});
    }
    return open;
}

StatementImport::StatementImport(store::Session& session, messages::Msg& msg)
    : session_(session)
    , msg_(msg)
{
    askPath = [](QWidget* parent) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("入出金明細ファイルを開く"), QString(),
            QStringLiteral("入出金明細 (*.txt *.dat *.csv);;すべてのファイル (*)"));
    };
    askColumns = [](const QStringList& titles, QWidget* parent) -> std::optional<CsvColumns> {
        CsvColumnsDialog dialog(titles, guessColumns(titles), parent);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.columns();
    };
    decide = [](ReconcileDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
}

std::optional<Statement> StatementImport::readFile(const QString& path, QWidget* parent)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        msg_.ShowMsg(MsgId::その他_明細読込失敗, QStringLiteral("%1\n%2").arg(path, file.errorString()));
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    ReadResult read;
    if (looksLikeZengin(bytes)) {
        Progress progress(bytes.size(), parent);
        read = readZenginStatement(bytes, today().addYears(1), progress.callback());
    } else {
        const QStringList titles = csvTitles(bytes);
        std::optional<CsvColumns> columns;
        if (!titles.isEmpty() && !store::skipOnFailure(QStringLiteral("read the CSV columns"), [&] { columns = StatementStore(session_.mainDb()).csvColumns(titles); })) {
            msg_.ShowMsg(MsgId::その他_読込失敗, QStringLiteral("明細 CSV の列"));
            return std::nullopt;
        }
        if (!columns && !titles.isEmpty()) {
            columns = askColumns(titles, parent);
            if (!columns)
                return std::nullopt;
            store::skipOnFailure(QStringLiteral("keep the CSV columns"), [&] { StatementStore(session_.mainDb()).saveCsvColumns(titles, *columns); });
        }
        Progress progress(bytes.size(), parent);
        read = columns ? readCsvStatement(bytes, *columns, progress.callback())
                       : ReadResult::failed(0, {}, QStringLiteral("全銀協の入出金取引明細でも、列の見出しのある CSV ファイルでもありません"));
    }
    if (!read.ok()) {
        msg_.ShowMsg(MsgId::その他_明細読込失敗, QStringLiteral("%1\n%2").arg(path, read.error.text()));
        return std::nullopt;
    }
    return std::move(read.statement);
}

std::optional<MatchedStatement> StatementImport::match(Statement statement, const QDate& month, const std::vector<banking::SheetEntry>& lines, int window)
{
    MatchedStatement matched;
    const bool read = store::skipOnFailure(QStringLiteral("read what matching needs"), [&] {
        StatementStore store(session_.mainDb());
        matched.sources.statementNames = store.payeeNames();
        for (const auto& [payee, details] : banking::AccountStore(session_.mainDb()).payeeAccounts())
            matched.sources.accountNames.insert(payee, details.account.holder);
        banking::TransferRecords files(session_.mainDb());
        for (QDate day = month.addDays(-7); day <= calendar::lastOfMonth(month).addDays(7); day = day.addDays(1)) {
            for (banking::TransferRecord& file : files.forDay(day))
                matched.sources.transferFiles.push_back(std::move(file));
        }
    });
    if (!read) {
        msg_.ShowMsg(MsgId::その他_読込失敗, QStringLiteral("照合に使う口座・明細の記録"));
        return std::nullopt;
    }
    matched.sources.dayWindow = window;
    matched.keys = lineKeys(statement);
    matched.statement = std::move(statement);
    matched.lines = openLines(lines);
    return matched;
}

std::optional<ReconcilePlan> StatementImport::run(const QDate& month, const std::vector<banking::SheetEntry>& lines, QWidget* parent)
{
    if (!month.isValid()) {
        msg_.ShowMsg(MsgId::その他_明細月なし);
        return std::nullopt;
    }
    const QString path = askPath(parent);
    if (path.isEmpty())
        return std::nullopt;
    std::optional<Statement> statement = readFile(path, parent);
    if (!statement)
        return std::nullopt;
    int windowBefore = StatementStore::kDefaultDayWindow;
    QSet<QString> settled;
    if (!store::skipOnFailure(QStringLiteral("read the matching window"), [&] {
            StatementStore store(session_.mainDb());
            windowBefore = store.dayWindow();
            settled = store.settledKeys(statement->from, statement->to);
        })) {
        msg_.ShowMsg(MsgId::その他_読込失敗, QStringLiteral("照合の設定"));
        return std::nullopt;
    }
    std::optional<MatchedStatement> matched = match(std::move(*statement), month, lines, windowBefore);
    if (!matched)
        return std::nullopt;
    matched->reconciliation = reconcileMonth(*matched, month, settled, windowBefore);
    const Reconciliation& r = matched->reconciliation;
    if (r.proposed.empty() && r.ambiguous.empty() && r.unmatched.empty()) {
        msg_.ShowMsg(MsgId::その他_明細新規なし, calendar::toSlashText(month).left(7));
        return std::nullopt;
    }
    const MatchedStatement* base = &*matched;
    ReconcileDialog dialog(*matched, windowBefore, [base, month, settled](int window) { return reconcileMonth(*base, month, settled, window); }, parent);
    for (;;) {
        if (!decide(dialog))
            return std::nullopt;
        ReconcilePlan plan = planOf(dialog.matched(), dialog.decisions());
        if (!plan.twice.isEmpty()) {
            msg_.ShowMsg(MsgId::その他_明細同じ行, plan.twice.join(u'\n'));
            continue;
        }
        if (!remember(plan, dialog.dayWindow(), windowBefore))
            return std::nullopt;
        return plan;
    }
}

void StatementImport::follow(const ReconcilePlan& plan, bool applied)
{
    store::skipOnFailure(QStringLiteral("follow the statement's undo"), [&] {
        StatementStore store(session_.mainDb());
        if (applied)
            store.settle(plan.settled, {}, QDateTime::currentDateTime());
        else
            store.forget(plan.settled);
    });
}

bool StatementImport::remember(const ReconcilePlan& plan, int window, int windowBefore)
{
    try {
        StatementStore store(session_.mainDb());
        store.settle(plan.settled, plan.names, QDateTime::currentDateTime());
        if (window != windowBefore)
            store.setDayWindow(window);
        return true;
    } catch (const std::exception& e) {
        store::logSkipped(QStringLiteral("remember the reconciled statement"), e);
        msg_.ShowMsg(MsgId::その他_明細記録失敗, QString::fromUtf8(e.what()));
        return false;
    }
}

} // namespace statement
