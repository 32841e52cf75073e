// The picture program's firmware and self-update pictures.
#include "shots.h"

#include "apppaths.h"
#include "appsettings.h"
#include "commands.h"
#include "configcontroller.h"
#include "consolepage.h"
#include "debugform.h"
#include "deviceinterface.h"
#include "firmwaredialog.h"
#include "firmwarestore.h"
#include "guideform.h"
#include "guiresources.h"
#include "hotplugcontroller.h"
#include "mainwindow.h"
#include "net.h"
#include "portenumerator.h"
#include "relaycontroller.h"
#include "remoteconnectform.h"
#include "remoteserver.h"
#include "selectdeviceform.h"
#include "settingsform.h"
#include "showntexts.h"
#include "simulator.h"
#include "statuscontroller.h"
#include "statusrecords.h"
#include "updateserver.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <memory>
#include <vector>

namespace Shots {

// A firmware update from the store, run twice: the question, the progress dialog during the
// transfer (alone and over the window), the transfer cancelled; then the update again going on
// where the first stopped, each step of the dialog and its end.
int shootFirmwareUpdate(MainWindow &window, const QString &out, int model)
{
    const QString version = QStringLiteral("1.3.9");
    QByteArray image = FirmwareStore::header(quint16(model), version);
    image.append(QByteArray(256 * 1024 - image.size(), '\x5a'));
    QFile file(FirmwareStore::folder() + QLatin1Char('/') +
               FirmwareStore::downloadName(FirmwareStore::parseHeader(image)));
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
        return 0;
    file.close();
    window.firmwareController()->availableNewFw();
    settle(300);
    auto *button = window.findChild<QToolButton *>(QStringLiteral("updateFwButton"));
    const auto name = [&](const QString &what) {
        return QStringLiteral("%1/vexa%2_fwupdate%3.png").arg(out).arg(model).arg(what);
    };
    int saved = 0;
    // The question is modal: it is pictured (the first time) and answered from inside its
    // own loop.
    const auto start = [&](bool picture) {
        QTimer::singleShot(800, [&, picture] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            if (picture) {
                saveShot(box, name(QStringLiteral("1_question")));
                ++saved;
            }
            box->button(QMessageBox::Yes)->click();
        });
        if (!button->isEnabled()) {
            std::fprintf(stderr, "The firmware update button is not offered\n");
            return static_cast<FirmwareDialog *>(nullptr);
        }
        button->click();
        waitFor([&] { return window.firmwareController()->progressDialog() != nullptr; }, 15000);
        return window.firmwareController()->progressDialog();
    };
    FirmwareDialog *dialog = start(true);
    if (!dialog)
        return saved;
    // A second of the transfer: the percent, the speed and the time left are told. Taken as
    // the progress comes (a poll could miss a short transfer), then Cancel is pressed.
    FileTransfer *transfer = window.firmwareController()->transfer();
    const auto onceRateShown = [&](const std::function<void()> &shoot) {
        auto *rate = dialog->findChild<QLabel *>(QStringLiteral("rateLabel"));
        auto done = std::make_shared<bool>(false);
        QObject::connect(transfer, &FileTransfer::setProgressValue, dialog, [=](int) {
            // The percent comes first; the speed ("KB/s") once a second has passed.
            if (*done || !rate->text().contains(QLatin1Char('/')) ||
                dialog->step() != FirmwareDialog::Step::Transfer)
                return;
            *done = true;
            shoot();
        });
        return done;
    };
    const auto cancelled = onceRateShown([&] {
        saveShot(dialog, name(QStringLiteral("2_transfer")));
        saveOver(&window, dialog, name(QStringLiteral("2_transfer_window")));
        dialog->findChild<QPushButton *>(QStringLiteral("cancelFirmwareButton"))->click();
        saveShot(dialog, name(QStringLiteral("3_cancel_asked")));
        saved += 3;
    });
    QElapsedTimer took;
    took.start();
    waitFor([&] { return dialog->isFinished(); }, 120000);
    if (!*cancelled) {
        std::fprintf(stderr, "The firmware transfer ended before its speed was shown (%lld ms)\n",
                     took.elapsed());
        return saved;
    }
    settle(200);
    saveShot(dialog, name(QStringLiteral("4_cancelled")));
    ++saved;
    dialog->findChild<QPushButton *>(QStringLiteral("closeFirmwareButton"))->click();
    dropClosed();
    // The update is offered again once the device is back to its polling.
    waitFor(
        [&] {
            return !window.firmwareController()->progressDialog() && window.globalState() == 2 &&
                   button->isEnabled();
        },
        15000);
    settle(500);

    dialog = start(false);
    if (!dialog)
        return saved;
    // The steps after the transfer pass on their own: each is pictured as it begins.
    const QMetaObject::Connection steps = QObject::connect(
        dialog, &FirmwareDialog::stepChanged, dialog, [&](FirmwareDialog::Step step) {
            const char *names[] = {"5_transfer_resumed", "6_check", "7_restart", "8_return"};
            if (step == FirmwareDialog::Step::Transfer)
                return;
            saveShot(dialog, name(QLatin1String(names[int(step)])));
            ++saved;
        });
    onceRateShown([&] {
        saveShot(dialog, name(QStringLiteral("5_transfer_resumed")));
        ++saved;
    });
    auto *shown = window.findChild<QLabel *>(QStringLiteral("softVer_lbl"));
    waitFor(
        [&] {
            return dialog->isFinished() && shown->text() == version && window.globalState() == 2;
        },
        60000);
    settle(1000);
    saveShot(dialog, name(QStringLiteral("9_done")));
    saveOver(&window, dialog, name(QStringLiteral("9_done_window")));
    saved += 2;
    QObject::disconnect(steps);
    dialog->findChild<QPushButton *>(QStringLiteral("closeFirmwareButton"))->click();
    settle(300);
    return saved;
}

// The configurator's own update, offered by the simulated update server: the offer, and the
// notice that the window closes to install it with the offer to keep the unwritten edit in a
// file, answered Cancel (nothing is installed).
int shootSelfUpdate(const QString &out, const QString &appDir)
{
    QTemporaryDir root;
    QString why;
    if (!UpdateServer::makeDemoRoot(root.path(), &why))
        return 0;
    UpdateServer updates(root.path());
    if (!updates.listen(0))
        return 0;
    const AppSettings::ServerAddress before = AppSettings::updateServer();
    const QVariant keysBefore =
        AppSettings::read(QStringLiteral("UpdateServer"), QStringLiteral("PublicKeys"));
    AppSettings::write(QStringLiteral("UpdateServer"), QStringLiteral("IP"),
                       QStringLiteral("127.0.0.1"));
    AppSettings::write(QStringLiteral("UpdateServer"), QStringLiteral("Port"), updates.port());
    AppSettings::write(QStringLiteral("UpdateServer"), QStringLiteral("PublicKeys"),
                       QString::fromLatin1(UpdateServer::testKey().publicKey.toBase64()));
    // The updater takes the server's address when the window opens.
    SimConfig config;
    config.joinDelayMs = 500;
    config.linkPath = appDir + QStringLiteral("/port-update");
    Simulator sim(config);
    sim.start();
    const PortInfo p = simulatedPort(sim, config.linkPath);
    FixedPortEnumerator enumerator({p});
    MainWindow window(nullptr, &enumerator);
    window.show();
    waitFor([&] { return window.globalState() == 2; }, 15000);
    settle(1500);
    // The window looks for updates by itself when it opens and offers the new configurator in a
    // window-modal box: a user answers it before he can press the button. Pressed while that
    // offer is still open, the button's check and the offer's download run side by side, and
    // the boxes that follow (the firmware notice among them) depend on which ends first.
    waitFor([] { return shownBox(QMessageBox::Yes) != nullptr; }, 15000);
    if (QMessageBox *startupOffer = shownBox(QMessageBox::Yes))
        startupOffer->button(QMessageBox::No)->click();
    const int model = config.model;
    auto *menu = window.findChild<QListWidget *>(QStringLiteral("terminalMenu"));
    menu->setCurrentRow(1);
    window.itemSelected(menu->model()->index(1, 0));
    auto *period = window.findChild<QLineEdit *>(QStringLiteral("txPeriodLineEdit"));
    period->setText(QStringLiteral("7200"));
    emit period->editingFinished();
    auto *check = window.findChild<QToolButton *>(QStringLiteral("checkUpdatesButton"));
    waitFor([&] { return check->isEnabled() && !window.updater()->busy(); }, 15000);
    check->click();
    int saved = 0;
    int other = 0;
    // The boxes open without blocking: each is pictured and answered as it comes, told apart
    // by its buttons (the texts differ by language).
    QElapsedTimer t;
    t.start();
    bool over = false;
    // After the notice, whatever else the check has to say (the firmware it fetched) comes
    // within a few seconds.
    QElapsedTimer quiet;
    while (t.elapsed() < 60000 && !(over && quiet.elapsed() > 3000)) {
        QMessageBox *box = nullptr;
        waitFor([&] { return (box = shownBox()) != nullptr; }, 500);
        if (!box)
            continue;
        settle(300);
        QString picture;
        QMessageBox::StandardButton answer = QMessageBox::Ok;
        if (box->button(QMessageBox::Cancel)) {
            picture = QStringLiteral("selfupdate2_closing");
            answer = QMessageBox::Cancel;
            over = true;
        } else if (box->button(QMessageBox::Yes)) {
            picture = QStringLiteral("selfupdate1_offer");
            answer = QMessageBox::Yes;
        } else {
            picture = QStringLiteral("selfupdate_note%1").arg(++other);
        }
        saveShot(box, QStringLiteral("%1/vexa%2_%3.png").arg(out).arg(model).arg(picture));
        ++saved;
        if (QAbstractButton *button = box->button(answer))
            button->click();
        else
            box->reject();
        settle(300);
        quiet.start();
    }
    waitFor([&] { return window.globalState() == 2 && !window.updater()->busy(); }, 15000);
    settle(500);
    AppSettings::write(QStringLiteral("UpdateServer"), QStringLiteral("IP"), before.host);
    AppSettings::write(QStringLiteral("UpdateServer"), QStringLiteral("Port"), before.port);
    AppSettings::write(QStringLiteral("UpdateServer"), QStringLiteral("PublicKeys"), keysBefore);
    window.close();
    return saved;
}

} // namespace Shots
