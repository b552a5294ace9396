#include "core/clock.h"

namespace ph {

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }

} // namespace ph
