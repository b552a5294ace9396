#include "dispensing/line_kind.h"

#include "dispensing/dispensing_texts.h"

namespace ph {

LineKind lineKindOf(const QString& kindText) {
    const QString text = kindText.trimmed();
    if (text == texts::kFree) return LineKind::Free;
    if (text == texts::kGoods) return LineKind::Goods;
    if (text == texts::kOtc) return LineKind::Otc;
    return LineKind::Insured;
}

QString kindText(LineKind kind) {
    switch (kind) {
    case LineKind::Insured:
        return texts::kInsured;
    case LineKind::Free:
        return texts::kFree;
    case LineKind::Otc:
        return texts::kOtc;
    case LineKind::Goods:
        return texts::kGoods;
    }
    return {};
}

bool isKindText(const QString& kindText) {
    const QString text = kindText.trimmed();
    return text == texts::kInsured || text == texts::kFree || text == texts::kOtc || text == texts::kGoods;
}

QString kindAfterInsurerChange(const QString& insurerCode) {
    const QString code = insurerCode.trimmed();
    if (code.isEmpty()) return texts::kOtc;
    return code == QLatin1String("0") ? texts::kFree : texts::kInsured;
}

QString kindForChosenDrug(const QString& insurerCode, int groupCode) {
    if (groupCode > 1) return texts::kGoods;
    const QString code = insurerCode.trimmed();
    if (code.isEmpty()) return texts::kOtc;
    bool isNumber = false;
    const double value = code.toDouble(&isNumber);
    return isNumber && value > 0 ? texts::kInsured : texts::kFree;
}

QString normalisedInsurerCode(const QString& insurerCode) {
    const QString code = insurerCode.trimmed();
    bool isNumber = false;
    const int value = code.toInt(&isNumber);
    if (code.size() == 2 && isNumber && value < 10) return code.mid(1);
    return code;
}

} // namespace ph
