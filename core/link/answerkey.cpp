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
        // Relay wrapper: inner port at 10, inner length at 11, inner payload from 12.
        return ofAnswer(r.u8(10), payload.mid(12, r.u8(11)));
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
