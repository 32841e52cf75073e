#pragma once

#include "clicommand.h"

class QSocketNotifier;
class QTimer;

// console and syslog: a command console on the device fed from standard input, or its debug
// output streamed until Ctrl+C, which switches it off again.
class ConsoleCommand : public CliCommand
{
    Q_OBJECT
public:
    // After Ctrl+C the stop of the debug output has this long to leave the port.
    static constexpr int stopWriteWaitMs = 2000;
    // After the console's input ends, the answers still awaited may take this long.
    static constexpr int consoleDrainMs = 3000;
    // ... and the console ends once nothing has come for this long.
    static constexpr int consoleQuietMs = 500;

    using CliCommand::CliCommand;
    void start() override { connectDevice(); }
    // Where the console reads its lines (standard input unless set; not closed here).
    void setInputFd(int fd) { inputFd = fd; }

protected:
    void identified(const DeviceIdentity &device) override;
    void readDone(const QDomDocument &doc) override;
    void passwordRequired() override;
    // Ctrl+C: syslog switches the device's debug output off and ends once that has left the
    // port, console ends; a second one ends at once.
    bool interruptCommand() override;

private:
    bool checkSysLogCodes();
    void startSession();
    void startConsole();
    void startSysLog();
    void readInput();
    void consoleLine(const QString &line);
    void printFrame(const QByteArray &frame);
    // A text line from the device: the answer to the oldest text command awaiting one.
    void textAnswer(const QString &line);
    // A command that was sent goes into the shared history.
    void remember(const QString &command);
    void drainConsole();
    // Saves the history, switches off a debug output the user started, and ends.
    void endConsole();
    // Sends SYSLOG LEVEL=ALL,F and ends once it has left the port.
    void switchDebugOutputOff();
    // Ends once the text command just written has left the port.
    void finishWhenWritten(const QString &message);

    bool started = false;  // the device is identified and takes commands
    bool stopping = false; // syslog: the stop is on its way out
    bool streaming = false;
    int inputFd = 0;
    QSocketNotifier *inputNotifier = nullptr;
    QByteArray inputBuffer;
    QStringList history;
    int answersAwaited = 0; // console commands not answered yet
    // Text commands sent, not answered yet: kept in the history once the device has not
    // refused them ("ERROR ..."), or at the end when it never answered.
    QStringList textsAwaited;
    bool inputEnded = false;
    QTimer *drainTimer = nullptr;
    QTimer *quietTimer = nullptr;
};
