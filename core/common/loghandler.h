#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

class LogWindowSink;

// The process-wide log message handler: strips colour markers ("/C:" and digits) from every
// message, appends a time-stamped line to "vexa7xx.log", echoes the message to standard error
// and shows debug messages in the debug-log window in the marker's colour.
namespace LogHandler {

struct CleanMessage
{
    int colour = 0; // number of the first marker, 0 without one
    QString text;   // message with every marker removed
};

CleanMessage stripColourMarkers(const QString &message);

// Debug-window colour (0xRRGGBB) for a marker number; unknown numbers give the default grey.
unsigned int colourForMarker(int number);
constexpr unsigned int defaultColour = 0xC0C0C0;

// Line written to the log file for one message, line feed included.
QString formatFileLine(QtMsgType type, const QDateTime &localTime, const QString &text);

// Line written to standard error for one message, line feed included.
QByteArray formatStderrLine(QtMsgType type, const QMessageLogContext &context, const QString &text);

QString logFilePath();

// Installs the handler (installing twice is harmless).
void install();

// Sets or clears (nullptr) the debug-log window that receives debug lines.
void setWindowSink(LogWindowSink *sink);

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

} // namespace LogHandler
