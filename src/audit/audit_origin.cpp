#include "audit/audit_origin.h"

#include <QSysInfo>

namespace ph {

AuditOrigin AuditOrigin::here(int userCode, const QString& source) {
    return {userCode, QSysInfo::machineHostName(), source};
}

} // namespace ph
