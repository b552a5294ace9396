#include "app/startup_sequence.h"

#include "admin/pharmacy_identity.h"
#include "admin/users.h"
#include "core/atomic_file.h"
#include "core/prompter.h"
#include "db/legacy_upgrades.h"
#include "db/schema.h"
#include "dispensing/settings_store.h"
#include "widgets/guarded.h"

#include <QDir>
#include <QFileInfo>

namespace ph {

StartupSequence::Outcome StartupSequence::run() {
    Outcome outcome = Outcome::Failed;
    guarded(m_prompter, [&] { outcome = runSteps(); });
    return outcome;
}

StartupSequence::Outcome StartupSequence::runSteps() {
    const ConnectionSettings settings = readConnectionSettings(m_workingDir);
    // What a killed backup or restore left behind: in the default backup folder and beside
    // the embedded database.
    removeAbandonedPartFiles(QDir(m_workingDir).filePath(QStringLiteral("backup")));
    if (settings.engine == Engine::Sqlite)
        removeAbandonedPartFiles(QFileInfo(settings.database).absolutePath());
    m_db = std::make_unique<Database>(settings);
    m_db->open();
    Schema(*m_db).ensure();
    upgradeUsersTable(*m_db);
    upgradeSettingsTable(*m_db);

    if (ensureIdentity() == Outcome::Quit)
        return Outcome::Quit;
    m_context.tamin_codes = SettingsStore(*m_db).taminCodes();
    return ensureFirstUser();
}

StartupSequence::Outcome StartupSequence::ensureIdentity() {
    PharmacyIdentityStore store(*m_db);
    const StoredIdentity stored = store.read();
    if (!stored.name.trimmed().isEmpty()) {
        m_context.pharmacy_name = stored.name.trimmed();
        if (stored.directorNezam)
            m_context.director_nezam = *stored.directorNezam;
        return Outcome::Ready;
    }
    const IdentityAnswer answer = m_prompter.askPharmacyIdentity();
    if (!answer.ok()) {
        // Declining is asked once more; whatever is entered then is not kept.
        m_prompter.askPharmacyIdentity();
        return Outcome::Quit;
    }
    store.store(answer.identity);
    m_context.pharmacy_name = answer.identity.name.trimmed();
    m_context.director_nezam = answer.identity.directorNezam.trimmed();
    return Outcome::Ready;
}

StartupSequence::Outcome StartupSequence::ensureFirstUser() {
    UserStore users(*m_db, AuditOrigin::here(0, QStringLiteral("first start")));
    if (users.hasUsers())
        return Outcome::Ready;
    const auto first = m_prompter.askFirstUser();
    if (!first)
        return Outcome::Quit;
    m_firstUserCode = users.addUserWithAllRights(first->name, first->password);
    // Told once: the user signs in with this code from now on.
    m_prompter.information(QStringLiteral("کاربر %1 با کد %2 ثبت شد؛ براي ورود به برنامه اين کد را به خاطر بسپاريد")
                               .arg(first->name.trimmed(), QString::number(*m_firstUserCode)));
    return Outcome::Ready;
}

} // namespace ph
