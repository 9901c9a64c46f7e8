#include "PdfOutput.h"

#include "ReportRenderer.h"
#include "WholeFile.h"

#include <QBuffer>
#include <QFile>
#include <QPdfWriter>
#include <QPrinter>

#include <algorithm>
#include <cctype>

namespace report {

namespace {

// The trailer ("startxref", the offset, "%%EOF") fits well inside this many last bytes.
constexpr qint64 kTrailerRoom = 1024;

QString cutShort(const QString& path, const char* what)
{
    return QStringLiteral("incomplete PDF ") + path + QStringLiteral(": ") + QString::fromLatin1(what);
}

} // namespace

QString writePdfFile(const QString& path, const ReportDocument& document)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    bool painted = false;
    {
        QPdfWriter writer(&pdf);
        writer.setCreator(QStringLiteral("支払予定表"));
        writer.setTitle(document.name);
        painted = renderDocument(writer, document);
    }
    if (!painted || pdf.data().isEmpty())
        return QStringLiteral("paint ") + path;
    return store::writeWholeFile(path, pdf.data());
}

QString printToFile(QPrinter& printer, const ReportDocument& document)
{
    const QString target = printer.outputFileName();
    return store::replaceWholeFile(target, [&](const QString& temporary) {
        printer.setOutputFileName(temporary);
        const bool painted = renderDocument(printer, document);
        printer.setOutputFileName(target);
        return painted ? pdfFileProblem(temporary) : QStringLiteral("paint ") + temporary;
    });
}

QString pdfFileProblem(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("open ") + path + QStringLiteral(": ") + file.errorString();
    const qint64 size = file.size();
    const qint64 tailStart = size - std::min(size, kTrailerRoom);
    if (!file.seek(tailStart))
        return cutShort(path, "unreadable");
    QByteArray tail = file.read(size - tailStart);
    while (!tail.isEmpty() && std::isspace(static_cast<unsigned char>(tail.back())))
        tail.chop(1);
    if (!tail.endsWith("%%EOF"))
        return cutShort(path, "no %%EOF at its end");
    const qsizetype keyword = tail.lastIndexOf("startxref");
    if (keyword < 0)
        return cutShort(path, "no startxref");
    const qsizetype number = keyword + qsizetype(sizeof("startxref") - 1);
    bool isNumber = false;
    const qint64 offset = tail.mid(number, tail.size() - 5 - number).trimmed().toLongLong(&isNumber);
    // Bytes lost anywhere before the table move it away from the offset its trailer names.
    if (!isNumber || offset < 0 || offset >= tailStart + keyword || !file.seek(offset) || file.read(4) != "xref")
        return cutShort(path, "the cross-reference table is not where the trailer says");
    return {};
}

} // namespace report
