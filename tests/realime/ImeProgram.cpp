#include "ImeProgram.h"

#include "DaemonsNotUp.h"
#include "GridView.h"
#include "SheetColumns.h"
#include "YearMonthEdit.h"

#include <SQLiteCpp/SQLiteCpp.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <sys/resource.h>

using namespace schedule;

namespace realime {

bool sessionIsUp(const ImeSession& session)
{
    if (session.problem().isEmpty())
        return true;
    const ::testing::TestInfo* running = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString name = running ? QStringLiteral("%1.%2").arg(QString::fromUtf8(running->test_suite_name()), QString::fromUtf8(running->name())) : QStringLiteral("the session");
    realinput::markDaemonsNotUp(name, session.problem());
    return false;
}

CellMap::CellMap()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    ok_ = harness_.startOn(QDate::currentDate()) && harness_.show();
    if (ok_) {
        harness_.window().resize(kWidth, kHeight);
        QCoreApplication::processEvents();
    }
}

std::optional<QPoint> CellMap::centre(int row, int column)
{
    GridView* grid = harness_.grid();
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    if (!grid->viewport()->rect().contains(cell))
        return std::nullopt;
    return grid->viewport()->mapTo(&harness_.window(), cell.center());
}

QPoint CellMap::yearMonth()
{
    YearMonthEdit* field = harness_.yearMonth();
    return field->mapTo(&harness_.window(), field->rect().center());
}

QVariant Files::sheet(int row, int column) const
{
    try {
        SQLite::Database db((folder_ + QStringLiteral("/Quorel1Work.mdb")).toStdString(), SQLite::OPEN_READONLY);
        SQLite::Statement query(db, "SELECT \"" + sheetField(column).toStdString() + "\" FROM InpWork ORDER BY rowid LIMIT 1 OFFSET ?");
        query.bind(1, row);
        if (!query.executeStep() || query.getColumn(0).isNull())
            return {};
        const SQLite::Column value = query.getColumn(0);
        return value.isInteger() ? QVariant(qlonglong(value.getInt64())) : QVariant(QString::fromStdString(value.getString()));
    } catch (const std::exception&) {
        return {}; // busy while the program writes: asked again
    }
}

QStringList Files::payees() const
{
    QStringList names;
    SQLite::Database db((folder_ + QStringLiteral("/Quorel1.mdb")).toStdString(), SQLite::OPEN_READONLY);
    SQLite::Statement query(db, "SELECT 支払先名 FROM 支払先マスタ ORDER BY 支払先名");
    while (query.executeStep())
        names << QString::fromStdString(query.getColumn(0).getString());
    return names;
}

Program::Program(ImeSession& session, const QString& data)
    : session_(session)
{
    int made = -1;
    session.runAsUser(QStringLiteral(QUOREL_MKDATA), {data}, 20000, &made);
    if (made != 0) {
        problem_ = QStringLiteral("quorel1-mkdata failed");
        return;
    }
    process_ = session.startAsUser(QStringLiteral(QUOREL_PROGRAM), {QStringLiteral("--data"), data});
    const auto window = session.display().waitForWindow(process_->processId(), QString(), 20000);
    if (!window) {
        problem_ = QStringLiteral("the program showed no window: ") + session.log(QStringLiteral(QUOREL_PROGRAM));
        return;
    }
    window_ = *window;
    VirtualDisplay& x = session.display();
    x.run(QStringLiteral("xdotool"), {QStringLiteral("windowmove"), QStringLiteral("--sync"), window_, QStringLiteral("0"), QStringLiteral("0")});
    x.run(QStringLiteral("xdotool"), {QStringLiteral("windowsize"), QStringLiteral("--sync"), window_, QString::number(kWidth), QString::number(kHeight)});
    activate();
    if (!ImeSession::waitFor([&] { return x.geometry(window_).size() == QSize(kWidth, kHeight); }, 5000))
        problem_ = QStringLiteral("the window did not take the size asked for");
}

Program::~Program()
{
    if (process_) {
        process_->kill();
        process_->waitForFinished(5000);
    }
}

bool Program::slowMainThread(int niceness)
{
    // The process id names the main thread alone.
    return process_ && ::setpriority(PRIO_PROCESS, id_t(process_->processId()), niceness) == 0;
}

void Program::activate()
{
    session_.display().run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window_});
}

void Program::clickAt(QPoint at)
{
    session_.display().run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"), window_, QString::number(at.x()), QString::number(at.y()),
                                                        QStringLiteral("click"), QStringLiteral("1")});
}

void Program::wheelUpAt(QPoint at, int notches)
{
    session_.display().run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"), window_, QString::number(at.x()), QString::number(at.y()),
                                                        QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(notches),
                                                        QStringLiteral("--delay"), QStringLiteral("5"), QStringLiteral("4")});
}

void Typist::clickCell(int row, int column)
{
    const std::optional<QPoint> centre = cells_.centre(row, column);
    ASSERT_TRUE(centre) << "line " << row + 1 << " is out of sight";
    program()->clickAt(*centre);
}

void Typist::type(const QString& text)
{
    session()->display().run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("12"), text});
}

void Typist::keys(const QStringList& names)
{
    for (const QString& name : names)
        session()->display().run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40"), name});
}

void Typist::toTop()
{
    const std::optional<QPoint> top = cells_.centre(0, kCol表示日付);
    ASSERT_TRUE(top);
    program()->wheelUpAt(*top, 40);
}

bool Typist::stateBecomes(int state)
{
    return ImeSession::waitFor([&] { return session()->imState() == state; }, kWaitMs);
}

void Typist::screenshot(const char* name)
{
    session()->display().saveScreenshot(QDir::tempPath() + QStringLiteral("/realime-%1.png").arg(QString::fromUtf8(name)));
}

} // namespace realime
