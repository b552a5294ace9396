#pragma once

#include <QStringList>
#include <QByteArray>
#include <QTextStream>

#include <functional>
#include <memory>
#include <optional>

class QCoreApplication;

namespace ph::cli {

// Runs one pharmacyctl command; returns the process exit status
// (0 done, 1 the command failed, 2 wrong usage or unknown input).
// `input` is what `save` reads; absent, it reads standard input.
int run(const QStringList& args, QTextStream& out, QTextStream& err,
        const std::optional<QByteArray>& input = std::nullopt);

// A pharmacyctl program's main: makes its application, runs the command on its arguments
// and returns the exit status; whatever escapes a command still ends with a message and 1.
int runMain(const std::function<std::unique_ptr<QCoreApplication>()>& makeApplication);

} // namespace ph::cli
