// The real program under a real Japanese input method (fcitx5 with Mozc, IBus with Mozc),
// typed into through the X server as a user types. What the program stored is read back
// from its files; the input method's state is read with fcitx5-remote, or from what IBus
// and Mozc announce on IBus's bus (quorel1-ibus-probe).

#include "GridView.h"
#include "ImeSession.h"
#include "MainWindowHarness.h"
#include "SheetColumns.h"
#include "YearMonthEdit.h"

#include <SQLiteCpp/SQLiteCpp.h>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <optional>

using namespace schedule;

namespace {

// Each case is repeated on this many lines; twice as many stay in sight under the menu bar.
constexpr int kTimes = 19;
constexpr int kWaitMs = 8000;
constexpr int kWidth = 1100;
constexpr int kHeight = 1000;
constexpr int kOff = ImeSession::kOff;
constexpr int kOn = ImeSession::kOn;
const QString kKeyboard = QStringLiteral("xkb:jp::jpn");
const QString kMozc = QStringLiteral("mozc-jp");

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
    QPoint yearMonth()
    {
        YearMonthEdit* field = harness_.yearMonth();
        return field->mapTo(&harness_.window(), field->rect().center());
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

// The program on its own data in a session: started, moved to the corner at the size the
// cell map assumes, and clicked and typed into.
class Program {
public:
    Program(ImeSession& session, const QString& data)
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
    ~Program()
    {
        if (process_) {
            process_->kill();
            process_->waitForFinished(5000);
        }
    }
    const QString& problem() const { return problem_; }
    void activate() { session_.display().run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window_}); }
    void clickAt(QPoint at)
    {
        session_.display().run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"), window_, QString::number(at.x()), QString::number(at.y()),
                                                            QStringLiteral("click"), QStringLiteral("1")});
    }
    void wheelUpAt(QPoint at, int notches)
    {
        session_.display().run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"), window_, QString::number(at.x()), QString::number(at.y()),
                                                            QStringLiteral("click"), QStringLiteral("--repeat"), QString::number(notches),
                                                            QStringLiteral("--delay"), QStringLiteral("5"), QStringLiteral("4")});
    }

private:
    ImeSession& session_;
    std::unique_ptr<QProcess> process_;
    QString window_;
    QString problem_;
};

// What every case does: click cells, type as a fast typist does, wait for the input method.
class Typist {
protected:
    void clickCell(int row, int column)
    {
        const std::optional<QPoint> centre = cells_.centre(row, column);
        ASSERT_TRUE(centre) << "line " << row + 1 << " is out of sight";
        program()->clickAt(*centre);
    }
    void type(const QString& text)
    {
        session()->display().run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("12"), text});
    }
    void keys(const QStringList& names)
    {
        for (const QString& name : names)
            session()->display().run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40"), name});
    }
    // Enter moves down a line, so an earlier case may have left the grid scrolled: the
    // grid is brought back to its top before cells are clicked by their place. The wheel
    // does it: a key goes through the input method and may arrive after the next click.
    void toTop()
    {
        const std::optional<QPoint> top = cells_.centre(0, kCol表示日付);
        ASSERT_TRUE(top);
        program()->wheelUpAt(*top, 40);
    }
    bool stateBecomes(int state) { return ImeSession::waitFor([&] { return session()->imState() == state; }, kWaitMs); }
    void screenshot(const char* name) { session()->display().saveScreenshot(QDir::tempPath() + QStringLiteral("/realime-%1.png").arg(QString::fromUtf8(name))); }

    virtual ImeSession* session() = 0;
    virtual Program* program() = 0;
    CellMap cells_;
};

// One session and one program for the cases of a framework. The user's input method is
// off when the program starts (IBus: the Japanese keyboard engine, and Mozc, once it
// runs, in direct input, as it starts).
template <ImeSession::Framework F>
class RealInputMethod : public ::testing::Test, protected Typist {
protected:
    static void SetUpTestSuite()
    {
        session_ = new ImeSession(F);
        if (!session_->problem().isEmpty())
            return;
        data_ = session_->home() + QStringLiteral("/data");
        program_ = new Program(*session_, data_);
    }
    static void TearDownTestSuite()
    {
        delete program_;
        delete session_;
        program_ = nullptr;
        session_ = nullptr;
    }
    void SetUp() override
    {
        // A machine where the input method cannot run fails here, saying why.
        ASSERT_TRUE(session_->problem().isEmpty()) << "the input method cannot start here: " << session_->problem().toStdString();
        ASSERT_TRUE(program_->problem().isEmpty()) << program_->problem().toStdString();
        ASSERT_TRUE(cells_.ok()) << "the window could not be laid out offscreen";
    }
    ImeSession* session() override { return session_; }
    Program* program() override { return program_; }

    static inline ImeSession* session_ = nullptr;
    static inline Program* program_ = nullptr;
    static inline QString data_;

    void amountsTypedWithTheInputMethodOff();
    void aPayeeComposedLandsWhole();
    void anAmountComposedAfterTurningOnLandsWhole();
};

class Fcitx5Mozc : public RealInputMethod<ImeSession::Framework::Fcitx5> {};
class IBusMozc : public RealInputMethod<ImeSession::Framework::IBus> {};

} // namespace

template <ImeSession::Framework F>
void RealInputMethod<F>::amountsTypedWithTheInputMethodOff()
{
    Files files(this->data_);
    this->toTop();
    // The payee column turns the input method on: the typing starts with it on.
    this->clickCell(0, kCol支払先名);
    ASSERT_TRUE(this->stateBecomes(kOn)) << "the input method is not on in the payee column";
    for (int row = 0; row < kTimes; ++row) {
        this->clickCell(row, kCol予定額);
        ASSERT_TRUE(this->stateBecomes(kOff)) << "the input method is not off in the amount column, line " << row + 1;
        this->type(QStringLiteral("12000"));
        this->keys({QStringLiteral("Return")});
        const bool stored = ImeSession::waitFor([&] { return files.sheet(row, kCol予定額) == QVariant(qlonglong(12000) * 10000); }, kWaitMs);
        if (!stored)
            this->screenshot("amount");
        ASSERT_TRUE(stored) << "line " << row + 1 << " holds " << files.sheet(row, kCol予定額).toString().toStdString();
    }
    this->clickCell(kTimes, kCol表示日付);
    EXPECT_TRUE(this->stateBecomes(kOff)) << "the input method is not off in the day column";
}

// The payee cell is reached by a click and by Tab from the day cell; either way no editor
// is open and the composition itself starts the edit.
template <ImeSession::Framework F>
void RealInputMethod<F>::aPayeeComposedLandsWhole()
{
    Files files(this->data_);
    this->toTop();
    for (int row = 0; row < 2 * kTimes; ++row) {
        const bool byTab = row >= kTimes;
        this->clickCell(row, kCol表示日付);
        ASSERT_TRUE(this->stateBecomes(kOff)) << "the input method is not off in the day column, line " << row + 1;
        if (byTab)
            this->keys({QStringLiteral("Tab")});
        else
            this->clickCell(row, kCol支払先名);
        ASSERT_TRUE(this->stateBecomes(kOn)) << "the input method is not on in the payee column, line " << row + 1;
        this->type(QStringLiteral("denki"));
        this->keys({QStringLiteral("space"), QStringLiteral("Return"), QStringLiteral("Return")});
        const bool stored = ImeSession::waitFor([&] { return files.sheet(row, kCol支払先名) == QVariant(QStringLiteral("電気")); }, kWaitMs);
        if (!stored)
            this->screenshot("payee");
        ASSERT_TRUE(stored) << "line " << row + 1 << (byTab ? " (by Tab)" : " (by a click)") << " holds " << files.sheet(row, kCol支払先名).toString().toStdString() << this->session_->log(QStringLiteral(QUOREL_PROGRAM)).toStdString();
    }
    for (const QString& name : files.payees())
        EXPECT_EQ(name, QStringLiteral("電気")) << "registered besides 電気";
}

// A user who turns the input method on in an amount cell gets a composition; the
// composition that starts the edit lands whole, once (full-width digits count as digits).
template <ImeSession::Framework F>
void RealInputMethod<F>::anAmountComposedAfterTurningOnLandsWhole()
{
    Files files(this->data_);
    this->toTop();
    for (int row = 0; row < kTimes / 2; ++row) {
        this->clickCell(row, kCol支払額);
        ASSERT_TRUE(this->stateBecomes(kOff)) << "the input method is not off in the amount column, line " << row + 1;
        ASSERT_TRUE(this->session_->turn(true)) << "the input method did not come on, line " << row + 1;
        this->type(QStringLiteral("12000"));
        this->keys({QStringLiteral("Return"), QStringLiteral("Return")});
        const bool stored = ImeSession::waitFor([&] { return files.sheet(row, kCol支払額) == QVariant(qlonglong(12000) * 10000); }, kWaitMs);
        if (!stored)
            this->screenshot("composed-amount");
        ASSERT_TRUE(stored) << "line " << row + 1 << " holds " << files.sheet(row, kCol支払額).toString().toStdString();
    }
}

TEST_F(Fcitx5Mozc, AmountsTypedWithTheInputMethodOnAreStoredWithOneEnterAndItIsOffThere)
{
    amountsTypedWithTheInputMethodOff();
}

TEST_F(IBusMozc, AmountsTypedWithTheInputMethodOnAreStoredWithOneEnterAndItIsOffThere)
{
    amountsTypedWithTheInputMethodOff();
}

TEST_F(Fcitx5Mozc, APayeeComposedWithTheInputMethodLandsWholeAndNothingElseIsRegistered)
{
    aPayeeComposedLandsWhole();
}

TEST_F(IBusMozc, APayeeComposedWithTheInputMethodLandsWholeAndNothingElseIsRegistered)
{
    aPayeeComposedLandsWhole();
}

TEST_F(Fcitx5Mozc, AnAmountComposedAfterTheUserTurnedTheInputMethodOnLandsWhole)
{
    anAmountComposedAfterTurningOnLandsWhole();
}

TEST_F(IBusMozc, AnAmountComposedAfterTheUserTurnedTheInputMethodOnLandsWhole)
{
    anAmountComposedAfterTurningOnLandsWhole();
}

namespace {

// IBus from the first focus, whatever the user's setup and state when the program starts:
// each case starts the program afresh, so that it has seen nothing of IBus before.
class IBusFromTheFirstFocus : public ::testing::Test, protected Typist {
protected:
    static void SetUpTestSuite() { session_ = new ImeSession(ImeSession::Framework::IBus); }
    static void TearDownTestSuite()
    {
        delete session_;
        session_ = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(session_->problem().isEmpty()) << "IBus cannot start here: " << session_->problem().toStdString();
        ASSERT_TRUE(cells_.ok()) << "the window could not be laid out offscreen";
    }
    ImeSession* session() override { return session_; }
    Program* program() override { return program_.get(); }

    // Sets the user's engines and state, starts the program and goes through its columns
    // and its year-month field; then another program takes the focus.
    void followTheColumns(const QStringList& engines, const QString& engine, bool on)
    {
        ASSERT_TRUE(session_->setUserEngines(engines));
        // Mozc runs and has its mode; the user's engine is the one given.
        ASSERT_TRUE(session_->setEngine(kMozc)) << session_->ibusLog().toStdString();
        ASSERT_TRUE(session_->turn(on)) << session_->ibusLog().toStdString();
        ASSERT_TRUE(session_->setEngine(engine)) << session_->ibusLog().toStdString();
        ASSERT_EQ(session_->imState(), on ? kOn : kOff);
        const QString mode = session_->mode();

        const QString data = session_->home() + QStringLiteral("/data-%1").arg(++started_);
        program_ = std::make_unique<Program>(*session_, data);
        ASSERT_TRUE(program_->problem().isEmpty()) << program_->problem().toStdString();
        Files files(data);

        program_->clickAt(cells_.yearMonth());
        EXPECT_TRUE(stateBecomes(kOff)) << "the input method is not off in the year-month field";
        clickCell(0, kCol支払先名);
        EXPECT_TRUE(stateBecomes(kOn)) << "the input method is not on in the payee column";
        clickCell(0, kCol予定額);
        EXPECT_TRUE(stateBecomes(kOff)) << "the input method is not off in the amount column";
        clickCell(1, kCol支払先名);
        EXPECT_TRUE(stateBecomes(kOn)) << "the input method is not on again in the payee column";
        clickCell(1, kCol表示日付);
        EXPECT_TRUE(stateBecomes(kOff)) << "the input method is not off in the day column";
        // What the states are for: Japanese in the payee column, digits in the amounts.
        keys({QStringLiteral("Tab")});
        ASSERT_TRUE(stateBecomes(kOn)) << "the input method is not on in the payee column after Tab";
        type(QStringLiteral("denki"));
        keys({QStringLiteral("space"), QStringLiteral("Return"), QStringLiteral("Tab")});
        ASSERT_TRUE(stateBecomes(kOff)) << "the input method is not off in the amount column after Tab";
        type(QStringLiteral("12000"));
        keys({QStringLiteral("Return")});
        EXPECT_TRUE(ImeSession::waitFor([&] { return files.sheet(1, kCol予定額) == QVariant(qlonglong(12000) * 10000); }, kWaitMs))
            << "the amount holds " << files.sheet(1, kCol予定額).toString().toStdString();
        EXPECT_EQ(files.sheet(1, kCol支払先名).toString(), QStringLiteral("電気")) << session_->log(QStringLiteral(QUOREL_PROGRAM)).toStdString();

        // Another program takes the focus: the user's own engine and mode come back.
        clickCell(2, kCol支払先名);
        ASSERT_TRUE(stateBecomes(kOn));
        // xmessage does not name its process on its window: it is found by its title.
        auto other = session_->startAsUser(QStringLiteral("xmessage"), {QStringLiteral("-title"), QStringLiteral("another-program"), QStringLiteral("another program")});
        QString window;
        ASSERT_TRUE(ImeSession::waitFor([&] {
            window = session_->display().run(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^another-program$")}).section(u'\n', 0, 0).trimmed();
            return !window.isEmpty();
        }, 20000)) << "xmessage showed no window";
        session_->display().run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        EXPECT_TRUE(ImeSession::waitFor([&] { return session_->engine() == engine && session_->mode() == mode; }, kWaitMs))
            << "the user had " << engine.toStdString() << " " << mode.toStdString() << ", IBus has " << session_->engine().toStdString() << " "
            << session_->mode().toStdString();
        // Back in the program, the column's state holds again.
        program_->activate();
        EXPECT_TRUE(stateBecomes(kOn)) << "the input method is not on in the payee column when the program is back";
        other->kill();
        other->waitForFinished(5000);
        program_.reset();
    }

    static inline ImeSession* session_ = nullptr;
    static inline int started_ = 0;
    std::unique_ptr<Program> program_;
};

} // namespace

// Mozc alone, toggled with 半角/全角: the engine stays Mozc and its mode follows the column.
TEST_F(IBusFromTheFirstFocus, OneEngineStartedOff)
{
    followTheColumns({kMozc}, kMozc, false);
}

TEST_F(IBusFromTheFirstFocus, OneEngineStartedOn)
{
    followTheColumns({kMozc}, kMozc, true);
}

// The keyboard and Mozc: started on the keyboard engine, the program turns to Mozc (left in
// direct input, as it starts the first time) and then to its Hiragana mode.
TEST_F(IBusFromTheFirstFocus, TwoEnginesStartedOff)
{
    followTheColumns({kKeyboard, kMozc}, kKeyboard, false);
}

TEST_F(IBusFromTheFirstFocus, TwoEnginesStartedOn)
{
    followTheColumns({kKeyboard, kMozc}, kMozc, true);
}
