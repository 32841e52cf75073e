// MainWindow: identification of the model's pages and firmware, and the configuration editor's
// slots, which hand their work to ConfigEditor.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "apppaths.h"
#include "configeditor.h"
#include "db_worker.h"
#include "deviceidentity.h"
#include "deviceinterface.h"
#include "devicesession.h"
#include "guideform.h"
#include "linkstate.h"
#include "statuspanel.h"

#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QUrl>
#include <QVBoxLayout>

// ---- pages -------------------------------------------------------------------------------------

void MainWindow::installPages(const QList<QPair<QWidget *, QWidget *>> &shellsAndPages)
{
    // Each model page takes the place of its empty namesake.
    for (const auto &[shell, page] : shellsAndPages) {
        const int index = ui->stackedWidget->indexOf(shell);
        ui->stackedWidget->removeWidget(shell);
        delete shell;
        ui->stackedWidget->insertWidget(index, page);
    }
    // The status panel fills the strip above the pages.
    auto *panelLayout = new QVBoxLayout(ui->deviceStatus);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(statusPanel);
}

// ---- identification ---------------------------------------------------------------------------

void MainWindow::fillCodeTables()
{
    auto table = [this](const char *name) {
        QMap<int, QString> t;
        for (const QString &e : dbWorker->getFormElements(QLatin1String(name))) {
            const int colon = e.lastIndexOf(QLatin1Char(':'));
            if (colon > 0)
                t.insert(e.mid(colon + 1).toInt(), e.left(colon));
        }
        return t;
    };
    statusPanel->setCodeTexts(
        {table("PowerSource"), table("BatStatus"), table("BatErrors"), table("inErrorsParams")});
}

void MainWindow::helpShow()
{
    const QString folder = AppPaths::filePath(QStringLiteral("help"));
    const QString pattern = QStringLiteral("Vexa") + shownModel() + QStringLiteral("v2_*") +
                            langCode + QStringLiteral(".pdf");
    const QStringList matches = QDir(folder).entryList({pattern}, QDir::Files, QDir::Time);
    if (identified && !matches.isEmpty()) {
        QDesktopServices::openUrl(
            QUrl(QStringLiteral("file:///") + folder + QLatin1Char('/') + matches.first()));
    } else {
        showGuide(); // without the model's manual, the program's own guide
    }
}

void MainWindow::showGuide()
{
    auto *guide = findChild<GuideForm *>();
    if (!guide)
        guide = new GuideForm(langCode, this);
    guide->show();
    guide->raise();
}

// ---- the editor's slots ----------------------------------------------------------------------

void MainWindow::updateGui(QDomNode node)
{
    const QDomElement root = node.toElement();
    if (currentState == LinkState::Disconnected) {
        // No device: the file says which model's pages to show.
        const QString devId =
            root.firstChildElement(QStringLiteral("dev_id")).attribute(QStringLiteral("param"));
        if (!devId.isEmpty()) {
            qDebug() << "Get device info from file...";
            DeviceIdentity file;
            file.firmware = QStringLiteral("255.255.255");
            file.devId = quint16(devId.toUInt());
            file.devEui =
                root.firstChildElement(QStringLiteral("dev_eui_lbl")).attribute(QStringLiteral("param"));
            file.serialNumber = root.firstChildElement(QStringLiteral("serial_number"))
                                    .attribute(QStringLiteral("param"));
            showDevice(file, session->chooseGroup(file.firmware, file.devId));
        }
    }
    qDebug() << "Start create or update GUI";
    const QDomElement sn = root.lastChildElement(QStringLiteral("serial_number"));
    if (!sn.isNull())
        ui->snLabel->setText(sn.attribute(QStringLiteral("param")));
    const QDomElement eui = root.lastChildElement(QStringLiteral("dev_eui_lbl"));
    if (!eui.isNull())
        ui->deveui_lbl->setText(
            DeviceInterface::shownDevEui(eui.attribute(QStringLiteral("param"))));
    editor->fill(root);
}

void MainWindow::setInputValidations()
{
    editor->setInputValidations();
    for (QLineEdit *e : {ui->fskSessionTimeLineEdit, ui->fskAnswerTimeoutLineEdit})
        e->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[\\d]+")), e));
    QLineEdit *cmd = ui->cmdLine->lineEdit();
    cmd->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9a-fA-F]+")), cmd));
}

void MainWindow::on_viewEditFreqpushButton_clicked()
{
    editor->editFreqPlan();
}
