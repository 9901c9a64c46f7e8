// Typed work that is not registered yet is never dropped without asking: a month step,
// 読込 (F5) and closing the window ask first; はい registers and goes on, いいえ drops the
// typing and goes on, キャンセル stays with the typing on screen.
#include "ProgramUnderX.h"
#include "RealInputSeeds.h"
#include "SheetLayout.h"

#include <gtest/gtest.h>

using layout::Column;

namespace {

constexpr int kQuestionTimeoutMs = 5000;

class UnsavedWork : public ::testing::Test {
protected:
    void SetUp() override
    {
        realinput::seedJanuary2006(data_);
        program_ = std::make_unique<ProgramUnderX>(data_.path());
        ASSERT_TRUE(program_->problem().isEmpty()) << program_->problem().toStdString();
        ASSERT_TRUE(realinput::loadMonth(*program_, QStringLiteral("200601")));
    }

    void TearDown() override
    {
        if (HasFailure() && program_)
            std::cerr << "screenshot: " << program_->screenshot(QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())).toStdString() << "\n";
    }

    // Types an amount into the 予定額 cell of a line (reached from its payee cell) and Enter.
    bool typeScheduled(int row, const char* amount)
    {
        Input input;
        input.click(layout::cell(row, Column::Payee)).key(QStringLiteral("Right")).type(QString::fromUtf8(amount)).key(QStringLiteral("Return"));
        return program_->send(input);
    }

    // The command's keys, then the question it must raise, answered with answerKeys.
    ::testing::AssertionResult askedAndAnswered(const char* commandKeys, const char* answerKeys)
    {
        if (!program_->key(QString::fromUtf8(commandKeys)))
            return ::testing::AssertionFailure() << "xdotool could not press " << commandKeys;
        const auto question = program_->waitForAnyDialog(kQuestionTimeoutMs);
        if (!question)
            return ::testing::AssertionFailure() << commandKeys << " with unregistered typing asked nothing";
        if (!program_->answer(*question, QString::fromUtf8(answerKeys)))
            return ::testing::AssertionFailure() << "the question did not go away on " << answerKeys;
        return ::testing::AssertionSuccess();
    }

    std::vector<realinput::Line> january(int row, qint64 scheduled)
    {
        std::vector<realinput::Line> lines = realinput::january2006();
        lines[row].scheduled = scheduled;
        return lines;
    }

    TempDataDir data_;
    std::unique_ptr<ProgramUnderX> program_;
};

} // namespace

TEST_F(UnsavedWork, MonthStepAsksAndNoDropsTheTypingAndMovesOn)
{
    ASSERT_TRUE(typeScheduled(1, "777"));
    ASSERT_TRUE(askedAndAnswered("alt+Right", "alt+n"));
    ASSERT_TRUE(program_->waitForMainFocus());
    // The sheet now holds 2006年02月: a line typed there is stored in February.
    Input february;
    february.click(layout::cell(0, Column::Payee)).keys({"<Left>", "3", "<Tab>", "Kilo", "<Tab>", "100", "<Return>"});
    ASSERT_TRUE(program_->send(february));
    ASSERT_TRUE(program_->registerMonth());
    EXPECT_EQ(realinput::storedLines(data_, "2006-01").toStdString(), realinput::describe(realinput::january2006()).toStdString());
    EXPECT_EQ(realinput::storedLines(data_, "2006-02").toStdString(), realinput::describe({{1, "2006-02-03", "Kilo", 100, 0}}).toStdString());
}

TEST_F(UnsavedWork, ReloadAsksAndCancelKeepsTheTypingOnScreen)
{
    ASSERT_TRUE(typeScheduled(2, "888"));
    ASSERT_TRUE(askedAndAnswered("F5", "Escape"));
    ASSERT_TRUE(program_->waitForMainFocus());
    ASSERT_TRUE(program_->registerMonth());
    EXPECT_EQ(realinput::storedLines(data_, "2006-01").toStdString(), realinput::describe(january(2, 888)).toStdString());
}

TEST_F(UnsavedWork, ClosingTheWindowAsksAndYesRegistersBeforeClosing)
{
    ASSERT_TRUE(typeScheduled(0, "999"));
    ASSERT_TRUE(askedAndAnswered("alt+F4", "alt+y"));
    ASSERT_TRUE(program_->waitForExit()) << "the program did not end after はい";
    EXPECT_EQ(realinput::storedLines(data_, "2006-01").toStdString(), realinput::describe(january(0, 999)).toStdString());
}

// The menu bar from the keyboard: Alt+F opens ファイル, the underlined letter runs the command.
TEST_F(UnsavedWork, TheFileMenuOpenedByKeysAsksBeforeReadingAndRegistersOnItsLetter)
{
    ASSERT_TRUE(typeScheduled(2, "888"));
    Input read;
    read.key(QStringLiteral("alt+f")).key(QStringLiteral("l"));
    ASSERT_TRUE(program_->send(read));
    const auto question = program_->waitForAnyDialog(kQuestionTimeoutMs);
    ASSERT_TRUE(question) << "読込 from the menu with unregistered typing asked nothing";
    ASSERT_TRUE(program_->answer(*question, QStringLiteral("Escape")));
    ASSERT_TRUE(program_->waitForMainFocus());
    Input enter;
    enter.key(QStringLiteral("alt+f")).key(QStringLiteral("s"));
    ASSERT_TRUE(program_->send(enter));
    const auto confirm = program_->waitForDialog(QStringLiteral("登録の確認"));
    ASSERT_TRUE(confirm) << "登録 from the menu asked nothing";
    ASSERT_TRUE(program_->answer(*confirm, QStringLiteral("alt+y")));
    ASSERT_TRUE(program_->waitUntilIdle());
    EXPECT_EQ(realinput::storedLines(data_, "2006-01").toStdString(), realinput::describe(january(2, 888)).toStdString());
}
