#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// A frame as people read it in a console: "8600 netStatus data 01 02", "port 1 data 00 01 …".
// The command line's console and the window's console print the same text.
namespace FrameText {

// The command code of a frame on the command port (the answer mark masked off); false for a
// file block, a frame too short to carry a code, or bytes that are no frame.
bool codeOf(const QByteArray &frame, quint16 *code);

// The decoded text of a whole frame (start byte, length, port, payload, CRC).
QString describe(const QByteArray &frame);

} // namespace FrameText
