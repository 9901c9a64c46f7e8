#include "YearMonthEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

// A window with a control before the field and one after it.
class YearMonthEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&window_);
        before_ = new QLineEdit(&window_);
        before_->setObjectName(QStringLiteral("before"));
        field_ = new YearMonthEdit(&window_);
        field_->setObjectName(QStringLiteral("Dt年月"));
        after_ = new QLineEdit(&window_);
        after_->setObjectName(QStringLiteral("after"));
        layout->addWidget(before_);
        layout->addWidget(field_);
        layout->addWidget(after_);
        window_.show();
        window_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
        auto* found = window_.findChild<YearMonthEdit*>(QStringLiteral("Dt年月"));
        ASSERT_EQ(found, field_);
    }

    // Puts the focus in the field and replaces its text by typing.
    void type(const QString& text)
    {
        field_->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(field_->hasFocus());
        field_->selectAll();
        QTest::keyClick(field_, Qt::Key_Backspace);
        if (!text.isEmpty())
            QTest::sendKeyEvent(QTest::Click, field_, Qt::Key_unknown, text, Qt::NoModifier);
        ASSERT_EQ(field_->text(), text);
    }

    QWidget window_;
    QLineEdit* before_ = nullptr;
    YearMonthEdit* field_ = nullptr;
    QLineEdit* after_ = nullptr;
};

TEST_F(YearMonthEditTest, EnterTakesTheMonthKeepsTheDayAndMovesOnWithOneAnnouncement)
{
    ASSERT_TRUE(field_->setFromText(QStringLiteral("20050331")));
    EXPECT_EQ(field_->text(), QStringLiteral("2005年03月"));
    QSignalSpy entered(field_, &YearMonthEdit::monthEntered);

    type(QStringLiteral("2005/02"));
    EXPECT_EQ(entered.count(), 0);
    QTest::keyClick(field_, Qt::Key_Return);
    EXPECT_TRUE(after_->hasFocus());
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(field_->date(), QDate(2005, 2, 28));
    EXPECT_EQ(field_->number(), QVariant(20050228));
    EXPECT_EQ(field_->text(), QStringLiteral("2005年02月"));

    // Down moves on as well; the clamped day stays.
    type(QStringLiteral("２００５年３月"));
    QTest::keyClick(field_, Qt::Key_Down);
    EXPECT_TRUE(after_->hasFocus());
    EXPECT_EQ(entered.count(), 2);
    EXPECT_EQ(field_->date(), QDate(2005, 3, 28));
}

TEST_F(YearMonthEditTest, EraPatternShowsAndReadsEraYears)
{
    field_->setEraPattern(true);
    ASSERT_TRUE(field_->setFromText(QStringLiteral("20190430")));
    EXPECT_EQ(field_->text(), QStringLiteral("平成 31年04月"));
    QSignalSpy entered(field_, &YearMonthEdit::monthEntered);

    type(QStringLiteral("令和元年5月"));
    QTest::keyClick(field_, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(after_->hasFocus());
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(field_->date(), QDate(2019, 5, 30));
    EXPECT_EQ(field_->text(), QStringLiteral("令和 01年05月"));

    field_->setEraPattern(false);
    EXPECT_EQ(field_->text(), QStringLiteral("2019年05月"));
}

TEST_F(YearMonthEditTest, UnreadableTextIsRefusedUntilCorrected)
{
    ASSERT_TRUE(field_->setFromText(QStringLiteral("20051115")));
    const QColor normalText = field_->palette().color(QPalette::Text);
    QSignalSpy entered(field_, &YearMonthEdit::monthEntered);

    type(QStringLiteral("2005/13"));
    QTest::keyClick(field_, Qt::Key_Return);
    EXPECT_TRUE(field_->hasFocus());
    EXPECT_EQ(entered.count(), 0);
    EXPECT_EQ(field_->date(), QDate(2005, 11, 15));
    EXPECT_EQ(field_->text(), QStringLiteral("2005/13"));
    EXPECT_TRUE(field_->isRefused());
    EXPECT_EQ(field_->palette().color(QPalette::Text), QColor(Qt::red));

    // Leaving with the refused text loads nothing either.
    after_->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(entered.count(), 0);
    EXPECT_EQ(field_->date(), QDate(2005, 11, 15));
    EXPECT_EQ(field_->text(), QStringLiteral("2005/13"));

    type(QStringLiteral("2005/12"));
    EXPECT_FALSE(field_->isRefused());
    QTest::keyClick(field_, Qt::Key_Up);
    EXPECT_TRUE(before_->hasFocus());
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(field_->date(), QDate(2005, 12, 15));
    EXPECT_EQ(field_->palette().color(QPalette::Text), normalText);
}

TEST_F(YearMonthEditTest, LeavingUnchangedAnnouncesButPopupsAndOtherWindowsDoNot)
{
    ASSERT_TRUE(field_->setFromText(QStringLiteral("20051115")));
    QSignalSpy entered(field_, &YearMonthEdit::monthEntered);
    field_->setFocus(Qt::MouseFocusReason);
    after_->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(field_->date(), QDate(2005, 11, 15));

    for (Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(field_, &out);
    }
    EXPECT_EQ(entered.count(), 1);
}

TEST_F(YearMonthEditTest, EmptyTextEmptiesTheFieldAndANewMonthStartsOnDayOne)
{
    ASSERT_TRUE(field_->setFromText(QStringLiteral("20051115")));
    QSignalSpy entered(field_, &YearMonthEdit::monthEntered);

    type(QString());
    QTest::keyClick(field_, Qt::Key_Return);
    EXPECT_TRUE(after_->hasFocus());
    EXPECT_EQ(entered.count(), 1);
    EXPECT_TRUE(field_->number().isNull());
    EXPECT_FALSE(field_->date().isValid());
    EXPECT_EQ(field_->text(), QString());

    type(QStringLiteral("H17/11"));
    QTest::keyClick(field_, Qt::Key_Return);
    EXPECT_EQ(entered.count(), 2);
    EXPECT_EQ(field_->number(), QVariant(20051101));
}

TEST_F(YearMonthEditTest, ValuesOutsideTheRangeAreRefused)
{
    ASSERT_TRUE(field_->setFromText(QStringLiteral("20991215")));
    EXPECT_FALSE(field_->setFromText(QStringLiteral("21000115")));
    EXPECT_FALSE(field_->setFromText(QStringLiteral("2005023")));
    EXPECT_FALSE(field_->setFromText(QStringLiteral("20050230")));
    EXPECT_FALSE(field_->setDate(QDate(1868, 9, 7)));
    EXPECT_EQ(field_->date(), QDate(2099, 12, 15));

    ASSERT_TRUE(field_->setFromText(QStringLiteral("18681001")));
    type(QStringLiteral("1868/09"));
    QTest::keyClick(field_, Qt::Key_Return);
    EXPECT_EQ(field_->date(), QDate(1868, 9, 8));

    ASSERT_TRUE(field_->setFromText(QString()));
    EXPECT_TRUE(field_->number().isNull());
}

} // namespace
