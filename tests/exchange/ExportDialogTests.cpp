#include "ExportDialog.h"
#include "YearMonthEdit.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace exchange;

namespace {

void typeInto(YearMonthEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, text, Qt::NoModifier);
}

} // namespace

TEST(ExportDialog, TheRangeTakesMonthsTypedAsTheYearMonthFieldDoes)
{
    ExportDialog dialog(QDate(2026, 11, 15));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* from = dialog.findChild<YearMonthEdit*>("dt開始");
    auto* to = dialog.findChild<YearMonthEdit*>("dt終了");
    ASSERT_TRUE(from && to);
    EXPECT_EQ(from->date(), QDate(2026, 11, 1));
    QPushButton* ok = dialog.findChild<QDialogButtonBox*>("buttons")->button(QDialogButtonBox::Ok);
    dialog.findChild<QRadioButton*>("opt範囲")->click();

    // Typed and confirmed with Enter, or typed and left unconfirmed when OK is pressed.
    typeInto(from, "2026/12");
    QTest::keyClick(from, Qt::Key_Return);
    EXPECT_EQ(from->text(), "2026年12月");
    typeInto(to, "2026/10");
    EXPECT_FALSE(ok->isEnabled()) << "a range that ends before it starts";
    typeInto(to, "202702");
    EXPECT_TRUE(ok->isEnabled());
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.choice().from, QDate(2026, 12, 1));
    EXPECT_EQ(dialog.choice().to, QDate(2027, 2, 1));

    // A text that is no month stays in its field for correction and the dialog stays open.
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    typeInto(from, "12月ごろ");
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(from->isRefused());
    typeInto(from, "令和9年1月");
    ok->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.choice().from, QDate(2027, 1, 1));
}
