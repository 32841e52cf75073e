#pragma once

#include <QByteArray>
#include <QtGlobal>

// What identifies an answer: the port, the command code and, for parameter reads and writes,
// the parameter code. A request expects the answer with its own key; anything else that
// arrives while it waits (a late answer to an earlier request, a duplicate after a resend)
// must not be taken for its answer.
struct AnswerKey
{
    quint8 port = 0;
    quint16 code = 0;
    int param = -1; // parameter code of reads and writes, -1 for other commands

    bool operator==(const AnswerKey &o) const
    {
        return port == o.port && code == o.code && param == o.param;
    }
    bool operator!=(const AnswerKey &o) const { return !(*this == o); }

    // The key of the answer a request expects (port, code and data as sent, before any relay
    // wrapping). File blocks on the file port are answered on that port without a code.
    static AnswerKey ofRequest(quint8 port, quint16 cmd, const QByteArray &data);
    // The key of a checked answer payload (code first) received on port; a relayed answer is
    // keyed by the answer it carries.
    static AnswerKey ofAnswer(quint8 port, const QByteArray &payload);
    // Answers that belong to no request: events the device sends on its own and the relay's
    // reports, which come besides the answer proper.
    static bool isUnsolicited(const AnswerKey &key);
};
