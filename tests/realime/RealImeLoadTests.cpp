// A fast typist on a loaded machine: the real program under a real Japanese input method
// (IBus with Mozc, fcitx5 with Mozc) while two busy loops keep both processors at work and
// the program's main thread runs at a low priority, as a sanitizer build's does while other
// builds run. Every key then comes to the program late and in bursts, and the input
// method's answer to a key may come back before the program has looked at it. Each figure
// and name the program stored, read back from its files, must be exactly what was typed.

#include "ImeProgram.h"
#include "SheetColumns.h"

#include <gtest/gtest.h>

#include <stop_token>
#include <thread>
#include <vector>

using namespace schedule;
using namespace realime;

namespace {

constexpr int kAmounts = 60;
constexpr int kNames = 20;
constexpr int kBusyLoops = 2;
// The program's main thread beside the busy loops: slowed down while the amounts are typed
// (their keys then come in bursts), held back further while the names are (a completion
// list then opens and closes between two keys).
constexpr int kAmountsNiceness = 10;
constexpr int kNamesNiceness = 19;
// How long a slowed program (a sanitizer build's above all) may take to store what was
// typed: a name, and the whole run of amounts, which is typed before the program is
// waited for. Only a wrong or missing value waits this long.
constexpr int kNameMs = 30000;
constexpr int kAllAmountsMs = 120000;

// Loops that keep the processors busy while they live (threads of the test, so that they
// end with it whatever happens).
class BusyLoops {
public:
    explicit BusyLoops(int count)
    {
        for (int i = 0; i < count; ++i)
            loops_.emplace_back([](const std::stop_token& stop) {
                while (!stop.stop_requested()) {
                }
            });
    }

private:
    std::vector<std::jthread> loops_;
};

// Eight different digits, never a zero first, shifting from line to line: a digit out of
// its place always shows in the stored figure.
QString amountTyped(int line)
{
    const QString digits = QStringLiteral("1234567890");
    const int first = line % 9;
    return (digits.mid(first) + digits.left(first)).left(8);
}

struct Name {
    const char* romaji;
    const char* stored; // Mozc's first conversion
};
// Each begins with a character of its own, so that a name in the wrong line always shows.
const Name kTypedNames[] = {{"denki", "電気"}, {"suidou", "水道"}, {"gasu", "ガス"}, {"yachin", "家賃"}, {"hoken", "保険"}};

const Name& nameTyped(int line)
{
    return kTypedNames[line % std::size(kTypedNames)];
}

// The cases of a framework on a busy machine.
template <ImeSession::Framework F>
class UnderLoad : public ProgramUnderInputMethod<F> {
protected:
    void typeNames();
    void typeAmounts();
};

class IBusMozcUnderLoad : public UnderLoad<ImeSession::Framework::IBus> {};
class Fcitx5MozcUnderLoad : public UnderLoad<ImeSession::Framework::Fcitx5> {};

} // namespace

// The names one by one, each composed, converted, committed and accepted with the input
// method on; the names repeat, as payees do in a month.
template <ImeSession::Framework F>
void UnderLoad<F>::typeNames()
{
    const BusyLoops load(kBusyLoops);
    ASSERT_TRUE(this->program_->slowMainThread(kNamesNiceness));
    Files files(this->data_);
    this->toTop();
    this->clickCell(0, kCol支払先名);
    ASSERT_TRUE(this->stateBecomes(kOn)) << "the input method is not on in the payee column";
    for (int line = 0; line < kNames; ++line) {
        const QString wanted = QString::fromUtf8(nameTyped(line).stored);
        this->type(QString::fromUtf8(nameTyped(line).romaji));
        this->keys({QStringLiteral("space"), QStringLiteral("Return"), QStringLiteral("Return")});
        const bool stored = ImeSession::waitFor([&] { return files.sheet(line, kCol支払先名) == QVariant(wanted); }, kNameMs);
        if (!stored)
            this->screenshot("names-under-load");
        ASSERT_TRUE(stored) << "line " << line + 1 << " holds " << files.sheet(line, kCol支払先名).toString().toStdString() << ", typed " << wanted.toStdString();
    }
}

// The amounts in one run with the input method off, each ended by Enter, without waiting
// for the program.
template <ImeSession::Framework F>
void UnderLoad<F>::typeAmounts()
{
    const BusyLoops load(kBusyLoops);
    ASSERT_TRUE(this->program_->slowMainThread(kAmountsNiceness));
    Files files(this->data_);
    this->toTop();
    this->clickCell(0, kCol予定額);
    ASSERT_TRUE(this->stateBecomes(kOff)) << "the input method is not off in the amount column";
    for (int line = 0; line < kAmounts; ++line) {
        this->type(amountTyped(line));
        this->keys({QStringLiteral("Return")});
    }
    const auto storedAt = [&](int line) { return files.sheet(line, kCol予定額) == QVariant(amountTyped(line).toLongLong() * 10000); };
    if (!ImeSession::waitFor([&] { return storedAt(kAmounts - 1); }, kAllAmountsMs))
        this->screenshot("amounts-under-load");
    for (int line = 0; line < kAmounts; ++line)
        EXPECT_TRUE(storedAt(line)) << "line " << line + 1 << " holds " << files.sheet(line, kCol予定額).toString().toStdString() << ", typed " << amountTyped(line).toStdString()
                                    << "0000";
}

TEST_F(IBusMozcUnderLoad, EveryAmountTypedQuicklyIsStoredExactly)
{
    typeAmounts();
}

TEST_F(IBusMozcUnderLoad, EveryNameTypedQuicklyIsStoredExactly)
{
    typeNames();
}

TEST_F(Fcitx5MozcUnderLoad, EveryAmountTypedQuicklyIsStoredExactly)
{
    typeAmounts();
}

TEST_F(Fcitx5MozcUnderLoad, EveryNameTypedQuicklyIsStoredExactly)
{
    typeNames();
}
