#include "PayeeListReader.h"

#include "CsvExport.h"
#include "Msg.h"
#include "PayeeName.h"
#include "TextCodec.h"

#include <QBuffer>
#include <QIODevice>

#include <optional>

namespace exchange {

// The catalogue's texts name the limits.
static_assert(kMaxImportFileBytes == 16 * 1024 * 1024 && kMaxImportLineBytes == 4096);

namespace {

constexpr qint64 kBlockBytes = 64 * 1024;

// One physical line: its bytes without the line end, the line end itself ("\r\n", "\n",
// "\r", or nothing at the end of the file) and whether it was longer than the limit (its
// bytes are then not kept).
struct RawLine {
    QByteArray bytes;
    QByteArray end;
    int number = 0;
    bool tooLong = false;
};

// Splits a device into lines a block at a time.
class LineReader {
public:
    LineReader(QIODevice& device, const ReadProgress& progress)
        : device_(device)
        , progress_(progress)
        , total_(device.size())
    {
    }

    bool cancelled() const { return cancelled_; }

    // The next line; false at the end of the file or once the reading was cancelled.
    bool next(RawLine& line)
    {
        line = RawLine{{}, {}, ++number_, false};
        bool any = false;
        for (;;) {
            if (at_ >= block_.size() && !fill())
                return any || !line.bytes.isEmpty() || line.tooLong;
            any = true;
            qsizetype stop = at_;
            while (stop < block_.size() && block_.at(stop) != '\n' && block_.at(stop) != '\r')
                ++stop;
            keep(line, stop);
            if (stop == block_.size())
                continue;
            at_ = stop + 1;
            line.end = QByteArray(1, block_.at(stop));
            if (line.end == "\r" && (at_ < block_.size() || fill()) && block_.at(at_) == '\n') {
                line.end = "\r\n";
                ++at_;
            }
            return true;
        }
    }

private:
    void keep(RawLine& line, qsizetype stop)
    {
        if (!line.tooLong && line.bytes.size() + (stop - at_) > kMaxImportLineBytes) {
            line.tooLong = true;
            line.bytes.clear();
        }
        if (!line.tooLong)
            line.bytes.append(block_.constData() + at_, stop - at_);
        at_ = stop;
    }

    bool fill()
    {
        if (cancelled_)
            return false;
        block_ = device_.read(kBlockBytes);
        at_ = 0;
        done_ += block_.size();
        if (progress_ && !progress_(done_, total_)) {
            cancelled_ = true;
            block_.clear();
        }
        return !block_.isEmpty();
    }

    QIODevice& device_;
    const ReadProgress& progress_;
    qint64 total_;
    qint64 done_ = 0;
    QByteArray block_;
    qsizetype at_ = 0;
    int number_ = 0;
    bool cancelled_ = false;
};

bool startsWithBom(QByteArray& bytes, bool strip)
{
    if (!bytes.startsWith(utf8Bom()))
        return false;
    if (strip)
        bytes.remove(0, utf8Bom().size());
    return true;
}

bool isAscii(const QByteArray& bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Builds records from decoded lines (CSV by RFC 4180, or a line each) and keeps the names.
class NameCollector {
public:
    NameCollector(bool csv, PayeeList& list)
        : csv_(csv)
        , list_(list)
    {
    }

    void refuse(int line, const QString& reason)
    {
        list_.refused.append(RefusedLine{line, reason});
        firstDone_ = true;
    }

    // A physical line that cannot be read: the record it belongs to is refused.
    void refuseLine(const RawLine& line, const QString& reason)
    {
        refuse(recordActive_ ? recordLine_ : line.number, reason);
        reset();
    }

    void addLine(const RawLine& raw, const QString& text)
    {
        if (!recordActive_) {
            recordActive_ = true;
            recordLine_ = raw.number;
            recordBytes_ = 0;
        }
        recordBytes_ += raw.bytes.size() + raw.end.size();
        if (recordBytes_ > kMaxImportLineBytes + 2) {
            refuseLine(raw, messages::messageText(messages::MsgId::その他_取込行長すぎ));
            return;
        }
        if (!csv_) {
            fields_ = QStringList{text};
            finishRecord();
            return;
        }
        parse(text);
        if (quoted_ && !raw.end.isEmpty()) {
            field_ += QString::fromLatin1(raw.end); // a line break inside a quoted field
            return;
        }
        fields_ << field_;
        finishRecord();
    }

private:
    void parse(const QString& text)
    {
        // Spans between quotes and commas go in whole, not a character at a time.
        const QChar* c = text.constData();
        const qsizetype size = text.size();
        qsizetype i = 0;
        while (i < size) {
            if (quoted_) {
                qsizetype quote = i;
                while (quote < size && c[quote] != u'"')
                    ++quote;
                field_.append(c + i, quote - i);
                if (quote + 1 < size && c[quote + 1] == u'"') {
                    field_ += u'"'; // a doubled quote inside quotes
                    i = quote + 2;
                } else {
                    quoted_ = quote >= size;
                    i = quote + 1;
                }
                continue;
            }
            qsizetype stop = i;
            while (stop < size && c[stop] != u'"' && c[stop] != u',')
                ++stop;
            field_.append(c + i, stop - i);
            if (stop < size && c[stop] == u'"') {
                quoted_ = true;
            } else if (stop < size) {
                fields_ << field_;
                field_.clear();
            }
            i = stop + 1;
        }
    }

    void finishRecord()
    {
        const QStringList fields = fields_;
        const int line = recordLine_;
        reset();
        if (csv_ && !firstDone_ && fields.contains(QStringLiteral("支払先名"))) {
            column_ = fields.indexOf(QStringLiteral("支払先名"));
            firstDone_ = true;
            return;
        }
        firstDone_ = true;
        QString name = column_ < fields.size() ? fields.at(column_) : QString();
        if (csv_)
            name = csvFieldText(name); // a name the export guarded against formulas
        name = payees::normalizePayeeName(name);
        if (name.isEmpty())
            return;
        if (const auto refusal = payees::checkPayeeName(name)) {
            refuse(line, refusal->text());
            return;
        }
        list_.names << name;
    }

    void reset()
    {
        fields_.clear();
        field_.clear();
        quoted_ = false;
        recordActive_ = false;
    }

    bool csv_;
    PayeeList& list_;
    QStringList fields_;
    QString field_;
    bool quoted_ = false;
    bool recordActive_ = false;
    int recordLine_ = 0;
    qint64 recordBytes_ = 0;
    bool firstDone_ = false;
    qsizetype column_ = 0;
};

} // namespace

namespace {

// One reading of the whole file in one encoding, with the count of the lines beyond ASCII
// that read as UTF-8 and of those that do not.
struct Reading {
    PayeeList list;
    bool bom = false;
    qint64 readable = 0;
    qint64 unreadable = 0;
};

Reading readOnce(QIODevice& device, bool csv, bool utf8, const ReadProgress& progress)
{
    Reading reading;
    reading.list.encodingName = utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Shift_JIS");
    const QString unreadable = messages::messageText(messages::MsgId::その他_取込読めない行, reading.list.encodingName);
    LineReader lines(device, progress);
    NameCollector names(csv, reading.list);
    RawLine line;
    while (lines.next(line)) {
        if (line.tooLong) {
            names.refuseLine(line, messages::messageText(messages::MsgId::その他_取込行長すぎ));
            continue;
        }
        if (line.number == 1 && utf8)
            reading.bom = startsWithBom(line.bytes, true);
        std::optional<QString> text;
        if (!utf8) {
            text = cp932::decode(line.bytes);
        } else if (isValidUtf8(line.bytes)) {
            text = QString::fromUtf8(line.bytes);
            reading.readable += isAscii(line.bytes) ? 0 : 1;
        } else {
            ++reading.unreadable;
        }
        if (!text)
            names.refuseLine(line, unreadable);
        else
            names.addLine(line, *text);
    }
    reading.list.cancelled = lines.cancelled();
    return reading;
}

} // namespace

PayeeList readPayeeList(QIODevice& device, bool csv, TextEncoding encoding, const ReadProgress& progress)
{
    if (encoding != TextEncoding::Detect)
        return readOnce(device, csv, encoding == TextEncoding::Utf8, progress).list;
    // Read as UTF-8 at once. It is UTF-8 when it starts with the byte-order mark, when every
    // line reads as UTF-8, or when at least as many lines beyond ASCII read as UTF-8 as do
    // not: a UTF-8 list with a broken line then names that line. Otherwise (the lines of a
    // CP932 list almost never read as UTF-8) it is read again as CP932.
    Reading first = readOnce(device, csv, true, progress);
    if (first.list.cancelled || first.bom || first.unreadable == 0 || first.readable >= first.unreadable || !device.seek(0))
        return first.list;
    return readOnce(device, csv, false, progress).list;
}

QStringList namesFromText(const QString& text, bool csv)
{
    QByteArray bytes = text.toUtf8();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return readPayeeList(buffer, csv, TextEncoding::Utf8).names;
}

} // namespace exchange
