#include "answerkey.h"

#include "commands.h"
#include "frame.h"
#include "payloadreader.h"

namespace {
bool hasParam(quint16 code)
{
    return code == Cmd::readParam || code == Cmd::writeParam;
}
} // namespace

AnswerKey AnswerKey::ofRequest(quint8 port, quint16 cmd, const QByteArray &data)
{
    AnswerKey key;
    key.port = port;
    if (port == Frame::filePort)
        return key;
    key.code = cmd;
    if (hasParam(cmd)) {
        const PayloadReader r(data);
        key.param = (r.u8(0) << 8) | r.u8(2);
    }
    return key;
}

AnswerKey AnswerKey::ofAnswer(quint8 port, const QByteArray &payload)
{
    const PayloadReader r(payload);
    AnswerKey key;
    key.port = port;
    if (port == Frame::filePort)
        return key;
    key.code = quint16(r.u16(0) & ~Cmd::answerMark);
    if (key.code == Cmd::relayedAnswer) {
        quint8 innerPort = 0;
        const QByteArray inner = Frame::relayedInner(payload, &innerPort);
        return ofAnswer(innerPort, inner);
    }
    if (hasParam(key.code))
        key.param = (r.u8(2) << 8) | r.u8(4);
    return key;
}

bool AnswerKey::isUnsolicited(const AnswerKey &key)
{
    return key.port != Frame::filePort &&
           (key.code == Cmd::modeChanged || key.code == Cmd::relayCommand ||
            key.code == Cmd::clearFskStatus);
}
