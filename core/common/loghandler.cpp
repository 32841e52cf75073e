#include "loghandler.h"

#include "apppaths.h"
#include "logwindowsink.h"

#include <QFile>
#include <QMutex>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

namespace LogHandler {

namespace {
// Any thread may log (Qt's own worker threads among them); one message at a time keeps lines
// whole in the file and keeps the window's colour paired with its text.
QMutex handlerMutex;
LogWindowSink *windowSink = nullptr;

const QRegularExpression &markerExpression()
{
    static const QRegularExpression re(QStringLiteral("(/C:\\d+)"));
    return re;
}

const char *orNull(const char *s)
{
    return s ? s : "(null)";
}
} // namespace

CleanMessage stripColourMarkers(const QString &message)
{
    CleanMessage result;
    result.text = message;
    const QRegularExpressionMatch m = markerExpression().match(message);
    if (m.hasMatch()) {
        bool ok = false;
        const int n = m.captured(1).mid(3).toInt(&ok, 10);
        result.colour = ok ? n : 0;
        result.text.remove(markerExpression());
    }
    return result;
}

unsigned int colourForMarker(int number)
{
    switch (number) {
    case 2:
        return 0x007F0E;
    case 8:
        return 0x404040;
    case 9:
        return 0x0000FF;
    case 10:
        return 0x00FF00;
    case 12:
        return 0xFF0000;
    case 13:
        return 0xFF00FF;
    case 14:
        return 0xFFFF00;
    case 15:
        return 0xFFFFFF;
    case 16:
        return 0xFF6A00;
    case 17:
        return 0xFF3291;
    case 18:
        return 0x00FFFF;
    default:
        return defaultColour;
    }
}

QString formatFileLine(QtMsgType type, const QDateTime &localTime, const QString &text)
{
    const QString stamp = QLatin1Char('[') +
                          localTime.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss.zzz")) +
                          QLatin1Char(']');
    const char *format = "LogDebug%1: %2\n";
    switch (type) {
    case QtDebugMsg:
        format = "LogDebug%1: %2\n";
        break;
    case QtWarningMsg:
        format = "LogWarning%1: %2\n";
        break;
    case QtCriticalMsg:
        format = "LogCritical%1: %2\n";
        break;
    case QtFatalMsg:
        format = "LogFatal%1: %2\n";
        break;
    case QtInfoMsg:
        format = "LogInfo%1: %2\n";
        break;
    }
    return QString::fromLatin1(format).arg(stamp, text);
}

QByteArray formatStderrLine(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const QByteArray local = text.toLocal8Bit();
    if (type == QtDebugMsg)
        return QByteArray("Debug: ") + local + '\n';
    const char *label = "Info";
    switch (type) {
    case QtWarningMsg:
        label = "Warning";
        break;
    case QtCriticalMsg:
        label = "Critical";
        break;
    case QtFatalMsg:
        label = "Fatal";
        break;
    default:
        label = "Info";
        break;
    }
    return QByteArray(label) + ": " + local + " (" + orNull(context.file) + ':' +
           QByteArray::number(context.line) + ", " + orNull(context.function) + ")\n";
}

QString logFilePath()
{
    return AppPaths::filePath(QStringLiteral("vexa7xx.log"));
}

void install()
{
    qInstallMessageHandler(messageHandler);
}

void setWindowSink(LogWindowSink *sink)
{
    QMutexLocker lock(&handlerMutex);
    windowSink = sink;
}

void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const CleanMessage clean = stripColourMarkers(message);

    QMutexLocker lock(&handlerMutex);
    if (windowSink)
        windowSink->setTextColour(colourForMarker(clean.colour));

    QFile file(logFilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return; // nowhere to keep it: the message is dropped everywhere, as for a locked file

    const QByteArray errLine = formatStderrLine(type, context, clean.text);
    fputs(errLine.constData(), stderr);

    QTextStream out(&file);
    out << formatFileLine(type, QDateTime::currentDateTime(), clean.text);
    if (type == QtDebugMsg && windowSink)
        windowSink->appendText(clean.text);
    out.flush();
    file.flush();
    file.close();
    fflush(stderr);

    if (type == QtFatalMsg)
        std::abort();
}

} // namespace LogHandler
