#include "InputMethodSwitch.h"
#include "YearMonthEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <functional>

#include <gtest/gtest.h>

namespace {

// An input method whose state the test holds; answers come back at once. Shared, its
// state serves every window (as IBus's global engine does).
struct FakeInputMethod {
    InputMethodControl::State state = InputMethodControl::State::On;
    std::vector<bool> sent;
    bool shared = false;
};

class RecordingControl : public InputMethodControl {
public:
    explicit RecordingControl(FakeInputMethod* im)
        : im_(im)
    {
    }
    void query(std::function<void(State)> answer) override { answer(im_->state); }
    void setOpen(bool open) override
    {
        im_->sent.push_back(open);
        im_->state = open ? State::On : State::Off;
    }
    bool sharedByWindows() const override { return im_->shared; }

private:
    FakeInputMethod* im_;
};

struct Form {
    explicit Form(bool shared)
        : Form()
    {
        im.shared = shared;
    }
    FakeInputMethod im;
    QWidget window;
    QWidget* area = new QWidget(&window);       // the widget that wants a state
    QLineEdit* inner = new QLineEdit(area);     // an editor inside it
    QLineEdit* other = new QLineEdit(&window);  // another control of the program
    YearMonthEdit* month;

    Form()
    {
        InputMethodSwitch::setControlFactory([this] { return std::make_unique<RecordingControl>(&im); });
        month = new YearMonthEdit(&window);
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* w : {area, static_cast<QWidget*>(other), static_cast<QWidget*>(month)})
            layout->addWidget(w);
        new QVBoxLayout(area);
        area->layout()->addWidget(inner);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        other->setFocus();
    }
    ~Form() { InputMethodSwitch::setControlFactory([] { return InputMethodControl::forPlatform(); }); }
};

} // namespace

TEST(InputMethodSwitch, HoldsTheWantedStateWhileTheFocusIsInsideAndGivesTheUsersBack)
{
    Form f;
    InputMethodSwitch* control = InputMethodSwitch::of(f.area);
    EXPECT_EQ(InputMethodSwitch::of(f.area), control); // one switch per widget
    control->setWanted(false);
    EXPECT_TRUE(f.im.sent.empty()); // the focus is elsewhere: nothing is switched

    f.inner->setFocus();
    EXPECT_EQ(f.im.sent, std::vector<bool>{false});
    f.im.state = InputMethodControl::State::On; // the user turns it on by hand
    control->setWanted(false);                  // said again: sent again
    control->setWanted(true);
    EXPECT_EQ(f.im.sent, (std::vector<bool>{false, false, true}));
    control->setWanted(false);
    f.area->setFocus(); // still inside: nothing sent
    EXPECT_EQ(f.im.sent, (std::vector<bool>{false, false, true, false}));

    // Leaving gives back the state the user had on coming in (on).
    f.other->setFocus();
    EXPECT_EQ(f.im.sent, (std::vector<bool>{false, false, true, false, true}));
    EXPECT_EQ(f.im.state, InputMethodControl::State::On);

    // The year-month field wants it off, and gives the user's state back in turn.
    f.im.sent.clear();
    f.month->setFocus();
    f.other->setFocus();
    EXPECT_EQ(f.im.sent, (std::vector<bool>{false, true}));

    // A user who had it off finds it off again; with the state unknown nothing is given back.
    f.im.sent.clear();
    f.im.state = InputMethodControl::State::Off;
    control->setWanted(true);
    f.inner->setFocus();
    f.other->setFocus();
    EXPECT_EQ(f.im.sent, (std::vector<bool>{true, false}));
    f.im.sent.clear();
    f.im.state = InputMethodControl::State::Unknown;
    f.inner->setFocus();
    f.other->setFocus();
    EXPECT_EQ(f.im.sent, std::vector<bool>{true});
}

// Between two switched widgets the user's setting stays kept: it is given back when the
// focus leaves them both, and never in between.
TEST(InputMethodSwitch, MovingBetweenSwitchedWidgetsKeepsTheUsersSettingUntilTheFocusLeavesThem)
{
    Form f;
    InputMethodSwitch::of(f.area)->setWanted(false);
    f.im.state = InputMethodControl::State::On;
    f.inner->setFocus();
    f.month->setFocus();
    f.inner->setFocus();
    EXPECT_EQ(f.im.sent, (std::vector<bool>{false, false, false}));
    f.other->setFocus();
    EXPECT_EQ(f.im.sent, (std::vector<bool>{false, false, false, true}));
}

// The user's setting goes back to an input method whose state every window shares only when
// no window of the program has the focus (another program took it; the real-input-method
// suite shows that case). No focused widget while a window of the program keeps the focus
// gives nothing back, shared or not: a completion list that has just closed keeps the
// focus so until the window system's word comes; the widget's state is told again when the
// focus is back in it.
TEST(InputMethodSwitch, NoFocusedWidgetWhileAWindowOfTheProgramHasTheFocusGivesNothingBack)
{
    struct Case {
        const char* how;
        std::function<void(Form&)> loseTheFocusedWidget;
    };
    QWindow bare; // a window of the program without widgets, as a closed pop-up's is then
    bare.resize(40, 40);
    const Case cases[] = {
        {"focus cleared", [](Form& f) { f.inner->clearFocus(); }},
        {"another window of the program", [&](Form& f) {
             bare.show();
             bare.requestActivate();
             EXPECT_TRUE(QTest::qWaitForWindowActive(&bare));
             EXPECT_EQ(QApplication::focusWidget(), nullptr);
             f.window.activateWindow();
             EXPECT_TRUE(QTest::qWaitForWindowActive(&f.window));
         }},
    };
    for (const Case& c : cases) {
        for (const bool shared : {true, false}) {
            Form f(shared);
            InputMethodSwitch::of(f.area)->setWanted(true);
            f.im.state = InputMethodControl::State::Off;
            f.inner->setFocus();
            c.loseTheFocusedWidget(f);
            f.inner->setFocus();
            EXPECT_EQ(f.im.sent, (std::vector<bool>{true, true})) << c.how << (shared ? ", shared" : ", per window");
        }
    }
}
