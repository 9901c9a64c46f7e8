#include "ColorDialogAnswer.h"
#include "Msg.h"
#include "Session.h"
#include "SettingsPage.h"
#include "TempDataDir.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Page {
    Page()
        : session(store::Session::open(dir.path()))
        , msg(presenter)
        , context{*session, msg}
        , page(context)
    {
        page.Read設定();
        page.FormInit();
        page.show();
        page.activateWindow();
        (void)QTest::qWaitForWindowActive(&page);
    }
    template <class T>
    T* find(const char* name) { return page.findChild<T*>(QString::fromUtf8(name)); }
    QColor swatch() { return find<QFrame>("Pic罫線色")->palette().color(QPalette::Window); }

    TempDataDir dir;
    std::unique_ptr<store::Session> session;
    messages::ScriptedMessagePresenter presenter;
    messages::Msg msg;
    PageContext context;
    settings::SettingsPage page;
};

} // namespace

TEST(SettingsPage, EraListRefusesEveryKeyOnItAndInItsOpenList)
{
    Page p;
    auto* era = p.find<QComboBox>("cmb年号");
    ASSERT_EQ(era->currentText(), "西暦");
    era->setFocus();
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_End, Qt::Key_PageDown, Qt::Key_W, Qt::Key_F4})
        QTest::keyClick(era, key);
    QTest::keyClick(era, Qt::Key_Down, Qt::AltModifier);
    QTest::sendKeyEvent(QTest::Click, era, Qt::Key_unknown, "和", Qt::NoModifier);
    EXPECT_EQ(era->currentText(), "西暦");
    EXPECT_FALSE(era->view()->isVisible()) << "no key opens the list";

    // With the list open (by the mouse), keys in it choose nothing either; Escape closes it.
    era->setCurrentIndex(1);
    era->showPopup();
    QAbstractItemView* list = era->view();
    ASSERT_TRUE(list->isVisible());
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(era->currentText(), "和暦");
    EXPECT_TRUE(list->isVisible());
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(era->currentText(), "和暦");
}

TEST(SettingsPage, DoubleClickOnTheSwatchTakesTheChosenColourAndCancelChangesNothing)
{
    Page p;
    auto* swatch = p.find<QFrame>("Pic罫線色");
    auto* number = p.find<QLineEdit>("num白紙罫線色");
    EXPECT_EQ(swatch->toolTip(), "ここをダブルクリックして色を指定");
    EXPECT_EQ(number->text(), "0");
    EXPECT_EQ(p.swatch(), QColor(Qt::black));

    answerNextColorDialog([](QColorDialog& dialog) {
        dialog.setCurrentColor(QColor(255, 0, 0));
        dialog.accept();
    });
    QTest::mouseDClick(swatch, Qt::LeftButton);
    EXPECT_EQ(number->text(), "255");
    EXPECT_EQ(p.swatch(), QColor(255, 0, 0));

    answerNextColorDialog([](QColorDialog& dialog) {
        dialog.setCurrentColor(QColor(0, 0, 255));
        dialog.reject();
    });
    QTest::mouseDClick(swatch, Qt::LeftButton);
    EXPECT_EQ(number->text(), "255");
    EXPECT_EQ(p.swatch(), QColor(255, 0, 0));
    // Choosing a colour stores nothing and leaves the print colour alone.
    EXPECT_EQ(p.session->settings.gLineColor1, 0);
    EXPECT_TRUE(p.presenter.shown().empty());
}
