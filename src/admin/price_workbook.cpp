#include "admin/price_workbook.h"

#include "core/amounts.h"
#include "core/error.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <minizip/unzip.h>

#include <algorithm>
#include <functional>
#include <optional>

namespace ph {
namespace {

QString shownName(const QString& path) { return QDir::toNativeSeparators(path); }

Error damagedFile(const QString& path) {
    return Error(QStringLiteral("فايل «%1» يك فايل اكسل سالم نيست و خوانده نشد.").arg(shownName(path)));
}

Error tooLargeFile(const QString& path, qint64 limit) {
    return Error(QStringLiteral("فايل «%1» بزرگ تر از آن است كه خوانده شود (برگه آن بيش از %2 مگابايت داده دارد) و "
                                "خوانده نشد.")
                     .arg(shownName(path), QString::number(limit >> 20)));
}

// Excel's own limits of a sheet: a row or column beyond them marks a damaged file.
constexpr int kLastSheetRow = 1'048'576;
constexpr int kLastSheetColumn = 16'383; // XFD, counted from 0

// Whether a header cell names the barcode column: the Latin word or the Persian one in
// either kaf, with or without a blank or a zero-width non-joiner inside.
bool isBarcodeHeader(QString name) {
    name.remove(u' ');
    name.remove(QChar(0x200C));
    name.replace(QChar(0x06A9), QChar(0x0643)); // Persian kaf as the Arabic one
    return name.compare(QLatin1String("barcode"), Qt::CaseInsensitive) == 0 || name == QStringLiteral("باركد");
}

// Finds the code and price columns (and the barcode column, when there is one) on the
// header row, then keeps those cells of every later row.
class SheetCollector {
public:
    SheetCollector(QString path, int mostRows) : m_path(std::move(path)), m_mostRows(mostRows) {}

    bool headerDone() const { return m_headerDone; }
    int codeColumn() const { return m_code; }
    int priceColumn() const { return m_price; }

    // Rows arrive in sheet order; `cells` holds the row's cells by column (0 is A).
    void addRow(int sheetRow, const QStringList& cells) {
        if (!m_headerDone) {
            m_headerDone = true;
            if (sheetRow == 1) {
                for (int col = 0; col < cells.size(); ++col) {
                    const QString name = visibleCellText(cells[col]);
                    if (m_code < 0 && name.compare(QLatin1String("code"), Qt::CaseInsensitive) == 0)
                        m_code = col;
                    else if (m_price < 0 && name.compare(QLatin1String("price"), Qt::CaseInsensitive) == 0)
                        m_price = col;
                    else if (m_barcode < 0 && isBarcodeHeader(name))
                        m_barcode = col;
                }
            }
            requireHeaders();
            return;
        }
        const QString code = cells.value(m_code);
        const QString price = cells.value(m_price);
        if (visibleCellText(code).isEmpty() && visibleCellText(price).isEmpty())
            return;
        if (m_rows.size() >= m_mostRows)
            throw Error(QStringLiteral("فايل «%1» بيش از %2 رديف قيمت دارد و خوانده نشد؛ آن را در چند فايل كوچك تر "
                                       "بنويسيد.")
                            .arg(shownName(m_path), QString::number(m_mostRows)));
        m_rows.append({sheetRow, code, price, m_barcode < 0 ? QString() : visibleCellText(cells.value(m_barcode))});
    }

    QList<PriceSheetRow> finish() {
        requireHeaders();
        return std::move(m_rows);
    }

private:
    void requireHeaders() const {
        if (m_code >= 0 && m_price >= 0)
            return;
        const QString missing = m_code < 0 && m_price < 0 ? QStringLiteral("ستون هاي code و price")
                                : m_code < 0             ? QStringLiteral("ستون code")
                                                         : QStringLiteral("ستون price");
        throw Error(QStringLiteral("%1 در سطر اول برگه اول فايل «%2» پيدا نشد؛ سطر اول برگه بايد عنوان هاي code و "
                                   "price را داشته باشد.")
                        .arg(missing, shownName(m_path)));
    }

    QString m_path;
    int m_mostRows;
    bool m_headerDone = false;
    int m_code = -1;
    int m_price = -1;
    int m_barcode = -1;
    QList<PriceSheetRow> m_rows;
};

// ---- Excel 97-2003 (.xls) -------------------------------------------------------

// Exit statuses of pharmacy-xls-reader besides 0 (see xls_reader_main.cpp).
constexpr int kXlsPassword = 3;
constexpr int kXlsNoSheet = 4;

// A cell as the reader writes it, with "\\", "\t", "\n" and "\r" for a backslash, a
// tab, a line feed and a carriage return; nothing for any other escape.
std::optional<QString> unescapedCell(QByteArrayView field) {
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c == '\\') {
            if (++i == field.size())
                return std::nullopt;
            switch (field[i]) {
            case '\\':
                c = '\\';
                break;
            case 't':
                c = '\t';
                break;
            case 'n':
                c = '\n';
                break;
            case 'r':
                c = '\r';
                break;
            default:
                return std::nullopt;
            }
        }
        bytes.append(c);
    }
    return QString::fromUtf8(bytes);
}

// Hands the rows the reader wrote to the collector: one line per row, its row number
// and its cells separated by tabs. Anything else is a damaged file.
void collectXlsRows(const QByteArray& output, const QString& path, SheetCollector& sheet) {
    if (!output.isEmpty() && !output.endsWith('\n'))
        throw damagedFile(path);
    int previousRow = 0;
    qsizetype start = 0;
    while (start < output.size()) {
        const qsizetype end = output.indexOf('\n', start);
        const QByteArrayView line = QByteArrayView(output).sliced(start, end - start);
        start = end + 1;
        qsizetype tab = line.indexOf('\t');
        bool ok = false;
        const int row = line.first(tab < 0 ? line.size() : tab).toInt(&ok);
        if (!ok || row <= previousRow || row > kLastSheetRow)
            throw damagedFile(path);
        previousRow = row;
        QStringList cells;
        while (tab >= 0) {
            const qsizetype next = line.indexOf('\t', tab + 1);
            const std::optional<QString> cell = unescapedCell(line.sliced(tab + 1, (next < 0 ? line.size() : next) - tab - 1));
            if (!cell || cells.size() > kLastSheetColumn)
                throw damagedFile(path);
            cells.append(*cell);
            tab = next;
        }
        sheet.addRow(row, cells);
    }
}

// FreeXL crashes or loops on some damaged files, so it runs in a process of its own:
// a crash, a hang or a refusal there only means the file could not be read.
void readXls(const QString& path, SheetCollector& sheet, const PriceWorkbookReading& reading) {
    const QString program = reading.xlsReader.isEmpty() ? xlsReaderBesideProgram() : reading.xlsReader;
    QProcess reader;
    reader.setProgram(program);
    reader.setArguments({path});
    reader.setStandardInputFile(QProcess::nullDevice());
    reader.setStandardErrorFile(QProcess::nullDevice());
    reader.start(QIODevice::ReadOnly);
    if (!reader.waitForStarted(reading.xlsTimeoutMs))
        throw Error(QStringLiteral("برنامه خواندن فايل هاي اكسل 97-2003 («%1») اجرا نشد و فايل «%2» خوانده نشد.")
                        .arg(shownName(program), shownName(path)));
    auto stop = [&reader] {
        reader.kill();
        reader.waitForFinished(5000);
    };

    QByteArray output;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const bool running = reader.state() != QProcess::NotRunning;
        const qint64 left = reading.xlsTimeoutMs - clock.elapsed();
        if (running && left <= 0) {
            stop();
            throw Error(QStringLiteral("خواندن فايل «%1» بيش از %2 ثانيه طول كشيد و متوقف شد؛ فايل خوانده نشد.")
                            .arg(shownName(path), QString::number((reading.xlsTimeoutMs + 999) / 1000)));
        }
        if (running)
            reader.waitForReadyRead(int(std::min<qint64>(left, 1000)));
        output += reader.readAllStandardOutput();
        if (output.size() > reading.largestPartBytes) {
            stop();
            throw tooLargeFile(path, reading.largestPartBytes);
        }
        if (!running)
            break;
    }
    if (reader.exitStatus() != QProcess::NormalExit)
        throw damagedFile(path);
    switch (reader.exitCode()) {
    case 0:
        break;
    case kXlsPassword:
        throw Error(QStringLiteral("فايل «%1» رمز دارد و خوانده نشد.").arg(shownName(path)));
    case kXlsNoSheet:
        throw Error(QStringLiteral("فايل «%1» هيچ برگه اي ندارد.").arg(shownName(path)));
    default:
        throw damagedFile(path);
    }
    collectXlsRows(output, path, sheet);
}

// ---- Excel 2007 and later (.xlsx) -----------------------------------------------

// One part of the package, read as it inflates. Reading fails once more than the limit
// has come out, so a small package cannot inflate into gigabytes of memory.
class PackagePart : public QIODevice {
public:
    PackagePart(unzFile zip, qint64 limit) : m_zip(zip), m_limit(limit) {}

    bool openPart() { return unzOpenCurrentFile(m_zip) == UNZ_OK && open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    bool tooLarge() const { return m_tooLarge; }
    // Closes the part; false when the zip's own checks (the CRC) failed on what was read.
    bool closeIntact() {
        close();
        return unzCloseCurrentFile(m_zip) == UNZ_OK && !m_damaged;
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (m_tooLarge || m_damaged)
            return -1;
        const qint64 wanted = std::min<qint64>({maxSize, m_limit - m_read + 1, qint64(1) << 30});
        const int read = unzReadCurrentFile(m_zip, data, unsigned(wanted));
        if (read < 0) {
            m_damaged = true;
            return -1;
        }
        m_read += read;
        if (m_read > m_limit) {
            m_tooLarge = true;
            return -1;
        }
        return read;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    unzFile m_zip;
    qint64 m_limit;
    qint64 m_read = 0;
    bool m_tooLarge = false;
    bool m_damaged = false;
};

class XlsxPackage {
public:
    XlsxPackage(const QString& path, qint64 largestPart)
        : m_path(path), m_zip(unzOpen64(QFile::encodeName(path).constData())), m_largestPart(largestPart) {
        if (!m_zip)
            throw damagedFile(path);
    }
    ~XlsxPackage() { unzClose(m_zip); }
    XlsxPackage(const XlsxPackage&) = delete;
    XlsxPackage& operator=(const XlsxPackage&) = delete;

    // Runs `read` over a part of the package as it inflates; false when the package has
    // no such part. A part that is not well-formed, or larger than the limit, throws.
    bool read(const QString& name, const std::function<void(QXmlStreamReader&)>& read) {
        // 2: names compared without regard to letter case.
        if (unzLocateFile(m_zip, name.toUtf8().constData(), 2) != UNZ_OK)
            return false;
        PackagePart part(m_zip, m_largestPart);
        if (!part.openPart())
            throw damagedFile(m_path);
        QXmlStreamReader xml(&part);
        try {
            read(xml);
        } catch (const Error&) {
            if (part.tooLarge())
                throw tooLargeFile(m_path, m_largestPart);
            throw;
        }
        if (part.tooLarge())
            throw tooLargeFile(m_path, m_largestPart);
        if (xml.hasError() || !part.closeIntact())
            throw damagedFile(m_path);
        return true;
    }

    void readRequired(const QString& name, const std::function<void(QXmlStreamReader&)>& read) {
        if (!this->read(name, read))
            throw damagedFile(m_path);
    }

private:
    QString m_path;
    unzFile m_zip;
    qint64 m_largestPart;
};

// The text of a string item (<si> or <is>) the reader stands on: its plain text, or its
// rich-text runs joined, leaving out phonetic guides.
QString readStringItem(QXmlStreamReader& xml) {
    QString text;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"t") {
            text += xml.readElementText();
        } else if (xml.name() == u"r") {
            while (xml.readNextStartElement()) {
                if (xml.name() == u"t")
                    text += xml.readElementText();
                else
                    xml.skipCurrentElement();
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    return text;
}

void requireWellFormed(const QXmlStreamReader& xml, const QString& path) {
    if (xml.hasError())
        throw damagedFile(path);
}

// The package path of the first sheet in workbook order.
QString firstSheetPart(XlsxPackage& package, const QString& path) {
    QString relationId;
    package.readRequired(QStringLiteral("xl/workbook.xml"), [&](QXmlStreamReader& xml) {
        while (relationId.isEmpty() && !xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"sheet") {
                // r:id, whichever prefix and namespace version the writer used.
                for (const QXmlStreamAttribute& attribute : xml.attributes())
                    if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                        relationId = attribute.value().toString();
                if (relationId.isEmpty())
                    throw damagedFile(path);
            }
        }
        requireWellFormed(xml, path);
    });
    if (relationId.isEmpty())
        throw Error(QStringLiteral("فايل «%1» هيچ برگه اي ندارد.").arg(shownName(path)));

    QString sheetPart;
    package.readRequired(QStringLiteral("xl/_rels/workbook.xml.rels"), [&](QXmlStreamReader& xml) {
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"Relationship" &&
                xml.attributes().value(QLatin1String("Id")) == relationId) {
                const QString target = xml.attributes().value(QLatin1String("Target")).toString();
                // A target is relative to the workbook's folder unless it starts at the root.
                sheetPart =
                    QDir::cleanPath(target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target);
                return;
            }
        }
        requireWellFormed(xml, path);
    });
    if (sheetPart.isEmpty())
        throw damagedFile(path);
    return sheetPart;
}

QStringList readSharedStrings(XlsxPackage& package, const QString& path) {
    QStringList strings;
    package.read(QStringLiteral("xl/sharedStrings.xml"), [&](QXmlStreamReader& xml) {
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si")
                strings.append(readStringItem(xml));
        }
        requireWellFormed(xml, path);
    });
    return strings;
}

// Column index of a cell reference such as "C12" (A is 0), or -1.
int columnOfReference(QStringView reference) {
    int column = 0;
    qsizetype i = 0;
    for (; i < reference.size(); ++i) {
        const char16_t c = reference[i].toUpper().unicode();
        if (c < u'A' || c > u'Z')
            break;
        column = column * 26 + (c - u'A' + 1);
        if (column > 16384)
            return -1;
    }
    return i == 0 ? -1 : column - 1;
}

QString xlsxCellText(QStringView type, const QString& value, const QString& inlineText, const QStringList& shared,
                     const QString& path) {
    if (type == u"s") {
        bool ok = false;
        const int index = value.trimmed().toInt(&ok);
        if (!ok || index < 0 || index >= shared.size())
            throw damagedFile(path);
        return shared[index];
    }
    if (type == u"inlineStr")
        return inlineText;
    if (type == u"b")
        return value.trimmed() == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (type.isEmpty() || type == u"n") {
        bool ok = false;
        const double number = value.trimmed().toDouble(&ok);
        if (ok)
            return plainDecimalText(number);
    }
    return value; // formula text results, error values, dates written as text
}

void readXlsx(const QString& path, SheetCollector& sheet, const PriceWorkbookReading& reading) {
    XlsxPackage package(path, reading.largestPartBytes);
    const QString sheetPart = firstSheetPart(package, path);
    const QStringList shared = readSharedStrings(package, path);

    package.readRequired(sheetPart, [&](QXmlStreamReader& xml) {
        int rowNumber = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"row")
                continue;
            // A row without its number follows the one before it.
            bool ok = false;
            const int given = xml.attributes().value(QLatin1String("r")).toInt(&ok);
            rowNumber = ok && given > rowNumber ? given : rowNumber + 1;
            if (rowNumber > kLastSheetRow)
                throw damagedFile(path);

            QStringList cells;
            int column = -1;
            while (xml.readNextStartElement()) {
                if (xml.name() != u"c") {
                    xml.skipCurrentElement();
                    continue;
                }
                const QXmlStreamAttributes attributes = xml.attributes();
                const QStringView reference = attributes.value(QLatin1String("r"));
                column = reference.isEmpty() ? column + 1 : columnOfReference(reference);
                if (column < 0 || column > kLastSheetColumn)
                    throw damagedFile(path);
                const QString type = attributes.value(QLatin1String("t")).toString();
                QString value;
                QString inlineText;
                while (xml.readNextStartElement()) {
                    if (xml.name() == u"v")
                        value = xml.readElementText();
                    else if (xml.name() == u"is")
                        inlineText = readStringItem(xml);
                    else
                        xml.skipCurrentElement();
                }
                if (cells.size() <= column)
                    cells.resize(column + 1);
                cells[column] = xlsxCellText(type, value, inlineText, shared, path);
            }
            requireWellFormed(xml, path);
            sheet.addRow(rowNumber, cells);
        }
        requireWellFormed(xml, path);
    });
}

// ---- Separated values (.csv) ----------------------------------------------------

// The separator the header line uses most: comma, semicolon or tab.
QChar guessSeparator(const QString& text) {
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == u'\n' || c == u'\r')
            break;
        else if (c == u',')
            ++commas;
        else if (c == u';')
            ++semicolons;
        else if (c == u'\t')
            ++tabs;
    }
    if (semicolons > commas && semicolons >= tabs)
        return u';';
    if (tabs > commas)
        return u'\t';
    return u',';
}

void readCsv(const QByteArray& bytes, SheetCollector& sheet) {
    QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QChar separator = guessSeparator(text);

    // One record is one sheet row; a quoted field may hold separators, doubled quotes
    // and line breaks.
    QStringList cells;
    QString field;
    bool quoted = false;
    bool recordOpen = false;
    int rowNumber = 0;
    auto endRecord = [&] {
        cells.append(field);
        field.clear();
        sheet.addRow(++rowNumber, cells);
        cells.clear();
        recordOpen = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != u'"')
                field.append(c);
            else if (i + 1 < text.size() && text[i + 1] == u'"')
                field.append(text[++i]);
            else
                quoted = false;
            continue;
        }
        recordOpen = true;
        if (c == u'"') {
            quoted = true;
        } else if (c == separator) {
            cells.append(field);
            field.clear();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            endRecord();
        } else {
            field.append(c);
        }
    }
    if (recordOpen || quoted)
        endRecord();
}

} // namespace

QString visibleCellText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == 0x200E || u == 0x200F || u == 0xFEFF || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069))
            continue;
        out.append(c);
    }
    return out.trimmed();
}

QString defaultPriceWorkbookPath(const QString& workingDir) {
    return QDir(workingDir).absoluteFilePath(QStringLiteral("pharmacy.xls"));
}

QString xlsReaderBesideProgram() {
    const QString name = QStringLiteral("pharmacy-xls-reader");
    const QString dir = QCoreApplication::applicationDirPath();
    const QString found = QStandardPaths::findExecutable(name, {dir});
    return found.isEmpty() ? QDir(dir).absoluteFilePath(name) : found;
}

QList<PriceSheetRow> readPriceWorkbook(const QString& path, const PriceWorkbookReading& reading) {
    if (!QFileInfo(path).isFile())
        throw Error(QStringLiteral("فايل «%1» پيدا نشد.").arg(shownName(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("فايل «%1» باز نشد: %2").arg(shownName(path), file.errorString()));

    SheetCollector sheet(path, reading.mostRows);
    const QByteArray signature = file.peek(8);
    if (signature == QByteArray::fromHex("d0cf11e0a1b11ae1")) {
        file.close();
        readXls(path, sheet, reading);
    } else if (signature.startsWith("PK\x03\x04")) {
        file.close();
        readXlsx(path, sheet, reading);
    } else {
        const QByteArray bytes = file.read(reading.largestPartBytes + 1);
        if (bytes.size() > reading.largestPartBytes)
            throw tooLargeFile(path, reading.largestPartBytes);
        readCsv(bytes, sheet);
    }
    return sheet.finish();
}

} // namespace ph
