#include "HintStore.h"

#include "Skip.h"
#include "Sql.h"
#include "Transaction.h"

namespace hints {

namespace {
const QString kDeleteKey = QStringLiteral("DELETE FROM ClHint WHERE FormName = ? AND CtlName = ?");
} // namespace

std::optional<QString> HintStore::read(const QString& formName, const QString& ctlName) const
{
    std::optional<QString> text;
    store::skipOnFailure(QStringLiteral("ReadHint"), [&] {
        // Older files may hold several rows for one key; the first one added is shown.
        const auto rows = store::queryRows(db_, QStringLiteral("SELECT Contents FROM ClHint WHERE FormName = ? AND CtlName = ? ORDER BY rowid LIMIT 1"), {formName, ctlName});
        if (!rows.empty() && !rows.front().at(0).isNull())
            text = rows.front().at(0).toString();
    });
    return text;
}

bool HintStore::write(const QString& formName, const QString& ctlName, const QString& formTitle, const QString& contents)
{
    return store::skipOnFailure(QStringLiteral("EntryHint"), [&] {
        store::Transaction tx(db_);
        store::exec(db_, kDeleteKey, {formName, ctlName});
        store::exec(db_, QStringLiteral("INSERT INTO ClHint (FormName, CtlName, FormTitle, Contents) VALUES (?, ?, ?, ?)"), {formName, ctlName, formTitle, contents});
        tx.commit();
    });
}

bool HintStore::remove(const QString& formName, const QString& ctlName)
{
    return store::skipOnFailure(QStringLiteral("Deleteヒント"), [&] {
        store::Transaction tx(db_);
        store::exec(db_, kDeleteKey, {formName, ctlName});
        tx.commit();
    });
}

} // namespace hints
