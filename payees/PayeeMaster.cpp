#include "PayeeMaster.h"

#include "Session.h"
#include "Skip.h"
#include "Sql.h"
#include "Transaction.h"

namespace payees {

void PayeeMaster::Read支払先()
{
    auto& work = session_.workDb();
    store::skipOnFailure(QStringLiteral("Read支払先"), [&] {
        // One transaction for the whole copy: a long master is not written row by row to disk.
        store::Transaction tx(work);
        tx.step(QStringLiteral("Read支払先 empty the copy"), [&] { store::exec(work, QStringLiteral("DELETE FROM w支払先マスタ")); });
        std::vector<store::Row> names;
        tx.step(QStringLiteral("Read支払先 read the master"), [&] {
            names = store::queryRows(session_.mainDb(), QStringLiteral("SELECT 支払先名 FROM 支払先マスタ ORDER BY 支払先名"));
        });
        for (const store::Row& row : names) {
            tx.step(QStringLiteral("Read支払先 copy a name"), [&] {
                store::exec(work, QStringLiteral("INSERT INTO w支払先マスタ (支払先名) VALUES (?)"), {row.at(0)});
            });
        }
        tx.commit();
    });
}

void PayeeMaster::Entry支払先マスタ()
{
    // The work connection holds the main file attached, so the delete and the insert
    // commit or roll back together: a failed insert never leaves the master empty.
    auto& work = session_.workDb();
    store::Transaction tx(work);
    store::exec(work, QStringLiteral("DELETE FROM mainfile.支払先マスタ"));
    store::exec(work, QStringLiteral("INSERT INTO mainfile.支払先マスタ (支払先名) SELECT 支払先名 FROM w支払先マスタ ORDER BY rowid"));
    tx.commit();
}

void PayeeMaster::LineDelete支払先マスタ()
{
    auto& work = session_.workDb();
    auto& main = session_.mainDb();
    std::vector<store::Row> ticked;
    store::skipOnFailure(QStringLiteral("LineDelete支払先マスタ read the ticked rows"), [&] {
        ticked = store::queryRows(work, QStringLiteral("SELECT 支払先名 FROM w支払先マスタ WHERE チェック = ? ORDER BY rowid"), {1});
    });
    if (!ticked.empty()) {
        store::Transaction tx(main);
        for (const store::Row& row : ticked) {
            tx.step(QStringLiteral("LineDelete支払先マスタ delete a name"), [&] {
                store::exec(main, QStringLiteral("DELETE FROM 支払先マスタ WHERE 支払先名 = ?"), {row.at(0)});
            });
        }
        tx.commit();
    }
    store::skipOnFailure(QStringLiteral("LineDelete支払先マスタ drop the ticked rows"), [&] {
        store::exec(work, QStringLiteral("DELETE FROM w支払先マスタ WHERE チェック = ?"), {1});
    });
}

void PayeeMaster::Delete支払先マスタ()
{
    store::skipOnFailure(QStringLiteral("Delete支払先マスタ"), [&] { store::exec(session_.mainDb(), QStringLiteral("DELETE FROM 支払先マスタ")); });
}

void PayeeMaster::Clear支払先マスタ()
{
    store::skipOnFailure(QStringLiteral("Clear支払先マスタ"), [&] { store::exec(session_.workDb(), QStringLiteral("DELETE FROM w支払先マスタ")); });
}

} // namespace payees
