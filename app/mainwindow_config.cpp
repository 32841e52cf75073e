// MainWindow: the configuration documents, reading and writing them, and configuration files.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appsettings.h"
#include "configdocument.h"
#include "configeditor.h"
#include "configexchange.h"
#include "userprompts.h"

#include <QDebug>
#include <QFile>
#include <QTimer>

void MainWindow::replaceElement(const QString &name, const QList<QPair<QString, QString>> &attrs)
{
    if (readyFlag)
        ui->writeConfigButton->setEnabled(true);
    ConfigDocument::deleteElement(pendingDoc, name);
    ConfigDocument::deleteElement(fullConfigDoc, name);
    ConfigDocument::addElement(pendingDoc, name, attrs);
    ConfigDocument::addElement(fullConfigDoc, name, attrs);
}

void MainWindow::writeConfig()
{
    if (!identified) {
        prompts->inform(UserPrompts::Icon::Warning, tr("Предупреждение"),
                        tr("Версия прошивки модуля не поддерживается конфигуратором"));
        return;
    }
    if (ConfigDocument::isEmpty(pendingDoc)) {
        prompts->inform(UserPrompts::Icon::Information, tr("Запись конфигурации"),
                        tr("Отсутствуют изменения для записи в устройство"));
        return;
    }
    const auto answer =
        prompts->ask(UserPrompts::Icon::Question, tr("Запись конфигурации"),
                     tr("Записать конфигурацию в устройство?"), UserPrompts::Yes | UserPrompts::No);
    if (answer != UserPrompts::Yes) {
        setGlobalState(LinkState::Ready);
        return;
    }
    waitEndReadStatus();
    writePendingChanges();
}

bool MainWindow::writePendingChanges()
{
    if (!configBuffer.open(QIODevice::ReadWrite | QIODevice::Truncate))
        return false;
    // The changes stay pending until the device has taken them all: a write that fails
    // half-way must not throw the user's edits away.
    configBuffer.write(ConfigDocument::toText(pendingDoc));
    configBuffer.close();
    emit startWriteConfiguration(&configBuffer);
    return true;
}

namespace {
bool sameAttributes(const QDomElement &a, const QDomElement &b)
{
    const QDomNamedNodeMap attrs = a.attributes();
    if (attrs.count() != b.attributes().count())
        return false;
    for (int i = 0; i < attrs.count(); ++i) {
        const QDomAttr attr = attrs.item(i).toAttr();
        if (!b.hasAttribute(attr.name()) || b.attribute(attr.name()) != attr.value())
            return false;
    }
    return true;
}
} // namespace

void MainWindow::writeFinished(bool ok)
{
    if (!ok)
        closeAfterReboot = false; // the window stays: not every change is on the device
    // What the device took is no longer pending; the rest, and an edit made meanwhile, stays.
    const ConfigExchange::WriteReport &report = exchange->writeReport();
    QDomDocument sent;
    if (sent.setContent(configBuffer.data())) {
        for (QDomElement e = sent.documentElement().firstChildElement(); !e.isNull();
             e = e.nextSiblingElement()) {
            const QDomElement pending = pendingDoc.documentElement().firstChildElement(e.tagName());
            if ((ok || report.written.contains(e.tagName())) && !pending.isNull() &&
                sameAttributes(pending, e))
                ConfigDocument::deleteElement(pendingDoc, e.tagName());
        }
    }
    // Read back once the device is here again (a program closing after the write does not).
    verifyNames.clear();
    if (ok && !closeAfterReboot && AppSettings::verifyWrites() && !report.written.isEmpty()) {
        verifyDoc = sent;
        verifyNames = report.written;
        verifySerial = ui->snLabel->text();
    }
    // A refusal is told with the write-error state; a lost or silent device here.
    if (!ok && report.stop != ConfigExchange::WriteReport::Stop::Refused)
        prompts->inform(UserPrompts::Icon::Critical, tr("Ошибка записи"),
                        (report.stop == ConfigExchange::WriteReport::Stop::DeviceLost
                             ? tr("Запись конфигурации прервана: устройство отключено.")
                             : tr("Запись конфигурации прервана: устройство не отвечает.")) +
                            writeReportText());
}

void MainWindow::verifyWrite(const QDomDocument &readBack)
{
    if (verifyNames.isEmpty() || ui->snLabel->text() != verifySerial)
        return;
    const QList<ConfigDocument::Mismatch> wrong =
        ConfigDocument::mismatches(verifyDoc, readBack, verifyNames);
    const int count = verifyNames.size();
    verifyNames.clear();
    if (wrong.isEmpty()) {
        prompts->inform(UserPrompts::Icon::Information, tr("Проверка записи"),
                        tr("Записано и проверено: значений прочитано из устройства таких же, "
                           "как записаны: %1")
                            .arg(count));
        return;
    }
    QStringList lines;
    for (const ConfigDocument::Mismatch &m : wrong)
        lines << tr("%1: записано %2, прочитано %3")
                     .arg(m.name, m.written, m.read.isEmpty() ? tr("нет") : m.read);
    prompts->inform(UserPrompts::Icon::Critical, tr("Проверка записи"),
                    tr("Устройство хранит не те значения, что были записаны:") + QLatin1Char('\n') +
                        lines.join(QLatin1Char('\n')));
}

QString MainWindow::writeReportText() const
{
    const ConfigExchange::WriteReport &report = exchange->writeReport();
    const QString none = tr("нет");
    return QStringLiteral("\n\n") +
           tr("Записаны: %1")
               .arg(report.written.isEmpty() ? none : report.written.join(QStringLiteral(", "))) +
           QStringLiteral("\n") +
           tr("Не записаны (остались в изменениях): %1")
               .arg(report.notWritten.isEmpty() ? none
                                                : report.notWritten.join(QStringLiteral(", ")));
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
    case R::Ok:
    case R::NotConfiguration:
        break;
    }
    return QString();
}
} // namespace

void MainWindow::openFileSlot()
{
    statusTimer->stop();
    const QString path = prompts->openFileName(tr("Открыть конфигурационный файл"),
                                               tr("XML Files (*.xml);;All Files (*.*)"));
    QFile file(path);
    if (!path.isEmpty() && file.open(QIODevice::ReadOnly)) {
        qDebug().noquote() << "Open file: " << path;
        const QByteArray content = file.read(ConfigDocument::maxFileBytes + 1);
        file.close();
        // What the documents held before: a refused file must leave them as they were.
        const QDomDocument previousFull = fullConfigDoc.cloneNode(true).toDocument();
        const QDomDocument previousPending = pendingDoc.cloneNode(true).toDocument();
        QStringList refused;
        QString problem;
        QDomDocument loadedFull;
        QDomDocument loadedPending;
        const ConfigDocument::LoadResult loaded =
            ConfigDocument::load(content, &loadedFull, &refused, &problem);
        if (loaded != ConfigDocument::LoadResult::Ok) {
            qWarning().noquote() << "Configuration file refused:" << problem;
            prompts->inform(UserPrompts::Icon::Critical, tr("Ошибка открытия файла"),
                            tr("Файл не является файлом конфигурации или поврежден") +
                                loadProblemText(loaded, problem));
        } else {
            QStringList again;
            ConfigDocument::load(content, &loadedPending, &again);
            qDebug() << "Configuration file loaded OK!";
            // Keys and identity are never taken from a file.
            ConfigDocument::clearKeys(loadedFull);
            ConfigDocument::clearKeys(loadedPending);
            fullConfigDoc = loadedFull;
            pendingDoc = loadedPending;
            if (!refused.isEmpty())
                prompts->inform(
                    UserPrompts::Icon::Warning, tr("Ошибка открытия файла"),
                    tr("Эти параметры файла неверны и не будут записаны в устройство:") +
                        QLatin1Char('\n') + refused.join(QLatin1Char('\n')));
            editor->setChangesBlocked(true);
            if (currentState == LinkState::Disconnected)
                clearInfoLabels();
            const QString fileDevId =
                ConfigDocument::param(fullConfigDoc, QStringLiteral("dev_id"));
            // With a device connected the file must name that model: a file without a device
            // type could be any model's, and its values would be written to this one.
            const bool mismatch =
                currentState != LinkState::Disconnected
                    ? fileDevId != devIdText
                    : !devIdText.isEmpty() && !fileDevId.isEmpty() && devIdText != fileDevId;
            if (mismatch) {
                prompts->inform(UserPrompts::Icon::Critical, tr("Ошибка открытия файла"),
                                tr("Файл конфигурации не соответствует подключенному устройству"));
                fullConfigDoc = previousFull;
                pendingDoc = previousPending;
            } else {
                updateGui(fullConfigDoc.documentElement());
            }
            editor->setChangesBlocked(false);
            ui->saveFileButton->setEnabled(true);
        }
    }
    getStatusInfo();
}

void MainWindow::saveFileSlot()
{
    statusTimer->stop();
    const QString path = prompts->saveFileName(tr("Сохранить конфигурацию"),
                                               QStringLiteral("config_") + ui->deveui_lbl->text() +
                                                   QStringLiteral(".xml"),
                                               tr("XML Files (*.xml)"));
    if (!path.isEmpty()) {
        bool saved = false;
        if (!ConfigDocument::isEmpty(fullConfigDoc)) {
            ConfigDocument::clearKeys(fullConfigDoc);
            saved = ConfigDocument::save(fullConfigDoc, path);
        }
        if (!saved)
            prompts->inform(UserPrompts::Icon::Critical, tr("Ошибка"),
                            tr("Ошибка сохранения конфигурации"));
    }
    getStatusInfo();
}
