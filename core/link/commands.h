#pragma once

#include <QString>
#include <QtGlobal>

// The command codes of the device protocol. A request and its answer carry the same code
// (the device may set bit 0x4000 in an answer; the parser masks it off).
namespace Cmd {

constexpr quint16 checkConnect = 0x8000; // relay connection check, also the FSK switch answer
constexpr quint16 reboot = 0x8001;
constexpr quint16 deviceInfo = 0x8002;
constexpr quint16 getDateTime = 0x8003;
constexpr quint16 setDateTime = 0x8004;
constexpr quint16 formatFlash = 0x8005;
constexpr quint16 modeChanged = 0x8008; // sent by a Vexa760 on its own, never requested

constexpr quint16 createFile = 0x8100;
constexpr quint16 checkFile = 0x8101;
constexpr quint16 fileInfo = 0x8102;
constexpr quint16 loadedBlocks = 0x8103;

constexpr quint16 fskMode = 0x8300;
constexpr quint16 normalMode = 0x8301;
constexpr quint16 relayCommand = 0x8302; // wrapper of every request while relaying
constexpr quint16 clearFskStatus = 0x8304;
constexpr quint16 relayedAnswer = 0x8305; // carries the remote device's answer

constexpr quint16 readParam = 0x8500;
constexpr quint16 writeParam = 0x8501;
constexpr quint16 factoryDefault = 0x8502;

constexpr quint16 netStatus = 0x8600;
constexpr quint16 netJoin = 0x8601;
constexpr quint16 netQuality = 0x8602;
constexpr quint16 lastSendStatus = 0x8603;
constexpr quint16 netTimes = 0x8604;
constexpr quint16 extraordinaryPack = 0x8605;
constexpr quint16 currentFreq = 0x8606;

constexpr quint16 batStatus = 0x8700;
constexpr quint16 adcStatus = 0x8701;
constexpr quint16 inputsParams = 0x8702;

// A name for consoles and logs; empty for a code outside the table.
inline const char *nameOf(quint16 code)
{
    switch (code) {
    case checkConnect:
        return "checkConnect";
    case reboot:
        return "reboot";
    case deviceInfo:
        return "deviceInfo";
    case getDateTime:
        return "getDateTime";
    case setDateTime:
        return "setDateTime";
    case formatFlash:
        return "formatFlash";
    case modeChanged:
        return "modeChanged";
    case createFile:
        return "createFile";
    case checkFile:
        return "checkFile";
    case fileInfo:
        return "fileInfo";
    case loadedBlocks:
        return "loadedBlocks";
    case fskMode:
        return "fskMode";
    case normalMode:
        return "normalMode";
    case relayCommand:
        return "relayCommand";
    case clearFskStatus:
        return "clearFskStatus";
    case relayedAnswer:
        return "relayedAnswer";
    case readParam:
        return "readParam";
    case writeParam:
        return "writeParam";
    case factoryDefault:
        return "factoryDefault";
    case netStatus:
        return "netStatus";
    case netJoin:
        return "netJoin";
    case netQuality:
        return "netQuality";
    case lastSendStatus:
        return "lastSendStatus";
    case netTimes:
        return "netTimes";
    case extraordinaryPack:
        return "extraordinaryPack";
    case currentFreq:
        return "currentFreq";
    case batStatus:
        return "batStatus";
    case adcStatus:
        return "adcStatus";
    case inputsParams:
        return "inputsParams";
    default:
        return "";
    }
}

// Set by some firmware in answer codes; carries no meaning.
constexpr quint16 answerMark = 0x4000;

// Parameter access of readParam/writeParam: the byte between parameter type and number.
constexpr quint8 paramAccess = 0x01;
// File type of the firmware image in the device's file store.
constexpr quint8 firmwareFile = 0x02;
// A file block carries its offset in 20 bits, so no file of the store can be longer.
constexpr int maxFileBytes = 1 << 20;
// Results of the file check (answer to checkFile); anything above fileTooBig is unknown.
enum CheckResult : quint8 {
    fileOk = 0,
    fileTooShort = 1,
    fileBadMagic = 2,
    fileNoVersionTag = 3,
    fileOtherDevice = 4,
    fileTooBig = 5,
};
// Factory reset parts (first data byte of factoryDefault).
constexpr quint8 resetNetwork = 0x00;
constexpr quint8 resetDevice = 0x01;

} // namespace Cmd

// Text commands: a line of text with CR LF, read by the device between frames.
namespace TextCmd {

// Level and source that switch the device's debug output off.
constexpr const char *sysLogOffLevel = "ALL";
constexpr const char *sysLogOffSource = "F";

// Asks the device to stream its log lines of the level and source given.
inline QString sysLog(const QString &level, const QString &source)
{
    return QStringLiteral("SYSLOG LEVEL=") + level + QLatin1Char(',') + source;
}
// Whether that command leaves the device streaming (either "off" code switches it off).
inline bool sysLogStreams(const QString &level, const QString &source)
{
    return level != QLatin1String(sysLogOffLevel) && source != QLatin1String(sysLogOffSource);
}
inline QString sysLogOff()
{
    return sysLog(QLatin1String(sysLogOffLevel), QLatin1String(sysLogOffSource));
}

} // namespace TextCmd
