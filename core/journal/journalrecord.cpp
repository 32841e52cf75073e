#include "journalrecord.h"

namespace {
const char *const kindNames[] = {"read",  "write",     "verify", "set",    "reset",  "clock",
                                 "flash", "provision", "relay",  "remote", "restore"};
const char *const resultNames[] = {"ok", "failed", "cancelled"};

template<typename E, size_t N>
bool fromName(const char *const (&names)[N], const QString &name, E *out)
{
    for (size_t i = 0; i < N; ++i) {
        if (name == QLatin1String(names[i])) {
            *out = static_cast<E>(i);
            return true;
        }
    }
    return false;
}
} // namespace

QString JournalRecord::kindName(Kind kind)
{
    return QLatin1String(kindNames[static_cast<int>(kind)]);
}

bool JournalRecord::kindFromName(const QString &name, Kind *kind)
{
    return fromName(kindNames, name, kind);
}

QString JournalRecord::resultName(Result result)
{
    return QLatin1String(resultNames[static_cast<int>(result)]);
}

bool JournalRecord::resultFromName(const QString &name, Result *result)
{
    return fromName(resultNames, name, result);
}
