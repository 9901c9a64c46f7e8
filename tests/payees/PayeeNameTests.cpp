#include "PayeeName.h"

#include <gtest/gtest.h>

using namespace payees;

TEST(PayeeName, BlanksAroundANameGoAndLongOrControlNamesAreRefusedNeverCut)
{
    EXPECT_EQ(normalizePayeeName(QStringLiteral("  空白付き  ")), "空白付き");
    EXPECT_EQ(normalizePayeeName(QStringLiteral("　全角　空白　")), "全角　空白");
    EXPECT_EQ(normalizePayeeName(QStringLiteral("\t北海商事\r\n")), "北海商事");
    EXPECT_EQ(normalizePayeeName(QStringLiteral(" 　 ")), "");
    EXPECT_EQ(normalizePayeeName(QStringLiteral("O'Brien")), "O'Brien");

    // 100 characters are a name, counted as characters (𠮷 is one), never as UTF-16 units.
    EXPECT_FALSE(checkPayeeName(QString(100, QChar(u'長'))));
    QString hundredWide;
    for (int i = 0; i < 100; ++i)
        hundredWide += QStringLiteral("𠮷");
    EXPECT_FALSE(checkPayeeName(hundredWide));
    const auto tooLong = checkPayeeName(QString(100000, QChar(u'長')));
    ASSERT_TRUE(tooLong);
    EXPECT_EQ(tooLong->reason, NameRefusal::Reason::TooLong);
    EXPECT_EQ(tooLong->text(), "100000 文字あります。支払先名は 100 文字までです");

    // NUL, a tab, a line break, DEL, a C1 control, a line separator and a lone surrogate.
    const QString broken[] = {QString::fromUtf8("AB\0CD", 5), "A\tB", "A\nB", "A\x7F" "B", QString("A") + QChar(0x85), QString("A") + QChar(0x2028),
        QString("A") + QChar(0xD800)};
    for (const QString& name : broken) {
        const auto refusal = checkPayeeName(name);
        ASSERT_TRUE(refusal) << name.toStdString();
        EXPECT_EQ(refusal->reason, NameRefusal::Reason::Control);
    }
    EXPECT_EQ(checkPayeeName(broken[0])->text(), "使えない制御文字があります：3 文字目（U+0000）");
    // Emoji with joiners, combining marks and right-to-left text are names.
    for (const char* fine : {"👨‍👩‍👧", "か゚", "שלום", "'; DROP TABLE 支払予定表; --"})
        EXPECT_FALSE(checkPayeeName(QString::fromUtf8(fine))) << fine;
    EXPECT_EQ(shownPayeeName(QString::fromUtf8("A\0B", 3)), "A\\u0000B");
    EXPECT_EQ(shownPayeeName(QString(50, QChar(u'x'))), QString(40, QChar(u'x')) + "…");
}
