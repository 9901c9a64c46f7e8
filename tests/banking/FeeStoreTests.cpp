#include "FeeSettingsStore.h"
#include "PayeeBearers.h"
#include "Session.h"
#include "Sql.h"
#include "TempDataDir.h"

#include <SQLiteCpp/Database.h>

#include <gtest/gtest.h>

using namespace banking;

TEST(FeeSettingsStore, TheTableAndSettingsAreKeptWholeAndAnEarlierFileReadsAsTheDefaults)
{
    TempDataDir dir;
    {
        SQLite::Database main(dir.mainPath().toStdString(), SQLite::OPEN_READWRITE);
        main.exec("DROP TABLE 振込手数料表; DROP TABLE 振込手数料設定; DROP TABLE 支払先手数料負担;");
    }
    FeeSettings settings;
    settings.method = FeeMethod::AddOwnFee;
    settings.defaultBearer = FeeBearer::Payee;
    settings.addFeeLine = true;
    settings.table.of(FeeDestination::SameBank) = {{0, 110}, {30000, 220}};
    settings.table.of(FeeDestination::OtherBank) = {{1, 330}, {30000, 550}};
    {
        auto session = store::Session::open(dir.path());
        FeeSettingsStore stored(session->mainDb());
        EXPECT_EQ(stored.read(), FeeSettings()) << "nothing stored reads as 据置型, 当方負担, no fee line, no table";
        stored.write(settings);
        stored.write(settings);
    }
    auto session = store::Session::open(dir.path());
    EXPECT_EQ(FeeSettingsStore(session->mainDb()).read(), settings);
    EXPECT_EQ(store::scalar(session->mainDb(), QStringLiteral("SELECT COUNT(*) FROM 振込手数料設定")).toInt(), 1);
    EXPECT_EQ(store::scalar(session->mainDb(), QStringLiteral("SELECT 手数料 FROM 振込手数料表 WHERE 区分 = 2 AND 下限 = 300000000")).toLongLong(), 5500000)
        << "amounts are kept in ten-thousandths like every amount";
    // A text no version writes reads as the default.
    store::exec(session->mainDb(), QStringLiteral("UPDATE 振込手数料設定 SET 計算方式 = 'x', 既定負担 = NULL"));
    const FeeSettings odd = FeeSettingsStore(session->mainDb()).read();
    EXPECT_EQ(odd.method, FeeMethod::Fixed);
    EXPECT_EQ(odd.defaultBearer, FeeBearer::Payer);
}

TEST(PayeeBearers, APayeesOwnChoiceIsKeptAndNoneFollowsTheDefault)
{
    TempDataDir dir;
    auto session = store::Session::open(dir.path());
    PayeeBearers bearers(session->mainDb());
    bearers.set(QStringLiteral("家賃"), FeeBearer::Payee);
    bearers.set(QStringLiteral("電気"), FeeBearer::Payer);
    bearers.set(QStringLiteral("電気"), std::nullopt);
    bearers.set(QStringLiteral("水道"), FeeBearer::Payer);
    EXPECT_EQ(bearers.of(QStringLiteral("家賃")), FeeBearer::Payee);
    EXPECT_FALSE(bearers.of(QStringLiteral("電気")).has_value());
    const auto all = bearers.all();
    EXPECT_EQ(all.size(), 2u);
    EXPECT_EQ(bearerOf(all, QStringLiteral("家賃"), FeeBearer::Payer), FeeBearer::Payee);
    EXPECT_EQ(bearerOf(all, QStringLiteral("水道"), FeeBearer::Payee), FeeBearer::Payer);
    EXPECT_EQ(bearerOf(all, QStringLiteral("電気"), FeeBearer::Payee), FeeBearer::Payee);
    EXPECT_EQ(store::scalar(session->mainDb(), QStringLiteral("SELECT 負担 FROM 支払先手数料負担 WHERE 支払先名 = '家賃'")).toString(), QStringLiteral("先方"));
}
