#include "dispensing/compounded_labels.h"

#include "catalogue/drug_texts.h"
#include "db/database.h"
#include "db/transaction.h"

#include <optional>

namespace ph {
namespace {

QString textOrEmpty(Database& db, DrugTextKind kind, const QVariant& code) {
    if (code.isNull()) return {};
    return DrugTextStore(db, kind).textOf(code.toLongLong()).value_or(QString());
}

} // namespace

QList<CompoundedLabel> CompoundedLabels::load(int invoice, const QList<double>& drugCodes) const {
    QList<CompoundedLabel> labels;
    for (double code : drugCodes) {
        Rows formula = m_db.exec(QStringLiteral("select name_darou, code_dastoor, code_negahdari, code_payam "
                                                     "from heading_formul_darou where code_darou=?"),
                                      {code});
        if (!formula.next()) continue; // not a compounded drug: no label
        CompoundedLabel label;
        label.code = code;
        label.name = formula.value(0).toString();
        const QVariant instruction = formula.value(1);
        const QVariant storage = formula.value(2);
        const QVariant message = formula.value(3);
        formula.finish();
        Rows stored = m_db.exec(QStringLiteral("select dastoor, negahdari, payam from details_froosh_sakhtani "
                                                    "where sh_factor=? and code_darou=?"),
                                     {invoice, code});
        if (stored.next()) {
            label.instruction = stored.value(0).toString();
            label.storage = stored.value(1).toString();
            label.message = stored.value(2).toString();
        } else {
            stored.finish();
            label.instruction = textOrEmpty(m_db, DrugTextKind::Instructions, instruction);
            label.storage = textOrEmpty(m_db, DrugTextKind::Storage, storage);
            label.message = textOrEmpty(m_db, DrugTextKind::Messages, message);
        }
        labels.append(label);
    }
    return labels;
}

int CompoundedLabels::store(int invoice, const QList<CompoundedLabel>& labels) {
    const auto isStandard = [this](DrugTextKind kind, const QString& text) {
        return DrugTextStore(m_db, kind).codeOf(text).has_value();
    };
    int first = -1;
    for (int i = 0; i < labels.size() && first < 0; ++i) {
        const CompoundedLabel& label = labels.at(i);
        if (!isStandard(DrugTextKind::Instructions, label.instruction) ||
            !isStandard(DrugTextKind::Storage, label.storage) || !isStandard(DrugTextKind::Messages, label.message))
            first = i;
    }
    if (first < 0) return 0;
    Transaction transaction(m_db);
    for (int i = first; i < labels.size(); ++i) {
        const CompoundedLabel& label = labels.at(i);
        m_db.exec(QStringLiteral("delete from details_froosh_sakhtani where sh_factor=? and code_darou=?"),
                  {invoice, label.code});
        m_db.exec(QStringLiteral("insert into details_froosh_sakhtani (sh_factor, code_darou, dastoor, negahdari, "
                                 "payam) values (?, ?, ?, ?, ?)"),
                  {invoice, label.code, label.instruction, label.storage, label.message});
    }
    transaction.commit();
    return int(labels.size()) - first;
}

QList<LabelContentLine> CompoundedLabels::contents(double code) const {
    Rows query =
        m_db.exec(QStringLiteral("select name_mat, meghdar, name from v_barchasb_sakhtani where code_darou=?"), {code});
    QList<LabelContentLine> out;
    while (query.next())
        out.append({query.value(0).toString(), query.value(1).toDouble(), query.value(2).toString()});
    return out;
}

} // namespace ph
