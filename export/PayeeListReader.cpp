#include "PayeeListReader.h"

#include "CsvExport.h"
#include "Msg.h"
#include "PayeeName.h"
#include "TextCodec.h"

#include <QBuffer>
#include <QIODevice>

#include <optional>

namespace exporting {

// The catalogue's texts name the limits.
static_assert(kMaxImportFileBytes == 16 * 1024 * 1024 && kMaxImportLineBytes == 4096);

namespace {

constexpr qint64 kBlockBytes = 64 * 1024;

QString catalogueText(const char* key, const QString& target = {})
{
    const auto box = messages::findMessage(QStringLiteral("その他"), QString::fromUtf8(key), target);
    return box ? box->text : QString();
}

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

// UTF-8 when the file starts with its byte-order mark, when every line reads as UTF-8, or
// when at least as many lines with other than ASCII read as UTF-8 as do not: a UTF-8 list
// with a broken line then names that line, and a CP932 list (whose lines almost never read
// as UTF-8) is read as CP932.
TextEncoding detectEncoding(QIODevice& device, const ReadProgress& progress, bool& cancelled)
{
    LineReader lines(device, progress);
    RawLine line;
    qint64 readable = 0;
    qint64 unreadable = 0;
    while (lines.next(line)) {
        if (line.number == 1 && startsWithBom(line.bytes, false))
            return TextEncoding::Utf8;
        if (line.tooLong || isAscii(line.bytes))
            continue;
        ++(isValidUtf8(line.bytes) ? readable : unreadable);
    }
    cancelled = lines.cancelled();
    return unreadable == 0 || readable >= unreadable ? TextEncoding::Utf8 : TextEncoding::Cp932;
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
            refuseLine(raw, catalogueText("取込行長すぎ"));
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
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (quoted_) {
                if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"')
                    field_ += text.at(++i);
                else if (c == u'"')
                    quoted_ = false;
                else
                    field_ += c;
            } else if (c == u'"') {
                quoted_ = true;
            } else if (c == u',') {
                fields_ << field_;
                field_.clear();
            } else {
                field_ += c;
            }
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

PayeeList readPayeeList(QIODevice& device, bool csv, TextEncoding encoding, const ReadProgress& progress)
{
    PayeeList list;
    // Choosing the encoding reads the file once more: the progress runs over both readings.
    const qint64 size = device.size();
    const bool twice = encoding == TextEncoding::Detect;
    const ReadProgress first = [&](qint64 done, qint64) { return !progress || progress(done, twice ? 2 * size : size); };
    const ReadProgress second = [&](qint64 done, qint64) { return !progress || progress((twice ? size : 0) + done, twice ? 2 * size : size); };
    if (twice) {
        encoding = detectEncoding(device, first, list.cancelled);
        if (list.cancelled || !device.seek(0))
            return list;
    }
    const bool utf8 = encoding == TextEncoding::Utf8;
    list.encodingName = utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Shift_JIS");
    const QString unreadable = catalogueText("取込読めない行", list.encodingName);
    LineReader lines(device, second);
    NameCollector names(csv, list);
    RawLine line;
    while (lines.next(line)) {
        if (line.tooLong) {
            names.refuseLine(line, catalogueText("取込行長すぎ"));
            continue;
        }
        if (line.number == 1 && utf8)
            startsWithBom(line.bytes, true);
        std::optional<QString> text;
        if (utf8 && isValidUtf8(line.bytes))
            text = QString::fromUtf8(line.bytes);
        else if (!utf8)
            text = cp932::decode(line.bytes);
        if (!text)
            names.refuseLine(line, unreadable);
        else
            names.addLine(line, *text);
    }
    list.cancelled = lines.cancelled();
    return list;
}

QStringList namesFromText(const QString& text, bool csv)
{
    QByteArray bytes = text.toUtf8();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return readPayeeList(buffer, csv, TextEncoding::Utf8).names;
}

} // namespace exporting
