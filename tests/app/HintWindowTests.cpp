#include "MainWindow.h"
#include "HintWindow.h"
#include "MainWindowHarness.h"
#include "Sql.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

namespace {

// The top-level window named "Hint"; there is never more than one.
QWidget* hintWindow()
{
    QWidget* found = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("Hint")) {
            EXPECT_EQ(found, nullptr) << "two hint windows";
            found = widget;
        }
    }
    return found;
}

// The main window of one run on a fresh data folder, with the hint window's controls.
struct HintRun : MainWindowHarness {
    HintRun() { start(); }
    void pressHint(const char* name, Page page)
    {
        showPage(page);
        click(name);
    }
    std::vector<store::Row> rows() { return store::queryRows(workDb(), "SELECT CtlName, FormTitle, Contents FROM ClHint ORDER BY rowid"); }
    static QString label(const char* name) { return hintWindow()->findChild<QLabel*>(QString::fromUtf8(name))->text(); }
    static QPlainTextEdit* box() { return hintWindow()->findChild<QPlainTextEdit*>("txtContents"); }
    static QPushButton* button(const char* name) { return hintWindow()->findChild<QPushButton*>(QString::fromUtf8(name)); }
    static void clickHint(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    static qint64 colour(const char* name) { return hints::valueOfColour(button(name)->palette().color(QPalette::Button)); }
};

} // namespace

TEST(HintWindowOfMainWindow, OpensPerButtonSavesReopensAndOnlyRaisesWhileOpen)
{
    HintRun run;
    ASSERT_TRUE(run.outcome().window);
    run.window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&run.window()));
    EXPECT_EQ(hintWindow(), nullptr);

    // First press with nothing stored: the key in the labels, editing off, nothing written.
    run.pressHint("cmdHint1", MainWindowHarness::Payees);
    ASSERT_NE(hintWindow(), nullptr);
    EXPECT_TRUE(hintWindow()->isVisible());
    EXPECT_EQ(hintWindow()->windowTitle(), QStringLiteral("ヒント        "));
    EXPECT_EQ(hintWindow()->parentWidget(), nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(run.label("lblFormName"), "FrmQuorel1");
    EXPECT_EQ(run.label("lblCtlName"), "cmdHint1");
    EXPECT_EQ(run.label("lblFormTitle"), run.window().windowTitle());
    EXPECT_EQ(run.box()->toPlainText(), "");
    EXPECT_TRUE(run.box()->isReadOnly());
    for (const char* name : {"cmd編集", "cmd登録", "cmd削除", "cmdクリア", "cmd閉じる"})
        EXPECT_EQ(run.colour(name), 13488593) << name;
    EXPECT_TRUE(run.rows().empty());

    // Two presses of 編集: on, then off again; typing reaches the box only while on.
    run.clickHint("cmd編集");
    EXPECT_EQ(run.colour("cmd編集"), 8421631);
    EXPECT_FALSE(run.box()->isReadOnly());
    run.clickHint("cmd編集");
    EXPECT_EQ(run.colour("cmd編集"), 13488593);
    QTest::keyClicks(run.box(), "lost");
    EXPECT_EQ(run.box()->toPlainText(), "");

    // Write, save, close, press again: the text is back and editing is off.
    run.clickHint("cmd編集");
    QTest::keyClicks(run.box(), "first");
    QTest::keyClick(run.box(), Qt::Key_Return);
    QTest::sendKeyEvent(QTest::Click, run.box(), Qt::Key_unknown, QStringLiteral("支払先の説明"), Qt::NoModifier);
    run.clickHint("cmd登録");
    run.clickHint("cmd閉じる");
    EXPECT_FALSE(hintWindow()->isVisible());
    run.pressHint("cmdHint1", MainWindowHarness::Payees);
    EXPECT_EQ(run.box()->toPlainText(), QStringLiteral("first\n支払先の説明"));
    EXPECT_EQ(run.colour("cmd編集"), 13488593);
    EXPECT_TRUE(run.box()->isReadOnly());

    // Saving twice leaves one row for the key, with the later text.
    run.clickHint("cmd編集");
    QTest::keyClicks(run.box(), "2nd ");
    run.clickHint("cmd登録");
    auto rows = run.rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toString(), "cmdHint1");
    EXPECT_EQ(rows[0][1].toString(), run.window().windowTitle());
    EXPECT_EQ(rows[0][2].toString(), QStringLiteral("2nd first\n支払先の説明"));
    EXPECT_EQ(run.presenter.shown().size(), 4u); // question and notice, twice

    // Another page's button while open: the window keeps its key, text and editing state,
    // and saves to its own key.
    run.clickHint("cmdクリア");
    QTest::keyClicks(run.box(), "payees");
    run.pressHint("cmdHint2", MainWindowHarness::Settings);
    EXPECT_TRUE(hintWindow()->isVisible());
    EXPECT_EQ(run.label("lblCtlName"), "cmdHint1");
    EXPECT_EQ(run.box()->toPlainText(), "payees");
    EXPECT_FALSE(run.box()->isReadOnly());
    run.clickHint("cmd登録");
    rows = run.rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][2].toString(), "payees");

    // Once closed, the next press loads the key of the button pressed then.
    run.clickHint("cmd閉じる");
    run.pressHint("cmdHint", MainWindowHarness::Schedule);
    EXPECT_EQ(run.label("lblCtlName"), "cmdHint");
    EXPECT_EQ(run.box()->toPlainText(), "");
}

TEST(HintWindowOfMainWindow, ClosesWithTheMainWindow)
{
    {
        HintRun run;
        ASSERT_TRUE(run.outcome().window);
        run.window().show();
        run.pressHint("cmdHint2", MainWindowHarness::Settings);
        ASSERT_TRUE(hintWindow()->isVisible());
        EXPECT_TRUE(run.window().close()); // the window's own close, as from its title bar
        EXPECT_FALSE(hintWindow()->isVisible());
    }
    EXPECT_EQ(hintWindow(), nullptr);

    HintRun run;
    ASSERT_TRUE(run.outcome().window);
    run.window().show();
    run.pressHint("cmdHint", MainWindowHarness::Schedule);
    ASSERT_TRUE(hintWindow()->isVisible());
    run.click("cmd履歴閉じる");
    EXPECT_FALSE(run.window().isVisible());
    EXPECT_FALSE(hintWindow()->isVisible());
}
