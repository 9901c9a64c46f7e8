// The real program under a real Japanese input method (fcitx5 with Mozc), typed into
// through the X server as a user types. What the program stored is read back from its
// files; the input method's state is read with fcitx5-remote.

#include "GridView.h"
#include "ImeSession.h"
#include "MainWindowHarness.h"
#include "SheetColumns.h"

#include <SQLiteCpp/SQLiteCpp.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <optional>

using namespace schedule;

namespace {

constexpr int kTimes = 20;
constexpr int kWaitMs = 8000;
constexpr int kWidth = 1100;
constexpr int kHeight = 1000;

// Where the cells of the month grid are in a window of kWidth x kHeight: the same window
// laid out here on the offscreen platform with the same style and fonts.
class CellMap {
public:
    CellMap()
    {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        ok_ = harness_.startOn(QDate::currentDate()) && harness_.show();
        if (ok_) {
            harness_.window().resize(kWidth, kHeight);
            QCoreApplication::processEvents();
        }
    }
    bool ok() const { return ok_; }
    // Nothing when the cell is out of sight.
    std::optional<QPoint> centre(int row, int column)
    {
        GridView* grid = harness_.grid();
        const QRect cell = grid->visualRect(grid->model()->index(row, column));
        if (!grid->viewport()->rect().contains(cell))
            return std::nullopt;
        return grid->viewport()->mapTo(&harness_.window(), cell.center());
    }

private:
    MainWindowHarness harness_;
    bool ok_ = false;
};

// The program's sheet (work file) and payee master (main file), read as they are now.
class Files {
public:
    explicit Files(const QString& folder)
        : folder_(folder)
    {
    }
    QVariant sheet(int row, int column) const
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
    QStringList payees() const
    {
        QStringList names;
        SQLite::Database db((folder_ + QStringLiteral("/Quorel1.mdb")).toStdString(), SQLite::OPEN_READONLY);
        SQLite::Statement query(db, "SELECT 支払先名 FROM 支払先マスタ ORDER BY 支払先名");
        while (query.executeStep())
            names << QString::fromStdString(query.getColumn(0).getString());
        return names;
    }

private:
    QString folder_;
};

class RealInputMethod : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        session_ = new ImeSession;
        if (!session_->problem().isEmpty())
            return;
        data_ = session_->home() + QStringLiteral("/data");
        int made = -1;
        session_->runAsUser(QStringLiteral(QUOREL_MKDATA), {data_}, 20000, &made);
        if (made != 0) {
            problem_ = QStringLiteral("quorel1-mkdata failed");
            return;
        }
        program_ = session_->startAsUser(QStringLiteral(QUOREL_PROGRAM), {QStringLiteral("--data"), data_}).release();
        const auto window = session_->display().waitForWindow(program_->processId(), QString(), 20000);
        if (!window) {
            problem_ = QStringLiteral("the program showed no window: ") + session_->log(QStringLiteral(QUOREL_PROGRAM));
            return;
        }
        window_ = *window;
        VirtualDisplay& x = session_->display();
        x.run(QStringLiteral("xdotool"), {QStringLiteral("windowmove"), QStringLiteral("--sync"), window_, QStringLiteral("0"), QStringLiteral("0")});
        x.run(QStringLiteral("xdotool"), {QStringLiteral("windowsize"), QStringLiteral("--sync"), window_, QString::number(kWidth), QString::number(kHeight)});
        x.run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window_});
        if (!ImeSession::waitFor([&] { return x.geometry(window_).size() == QSize(kWidth, kHeight); }, 5000))
            problem_ = QStringLiteral("the window did not take the size asked for");
    }
    static void TearDownTestSuite()
    {
        if (program_) {
            program_->kill();
            program_->waitForFinished(5000);
        }
        delete program_;
        delete session_;
    }
    void SetUp() override
    {
        // A machine where the input method cannot run fails here, saying why.
        ASSERT_TRUE(session_->problem().isEmpty()) << "the input method cannot start here: " << session_->problem().toStdString();
        ASSERT_TRUE(problem_.isEmpty()) << problem_.toStdString();
        ASSERT_TRUE(cells_.ok()) << "the window could not be laid out offscreen";
    }

    void click(int row, int column)
    {
        const std::optional<QPoint> centre = cells_.centre(row, column);
        ASSERT_TRUE(centre) << "line " << row + 1 << " is out of sight";
        const QPoint at = *centre;
        session_->display().run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"), window_, QString::number(at.x()), QString::number(at.y()),
                                                             QStringLiteral("click"), QStringLiteral("1")});
    }
    void type(const QString& text)
    {
        session_->display().run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("12"), text});
    }
    void keys(const QStringList& names)
    {
        for (const QString& name : names)
            session_->display().run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40"), name});
    }
    // Enter moves down a line, so an earlier case may have left the grid scrolled: the
    // grid is brought back to its top before cells are clicked by their place.
    void toTop()
    {
        click(0, kCol表示日付);
        keys({QStringLiteral("ctrl+Home")});
    }
    bool stateBecomes(int state) { return ImeSession::waitFor([&] { return session_->imState() == state; }, kWaitMs); }
    void screenshot(const char* name) { session_->display().saveScreenshot(QDir::tempPath() + QStringLiteral("/realime-%1.png").arg(QString::fromUtf8(name))); }

    static inline ImeSession* session_ = nullptr;
    static inline QProcess* program_ = nullptr;
    static inline QString data_;
    static inline QString window_;
    static inline QString problem_;
    CellMap cells_;
};

constexpr int kOff = 1;
constexpr int kOn = 2;

} // namespace

TEST_F(RealInputMethod, AmountsTypedWithTheInputMethodOnAreStoredWithOneEnterAndItIsOffThere)
{
    Files files(data_);
    toTop();
    // The user's input method is on when the typing starts.
    click(0, kCol支払先名);
    ASSERT_TRUE(stateBecomes(kOn)) << "the input method is not on in the payee column";
    for (int row = 0; row < kTimes; ++row) {
        click(row, kCol予定額);
        ASSERT_TRUE(stateBecomes(kOff)) << "the input method is not off in the amount column, line " << row + 1;
        type(QStringLiteral("12000"));
        keys({QStringLiteral("Return")});
        const bool stored = ImeSession::waitFor([&] { return files.sheet(row, kCol予定額) == QVariant(qlonglong(12000) * 10000); }, kWaitMs);
        if (!stored)
            screenshot("amount");
        ASSERT_TRUE(stored) << "line " << row + 1 << " holds " << files.sheet(row, kCol予定額).toString().toStdString();
    }
    click(kTimes, kCol表示日付);
    EXPECT_TRUE(stateBecomes(kOff)) << "the input method is not off in the day column";
}

// The payee cell is reached by a click (which opens its drop-down at once) and by Tab from
// the day cell (no editor open: the composition itself starts the edit).
TEST_F(RealInputMethod, APayeeComposedWithTheInputMethodLandsWholeAndNothingElseIsRegistered)
{
    Files files(data_);
    toTop();
    for (int row = 0; row < 2 * kTimes; ++row) {
        const bool byTab = row >= kTimes;
        click(row, kCol表示日付);
        ASSERT_TRUE(stateBecomes(kOff)) << "the input method is not off in the day column, line " << row + 1;
        if (byTab)
            keys({QStringLiteral("Tab")});
        else
            click(row, kCol支払先名);
        ASSERT_TRUE(stateBecomes(kOn)) << "the input method is not on in the payee column, line " << row + 1;
        type(QStringLiteral("denki"));
        keys({QStringLiteral("space"), QStringLiteral("Return"), QStringLiteral("Return")});
        const bool stored = ImeSession::waitFor([&] { return files.sheet(row, kCol支払先名) == QVariant(QStringLiteral("電気")); }, kWaitMs);
        if (!stored)
            screenshot("payee");
        ASSERT_TRUE(stored) << "line " << row + 1 << (byTab ? " (by Tab)" : " (by a click)") << " holds " << files.sheet(row, kCol支払先名).toString().toStdString();
    }
    for (const QString& name : files.payees())
        EXPECT_EQ(name, QStringLiteral("電気")) << "registered besides 電気";
}

// A user who turns the input method on in an amount cell gets a composition; the
// composition that starts the edit lands whole (full-width digits count as digits).
TEST_F(RealInputMethod, AnAmountComposedAfterTheUserTurnedTheInputMethodOnLandsWhole)
{
    Files files(data_);
    toTop();
    for (int row = 0; row < kTimes / 2; ++row) {
        click(row, kCol支払額);
        ASSERT_TRUE(stateBecomes(kOff)) << "the input method is not off in the amount column, line " << row + 1;
        session_->runAsUser(QStringLiteral("fcitx5-remote"), {QStringLiteral("-o")});
        ASSERT_TRUE(stateBecomes(kOn)) << "the input method did not come on, line " << row + 1;
        type(QStringLiteral("300"));
        keys({QStringLiteral("Return"), QStringLiteral("Return")});
        const bool stored = ImeSession::waitFor([&] { return files.sheet(row, kCol支払額) == QVariant(qlonglong(300) * 10000); }, kWaitMs);
        if (!stored)
            screenshot("composed-amount");
        ASSERT_TRUE(stored) << "line " << row + 1 << " holds " << files.sheet(row, kCol支払額).toString().toStdString();
    }
}
