#include "admin/password_hash.h"

#include "core/error.h"

#include <sodium.h>

namespace ph {
namespace {

void initSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw Error(QStringLiteral("libsodium could not be initialised"));
}

} // namespace

QString hashPassword(const QString& password) {
    initSodium();
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw Error(QStringLiteral("not enough memory to hash the password"));
    return QString::fromLatin1(out);
}

bool isPasswordHash(const QString& stored) { return stored.startsWith(QLatin1String("$argon2id$")); }

bool verifyPassword(const QString& stored, const QString& password) {
    if (!isPasswordHash(stored))
        return false;
    initSodium();
    const QByteArray hash = stored.toLatin1();
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size())) == 0;
}

} // namespace ph
