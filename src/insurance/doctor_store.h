#pragma once

#include "core/pick_row.h"

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

namespace ph {

class Database;

// A prescriber (doctor_s). Prescriptions name him by his council number.
struct Doctor {
    int code = 0;
    QString name;          // first name; optional
    QString family;        // family name
    QString councilNumber; // order1: the medical-council number
    int specialty = 0;     // typeno: a doctor_type code
};

struct DoctorRow {
    Doctor doctor;
    QString specialtyName; // doctor_type.doc_type
};

class DoctorStore {
public:
    explicit DoctorStore(Database& db) : m_db(db) {}

    // The register in code order; a doctor whose specialty is not in the list is not shown.
    QList<DoctorRow> all();
    // The code the next doctor gets: the largest plus one, 1 for an empty register.
    int nextCode();
    // The doctor with this council number (trimmed); absent when none is registered.
    std::optional<Doctor> findByCouncilNumber(const QString& councilNumber);

    enum class AddResult { Added, Duplicate };
    // Adds the doctor with the code given; names and council number trimmed. Refused when
    // the code or the council number is already used.
    AddResult add(const Doctor& doctor);
    // A prescriber named by a prescription being saved, registered inside the caller's
    // transaction when his council number is not yet known: code = the largest plus one.
    // Returns his code, the registered one when he is known already.
    int registerPrescriber(const Doctor& doctor);
    // Rewrites the doctor with doctor.code; the names and council number trimmed.
    void update(const Doctor& doctor);

    // Prescriptions name the doctor's council number.
    bool inUse(int code);
    enum class RemoveResult { Removed, InUse };
    RemoveResult remove(int code);

    // The prescribers as the dispensing window's picker lists them (mode "nezam_p"): the
    // council number as code, family and name as name1, with `name` and `family` beside,
    // by council number.
    PickRows prescriberPickRows();

    // Specialties (doctor_type).
    std::optional<QString> specialtyName(qint64 code);
    QList<QPair<int, QString>> specialties();
    // The specialties as the lookup picker lists them (code, name1), by code.
    PickRows specialtyPickRows();

private:
    Database& m_db;
};

} // namespace ph
