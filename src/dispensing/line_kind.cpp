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

// Both ways of choosing a kind from the insurer agree: the code decides, the drug's
// group only makes goods of goods.
QString kindAfterInsurerChange(const InsurerCode& insurer) {
    if (insurer.isEmpty()) return texts::kOtc;
    return insurer.isInsurer() ? texts::kInsured : texts::kFree;
}

QString kindForChosenDrug(const InsurerCode& insurer, int groupCode) {
    return groupCode > 1 ? texts::kGoods : kindAfterInsurerChange(insurer);
}

} // namespace ph
