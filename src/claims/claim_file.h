#pragma once

#include "claims/insurance_list.h"
#include "core/error.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ph {

// The layouts of an insurer's claim file.
enum class ClaimVariant {
    Default, // heading block and one block per prescription with its tariff lines
    Custom,  // wrapped in <Y> and <X>, optional names, line amount MP = insurer + patient share
    NoLines, // the default heading and blocks, the booklet number as stored, no lines
};

struct ClaimOptions {
    ClaimVariant variant = ClaimVariant::Default;
    QString pharmacyCode = QStringLiteral("0"); // DC
    QString from, to;                           // the period, yy/mm/dd
    QString fani;                               // MC: the technical manager's council number
    QStringList taminCodes;                     // the social-security insurers
    bool patientNames = false;                  // custom: NE and FY
    bool prescriberNames = false;               // custom: PN and PF
};

// What a written claim file holds besides its bytes: the sums the custom export shows.
struct ClaimFile {
    QByteArray bytes;
    int prescriptions = 0;
    double insurerShare = 0;      // the prescriptions' price_bimeh
    double lineInsurerShare = 0;  // the written lines' sazman
};

// A value that code page 1256 cannot hold: which prescription, which field, which character.
class ClaimEncodingError : public Error {
public:
    ClaimEncodingError(int invoice, QString field, char32_t character);
    int invoice() const { return m_invoice; }
    const QString& field() const { return m_field; }
    char32_t character() const { return m_character; }

private:
    int m_invoice;
    QString m_field;
    char32_t m_character;
};

// Writes an insurer's claim file: code page 1256 bytes, lines ended by CR LF, no byte-order
// mark, tags without spaces or attributes.
class ClaimFileWriter {
public:
    explicit ClaimFileWriter(ClaimOptions options) : m_options(std::move(options)) {}

    // The file's bytes; throws ClaimEncodingError for a value the code page cannot hold.
    ClaimFile write(const QList<ClaimPrescription>& prescriptions) const;

    // The parts of a prescription as the file writes them.
    static QString shortDate(const QString& date);        // yy/mm/dd -> yymmdd
    static QString drugCode(const ClaimLine& line);       // 55555, 99800 or the national code
    static QString insuredNumber(const ClaimPrescription& p, const QStringList& taminCodes);

private:
    ClaimOptions m_options;
};

// Writes the bytes to the file under a temporary name beside it, renamed when complete, so
// a full disk or a crash never leaves a truncated file that looks finished. Throws ph::Error
// with the Persian message naming the file.
void saveFileBytes(const QString& path, const QByteArray& bytes);

// The name a claim file is proposed under: "nos" + the list's prescription-type filter when it
// is 1 to 6, "nos1" with no filter, otherwise the name proposed last time.
QString proposedClaimName(const std::optional<int>& prescriptionType, const QString& previous);

} // namespace ph
