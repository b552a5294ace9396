#include "admin/price_workbook.h"

#include "core/amounts.h"
#include "core/error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <freexl.h>
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <optional>

namespace ph {
namespace {

QString shownName(const QString& path) { return QDir::toNativeSeparators(path); }

Error damagedFile(const QString& path) {
    return Error(QStringLiteral("فايل «%1» يك فايل اكسل سالم نيست و خوانده نشد.").arg(shownName(path)));
}

// Finds the code and price columns on the header row, then keeps those two cells of
// every later row.
class SheetCollector {
public:
    explicit SheetCollector(QString path) : m_path(std::move(path)) {}

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
                }
            }
            requireHeaders();
            return;
        }
        const QString code = cells.value(m_code);
        const QString price = cells.value(m_price);
        if (visibleCellText(code).isEmpty() && visibleCellText(price).isEmpty())
            return;
        m_rows.append({sheetRow, code, price});
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
    bool m_headerDone = false;
    int m_code = -1;
    int m_price = -1;
    QList<PriceSheetRow> m_rows;
};

// ---- Excel 97-2003 (.xls) -------------------------------------------------------

QString xlsCellText(const FreeXL_CellValue& cell) {
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return QString::number(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return plainDecimalText(cell.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return QString::fromUtf8(cell.value.text_value);
    default:
        return {};
    }
}

void readXls(const QString& path, SheetCollector& sheet) {
    const void* handle = nullptr;
    const int opened = freexl_open(QFile::encodeName(path).constData(), &handle);
    struct Closer {
        const void*& handle;
        ~Closer() {
            if (handle)
                freexl_close(handle);
        }
    } closer{handle};
    if (opened != FREEXL_OK)
        throw damagedFile(path);

    unsigned int info = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
        throw Error(QStringLiteral("فايل «%1» رمز دارد و خوانده نشد.").arg(shownName(path)));
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &info) != FREEXL_OK || info == 0)
        throw Error(QStringLiteral("فايل «%1» هيچ برگه اي ندارد.").arg(shownName(path)));
    if (freexl_select_active_worksheet(handle, 0) != FREEXL_OK)
        throw damagedFile(path);
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
        throw damagedFile(path);

    auto cellAt = [&](unsigned int row, int col) {
        FreeXL_CellValue cell;
        if (freexl_get_cell_value(handle, row, static_cast<unsigned short>(col), &cell) != FREEXL_OK)
            throw damagedFile(path);
        return xlsCellText(cell);
    };
    for (unsigned int row = 0; row < rows; ++row) {
        QStringList cells;
        if (!sheet.headerDone()) {
            for (int col = 0; col < columns; ++col)
                cells.append(cellAt(row, col));
        } else {
            // Only the two columns the correction reads.
            const int last = std::max(sheet.codeColumn(), sheet.priceColumn());
            cells.resize(last + 1);
            cells[sheet.codeColumn()] = cellAt(row, sheet.codeColumn());
            cells[sheet.priceColumn()] = cellAt(row, sheet.priceColumn());
        }
        sheet.addRow(int(row) + 1, cells);
    }
}

// ---- Excel 2007 and later (.xlsx) -----------------------------------------------

class XlsxPackage {
public:
    explicit XlsxPackage(const QString& path) : m_path(path), m_zip(path) {
        if (!m_zip.open(QuaZip::mdUnzip))
            throw damagedFile(path);
    }

    // A part of the package, or nothing when the package has no such part.
    std::optional<QByteArray> part(const QString& name) {
        if (!m_zip.setCurrentFile(name, QuaZip::csInsensitive))
            return std::nullopt;
        QuaZipFile file(&m_zip);
        if (!file.open(QIODevice::ReadOnly))
            throw damagedFile(m_path);
        QByteArray bytes = file.readAll();
        file.close();
        if (file.getZipError() != UNZ_OK)
            throw damagedFile(m_path);
        return bytes;
    }

    QByteArray requiredPart(const QString& name) {
        std::optional<QByteArray> bytes = part(name);
        if (!bytes)
            throw damagedFile(m_path);
        return *bytes;
    }

private:
    QString m_path;
    QuaZip m_zip;
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
    {
        QXmlStreamReader xml(package.requiredPart(QStringLiteral("xl/workbook.xml")));
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
    }
    if (relationId.isEmpty())
        throw Error(QStringLiteral("فايل «%1» هيچ برگه اي ندارد.").arg(shownName(path)));

    QXmlStreamReader xml(package.requiredPart(QStringLiteral("xl/_rels/workbook.xml.rels")));
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"Relationship" &&
            xml.attributes().value(QLatin1String("Id")) == relationId) {
            const QString target = xml.attributes().value(QLatin1String("Target")).toString();
            // A target is relative to the workbook's folder unless it starts at the root.
            return QDir::cleanPath(target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target);
        }
    }
    requireWellFormed(xml, path);
    throw damagedFile(path);
}

QStringList readSharedStrings(XlsxPackage& package, const QString& path) {
    QStringList strings;
    const std::optional<QByteArray> bytes = package.part(QStringLiteral("xl/sharedStrings.xml"));
    if (!bytes)
        return strings;
    QXmlStreamReader xml(*bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"si")
            strings.append(readStringItem(xml));
    }
    requireWellFormed(xml, path);
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

void readXlsx(const QString& path, SheetCollector& sheet) {
    XlsxPackage package(path);
    const QString sheetPart = firstSheetPart(package, path);
    const QStringList shared = readSharedStrings(package, path);

    QXmlStreamReader xml(package.requiredPart(sheetPart));
    int rowNumber = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"row")
            continue;
        bool ok = false;
        const int given = xml.attributes().value(QLatin1String("r")).toInt(&ok);
        rowNumber = ok && given > rowNumber ? given : rowNumber + 1;

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
            if (column < 0)
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

QList<PriceSheetRow> readPriceWorkbook(const QString& path) {
    if (!QFileInfo(path).isFile())
        throw Error(QStringLiteral("فايل «%1» پيدا نشد.").arg(shownName(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("فايل «%1» باز نشد: %2").arg(shownName(path), file.errorString()));

    SheetCollector sheet(path);
    const QByteArray signature = file.peek(8);
    if (signature == QByteArray::fromHex("d0cf11e0a1b11ae1")) {
        file.close();
        readXls(path, sheet);
    } else if (signature.startsWith("PK\x03\x04")) {
        file.close();
        readXlsx(path, sheet);
    } else {
        readCsv(file.readAll(), sheet);
    }
    return sheet.finish();
}

} // namespace ph
