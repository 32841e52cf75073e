#include "statusdecoder.h"

#include <QCoreApplication>

namespace StatusDecoder {

quint32 parseStatusValue(const QString &text, int base)
{
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok, base);
    if (!ok || value > 0xFFFFFFFFull)
        return 0;
    return static_cast<quint32>(value);
}

bool isBitShown(int bit, const QStringList &texts, quint32 supportedMask)
{
    if (bit < 0 || bit > 31 || texts.isEmpty())
        return false;
    return (supportedMask >> bit) & 1u;
}

QString valueText(int bit, bool bitSet, bool mainServer, bool altServer, const QStringList &texts)
{
    if (bit == mainServerBit || bit == altServerBit) {
        const bool serverSet = bit == mainServerBit ? mainServer : altServer;
        if (bitSet)
            return serverSet ? QString()
                             : QCoreApplication::translate("StatusDecoder", "Не установлено");
        return serverSet ? QCoreApplication::translate("StatusDecoder", "Не задано")
                         : texts.value(1);
    }
    return texts.value(bitSet ? 2 : 1);
}

} // namespace StatusDecoder
