#include "claims/claim_file_check.h"

#include "claims/claims_texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace ph {
namespace {

// A line longer than this is no line of a claim file (the longest, a prescription's with
// four names, is a few hundred bytes).
constexpr qint64 kLongestLine = 64 * 1024;

const QList<QByteArray> kHeadTags = {"SQ", "ND", "RD", "NN", "PT", "SN", "VD", "PC", "MC", "PP", "PS", "IS"};
const QList<QByteArray> kLineTags = {"MG", "MD", "MR", "MP", "MI", "MS"};

struct Element {
    QByteArray tag;
    QByteArray value;
};

QString shown(const QByteArray& bytes) { return QString::fromLatin1(bytes.left(40)); }

bool allDigits(const QByteArray& value) {
    if (value.isEmpty()) return false;
    for (const char c : value)
        if (c < '0' || c > '9') return false;
    return true;
}

bool wholeNumber(const QByteArray& value) {
    return allDigits(value.startsWith('-') ? value.mid(1) : value);
}

// A number as the file writes it: whole, or with a decimal part.
bool decimalNumber(const QByteArray& value) {
    const qsizetype point = value.indexOf('.');
    return point < 0 ? wholeNumber(value) : wholeNumber(value.left(point)) && allDigits(value.mid(point + 1));
}

// Reads the file's lines one at a time, each with its number and place.
class LineReader {
public:
    explicit LineReader(const QString& path) : m_path(path), m_file(path) {
        if (!m_file.open(QIODevice::ReadOnly))
            throw Error(claims::texts::kFileNotRead.arg(QDir::toNativeSeparators(path), m_file.errorString()));
    }

    [[noreturn]] void fail(const QString& what) const { throw DamagedClaimFile(m_path, m_number, what); }

    bool atEnd() const { return m_file.atEnd(); }
    int number() const { return m_number; }
    qint64 offset() const { return m_offset; }
    qint64 end() const { return m_file.pos(); }

    // The next line without its CR LF; a missing line is a file cut short.
    QByteArray next() {
        if (m_file.atEnd()) {
            ++m_number;
            fail(QStringLiteral("فايل پيش از پايان ساختار خود تمام شده است (ناقص است)"));
        }
        m_offset = m_file.pos();
        ++m_number;
        QByteArray line = m_file.readLine(kLongestLine);
        if (m_file.error() != QFileDevice::NoError)
            throw Error(claims::texts::kFileNotRead.arg(QDir::toNativeSeparators(m_path), m_file.errorString()));
        if (!line.endsWith('\n')) {
            if (!m_file.atEnd()) fail(QStringLiteral("سطر بيش از اندازه بلند است"));
            fail(QStringLiteral("سطر آخر ناقص است و با CR LF تمام نشده است"));
        }
        line.chop(1);
        if (!line.endsWith('\r')) fail(QStringLiteral("پايان سطر CR LF نيست"));
        line.chop(1);
        for (const char c : std::as_const(line))
            if (uchar(c) < 0x20) fail(QStringLiteral("حرف کنترلي يا NUL در سطر هست"));
        return line;
    }

    // The next line, which must be exactly `expected`.
    void expect(const QByteArray& expected) {
        const QByteArray line = next();
        if (line != expected)
            fail(QStringLiteral("به جاي «%1»، «%2» آمده است").arg(QString::fromLatin1(expected), shown(line)));
    }

private:
    QString m_path;
    QFile m_file;
    int m_number = 0;
    qint64 m_offset = 0;
};

// Splits a text made only of elements "<TAG>value</TAG>" into them; the fault otherwise.
std::optional<QString> splitElements(const QByteArray& text, QList<Element>& out) {
    qsizetype pos = 0;
    while (pos < text.size()) {
        if (text.at(pos) != '<') return QStringLiteral("متن بيرون از عنصرها: «%1»").arg(shown(text.mid(pos)));
        const qsizetype open = text.indexOf('>', pos);
        if (open < 0) return QStringLiteral("برچسب باز شده بسته نشده است");
        const QByteArray tag = text.mid(pos + 1, open - pos - 1);
        if (tag.isEmpty() || tag.contains('/') || tag.contains('<'))
            return QStringLiteral("برچسب نادرست «%1»").arg(shown(tag));
        const QByteArray closing = "</" + tag + '>';
        const qsizetype close = text.indexOf(closing, open + 1);
        const QByteArray value = text.mid(open + 1, (close < 0 ? text.size() : close) - open - 1);
        if (close < 0 || value.contains('<') || value.contains('>'))
            return QStringLiteral("عنصر %1 بسته نشده است").arg(QString::fromLatin1(tag));
        out.append({tag, value});
        pos = close + closing.size();
    }
    return std::nullopt;
}

// The elements of a line, which must carry exactly the tags of `expected` in order
// (one of `tails` may follow); the fault otherwise.
QList<Element> elementsOf(LineReader& reader, const QByteArray& text, const QList<QByteArray>& expected,
                          const QList<QList<QByteArray>>& tails = {{}}) {
    QList<Element> elements;
    if (const std::optional<QString> fault = splitElements(text, elements)) reader.fail(*fault);
    QList<QByteArray> tags;
    for (const Element& e : std::as_const(elements)) tags.append(e.tag);
    for (const QList<QByteArray>& tail : tails)
        if (tags == expected + tail) return elements;
    QList<QByteArray> want = expected;
    for (qsizetype i = 0; i < tags.size() && i < want.size(); ++i)
        if (tags.at(i) != want.at(i))
            reader.fail(QStringLiteral("به جاي عنصر %1، عنصر %2 آمده است")
                            .arg(QString::fromLatin1(want.at(i)), QString::fromLatin1(tags.at(i))));
    if (tags.size() < want.size())
        reader.fail(QStringLiteral("عنصر %1 در سطر نيست").arg(QString::fromLatin1(want.at(tags.size()))));
    reader.fail(QStringLiteral("عنصر %1 در اين سطر جايي ندارد").arg(QString::fromLatin1(tags.at(want.size()))));
}

QByteArray valueOf(const QList<Element>& elements, const QByteArray& tag) {
    for (const Element& e : elements)
        if (e.tag == tag) return e.value;
    return {};
}

} // namespace

DamagedClaimFile::DamagedClaimFile(const QString& file, int line, const QString& what)
    : Error(QStringLiteral("فايل %1 در سطر %2 آسيب ديده يا ناقص است: %3؛ فايل ها ادغام نشد")
                .arg(QDir::toNativeSeparators(file))
                .arg(line)
                .arg(what)),
      m_line(line) {}

ClaimFileOutline checkClaimFile(const QString& path) {
    LineReader reader(path);
    ClaimFileOutline outline;
    QByteArray first = reader.next();
    if (first == "<Y>") {
        outline.wrapped = true;
        first = reader.next();
    }
    if (first != "<HR>") reader.fail(QStringLiteral("فايل با «<HR>» شروع نمي شود؛ فايل بيمه نيست"));
    outline.dc = valueOf(elementsOf(reader, reader.next(), {"DC"}), "DC");
    const QByteArray count = valueOf(elementsOf(reader, reader.next(), {"RC"}), "RC");
    if (!allDigits(count)) reader.fail(QStringLiteral("تعداد نسخه ها (RC) عدد نيست"));
    outline.fd = valueOf(elementsOf(reader, reader.next(), {"FD"}), "FD");
    outline.td = valueOf(elementsOf(reader, reader.next(), {"TD"}), "TD");
    reader.expect("</HR>");
    reader.expect("");

    const QList<QList<QByteArray>> names = {{}, {"NE", "FY"}, {"PN", "PF"}, {"NE", "FY", "PN", "PF"}};
    bool closed = false; // the custom layout's closing </Y> was read
    while (!reader.atEnd()) {
        if (outline.wrapped) {
            const QByteArray line = reader.next();
            if (line == "</Y>") {
                closed = true;
                break;
            }
            if (line != "<X>") reader.fail(QStringLiteral("به جاي «<X>»، «%1» آمده است").arg(shown(line)));
        }
        reader.expect("<PH>");
        const QByteArray head = reader.next();
        ClaimFileOutline::Block block;
        block.offset = reader.offset();
        const QList<Element> elements = elementsOf(reader, head, kHeadTags, names);
        if (valueOf(elements, "SQ") != QByteArray::number(outline.blocks.size() + 1))
            reader.fail(QStringLiteral("شماره رديف نسخه (SQ) %1 است، نه %2")
                            .arg(shown(valueOf(elements, "SQ")))
                            .arg(outline.blocks.size() + 1));
        block.date = valueOf(elements, "ND");
        if (block.date.size() != 6 || !allDigits(block.date))
            reader.fail(QStringLiteral("تاريخ نسخه (ND) شش رقم نيست"));
        const QByteArray patient = valueOf(elements, "PS"), insurer = valueOf(elements, "IS");
        if (!decimalNumber(patient) || !decimalNumber(insurer))
            reader.fail(QStringLiteral("سهم بيمار يا سهم سازمان عدد نيست"));
        block.wholeShares = wholeNumber(patient) && wholeNumber(insurer);
        reader.expect("</PH>");
        reader.expect("<BY>");
        for (;;) {
            const QByteArray line = reader.next();
            if (line == "</BY>") break;
            if (!line.startsWith("<MH>") || !line.endsWith("</MH>"))
                reader.fail(QStringLiteral("به جاي سطر دارو يا «</BY>»، «%1» آمده است").arg(shown(line)));
            elementsOf(reader, line.mid(4, line.size() - 9), kLineTags);
        }
        block.size = reader.end() - block.offset;
        if (outline.wrapped) reader.expect("</X>");
        outline.blocks.append(block);
    }
    if (outline.wrapped && !closed) reader.next(); // the end came before </Y>: cut short
    if (closed && !reader.atEnd()) {
        reader.next();
        reader.fail(QStringLiteral("پس از «</Y>» چيزي نبايد باشد"));
    }
    if (count.toLongLong() != outline.blocks.size())
        throw DamagedClaimFile(path, 3,
                               QStringLiteral("تعداد نسخه هاي فايل %1 است اما RC %2 مي گويد؛ فايل ناقص است")
                                   .arg(outline.blocks.size())
                                   .arg(QString::fromLatin1(count)));
    return outline;
}

} // namespace ph
