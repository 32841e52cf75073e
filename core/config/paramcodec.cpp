#include "paramcodec.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>

namespace ParamCodec {

namespace {
bool isHexText(const QString &t)
{
    if (t.size() % 2 != 0)
        return false;
    for (QChar c : t) {
        const ushort u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F')))
            return false;
    }
    return true;
}

} // namespace

bool decodeHex(const QString &text, QByteArray *out)
{
    if (!isHexText(text))
        return false;
    *out = QByteArray::fromHex(text.toLatin1());
    return true;
}

int meterTypeFromText(const QString &text)
{
    bool ok = false;
    int type = text.toInt(&ok, 10);
    if (!ok)
        type = text.toInt(&ok, 16);
    if (!ok || type < 0 || ParamCatalogue::meterConfigBytes(type) < 0)
        return -1;
    return type;
}

AttributeList attributesFromValue(const ParamCatalogue::Param &param, const QByteArray &value)
{
    AttributeList attrs;
    if (param.kind != ParamCatalogue::Kind::Composite) {
        attrs.append({QStringLiteral("param"), QString::fromLatin1(value.toHex())});
        return attrs;
    }
    int pos = 0;
    for (const ParamCatalogue::Field &f : param.fields) {
        const int len =
            f.bytes == ParamCatalogue::restOfValue ? qMax(0, value.size() - pos) : f.bytes;
        const QByteArray bytes = value.mid(pos, len);
        pos += len;
        const QString name = QString::fromLatin1(f.name);
        if (name == QLatin1String("meter_type"))
            attrs.append({name, QString::number(bytes.isEmpty() ? 0 : quint8(bytes.at(0)))});
        else
            attrs.append({name, QString::fromLatin1(bytes.toHex())});
    }
    return attrs;
}

QString checkElement(const ParamCatalogue::Param &param, const QDomElement &element)
{
    if (param.kind == ParamCatalogue::Kind::ReadOnly)
        return QStringLiteral("read-only parameter");
    if (param.kind != ParamCatalogue::Kind::Composite) {
        if (!element.hasAttribute(QStringLiteral("param")))
            return QStringLiteral("no value");
        const QString text = element.attribute(QStringLiteral("param"));
        QByteArray bytes;
        if (!decodeHex(text, &bytes))
            return QStringLiteral("\"%1\" is not hexadecimal").arg(text);
        if (param.bytes == ParamCatalogue::asRead) {
            if (bytes.isEmpty())
                return QStringLiteral("no value");
        } else if (bytes.size() != param.bytes) {
            return QStringLiteral("%1 bytes instead of %2").arg(bytes.size()).arg(param.bytes);
        }
        return QString();
    }
    int meterType = -1;
    for (const ParamCatalogue::Field &f : param.fields) {
        const QString name = QString::fromLatin1(f.name);
        if (!element.hasAttribute(name))
            return QStringLiteral("no field %1").arg(name);
        const QString text = element.attribute(name);
        if (name == QLatin1String("meter_type")) {
            meterType = meterTypeFromText(text);
            if (meterType < 0)
                return QStringLiteral("unknown metering-device type \"%1\"").arg(text);
            continue;
        }
        QByteArray bytes;
        if (!decodeHex(text, &bytes))
            return QStringLiteral("%1: \"%2\" is not hexadecimal").arg(name, text);
        const int want = f.bytes == ParamCatalogue::restOfValue
                             ? ParamCatalogue::meterConfigBytes(meterType)
                             : f.bytes;
        if (bytes.size() != want)
            return QStringLiteral("%1: %2 bytes instead of %3")
                .arg(name)
                .arg(bytes.size())
                .arg(want);
    }
    return QString();
}

QString valueTextOf(const ParamCatalogue::Param &param, const QDomElement &element, QString *error)
{
    const QString problem = checkElement(param, element);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return QString();
    }
    if (param.kind != ParamCatalogue::Kind::Composite)
        return element.attribute(QStringLiteral("param")).toLower();
    QString joined;
    for (const ParamCatalogue::Field &f : param.fields) {
        const QString name = QString::fromLatin1(f.name);
        if (name == QLatin1String("meter_type"))
            joined += hexNumber(quint64(meterTypeFromText(element.attribute(name))), 1);
        else
            joined += element.attribute(name).toLower();
    }
    return joined;
}

// ---- editor rules ------------------------------------------------------------------------

QString hexNumber(quint64 value, int bytes)
{
    return QString::number(value, 16).rightJustified(2 * bytes, QLatin1Char('0'));
}

bool numberRange(const QString &element, qint64 *min, qint64 *max)
{
    static const QHash<QString, QPair<qint64, qint64>> ranges{
        {QStringLiteral("tx_period"), {60, 86400}},
        {QStringLiteral("nb_trials"), {1, 64}},
        {QStringLiteral("check_connect"), {0, 255}},
        {QStringLiteral("app_port"), {3, 200}},
        {QStringLiteral("scan_period"), {5, 500}},
        {QStringLiteral("save_every_values"), {5, 10000}},
        {QStringLiteral("save_every_times"), {60, 3600}},
    };
    const auto it = ranges.constFind(element);
    if (it == ranges.constEnd())
        return false;
    if (min)
        *min = it->first;
    if (max)
        *max = it->second;
    return true;
}

void frequencyRange(qint64 *minHz, qint64 *maxHz)
{
    if (minHz)
        *minHz = 863000000;
    if (maxHz)
        *maxHz = 870000000;
}

quint64 clampTyped(const QString &element, qint64 typed)
{
    if (element.startsWith(QLatin1String("count_diff_"))) {
        if (typed <= 0)
            return 0;
        if (typed < 10000)
            return 10000;
        return quint64(qMin<qint64>(typed, 4294967295LL));
    }
    qint64 min = 0;
    qint64 max = 0;
    if (numberRange(element, &min, &max))
        return quint64(qBound(min, typed, max));
    return quint64(qMax<qint64>(typed, 0));
}

QString numberText(const ParamCatalogue::Param &param, qint64 typed)
{
    const int bytes = param.bytes > 0 ? param.bytes : 1;
    return hexNumber(clampTyped(QString::fromLatin1(param.element), typed), bytes);
}

qint64 numberFromText(const QString &element, const QString &hex)
{
    bool ok = false;
    const quint64 raw = hex.toULongLong(&ok, 16);
    if (!ok)
        return 0;
    if (element.startsWith(QLatin1String("count_diff_")) ||
        element == QLatin1String("ambient_light_level"))
        return qint64(quint32(raw));
    return qint64(qint32(quint32(raw)));
}

QString keyText(const QString &typed, int bytes)
{
    static const QRegularExpression hex(QStringLiteral("\\A[0-9A-Fa-f]*\\z"));
    if (bytes <= 0 || typed.size() != 2 * bytes || !hex.match(typed).hasMatch())
        return QString();
    return typed.toLower();
}

QString boolText(const QString &element, bool checked)
{
    const bool one = element == QLatin1String("private") ? !checked : checked;
    return one ? QStringLiteral("01") : QStringLiteral("00");
}

bool checkedFromText(const QString &element, const QString &hex)
{
    const int v = hex.toInt(nullptr, 10);
    return element == QLatin1String("private") ? v == 0 : v == 1;
}

QString timeZoneText(int offsetSeconds)
{
    return hexNumber(quint64(quint32(qint32(offsetSeconds))), 4);
}

int timeZoneOffset(const QString &hex)
{
    return qint32(hex.toUInt(nullptr, 16));
}

QString fixedPointText(const FixedPoint &point)
{
    int day = 0;
    if (point.enabled)
        day = point.everyDay ? 0x20 : qBound(1, point.day, 31);
    return hexNumber(quint64(day), 1) + hexNumber(quint64(point.time.hour()), 1) +
           hexNumber(quint64(point.time.minute()), 1) + hexNumber(quint64(point.time.second()), 1);
}

FixedPoint fixedPointFromText(const QString &hex)
{
    FixedPoint p;
    QByteArray b;
    if (!decodeHex(hex, &b) || b.size() != 4)
        return p;
    const int day = quint8(b.at(0));
    p.enabled = day != 0;
    p.everyDay = day == 0x20;
    p.day = (day >= 1 && day <= 31) ? day : 1;
    p.time = QTime(quint8(b.at(1)) % 24, quint8(b.at(2)) % 60, quint8(b.at(3)) % 60);
    return p;
}

QString timingText(int inputMode, int scanPeriodMs)
{
    const int t = scanPeriodMs > 0 ? 1000 / scanPeriodMs : 0;
    const QString tt = hexNumber(quint64(t), 2);
    if (inputMode == 1)
        return QStringLiteral("00020002") + tt + tt;
    const QString five = hexNumber(quint64(5 * t), 2);
    return five + five + tt + tt;
}

// ---- metering-device blocks ----------------------------------------------------------------

namespace {
enum class FieldKind { Byte, Flag, Text, ReversedText, Number32, Zero };
struct MeterField
{
    QString name;
    FieldKind kind;
    int bytes;
};

QList<MeterField> meterLayout(int type)
{
    auto f = [](const QString &n, FieldKind k, int b) { return MeterField{n, k, b}; };
    QList<MeterField> l;
    switch (type) {
    case 0:
        l << f("merc23XNetAdrLineEdit", FieldKind::Byte, 1)
          << f("merch23XSnLineEdit", FieldKind::Text, 12)
          << f("merch23XUserPassLineEdit", FieldKind::ReversedText, 6)
          << f("merch234MasterPassLineEdit", FieldKind::ReversedText, 6)
          << f("merc23XConvToHexCheckBox", FieldKind::Flag, 1)
          << f("merc23XTransmitByPhasesCheckBox", FieldKind::Flag, 1);
        break;
    case 1:
        for (int k = 1; k <= 6; ++k)
            l << f(QStringLiteral("merc206Adr%1LineEdit").arg(k), FieldKind::Number32, 4);
        break;
    case 3:
        l << f("vkt7_NetAdrLineEdit", FieldKind::Byte, 1);
        break;
    case 6:
        for (int k = 0; k < 6; ++k)
            l << f(QStringLiteral("merc23XNetAdrLineEdit_%1").arg(k), FieldKind::Byte, 1)
              << f(QStringLiteral("merc23XConvToHexCheckBox_%1").arg(k), FieldKind::Flag, 1)
              << f(QStringLiteral("merch23XUserPassLineEdit_%1").arg(k), FieldKind::ReversedText,
                   6);
        break;
    case 7:
        l << f("tem104NetAdrLineEdit", FieldKind::Byte, 1);
        break;
    case 8:
        for (int k = 1; k <= 8; ++k)
            l << f(QStringLiteral("mt137Sn%1LineEdit").arg(k), FieldKind::ReversedText, 8);
        break;
    case 9:
        for (int k = 1; k <= 4; ++k)
            l << f(QStringLiteral("spt943NetAdr%1LineEdit").arg(k), FieldKind::Byte, 1)
              << f(QStringLiteral("spt943TvCh%1LineEdit").arg(k), FieldKind::Byte, 1);
        break;
    case 10:
        l << f("set4tmNetAdrLineEdit", FieldKind::Byte, 1)
          << f("set4tmPassLineEdit", FieldKind::ReversedText, 6);
        break;
    case 11:
        l << f("ce2727uNetAdrLineEdit", FieldKind::Byte, 1)
          << f("ce2727uPassLineEdit", FieldKind::Number32, 4);
        break;
    case 12:
        l << f("se303IdLineEdit", FieldKind::ReversedText, 9) << f("", FieldKind::Zero, 1)
          << f("se303PassLineEdit", FieldKind::ReversedText, 6);
        break;
    default:
        break;
    }
    return l;
}
} // namespace

QVariantMap meterFieldsFromConfig(int meterType, const QString &configHex)
{
    QVariantMap out;
    const QByteArray b = QByteArray::fromHex(configHex.toLatin1());
    int pos = 0;
    for (const MeterField &f : meterLayout(meterType)) {
        const QByteArray bytes = b.mid(pos, f.bytes);
        pos += f.bytes;
        switch (f.kind) {
        case FieldKind::Byte:
            out.insert(f.name, QString::number(bytes.isEmpty() ? 0 : quint8(bytes.at(0))));
            break;
        case FieldKind::Flag:
            out.insert(f.name, QString::number(!bytes.isEmpty() && bytes.at(0) == 1 ? 1 : 0));
            break;
        case FieldKind::Number32: {
            quint32 v = 0;
            for (char c : bytes)
                v = (v << 8) | quint8(c);
            out.insert(f.name, QString::number(v));
            break;
        }
        case FieldKind::Text:
        case FieldKind::ReversedText: {
            QByteArray t = bytes;
            if (f.kind == FieldKind::ReversedText)
                std::reverse(t.begin(), t.end());
            t.replace('\0', QByteArray());
            out.insert(f.name, QString::fromLatin1(t));
            break;
        }
        case FieldKind::Zero:
            break;
        }
    }
    return out;
}

QString meterConfigFromFields(int meterType, const QVariantMap &fields)
{
    QByteArray b;
    for (const MeterField &f : meterLayout(meterType)) {
        const QString v = fields.value(f.name).toString();
        switch (f.kind) {
        case FieldKind::Byte:
            b.append(char(qBound(0, v.toInt(), 255)));
            break;
        case FieldKind::Flag:
            b.append(char(v == QLatin1String("1") || v == QLatin1String("true") ? 1 : 0));
            break;
        case FieldKind::Number32: {
            const quint32 n = quint32(qBound<qint64>(0, v.toLongLong(), 4294967295LL));
            b.append(char(n >> 24)).append(char(n >> 16)).append(char(n >> 8)).append(char(n));
            break;
        }
        case FieldKind::Text:
        case FieldKind::ReversedText: {
            // A text shorter than its field is padded with leading zeros (the fields hold
            // digits: serial numbers and passwords); a longer one keeps its first characters.
            QByteArray t = v.toLatin1().left(f.bytes);
            t = t.rightJustified(f.bytes, '0');
            if (f.kind == FieldKind::ReversedText)
                std::reverse(t.begin(), t.end());
            b.append(t);
            break;
        }
        case FieldKind::Zero:
            b.append(QByteArray(f.bytes, '\0'));
            break;
        }
    }
    return QString::fromLatin1(b.toHex());
}

} // namespace ParamCodec
