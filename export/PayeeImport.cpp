#include "PayeeImport.h"

#include "CsvExport.h"
#include "PayeeList.h"
#include "Session.h"
#include "Sql.h"
#include "TextCodec.h"
#include "Transaction.h"

#include <QSet>

namespace exporting {

namespace {

// The line numbers of the CP932 lines that do not decode. A line feed byte is never part
// of a CP932 character, so the lines can be tried one by one.
QList<int> badCp932Lines(const QByteArray& bytes)
{
    QList<int> bad;
    const QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (!cp932::decode(lines.at(i)))
            bad << i + 1;
    }
    return bad;
}

QList<int> badUtf8Lines(const QByteArray& bytes)
{
    QList<int> bad;
    const QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (!isValidUtf8(lines.at(i)))
            bad << i + 1;
    }
    return bad;
}

} // namespace

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

DecodedText decodeText(const QByteArray& bytes, TextEncoding encoding)
{
    const bool bom = bytes.startsWith(utf8Bom());
    if (encoding == TextEncoding::Detect)
        encoding = bom || isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp932;
    DecodedText decoded;
    if (encoding == TextEncoding::Utf8) {
        decoded.encodingName = QStringLiteral("UTF-8");
        const QByteArray body = bom ? bytes.mid(utf8Bom().size()) : bytes;
        if (isValidUtf8(body))
            decoded.text = QString::fromUtf8(body);
        else
            decoded.badLines = badUtf8Lines(bytes);
        return decoded;
    }
    decoded.encodingName = QStringLiteral("Shift_JIS");
    decoded.text = cp932::decode(bytes);
    if (!decoded.text)
        decoded.badLines = badCp932Lines(bytes);
    return decoded;
}

QStringList namesFromText(const QString& text, bool csv)
{
    QList<QStringList> records;
    if (csv) {
        records = csvRecords(text);
    } else {
        QString lines = text;
        lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        for (const QString& line : lines.split(QLatin1Char('\n')))
            records << QStringList{line};
    }
    qsizetype column = 0;
    if (csv && !records.isEmpty() && records.front().contains(QStringLiteral("支払先名"))) {
        column = records.front().indexOf(QStringLiteral("支払先名"));
        records.removeFirst();
    }
    QStringList names;
    for (const QStringList& record : records) {
        QString name = column < record.size() ? record.at(column) : QString();
        if (csv)
            name = csvFieldText(name); // a name the export guarded against formulas
        if (!name.trimmed().isEmpty())
            names << name;
    }
    return names;
}

ImportPlan planImport(store::Session& session, const QStringList& names)
{
    QSet<QString> master;
    for (const store::Row& row : store::queryRows(session.mainDb(), QStringLiteral("SELECT 支払先名 FROM 支払先マスタ ORDER BY 支払先名")))
        master.insert(row.at(0).toString());
    ImportPlan plan;
    QSet<QString> seen;
    for (const QString& name : names) {
        if (seen.contains(name)) {
            ++plan.repeats;
            continue;
        }
        seen.insert(name);
        (master.contains(name) ? plan.alreadyThere : plan.toAdd) << name;
    }
    return plan;
}

void addPayees(store::Session& session, const QStringList& names)
{
    store::Transaction transaction(session.mainDb());
    for (const QString& name : names) {
        // The payee list's own add: looks the exact name up and appends it when missing.
        if (!payees::Add支払先(session, name))
            throw store::DbError(QStringLiteral("INSERT INTO 支払先マスタ"), QStringLiteral("not added: ") + name.left(40), 0);
    }
    transaction.commit();
}

} // namespace exporting
