#pragma once

#include "claims/insurance_list.h"
#include "widgets/row_table_model.h"

namespace ph {

// The shown rows, narrowed by a quick search's prefix; the grid's model.
class ListRowsModel : public RowTableModel<ListRow> {
public:
    explicit ListRowsModel(QObject* parent)
        : RowTableModel<ListRow>(
              {
                  {QStringLiteral("فاكتور"), [](const ListRow& r) { return QVariant(r.invoice); }},
                  {QStringLiteral("نـام خـانـوادگـي"), [](const ListRow& r) { return QVariant(r.family); }},
                  {QStringLiteral("نـام بيمـار"), [](const ListRow& r) { return QVariant(r.name); }},
                  {QStringLiteral("شماره دفترچه"), [](const ListRow& r) { return QVariant(r.insNoTamin); }},
                  {QStringLiteral("تاريخ نسخه"), [](const ListRow& r) { return QVariant(r.date); }},
                  {QStringLiteral("كدنسخه"), [](const ListRow& r) { return QVariant(r.code); }},
                  {QStringLiteral("نـام پـزشك"), [](const ListRow& r) { return QVariant(r.prescriber); }},
                  {QStringLiteral("سهم سازمان"), [](const ListRow& r) { return QVariant(r.insurerShare); }},
                  {QStringLiteral("سهم بيمار"), [](const ListRow& r) { return QVariant(r.patientShare); }},
                  {QStringLiteral("جمع كل"), [](const ListRow& r) { return QVariant(r.total); }},
                  {QStringLiteral("شماره صفحه دفترچه"), [](const ListRow& r) { return QVariant(r.page); }},
              },
              parent) {}

    enum class Field { None, Family, InsuranceNumber, Code };

    void setAll(QList<ListRow> rows) {
        m_all = std::move(rows);
        apply();
    }
    const QList<ListRow>& all() const { return m_all; }
    void order(ListOrder order) {
        sortRows(m_all, order);
        apply();
    }
    void narrow(Field field, const QString& prefix) {
        m_field = field;
        m_prefix = prefix;
        apply();
    }

private:
    void apply() {
        if (m_field == Field::None || m_prefix.isEmpty()) {
            setRows(m_all);
            return;
        }
        QList<ListRow> kept;
        for (const ListRow& r : std::as_const(m_all)) {
            const QString& value = m_field == Field::Family            ? r.family
                                   : m_field == Field::InsuranceNumber ? r.insuranceNumber
                                                                       : r.code;
            if (value.startsWith(m_prefix)) kept.append(r);
        }
        setRows(kept);
    }

    QList<ListRow> m_all;
    Field m_field = Field::None;
    QString m_prefix;
};

} // namespace ph
