#pragma once

#include <QStringList>
#include <QByteArray>
#include <QTextStream>

#include <optional>

namespace ph::cli {

// Runs one pharmacyctl command; returns the process exit status
// (0 done, 1 the command failed, 2 wrong usage or unknown input).
// `input` is what `save` reads; absent, it reads standard input.
int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const std::optional<QByteArray>& input = std::nullopt);

} // namespace ph::cli
