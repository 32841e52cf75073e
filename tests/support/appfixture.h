#pragma once

#include "commands.h"
#include "deviceinterface.h"
#include "paramcatalogue.h"
#include "paramcodec.h"
#include "recordingprompts.h"
#include "simportenumerator.h"
#include "simulator.h"
#include "tempappdir.h"

#include <QDomDocument>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <memory>

class MainWindow;

// What every integration test stands on: a temporary program folder holding the shipped
// devices.db, simulated devices on pseudo-terminals listed by a port enumerator, scripted
// prompts, and the real window or a bare link against them. Everything goes with the fixture.
class AppFixture
{
public:
    // What a loaded two-core machine may add to any wait of a test.
    static constexpr int loadSlackMs = 2000;
    // One request answered (or given up) by a device that is there.
    static constexpr int answerWaitMs = DeviceInterface::defaultAnswerTimeoutMs;
    // How long a test watches for something that must not happen (a reopen, a late answer).
    static constexpr int nothingFollowsMs = 300;
    // A simulated reboot (the port gone, then back as a new terminal) short enough for tests.
    static constexpr int quickRebootMs = 300;
    // A shorter answer time-out for tests that let the link give up, so resends are quick.
    static constexpr int shortAnswerTimeoutMs = 150;
    // From the window's start to a device found, identified and every parameter read: quick
    // on an idle machine, given as long as three unanswered requests.
    static constexpr int connectWaitMs = 3 * DeviceInterface::defaultAnswerTimeoutMs + loadSlackMs;

    AppFixture()
    {
        registerLinkMetaTypes();
        valid = dir.isValid() && QFile::copy(VEXA_BUILT_DEVICES_DB, path("devices.db")) &&
                QFile::setPermissions(path("devices.db"), QFile::ReadOwner | QFile::WriteOwner);
    }
    ~AppFixture()
    {
        front.reset(); // the window closes its port before the devices go
        sims.clear();
    }
    AppFixture(const AppFixture &) = delete;
    AppFixture &operator=(const AppFixture &) = delete;

    bool isValid() const { return valid; }
    QString path(const QString &name = QString()) const { return dir.path(name); }
    QString writeFile(const QString &name, const QByteArray &content) const
    {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
        return f.fileName();
    }

    // A started simulated device, listed by the enumerator; each has a serial number of its own.
    Simulator *addSim(SimConfig config = SimConfig())
    {
        config.serialNumber += quint32(sims.size());
        sims.push_back(std::make_unique<Simulator>(config));
        Simulator *s = sims.back().get();
        if (!s->start())
            return nullptr;
        enumerator.sims << s;
        QObject::connect(s, &Simulator::trace, &context, [this](const QString &line) {
            if (line.startsWith("> "))
                received << line.mid(2);
        });
        return s;
    }
    Simulator *sim(int i = 0) const { return sims.at(size_t(i)).get(); }

    // One data row per simulated model: the Vexa701, 750 and 760, and the 760 of revision 2.
    static void modelRows()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("revision");
        const std::pair<int, int> models[] = {{701, 0}, {750, 0}, {760, 0}, {760, 2}};
        for (const auto &m : models)
            QTest::addRow("%d%s", m.first, m.second ? " rev 2" : "") << m.first << m.second;
    }
    // The device of the current model row.
    static SimConfig modelConfig()
    {
        QFETCH(int, model);
        QFETCH(int, revision);
        SimConfig c;
        c.model = model;
        c.revision = revision;
        return c;
    }

    // A bare link with its port open on the device (or on a terminal the test plays).
    static std::unique_ptr<DeviceInterface> openLink(const QString &portName)
    {
        auto link = std::make_unique<DeviceInterface>();
        link->serialPort()->setPortName(portName);
        link->serialPort()->open(QIODevice::ReadWrite);
        return link;
    }
    static std::unique_ptr<DeviceInterface> openLink(Simulator *s)
    {
        return openLink(s->portName());
    }

    // The real window, searching the enumerator's ports and asking the scripted prompts.
    template<class Window = MainWindow> Window *openWindow()
    {
        auto *w = new Window(&prompts, &enumerator);
        front.reset(w);
        return w;
    }
    // A device and the window that has found and read it.
    template<class Window = MainWindow> Window *connectWindow(SimConfig config = SimConfig())
    {
        if (!addSim(config))
            return nullptr;
        Window *w = openWindow<Window>();
        // A spy's wait runs the event loop without the pauses of qWaitFor, which would cost
        // a pause for every request of the configuration read.
        QSignalSpy ready(w, &Window::readyStatus);
        return w->globalState() == 2 || ready.wait(connectWaitMs) ? w : nullptr;
    }

    // The requests the devices received, as "0x8501 [00 01 0a ...]", those starting with
    // one of the prefixes (all when none is given).
    QStringList requests(const QStringList &prefixes = QStringList()) const
    {
        QStringList out;
        for (const QString &r : received) {
            if (prefixes.isEmpty() ||
                std::any_of(prefixes.begin(), prefixes.end(),
                            [&r](const QString &p) { return r.startsWith(p); }))
                out << r;
        }
        return out;
    }
    // Only the command codes of those requests ("0x8501").
    QStringList codes(const QStringList &prefixes = QStringList()) const
    {
        QStringList out;
        for (const QString &r : requests(prefixes))
            out << r.left(6);
        return out;
    }
    // What the devices were told to store, and their reboots.
    QStringList writes() const { return requests({"0x8501", "0x8001"}); }
    void clearRequests() { received.clear(); }

    // The names of a configuration document's elements, in order.
    static QStringList elementNames(const QDomDocument &doc)
    {
        QStringList names;
        for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull();
             e = e.nextSiblingElement())
            names << e.tagName();
        return names;
    }

    // Checks every parameter of a read document against the device's store: the number of
    // parameters compared, or -1 with the first difference in *difference.
    static int compareWithStore(const QDomDocument &doc, const SimDevice &dev, QString *difference)
    {
        int params = 0;
        for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull();
             e = e.nextSiblingElement()) {
            const ParamCatalogue::Param *p = ParamCatalogue::byElement(e.tagName());
            if (!p)
                continue;
            ++params;
            const QString read = p->kind == ParamCatalogue::Kind::ReadOnly
                                     ? e.attribute("param")
                                     : ParamCodec::valueTextOf(*p, e);
            const QString stored = QString::fromLatin1(dev.param(p->code).toHex());
            if (read != stored) {
                *difference = e.tagName() + ": read " + read + ", stored " + stored;
                return -1;
            }
        }
        return params;
    }

    RecordingPrompts prompts;
    SimPortEnumerator enumerator;

private:
    TempAppDir dir;
    bool valid = false;
    QObject context;
    std::vector<std::unique_ptr<Simulator>> sims;
    std::unique_ptr<QObject> front;
    QStringList received;
};
