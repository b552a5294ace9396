#include "claims/claim_file.h"

#include "claims/claims_texts.h"
#include "core/atomic_file.h"
#include "core/cp1256_text.h"
#include "insurance/ins_no.h"

#include <QFileInfo>

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace ph {

ClaimEncodingError::ClaimEncodingError(int invoice, QString field, char32_t character)
    : Error(claims::texts::kUnencodable.arg(QString::fromUcs4(&character, 1), field).arg(invoice)),
      m_invoice(invoice), m_field(std::move(field)), m_character(character) {}

namespace {

// Builds the file's bytes in place: tags, numbers and codes are ASCII and go in as they are;
// a text value goes in byte for byte when it is ASCII (after the code page's forms of Persian
// digits), else through the code page's converter. A character the code page lacks is
// reported with the field that holds it.
class Lines {
public:
    explicit Lines(qsizetype expected) { grow(expected); }

    void line(std::string_view ascii = {}) {
        put(ascii);
        put("\r\n");
    }
    void add(std::string_view ascii) { put(ascii); }
    // A text value, made of the given parts (a date is written without its separators).
    template <size_t N>
    void element(std::string_view tag, const std::array<QStringView, N>& parts, int invoice, const QString& field) {
        open(tag);
        for (QStringView part : parts)
            text(part, invoice, field);
        close(tag);
    }
    void element(std::string_view tag, const QString& value, int invoice, const QString& field) {
        element(tag, std::array{QStringView(value)}, invoice, field);
    }
    // A value made of digits and separators only (numbers, codes the program writes).
    void element(std::string_view tag, const QString& value) { element(tag, value, 0, QString()); }
    // A number as plainDecimalText writes it: whole numbers without a decimal point.
    void element(std::string_view tag, double value) {
        open(tag);
        if (value == 0.0 || !std::isfinite(value)) {
            put("0");
        } else {
            char buffer[400];
            put({buffer, size_t(std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed).ptr - buffer)});
        }
        close(tag);
    }
    void element(std::string_view tag, const std::optional<double>& value) {
        if (value) {
            element(tag, *value);
        } else {
            open(tag);
            close(tag);
        }
    }
    // A whole number, at least `digits` characters with zeros after its sign, as QString::arg
    // pads it.
    void element(std::string_view tag, qint64 value, int digits = 1) {
        open(tag);
        char buffer[24];
        const size_t length = size_t(std::to_chars(buffer, buffer + sizeof buffer, value).ptr - buffer);
        const size_t sign = value < 0 ? 1 : 0;
        put({buffer, sign});
        for (size_t i = length; i < size_t(digits); ++i)
            put("0");
        put({buffer + sign, length - sign});
        close(tag);
    }
    void endLine() { put("\r\n"); }
    QByteArray take() {
        m_bytes.truncate(m_size);
        return std::move(m_bytes);
    }

private:
    void grow(qsizetype more) {
        m_bytes.resize(std::max(m_size + more, m_bytes.size() * 2));
        m_data = m_bytes.data();
    }
    void put(std::string_view ascii) {
        if (m_size + qsizetype(ascii.size()) > m_bytes.size()) grow(qsizetype(ascii.size()));
        std::memcpy(m_data + m_size, ascii.data(), ascii.size());
        m_size += qsizetype(ascii.size());
    }
    void open(std::string_view tag) {
        put("<");
        put(tag);
        put(">");
    }
    void close(std::string_view tag) {
        put("</");
        put(tag);
        put(">");
    }
    void text(QStringView value, int invoice, const QString& field) {
        if (m_size + value.size() > m_bytes.size()) grow(value.size());
        char* out = m_data + m_size;
        for (const QChar c : value) {
            const char16_t u = c.unicode();
            if (u < 0x80)
                *out++ = char(u);
            else if (u >= 0x06F0 && u <= 0x06F9) // Persian digits
                *out++ = char('0' + (u - 0x06F0));
            else if (u >= 0x0660 && u <= 0x0669) // Arabic-Indic digits
                *out++ = char('0' + (u - 0x0660));
            else
                return encoded(value, invoice, field);
        }
        m_size = out - m_data;
    }
    void encoded(QStringView value, int invoice, const QString& field) {
        const Cp1256Text encoded = encodeCp1256(value.toString());
        if (!encoded.ok()) throw ClaimEncodingError(invoice, field, *encoded.unencodable);
        put({encoded.bytes.constData(), size_t(encoded.bytes.size())});
    }

    QByteArray m_bytes; // its size is the room; m_size the bytes written
    char* m_data = nullptr;
    qsizetype m_size = 0;
};

// The characters `length` from `from` of a text, as QString::mid gives them.
QStringView part(const QString& text, qsizetype from, qsizetype length) { return QStringView(text).mid(from, length); }

// yy/mm/dd as the parts of yymmdd.
std::array<QStringView, 3> shortDateParts(const QString& date) {
    return {part(date, 0, 2), part(date, 3, 2), part(date, 6, 2)};
}

// The national code a line is claimed under, when it is one (not a formula's or a missing one).
std::optional<qint64> nationalDrugCode(const ClaimLine& line) {
    if (line.formCode == 70 || !line.nationalCode || *line.nationalCode == 0) return std::nullopt;
    return qint64(std::llround(*line.nationalCode));
}

} // namespace

QString ClaimFileWriter::shortDate(const QString& date) { return date.mid(0, 2) + date.mid(3, 2) + date.mid(6, 2); }

QString ClaimFileWriter::drugCode(const ClaimLine& line) {
    if (line.formCode == 70) return QStringLiteral("55555"); // a compounding formula
    if (!line.nationalCode || *line.nationalCode == 0) return QStringLiteral("99800");
    return QStringLiteral("%1").arg(qint64(std::llround(*line.nationalCode)), 5, 10, QChar(u'0'));
}

QString ClaimFileWriter::insuredNumber(const ClaimPrescription& p, const QStringList& taminCodes) {
    if (!p.insNoTamin) return {};
    const QString& number = *p.insNoTamin;
    if (!isSocialSecurityInsurer(taminCodes, QString::number(p.insurer))) return number;
    const QString base = number.mid(0, 10);
    const QString insurance = number.mid(11, 4);
    if (insurance.isEmpty() || insurance == QLatin1String("0000")) return base;
    return base + insurance + number.mid(16, 2) + number.mid(19, 2);
}

ClaimFile ClaimFileWriter::write(const QList<ClaimPrescription>& prescriptions) const {
    namespace t = claims::texts;
    const ClaimOptions& o = m_options;
    const bool custom = o.variant == ClaimVariant::Custom;
    ClaimFile file;
    // About 250 bytes a prescription and 110 a line: the file's bytes grow in place.
    qsizetype lines = 0;
    for (const ClaimPrescription& p : prescriptions) lines += p.lines.size();
    Lines out(300 + 260 * prescriptions.size() + 120 * lines);
    if (custom) out.line("<Y>");
    out.line("<HR>");
    out.element("DC", o.pharmacyCode, 0, t::kFieldPharmacyCode);
    out.endLine();
    out.element("RC", qint64(prescriptions.size()));
    out.endLine();
    out.element("FD", shortDateParts(o.from), 0, t::kFieldPeriod);
    out.endLine();
    out.element("TD", shortDateParts(o.to), 0, t::kFieldPeriod);
    out.endLine();
    out.line("</HR>");
    out.line();
    int n = 0;
    for (const ClaimPrescription& p : prescriptions) {
        ++n;
        const int id = p.invoice;
        if (custom) out.line("<X>");
        out.line("<PH>");
        out.element("SQ", qint64(n));
        out.element("ND", shortDateParts(p.date), id, t::kFieldPrescriptionDate);
        out.element("RD", shortDateParts(p.dispensingDate), id, t::kFieldDispensingDate);
        out.element("NN", p.page);
        out.element("PT", qint64(p.insurer));
        out.element("SN", o.variant == ClaimVariant::NoLines ? p.insuranceNumber : insuredNumber(p, o.taminCodes), id,
                    t::kFieldInsuranceNumber);
        out.element("VD", std::array{part(p.bookletDate, 0, 4), part(p.bookletDate, 5, 2), part(p.bookletDate, 8, 2)}, id,
                    t::kFieldBookletDate);
        out.element("PC", p.prescriberCouncil, id, t::kFieldPrescriberCouncil);
        out.element("MC", o.fani, id, t::kFieldFani);
        out.element("PP", p.total);
        out.element("PS", p.patientShare);
        out.element("IS", p.insurerShare);
        if (custom && o.patientNames) {
            out.element("NE", p.patientName, id, t::kFieldPatientName);
            out.element("FY", p.patientFamily, id, t::kFieldPatientFamily);
        }
        if (custom && o.prescriberNames) {
            out.element("PN", p.prescriberName, id, t::kFieldPrescriberName);
            out.element("PF", p.prescriberFamily, id, t::kFieldPrescriberFamily);
        }
        out.endLine();
        out.line("</PH>");
        out.line("<BY>");
        if (o.variant != ClaimVariant::NoLines) {
            for (const ClaimLine& line : p.lines) {
                out.add("<MH>");
                if (const std::optional<qint64> code = nationalDrugCode(line))
                    out.element("MG", *code, 5);
                else
                    out.element("MG", drugCode(line));
                out.element("MD", line.quantity);
                out.element("MR", line.quantity);
                out.element("MP", custom ? line.insurerShare + line.patientShare : line.total);
                out.element("MI", line.insurerShare);
                out.element("MS", line.patientShare);
                out.add("</MH>");
                out.endLine();
                file.lineInsurerShare += line.insurerShare;
            }
        }
        out.line("</BY>");
        if (custom) out.line("</X>");
        file.insurerShare += p.insurerShare.value_or(0);
    }
    if (custom) out.line("</Y>");
    file.bytes = out.take();
    file.prescriptions = n;
    return file;
}

void saveFileBytes(const QString& path, const QByteArray& bytes) { writeFileWhole(path, bytes); }

QString proposedClaimName(const std::optional<int>& prescriptionType, const QString& previous) {
    if (!prescriptionType) return QStringLiteral("nos1");
    if (*prescriptionType >= 1 && *prescriptionType <= 6) return QStringLiteral("nos") + QString::number(*prescriptionType);
    return previous.isEmpty() ? QStringLiteral("nos1") : previous;
}

} // namespace ph
