// MainWindow: the configuration editor — identification of the model's pages and choices,
// filling the widgets from a document, turning edits into pending changes, the frequency plan.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "apppaths.h"
#include "combodata.h"
#include "configdocument.h"
#include "db_worker.h"
#include "deviceinterface.h"
#include "firmwarestore.h"
#include "freqform.h"
#include "naturalcompare.h"
#include "paramcodec.h"
#include "userprompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalMapper>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QTimeZone>
#include <QUrl>
#include <QVBoxLayout>
#include <QWhatsThis>

using ParamCatalogue::Param;

namespace {
// Where the help pages of a model live on the web (left to the deployment).
const char *const helpWebAddress = "https://help.vexa7xx.example";

constexpr int inputCount = 6;
constexpr int fixedPointCount = 6;

QString num(int n)
{
    return QString::number(n);
}

// Combo items from form elements "text:data"; an element without ":" has empty data.
void fillCombo(QComboBox *box, const QStringList &elements)
{
    if (!box)
        return;
    for (const QString &e : elements) {
        const int colon = e.lastIndexOf(QLatin1Char(':'));
        if (colon < 0)
            box->addItem(e, QString());
        else
            box->addItem(e.left(colon), e.mid(colon + 1));
    }
}

// Selects the item whose data is the number `value`; false when there is none.
bool selectByData(QComboBox *box, qint64 value)
{
    const int index = indexForNumericData(box, value);
    if (index < 0)
        return false;
    box->setCurrentIndex(index);
    return true;
}

qint64 comboData(const QComboBox *box)
{
    return box ? box->currentData().toString().toLongLong() : 0;
}
} // namespace

template<class T> static T *child(const QObject *root, const QString &name)
{
    return root->findChild<T *>(name);
}

// ---- pages -----------------------------------------------------------------------------------

void MainWindow::installPages(const QList<QWidget *> &pages, QWidget *statusPanel)
{
    // Each model page takes the place of its empty namesake.
    for (QWidget *page : pages) {
        QWidget *shell = ui->stackedWidget->findChild<QWidget *>(page->objectName());
        const int index = ui->stackedWidget->indexOf(shell);
        ui->stackedWidget->removeWidget(shell);
        delete shell;
        ui->stackedWidget->insertWidget(index, page);
    }
    // The status panel fills the strip above the pages.
    auto *panelLayout = new QVBoxLayout(ui->deviceStatus);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->addWidget(statusPanel);

    if (auto *rsToUsb = child<QPushButton>(this, QStringLiteral("rsToUsbButton")))
        rsToUsb->setEnabled(
            false); // the converter command comes with the relay and converter modes
}

// ---- identification ---------------------------------------------------------------------------

void MainWindow::fillModelPages()
{
    static const char *const combos[] = {
        "txSpeedComboBox",     "txPowerComboBox",      "regionComboBox",
        "devClassComboBox",    "protocolComboBox",     "rsSpeedComboBox",
        "rsParityComboBox",    "ctsRtsModeComboBox",   "rsAnswerModeComboBox",
        "meteringDevComboBox", "timePointComboBox",    "removeConfirmNetComboBox",
        "rsSourseComboBox",    "rsToUsbSpeedComboBox", "pulseCounModeComboBox"};
    QStringList names;
    for (const char *c : combos)
        names << QLatin1String(c);
    for (int i = 0; i < inputCount; ++i)
        names << QStringLiteral("inType%1comboBox").arg(i)
              << QStringLiteral("inMode%1comboBox").arg(i);
    for (const QString &name : names) {
        auto *box = child<QComboBox>(this, name);
        if (!box)
            continue;
        const QSignalBlocker blocker(box);
        box->clear(); // a second device must not add its choices to the first one's
        fillCombo(box, dbWorker->getFormElements(name));
    }

    for (int i = 0; i < inputCount; ++i) {
        const bool hasType =
            child<QComboBox>(this, QStringLiteral("inType%1comboBox").arg(i))->count() > 0;
        for (const QString &n :
             {QStringLiteral("inType%1comboBox"), QStringLiteral("inType%1Label"),
              QStringLiteral("countDiff%1LineEdit")})
            if (QWidget *w = child<QWidget>(this, n.arg(i)))
                w->setVisible(hasType);
        const bool hasMode =
            child<QComboBox>(this, QStringLiteral("inMode%1comboBox").arg(i))->count() > 0;
        for (const QString &n :
             {QStringLiteral("inMode%1comboBox"), QStringLiteral("inMode%1Label")})
            if (QWidget *w = child<QWidget>(this, n.arg(i)))
                w->setVisible(hasMode);
    }

    auto firstIsTrue = [this](const char *name) {
        return dbWorker->getFormElements(QLatin1String(name)).value(0) == QLatin1String("true");
    };
    if (QWidget *rsToUsb = widget("rsToUsbGroupBox")) {
        const bool on = firstIsTrue("rsToUsbGroupBox");
        rsToUsb->setVisible(on);
        rsToUsb->setEnabled(on);
    }
    for (const char *name : {"enPower20dbmCheckBox", "pointFixCountGroupBox", "countDiff1LineEdit"})
        if (QWidget *w = widget(name))
            w->setEnabled(firstIsTrue(name));
    const bool timeSource = firstIsTrue("timeSource_lbl");
    for (const char *name : {"timeSource_lbl", "timeSourceLabel"})
        if (QWidget *w = widget(name))
            w->setVisible(timeSource);
    if (QWidget *confirm = widget("txConfirmCheckBox"))
        confirm->setEnabled(
            dbWorker->getFormElements(QStringLiteral("txConfirmCheckBox")).value(0) !=
            QLatin1String("false"));
}

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
    powerSourceTexts = table("PowerSource");
    batStatusTexts = table("BatStatus");
    batErrorTexts = table("BatErrors");
    inputErrorTexts = table("inErrorsParams");
}

QString MainWindow::getLocalLastFw(QString devID)
{
    qDebug().noquote() << "Search available firmware with DevID: " << devID;
    const int id = dbWorker->getIdByName(devID);
    firmwareMap = FirmwareStore::scan(FirmwareStore::folder(), id);
    const QString newest = FirmwareStore::newest(firmwareMap);
    if (firmwareMap.isEmpty())
        qDebug() << "Local firmware not found";
    else
        qDebug().noquote() << "Local actual FW: " << newest;
    return newest;
}

void MainWindow::offerFirmwareUpdate(const QString &deviceKey)
{
    const QString local = getLocalLastFw(deviceKey);
    if (naturalCompare(local, currentFwVer) > 0) {
        ui->updateFwButton->setEnabled(true);
        ui->updateFwButton->setToolTip(tr("Обновить прошивку устройства до версии ") + local);
        newFwAvailable = true;
        if (isActiveWindow())
            QWhatsThis::showText(
                ui->updateFwButton->mapToGlobal(ui->updateFwButton->rect().bottomLeft()),
                tr("<font color=blue>Доступно обновление прошивки версии </font><b>") + local +
                    QStringLiteral("</b>"),
                ui->updateFwButton);
    } else {
        ui->updateFwButton->setEnabled(false);
        newFwAvailable = false;
    }
}

void MainWindow::helpShow()
{
    const QString folder = AppPaths::filePath(QStringLiteral("help"));
    const QStringList matches =
        QDir(folder).entryList({QStringLiteral("Vexa") + devIdByName + QStringLiteral("v2_*") +
                                langCode + QStringLiteral(".pdf")},
                               QDir::Files, QDir::Time);
    if (identified && !matches.isEmpty()) {
        QDesktopServices::openUrl(
            QUrl(QStringLiteral("file:///") + folder + QLatin1Char('/') + matches.first()));
    } else if (identified && globalTimeReceived) {
        QDesktopServices::openUrl(QUrl(QLatin1String(helpWebAddress) +
                                       QStringLiteral("/?dev_type=") + devIdByName +
                                       QStringLiteral("v2&sn=") + ui->snLabel->text() +
                                       QStringLiteral("&indef=") + ui->deveui_lbl->text()));
    } else if (identified) {
        prompts->inform(UserPrompts::Icon::Warning, tr("Справка"), tr("Отсутствует файл справки."));
    } else {
        QDir().mkpath(folder);
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    }
}

// ---- validators and the change mapper ------------------------------------------------------

void MainWindow::setInputValidations()
{
    auto setRe = [this](const QString &name, const QString &re) {
        if (auto *e = child<QLineEdit>(this, name))
            e->setValidator(new QRegularExpressionValidator(QRegularExpression(re), e));
    };
    for (const char *name : {"deviceEui_line", "appEui_line", "appKey_line", "netIdLineEdit",
                             "abpDevAdrline", "netSKeyline", "appSKeyline"})
        setRe(QLatin1String(name), QStringLiteral("[A-Fa-f0-9]+"));
    QStringList digits{
        "nbTrialsLineEdit",       "txPeriodLineEdit",         "keepAliveLine",
        "appPortLineEdit",        "scanPeriodLineEdit",       "savaEveryValLine",
        "savaEveryTimesLine",     "fskSessionTimeLineEdit",   "fskAnswerTimeoutLineEdit",
        "rts01TimeLineEdit",      "rts10TimeLineEdit",        "ctsTimeLineEdit",
        "onAboveOffTimeLineEdit", "waitAnswerTimeLineEdit",   "waitEndAnswerTimeLineEdit",
        "onTimeLineEdit",         "rsRepeatLineEdit",         "ambientLightLevelLineEdit",
        "merc23XNetAdrLineEdit",  "merch23XUserPassLineEdit", "merch234MasterPassLineEdit",
        "tem104NetAdrLineEdit",   "set4tmNetAdrLineEdit",     "set4tmPassLineEdit"};
    for (int i = 0; i < inputCount; ++i)
        digits << QStringLiteral("countDiff%1LineEdit").arg(i);
    for (int k = 1; k <= 6; ++k)
        digits << QStringLiteral("merc206Adr%1LineEdit").arg(k);
    for (int k = 1; k <= 8; ++k)
        digits << QStringLiteral("mt137Sn%1LineEdit").arg(k);
    for (int k = 1; k <= 4; ++k)
        digits << QStringLiteral("spt943NetAdr%1LineEdit").arg(k)
               << QStringLiteral("spt943TvCh%1LineEdit").arg(k);
    for (const QString &name : digits)
        setRe(name, QStringLiteral("[\\d]+"));
    setRe(QStringLiteral("cmdLine"), QStringLiteral("[0-9a-fA-F]+"));
    if (QLineEdit *cmd = ui->cmdLine->lineEdit())
        cmd->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9a-fA-F]+")), cmd));

    auto maxLen = [this](const QString &name, int n) {
        if (auto *e = child<QLineEdit>(this, name))
            e->setMaxLength(n);
    };
    maxLen(QStringLiteral("deviceEui_line"), 16);
    for (const char *name : {"rts01TimeLineEdit", "rts10TimeLineEdit", "ctsTimeLineEdit",
                             "onAboveOffTimeLineEdit", "waitAnswerTimeLineEdit",
                             "waitEndAnswerTimeLineEdit", "onTimeLineEdit", "rsRepeatLineEdit"})
        maxLen(QLatin1String(name), 5);
    maxLen(QStringLiteral("merc23XNetAdrLineEdit"), 3);
    maxLen(QStringLiteral("vkt7_NetAdrLineEdit"), 3);
    for (int k = 0; k < 6; ++k) {
        maxLen(QStringLiteral("merc23XNetAdrLineEdit_%1").arg(k), 3);
        maxLen(QStringLiteral("merch23XUserPassLineEdit_%1").arg(k), 6);
    }
    maxLen(QStringLiteral("merch23XSnLineEdit"), 12);
    for (const char *name : {"merch23XUserPassLineEdit", "merch234MasterPassLineEdit",
                             "set4tmPassLineEdit", "se303PassLineEdit"})
        maxLen(QLatin1String(name), 6);
    for (int k = 1; k <= 6; ++k)
        maxLen(QStringLiteral("merc206Adr%1LineEdit").arg(k), 8);
}

void MainWindow::connectChangeMapper()
{
    auto map = [this](const QString &name, int index) {
        QObject *w = findChild<QObject *>(name);
        if (!w)
            return;
        changeMapper->setMapping(w, index);
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            connect(b, &QAbstractButton::clicked, changeMapper,
                    QOverload<>::of(&QSignalMapper::map));
        else if (auto *e = qobject_cast<QLineEdit *>(w))
            connect(e, &QLineEdit::editingFinished, changeMapper,
                    QOverload<>::of(&QSignalMapper::map));
        else if (auto *c = qobject_cast<QComboBox *>(w))
            connect(c, QOverload<int>::of(&QComboBox::currentIndexChanged), changeMapper,
                    QOverload<>::of(&QSignalMapper::map));
        else if (auto *t = qobject_cast<QTimeEdit *>(w))
            connect(t, &QTimeEdit::timeChanged, changeMapper, QOverload<>::of(&QSignalMapper::map));
        else if (auto *d = qobject_cast<QDateEdit *>(w))
            connect(d, &QDateEdit::dateChanged, changeMapper, QOverload<>::of(&QSignalMapper::map));
    };
    map(QStringLiteral("otaaRadioButton"), 0);
    map(QStringLiteral("abpRadioButton"), 0);
    map(QStringLiteral("usePrivatecheCkBox"), 1);
    map(QStringLiteral("useAdrCheckBox"), 2);
    const char *const keys[] = {"deviceEui_line", "appEui_line", "appKey_line", "netIdLineEdit",
                                "abpDevAdrline",  "netSKeyline", "appSKeyline"};
    for (int k = 0; k < 7; ++k)
        map(QLatin1String(keys[k]), 3 + k);
    map(QStringLiteral("txPeriodLineEdit"), 10);
    map(QStringLiteral("txSpeedComboBox"), 11);
    map(QStringLiteral("txPowerComboBox"), 12);
    map(QStringLiteral("useTxControlCheckBox"), 13);
    map(QStringLiteral("regionComboBox"), 14);
    map(QStringLiteral("devClassComboBox"), 15);
    map(QStringLiteral("nbTrialsLineEdit"), 16);
    map(QStringLiteral("txConfirmCheckBox"), 17);
    map(QStringLiteral("keepAliveLine"), 18);
    map(QStringLiteral("enPower20dbmCheckBox"), 22);
    map(QStringLiteral("appPortLineEdit"), 23);
    map(QStringLiteral("scanPeriodLineEdit"), 24);
    map(QStringLiteral("protocolComboBox"), 25);
    map(QStringLiteral("savaEveryValLine"), 26);
    map(QStringLiteral("savaEveryTimesLine"), 27);
    for (int i = 0; i < inputCount; ++i) {
        map(QStringLiteral("inType%1comboBox").arg(i), 28 + i);
        map(QStringLiteral("inMode%1comboBox").arg(i), 34 + i);
        map(QStringLiteral("countDiff%1LineEdit").arg(i), 67 + i);
    }
    map(QStringLiteral("rsSpeedComboBox"), 51);
    map(QStringLiteral("rsParityComboBox"), 51);
    for (const char *n :
         {"ctsRtsModeComboBox", "rts01TimeLineEdit", "rts10TimeLineEdit", "ctsTimeLineEdit"})
        map(QLatin1String(n), 52);
    for (const char *n : {"onAboveOffTimeLineEdit", "waitAnswerTimeLineEdit",
                          "waitEndAnswerTimeLineEdit", "onTimeLineEdit"})
        map(QLatin1String(n), 53);
    map(QStringLiteral("rsRepeatLineEdit"), 54);
    map(QStringLiteral("rsAnswerModeComboBox"), 55);
    map(QStringLiteral("meteringDevComboBox"), 56);
    for (const QString &name : meterWidgetNames())
        map(name, 56);
    map(QStringLiteral("timeZoneComboBox"), 58);
    map(QStringLiteral("removeConfirmNetComboBox"), 59);
    map(QStringLiteral("timePointComboBox"), 60);
    for (int n = 0; n < fixedPointCount; ++n) {
        for (const QString &w :
             {QStringLiteral("enableFixPoint%1CheckBox"), QStringLiteral("pointFixDay%1DateEdit"),
              QStringLiteral("pointFixEveryDay%1CheckBox"),
              QStringLiteral("pointFixTime%1TimeEdit")})
            map(w.arg(n), 61 + n);
    }
    map(QStringLiteral("pulseCounModeComboBox"), 73);
    map(QStringLiteral("ambientLightLevelLineEdit"), 74);
    connect(changeMapper, &QSignalMapper::mappedInt, this, &MainWindow::changeConfig);
}

QStringList MainWindow::meterWidgetNames() const
{
    QStringList names{
        "merc23XNetAdrLineEdit",      "merch23XSnLineEdit",       "merch23XUserPassLineEdit",
        "merch234MasterPassLineEdit", "merc23XConvToHexCheckBox", "merc23XTransmitByPhasesCheckBox",
        "tem104NetAdrLineEdit",       "vkt7_NetAdrLineEdit",      "set4tmNetAdrLineEdit",
        "set4tmPassLineEdit",         "se303IdLineEdit",          "se303PassLineEdit",
        "ce2727uNetAdrLineEdit",      "ce2727uPassLineEdit"};
    for (int k = 1; k <= 6; ++k)
        names << QStringLiteral("merc206Adr%1LineEdit").arg(k);
    for (int k = 0; k < 6; ++k)
        names << QStringLiteral("merc23XConvToHexCheckBox_%1").arg(k)
              << QStringLiteral("merc23XNetAdrLineEdit_%1").arg(k)
              << QStringLiteral("merch23XUserPassLineEdit_%1").arg(k);
    for (int k = 1; k <= 8; ++k)
        names << QStringLiteral("mt137Sn%1LineEdit").arg(k);
    for (int k = 1; k <= 4; ++k)
        names << QStringLiteral("spt943NetAdr%1LineEdit").arg(k)
              << QStringLiteral("spt943TvCh%1LineEdit").arg(k);
    return names;
}

// ---- filling the widgets ---------------------------------------------------------------------

void MainWindow::updateGui(QDomNode node)
{
    const QDomElement root = node.toElement();
    if (currentState == 0) {
        // No device: the file says which model's pages to show.
        const QString devId =
            root.firstChildElement(QStringLiteral("dev_id")).attribute(QStringLiteral("param"));
        if (!devId.isEmpty()) {
            qDebug() << "Get device info from file...";
            const ushort id = ushort(devId.toUInt());
            setCurrentFwVer(QStringLiteral("255.255.255"), QStringLiteral("NONE"), id,
                            num(id & 0x3FF),
                            root.firstChildElement(QStringLiteral("dev_eui_lbl"))
                                .attribute(QStringLiteral("param")),
                            root.firstChildElement(QStringLiteral("serial_number"))
                                .attribute(QStringLiteral("param")));
        }
    }
    qDebug() << "Start create or update GUI";
    const bool wasBlocked = changeMapper->signalsBlocked();
    changeMapper->blockSignals(true);
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        showElement(e);
    changeMapper->blockSignals(wasBlocked);
}

void MainWindow::showElement(const QDomElement &e)
{
    const QString name = e.tagName();
    const QString value = e.attribute(QStringLiteral("param"));
    auto line = [this](const QString &w, const QString &text) {
        if (auto *l = child<QLineEdit>(this, w))
            l->setText(text);
    };
    auto box = [this](const QString &w) { return child<QComboBox>(this, w); };

    if (name == QLatin1String("serial_number")) {
        ui->snLabel->setText(value);
        return;
    }
    if (name == QLatin1String("dev_eui_lbl")) {
        ui->deveui_lbl->setText(value.toUpper());
        return;
    }
    const Param *p = ParamCatalogue::byElement(name);
    if (!p)
        return;
    const quint16 code = p->code;

    if (code == 0x0000) {
        if (auto *otaa = child<QRadioButton>(this, QStringLiteral("otaaRadioButton")))
            otaa->setChecked(value.toInt(nullptr, 16) == 1);
        if (auto *abp = child<QRadioButton>(this, QStringLiteral("abpRadioButton")))
            abp->setChecked(value.toInt(nullptr, 16) != 1);
    } else if (p->kind == ParamCatalogue::Kind::Bool ||
               p->kind == ParamCatalogue::Kind::BoolInverted) {
        static const QMap<QString, QString> boxes{{"private", "usePrivatecheCkBox"},
                                                  {"use_adr", "useAdrCheckBox"},
                                                  {"ldc", "useTxControlCheckBox"},
                                                  {"tx_confirm", "txConfirmCheckBox"},
                                                  {"en_power_20dbm", "enPower20dbmCheckBox"}};
        if (auto *c = child<QCheckBox>(this, boxes.value(name)))
            c->setChecked(ParamCodec::checkedFromText(name, value));
        if (code == 0x0002)
            if (QWidget *speed = widget("txSpeedComboBox"))
                speed->setEnabled(!ParamCodec::checkedFromText(name, value));
    } else if (p->kind == ParamCatalogue::Kind::HexKey) {
        static const QMap<QString, QString> keys{
            {"dev_eui", "deviceEui_line"},     {"app_eui", "appEui_line"},
            {"app_key", "appKey_line"},        {"net_id", "netIdLineEdit"},
            {"net_dev_adr", "abpDevAdrline"},  {"net_service_key", "netSKeyline"},
            {"app_service_key", "appSKeyline"}};
        line(keys.value(name), value);
    } else if (p->kind == ParamCatalogue::Kind::Number) {
        line(numberWidget(name), QString::number(ParamCodec::numberFromText(name, value)));
    } else if (p->kind == ParamCatalogue::Kind::ComboData) {
        selectByData(box(comboWidget(name)), value.toLongLong(nullptr, 16));
        if (code == 0x000E)
            if (QWidget *freq = widget("viewEditFreqpushButton"))
                freq->setEnabled(value.toInt(nullptr, 16) == 3);
        if (code >= 0x0120 && code <= 0x0125) {
            const int n = code - 0x0120;
            const bool on = value.toInt(nullptr, 16) != 0;
            for (const QString &w :
                 {QStringLiteral("inType%1comboBox"), QStringLiteral("countDiff%1LineEdit")})
                if (QWidget *x = child<QWidget>(this, w.arg(n)))
                    x->setEnabled(on);
        }
    } else if (p->kind == ParamCatalogue::Kind::ComboIndex) {
        if (QComboBox *b = box(QStringLiteral("pulseCounModeComboBox")))
            b->setCurrentIndex(value.toInt(nullptr, 16));
    } else if (code >= 0x0020 && code <= 0x002F) {
        freqPlanRead.append(qMakePair(code - 0x0020, QString::number(value.toUInt(nullptr, 16))));
    } else if (code == 0x0013) {
        rx2FreqRead = QString::number(value.toUInt(nullptr, 16));
    } else if (code == 0x0014) {
        rx2DrRead = QString::number(value.toUInt(nullptr, 16));
    } else if (p->kind == ParamCatalogue::Kind::TimeZone) {
        const int offset = ParamCodec::timeZoneOffset(value);
        if (QComboBox *b = box(QStringLiteral("timeZoneComboBox"))) {
            const QDateTime now = QDateTime::currentDateTimeUtc();
            for (int i = 0; i < b->count(); ++i) {
                if (QTimeZone(b->itemText(i).toLatin1()).offsetFromUtc(now) == offset) {
                    b->setCurrentIndex(i);
                    break;
                }
            }
        }
    } else if (p->kind == ParamCatalogue::Kind::FixedPoint) {
        const int n = code - 0x0190;
        const ParamCodec::FixedPoint fp = ParamCodec::fixedPointFromText(value);
        auto *enable = child<QCheckBox>(this, QStringLiteral("enableFixPoint%1CheckBox").arg(n));
        auto *every = child<QCheckBox>(this, QStringLiteral("pointFixEveryDay%1CheckBox").arg(n));
        auto *day = child<QDateEdit>(this, QStringLiteral("pointFixDay%1DateEdit").arg(n));
        auto *time = child<QTimeEdit>(this, QStringLiteral("pointFixTime%1TimeEdit").arg(n));
        if (enable && every && day && time) {
            enable->setChecked(fp.enabled);
            every->setChecked(fp.everyDay);
            day->setDate(QDate(2000, 1, fp.day));
            time->setTime(fp.time);
            updateFixedPointWidgets(n);
        }
    } else if (code == 0x0203) {
        const bool rs232 = value.toInt(nullptr, 16) == 1;
        if (auto *l = child<QLabel>(this, QStringLiteral("interfaceLbl")))
            l->setText(rs232 ? QStringLiteral("RS-232") : QStringLiteral("RS-485"));
        setEnabledAll({"rsParityComboBox", "ctsRtsModeComboBox", "rts01TimeLineEdit",
                       "rts10TimeLineEdit", "ctsTimeLineEdit"},
                      rs232);
    } else if (code == 0x0150) {
        const QString speed =
            QString::number(e.attribute(QStringLiteral("rs_speed")).toUInt(nullptr, 16));
        if (QComboBox *b = box(QStringLiteral("rsSpeedComboBox"))) {
            const int i = b->findText(speed);
            if (i >= 0)
                b->setCurrentIndex(i);
        }
        selectByData(box(QStringLiteral("rsParityComboBox")),
                     e.attribute(QStringLiteral("rs_parity")).toLongLong(nullptr, 16));
    } else if (code == 0x0151) {
        selectByData(box(QStringLiteral("ctsRtsModeComboBox")),
                     e.attribute(QStringLiteral("cts_rts_mode")).toLongLong(nullptr, 16));
        line(QStringLiteral("rts01TimeLineEdit"),
             num(e.attribute(QStringLiteral("RTS01Time")).toInt(nullptr, 16)));
        line(QStringLiteral("rts10TimeLineEdit"),
             num(e.attribute(QStringLiteral("RTS10Time")).toInt(nullptr, 16)));
        line(QStringLiteral("ctsTimeLineEdit"),
             num(e.attribute(QStringLiteral("CTSTime")).toInt(nullptr, 16)));
    } else if (code == 0x0152) {
        line(QStringLiteral("onAboveOffTimeLineEdit"),
             num(e.attribute(QStringLiteral("OnAboveOffTime")).toInt(nullptr, 16)));
        line(QStringLiteral("waitAnswerTimeLineEdit"),
             num(e.attribute(QStringLiteral("WaitAnswerTime")).toInt(nullptr, 16)));
        line(QStringLiteral("waitEndAnswerTimeLineEdit"),
             num(e.attribute(QStringLiteral("WaitEndAnswerTime")).toInt(nullptr, 16)));
        line(QStringLiteral("onTimeLineEdit"),
             num(e.attribute(QStringLiteral("OnTime")).toInt(nullptr, 16)));
    } else if (code == 0x0155) {
        const int type = ParamCodec::meterTypeFromText(e.attribute(QStringLiteral("meter_type")));
        if (type < 0)
            return;
        selectByData(box(QStringLiteral("meteringDevComboBox")), type);
        if (auto *pages = child<QStackedWidget>(this, QStringLiteral("meteringDevStackedWidget")))
            pages->setCurrentIndex(type);
        const QVariantMap fields =
            ParamCodec::meterFieldsFromConfig(type, e.attribute(QStringLiteral("config")));
        for (auto it = fields.constBegin(); it != fields.constEnd(); ++it) {
            if (auto *c = child<QCheckBox>(this, it.key()))
                c->setChecked(it.value().toString() == QLatin1String("1"));
            else
                line(it.key(), it.value().toString());
        }
    }
}

QString MainWindow::numberWidget(const QString &element) const
{
    static const QMap<QString, QString> widgets{
        {"tx_period", "txPeriodLineEdit"},
        {"nb_trials", "nbTrialsLineEdit"},
        {"check_connect", "keepAliveLine"},
        {"app_port", "appPortLineEdit"},
        {"scan_period", "scanPeriodLineEdit"},
        {"save_every_values", "savaEveryValLine"},
        {"save_every_times", "savaEveryTimesLine"},
        {"rs_repeat", "rsRepeatLineEdit"},
        {"ambient_light_level", "ambientLightLevelLineEdit"}};
    if (element.startsWith(QLatin1String("count_diff_")))
        return QStringLiteral("countDiff%1LineEdit").arg(element.mid(11));
    return widgets.value(element);
}

QString MainWindow::comboWidget(const QString &element) const
{
    static const QMap<QString, QString> widgets{{"tx_dr", "txSpeedComboBox"},
                                                {"tx_power", "txPowerComboBox"},
                                                {"region", "regionComboBox"},
                                                {"dev_class", "devClassComboBox"},
                                                {"protocol", "protocolComboBox"},
                                                {"answer_mode", "rsAnswerModeComboBox"},
                                                {"remove_confirm_net", "removeConfirmNetComboBox"},
                                                {"time_point", "timePointComboBox"}};
    if (element.startsWith(QLatin1String("type_level_")))
        return QStringLiteral("inType%1comboBox").arg(element.mid(11));
    if (element.startsWith(QLatin1String("type_input_")))
        return QStringLiteral("inMode%1comboBox").arg(element.mid(11));
    return widgets.value(element);
}

void MainWindow::updateFixedPointWidgets(int n)
{
    auto *enable = child<QCheckBox>(this, QStringLiteral("enableFixPoint%1CheckBox").arg(n));
    auto *every = child<QCheckBox>(this, QStringLiteral("pointFixEveryDay%1CheckBox").arg(n));
    auto *day = child<QDateEdit>(this, QStringLiteral("pointFixDay%1DateEdit").arg(n));
    auto *time = child<QTimeEdit>(this, QStringLiteral("pointFixTime%1TimeEdit").arg(n));
    if (!enable || !every || !day || !time)
        return;
    every->setEnabled(enable->isChecked());
    time->setEnabled(enable->isChecked());
    day->setEnabled(enable->isChecked() && !every->isChecked());
}

// ---- recording edits ---------------------------------------------------------------------------

void MainWindow::storeParam(const QString &element, const QString &hex)
{
    replaceElement(element, {{QStringLiteral("param"), hex}});
}

void MainWindow::storeNumber(const QString &element)
{
    const Param *p = ParamCatalogue::byElement(element);
    auto *edit = child<QLineEdit>(this, numberWidget(element));
    if (!p || !edit)
        return;
    const quint64 clamped = ParamCodec::clampTyped(element, edit->text().toLongLong());
    // The widget shows what is stored.
    if (element.startsWith(QLatin1String("count_diff_")) ||
        ParamCodec::numberRange(element, nullptr, nullptr))
        edit->setText(QString::number(clamped));
    storeParam(element, ParamCodec::numberText(*p, qint64(clamped)));
}

void MainWindow::storeCombo(const QString &element)
{
    const Param *p = ParamCatalogue::byElement(element);
    if (auto *b = child<QComboBox>(this, comboWidget(element)); p && b && b->currentIndex() >= 0)
        storeParam(element, ParamCodec::hexNumber(quint64(comboData(b)), p->bytes));
}

void MainWindow::changeConfig(int numberParam)
{
    auto checked = [this](const char *name) {
        auto *b = child<QAbstractButton>(this, QLatin1String(name));
        return b && b->isChecked();
    };
    auto text = [this](const QString &name) {
        auto *e = child<QLineEdit>(this, name);
        return e ? e->text() : QString();
    };
    const int n = numberParam;
    if (n == 0) {
        storeParam(QStringLiteral("otaa_activation"),
                   checked("otaaRadioButton") ? QStringLiteral("01") : QStringLiteral("00"));
    } else if (n == 1) {
        storeParam(QStringLiteral("private"),
                   ParamCodec::boolText(QStringLiteral("private"), checked("usePrivatecheCkBox")));
    } else if (n == 2) {
        storeParam(QStringLiteral("use_adr"),
                   ParamCodec::boolText(QStringLiteral("use_adr"), checked("useAdrCheckBox")));
        if (QWidget *speed = widget("txSpeedComboBox"))
            speed->setEnabled(!checked("useAdrCheckBox"));
    } else if (n >= 3 && n <= 9) {
        static const char *const elements[] = {"dev_eui",        "app_eui",     "app_key",
                                               "net_id",         "net_dev_adr", "net_service_key",
                                               "app_service_key"};
        static const char *const widgets[] = {"deviceEui_line", "appEui_line",   "appKey_line",
                                              "netIdLineEdit",  "abpDevAdrline", "netSKeyline",
                                              "appSKeyline"};
        const Param *p = ParamCatalogue::byElement(QLatin1String(elements[n - 3]));
        auto *edit = child<QLineEdit>(this, QLatin1String(widgets[n - 3]));
        if (p && edit) {
            const QString padded = ParamCodec::paddedKey(edit->text(), p->bytes);
            edit->setText(padded);
            storeParam(QLatin1String(elements[n - 3]), padded.toLower());
        }
    } else if (n == 10) {
        storeNumber(QStringLiteral("tx_period"));
    } else if (n == 11) {
        storeCombo(QStringLiteral("tx_dr"));
    } else if (n == 12) {
        storeCombo(QStringLiteral("tx_power"));
    } else if (n == 13) {
        storeParam(QStringLiteral("ldc"),
                   ParamCodec::boolText(QStringLiteral("ldc"), checked("useTxControlCheckBox")));
    } else if (n == 14) {
        storeCombo(QStringLiteral("region"));
        if (QWidget *freq = widget("viewEditFreqpushButton"))
            freq->setEnabled(comboData(child<QComboBox>(this, QStringLiteral("regionComboBox"))) ==
                             3);
    } else if (n == 15) {
        storeCombo(QStringLiteral("dev_class"));
    } else if (n == 16) {
        storeNumber(QStringLiteral("nb_trials"));
    } else if (n == 17) {
        storeParam(
            QStringLiteral("tx_confirm"),
            ParamCodec::boolText(QStringLiteral("tx_confirm"), checked("txConfirmCheckBox")));
    } else if (n == 18) {
        storeNumber(QStringLiteral("check_connect"));
    } else if (n == 19) {
        storeParam(QStringLiteral("rx2_freq"),
                   ParamCodec::hexNumber(rx2FreqEdited.toULongLong(), 4));
    } else if (n == 20) {
        storeParam(QStringLiteral("rx2_dr"), ParamCodec::hexNumber(rx2DrEdited.toULongLong(), 1));
    } else if (n == 21) {
        int stored = 0;
        for (const auto &channel : freqPlanEdited) {
            if (channel.second.isEmpty() || stored >= 16)
                continue;
            storeParam(QStringLiteral("freq_channel_%1").arg(channel.first),
                       ParamCodec::hexNumber(channel.second.toULongLong(), 4));
            ++stored;
        }
    } else if (n == 22) {
        storeParam(QStringLiteral("en_power_20dbm"),
                   ParamCodec::boolText(QStringLiteral("en_power_20dbm"),
                                        checked("enPower20dbmCheckBox")));
    } else if (n == 23) {
        storeNumber(QStringLiteral("app_port"));
    } else if (n == 24) {
        storeNumber(QStringLiteral("scan_period"));
        recalcTimings();
    } else if (n == 25) {
        storeCombo(QStringLiteral("protocol"));
    } else if (n == 26) {
        storeNumber(QStringLiteral("save_every_values"));
    } else if (n == 27) {
        storeNumber(QStringLiteral("save_every_times"));
    } else if (n >= 28 && n <= 33) {
        storeCombo(QStringLiteral("type_level_%1").arg(n - 28));
    } else if (n >= 34 && n <= 39) {
        const int i = n - 34;
        storeCombo(QStringLiteral("type_input_%1").arg(i));
        const int mode =
            int(comboData(child<QComboBox>(this, QStringLiteral("inMode%1comboBox").arg(i))));
        storeParam(
            QStringLiteral("timing_%1").arg(i),
            ParamCodec::timingText(mode, text(QStringLiteral("scanPeriodLineEdit")).toInt()));
        if (QWidget *type = child<QWidget>(this, QStringLiteral("inType%1comboBox").arg(i)))
            type->setEnabled(mode != 0);
        if (QWidget *count = child<QWidget>(this, QStringLiteral("countDiff%1LineEdit").arg(i))) {
            bool on = mode != 0;
            if (i == 1)
                on = on &&
                     dbWorker->getFormElements(QStringLiteral("countDiff1LineEdit")).value(0) ==
                         QLatin1String("true");
            count->setEnabled(on);
        }
    } else if (n == 51) {
        auto *speed = child<QComboBox>(this, QStringLiteral("rsSpeedComboBox"));
        replaceElement(QStringLiteral("rs_settings"),
                       {{QStringLiteral("rs_speed"),
                         ParamCodec::hexNumber(speed ? speed->currentText().toULongLong() : 0, 4)},
                        {QStringLiteral("rs_data_bits"), QStringLiteral("00")},
                        {QStringLiteral("rs_parity"),
                         ParamCodec::hexNumber(quint64(comboData(child<QComboBox>(
                                                   this, QStringLiteral("rsParityComboBox")))),
                                               1)},
                        {QStringLiteral("rs_stop_bits"), QStringLiteral("00")}});
    } else if (n == 52) {
        replaceElement(
            QStringLiteral("crts_settings"),
            {{QStringLiteral("cts_rts_mode"),
              ParamCodec::hexNumber(
                  quint64(comboData(child<QComboBox>(this, QStringLiteral("ctsRtsModeComboBox")))),
                  1)},
             {QStringLiteral("RTS01Time"),
              ParamCodec::hexNumber(text(QStringLiteral("rts01TimeLineEdit")).toULongLong(), 2)},
             {QStringLiteral("RTS10Time"),
              ParamCodec::hexNumber(text(QStringLiteral("rts10TimeLineEdit")).toULongLong(), 2)},
             {QStringLiteral("CTSTime"),
              ParamCodec::hexNumber(text(QStringLiteral("ctsTimeLineEdit")).toULongLong(), 2)}});
    } else if (n == 53) {
        replaceElement(
            QStringLiteral("rs_timings"),
            {{QStringLiteral("OnAboveOffTime"),
              ParamCodec::hexNumber(text(QStringLiteral("onAboveOffTimeLineEdit")).toULongLong(),
                                    2)},
             {QStringLiteral("WaitAnswerTime"),
              ParamCodec::hexNumber(text(QStringLiteral("waitAnswerTimeLineEdit")).toULongLong(),
                                    2)},
             {QStringLiteral("WaitEndAnswerTime"),
              ParamCodec::hexNumber(text(QStringLiteral("waitEndAnswerTimeLineEdit")).toULongLong(),
                                    2)},
             {QStringLiteral("OnTime"),
              ParamCodec::hexNumber(text(QStringLiteral("onTimeLineEdit")).toULongLong(), 2)}});
    } else if (n == 54) {
        storeNumber(QStringLiteral("rs_repeat"));
    } else if (n == 55) {
        storeCombo(QStringLiteral("answer_mode"));
    } else if (n == 56) {
        const int type =
            int(comboData(child<QComboBox>(this, QStringLiteral("meteringDevComboBox"))));
        if (auto *pages = child<QStackedWidget>(this, QStringLiteral("meteringDevStackedWidget")))
            pages->setCurrentIndex(type);
        QVariantMap fields;
        for (const QString &name : meterWidgetNames()) {
            if (auto *c = child<QCheckBox>(this, name))
                fields.insert(name, c->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
            else if (auto *e = child<QLineEdit>(this, name))
                fields.insert(name, e->text());
        }
        // The type stays decimal in documents, as a read from the device writes it.
        replaceElement(
            QStringLiteral("rs_meter_config"),
            {{QStringLiteral("meter_type"), num(type)},
             {QStringLiteral("config"), ParamCodec::meterConfigFromFields(type, fields)}});
    } else if (n == 58) {
        if (auto *b = child<QComboBox>(this, QStringLiteral("timeZoneComboBox")))
            storeParam(
                QStringLiteral("time_zone"),
                ParamCodec::timeZoneText(QTimeZone(b->currentText().toLatin1())
                                             .offsetFromUtc(QDateTime::currentDateTimeUtc())));
    } else if (n == 59) {
        storeCombo(QStringLiteral("remove_confirm_net"));
    } else if (n == 60) {
        storeCombo(QStringLiteral("time_point"));
    } else if (n >= 61 && n <= 66) {
        const int i = n - 61;
        updateFixedPointWidgets(i);
        ParamCodec::FixedPoint fp;
        fp.enabled =
            child<QCheckBox>(this, QStringLiteral("enableFixPoint%1CheckBox").arg(i))->isChecked();
        fp.everyDay = child<QCheckBox>(this, QStringLiteral("pointFixEveryDay%1CheckBox").arg(i))
                          ->isChecked();
        fp.day =
            child<QDateEdit>(this, QStringLiteral("pointFixDay%1DateEdit").arg(i))->date().day();
        fp.time = child<QTimeEdit>(this, QStringLiteral("pointFixTime%1TimeEdit").arg(i))->time();
        storeParam(QStringLiteral("time_fix_%1").arg(i), ParamCodec::fixedPointText(fp));
    } else if (n >= 67 && n <= 72) {
        storeNumber(QStringLiteral("count_diff_%1").arg(n - 67));
    } else if (n == 73) {
        if (auto *b = child<QComboBox>(this, QStringLiteral("pulseCounModeComboBox")))
            storeParam(QStringLiteral("pulse_counting_mode"),
                       ParamCodec::hexNumber(quint64(qMax(0, b->currentIndex())), 1));
    } else if (n == 74) {
        storeNumber(QStringLiteral("ambient_light_level"));
    }
    ui->saveFileButton->setEnabled(true);
}

void MainWindow::recalcTimings()
{
    const int inputs = devIdByName == QLatin1String("750")   ? 6
                       : devIdByName == QLatin1String("760") ? 2
                                                             : 0;
    auto *scan = child<QLineEdit>(this, QStringLiteral("scanPeriodLineEdit"));
    const int period = scan ? scan->text().toInt() : 0;
    for (int i = 0; i < inputs; ++i) {
        const int mode =
            int(comboData(child<QComboBox>(this, QStringLiteral("inMode%1comboBox").arg(i))));
        storeParam(QStringLiteral("timing_%1").arg(i), ParamCodec::timingText(mode, period));
    }
}

// ---- frequency plan
// ------------------------------------------------------------------------------

QList<QPair<QString, QString>> MainWindow::rx2DrItems() const
{
    QList<QPair<QString, QString>> items;
    if (auto *speed = child<QComboBox>(this, QStringLiteral("txSpeedComboBox")))
        for (int i = 0; i < speed->count(); ++i)
            items.append({speed->itemData(i).toString(), speed->itemText(i)});
    return items;
}

void MainWindow::on_viewEditFreqpushButton_clicked()
{
    if (freqForm)
        return;
    freqFormForEditing = true;
    freqForm = new FreqForm(this);
    auto *region = child<QComboBox>(this, QStringLiteral("regionComboBox"));
    freqForm->setEditable(region && region->currentIndex() == 3);
    for (const auto &channel : freqPlanRead)
        freqForm->setChannel(channel.first, channel.second, true);
    freqForm->setRx2Freq(rx2FreqRead, true);
    freqForm->setRx2DrItems(rx2DrItems());
    freqForm->setRx2Dr(rx2DrRead, true);
    for (const auto &channel : freqPlanEdited)
        freqForm->setChannel(channel.first, channel.second, false);
    if (!rx2FreqEdited.isEmpty())
        freqForm->setRx2Freq(rx2FreqEdited, false);
    if (!rx2DrEdited.isEmpty())
        freqForm->setRx2Dr(rx2DrEdited, false);
    connect(freqForm, &QObject::destroyed, this, &MainWindow::freqFormClosed);
    connect(freqForm, &FreqForm::frequencyChanged, this, &MainWindow::frequencyChanged);
    freqForm->show();
}

void MainWindow::showFreqForm()
{
    if (freqForm)
        return;
    freqForm = new FreqForm(this);
    freqForm->setEditable(false);
    connect(freqForm, &QObject::destroyed, this, &MainWindow::freqFormClosed);
    freqForm->show();
}

void MainWindow::freqFormClosed()
{
    freqForm = nullptr;
    freqFormForEditing = false;
}

void MainWindow::frequencyChanged(QList<QPair<int, QString>> frequencyList, QString _rx2Freq,
                                  QString _rx2Dr)
{
    for (const auto &f : frequencyList)
        qDebug().noquote() << "FR NUM: " << f.first << " freq: " << f.second;
    freqPlanEdited = frequencyList;
    changeConfig(21);
    if (!_rx2Freq.isEmpty()) {
        rx2FreqEdited = _rx2Freq;
        qDebug().noquote() << "RX2 Freq: " << _rx2Freq;
        changeConfig(19);
    }
    if (!_rx2Dr.isEmpty()) {
        rx2DrEdited = _rx2Dr;
        qDebug().noquote() << "RX2 DR: " << _rx2Dr;
        changeConfig(20);
    }
}

void MainWindow::updateFreqList(QList<QPair<int, QString>> frequencyList, QString _rx2Freq,
                                QString _rx2Dr)
{
    if (freqForm && !freqFormForEditing) {
        for (const auto &channel : frequencyList)
            freqForm->setChannel(channel.first, channel.second, true);
        freqForm->setRx2Freq(_rx2Freq, true);
        freqForm->setRx2DrItems(rx2DrItems());
        freqForm->setRx2Dr(_rx2Dr, true);
    }
    nextReadStatus(); // the current frequencies are a link of the status chain
}
