#include "core/comma_text.h"

namespace ph {
namespace {
bool isBlank(QChar c) { return c.unicode() >= 1 && c.unicode() <= 0x20; }
} // namespace

QStringList splitCommaText(const QString& text) {
    QStringList items;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isBlank(text.at(i)))
        ++i;
    while (i < n) {
        QString item;
        if (text.at(i) == u'"') {
            ++i;
            while (i < n) {
                if (text.at(i) == u'"') {
                    if (i + 1 < n && text.at(i + 1) == u'"') {
                        item.append(u'"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item.append(text.at(i++));
            }
        } else {
            const qsizetype start = i;
            while (i < n && !isBlank(text.at(i)) && text.at(i) != u',' && text.at(i).unicode() != 0)
                ++i;
            item = text.mid(start, i - start);
        }
        items.append(item);
        while (i < n && isBlank(text.at(i)))
            ++i;
        if (i < n && text.at(i) == u',') {
            if (i + 1 == n)
                items.append(QString()); // a trailing comma ends with an empty item
            do {
                ++i;
            } while (i < n && isBlank(text.at(i)));
        }
    }
    return items;
}

} // namespace ph
