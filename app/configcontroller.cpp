#include "configcontroller.h"
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appsettings.h"
#include "configdocument.h"
#include "configwords.h"
#include "configeditor.h"
#include "configexchange.h"
#include "deviceinterface.h"
#include "linkstate.h"
#include "devicesession.h"
#include "relaycontroller.h"
#include "statuscontroller.h"
#include "statuspoller.h"
#include "userprompts.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPainter>
#include <QTimer>
#include <QToolButton>

namespace {
// The write button's icon with the number of pending changes in a corner.
QIcon withCount(const QIcon &base, const QSize &size, int count)
{
    if (count <= 0)
        return base;
    QIcon icon;
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
        QPixmap pixmap = base.pixmap(size, mode);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF badge(size.width() / 2.0 - 1, 0, size.width() / 2.0 + 1, size.height() / 2.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(mode == QIcon::Normal ? QColor(220, 60, 40) : QColor(140, 140, 140));
        painter.drawEllipse(badge);
        QFont font = painter.font();
        font.setPixelSize(int(badge.height() * 0.75));
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(badge, Qt::AlignCenter,
                         count > 99 ? QStringLiteral("99") : QString::number(count));
        painter.end();
        icon.addPixmap(pixmap, mode);
    }
    return icon;
}

QIcon pageMarkIcon()
{
    QPixmap dot(12, 12);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 190, 40));
    painter.drawEllipse(QRectF(1, 1, 10, 10));
    return QIcon(dot);
}
} // namespace

ConfigController::ConfigController(MainWindow *mainWindow)
    : QObject(mainWindow)
    , window(mainWindow)
{
    DeviceSession *session = window->session;
    connect(session->exchange(), &ConfigExchange::writeFinished, this,
            &ConfigController::writeFinished);
    connect(session, &DeviceSession::writeFinished, this, [this, session] {
        if (session->verified())
            verifyWrite();
    });
}

void ConfigController::replaceElement(const QString &name,
                                      const QList<QPair<QString, QString>> &attrs)
{
    if (window->readyFlag)
        window->ui->writeConfigButton->setEnabled(true);
    pending.edit(name, attrs);
}

void ConfigController::takeDevice(const DeviceIdentity &identity)
{
    if (!pending.belongsTo(identity)) {
        // Never shown over this device's values, never written to it unasked.
        if (!pending.isEmpty())
            foreignChanges << pending;
        pending = PendingChanges();
    }
    for (int i = 0; i < keptChanges.size(); ++i) {
        if (keptChanges[i].device().sameDevice(identity) && pending.isEmpty()) {
            pending = keptChanges.takeAt(i);
            break;
        }
    }
    pending.setDevice(identity);
    // The link is still identifying the device: the question comes once its slot has returned.
    if (!foreignChanges.isEmpty())
        QTimer::singleShot(0, this, &ConfigController::askAboutForeignChanges);
}

void ConfigController::askAboutForeignChanges()
{
    // One question at a time, without waiting in this slot: the next follows the answer.
    if (foreignQuestionOpen || foreignChanges.isEmpty() ||
        window->currentState == LinkState::Disconnected) {
        refreshPendingMarks();
        return;
    }
    const PendingChanges other = foreignChanges.takeFirst();
    QStringList lines;
    const QDomDocument doc = other.document();
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        const ConfigEditor::ChangeText c = window->editor->describeChange(e);
        lines << QStringLiteral("%1: %2").arg(c.label, c.after);
    }
    foreignQuestionOpen = true;
    const DeviceIdentity askedFor = window->currentDevice;
    window->prompts->askLater(
        UserPrompts::Icon::Question, tr("Незаписанные изменения"),
        tr("Есть незаписанные изменения для другого устройства.") + QLatin1Char('\n') +
            tr("Сделаны для: %1").arg(window->deviceLine(other.device())) + QLatin1Char('\n') +
            tr("Подключено: %1").arg(window->deviceLine(window->currentDevice)) + QStringLiteral("\n\n") +
            lines.join(QLatin1Char('\n')) + QStringLiteral("\n\n") +
            tr("Да — перенести эти изменения в подключенное устройство.") + QLatin1Char('\n') +
            tr("Нет — отказаться от них.") + QLatin1Char('\n') +
            tr("Отмена — сохранить их для устройства SN %1: они вернутся, когда оно будет "
               "подключено.")
                .arg(other.device().serialNumber),
        UserPrompts::Yes | UserPrompts::No | UserPrompts::Cancel, UserPrompts::Cancel, this,
        [this, other, askedFor](UserPrompts::Button answer) {
            foreignQuestionOpen = false;
            // An answer about a device that has gone meanwhile keeps the edits.
            const bool stillThere =
                window->currentState != LinkState::Disconnected && window->currentDevice.sameDevice(askedFor);
            if (answer == UserPrompts::Yes && stillThere) {
                pending.adopt(other);
                showPendingInEditor();
            } else if (answer != UserPrompts::No) {
                keptChanges << other;
            }
            askAboutForeignChanges();
        });
}

void ConfigController::showPendingInEditor()
{
    if (pending.isEmpty())
        return;
    window->editor->fill(pending.document().documentElement());
    if (window->readyFlag)
        window->ui->writeConfigButton->setEnabled(true);
}

void ConfigController::refreshPendingMarks()
{
    QMap<QString, bool> marks;
    for (const PendingChanges::Change &c : pending.changes())
        marks.insert(c.element, c.fromFile);

    const QList<QWidget *> pages = window->editor->markPending(marks);
    for (int row = 0; row < window->ui->terminalMenu->count(); ++row) {
        const bool marked = pages.contains(window->ui->stackedWidget->widget(row));
        QListWidgetItem *item = window->ui->terminalMenu->item(row);
        item->setIcon(marked ? pageMarkIcon() : QIcon());
        item->setToolTip(marked ? tr("На странице есть незаписанные изменения") : QString());
    }

    QToolButton *write = window->ui->writeConfigButton;
    if (!write->property("plainIcon").isValid())
        write->setProperty("plainIcon", write->icon());
    const int count = pending.count();
    write->setIcon(
        withCount(write->property("plainIcon").value<QIcon>(), write->iconSize(), count));
    write->setText(count > 0 ? QString::number(count) : QString());
    write->setToolTip(count > 0 ? tr("Записать конфигурацию (изменений: %1)").arg(count)
                                : tr("Записать конфигурацию"));
}

QStringList ConfigController::pendingChangeLines() const
{
    QStringList lines;
    const QDomDocument doc = pending.document();
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        const ConfigEditor::ChangeText c = window->editor->describeChange(e);
        lines << QStringLiteral("%1: %2 → %3").arg(c.label, c.before, c.after);
    }
    return lines;
}

void ConfigController::deviceRead(const QDomDocument &doc)
{
    // What the device holds: edits it already has are no longer pending.
    pending.setDeviceValues(doc);
    window->updateGui(doc.documentElement());
    window->editor->rememberDeviceValues(doc.documentElement());
    // Changes still waiting (a file opened before the device came) show over the device's
    // values: the fields show what a write would send.
    showPendingInEditor();
    refreshPendingMarks();
}

void ConfigController::setAside()
{
    // Not dropped by the read of the local device: the user is asked about them once it is
    // identified.
    if (!pending.isEmpty())
        foreignChanges << pending;
}

void ConfigController::clear()
{
    pending.clear();
    refreshPendingMarks();
}

bool ConfigController::mayReadAgain()
{
    if (pending.isEmpty())
        return true;
    return window->prompts->ask(
               UserPrompts::Icon::Question, tr("Чтение конфигурации"),
               tr("Считать конфигурацию из устройства заново? Незаписанные изменения (%1) будут "
                  "потеряны:")
                       .arg(pending.count()) +
                   QStringLiteral("\n\n") + pendingChangeLines().join(QLatin1Char('\n')),
               UserPrompts::Yes | UserPrompts::No) == UserPrompts::Yes;
}

bool ConfigController::mayClose()
{
    if (pending.isEmpty() || window->currentState != LinkState::Ready)
        return true;
    const auto answer = window->prompts->ask(
        UserPrompts::Icon::Question, tr("Предупреждение"),
        tr("Имеются не записанные изменения.\nЗаписать изменения?") + QLatin1Char('\n') +
            window->deviceLine(window->currentDevice),
        UserPrompts::Yes | UserPrompts::No | UserPrompts::Cancel);
    if (answer == UserPrompts::No)
        return true;
    if (answer == UserPrompts::Yes && !invalidInputRefused()) {
        // The write ends with the device rebooting; the reboot then closes the program. (With
        // a field that cannot be written, the window stays open so it can be completed.)
        window->poller->stopTimer();
        window->closeAfterReboot = true;
        writePendingChanges();
    }
    return false;
}

void ConfigController::write()
{
    if (!window->identified) {
        window->prompts->inform(UserPrompts::Icon::Warning, tr("Предупреждение"),
                        tr("Версия прошивки модуля не поддерживается конфигуратором"));
        return;
    }
    if (invalidInputRefused())
        return;
    if (pending.isEmpty()) {
        window->prompts->inform(UserPrompts::Icon::Information, tr("Запись конфигурации"),
                        tr("Отсутствуют изменения для записи в устройство"));
        return;
    }
    const auto answer = window->prompts->ask(
        UserPrompts::Icon::Question, tr("Запись конфигурации"),
        tr("Записать конфигурацию в устройство?") + QLatin1Char('\n') + window->deviceLine(window->currentDevice) +
            QStringLiteral("\n\n") + pendingChangeLines().join(QLatin1Char('\n')) +
            QStringLiteral("\n\n") + tr("После записи устройство перезагрузится."),
        UserPrompts::Yes | UserPrompts::No);
    if (answer != UserPrompts::Yes) {
        window->setGlobalState(LinkState::Ready);
        return;
    }
    window->waitEndReadStatus([this] { writePendingChanges(); });
}

bool ConfigController::invalidInputRefused()
{
    // Nothing is sent while a field holds what cannot be written: the rest alone could leave
    // the device with half a set of keys.
    const QStringList invalid = window->editor->invalidFields();
    if (invalid.isEmpty())
        return false;
    window->prompts->inform(UserPrompts::Icon::Warning, tr("Запись конфигурации"),
                    tr("Запись невозможна, исправьте поля:") + QLatin1Char('\n') +
                        invalid.join(QLatin1Char('\n')));
    return true;
}

void ConfigController::writePendingChanges()
{
    // The changes stay pending until the device has taken them all: a write that fails
    // half-way must not throw the user's edits away. The device is read back after its
    // reboot when the setting asks for it: on the cable only (a device behind the relay or
    // the server comes back another way), and not by a program closing after the write.
    window->session->write(pending.startWrite(),
                           AppSettings::verifyWrites() && !window->closeAfterReboot &&
                               window->currentDevice.path == DeviceIdentity::Path::Usb);
}

void ConfigController::writeFinished(bool ok)
{
    if (!ok)
        window->closeAfterReboot = false; // the window stays: not every change is on the device
    // What the device took is no longer pending; the rest, and an edit made meanwhile, stays.
    const ConfigExchange::WriteReport &report = window->exchange->writeReport();
    pending.accept(report);
    refreshPendingMarks();
    // A refusal is told with the write-error state; a lost or silent device here.
    if (!ok && report.stop != ConfigExchange::WriteReport::Stop::Refused)
        window->prompts->report(UserPrompts::Icon::Critical, tr("Ошибка записи"),
                        (report.stop == ConfigExchange::WriteReport::Stop::DeviceLost
                             ? tr("Запись конфигурации прервана: устройство отключено.")
                             : tr("Запись конфигурации прервана: устройство не отвечает.")) +
                            writeReportText());
}

void ConfigController::verifyWrite()
{
    const int count = window->session->verifiedNames().size();
    const QList<ConfigDocument::Mismatch> &wrong = window->session->mismatches();
    if (wrong.isEmpty()) {
        window->prompts->report(UserPrompts::Icon::Information, tr("Проверка записи"),
                        tr("Записано и проверено: значений прочитано из устройства таких же, "
                           "как записаны: %1")
                            .arg(count));
        return;
    }
    QStringList lines;
    const ParamValue::Vocabulary words = ConfigWords::vocabularyOf(*window->dbWorker);
    const auto said = [&](const QString &name, const QString &wire) {
        return ConfigWords::valueOfWire(name, wire, ConfigWords::interfaceLanguage, words);
    };
    for (const ConfigDocument::Mismatch &m : wrong)
        lines << tr("%1: записано %2, прочитано %3")
                     .arg(window->editor->fieldLabel(m.name),
                          said(m.name, m.written),
                          m.read.isEmpty() ? tr("нет") : said(m.name, m.read));
    window->prompts->report(UserPrompts::Icon::Critical, tr("Проверка записи"),
                    tr("Устройство хранит не те значения, что были записаны:") + QLatin1Char('\n') +
                        lines.join(QLatin1Char('\n')));
}

QString ConfigController::writeReportText() const
{
    const ConfigExchange::WriteReport &report = window->exchange->writeReport();
    // By the labels the user knows the fields by.
    const auto labels = [this](const QStringList &names) {
        QStringList shown;
        for (const QString &name : names)
            shown << window->editor->fieldLabel(name);
        return names.isEmpty() ? tr("нет") : shown.join(QStringLiteral(", "));
    };
    return QStringLiteral("\n\n") + tr("Записаны: %1").arg(labels(report.written)) +
           QStringLiteral("\n") +
           tr("Не записаны (остались в изменениях): %1").arg(labels(report.notWritten));
}

namespace {
// The second line of the box for a file refused whole: why, in the user's language.
QString loadProblemText(ConfigDocument::LoadResult result, const QString &problem)
{
    using R = ConfigDocument::LoadResult;
    switch (result) {
    case R::TooLarge:
        return QStringLiteral("\n") +
               QCoreApplication::translate("MainWindow",
                                           "Файл больше любого файла конфигурации (более %1 байт).")
                   .arg(ConfigDocument::maxFileBytes);
    case R::TooDeep:
        return QStringLiteral("\n") +
               QCoreApplication::translate("MainWindow",
                                           "В файле есть элементы, вложенные в параметр.");
    case R::TypeDeclaration:
        return QStringLiteral("\n") +
               QCoreApplication::translate("MainWindow",
                                           "Файл содержит объявление типа документа (DTD).");
    case R::Repeated:
        return QStringLiteral("\n") +
               QCoreApplication::translate("MainWindow",
                                           "Параметры заданы в файле более одного раза: %1")
                   .arg(problem.section(QStringLiteral(": "), 1));
    case R::Encoding:
        return QStringLiteral("\n") +
               QCoreApplication::translate("MainWindow",
                                           "Кодировка файла не поддерживается (%1). "
                                           "Сохраните файл в UTF-8.")
                   .arg(problem);
    case R::Ok:
    case R::NotConfiguration:
        break;
    }
    return QString();
}
} // namespace

void ConfigController::applyConfigFile(const QDomDocument &loaded)
{
    // With a device, a file value equal to the device's is no change, and the device's other
    // values stay; without one, the file is the whole configuration.
    const bool connected = pending.hasDeviceValues();
    const QList<PendingChanges::Change> dropped = pending.applyFile(loaded);
    if (window->currentState != LinkState::Disconnected && window->currentDevice.isKnown())
        pending.setDevice(window->currentDevice);
    // The user's edits that the file replaces or drops are told, not lost in silence (said
    // before the fields show the file's values).
    QStringList replaced;
    QDomDocument scratch;
    for (const PendingChanges::Change &c : dropped) {
        QDomElement e = scratch.createElement(c.element);
        for (const auto &a : c.value)
            e.setAttribute(a.first, a.second);
        const ConfigEditor::ChangeText text = window->editor->describeChange(e);
        replaced << QStringLiteral("%1: %2").arg(text.label, text.after);
    }
    window->editor->setChangesBlocked(true);
    if (!connected)
        window->clearInfoLabels();
    window->updateGui(pending.configuration().documentElement());
    window->editor->setChangesBlocked(false);
    window->ui->saveFileButton->setEnabled(true);
    if (window->readyFlag && !pending.isEmpty())
        window->ui->writeConfigButton->setEnabled(true);
    refreshPendingMarks();
    if (!replaced.isEmpty())
        window->prompts->inform(UserPrompts::Icon::Information, tr("Открытие файла"),
                        tr("Значения из файла заменили ваши незаписанные изменения:") +
                            QLatin1Char('\n') + replaced.join(QLatin1Char('\n')));
}

void ConfigController::openFile()
{
    window->poller->stopTimer();
    const QString path = window->prompts->openFileName(tr("Открыть конфигурационный файл"),
                                               tr("XML Files (*.xml);;All Files (*.*)"));
    QFile file(path);
    if (!path.isEmpty() && file.open(QIODevice::ReadOnly)) {
        qDebug().noquote() << "Open file: " << path;
        const QByteArray content = file.read(ConfigDocument::maxFileBytes + 1);
        file.close();
        QStringList refused;
        QString problem;
        QDomDocument loadedFull;
        const ConfigDocument::LoadResult loaded =
            ConfigDocument::load(content, &loadedFull, &refused, &problem);
        if (loaded != ConfigDocument::LoadResult::Ok) {
            qWarning().noquote() << "Configuration file refused:" << problem;
            window->prompts->inform(UserPrompts::Icon::Critical, tr("Ошибка открытия файла"),
                            tr("Файл не является файлом конфигурации или поврежден") +
                                loadProblemText(loaded, problem));
        } else {
            qDebug() << "Configuration file loaded OK!";
            // Keys and identity are never taken from a file.
            ConfigDocument::clearKeys(loadedFull);
            if (!refused.isEmpty())
                window->prompts->inform(
                    UserPrompts::Icon::Warning, tr("Ошибка открытия файла"),
                    tr("Эти параметры файла неверны и не будут записаны в устройство:") +
                        QLatin1Char('\n') + refused.join(QLatin1Char('\n')));
            const bool connected = window->currentState != LinkState::Disconnected;
            const QString fileDevId = ConfigDocument::param(loadedFull, QStringLiteral("dev_id"));
            // With a device connected the file must name that model: a file without a device
            // type could be any model's, and its values would be written to this one.
            const QString shownId = window->shown.isKnown() ? QString::number(window->shown.devId) : QString();
            const bool mismatch =
                connected ? fileDevId != shownId
                          : !shownId.isEmpty() && !fileDevId.isEmpty() && shownId != fileDevId;
            if (mismatch) {
                window->prompts->inform(UserPrompts::Icon::Critical, tr("Ошибка открытия файла"),
                                tr("Файл конфигурации не соответствует подключенному устройству"));
            } else {
                applyConfigFile(loadedFull);
            }
            window->ui->saveFileButton->setEnabled(true);
        }
    }
    window->status->getStatusInfo();
}

void ConfigController::saveFile()
{
    window->poller->stopTimer();
    const QString path = window->prompts->saveFileName(tr("Сохранить конфигурацию"),
                                               QStringLiteral("config_") + window->ui->deveui_lbl->text() +
                                                   QStringLiteral(".xml"),
                                               tr("XML Files (*.xml)"));
    if (!path.isEmpty()) {
        bool saved = false;
        QDomDocument full = pending.configuration();
        if (!ConfigDocument::isEmpty(full)) {
            ConfigDocument::clearKeys(full);
            saved = ConfigDocument::save(full, path);
        }
        if (!saved)
            window->prompts->inform(UserPrompts::Icon::Critical, tr("Ошибка"),
                            tr("Ошибка сохранения конфигурации"));
        else
            window->showStatusNote(tr("Конфигурация сохранена в %1 (ключи и EUI в файлы не сохраняются)")
                               .arg(QDir::toNativeSeparators(path)));
    }
    window->status->getStatusInfo();
}
