#include "cli/reprice_command.h"

#include "catalogue/formulas.h"
#include "core/ci_config.h"
#include "db/database.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace ph::cli {

const char* const kRepriceUsage =
    "  reprice-compounded\n"
    "              price every compounding formula from its materials' current prices and\n"
    "              every compounded drug's goods row from its formula (creating the goods\n"
    "              row of a formula that has none), all or nothing; prints as JSON how many\n"
    "              formulas and goods it changed\n";

int repriceCompoundedCommand(const QString& workingDir, const QStringList& args, QTextStream& out, QTextStream& err) {
    if (!args.isEmpty()) {
        err << "pharmacyctl reprice-compounded: takes no options, not \"" << args.first() << "\"\n";
        return 2;
    }
    Database db(readConnectionSettings(workingDir));
    db.open();
    const RepriceSummary summary =
        repriceCompounded(db, {}, AuditOrigin::here(0, QStringLiteral("pharmacyctl reprice-compounded")));
    QJsonObject json;
    json[QStringLiteral("formulas")] = summary.formulasSeen;
    json[QStringLiteral("formulas_changed")] = summary.formulas;
    json[QStringLiteral("goods_changed")] = summary.goods;
    json[QStringLiteral("goods_created")] = summary.goodsCreated;
    out << QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Compact)) << "\n";
    err << "formulas changed: " << summary.formulas << " of " << summary.formulasSeen
        << "; goods prices changed: " << summary.goods << " (goods rows created: " << summary.goodsCreated << ")\n";
    return 0;
}

} // namespace ph::cli
