#include "InputOrder.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A window with one line edit that has the focus, typed into and clicked through the window
// as the window system does (spontaneous events to the window).
struct TypedWindow {
    QWidget window;
    QLineEdit* line = new QLineEdit(&window);

    TypedWindow()
    {
        new QVBoxLayout(&window);
        window.layout()->addWidget(line);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        line->setFocus();
    }
    QWindow* handle() { return window.windowHandle(); }
    // What the input method sends of its own arrives queued, as its D-Bus signals do.
    void commitQueued(const QString& text)
    {
        QMetaObject::invokeMethod(line, [this, text] {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QCoreApplication::sendEvent(line, &commit);
        }, Qt::QueuedConnection);
    }
};

// The line's text at the moment the first event of a type reaches it.
class TextAtInput : public QObject {
public:
    TextAtInput(QLineEdit* line, QEvent::Type type)
        : line_(line)
        , type_(type)
    {
        line->installEventFilter(this);
    }
    QString seen;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == type_ && seen.isNull())
            seen = line_->text();
        return false;
    }

private:
    QLineEdit* line_;
    QEvent::Type type_;
};

} // namespace

// The input method commits 電 (queued); the next key or button the user gives reaches the
// line edit after it.
TEST(InputOrder, TextCommittedBeforeAKeyOrAButtonIsInPlaceWhenItArrives)
{
    InputOrder order(qApp);
    struct Case {
        QEvent::Type type;
        std::function<void(TypedWindow&)> input;
    };
    const Case cases[] = {
        {QEvent::KeyPress, [](TypedWindow& w) { QTest::keyPress(w.handle(), 'a'); }},
        {QEvent::KeyRelease, [](TypedWindow& w) { QTest::keyRelease(w.handle(), 'a'); }},
        {QEvent::MouseButtonPress, [](TypedWindow& w) { QTest::mousePress(w.handle(), Qt::LeftButton, {}, w.line->mapTo(&w.window, QPoint(2, 2))); }},
    };
    for (const Case& c : cases) {
        TypedWindow w;
        TextAtInput recorder(w.line, c.type);
        w.commitQueued(QStringLiteral("電"));
        c.input(w);
        EXPECT_EQ(recorder.seen, QStringLiteral("電")) << "event type " << int(c.type);
    }
}

// Qt's IBus client reads this when it is made: every key waits for IBus's answer.
TEST(InputOrder, TheIBusClientIsToldToAwaitEachAnswer)
{
    for (const char* before : {"", "0"}) {
        qputenv("IBUS_ENABLE_SYNC_MODE", before);
        InputOrder::prepareEnvironment();
        EXPECT_EQ(qgetenv("IBUS_ENABLE_SYNC_MODE"), QByteArray("1")) << "set before: '" << before << "'";
    }
    qunsetenv("IBUS_ENABLE_SYNC_MODE");
}
