#include "AmountColor.h"
#include "AmountField.h"
#include "MessagePresenter.h"
#include "Msg.h"
#include "Twips.h"

#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <limits>

namespace {

// A field as wide as the month page's figures, on a window of its own, and a second
// control to take the focus.
struct FieldFixture {
    QWidget window;
    AmountField* field = new AmountField(&window);
    QLineEdit* other = new QLineEdit(&window);

    FieldFixture()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(field);
        layout->addWidget(other);
        field->setFixedWidth(twipsToPixels(1600));
        window.show();
        window.activateWindow();
        (void)QTest::qWaitForWindowExposed(&window);
        other->setFocus();
    }
    // Whether the whole shown text fits in the field in the font it is drawn with.
    bool fits() const { return QFontMetrics(field->font()).horizontalAdvance(field->text()) <= field->width() - 6; }
};

} // namespace

TEST(AmountField, EveryAmountIsShownWholeInTheFieldAndTheLargestTypedOneIsTheLargestShown)
{
    FieldFixture f;
    const qint64 largest = std::numeric_limits<qint64>::max();
    for (const qint64 units : {qint64(12'340'000), qint64(167'799) * 10000 * 100'000'000, largest, std::numeric_limits<qint64>::min()}) {
        f.field->setAmount(ledger::Amount::fromUnits(units));
        SCOPED_TRACE(f.field->text().toStdString());
        EXPECT_EQ(f.field->text(), ledger::Amount::fromUnits(units).format()) << "the figure is never cut";
        EXPECT_TRUE(f.fits());
        EXPECT_EQ(f.field->toolTip(), f.field->isShrunk() ? f.field->text() : QString());
    }
    EXPECT_TRUE(f.field->isShrunk()) << "the smallest amount needs the smaller type";
    // A short figure gets the field's own type back.
    const QFont own = f.field->font();
    f.field->setAmount(ledger::Amount::fromYen(5));
    EXPECT_FALSE(f.field->isShrunk());
    EXPECT_GT(f.field->font().pointSizeF(), own.pointSizeF());
    EXPECT_EQ(f.field->toolTip(), "");

    // The largest amount that can be typed (whole yen) is taken and shown whole.
    f.field->setFocus();
    f.field->clear();
    QTest::keyClicks(f.field, "922337203685477");
    f.other->setFocus();
    ASSERT_TRUE(f.field->amount());
    EXPECT_EQ(f.field->amount()->units(), largest - 5807);
    EXPECT_TRUE(f.fits());
}

TEST(AmountField, NegativeFiguresAreRedAndAnAmountPastTheLargestIsRefusedWithABox)
{
    FieldFixture f;
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg(presenter);
    f.field->setMessages(&msg);
    const QColor ordinary = f.field->palette().color(QPalette::Text);
    f.field->setAmount(ledger::Amount::fromYen(-1));
    EXPECT_EQ(f.field->palette().color(QPalette::Text), negativeAmountColor());
    f.field->setAmount(ledger::Amount::fromYen(1));
    EXPECT_EQ(f.field->palette().color(QPalette::Text), ordinary);

    QSignalSpy refused(f.field, &AmountField::amountRefused);
    f.field->setFocus();
    QTest::keyClicks(f.field, "922,337,203,685,478");
    f.other->setFocus();
    QTest::qWait(0);
    ASSERT_EQ(refused.size(), 1);
    ASSERT_EQ(presenter.shown().size(), 1u) << "one box for one refusal";
    EXPECT_EQ(presenter.shown()[0].text, messages::findMessage(messages::MsgId::入力_桁あふれ, "金額").text);
    EXPECT_EQ(f.field->amount(), ledger::Amount::fromYen(1)) << "the value stays";
    EXPECT_TRUE(f.field->hasFocus()) << "the field takes the focus back for correction";
    EXPECT_EQ(f.field->text(), "922,337,203,685,478") << "the typed text stays for correction";

    // Unreadable text is no amount past the range: no box.
    f.field->clear();
    QTest::keyClicks(f.field, "12x");
    f.other->setFocus();
    QTest::qWait(0);
    EXPECT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(refused.size(), 1);
}
