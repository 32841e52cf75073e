#include "deferreddelete.h"
#include "guiresources.h"
#include "statuscalc.h"
#include "statusrecords.h"
#include "timeparamsform.h"

#include <QCheckBox>
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

QString labelText(QWidget *form, const char *name)
{
    auto *label = form->findChild<QLabel *>(name);
    return label ? label->text() : QStringLiteral("<no label %1>").arg(name);
}

} // namespace

// The status views: network times, registration details and the status calculator.
class tst_StatusViews : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC-3");
        tzset();
        initGuiResources();
        registerLinkMetaTypes();
    }
    void cleanup() { delete calc; }
    void timeParamsFormats();
    void calcShowsSupportedBits();
    void calcRadix_data();
    void calcRadix();
    void calcServerBits_data();
    void calcServerBits();
    void calcEventMaskRoundTrip();

private:
    StatusCalc *newCalc(const QString &code = QString(), quint32 mask = 0)
    {
        delete calc;
        calc = new StatusCalc(nullptr, code, mask);
        connect(calc, &StatusCalc::getStatusBits, this, [] { return statusBits(); });
        return calc;
    }
    template<class T = QWidget> T *calcChild(const char *name) const
    {
        return calc->findChild<T *>(QLatin1String(name));
    }
    QTableWidget *table() const { return calcChild<QTableWidget>("tableWidget"); }
    // Names of the rows shown, in order.
    QStringList rowNames() const
    {
        QStringList names;
        for (int row = 0; row < table()->rowCount(); ++row)
            names << (table()->item(row, 0) ? table()->item(row, 0)->text() : QString());
        return names;
    }
    QString valueOf(const QString &name) const
    {
        const int row = rowNames().indexOf(name);
        if (row < 0)
            return QStringLiteral("<not shown>");
        return table()->item(row, 1) ? table()->item(row, 1)->text() : QString();
    }

    QPointer<StatusCalc> calc;
};

void tst_StatusViews::timeParamsFormats()
{
    TimeParamsForm form;
    // Local time; the largest unsigned stamp is a date in 2106, not a negative number of seconds.
    NET_TIME_STAT times;
    times.timeStart = someTime;
    times.timeStop = someTime + 3600;
    times.timeLastTx = 1u;
    times.timeLastConfirmAnswer = 0xFFFFFFFFu;
    form.setNetTimes(times);
    QCOMPARE((QStringList{labelText(&form, "timeStart_lbl"), labelText(&form, "timeStop_lbl"),
                          labelText(&form, "timeLastTx_lbl"),
                          labelText(&form, "timeLastConfirmAnswer_lbl")}),
             (QStringList{"13-09-2020 15:26:40", "13-09-2020 16:26:40", "01-01-1970 03:00:01",
                          "07-02-2106 09:28:15"}));

    // A zero stamp keeps what was shown before.
    NET_TIME_STAT next;
    next.timeStart = someTime + 10;
    form.setNetTimes(next);
    QCOMPARE(labelText(&form, "timeStart_lbl"), QStringLiteral("13-09-2020 15:26:50"));
    QCOMPARE(labelText(&form, "timeStop_lbl"), QStringLiteral("13-09-2020 16:26:40"));
}

void tst_StatusViews::calcShowsSupportedBits()
{
    newCalc();
    auto *edit = calcChild<QLineEdit>("statusCode");
    QSignalSpy refresh(calc, &StatusCalc::getStatusCode);
    calcChild<QPushButton>("refreshStatusButton")->click();
    QCOMPARE(refresh.count(), 1);

    // A code from the panel is hex, whatever radix was chosen.
    calc->setSupportStatusMask(-1);
    QCOMPARE(calc->supportStatusMask(), 0xFFFFFFFFu);
    calcChild<QRadioButton>("decRadioButton")->click();
    calc->updateStatusCode(QStringLiteral("0000FF21"));
    QVERIFY(calcChild<QRadioButton>("hexRadioButton")->isChecked());
    QCOMPARE(edit->text(), QStringLiteral("0000FF21"));
    // Bits in table order, the empty list skipped, a name alone shown without a value.
    QCOMPARE(rowNames(), (QStringList{"Питание", "Вскрытие", "Основной сервер", "Только имя",
                                      "Резервный сервер"}));
    QCOMPARE((QStringList{valueOf("Питание"), valueOf("Вскрытие"), valueOf("Только имя")}),
             (QStringList{"Батарея", "Нет", ""}));
    QVERIFY(calcChild("bitN_5") && !calcChild("bitN_7"));

    // Only supported bits; a later mask of 0 empties the filled table.
    calc->setSupportStatusMask(0x2);
    calc->decryptStatus();
    QCOMPARE(rowNames(), QStringList{"Вскрытие"});
    QVERIFY(calcChild("bitN_1") && !calcChild("bitN_0"));
    calc->setSupportStatusMask(0);
    calc->decryptStatus();
    QCOMPARE(table()->rowCount(), 0);
    QVERIFY(!calcChild("bitN_1"));

    // Hex validation applies again after switching back: a decimal-only pattern would refuse it.
    edit->clear();
    QTest::keyClicks(edit, "ab");
    QCOMPARE(edit->text(), QStringLiteral("ab"));
    // An empty text changes nothing.
    calcChild<QRadioButton>("decRadioButton")->click();
    calc->updateStatusCode(QString());
    QVERIFY(calcChild<QRadioButton>("decRadioButton")->isChecked());
    QCOMPARE(edit->text(), QStringLiteral("ab"));
}

void tst_StatusViews::calcRadix_data()
{
    // The parsing rules are the decoder's (tst_statusdecoder); here: the radio buttons choose the
    // radix of the parse and of the edit's validator.
    QTest::addColumn<QString>("typedIn"); // "hex", "dec", or "hex then dec" (switched after)
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // what the validator let through
    QTest::addColumn<QStringList>("powerAndLid");
    const QStringList batteryOpen{"Батарея", "Есть"};
    QTest::newRow("hex text read as decimal")
        << "hex then dec" << QString("FF") << QString("FF") << QStringList{"Внешнее", "Нет"};
    QTest::newRow("decimal two") << "dec" << QString("2") << QString("2")
                                 << QStringList{"Внешнее", "Есть"};
    QTest::newRow("hex digits, eight at most")
        << "hex" << QString("1aG2fFFFFFFF") << QString("1a2fFFFF") << batteryOpen;
    QTest::newRow("decimal digits, ten at most") // 0x499602d2
        << "dec" << QString("12ab34567890123") << QString("1234567890")
        << QStringList{"Внешнее", "Есть"};
}

void tst_StatusViews::calcRadix()
{
    QFETCH(QString, typedIn);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QStringList, powerAndLid);
    newCalc();
    calc->setSupportStatusMask(-1);
    auto *edit = calcChild<QLineEdit>("statusCode");
    if (typedIn == "dec")
        calcChild<QRadioButton>("decRadioButton")->click();
    edit->clear();
    QTest::keyClicks(edit, typed);
    if (typedIn == "hex then dec")
        calcChild<QRadioButton>("decRadioButton")->click();
    QCOMPARE(edit->text(), shown);
    calcChild<QPushButton>("decryptButton")->click();
    QCOMPARE((QStringList{valueOf("Питание"), valueOf("Вскрытие")}), powerAndLid);
}

void tst_StatusViews::calcServerBits_data()
{
    // The texts are the decoder's rule (tst_statusdecoder); here: the settings reach it, and a
    // cell that must be empty keeps no old text.
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("mainServer");
    QTest::addColumn<bool>("altServer");
    QTest::addColumn<QStringList>("bit2AndBit19");
    // Bit 2 is 0x4, bit 19 is 0x80000.
    QTest::newRow("set, servers given") << "00080004" << true << true << QStringList{"", ""};
    QTest::newRow("set, only main") << "00080004" << true << false << QStringList{"", kNotSet};
    QTest::newRow("clear, only alternative")
        << "00000000" << false << true << QStringList{"Задан", kNotGiven};
}

void tst_StatusViews::calcServerBits()
{
    QFETCH(QString, code);
    QFETCH(bool, mainServer);
    QFETCH(bool, altServer);
    QFETCH(QStringList, bit2AndBit19);
    newCalc(code);
    calc->setSupportStatusMask(-1);
    // Show the other flag state first, so a cell that must be empty cannot keep an old text.
    calc->setServSettings(!mainServer, !altServer);
    calc->decryptStatus();
    calc->setServSettings(mainServer, altServer);
    calc->decryptStatus();
    QCOMPARE((QStringList{valueOf("Основной сервер"), valueOf("Резервный сервер")}), bit2AndBit19);
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
    // Which bits get a box is calcShowsSupportedBits'; here: each box shows its bit of the mask.
    for (int bit : {0, 1, 2, 5, 19})
        QCOMPARE(std::make_pair(bit, box(bit)->isChecked()),
                 std::make_pair(bit, bool((startMask >> bit) & 1u)));
    QCOMPARE(table()->cellWidget(rowNames().indexOf("Резервный сервер"), 2), calcChild("bitN_19"));

    QTest::mouseClick(box(1), Qt::LeftButton);
    box(0)->click();
    QCOMPARE(calc->statusEventMask(), 0x40080006u);

    // A new decode shows the edited mask, not the one given at construction.
    calc->decryptStatus();
    QVERIFY(box(1)->isChecked() && !box(0)->isChecked());

    QSignalSpy spy(calc, &StatusCalc::updateStatusMask);
    calc->show();
    calcChild<QToolButton>("closeStatusCalcButton")->click();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<quint32>(), 0x40080006u);
    runDeferredDeletes();
    QVERIFY(!calc);

    // Leaving without the close button (Escape) hands nothing back.
    newCalc();
    QSignalSpy escSpy(calc, &StatusCalc::updateStatusMask);
    calc->show();
    QTest::keyClick(calc, Qt::Key_Escape);
    QCOMPARE(escSpy.count(), 0);
}

QTEST_MAIN(tst_StatusViews)
#include "tst_statusviews.moc"
