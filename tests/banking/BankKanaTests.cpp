#include "BankAccount.h"
#include "BankKana.h"

#include <gtest/gtest.h>

using namespace banking;

TEST(BankKana, EveryKindOfTypedNameComesOutInTheBanksHalfWidthForm)
{
    const struct {
        const char* typed;
        const char* bank;
    } cases[] = {
        {"やまだ たろう", "ﾔﾏﾀﾞ ﾀﾛｳ"},                 // hiragana, voiced mark apart
        {"ヤマダ　ハナコ", "ﾔﾏﾀﾞ ﾊﾅｺ"},                // full-width katakana and space
        {"ぱぴぷぺぽ", "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},                  // semi-voiced
        {"キュウヨ ガッコウ", "ｷﾕｳﾖ ｶﾞﾂｺｳ"},           // small kana become full size
        {"ｼｮｳｼﾞ ｯｬ", "ｼﾖｳｼﾞ ﾂﾔ"},                       // half-width small kana too
        {"ヵヶゎ", "ｶｹﾜ"},                               // the rarer small kana
        {"ＡＢＣ　ｓｈｏｊｉ　１２３", "ABC SHOJI 123"}, // full-width letters and digits, lowercase
        {"acme (k.k.) 1-2/3,4", "ACME (K.K.) 1-2/3,4"},  // ASCII lowercase and the allowed symbols
        {"コーヒー", "ｺ-ﾋ-"},                            // the long vowel mark as the banks print it
        {"「ヴ」", "｢ｳﾞ｣"},
        {"ヲ", "ｦ"},
        {"か\u3099", "ｶﾞ"},                              // a combining voiced mark
        {"ｶﾞｲｼｬ", "ｶﾞｲｼﾔ"},                             // half-width input stays (small ｬ grows)
        {"￥", "¥"},
    };
    for (const auto& c : cases) {
        const BankText converted = toBankText(QString::fromUtf8(c.typed));
        EXPECT_EQ(converted.text, QString::fromUtf8(c.bank)) << c.typed;
        EXPECT_TRUE(converted.ok()) << c.typed << " refused " << converted.refused.toStdString();
        EXPECT_TRUE(isBankText(converted.text)) << c.typed;
    }
}

TEST(BankKana, CharactersTheBanksCannotTakeAreNamedOnceInOrderAndTheRestConverted)
{
    const BankText converted = toBankText(QStringLiteral("山田・やまだ&山🍣"));
    EXPECT_FALSE(converted.ok());
    EXPECT_EQ(converted.refused, QStringLiteral("山田･&🍣"));
    EXPECT_TRUE(converted.text.contains(QStringLiteral("ﾔﾏﾀﾞ"))) << "what can be converted is";
    EXPECT_EQ(toBankText(QStringLiteral("ゐヱ")).refused, QStringLiteral("ヰヱ")) << "old kana have no half-width form";
    EXPECT_FALSE(isBankText(QStringLiteral("ｧ"))) << "small half-width kana are not the banks'";
    EXPECT_FALSE(isBankText(QStringLiteral("ｰ")));
    EXPECT_FALSE(isBankText(QStringLiteral("abc")));
    EXPECT_EQ(nonBankChars(QStringLiteral("ABｧC:a")), QStringLiteral("ｧ:a"));
}

TEST(BankKana, TheBytesAreJisX0201OneByteACharacter)
{
    const QByteArray bytes = bankBytes(QStringLiteral("ｱﾝｦﾞﾟ｢｣ A9(),-./\\¥"));
    const QByteArray expected("\xB1\xDD\xA6\xDE\xDF\xA2\xA3\x20\x41\x39\x28\x29\x2C\x2D\x2E\x2F\x5C\x5C", 18);
    EXPECT_EQ(bytes, expected);
}

TEST(BankDetails, NormalizeConvertsTrimsAndNamesEveryFieldThatDoesNotFit)
{
    PayeeAccount ok{QStringLiteral("山田商店"),
        {QStringLiteral("０００５"), QStringLiteral("みつびしゆーえふじぇい"), QStringLiteral(" 001 "), QStringLiteral("ほんてん"), AccountType::Checking,
            QStringLiteral("１２３４５"), QStringLiteral(" やまだしょうてん ")},
        QStringLiteral("")};
    EXPECT_TRUE(normalize(ok).empty());
    EXPECT_EQ(ok.account.bankCode, QStringLiteral("0005"));
    EXPECT_EQ(ok.account.bankName, QStringLiteral("ﾐﾂﾋﾞｼﾕ-ｴﾌｼﾞｴｲ"));
    EXPECT_EQ(ok.account.branchCode, QStringLiteral("001"));
    EXPECT_EQ(ok.account.number, QStringLiteral("12345")) << "fewer than 7 digits are zero-filled in the file, not here";
    EXPECT_EQ(ok.account.holder, QStringLiteral("ﾔﾏﾀﾞｼﾖｳﾃﾝ"));

    PayeeAccount bad{QStringLiteral("x"),
        {QStringLiteral("12"), QStringLiteral("あいうえおかきくけこさしすせそた"), QStringLiteral("12a"), QString(), AccountType::Ordinary, QStringLiteral("12345678"),
            QStringLiteral("山田")},
        QStringLiteral("12345678901")};
    const QStringList problems = problemTexts(normalize(bad));
    ASSERT_EQ(problems.size(), 6) << problems.join(u'\n').toStdString();
    EXPECT_EQ(problems[0], QStringLiteral("銀行番号: 4 桁の数字で入力してください"));
    EXPECT_EQ(problems[1], QStringLiteral("銀行名: 長すぎます（半角で 16 文字、15 文字まで）"));
    EXPECT_EQ(problems[2], QStringLiteral("支店番号: 3 桁の数字で入力してください"));
    EXPECT_EQ(problems[3], QStringLiteral("口座番号: 7 桁以内の数字で入力してください"));
    EXPECT_EQ(problems[4], QStringLiteral("口座名義: 「山田」は銀行振込に使えない文字です"));
    EXPECT_EQ(problems[5], QStringLiteral("顧客コード: 10 桁以内の数字で入力してください"));
    EXPECT_EQ(bad.account.bankName.size(), 16) << "a long name is kept whole, never cut";

    Sender sender;
    EXPECT_EQ(problemTexts(normalize(sender)),
        QStringList({QStringLiteral("依頼人コード: 入力されていません"), QStringLiteral("依頼人名: 入力されていません"), QStringLiteral("銀行番号: 入力されていません"),
            QStringLiteral("支店番号: 入力されていません"), QStringLiteral("口座番号: 入力されていません")}));
}
