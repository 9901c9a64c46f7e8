#include "Msg.h"

#include <cstddef>

namespace messages {

namespace {

enum class Title { Fixed, Target };

struct Entry {
    const char* category;
    const char* key;
    const char16_t* title; // ignored when titleFrom == Target
    Title titleFrom;
    const char16_t* prefix;
    bool usesTarget;
    const char16_t* suffix;
    BoxKind kind;
};

// The table in MsgId's order: both come from the one list.
constexpr Entry kEntries[] = {
#define MESSAGE(category, key, title, titleFrom, prefix, usesTarget, suffix, kind) {#category, #key, title, titleFrom, prefix, usesTarget, suffix, kind},
#include "Catalogue.inc"
#undef MESSAGE
};

const Entry& entryOf(MsgId id)
{
    return kEntries[static_cast<std::size_t>(id)];
}

struct LabelEntry {
    const char* key;
    const char16_t* text;
    const char16_t* tip;
};

constexpr LabelEntry kLabels[] = {
#define LABEL(kind, key, text, tip) {#key, text, tip},
#include "Labels.inc"
#undef LABEL
};

} // namespace

Label label(LabelId id)
{
    const LabelEntry& entry = kLabels[static_cast<std::size_t>(id)];
    return Label{QString::fromUtf16(entry.text), QString::fromUtf16(entry.tip), QString::fromUtf8(entry.key)};
}

MessageBoxSpec findMessage(MsgId id, const QString& target)
{
    const Entry& entry = entryOf(id);
    MessageBoxSpec box;
    box.text = QString::fromUtf16(entry.prefix) + (entry.usesTarget ? target : QString()) + QString::fromUtf16(entry.suffix);
    box.title = entry.titleFrom == Title::Target ? target : QString::fromUtf16(entry.title);
    box.kind = entry.kind;
    return box;
}

QString messageText(MsgId id, const QString& target)
{
    return findMessage(id, target).text;
}

QString messageName(MsgId id)
{
    const Entry& entry = entryOf(id);
    return QString::fromUtf8(entry.category) + QLatin1Char('/') + QString::fromUtf8(entry.key);
}

bool Msg::ShowMsg(MsgId id, const QString& target)
{
    MessageBoxSpec box = findMessage(id, target);
    box.owner = presenter_->owner();
    const bool yes = presenter_->present(box);
    return isQuestion(box.kind) && yes;
}

Answer Msg::Ask(MsgId id, const QString& target)
{
    return presenter_->ask(findMessage(id, target));
}

} // namespace messages
