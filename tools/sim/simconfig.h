#pragma once

#include "deviceidentity.h"

#include <QList>
#include <QString>
#include <QStringList>

// When a fault strikes: on every Nth event, or at random with a probability (seeded).
struct FaultRule
{
    int every = 0;          // 0: not by count
    double probability = 0; // 0: not at random
    bool enabled() const { return every > 0 || probability > 0; }
};

// One answer sent so late that the link has given up on it and resent the request: the answer
// to the first read or write of one parameter. Later requests for it are answered on time, so
// the resend gets its answer and the late one then arrives as a stray duplicate.
struct LateAnswer
{
    quint16 param = 0;
    int delayMs = 0; // 0: off
    bool enabled() const { return delayMs > 0; }
};

// Everything that makes one simulated device: identity, behaviour and injected faults.
struct SimConfig
{
    // Identity.
    int model = 750;  // 701, 750 or 760
    int revision = 0; // hardware revision, upper 6 bits of the device ID
    QString firmware; // empty: the model's default
    quint32 serialNumber = 12345;
    QString password; // empty: no login needed

    // Behaviour.
    int joinDelayMs = 5000;     // from power-up to registered in the network
    int uplinkPeriodMs = 30000; // how often the device transmits (0: by its tx_period)
    int rebootDelayMs = 1500;   // the port is gone this long after a reboot
    int modeChangeEverySec = 0; // unsolicited mode-change event period (0: never)
    int debugLineEveryMs = 500; // debug output rate while the system log is on
    int remoteModel = 750;      // the device reached over the radio relay
    QString remoteDevEui;       // empty: derived from the remote serial number
    QString linkPath;           // symlink kept pointing at the current port
    bool verbose = false;

    // Faults.
    quint32 seed = 1;
    FaultRule drop;       // the answer is not sent
    FaultRule corruptCrc; // the answer's CRC is wrong
    FaultRule split;      // the answer goes out in pieces with pauses
    int splitPieces = 3;
    int splitPauseMs = 40;
    FaultRule join;    // the answer waits and goes out together with the next one
    FaultRule garbage; // noise goes out before the answer
    int garbageBytes = 64;
    int delayMs = 0;              // every answer is delayed
    int slowMs = 0;               // each request takes this long, one at a time
    LateAnswer late;              // one parameter answer comes this much later still
    QList<quint16> refusedParams; // set requests for these codes are refused
    QList<quint16> ignoredParams; // set requests for these codes are acknowledged, not stored
    int unplugAfterBlocks = 0;    // the cable is pulled after this many file blocks
    int unplugAtMs = 0;           // ... or this long after start
    bool silent = false;          // nothing is ever answered
    int relayStatusFaults = 0;    // the first N relayed commands get relay status 9
    int failChecks = 0;           // the first N file checks fail ...
    int failCheckCode = 3;        // ... with this result (1..5 known, above unknown)
    int createResult = 0;         // not 0: file creation is refused with this result
    int rebootResult = 0;         // not 0: reboots are refused with this result
    int refuseBlocks = 0;         // the first N file blocks are refused (nothing stored)

    // The remote-configuration server (--serve): its port (-1: a device on a terminal instead;
    // 0: any free port), the IMEIs it knows (one simulated device each) and its faults.
    int servePort = -1;
    QStringList imeis;
    bool refuseHandshake = false; // every handshake is refused (the connection is closed)
    int stallAfter = -1;          // after N requests nothing is passed on any more
    int dropAfter = -1;           // after N requests the connection is dropped
    // Once a session is bridged the server also sends, without end, what no device sends.
    enum class Flood { None, Line, Random, BigFrames };
    Flood flood = Flood::None;

    // Parses command-line arguments (without the program name). On error returns false and
    // sets *error; --help sets *helpRequested.
    bool parse(const QStringList &args, QString *error, bool *helpRequested);
    static QString helpText();

    quint16 deviceId() const { return DeviceIdentity::idOf(model, revision); }
    QString firmwareVersion() const;
};
