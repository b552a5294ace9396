#pragma once

#include <QStringList>

namespace ph {

// Splits comma text: items are separated by commas (and by blanks outside quotes);
// double quotes group an item that holds commas or blanks, and "" inside quotes is one quote.
QStringList splitCommaText(const QString& text);

} // namespace ph
