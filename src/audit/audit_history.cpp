#include "audit/audit_history.h"

#include "audit/audit_kinds.h"
#include "core/amounts.h"
#include "core/jalali_date.h"
#include "db/database.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ph {
namespace {

const QString kChanged = QStringLiteral("تغيير كرد");

QString valueText(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        return {};
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QJsonValue::Double:
        return plainDecimalText(value.toDouble());
    case QJsonValue::String:
        return value.toString();
    default:
        return QString::fromUtf8(QJsonDocument::fromVariant(value.toVariant()).toJson(QJsonDocument::Compact));
    }
}

// The caption of a part of the recorded change that holds rows, for the row column.
QString partCaption(const QString& part) {
    if (part == QLatin1String("lines")) return QStringLiteral("سطر");
    if (part == QLatin1String("cash")) return QStringLiteral("صندوق");
    if (part == QLatin1String("rows")) return QStringLiteral("رديف");
    if (part == QLatin1String("prices")) return QStringLiteral("قيمت");
    return part;
}

void addFields(QList<AuditChangeLine>& lines, const QString& row, const QJsonObject& fields) {
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const QJsonObject change = it.value().toObject();
        if (change.contains(QLatin1String("changed")))
            lines.append({row, it.key(), QString(), kChanged});
        else
            lines.append({row, it.key(), valueText(change.value(QLatin1String("before"))),
                          valueText(change.value(QLatin1String("after")))});
    }
}

// Rows before and after, paired by place: the fields of each pair that differ.
void addRows(QList<AuditChangeLine>& lines, const QString& part, const QJsonArray& before, const QJsonArray& after) {
    const qsizetype count = qMax(before.size(), after.size());
    for (qsizetype i = 0; i < count; ++i) {
        const QJsonObject was = before.at(i).toObject();
        const QJsonObject is = after.at(i).toObject();
        QStringList names = was.keys() + is.keys();
        names.removeDuplicates();
        const QString row = partCaption(part) + u' ' + QString::number(i + 1);
        for (const QString& name : names) {
            const QString a = i < before.size() ? valueText(was.value(name)) : QString();
            const QString b = i < after.size() ? valueText(is.value(name)) : QString();
            if (a == b && i < before.size() && i < after.size()) continue;
            if (a.isEmpty() && b.isEmpty()) continue;
            lines.append({row, name, a, b});
        }
    }
}

// A list of changed values such as prices: each element names its item and may carry its
// own before and after.
void addList(QList<AuditChangeLine>& lines, const QString& part, const QJsonArray& items) {
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString row = partCaption(part) + u' ' + QString::number(i + 1);
        const QJsonObject item = items.at(i).toObject();
        if (item.contains(QLatin1String("before")) || item.contains(QLatin1String("after"))) {
            QStringList names;
            for (auto it = item.begin(); it != item.end(); ++it)
                if (it.key() != QLatin1String("before") && it.key() != QLatin1String("after"))
                    names.append(it.key() + QStringLiteral(": ") + valueText(it.value()));
            lines.append({row, names.join(QStringLiteral("، ")), valueText(item.value(QLatin1String("before"))),
                          valueText(item.value(QLatin1String("after")))});
            continue;
        }
        for (auto it = item.begin(); it != item.end(); ++it) lines.append({row, it.key(), QString(), valueText(it.value())});
    }
}

QDateTime dayStart(const QString& solar) {
    const std::optional<JalaliDate> date = jalaliFromShortText(solar);
    return date ? QDateTime(fromJalali(*date), QTime(0, 0)) : QDateTime();
}

} // namespace

const QList<AuditKindCaption>& auditKindCaptions() {
    using namespace audit_kind;
    static const QList<AuditKindCaption> kinds = {
        {kPrescription, QStringLiteral("نسخه")},
        {kLumpPrescription, QStringLiteral("نسخه مقومي")},
        {kGoodsInvoice, QStringLiteral("فروش كالا")},
        {kWardConsumption, QStringLiteral("مصرفي بخش")},
        {kCash, QStringLiteral("صندوق")},
        {kTillClosing, QStringLiteral("بستن صندوق")},
        {kGoods, QStringLiteral("دارو/كالا")},
        {kCompoundedReprice, QStringLiteral("قيمت داروهاي تركيبي")},
        {kPriceCorrection, QStringLiteral("اصلاح قيمت ها")},
        {kTariff, QStringLiteral("تعرفه")},
        {kContract, QStringLiteral("قرارداد بيمه")},
        {kInsurerDrugRule, QStringLiteral("رفتار بيمه و دارو")},
        {kBulkInsurerChange, QStringLiteral("تغيير بيمه")},
        {kUser, QStringLiteral("كاربر")},
        {kBackup, QStringLiteral("پشتيبان")},
        {kRestore, QStringLiteral("بازيابي اطلاعات")},
    };
    return kinds;
}

QString auditKindCaption(const QString& kind) {
    for (const AuditKindCaption& k : auditKindCaptions())
        if (k.kind == kind) return k.caption;
    return kind;
}

QList<AuditChangeLine> auditChangeLines(const QString& changesJson) {
    const QJsonObject changes = QJsonDocument::fromJson(changesJson.toUtf8()).object();
    QList<AuditChangeLine> lines;
    addFields(lines, QString(), changes.value(QLatin1String("fields")).toObject());
    for (auto it = changes.begin(); it != changes.end(); ++it) {
        if (it.key() == QLatin1String("fields")) continue;
        const QJsonValue value = it.value();
        const QJsonObject sides = value.toObject();
        if (value.isObject() && (sides.value(QLatin1String("before")).isArray() || sides.value(QLatin1String("after")).isArray()))
            addRows(lines, it.key(), sides.value(QLatin1String("before")).toArray(),
                    sides.value(QLatin1String("after")).toArray());
        else if (value.isArray())
            addList(lines, it.key(), value.toArray());
        else
            lines.append({QString(), it.key(), QString(), valueText(value)});
    }
    return lines;
}

QString auditLocalTime(const QString& changedAt) {
    QDateTime moment = QDateTime::fromString(changedAt, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    if (!moment.isValid()) moment = QDateTime::fromString(changedAt, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!moment.isValid()) return changedAt;
    moment.setTimeSpec(Qt::UTC);
    const QDateTime local = moment.toLocalTime();
    return toJalali(local.date()).shortText() + u' ' + local.time().toString(QStringLiteral("HH:mm:ss"));
}

bool AuditHistory::find(const AuditQuery& query, QList<AuditListedEntry>& found) {
    found.clear();
    AuditFilter filter;
    if (!query.fromDate.isEmpty()) {
        filter.from = dayStart(query.fromDate);
        if (!filter.from->isValid()) return false;
    }
    if (!query.toDate.isEmpty()) {
        filter.to = dayStart(query.toDate);
        if (!filter.to->isValid()) return false;
        filter.to = filter.to->addDays(1);
    }
    filter.userCode = query.userCode;
    filter.kind = query.kind;
    filter.key = query.key.trimmed();
    QHash<int, QString> names;
    for (const AuditUser& user : users()) names.insert(user.code, user.name);
    for (const AuditEntry& entry : AuditLog(m_db).entries(filter))
        found.append({entry, auditLocalTime(entry.changedAt), names.value(entry.userCode), auditKindCaption(entry.kind)});
    return true;
}

QString auditUserText(const AuditListedEntry& entry) {
    return entry.userName.isEmpty() ? QString::number(entry.entry.userCode) : entry.userName;
}

QStringList auditTableCaptions() {
    return {QStringLiteral("زمان"),   QStringLiteral("كاربر"), QStringLiteral("ايستگاه كاري"), QStringLiteral("فرم/فرمان"),
            QStringLiteral("نوع سند"), QStringLiteral("كليد"),  QStringLiteral("سطر"),          QStringLiteral("فيلد"),
            QStringLiteral("قبل"),     QStringLiteral("بعد")};
}

QList<QStringList> auditTableRows(const QList<AuditListedEntry>& entries) {
    QList<QStringList> rows;
    for (const AuditListedEntry& listed : entries) {
        const QStringList entry = {listed.time,   auditUserText(listed), listed.entry.host,
                                   listed.entry.source, listed.kindCaption, listed.entry.key};
        const QList<AuditChangeLine> changes = auditChangeLines(listed.entry.changes);
        if (changes.isEmpty()) rows.append(entry + QStringList{QString(), QString(), QString(), QString()});
        for (const AuditChangeLine& change : changes)
            rows.append(entry + QStringList{change.row, change.field, change.before, change.after});
    }
    return rows;
}

QList<AuditUser> AuditHistory::users() {
    // The users as the history names them; the users' own store sits above the history.
    auto q = m_db.exec(QStringLiteral("select code, name from u_pharmacy order by code"));
    QList<AuditUser> list;
    while (q.next()) list.append({q.value(0).toInt(), q.value(1).toString().trimmed()});
    return list;
}

} // namespace ph
