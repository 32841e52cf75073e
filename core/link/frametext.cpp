#include "frametext.h"

#include "commands.h"
#include "frame.h"

namespace {

QByteArray payloadOf(const QByteArray &frame)
{
    return frame.mid(Frame::headerBytes, frame.size() - Frame::overheadBytes);
}

} // namespace

bool FrameText::codeOf(const QByteArray &frame, quint16 *code)
{
    if (frame.size() < Frame::overheadBytes + 2 || quint8(frame.at(3)) == Frame::filePort)
        return false;
    const QByteArray payload = payloadOf(frame);
    *code = quint16((quint8(payload.at(0)) << 8) | quint8(payload.at(1))) & ~Cmd::answerMark;
    return true;
}

QString FrameText::describe(const QByteArray &frame)
{
    if (frame.size() < Frame::overheadBytes)
        return QStringLiteral("bytes ") + QString::fromLatin1(frame.toHex(' '));
    const quint8 port = quint8(frame.at(3));
    const QByteArray payload = payloadOf(frame);
    quint16 code = 0;
    if (!codeOf(frame, &code))
        return QStringLiteral("port %1 data ").arg(int(port)) + QString::fromLatin1(payload.toHex(' '));
    return QString::number(code, 16) + QLatin1Char(' ') + QLatin1String(Cmd::nameOf(code)) +
           QStringLiteral(" data ") +
           (payload.size() > 2 ? QString::fromLatin1(payload.mid(2).toHex(' '))
                               : QStringLiteral("-"));
}
