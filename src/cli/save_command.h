#pragma once

#include <QByteArray>
#include <QStringList>
#include <QTextStream>

namespace ph::cli {

// The usage lines of the save command, for pharmacyctl's help text.
extern const char* const kSaveUsage;

// `pharmacyctl save`: saves the prescription described by the JSON `input` as the
// dispensing window's F2 would, and writes its number, code and messages as JSON on
// `out`. Returns 0 when saved, 3 when a rule refused it (nothing written), 2 for wrong
// usage, malformed JSON and unknown codes.
int save(const QString& workingDir, const QStringList& args, const QByteArray& input, QTextStream& out,
         QTextStream& err);

} // namespace ph::cli
