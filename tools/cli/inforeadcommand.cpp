#include "inforeadcommand.h"

#include "configdocument.h"
#include "devicesession.h"

#include <QJsonDocument>
#include <QJsonObject>

void InfoReadCommand::identified(const DeviceIdentity &d)
{
    const QString name = d.shownName();
    const bool supported = !session->group().isEmpty();
    if (opts.command == QLatin1String("info")) {
        if (opts.json) {
            QJsonObject o{{QStringLiteral("port"), where()},
                          // Kept as scripts have read it; the name people read is the text's.
                          {QStringLiteral("model"), QStringLiteral("Vexa%1").arg(d.model())},
                          {QStringLiteral("deviceId"), int(d.devId)},
                          {QStringLiteral("revision"), d.revision()},
                          {QStringLiteral("firmware"), d.firmware},
                          {QStringLiteral("supported"), supported},
                          {QStringLiteral("serialNumber"), d.serialNumber},
                          {QStringLiteral("devEui"), d.devEui}};
            if (!opts.relay.isEmpty())
                o.insert(QStringLiteral("relay"), opts.relay);
            out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
        } else {
            out << "port:          " << where() << '\n'
                << (opts.relay.isEmpty() ? QString() : "relay to:      " + opts.relay + '\n')
                // The hardware revision is told only where there is one: "revision 0" beside
                // the "v2" of the name read as a contradiction.
                << "model:         " << name << " (device ID " << d.devId
                << (d.revision() ? QStringLiteral(", hardware revision %1").arg(d.revision())
                                 : QString())
                << ")\n"
                << "firmware:      " << d.firmware << (supported ? "" : " (not supported)") << '\n'
                << "serial number: " << d.serialNumber << '\n'
                << "DevEUI:        " << d.devEui << '\n';
        }
        return; // the empty read that follows ends the command
    }
    if (!supported)
        fail(QStringLiteral("firmware %1 of %2 is not supported by this configurator")
                 .arg(d.firmware, name));
}

void InfoReadCommand::readDone(const QDomDocument &read)
{
    if (done)
        return;
    if (opts.command == QLatin1String("info"))
        return succeed();
    endProgress();
    QDomDocument doc = read;
    if (!opts.withKeys)
        ConfigDocument::clearKeys(doc);
    if (opts.output.isEmpty()) {
        out << ConfigDocument::toText(doc);
    } else if (!ConfigDocument::save(doc, opts.output)) {
        return fail(QStringLiteral("cannot write ") + opts.output);
    } else {
        err << "configuration saved to " << opts.output << '\n';
    }
    succeed();
}
