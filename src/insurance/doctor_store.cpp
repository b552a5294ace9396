#include "insurance/doctor_store.h"

#include "db/database.h"
#include "db/key_allocator.h"
#include "db/pick_rows.h"
#include "db/transaction.h"

namespace ph {

QList<DoctorRow> DoctorStore::all() {
    Rows q =
        m_db.exec(QStringLiteral("select s.code, s.name, s.family, s.order1, s.typeno, t.doc_type "
                                 "from doctor_s s, doctor_type t where s.typeno=t.code order by s.code"));
    QList<DoctorRow> rows;
    while (q.next()) {
        DoctorRow row;
        row.doctor.code = q.value(0).toInt();
        row.doctor.name = q.value(1).toString();
        row.doctor.family = q.value(2).toString();
        row.doctor.councilNumber = q.value(3).toString();
        row.doctor.specialty = q.value(4).toInt();
        row.specialtyName = q.value(5).toString();
        rows.append(row);
    }
    return rows;
}

int DoctorStore::nextCode() {
    return int(nextKey(m_db, QStringLiteral("doctor_s"), QStringLiteral("code")));
}

std::optional<Doctor> DoctorStore::findByCouncilNumber(const QString& councilNumber) {
    Rows q = m_db.exec(
        m_db.dialect().selectLimited(
            QStringLiteral("code, name, family, order1, typeno from doctor_s where order1=? order by code"),
            1),
        {councilNumber.trimmed()});
    if (!q.next()) return std::nullopt;
    return Doctor{q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                  q.value(4).toInt()};
}

DoctorStore::AddResult DoctorStore::add(const Doctor& doctor) {
    const QString council = doctor.councilNumber.trimmed();
    const QString name = doctor.name.trimmed();
    return saveInTransaction(m_db, [&] {
        if (m_db.exec(QStringLiteral("select code from doctor_s where code=? or order1=?"),
                      {doctor.code, council})
                .next())
            return AddResult::Duplicate;
        m_db.exec(QStringLiteral(
                      "insert into doctor_s (code, name, family, order1, typeno) values (?, ?, ?, ?, ?)"),
                  {doctor.code, name.isEmpty() ? QVariant() : QVariant(name), doctor.family.trimmed(),
                   council, doctor.specialty});
        return AddResult::Added;
    });
}

int DoctorStore::registerPrescriber(const Doctor& doctor) {
    if (const auto known = findByCouncilNumber(doctor.councilNumber)) return known->code;
    const int code = nextCode();
    const QString name = doctor.name.trimmed();
    m_db.exec(
        QStringLiteral("insert into doctor_s (code, name, family, order1, typeno) values (?, ?, ?, ?, ?)"),
        {code, name.isEmpty() ? QVariant() : QVariant(name), doctor.family.trimmed(),
         doctor.councilNumber.trimmed(), doctor.specialty});
    return code;
}

void DoctorStore::update(const Doctor& doctor) {
    m_db.exec(QStringLiteral("update doctor_s set name=?, family=?, order1=?, typeno=? where code=?"),
              {doctor.name.trimmed(), doctor.family.trimmed(), doctor.councilNumber.trimmed(),
               doctor.specialty, doctor.code});
}

bool DoctorStore::inUse(int code) {
    Rows q = m_db.exec(QStringLiteral("select order1 from doctor_s where code=?"), {code});
    if (!q.next()) return false;
    const QVariant council = q.value(0);
    q.finish();
    if (council.isNull()) return false;
    return m_db
        .exec(m_db.dialect().selectLimited(QStringLiteral("1 from heading_noskhe where nezam_p=?"), 1),
              {council.toString()})
        .next();
}

DoctorStore::RemoveResult DoctorStore::remove(int code) {
    Transaction transaction(m_db);
    if (inUse(code)) return RemoveResult::InUse;
    m_db.exec(QStringLiteral("delete from doctor_s where code=?"), {code});
    transaction.commit();
    return RemoveResult::Removed;
}

std::optional<QString> DoctorStore::specialtyName(qint64 code) {
    Rows q = m_db.exec(QStringLiteral("select doc_type from doctor_type where code=?"), {code});
    if (!q.next()) return std::nullopt;
    return q.value(0).toString();
}

QList<QPair<int, QString>> DoctorStore::specialties() {
    Rows q = m_db.exec(QStringLiteral("select code, doc_type from doctor_type order by code"));
    QList<QPair<int, QString>> list;
    while (q.next())
        list.append({q.value(0).toInt(), q.value(1).toString()});
    return list;
}

PickRows DoctorStore::prescriberPickRows() {
    const SqlDialect& sql = m_db.dialect();
    return loadPickRows(m_db, QStringLiteral("select name, family, order1 as code, %1 as name1 from doctor_s "
                                             "where order1 is not null order by order1")
                                  .arg(sql.concat({QStringLiteral("coalesce(family, '')"), QStringLiteral("'   '"),
                                                   QStringLiteral("coalesce(name, '')")})));
}

PickRows DoctorStore::specialtyPickRows() {
    return loadPickRows(m_db,
                        QStringLiteral("select code, doc_type as name1 from doctor_type order by code"));
}

} // namespace ph
