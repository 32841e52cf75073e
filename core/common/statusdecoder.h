#pragma once

#include <QString>
#include <QStringList>

// Rules of the status code calculator that need no window: reading the typed status word and
// choosing the text of a condition for one bit of it.
namespace StatusDecoder {

// Bits whose texts depend on whether a server address is configured.
constexpr int mainServerBit = 2;
constexpr int altServerBit = 19;
// Conditions of hardware a model may lack: the alarm of input 1 (inputs 2..6 follow it), the
// exchange with a metering device, the interface-converter mode.
constexpr int firstInputAlarmBit = 13;
constexpr int inputAlarmBits = 6;
constexpr int meterExchangeBit = 21;
constexpr int converterBit = 27;

// The status word typed as text in base 16 or base 10. Text that is not a number, or does not
// fit 32 bits (e.g. decimal 4294967296), gives 0.
quint32 parseStatusValue(const QString &text, int base);

// Whether bit `bit` appears in the decoded table: it needs texts from the device database and
// the connected device must support it.
bool isBitShown(int bit, const QStringList &texts, quint32 supportedMask);

// The "Значение" text for bit `bit` whose value in the status word is `bitSet`. `texts` is the
// device database entry: name, text for 0, text for 1 (missing entries count as empty).
// Bits 2 and 19 follow the main and the alternative server flags instead.
QString valueText(int bit, bool bitSet, bool mainServer, bool altServer, const QStringList &texts);

} // namespace StatusDecoder
