#include "simconfig.h"

#include <QRegularExpression>

#include <functional>

QString SimConfig::firmwareVersion() const
{
    if (!firmware.isEmpty())
        return firmware;
    // Versions the shipped device database knows for each model.
    if (model == 701)
        return QStringLiteral("1.2.3");
    if (model == 760)
        return revision == 2 ? QStringLiteral("2.0.1") : QStringLiteral("1.4.2");
    return QStringLiteral("1.3.1");
}

QString SimConfig::helpText()
{
    return QStringLiteral(R"(Usage: vexa7xx-sim [options]

A simulated Vexa701/750/760 data collector on a pseudo-terminal. The first line printed is the
path of the terminal; open it as the device's serial port (the configurator: -port PATH).

Identity:
  --model 701|750|760        device model (default 750)
  --revision N               hardware revision 0..63 (device ID = model + 1024*N; default 0)
  --fw X.Y.Z                 firmware version (default: 701 1.2.3, 750 1.3.1, 760 1.4.2,
                             760 revision 2: 2.0.1)
  --serial N                 serial number (default 12345); the USB serial is VEXA7XX + 8 digits
  --password TEXT            require the text login "USB TEXT" before configuration commands

Behaviour:
  --link PATH                keep a symlink at PATH pointing at the current terminal
  --join-delay MS            time from power-up to network registration (default 5000)
  --uplink-period MS         transmission period (default 30000; 0: the tx_period parameter)
  --reboot-delay MS          time the port is gone after a reboot (default 1500)
  --mode-change-every S      send the mode-change event 0x8008 every S seconds (default never)
  --debug-line-every MS      rate of debug text lines while the system log is on (default 500)
  --remote-model 701|750|760 the device reached through the radio relay (default 750)
  --remote-deveui HEX        its DevEUI (default derived from its serial number)
  -v, --verbose              trace every request and answer on standard error
  -h, --help                 this text

Remote-configuration server (instead of a terminal):
  --serve PORT               listen on 127.0.0.1:PORT (0: any free port) as the configurator's
                             remote-configuration server; the first line printed is the port.
                             Each IMEI it knows has a simulated device of the options above
                             (serial numbers counted up from --serial)
  --imei IMEI                an IMEI the server knows (15 digits; repeatable; default
                             356938035643809)
  --refuse-handshake         refuse every handshake (the connection is closed)
  --stall-after N            pass N requests of a session on, then nothing more (no answers)
  --drop-after N             drop the connection after N requests of a session
  --flood line|random|frames once a session is bridged, also send without end: one line that
                             never ends, random bytes, or frames that claim 65535 bytes

Faults (N: every Nth answer; P: probability 0..1, random with --seed):
  --seed N                   seed of the random faults (default 1)
  --drop-every N, --drop-prob P          do not send the answer
  --corrupt-every N, --corrupt-prob P    send the answer with a wrong CRC
  --split-every N, --split-prob P        send the answer in pieces ...
  --split-pieces K, --split-pause MS     ... K pieces (default 3) with pauses (default 40 ms)
  --join-every N, --join-prob P          hold the answer back and send it with the next one
  --garbage-every N, --garbage-prob P    send noise (with false start bytes) before the answer
  --garbage-bytes B                      noise length (default 64)
  --delay MS                 delay every answer
  --slow MS                  take MS over each request, one at a time (requests that come
                             meanwhile wait their turn, resends included)
  --late CODE:MS             send the answer to the first read or write of parameter CODE
                             (hex with 0x, or decimal) MS later than the others; later
                             requests for it are answered on time
  --refuse-param CODE        refuse set requests for parameter CODE (hex, e.g. 0x000A); repeatable
  --keep-param CODE          acknowledge set requests for parameter CODE but keep the old
                             value (a device that loses writes silently); repeatable
  --unplug-after-blocks N    pull the cable after N file blocks
  --unplug-at MS             pull the cable MS after start
  --relay-status-faults N    the first N relayed commands get relay status 9
  --fail-check N[:CODE]      the first N file checks fail with result CODE (default 3)
  --refuse-create CODE       file creation answers result CODE (1..255)
  --refuse-reboot CODE       reboot requests answer result CODE (1..255) and do nothing
  --refuse-blocks N          the first N file blocks are refused and not stored
  --silent                   never answer anything
)");
}

bool SimConfig::parse(const QStringList &args, QString *error, bool *helpRequested)
{
    *helpRequested = false;
    int i = 0;
    auto value = [&](const QString &opt, QString *out) {
        if (i + 1 >= args.size()) {
            *error = opt + QStringLiteral(" needs a value");
            return false;
        }
        *out = args.at(++i);
        return true;
    };
    auto integer = [&](const QString &opt, int min, int max, int *out) {
        QString v;
        if (!value(opt, &v))
            return false;
        bool ok = false;
        const int n = v.toInt(&ok, 0);
        if (!ok || n < min || n > max) {
            *error = QStringLiteral("%1: %2 is not a number from %3 to %4")
                         .arg(opt, v)
                         .arg(min)
                         .arg(max);
            return false;
        }
        *out = n;
        return true;
    };
    auto probability = [&](const QString &opt, double *out) {
        QString v;
        if (!value(opt, &v))
            return false;
        bool ok = false;
        const double p = v.toDouble(&ok);
        if (!ok || p < 0 || p > 1) {
            *error = opt + QStringLiteral(": ") + v + QStringLiteral(" is not a probability 0..1");
            return false;
        }
        *out = p;
        return true;
    };
    const int big = 1 << 30;
    for (; i < args.size(); ++i) {
        const QString &a = args.at(i);
        bool ok = true;
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            *helpRequested = true;
            return true;
        } else if (a == QLatin1String("-v") || a == QLatin1String("--verbose")) {
            verbose = true;
        } else if (a == QLatin1String("--model")) {
            ok = integer(a, 0, 1023, &model);
            if (ok && model != 701 && model != 750 && model != 760) {
                *error = QStringLiteral("--model: 701, 750 or 760");
                ok = false;
            }
        } else if (a == QLatin1String("--revision")) {
            ok = integer(a, 0, 63, &revision);
        } else if (a == QLatin1String("--fw")) {
            ok = value(a, &firmware);
            const QStringList parts = firmware.split(QLatin1Char('.'));
            bool numbers = parts.size() == 3;
            for (const QString &p : parts) {
                bool n = false;
                const int v = p.toInt(&n);
                numbers = numbers && n && v >= 0 && v <= 255;
            }
            if (ok && !numbers) {
                *error = QStringLiteral("--fw: three numbers 0..255 like 1.4.2");
                ok = false;
            }
        } else if (a == QLatin1String("--serial")) {
            int n = 0;
            ok = integer(a, 0, 99999999, &n);
            serialNumber = quint32(n);
        } else if (a == QLatin1String("--password")) {
            ok = value(a, &password);
        } else if (a == QLatin1String("--link")) {
            ok = value(a, &linkPath);
        } else if (a == QLatin1String("--join-delay")) {
            ok = integer(a, 0, big, &joinDelayMs);
        } else if (a == QLatin1String("--uplink-period")) {
            ok = integer(a, 0, big, &uplinkPeriodMs);
        } else if (a == QLatin1String("--reboot-delay")) {
            ok = integer(a, 0, big, &rebootDelayMs);
        } else if (a == QLatin1String("--mode-change-every")) {
            ok = integer(a, 0, big, &modeChangeEverySec);
        } else if (a == QLatin1String("--debug-line-every")) {
            ok = integer(a, 10, big, &debugLineEveryMs);
        } else if (a == QLatin1String("--remote-model")) {
            ok = integer(a, 0, 1023, &remoteModel);
            if (ok && remoteModel != 701 && remoteModel != 750 && remoteModel != 760) {
                *error = QStringLiteral("--remote-model: 701, 750 or 760");
                ok = false;
            }
        } else if (a == QLatin1String("--remote-deveui")) {
            ok = value(a, &remoteDevEui);
            remoteDevEui.remove(QLatin1Char('-'));
            if (ok && (remoteDevEui.size() != 16 ||
                       QByteArray::fromHex(remoteDevEui.toLatin1()).size() != 8)) {
                *error = QStringLiteral("--remote-deveui: 16 hex digits");
                ok = false;
            }
        } else if (a == QLatin1String("--seed")) {
            int n = 0;
            ok = integer(a, 0, big, &n);
            seed = quint32(n);
        } else if (a == QLatin1String("--drop-every")) {
            ok = integer(a, 1, big, &drop.every);
        } else if (a == QLatin1String("--drop-prob")) {
            ok = probability(a, &drop.probability);
        } else if (a == QLatin1String("--corrupt-every")) {
            ok = integer(a, 1, big, &corruptCrc.every);
        } else if (a == QLatin1String("--corrupt-prob")) {
            ok = probability(a, &corruptCrc.probability);
        } else if (a == QLatin1String("--split-every")) {
            ok = integer(a, 1, big, &split.every);
        } else if (a == QLatin1String("--split-prob")) {
            ok = probability(a, &split.probability);
        } else if (a == QLatin1String("--split-pieces")) {
            ok = integer(a, 2, 64, &splitPieces);
        } else if (a == QLatin1String("--split-pause")) {
            ok = integer(a, 0, 60000, &splitPauseMs);
        } else if (a == QLatin1String("--join-every")) {
            ok = integer(a, 1, big, &join.every);
        } else if (a == QLatin1String("--join-prob")) {
            ok = probability(a, &join.probability);
        } else if (a == QLatin1String("--garbage-every")) {
            ok = integer(a, 1, big, &garbage.every);
        } else if (a == QLatin1String("--garbage-prob")) {
            ok = probability(a, &garbage.probability);
        } else if (a == QLatin1String("--garbage-bytes")) {
            ok = integer(a, 1, 65536, &garbageBytes);
        } else if (a == QLatin1String("--delay")) {
            ok = integer(a, 0, big, &delayMs);
        } else if (a == QLatin1String("--late")) {
            QString v;
            ok = value(a, &v);
            const QStringList parts = v.split(QLatin1Char(':'));
            const QString code = parts.value(0).trimmed();
            bool codeOk = false;
            bool msOk = false;
            const uint param = code.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                                   ? code.mid(2).toUInt(&codeOk, 16)
                                   : code.toUInt(&codeOk, 10);
            const int ms = parts.value(1).trimmed().toInt(&msOk);
            if (ok &&
                (parts.size() != 2 || !codeOk || param > 0xFFFF || !msOk || ms < 1 || ms > big)) {
                *error = QStringLiteral("--late: CODE:MS, a parameter code 0..0xFFFF and a "
                                        "delay of at least 1 ms, like 0x000A:3500");
                ok = false;
            }
            if (ok)
                late = LateAnswer{quint16(param), ms};
        } else if (a == QLatin1String("--refuse-param")) {
            int code = 0;
            ok = integer(a, 0, 0xFFFF, &code);
            refusedParams.append(quint16(code));
        } else if (a == QLatin1String("--keep-param")) {
            int code = 0;
            ok = integer(a, 0, 0xFFFF, &code);
            ignoredParams.append(quint16(code));
        } else if (a == QLatin1String("--unplug-after-blocks")) {
            ok = integer(a, 1, big, &unplugAfterBlocks);
        } else if (a == QLatin1String("--unplug-at")) {
            ok = integer(a, 1, big, &unplugAtMs);
        } else if (a == QLatin1String("--relay-status-faults")) {
            ok = integer(a, 0, big, &relayStatusFaults);
        } else if (a == QLatin1String("--fail-check")) {
            QString v;
            ok = value(a, &v);
            const QStringList parts = v.split(QLatin1Char(':'));
            bool nOk = false;
            bool codeOk = parts.size() == 1;
            failChecks = parts.value(0).toInt(&nOk);
            if (parts.size() == 2)
                failCheckCode = parts.at(1).toInt(&codeOk);
            if (ok && (!nOk || !codeOk || parts.size() > 2 || failChecks < 1 || failCheckCode < 1 ||
                       failCheckCode > 255)) {
                *error = QStringLiteral("--fail-check: N or N:CODE, a count of at least 1 and "
                                        "a result 1..255, like 2:3");
                ok = false;
            }
        } else if (a == QLatin1String("--refuse-create")) {
            ok = integer(a, 1, 255, &createResult);
        } else if (a == QLatin1String("--refuse-reboot")) {
            ok = integer(a, 1, 255, &rebootResult);
        } else if (a == QLatin1String("--refuse-blocks")) {
            ok = integer(a, 1, big, &refuseBlocks);
        } else if (a == QLatin1String("--serve")) {
            ok = integer(a, 0, 65535, &servePort);
        } else if (a == QLatin1String("--imei")) {
            QString v;
            ok = value(a, &v);
            static const QRegularExpression digits(QStringLiteral("^[0-9]{15}$"));
            if (ok && !digits.match(v).hasMatch()) {
                *error = QStringLiteral("--imei: 15 digits");
                ok = false;
            }
            imeis << v;
        } else if (a == QLatin1String("--refuse-handshake")) {
            refuseHandshake = true;
        } else if (a == QLatin1String("--stall-after")) {
            ok = integer(a, 0, big, &stallAfter);
        } else if (a == QLatin1String("--drop-after")) {
            ok = integer(a, 0, big, &dropAfter);
        } else if (a == QLatin1String("--slow")) {
            ok = integer(a, 1, big, &slowMs);
        } else if (a == QLatin1String("--flood")) {
            QString v;
            ok = value(a, &v);
            const QStringList kinds{QStringLiteral("line"), QStringLiteral("random"),
                                    QStringLiteral("frames")};
            if (ok && !kinds.contains(v)) {
                *error = QStringLiteral("--flood: line, random or frames");
                ok = false;
            }
            flood = Flood(kinds.indexOf(v) + 1);
        } else if (a == QLatin1String("--silent")) {
            silent = true;
        } else {
            *error = QStringLiteral("unknown option ") + a;
            ok = false;
        }
        if (!ok)
            return false;
    }
    return true;
}
