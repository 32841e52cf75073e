#include "journaloptions.h"

#include "apppaths.h"
#include "appsettings.h"

namespace {
const QString group = QStringLiteral("Journal");

int positiveSetting(const QString &entry, int defaultValue)
{
    bool ok = false;
    const int v = AppSettings::read(group, entry).toInt(&ok);
    return ok && v > 0 ? v : defaultValue;
}
} // namespace

JournalOptions JournalOptions::fromSettings()
{
    JournalOptions o;
    const QVariant enabled = AppSettings::read(group, QStringLiteral("Enabled"));
    o.enabled = enabled.isNull() || enabled.toBool();
    o.localPath = AppSettings::read(group, QStringLiteral("Path")).toString().trimmed();
    if (o.localPath.isEmpty())
        o.localPath = defaultLocalPath();
    o.sharedUrl = AppSettings::read(group, QStringLiteral("Url")).toString().trimmed();
    o.retryIntervalMs = positiveSetting(QStringLiteral("RetryIntervalMs"), defaultRetryIntervalMs);
    o.busyTimeoutMs = positiveSetting(QStringLiteral("BusyTimeoutMs"), defaultBusyTimeoutMs);
    return o;
}

QString JournalOptions::defaultLocalPath()
{
    return AppPaths::filePath(QStringLiteral("journal.sqlite"));
}
