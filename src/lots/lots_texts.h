#pragma once

#include <QString>

// What scanning a pack may bring up, in every document window alike (the code, the date or
// the document follows where %1 stands).
namespace ph::texts {

inline const QString kUnknownBarcode =
    QStringLiteral("باركد %1 به هيچ كالايي وصل نيست. آن را در فرم تعريف دارو به دارويش وصل كنيد");
inline const QString kLinkBarcode = QStringLiteral("باركد %1 به هيچ كالايي وصل نيست. آن را به كالايي وصل مي‌كنيد؟");
inline const QString kExpiredPack = QStringLiteral("تاريخ انقضاي اين بسته %1 گذشته است. با اين حال داده شود؟");
inline const QString kSerialSeen =
    QStringLiteral("بسته اي با همين سريال پيش تر با سند %1 داده شده است: بسته ممكن است تقلبي باشد يا دوبار خوانده شده باشد");

} // namespace ph::texts
