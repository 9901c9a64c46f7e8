// Every character of JIS X 0213 (planes 1 and 2) that a payee name may hold, and 𠮷, is
// drawn with a real glyph of IPA Gothic or, where IPA lacks it, Noto Sans CJK JP, on screen
// (and so in the preview, which paints with the same fonts) and in a PDF. The PDF's text
// gives back every character Qt's PDF writer can name: it names each embedded glyph by the
// lowest code point of the Basic Multilingual Plane that the font maps to it, so a
// character beyond that plane (𠮷, 𠀋), a kana with a combining mark drawn as one glyph, a
// glyph the font shares with a lower code point (～ with 〜) and the invisible soft hyphen
// come back otherwise; the test names how many.

#include "JapaneseFonts.h"
#include "ReportRenderer.h"
#include "ReportTestSupport.h"

#include <QGlyphRun>
#include <QHash>
#include <QPdfWriter>
#include <QProcess>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <iconv.h>

#include <array>

namespace {

// The characters of both planes as the C library's EUC-JISX0213 converter reads them
// (plane 1 as two bytes A1-FE, plane 2 after the single shift 8F); a few codes are a kana
// with a combining mark and give two code points. Blanks are left out: nothing is drawn.
QStringList jisX0213Characters()
{
    QStringList characters;
    iconv_t converter = iconv_open("UTF-8", "EUC-JISX0213");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return characters;
    for (int plane = 1; plane <= 2; ++plane) {
        for (int row = 1; row <= 94; ++row) {
            for (int cell = 1; cell <= 94; ++cell) {
                std::array<char, 3> code = {'\x8F', static_cast<char>(0xA0 + row), static_cast<char>(0xA0 + cell)};
                char* in = plane == 1 ? code.data() + 1 : code.data();
                size_t inLeft = plane == 1 ? 2 : 3;
                std::array<char, 16> utf8{};
                char* out = utf8.data();
                size_t outLeft = utf8.size();
                iconv(converter, nullptr, nullptr, nullptr, nullptr);
                if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1))
                    continue; // a code the standard leaves unassigned
                iconv(converter, nullptr, nullptr, &out, &outLeft);
                const QString character = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(out - utf8.data()));
                if (!character.trimmed().isEmpty())
                    characters << character;
            }
        }
    }
    iconv_close(converter);
    return characters;
}

QString pdfText(const QString& path)
{
    QProcess process;
    process.start("pdftotext", {"-enc", "UTF-8", path, "-"});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<pdftotext failed>");
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Pages of the characters in rows of 30, in the report's font.
report::ReportDocument documentOf(const QStringList& characters)
{
    report::ReportDocument document;
    document.paper = QSizeF(report::kA4Width, report::kA4Height);
    const int perRow = 30;
    const int rowsPerPage = 45;
    for (int first = 0; first < characters.size(); first += perRow) {
        const int row = first / perRow;
        if (row % rowsPerPage == 0)
            document.pages.emplace_back();
        report::TextItem item;
        item.name = QStringLiteral("row%1").arg(row);
        item.box = QRectF(report::kMarginLeft, report::kMarginTop + (row % rowsPerPage) * 340.0, 10600, 320);
        // A blank between characters keeps a kana and its mark apart from their neighbours.
        item.text = characters.mid(first, perRow).join(QLatin1Char(' '));
        item.family = report::reportFontFamily();
        item.pointSize = 9;
        document.pages.back().texts.push_back(item);
    }
    return document;
}

} // namespace

TEST(FontCoverage, EveryJisX0213CharacterIsDrawnWithARealGlyphOnScreenAndComesBackFromThePdf)
{
    useReportFonts();
    QStringList characters = jisX0213Characters();
    ASSERT_GT(characters.size(), 11000) << "the C library's JIS X 0213 converter is missing";
    // 𠮷 (the 吉 of many family names) lies outside JIS X 0213 and outside IPA Gothic too.
    characters << QStringLiteral("𠮷");
    const QStringList allowed = fonts::facesFor(fonts::proportionalFamily());

    // On screen: the glyphs Qt picks for each character, font by font.
    const QFont font(fonts::proportionalFamily(), 10);
    QHash<QString, int> byFace;
    QHash<QString, QHash<quint32, char32_t>> namedGlyphs; // per face: glyph -> the code point a PDF names it by
    QStringList boxes;
    QStringList unnamed;
    for (const QString& character : characters) {
        QTextLayout layout(character, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        bool real = true;
        bool named = character.size() == 1 && character != QStringLiteral("\u00AD");
        for (const QGlyphRun& run : layout.glyphRuns()) {
            const QString face = run.rawFont().familyName();
            ++byFace[face];
            real = real && allowed.contains(face, Qt::CaseInsensitive) && !run.glyphIndexes().contains(0);
            if (!namedGlyphs.contains(face)) {
                QHash<quint32, char32_t>& names = namedGlyphs[face];
                for (char32_t code = 0xFFFF; code > 0; --code) {
                    if (QChar::isSurrogate(code))
                        continue;
                    const QList<quint32> glyphs = run.rawFont().glyphIndexesForString(QString(QChar(char16_t(code))));
                    if (!glyphs.isEmpty() && glyphs.front() != 0)
                        names[glyphs.front()] = code;
                }
            }
            for (const quint32 glyph : run.glyphIndexes())
                named = named && namedGlyphs[face].value(glyph) == character.front().unicode();
        }
        if (!real)
            boxes << character;
        if (!named)
            unnamed << character;
    }
    std::printf("[ fonts ] %lld characters: glyphs", static_cast<long long>(characters.size()));
    for (auto it = byFace.cbegin(); it != byFace.cend(); ++it)
        std::printf(" %d from %s", it.value(), qPrintable(it.key()));
    std::printf("; %lld beyond what a PDF's text can name\n", static_cast<long long>(unnamed.size()));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.size() << " without a glyph: " << boxes.mid(0, 50).join(' ').toStdString();
    EXPECT_EQ(byFace.value(allowed[1]), 1) << "Noto Sans CJK JP draws 𠮷, which IPA lacks, and nothing else";
    EXPECT_TRUE(unnamed.contains(QStringLiteral("𠮷")));
    EXPECT_LT(unnamed.size(), 700);

    // In the PDF: each character's text comes back. A report holds a few hundred different
    // characters; so does each PDF here (Qt writes the map from glyphs to text in ranges
    // that a reader drops once a font holds more than 256 glyphs).
    QTemporaryDir dir;
    QStringList missing;
    for (qsizetype first = 0; first < characters.size(); first += 200) {
        const QStringList part = characters.mid(first, 200);
        const QString path = dir.filePath(QStringLiteral("part%1.pdf").arg(first));
        {
            QPdfWriter writer(path);
            ASSERT_TRUE(report::renderDocument(writer, documentOf(part)));
        }
        const QString text = pdfText(path);
        for (const QString& character : part)
            if (!unnamed.contains(character) && !text.contains(character))
                missing << character;
    }
    EXPECT_TRUE(missing.isEmpty()) << missing.size() << " not in the PDF's text: " << missing.mid(0, 50).join(' ').toStdString();
}
