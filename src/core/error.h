#pragma once

#include <QString>

#include <stdexcept>

namespace ph {

// A failure whose text is shown to the user as it stands (the general error report).
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// The connection file is missing its terminator, unreadable, or names an unknown engine.
class ConfigError : public Error {
public:
    using Error::Error;
};

} // namespace ph
