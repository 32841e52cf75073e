#include "historycontroller.h"

#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "commands.h"
#include "configcontroller.h"
#include "configeditor.h"
#include "configwords.h"
#include "db_worker.h"
#include "deviceinterface.h"
#include "devicejournal.h"
#include "devicesession.h"
#include "historydialog.h"
#include "jobrecorder.h"
#include "linkstate.h"
#include "packparser.h"
#include "paramcatalogue.h"
#include "pendingchanges.h"
#include "userprompts.h"

#include <QDebug>
#include <QTimer>
#include <QToolButton>

#include <utility>

namespace {
const QString timeFormat = QStringLiteral("dd.MM.yyyy HH:mm:ss");

// A reset as the journal keeps it (English, the same for the command line) and as the window
// says it.
struct ResetName
{
    const char *stored;
    const char *shown;
};
const ResetName networkReset{
    "network settings to factory defaults",
    QT_TRANSLATE_NOOP("HistoryController", "сетевые настройки к заводским")};
const ResetName allReset{"all settings to factory defaults",
                         QT_TRANSLATE_NOOP("HistoryController", "все настройки к заводским")};
const ResetName blackBoxReset{"black box cleared",
                              QT_TRANSLATE_NOOP("HistoryController", "очистка чёрного ящика")};
} // namespace

HistoryController::HistoryController(MainWindow *w)
    : QObject(w)
    , window(w)
    , deviceJournal(new DeviceJournal(this))
{
    DeviceSession *session = window->session;
    session->setJournal(deviceJournal);
    connect(deviceJournal, &DeviceJournal::problem, this,
            [this](DeviceJournal::Problem, const QString &message) {
                // Told once per outage by the journal; the work goes on meanwhile.
                window->prompts->report(UserPrompts::Icon::Warning, tr("Журнал устройств"),
                                        message);
            });
    connect(deviceJournal, &DeviceJournal::recorded, this, &HistoryController::refresh);
    connect(deviceJournal, &DeviceJournal::outboxSent, this, &HistoryController::refresh);
    connect(session, &DeviceSession::identified, this, [this](const DeviceIdentity &d) {
        if (!restored.isNull() && d.serialNumber != window->connectedDevice().serialNumber)
            restored.clear();
        refresh();
    });
    connect(session, &DeviceSession::phaseChanged, this, [this](DeviceSession::Phase phase) {
        if (phase == DeviceSession::Phase::Writing)
            writeStarting();
    });
    connect(window->link, &DeviceInterface::changeDeviceStatus, this, [this](int state) {
        if (state == LinkState::Disconnected)
            refresh();
    });
    PackParser *parser = window->link->packParser();
    connect(parser, &PackParser::factoryDefaultAnswer, this,
            &HistoryController::factoryDefaultAnswered);
    connect(parser, &PackParser::formatFlashAnswer, this, &HistoryController::formatFlashAnswered);
    // Only the status panel's button sets the device clock.
    connect(parser, &PackParser::setDateTimeAnswer, this, [this] {
        if (JobRecorder *r = window->session->recorder())
            r->record(JournalRecord::Kind::Clock, JournalRecord::Result::Ok);
    });

    // The window's firmware update runs beside the session: its end is recorded here, once the
    // session's recorder has taken the firmware the device came back with.
    connect(window->firmware, &FirmwareController::updateEnded, this,
            [this](FirmwareDialog::Outcome outcome, const QString &from, const QString &text) {
                QTimer::singleShot(0, this, [this, outcome, from, text] {
                    JobRecorder *recorder = window->session->recorder();
                    if (!recorder)
                        return;
                    JournalRecord r = recorder->recordFor(JournalRecord::Kind::Flash);
                    r.firmwareBefore = from;
                    if (outcome != FirmwareDialog::Outcome::Done) {
                        r.result = outcome == FirmwareDialog::Outcome::Cancelled
                                       ? JournalRecord::Result::Cancelled
                                       : JournalRecord::Result::Failed;
                        r.reason = text;
                    }
                    recorder->record(r);
                });
            });

    QToolButton *button = window->ui->historyButton;
    connect(button, &QToolButton::pressed, this, &HistoryController::showHistory);
    button->setEnabled(deviceJournal->isEnabled());
}

HistoryController::~HistoryController()
{
    delete shown;
}

HistoryDialog *HistoryController::dialog() const
{
    return shown;
}

QString HistoryController::resetText(const QString &reason)
{
    for (const ResetName &r : {networkReset, allReset, blackBoxReset}) {
        if (reason == QLatin1String(r.stored))
            return tr(r.shown);
    }
    return reason;
}

void HistoryController::factoryDefaultAnswered(uchar part)
{
    // A reset of all settings is the device part, then the network part the link asks for
    // when the first is done: one job, told once the second is.
    if (part == Cmd::resetDevice) {
        resetAllPending = true;
        return;
    }
    if (part != Cmd::resetNetwork)
        return;
    const bool all = std::exchange(resetAllPending, false);
    if (JobRecorder *r = window->session->recorder())
        r->record(JournalRecord::Kind::Reset, JournalRecord::Result::Ok,
                  QLatin1String(all ? allReset.stored : networkReset.stored));
}

void HistoryController::formatFlashAnswered(uchar code)
{
    JobRecorder *r = window->session->recorder();
    if (!r)
        return;
    if (code == 0)
        r->record(JournalRecord::Kind::Reset, JournalRecord::Result::Ok,
                  QLatin1String(blackBoxReset.stored));
    else
        r->record(JournalRecord::Kind::Reset, JournalRecord::Result::Failed,
                  QStringLiteral("%1: the device answered %2")
                      .arg(QLatin1String(blackBoxReset.stored))
                      .arg(code));
}

void HistoryController::writeStarting()
{
    if (restored.isNull())
        return;
    const QDomDocument values = std::exchange(restored, QDomDocument());
    JobRecorder *recorder = window->session->recorder();
    const QDomElement kept = values.documentElement();
    // The edits a restore loaded may have been dropped or written meanwhile: the write is a
    // restore while it carries any of the values put back.
    const QDomElement sent = window->session->sentDocument().documentElement();
    for (QDomElement e = sent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        const QDomElement old = kept.firstChildElement(e.tagName());
        if (recorder && !old.isNull() && PendingChanges::sameValue(e.tagName(), old, e)) {
            recorder->setWriteKind(JournalRecord::Kind::Restore);
            return;
        }
    }
}

void HistoryController::showHistory()
{
    if (!shown) {
        shown = new HistoryDialog(window);
        shown->setAttribute(Qt::WA_DeleteOnClose);
        connect(shown, &HistoryDialog::jobSelected, this, &HistoryController::jobSelected);
        connect(shown, &HistoryDialog::restoreRequested, this, [this](qint64 id) {
            // The dialog makes way for the pages where the values are to be reviewed.
            if (restore(id) && shown)
                shown->close();
        });
    }
    refresh();
    shown->show();
    shown->raise();
    shown->activateWindow();
}

void HistoryController::refresh()
{
    if (!shown)
        return;
    const DeviceIdentity &device = window->connectedDevice();
    const QString serial = device.isKnown() ? device.serialNumber : QString();
    QString error;
    const QList<JournalRecord> jobs = deviceJournal->jobs(serial, QDateTime(), &error);
    shown->setScope(serial.isEmpty() ? QString() : window->deviceLine(device));
    shown->setJobs(jobs, error);
}

bool HistoryController::isConnected(const JournalRecord &job) const
{
    const DeviceIdentity &device = window->connectedDevice();
    return window->globalState() != LinkState::Disconnected && device.isKnown() &&
           !job.serial.isEmpty() && device.serialNumber == job.serial;
}

void HistoryController::jobSelected(qint64 id)
{
    if (!shown || id == 0)
        return;
    JournalRecord job;
    QString error;
    if (!deviceJournal->job(id, &job, &error)) {
        shown->showDetails(error.isEmpty()
                               ? tr("Этой работы больше нет в журнале.")
                               : tr("Журнал устройств не удаётся прочитать: %1").arg(error),
                           false);
        return;
    }
    shown->showDetails(details(job), !job.configBefore.isEmpty() && isConnected(job));
}

QString HistoryController::valueWords(const JournalRecord &job, const QString &element,
                                      const QString &hex)
{
    if (!jobsDb) {
        jobsDb = new DB_Worker(this);
        if (!jobsDb->checkDb())
            qWarning() << "devices.db cannot be read: the journal's choices show as codes";
    }
    const quint16 devId = DeviceIdentity::idOf(job.model.toInt(), job.revision.toInt());
    // The words of choices are translated when the list is made: one per language too.
    const QString key = QStringLiteral("%1/%2/%3")
                            .arg(job.firmwareBefore)
                            .arg(devId)
                            .arg(window->currentLanguage());
    auto it = vocabularies.find(key);
    if (it == vocabularies.end())
        it =
            vocabularies.insert(key, ConfigWords::vocabularyOf(*jobsDb, job.firmwareBefore, devId));
    return ConfigWords::valueOfWire(element, hex, ConfigWords::interfaceLanguage, *it);
}

QString HistoryController::details(const JournalRecord &job)
{
    DeviceIdentity device;
    device.devId = DeviceIdentity::idOf(job.model.toInt(), job.revision.toInt());
    device.serialNumber = job.serial;
    device.devEui = job.devEui;
    QStringList lines{window->deviceLine(device)};
    lines << (job.firmwareAfter == job.firmwareBefore
                  ? tr("Прошивка: %1").arg(job.firmwareBefore)
                  : tr("Прошивка: %1 → %2").arg(job.firmwareBefore, job.firmwareAfter));
    lines << tr("Путь: %1").arg(job.path);
    if (job.kind == JournalRecord::Kind::Reset)
        lines << tr("Сброс: %1").arg(resetText(job.reason));
    else if (!job.reason.isEmpty())
        lines << tr("Причина: %1").arg(job.reason);

    const bool verify = job.kind == JournalRecord::Kind::Verify;
    if (verify && job.changes.isEmpty() && job.result == JournalRecord::Result::Ok)
        lines << tr("Все записанные значения прочитаны из устройства такими же.");
    if (!job.changes.isEmpty())
        lines << QString() << (verify ? tr("Прочитано не то, что записано:") : tr("Изменения:"));
    // The window's own labels for the device it shows; the catalogue's for others.
    const bool connected = isConnected(job);
    for (const JournalRecord::Change &c : job.changes) {
        const QString label = connected
                                  ? window->editor->fieldLabel(c.element)
                                  : ParamLabels::label(c.element, ConfigWords::interfaceLanguage);
        const auto said = [&](const QString &hex) {
            return hex.isEmpty() ? QStringLiteral("—") : valueWords(job, c.element, hex);
        };
        if (c.secret)
            // Only fingerprints were kept: whether it changed is all there is to tell.
            lines << (c.oldValue == c.newValue ? tr("%1: записан, не изменился").arg(label)
                                               : tr("%1: изменён").arg(label));
        else if (verify)
            lines << tr("%1: записано %2, прочитано %3")
                         .arg(label, said(c.oldValue),
                              c.newValue.isEmpty() ? tr("нет") : said(c.newValue));
        else
            lines << QStringLiteral("%1: %2 → %3").arg(label, said(c.oldValue), said(c.newValue));
    }
    return lines.join(QLatin1Char('\n'));
}

bool HistoryController::restore(qint64 id)
{
    UserPrompts *prompts = window->prompts;
    const QString title = tr("Восстановление конфигурации");
    JournalRecord job;
    QString error;
    if (!deviceJournal->job(id, &job, &error)) {
        prompts->inform(UserPrompts::Icon::Critical, title,
                        error.isEmpty()
                            ? tr("Этой работы больше нет в журнале.")
                            : tr("Журнал устройств не удаётся прочитать: %1").arg(error));
        return false;
    }
    if (job.configBefore.isEmpty()) {
        prompts->inform(UserPrompts::Icon::Warning, title,
                        tr("Эта работа не сохранила конфигурацию: её сохраняет только запись "
                           "в устройство."));
        return false;
    }
    if (!isConnected(job)) {
        prompts->inform(UserPrompts::Icon::Warning, title,
                        tr("Конфигурацию можно восстановить только в то устройство, с которым "
                           "была эта работа (SN %1). Подключите его.")
                            .arg(job.serial));
        return false;
    }
    QDomDocument doc;
    QStringList refused;
    // Keys are never put back: the journal holds only their fingerprints, and the identifiers
    // are the device's own.
    if (!DeviceJournal::restorable(job, &doc, &refused)) {
        prompts->inform(UserPrompts::Icon::Critical, title,
                        tr("Сохранённую в журнале конфигурацию не удаётся прочитать."));
        return false;
    }
    for (const QString &r : std::as_const(refused))
        qWarning().noquote() << "Not restored:" << r;
    window->config->applyConfigFile(doc);
    restored = doc;
    const QString moment = job.time.toLocalTime().toString(timeFormat);
    const int count = window->config->pendingCount();
    prompts->inform(UserPrompts::Icon::Information, title,
                    count > 0 ? tr("Загружена конфигурация от %1 (изменений: %2). Проверьте "
                                   "изменения и запишите их в устройство.")
                                    .arg(moment)
                                    .arg(count)
                              : tr("Конфигурация от %1 совпадает с конфигурацией "
                                   "устройства: записывать нечего.")
                                    .arg(moment));
    return true;
}
