#pragma once

#include "InputMethodSwitch.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

// IBus through its own bus. IBus has one global engine for the whole desktop: a keyboard
// engine (xkb:...) types plain keys, a conversion engine (mozc-jp, anthy, ...) converts.
// An engine that offers input modes (its InputMode menu, as Mozc's Hiragana / Direct input)
// converts only while a mode other than direct input is chosen; Mozc toggled with 半角/全角
// stays the engine and changes its mode.
//
// The input method is on while a conversion engine is the engine and its mode (when it has
// modes) is not direct input. Turning it on switches from a keyboard engine to a conversion
// engine (the one last in use, else the first of the user's engines, else mozc-jp) and then
// chooses its Hiragana mode; turning it off chooses direct input, or, for an engine without
// modes, switches back to a keyboard engine. The mode is learnt from what the engine
// announces on the bus (RegisterProperties when it gets the focus, UpdateProperty when the
// mode changes) and chosen through the engine's PropertyActivate.
//
// The user's setting is the engine and the mode of the conversion engine; both are given
// back when the focus leaves the program's switched widgets, also for another program, as
// the engine is the desktop's.
class IBusControl : public QObject, public InputMethodControl {
    Q_OBJECT
public:
    IBusControl();
    ~IBusControl() override;
    void query(std::function<void(State)> answer) override;
    void setOpen(bool open) override;
    void keepUserSetting() override;
    void giveUserSettingBack() override;
    bool sharedByWindows() const override { return true; }

    // The address of the IBus bus: IBUS_ADDRESS, else the address file the daemon writes
    // for this display under the user's configuration folder.
    static QString busAddress();
    static bool isKeyboardEngine(const QString& name) { return name.startsWith(QStringLiteral("xkb:")); }

    // An engine's input mode as it announces it: the chosen entry of its InputMode menu
    // and the entries the menu offers.
    struct InputMode {
        QString chosen;
        QStringList offered;
    };
    // The InputMode menu in what RegisterProperties (a property list) or UpdateProperty
    // (one property) carries, read into plain lists (see plainValue); nothing when it holds
    // none or none of its entries is chosen.
    static std::optional<InputMode> inputModeOf(const QVariant& announced);
    // The entry that turns the input method off (direct input; Latin for an engine without
    // it) and the one that turns it on (Hiragana); empty when the menu has none.
    static QString offEntry(const QStringList& offered);
    static QString onEntry(const QStringList& offered);
    // A D-Bus value with its structures, arrays and variants read into nested QVariantLists
    // (a map becomes a list of [key, value] lists) and its basic values into QVariants.
    static QVariant plainValue(const QVariant& value);
    // Whether a plain value is a serialised IBus object of the type ("IBusPropList",
    // "IBusProperty", "IBusEngineDesc"…): its type name, attachments, then its fields.
    static bool isObject(const QVariantList& fields, const char* type);

    // What the control knows of IBus, and what it asks for to turn the input method on or off.
    struct Facts {
        QString engine;                  // the global engine
        bool engineHasModes = false;     // it offers an InputMode menu
        std::optional<InputMode> mode;   // its mode, once announced
        QString keyboardEngine;          // the keyboard engine to go back to
        QString conversionEngine;        // the conversion engine to turn to
    };
    struct Step {
        QString switchTo;   // a global engine to switch to
        QString activate;   // a mode entry to choose
        bool waitForMode = false; // choose the mode once the engine announces it
    };
    static State stateOf(const Facts& facts);
    static Step stepFor(const Facts& facts, bool open);

private slots:
    void engineChanged(const QString& name);
    void propertiesAnnounced(const QDBusMessage& message);

private:
    struct Announcer {
        QString engine;  // the engine it belongs to
        QString service; // the engine's connection on the bus
        QString path;    // the engine object
        InputMode mode;
        bool reachable = true; // the object still serves: no engine switch since
    };
    struct Wish {
        bool open = false;
        QDeadlineTimer deadline;
    };
    struct Kept {
        bool active = false;
        QString engine;
        QString modeEngine;
        QString mode;
        bool touched = false; // this program chose a mode since: later announcements are not the user's
        int generation = 0;
    };

    void readGlobalEngine(std::function<void()> then);
    void readUserEngines();
    void seen(const QString& engine);
    // An engine asked for and not yet heard as the engine (for a while).
    QString switching() const;
    Facts factsFor(const QString& engine) const;
    void act(bool open);
    void switchEngine(const QString& name);
    void activate(const QString& entry);
    void answerWaiting(bool timedOut);

    QDBusConnection bus_;
    QString engine_;             // the global engine, as last heard
    QString switching_;          // an engine asked for and not yet announced
    QDeadlineTimer switchingFor_;
    QHash<QString, bool> moded_; // engines known to offer (or not) an InputMode menu
    std::optional<Announcer> announcer_;
    QString keyboard_;
    QString conversion_;
    std::optional<Wish> wish_;
    Kept kept_;
    int keptGeneration_ = 0;
    std::vector<std::pair<std::function<void(State)>, QDeadlineTimer>> waiting_;
};
