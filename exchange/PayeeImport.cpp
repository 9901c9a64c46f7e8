#include "PayeeImport.h"

#include "CsvExport.h"
#include "PayeeTable.h"
#include "PaymentRules.h"

#include <QHash>

#include <vector>

namespace exchange {

QList<QStringList> csvRecords(const QString& text)
{
    QList<QStringList> records;
    QStringList fields;
    QString field;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"')
                field += text.at(++i);
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = any = true;
        } else if (c == u',') {
            fields << field;
            field.clear();
            any = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            records << (fields << field);
            fields.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.isEmpty() || !fields.isEmpty())
        records << (fields << field);
    return records;
}

ImportPlan planImport(store::Session& session, const QStringList& names)
{
    // One hash of the list's names, each once with its place; the master's names are then
    // looked up in it (a master far larger than the list costs one look-up a name).
    QHash<QString, qsizetype> place;
    place.reserve(names.size());
    QStringList unique;
    unique.reserve(names.size());
    ImportPlan plan;
    for (const QString& name : names) {
        qsizetype& slot = place[name];
        if (slot != 0) {
            ++plan.repeats;
            continue;
        }
        unique << name;
        slot = unique.size(); // 1-based: 0 is a slot just made
    }
    std::vector<bool> known(static_cast<size_t>(unique.size()), false);
    for (const QString& stored : ledger::PayeeTable(session).names()) {
        const auto found = place.constFind(stored);
        if (found != place.constEnd())
            known[static_cast<size_t>(*found - 1)] = true;
    }
    for (qsizetype i = 0; i < unique.size(); ++i)
        (known[static_cast<size_t>(i)] ? plan.alreadyThere : plan.toAdd) << unique.at(i);
    return plan;
}

bool addPayees(store::Session& session, const QStringList& names, const std::vector<std::pair<QString, ledger::PaymentRule>>& rules, const AddProgress& progress)
{
    // The plan made just before holds each name once and none the master holds, and nothing
    // else writes the master in between (the import's boxes are modal, another program is
    // kept out by the lock).
    return ledger::PayeeTable(session).appendNames(names, rules, progress);
}

} // namespace exchange
