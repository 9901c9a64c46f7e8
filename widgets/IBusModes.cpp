// What the control reads from IBus and decides without a bus: the D-Bus values engines
// announce, their input-mode menus, and the step that turns the input method on or off.

#include "IBusControl.h"

#include <QDBusArgument>

namespace {

constexpr uint kChecked = 1; // PROP_STATE_CHECKED
const QString kModeMenu = QStringLiteral("InputMode");

QVariant plainArgument(const QDBusArgument& argument)
{
    switch (argument.currentType()) {
    case QDBusArgument::BasicType:
        return argument.asVariant();
    case QDBusArgument::VariantType: {
        QDBusVariant inner;
        argument >> inner;
        return IBusControl::plainValue(inner.variant());
    }
    case QDBusArgument::ArrayType: {
        QVariantList items;
        argument.beginArray();
        while (!argument.atEnd())
            items << plainArgument(argument);
        argument.endArray();
        return items;
    }
    case QDBusArgument::StructureType: {
        QVariantList fields;
        argument.beginStructure();
        while (!argument.atEnd())
            fields << plainArgument(argument);
        argument.endStructure();
        return fields;
    }
    case QDBusArgument::MapType: {
        QVariantList entries;
        argument.beginMap();
        while (!argument.atEnd()) {
            argument.beginMapEntry();
            const QVariant key = plainArgument(argument);
            const QVariant value = plainArgument(argument);
            argument.endMapEntry();
            entries << QVariant(QVariantList{key, value});
        }
        argument.endMap();
        return entries;
    }
    default:
        return {};
    }
}


// The fields of an IBusProperty: key 2, sub-properties 10 (an IBusPropList, whose list is 2),
// state 9.
constexpr int kPropKey = 2;
constexpr int kPropState = 9;
constexpr int kPropSubProps = 10;
constexpr int kListItems = 2;

std::optional<IBusControl::InputMode> menuOf(const QVariantList& property)
{
    if (!IBusControl::isObject(property, "IBusProperty") || property.size() <= kPropSubProps || property.at(kPropKey).toString() != kModeMenu)
        return std::nullopt;
    const QVariantList subs = property.at(kPropSubProps).toList();
    if (!IBusControl::isObject(subs, "IBusPropList"))
        return std::nullopt;
    IBusControl::InputMode mode;
    for (const QVariant& item : subs.at(kListItems).toList()) {
        const QVariantList entry = item.toList();
        if (!IBusControl::isObject(entry, "IBusProperty") || entry.size() <= kPropState)
            continue;
        mode.offered << entry.at(kPropKey).toString();
        if (entry.at(kPropState).toUInt() == kChecked)
            mode.chosen = entry.at(kPropKey).toString();
    }
    if (mode.chosen.isEmpty())
        return std::nullopt;
    return mode;
}

} // namespace

bool IBusControl::isObject(const QVariantList& fields, const char* type)
{
    return fields.size() > 2 && fields.at(0).toString() == QLatin1String(type);
}

QVariant IBusControl::plainValue(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<QDBusVariant>())
        return plainValue(value.value<QDBusVariant>().variant());
    if (value.userType() == qMetaTypeId<QDBusArgument>())
        return plainArgument(value.value<QDBusArgument>());
    return value;
}

std::optional<IBusControl::InputMode> IBusControl::inputModeOf(const QVariant& announced)
{
    const QVariantList fields = announced.toList();
    if (isObject(fields, "IBusProperty"))
        return menuOf(fields);
    if (!isObject(fields, "IBusPropList"))
        return std::nullopt;
    for (const QVariant& item : fields.at(kListItems).toList()) {
        if (auto mode = menuOf(item.toList()))
            return mode;
    }
    return std::nullopt;
}

QString IBusControl::offEntry(const QStringList& offered)
{
    for (const char* entry : {"InputMode.Direct", "InputMode.Latin"}) {
        if (offered.contains(QLatin1String(entry)))
            return QString::fromLatin1(entry);
    }
    return {};
}

QString IBusControl::onEntry(const QStringList& offered)
{
    const QString hiragana = QStringLiteral("InputMode.Hiragana");
    return offered.contains(hiragana) ? hiragana : QString();
}

InputMethodControl::State IBusControl::stateOf(const Facts& facts)
{
    if (facts.engine.isEmpty())
        return State::Unknown;
    if (isKeyboardEngine(facts.engine))
        return State::Off;
    if (!facts.engineHasModes)
        return State::On;
    if (!facts.mode)
        return State::Unknown;
    const QString off = offEntry(facts.mode->offered);
    return !off.isEmpty() && facts.mode->chosen == off ? State::Off : State::On;
}

IBusControl::Step IBusControl::stepFor(const Facts& facts, bool open)
{
    Step step;
    if (facts.engine.isEmpty())
        return step;
    if (isKeyboardEngine(facts.engine)) {
        // On: the conversion engine, in a converting mode once it says which it is in.
        if (open && !facts.conversionEngine.isEmpty()) {
            step.switchTo = facts.conversionEngine;
            step.waitForMode = true;
        }
        return step;
    }
    if (!facts.engineHasModes) {
        if (!open)
            step.switchTo = facts.keyboardEngine;
        return step;
    }
    if (!facts.mode) {
        step.waitForMode = true;
        return step;
    }
    const QString off = offEntry(facts.mode->offered);
    const bool isOff = !off.isEmpty() && facts.mode->chosen == off;
    if (open && isOff)
        step.activate = onEntry(facts.mode->offered);
    else if (!open && !isOff) {
        step.activate = off;
        // A mode menu without direct input: the keyboard engine types plain keys.
        if (off.isEmpty())
            step.switchTo = facts.keyboardEngine;
    }
    return step;
}
