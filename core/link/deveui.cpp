#include "deveui.h"

#include <QRegularExpression>
#include <QStringList>

bool DevEui::isValid(const QString &devEui)
{
    static const QRegularExpression hex16(QStringLiteral("^[0-9A-Fa-f]{16}$"));
    return hex16.match(QString(devEui).remove(QLatin1Char('-'))).hasMatch();
}

QString DevEui::shown(const QString &devEui)
{
    if (!isValid(devEui))
        return devEui.toUpper();
    const QString hex = QString(devEui).remove(QLatin1Char('-')).toUpper();
    QStringList pairs;
    for (int i = 0; i < hex.size(); i += 2)
        pairs << hex.mid(i, 2);
    return pairs.join(QLatin1Char('-'));
}
