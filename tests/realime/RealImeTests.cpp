// The real program under a real Japanese input method (fcitx5 with Mozc, IBus with Mozc),
// typed into through the X server as a user types. What the program stored is read back
// from its files; the input method's state is read with fcitx5-remote, or from what IBus
// and Mozc announce on IBus's bus (quorel1-ibus-probe).

#include "ImeProgram.h"
#include "SheetColumns.h"

#include <gtest/gtest.h>

using namespace schedule;
using namespace realime;

namespace {

// Each case is repeated on this many lines; twice as many stay in sight under the menu bar.
constexpr int kTimes = 19;
const QString kKeyboard = QStringLiteral("xkb:jp::jpn");
const QString kMozc = QStringLiteral("mozc-jp");

// The cases of a framework on a quiet machine.
template <ImeSession::Framework F>
class RealInputMethod : public ProgramUnderInputMethod<F> {
protected:
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
        if (!sessionIsUp(*session_))
            GTEST_SKIP() << "IBus did not come up: " << session_->problem().toStdString();
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
