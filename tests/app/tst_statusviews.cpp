#include "guiresources.h"
#include "netinfoform.h"
#include "statuscalc.h"
#include "statusrecords.h"
#include "timeparamsform.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include <ctime>

namespace {
// 2020-09-13 12:26:40 UTC; the tests run with the local zone three hours east of UTC.
constexpr quint32 someTime = 1600000000u;
const QString someTimeLocal = QStringLiteral("13-09-2020 15:26:40");

const QString kNotSet = QStringLiteral("Не установлено");
const QString kNotGiven = QStringLiteral("Не задано");

// A small status bits table as the device database gives it.
QMap<int, QStringList> statusBits()
{
    return {
        {0, {"Питание", "Внешнее", "Батарея"}},
        {1, {"Вскрытие", "Нет", "Есть"}},
        {2, {"Основной сервер", "Задан", "Ошибка"}},
        {5, {"Только имя"}},
        {7, {}},
        {19, {"Резервный сервер", "Задан", "Ошибка"}},
    };
}

class ParamsSender : public QObject
{
    Q_OBJECT
signals:
    void updateNetInfoParams(NET_INFO_PARAMS);
};

QString labelText(QWidget *form, const char *name)
{
    auto *label = form->findChild<QLabel *>(name);
    return label ? label->text() : QStringLiteral("<no label %1>").arg(name);
}

void runDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class tst_StatusViews : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void timeParamsFormats();
    void timeParamsZeroKeepsPrevious();
    void timeOnAir_data();
    void timeOnAir();
    void timeParamsHidesAndStays();
    void netInfoLabels();

    void calcInitialState();
    void calcStatusFromPanelIsHex();
    void calcHexTextDecodedAsDecimal();
    void calcDecimal_data();
    void calcDecimal();
    void calcValidators();
    void calcNoSupportedBits();
    void calcNameOnlyBit();
    void calcServerBits_data();
    void calcServerBits();
    void calcEventMaskRoundTrip();
    void calcRefreshAsksForCode();

private:
    StatusCalc *newCalc(const QString &code = QString(), quint32 mask = 0);
    // Row of the bit whose name is `name`, -1 when not shown.
    int rowOf(const QString &name) const;
    QString valueOf(const QString &name) const;

    QPointer<StatusCalc> calc;
};

void tst_StatusViews::initTestCase()
{
    qputenv("TZ", "UTC-3");
    tzset();
    initGuiResources();
    registerLinkMetaTypes();
}

void tst_StatusViews::cleanup()
{
    delete calc;
}

StatusCalc *tst_StatusViews::newCalc(const QString &code, quint32 mask)
{
    delete calc;
    calc = new StatusCalc(nullptr, code, mask);
    connect(calc, &StatusCalc::getStatusBits, this, [] { return statusBits(); });
    return calc;
}

int tst_StatusViews::rowOf(const QString &name) const
{
    auto *table = calc->findChild<QTableWidget *>("tableWidget");
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->item(row, 0) && table->item(row, 0)->text() == name)
            return row;
    }
    return -1;
}

QString tst_StatusViews::valueOf(const QString &name) const
{
    const int row = rowOf(name);
    if (row < 0)
        return QStringLiteral("<not shown>");
    auto *item = calc->findChild<QTableWidget *>("tableWidget")->item(row, 1);
    return item ? item->text() : QString();
}

void tst_StatusViews::timeParamsFormats()
{
    TimeParamsForm form;
    QCOMPARE(form.findChild<QLabel *>("timeParamsFormTitleLabel")->text(),
             QStringLiteral(" Просмотр показателей"));
    QCOMPARE(form.findChild<QPushButton *>("okPushButton")->text(), QStringLiteral("ОК"));
    QCOMPARE(labelText(&form, "timeLastRx_lbl"), QString());

    NET_TIME_STAT times;
    times.timeStart = someTime;
    times.timeConnect = someTime + 1;
    times.timeDisconnect = someTime + 60;
    times.timeStop = someTime + 3600;
    times.timeLastTx = someTime + 86400;
    times.timeLastRx = 1u;
    times.timeLastCheckConnectRequest = 0xFFFFFFFFu;
    times.timeLastCheckConnectAnswer = someTime + 7;
    times.timeLastConfirmRequest = someTime + 8;
    times.timeLastConfirmAnswer = someTime + 9;
    form.setNetTimes(times);

    QCOMPARE(labelText(&form, "timeStart_lbl"), someTimeLocal);
    QCOMPARE(labelText(&form, "timeConnect_lbl"), QStringLiteral("13-09-2020 15:26:41"));
    QCOMPARE(labelText(&form, "timeDisconnect_lbl"), QStringLiteral("13-09-2020 15:27:40"));
    QCOMPARE(labelText(&form, "timeStop_lbl"), QStringLiteral("13-09-2020 16:26:40"));
    QCOMPARE(labelText(&form, "timeLastTx_lbl"), QStringLiteral("14-09-2020 15:26:40"));
    QCOMPARE(labelText(&form, "timeLastRx_lbl"), QStringLiteral("01-01-1970 03:00:01"));
    // The largest unsigned stamp is a date in 2106, not a negative number of seconds.
    QCOMPARE(labelText(&form, "timeLastCheckConnectRequest_lbl"),
             QStringLiteral("07-02-2106 09:28:15"));
    QCOMPARE(labelText(&form, "timeLastCheckConnectAnswer_lbl"),
             QStringLiteral("13-09-2020 15:26:47"));
    QCOMPARE(labelText(&form, "timeLastConfirmRequest_lbl"), QStringLiteral("13-09-2020 15:26:48"));
    QCOMPARE(labelText(&form, "timeLastConfirmAnswer_lbl"), QStringLiteral("13-09-2020 15:26:49"));

    form.setConfirmStatuses(QStringLiteral("Подтвержден"), QStringLiteral("Ожидание ответа"));
    QCOMPARE(labelText(&form, "netConfirmStat_lbl"), QStringLiteral("Подтвержден"));
    QCOMPARE(labelText(&form, "netConnectStat_lbl"), QStringLiteral("Ожидание ответа"));
    QCOMPARE(form.findChild<QLabel *>("timeStop_lbl")->toolTip(),
             QStringLiteral("Время остановки сетевого сервиса"));
}

void tst_StatusViews::timeParamsZeroKeepsPrevious()
{
    TimeParamsForm form;
    NET_TIME_STAT first;
    first.timeStart = someTime;
    first.timeStop = someTime;
    form.setNetTimes(first);

    NET_TIME_STAT next;
    next.timeStart = someTime + 10;
    next.timeStop = 0;
    form.setNetTimes(next);

    QCOMPARE(labelText(&form, "timeStart_lbl"), QStringLiteral("13-09-2020 15:26:50"));
    QCOMPARE(labelText(&form, "timeStop_lbl"), someTimeLocal);
    QCOMPARE(labelText(&form, "timeConnect_lbl"), QString());
}

void tst_StatusViews::timeOnAir_data()
{
    QTest::addColumn<quint32>("ms");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0u << "0";
    QTest::newRow("typical") << 1483u << "1483";
    QTest::newRow("above 2^31") << 3000000000u << "3000000000";
    QTest::newRow("largest") << 4294967295u << "4294967295";
}

void tst_StatusViews::timeOnAir()
{
    QFETCH(quint32, ms);
    QFETCH(QString, text);
    TimeParamsForm form;
    form.setTimeOnAir(ms);
    QCOMPARE(labelText(&form, "timeOnAir_lbl"), text);
}

void tst_StatusViews::timeParamsHidesAndStays()
{
    QPointer<TimeParamsForm> form = new TimeParamsForm;
    form->setTimeOnAir(12);
    for (const char *button : {"okPushButton", "closeTimeParamsFormButton"}) {
        form->show();
        QVERIFY(form->isVisible());
        form->findChild<QAbstractButton *>(button)->click();
        runDeferredDeletes();
        QVERIFY2(form, button);
        QVERIFY2(!form->isVisible(), button);
        QCOMPARE(labelText(form, "timeOnAir_lbl"), QStringLiteral("12"));
    }
    delete form;
}

void tst_StatusViews::netInfoLabels()
{
    QPointer<NetInfoForm> form = new NetInfoForm;
    QCOMPARE(form->findChild<QLabel *>("netInfoFormTitleLabel")->text(),
             QStringLiteral(" Информация о регистрации в сети"));
    QCOMPARE(form->findChild<QPushButton *>("okPushButton")->text(), QStringLiteral("OK"));
    for (const char *name : {"netDevAdrLbl", "appSKeyLbl", "nwkSKeyLbl", "workClassLbl"})
        QCOMPARE(labelText(form, name), QString());

    // The record crosses a queued connection, as it does from the main window's status answers.
    ParamsSender sender;
    connect(&sender, &ParamsSender::updateNetInfoParams, form, &NetInfoForm::updateNetInfoParams,
            Qt::QueuedConnection);
    NET_INFO_PARAMS params;
    params.devAddr = QStringLiteral("26011B2C");
    params.appSKey = QStringLiteral("2B7E151628AED2A6ABF7158809CF4F3C");
    params.nwkSKey = QStringLiteral("000102030405060708090A0B0C0D0E0F");
    params.workClass = QStringLiteral("Класс C");
    emit sender.updateNetInfoParams(params);
    QCOMPARE(labelText(form, "netDevAdrLbl"), QString());
    QCoreApplication::processEvents();

    QCOMPARE(labelText(form, "netDevAdrLbl"), params.devAddr);
    QCOMPARE(labelText(form, "appSKeyLbl"), params.appSKey);
    QCOMPARE(labelText(form, "nwkSKeyLbl"), params.nwkSKey);
    QCOMPARE(labelText(form, "workClassLbl"), params.workClass);

    form->show();
    form->findChild<QToolButton *>("closeNetInfoFormButton")->click();
    runDeferredDeletes();
    QVERIFY(!form);
}

void tst_StatusViews::calcInitialState()
{
    newCalc();
    QCOMPARE(calc->windowTitle(), QStringLiteral("Калькулятор статуса"));
    QCOMPARE(calc->findChild<QLineEdit *>("statusCode")->text(), QStringLiteral("00000000"));
    QVERIFY(calc->findChild<QRadioButton *>("hexRadioButton")->isChecked());
    auto *table = calc->findChild<QTableWidget *>("tableWidget");
    QCOMPARE(table->columnCount(), 3);
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("Параметр"));
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Значение"));
    QCOMPARE(table->horizontalHeaderItem(2)->text(), QStringLiteral("Событие"));
    QCOMPARE(table->columnWidth(0), 220);
    QCOMPARE(table->columnWidth(1), 150);
    QCOMPARE(table->columnWidth(2), 78);
    QCOMPARE(table->rowCount(), 0);

    newCalc(QStringLiteral("0000FF01"));
    QCOMPARE(calc->findChild<QLineEdit *>("statusCode")->text(), QStringLiteral("0000FF01"));
}

void tst_StatusViews::calcStatusFromPanelIsHex()
{
    newCalc(QString(), 0);
    calc->setSupportStatusMask(-1);
    calc->findChild<QRadioButton *>("decRadioButton")->click();

    calc->updateStatusCode(QStringLiteral("0000FF21"));
    QVERIFY(calc->findChild<QRadioButton *>("hexRadioButton")->isChecked());
    QCOMPARE(calc->findChild<QLineEdit *>("statusCode")->text(), QStringLiteral("0000FF21"));
    QCOMPARE(valueOf("Питание"), QStringLiteral("Батарея"));
    QCOMPARE(valueOf("Вскрытие"), QStringLiteral("Нет"));
    // Without server settings both server bits read as "no server configured".
    QCOMPARE(valueOf("Основной сервер"), QStringLiteral("Задан"));
    QCOMPARE(valueOf("Резервный сервер"), QStringLiteral("Задан"));
    // Bits in table order, the empty list skipped.
    QCOMPARE(rowOf("Питание"), 0);
    QCOMPARE(rowOf("Вскрытие"), 1);
    QCOMPARE(rowOf("Основной сервер"), 2);
    QCOMPARE(rowOf("Только имя"), 3);
    QCOMPARE(rowOf("Резервный сервер"), 4);
    QCOMPARE(calc->findChild<QTableWidget *>("tableWidget")->rowCount(), 5);

    // Hex validation applies again after switching back: a decimal-only pattern would refuse it.
    auto *edit = calc->findChild<QLineEdit *>("statusCode");
    edit->clear();
    QTest::keyClicks(edit, "ab");
    QCOMPARE(edit->text(), QStringLiteral("ab"));

    // An empty text changes nothing.
    calc->findChild<QRadioButton *>("decRadioButton")->click();
    calc->updateStatusCode(QString());
    QVERIFY(calc->findChild<QRadioButton *>("decRadioButton")->isChecked());
    QCOMPARE(edit->text(), QStringLiteral("ab"));
}

void tst_StatusViews::calcHexTextDecodedAsDecimal()
{
    newCalc();
    calc->setSupportStatusMask(-1);
    auto *edit = calc->findChild<QLineEdit *>("statusCode");
    edit->clear();
    QTest::keyClicks(edit, "FF");
    calc->findChild<QPushButton *>("decryptButton")->click();
    QCOMPARE(valueOf("Питание"), QStringLiteral("Батарея"));

    calc->findChild<QRadioButton *>("decRadioButton")->click();
    QCOMPARE(edit->text(), QStringLiteral("FF"));
    calc->findChild<QPushButton *>("decryptButton")->click();
    QCOMPARE(valueOf("Питание"), QStringLiteral("Внешнее"));
    QCOMPARE(valueOf("Вскрытие"), QStringLiteral("Нет"));
}

void tst_StatusViews::calcDecimal_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("power");
    QTest::addColumn<QString>("lid");
    QTest::newRow("largest") << "4294967295"
                             << "Батарея"
                             << "Есть";
    QTest::newRow("one above largest") << "4294967296"
                                       << "Внешнее"
                                       << "Нет";
    QTest::newRow("ten nines") << "9999999999"
                               << "Внешнее"
                               << "Нет";
    QTest::newRow("two") << "2"
                         << "Внешнее"
                         << "Есть";
}

void tst_StatusViews::calcDecimal()
{
    QFETCH(QString, typed);
    QFETCH(QString, power);
    QFETCH(QString, lid);
    newCalc();
    calc->setSupportStatusMask(-1);
    calc->findChild<QRadioButton *>("decRadioButton")->click();
    auto *edit = calc->findChild<QLineEdit *>("statusCode");
    edit->clear();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), typed);
    calc->findChild<QPushButton *>("decryptButton")->click();
    QCOMPARE(valueOf("Питание"), power);
    QCOMPARE(valueOf("Вскрытие"), lid);
}

void tst_StatusViews::calcValidators()
{
    newCalc();
    auto *edit = calc->findChild<QLineEdit *>("statusCode");
    edit->clear();
    QTest::keyClicks(edit, "1aG2fFFFFFFF");
    QCOMPARE(edit->text(), QStringLiteral("1a2fFFFF"));

    calc->findChild<QRadioButton *>("decRadioButton")->click();
    edit->clear();
    QTest::keyClicks(edit, "12ab34567890123");
    QCOMPARE(edit->text(), QStringLiteral("1234567890"));
}

void tst_StatusViews::calcNoSupportedBits()
{
    newCalc(QStringLiteral("FFFFFFFF"), 0xFFFFFFFFu);
    calc->decryptStatus();
    auto *table = calc->findChild<QTableWidget *>("tableWidget");
    QCOMPARE(table->rowCount(), 0);

    // A later mask of 0 empties a filled table too.
    calc->setSupportStatusMask(-1);
    calc->decryptStatus();
    QCOMPARE(table->rowCount(), 5);
    calc->setSupportStatusMask(0);
    calc->decryptStatus();
    QCOMPARE(table->rowCount(), 0);
    QVERIFY(!calc->findChild<QWidget *>("bitN_0"));

    // Only supported bits are shown.
    calc->setSupportStatusMask(0x2);
    calc->decryptStatus();
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(rowOf("Вскрытие"), 0);
    QVERIFY(calc->findChild<QWidget *>("bitN_1"));
    QVERIFY(!calc->findChild<QWidget *>("bitN_0"));
}

void tst_StatusViews::calcNameOnlyBit()
{
    for (const char *code : {"00000020", "00000000"}) {
        newCalc(QString::fromLatin1(code));
        calc->setSupportStatusMask(-1);
        calc->decryptStatus();
        const int row = rowOf("Только имя");
        QVERIFY2(row >= 0, code);
        auto *item = calc->findChild<QTableWidget *>("tableWidget")->item(row, 1);
        QVERIFY2(!item || item->text().isEmpty(), code);
        QVERIFY2(calc->findChild<QWidget *>("bitN_5"), code);
        QVERIFY2(!calc->findChild<QWidget *>("bitN_7"), code);
    }
}

void tst_StatusViews::calcServerBits_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("mainServer");
    QTest::addColumn<bool>("altServer");
    QTest::addColumn<QString>("bit2");
    QTest::addColumn<QString>("bit19");

    // Bit 2 is 0x4, bit 19 is 0x80000.
    QTest::newRow("set, servers given") << "00080004" << true << true << ""
                                        << "";
    QTest::newRow("set, no servers") << "00080004" << false << false << kNotSet << kNotSet;
    QTest::newRow("clear, servers given") << "00000000" << true << true << kNotGiven << kNotGiven;
    QTest::newRow("clear, no servers") << "00000000" << false << false << "Задан"
                                       << "Задан";
    QTest::newRow("set, only main") << "00080004" << true << false << "" << kNotSet;
    QTest::newRow("clear, only alternative") << "00000000" << false << true << "Задан" << kNotGiven;
}

void tst_StatusViews::calcServerBits()
{
    QFETCH(QString, code);
    QFETCH(bool, mainServer);
    QFETCH(bool, altServer);
    QFETCH(QString, bit2);
    QFETCH(QString, bit19);

    newCalc(code);
    calc->setSupportStatusMask(-1);
    // Show the other flag state first, so a cell that must be empty cannot keep an old text.
    calc->setServSettings(!mainServer, !altServer);
    calc->decryptStatus();
    calc->setServSettings(mainServer, altServer);
    calc->decryptStatus();
    QCOMPARE(valueOf("Основной сервер"), bit2);
    QCOMPARE(valueOf("Резервный сервер"), bit19);
}

void tst_StatusViews::calcEventMaskRoundTrip()
{
    // Bits 0, 2 and 19 are events; bit 30 is not shown and must survive.
    const quint32 startMask = 0x40080005u;
    newCalc(QStringLiteral("00000000"), startMask);
    calc->setSupportStatusMask(-1);
    calc->decryptStatus();

    auto box = [this](int bit) -> QCheckBox * {
        auto *container = calc->findChild<QWidget *>(QStringLiteral("bitN_%1").arg(bit));
        return container ? container->findChild<QCheckBox *>() : nullptr;
    };
    const QList<int> shown = {0, 1, 2, 5, 19};
    for (int bit = 0; bit < 32; ++bit) {
        if (!shown.contains(bit)) {
            QVERIFY2(!box(bit), qPrintable(QString::number(bit)));
            continue;
        }
        QVERIFY2(box(bit), qPrintable(QString::number(bit)));
        QCOMPARE(box(bit)->isChecked(), bool((startMask >> bit) & 1u));
    }
    auto *container = calc->findChild<QWidget *>("bitN_19");
    auto *table = calc->findChild<QTableWidget *>("tableWidget");
    QCOMPARE(table->cellWidget(rowOf("Резервный сервер"), 2), container);
    QCOMPARE(container->layout()->contentsMargins(), QMargins());
    QCOMPARE(container->layout()->alignment(), Qt::AlignCenter);

    QTest::mouseClick(box(1), Qt::LeftButton);
    box(0)->click();
    QCOMPARE(calc->statusEventMask(), 0x40080006u);

    // A new decode shows the edited mask, not the one given at construction.
    calc->decryptStatus();
    QVERIFY(box(1)->isChecked());
    QVERIFY(!box(0)->isChecked());

    QSignalSpy spy(calc, &StatusCalc::updateStatusMask);
    calc->show();
    calc->findChild<QToolButton *>("closeStatusCalcButton")->click();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<quint32>(), 0x40080006u);
    runDeferredDeletes();
    QVERIFY(!calc);

    // The next calculator starts from the mask handed back.
    newCalc(QString(), 0x40080006u);
    calc->setSupportStatusMask(-1);
    calc->decryptStatus();
    QVERIFY(box(1)->isChecked());
    QVERIFY(!box(0)->isChecked());
    // Leaving without the close button (Escape) hands nothing back.
    QSignalSpy escSpy(calc, &StatusCalc::updateStatusMask);
    calc->show();
    QTest::keyClick(calc, Qt::Key_Escape);
    QCOMPARE(escSpy.count(), 0);
}

void tst_StatusViews::calcRefreshAsksForCode()
{
    newCalc();
    QSignalSpy spy(calc, &StatusCalc::getStatusCode);
    calc->findChild<QPushButton *>("refreshStatusButton")->click();
    QCOMPARE(spy.count(), 1);

    QTest::ignoreMessage(QtDebugMsg, "Support status mask: 524293");
    calc->setSupportStatusMask(0x80005);
    QCOMPARE(calc->supportStatusMask(), 0x80005u);
}

QTEST_MAIN(tst_StatusViews)
#include "tst_statusviews.moc"
