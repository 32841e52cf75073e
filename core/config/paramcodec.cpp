#include "paramcodec.h"

namespace ParamCodec {

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

} // namespace ParamCodec
