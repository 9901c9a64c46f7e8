#include "IBusControl.h"

#include <gtest/gtest.h>

namespace {

using State = InputMethodControl::State;

// An IBusText as the bus carries it, read into plain lists.
QVariant text(const QString& shown)
{
    return QVariantList{QStringLiteral("IBusText"), QVariantList{}, shown, QVariantList{QStringLiteral("IBusAttrList"), QVariantList{}, QVariantList{}}};
}

// An IBusProperty: key, type, label, icon, tooltip, sensitive, visible, state, sub-properties, symbol.
QVariantList property(const QString& key, uint state, const QVariantList& subs = {})
{
    return QVariantList{QStringLiteral("IBusProperty"), QVariantList{}, key, 2u, text(key), QString(), text(QString()), true, true, state,
                        QVariantList{QStringLiteral("IBusPropList"), QVariantList{}, subs}, text(QString())};
}

// Mozc's InputMode menu with one entry chosen.
QVariantList mozcMenu(const QString& chosen)
{
    QVariantList entries;
    for (const char* key : {"InputMode.Direct", "InputMode.Hiragana", "InputMode.Katakana", "InputMode.Latin", "InputMode.WideLatin", "InputMode.HalfWidthKatakana"})
        entries << QVariant(property(QString::fromLatin1(key), QString::fromLatin1(key) == chosen ? 1u : 0u));
    return property(QStringLiteral("InputMode"), 0, entries);
}

const QStringList kMozcModes{QStringLiteral("InputMode.Direct"), QStringLiteral("InputMode.Hiragana"), QStringLiteral("InputMode.Katakana"),
                             QStringLiteral("InputMode.Latin"), QStringLiteral("InputMode.WideLatin"), QStringLiteral("InputMode.HalfWidthKatakana")};

IBusControl::Facts facts(const QString& engine, const QString& chosen = QString())
{
    IBusControl::Facts known;
    known.engine = engine;
    known.engineHasModes = engine == QStringLiteral("mozc-jp");
    if (!chosen.isEmpty())
        known.mode = IBusControl::InputMode{chosen, kMozcModes};
    known.keyboardEngine = QStringLiteral("xkb:jp::jpn");
    known.conversionEngine = QStringLiteral("mozc-jp");
    return known;
}

} // namespace

// What Mozc announces: its property list when it gets the focus (the mode menu and its
// tools), the mode menu alone when the mode changes.
TEST(IBusControl, ReadsTheChosenModeOutOfWhatTheEngineAnnounces)
{
    const QVariantList tools = property(QStringLiteral("MozcTool"), 0, {QVariant(property(QStringLiteral("Tool.ConfigDialog"), 0))});
    const QVariantList registered{QStringLiteral("IBusPropList"), QVariantList{}, QVariantList{QVariant(mozcMenu(QStringLiteral("InputMode.Direct"))), QVariant(tools)}};
    const auto mode = IBusControl::inputModeOf(registered);
    ASSERT_TRUE(mode);
    EXPECT_EQ(mode->chosen, QStringLiteral("InputMode.Direct"));
    EXPECT_EQ(mode->offered, kMozcModes);
    EXPECT_EQ(IBusControl::inputModeOf(mozcMenu(QStringLiteral("InputMode.Katakana")))->chosen, QStringLiteral("InputMode.Katakana"));

    // Announcements without a chosen mode, or of something else, tell nothing.
    EXPECT_FALSE(IBusControl::inputModeOf(tools));
    EXPECT_FALSE(IBusControl::inputModeOf(mozcMenu(QString())));
    EXPECT_FALSE(IBusControl::inputModeOf(QVariantList{QStringLiteral("IBusPropList"), QVariantList{}, QVariantList{}}));
    EXPECT_FALSE(IBusControl::inputModeOf(QString()));

    // Direct input is off, Hiragana on; an engine with Latin but no direct input is off in Latin.
    EXPECT_EQ(IBusControl::offEntry(kMozcModes), QStringLiteral("InputMode.Direct"));
    EXPECT_EQ(IBusControl::onEntry(kMozcModes), QStringLiteral("InputMode.Hiragana"));
    EXPECT_EQ(IBusControl::offEntry({QStringLiteral("InputMode.Hiragana"), QStringLiteral("InputMode.Latin")}), QStringLiteral("InputMode.Latin"));
    EXPECT_EQ(IBusControl::offEntry({QStringLiteral("InputMode.Hiragana")}), QString());
}

TEST(IBusControl, IsOnWhileAConversionEngineConvertsAndOffOtherwise)
{
    EXPECT_EQ(IBusControl::stateOf(facts(QStringLiteral("xkb:jp::jpn"))), State::Off);
    EXPECT_EQ(IBusControl::stateOf(facts(QStringLiteral("mozc-jp"), QStringLiteral("InputMode.Direct"))), State::Off);
    EXPECT_EQ(IBusControl::stateOf(facts(QStringLiteral("mozc-jp"), QStringLiteral("InputMode.Hiragana"))), State::On);
    EXPECT_EQ(IBusControl::stateOf(facts(QStringLiteral("mozc-jp"), QStringLiteral("InputMode.Latin"))), State::On);
    // Mozc before it has told its mode; an engine without modes converts all the time.
    EXPECT_EQ(IBusControl::stateOf(facts(QStringLiteral("mozc-jp"))), State::Unknown);
    EXPECT_EQ(IBusControl::stateOf(facts(QStringLiteral("pinyin"))), State::On);
    EXPECT_EQ(IBusControl::stateOf(facts(QString())), State::Unknown);
}

// One engine (Mozc toggled with 半角/全角): its mode changes. Two engines: from the keyboard
// the switch goes to Mozc, whose mode is chosen once it tells it.
TEST(IBusControl, TurnsOnAndOffThroughTheModeOrTheEngine)
{
    const auto step = [](const IBusControl::Facts& known, bool open) {
        const IBusControl::Step s = IBusControl::stepFor(known, open);
        return (s.switchTo + u'|' + s.activate + (s.waitForMode ? QStringLiteral("|wait") : QString())).toStdString();
    };
    EXPECT_EQ(step(facts(QStringLiteral("mozc-jp"), QStringLiteral("InputMode.Direct")), true), "|InputMode.Hiragana");
    EXPECT_EQ(step(facts(QStringLiteral("mozc-jp"), QStringLiteral("InputMode.Hiragana")), false), "|InputMode.Direct");
    EXPECT_EQ(step(facts(QStringLiteral("mozc-jp"), QStringLiteral("InputMode.Katakana")), false), "|InputMode.Direct");
    // Already as wanted: nothing is asked, so that a composition under way is left alone.
    EXPECT_EQ(step(facts(QStringLiteral("mozc-jp"), QStringLiteral("InputMode.Katakana")), true), "|");
    EXPECT_EQ(step(facts(QStringLiteral("mozc-jp"), QStringLiteral("InputMode.Direct")), false), "|");
    EXPECT_EQ(step(facts(QStringLiteral("xkb:jp::jpn")), false), "|");
    // Mozc's mode not told yet: it is chosen when Mozc tells it.
    EXPECT_EQ(step(facts(QStringLiteral("mozc-jp")), true), "||wait");
    EXPECT_EQ(step(facts(QStringLiteral("mozc-jp")), false), "||wait");
    EXPECT_EQ(step(facts(QStringLiteral("xkb:jp::jpn")), true), "mozc-jp||wait");
    // An engine without modes is left for the keyboard engine.
    EXPECT_EQ(step(facts(QStringLiteral("pinyin")), false), "xkb:jp::jpn|");
    EXPECT_EQ(step(facts(QStringLiteral("pinyin")), true), "|");
    // Nothing known of a conversion engine: the keyboard engine stays.
    IBusControl::Facts alone = facts(QStringLiteral("xkb:us::eng"));
    alone.conversionEngine.clear();
    EXPECT_EQ(step(alone, true), "|");
}
