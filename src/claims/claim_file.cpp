#include "claims/claim_file.h"

#include "claims/claims_texts.h"
#include "core/amounts.h"
#include "core/atomic_file.h"
#include "core/cp1256_text.h"
#include "insurance/ins_no.h"

#include <QFileInfo>

#include <cmath>

namespace ph {

ClaimEncodingError::ClaimEncodingError(int invoice, QString field, char32_t character)
    : Error(claims::texts::kUnencodable.arg(QString::fromUcs4(&character, 1), field).arg(invoice)),
      m_invoice(invoice), m_field(std::move(field)), m_character(character) {}

namespace {

QString numberText(const std::optional<double>& value) { return value ? plainDecimalText(*value) : QString(); }

// Builds the file's bytes record by record: the heading, then each prescription's block, is
// made as text and encoded once, which is where the time of a large file goes. A character the
// code page lacks is reported with the field that holds it.
class Lines {
public:
    void line(const char* ascii = "") {
        m_text += QLatin1String(ascii);
        m_text += QLatin1String("\r\n");
    }
    void add(const char* ascii) { m_text += QLatin1String(ascii); }
    void element(const char* tag, const QString& value, int invoice, const QString& field) {
        m_text += QLatin1Char('<');
        m_text += QLatin1String(tag);
        m_text += QLatin1Char('>');
        if (!field.isEmpty()) m_fields.append({int(m_text.size()), int(m_text.size() + value.size()), invoice, &field});
        m_text += value;
        m_text += QLatin1String("</");
        m_text += QLatin1String(tag);
        m_text += QLatin1Char('>');
    }
    // A value made of digits and separators only (numbers, codes the program writes).
    void element(const char* tag, const QString& value) { element(tag, value, 0, QString()); }
    void endLine() { m_text += QLatin1String("\r\n"); }
    void reserve(qsizetype bytes) { m_bytes.reserve(bytes); }
    // Encodes the record made since the last one.
    void endRecord() {
        const Cp1256Text encoded = encodeCp1256(m_text);
        if (!encoded.ok()) {
            for (const Field& field : m_fields)
                if (encoded.unencodableAt >= field.start && encoded.unencodableAt < field.end)
                    throw ClaimEncodingError(field.invoice, *field.name, *encoded.unencodable);
            throw ClaimEncodingError(0, QString(), *encoded.unencodable);
        }
        m_bytes += encoded.bytes;
        m_text.resize(0); // keeps its room for the next record
        m_fields.clear();
    }
    QByteArray take() {
        endRecord();
        return std::move(m_bytes);
    }

private:
    struct Field {
        int start, end; // the value's place in the record's text
        int invoice;
        const QString* name;
    };
    QString m_text;
    QList<Field> m_fields;
    QByteArray m_bytes;
};

} // namespace

QString ClaimFileWriter::shortDate(const QString& date) { return date.mid(0, 2) + date.mid(3, 2) + date.mid(6, 2); }

QString ClaimFileWriter::bookletDate(const QString& date) { return date.mid(0, 4) + date.mid(5, 2) + date.mid(8, 2); }

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
    Lines out;
    // About 250 bytes a prescription and 110 a line: the file's bytes grow in place.
    qsizetype lines = 0;
    for (const ClaimPrescription& p : prescriptions) lines += p.lines.size();
    out.reserve(300 + 260 * prescriptions.size() + 120 * lines);
    if (custom) out.line("<Y>");
    out.line("<HR>");
    out.element("DC", o.pharmacyCode, 0, t::kFieldPharmacyCode);
    out.endLine();
    out.element("RC", QString::number(prescriptions.size()));
    out.endLine();
    out.element("FD", shortDate(o.from), 0, t::kFieldPeriod);
    out.endLine();
    out.element("TD", shortDate(o.to), 0, t::kFieldPeriod);
    out.endLine();
    out.line("</HR>");
    out.line();
    out.endRecord();
    int n = 0;
    for (const ClaimPrescription& p : prescriptions) {
        ++n;
        const int id = p.invoice;
        if (custom) out.line("<X>");
        out.line("<PH>");
        out.element("SQ", QString::number(n));
        out.element("ND", shortDate(p.date), id, t::kFieldPrescriptionDate);
        out.element("RD", shortDate(p.dispensingDate), id, t::kFieldDispensingDate);
        out.element("NN", numberText(p.page));
        out.element("PT", QString::number(p.insurer));
        out.element("SN", o.variant == ClaimVariant::NoLines ? p.insuranceNumber : insuredNumber(p, o.taminCodes), id,
                    t::kFieldInsuranceNumber);
        out.element("VD", bookletDate(p.bookletDate), id, t::kFieldBookletDate);
        out.element("PC", p.prescriberCouncil, id, t::kFieldPrescriberCouncil);
        out.element("MC", o.fani, id, t::kFieldFani);
        out.element("PP", numberText(p.total));
        out.element("PS", numberText(p.patientShare));
        out.element("IS", numberText(p.insurerShare));
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
                out.element("MG", drugCode(line));
                out.element("MD", plainDecimalText(line.quantity));
                out.element("MR", plainDecimalText(line.quantity));
                out.element("MP", plainDecimalText(custom ? line.insurerShare + line.patientShare : line.total));
                out.element("MI", plainDecimalText(line.insurerShare));
                out.element("MS", plainDecimalText(line.patientShare));
                out.add("</MH>");
                out.endLine();
                file.lineInsurerShare += line.insurerShare;
            }
        }
        out.line("</BY>");
        if (custom) out.line("</X>");
        out.endRecord();
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
