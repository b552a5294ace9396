#include "core/ci_config.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <unicode/ucnv.h>

#include <algorithm>
#include <memory>

namespace ph {
namespace {

// Text in Windows code page 1256, as older installations wrote the file; empty when ICU
// has no converter for it.
QString fromCodePage1256(const QByteArray& bytes) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(ucnv_open("windows-1256", &status), &ucnv_close);
    if (U_FAILURE(status))
        return {};
    QString text(bytes.size(), Qt::Uninitialized); // one UTF-16 unit per byte in a single-byte code page
    const int32_t length =
        ucnv_toUChars(converter.get(), reinterpret_cast<UChar*>(text.data()), int32_t(text.size()), bytes.constData(),
                      int32_t(bytes.size()), &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING)
        return {};
    text.truncate(length);
    return text;
}

// The file's text: UTF-8 when it is valid UTF-8, code page 1256 otherwise.
QString decodeConfigText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = fromCodePage1256(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

// Trims blanks and every control character from both ends, as the file's fields may
// carry line breaks that belong to them.
QString trimControl(const QString& s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin).unicode() <= 0x20)
        ++begin;
    while (end > begin && s.at(end - 1).unicode() <= 0x20)
        --end;
    return s.mid(begin, end - begin);
}

} // namespace

QString engineDisplayName(Engine engine) {
    switch (engine) {
    case Engine::Sqlite:
        return QStringLiteral("SQLite");
    case Engine::Postgres:
        return QStringLiteral("PostgreSQL");
    case Engine::SqlServer:
        return QStringLiteral("SQL Server");
    }
    return {};
}

QString ConnectionSettings::describe() const {
    if (engine == Engine::Sqlite)
        return QStringLiteral("%1، فايل %2").arg(engineDisplayName(engine), database);
    QString where = server.isEmpty() ? QStringLiteral("(local)") : server;
    if (port > 0)
        where += u':' + QString::number(port);
    return QStringLiteral("%1، سرور %2").arg(engineDisplayName(engine), where);
}

CiConfig CiConfig::parse(const QByteArray& text, const QString& fileName) {
    CiConfig config;
    // "*" is one byte in UTF-8 and in code page 1256 alike, and never part of another
    // character: what follows it is not read, whatever it holds.
    const qsizetype end = text.indexOf('*');
    if (end < 0)
        throw ConfigError(
            QStringLiteral("فايل تنظيمات اتصال \"%1\" علامت پايان \"*\" ندارد؛ فيلدها را با \"-\" جدا و با \"*\" تمام کنيد")
                .arg(fileName));
    const QByteArray used = text.first(end);
    // A NUL would end the name where a server or a file system reads it.
    if (used.contains('\0'))
        throw ConfigError(QStringLiteral("فايل تنظيمات اتصال \"%1\" كاراكتر NUL (كد صفر) دارد و خوانده نشد").arg(fileName));
    const QStringList raw = decodeConfigText(used).split(u'-');
    if (raw.size() > kFieldCount)
        throw ConfigError(QStringLiteral("فايل تنظيمات اتصال \"%1\" بيش از %2 فيلد دارد؛ فيلدها به ترتيب: نوع ورود، "
                                         "سرور، نام كاربر، رمز، پايگاه داده و نوع پايگاه داده")
                              .arg(fileName, QString::number(kFieldCount)));
    for (int i = 0; i < raw.size(); ++i)
        config.m_fields[i] = trimControl(raw[i]);
    if (std::all_of(config.m_fields.begin(), config.m_fields.end(), [](const QString& f) { return f.isEmpty(); }))
        throw ConfigError(QStringLiteral("فايل تنظيمات اتصال \"%1\" هيچ سرور يا پايگاه داده اي را نام نمي برد؛ فيلدها "
                                         "را با \"-\" جدا و با \"*\" تمام كنيد")
                              .arg(fileName));

    const QString engine = config.field(6).toLower();
    if (engine.isEmpty() || engine == QLatin1String("sqlserver"))
        config.m_engine = Engine::SqlServer;
    else if (engine == QLatin1String("postgres"))
        config.m_engine = Engine::Postgres;
    else if (engine == QLatin1String("sqlite"))
        config.m_engine = Engine::Sqlite;
    else
        throw ConfigError(QStringLiteral("نوع پايگاه داده \"%1\" در فايل \"%2\" شناخته نشد (sqlite، postgres يا sqlserver)")
                              .arg(config.field(6), fileName));
    return config;
}

QString CiConfig::field(int n) const {
    if (n < 1 || n > kFieldCount)
        return {};
    return m_fields[n - 1];
}

QString CiConfig::oleDbConnectionString() const {
    if (serverLogin())
        return QStringLiteral("Provider=SQLOLEDB.1;Persist Security Info=False;User ID=") + field(3) +
               QStringLiteral(";Initial Catalog=") + field(5) + QStringLiteral(";Data Source=") + field(2);
    return QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=") +
           field(5) + QStringLiteral(";Data Source=") + field(2);
}

ConnectionSettings CiConfig::connectionSettings(const QString& workingDir) const {
    ConnectionSettings s;
    s.engine = m_engine;
    s.serverLogin = serverLogin();
    s.server = field(2);
    if (s.serverLogin) {
        s.user = field(3);
        s.password = field(4);
    }
    s.database = field(5);
    if (m_engine == Engine::Sqlite) {
        QString file = s.database.isEmpty() ? QString::fromLatin1(kEmbeddedDatabaseFile) : s.database;
        s.database = QDir(workingDir).absoluteFilePath(file);
        s.server.clear();
        return s;
    }
    // "host:port" names a port; a folder path (PostgreSQL's socket folder) never has one.
    const qsizetype colon = s.server.lastIndexOf(u':');
    if (colon > 0) {
        bool ok = false;
        const int port = s.server.mid(colon + 1).toInt(&ok);
        if (ok) {
            s.port = port;
            s.server.truncate(colon);
        }
    }
    if (s.database.isEmpty())
        s.database = QStringLiteral("pharmacy");
    return s;
}

ConnectionSettings readConnectionSettings(const QString& workingDir) {
    const QString path = QDir(workingDir).absoluteFilePath(QStringLiteral("ci.txt"));
    QFile file(path);
    if (!file.exists()) {
        ConnectionSettings s;
        s.engine = Engine::Sqlite;
        s.database = QDir(workingDir).absoluteFilePath(QString::fromLatin1(kEmbeddedDatabaseFile));
        return s;
    }
    if (!file.open(QIODevice::ReadOnly))
        throw ConfigError(QStringLiteral("فايل تنظيمات اتصال \"%1\" خوانده نشد: %2").arg(path, file.errorString()));
    return CiConfig::parse(file.readAll(), path).connectionSettings(workingDir);
}

} // namespace ph
