#pragma once

#include <QString>

namespace ph {

// Who made a change and from where, as the history records it: the signed-in user's code,
// the workstation's host name and the window class (or "pharmacyctl <command>") it came from.
struct AuditOrigin {
    int userCode = 0;
    QString host;
    QString source;

    // The origin on this workstation.
    static AuditOrigin here(int userCode, const QString& source);
};

} // namespace ph
