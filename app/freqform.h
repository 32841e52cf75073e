#pragma once

#include "framelessdialog.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

class QLineEdit;

namespace Ui {
class FreqForm;
}

// The frequency plan of a device with configurable channels: sixteen channel frequencies and
// the second receive window (frequency and data rate). It either shows what the device works on
// or edits the plan; confirming reports only what differs from the values it was opened with.
// Frequencies come in and go out as decimal Hz (as the device keeps them); the fields show and
// take MHz with every Hz digit kept. The dialog deletes itself when closed.
class FreqForm : public FramelessDialog
{
    Q_OBJECT
public:
    static constexpr int channelCount = 16;
    // Band of the configurable frequency plan, Hz.
    static constexpr qint64 minFreqHz = 863000000;
    static constexpr qint64 maxFreqHz = 870000000;

    // "868.1" for 868100000 Hz, "868.1125" for 868112500: MHz without trailing zeros, so no Hz
    // is lost and none is invented.
    static QString mhzText(qint64 hz);
    // The Hz of a MHz text with at most six decimals ("868.1" or "868,1"); false for anything else.
    static bool hzFromMhz(const QString &mhz, qint64 *hz);
    // The frequency with its unit in the current language ("868.1 MHz").
    static QString shownMhz(qint64 hz);

    explicit FreqForm(QWidget *parent = nullptr);
    ~FreqForm() override;

    // Shows the Hz text in channel n (0..15); asReference also makes it the value the channel is
    // compared with on confirmation. A channel without a reference value is never reported.
    void setChannel(int n, const QString &text, bool asReference);
    void setRx2Freq(const QString &text, bool asReference);
    // Pairs of (data value, text) for the RX2 data-rate list; the current choice is kept when
    // the new list has it.
    void setRx2DrItems(const QList<QPair<QString, QString>> &items);
    // Selects the entry whose data value is value (none when the list lacks it).
    void setRx2Dr(const QString &value, bool asReference);
    // Viewing only when false: the fields are disabled and confirmation does nothing.
    void setEditable(bool editable);
    // No plan to show (none read, none reported): every field says why instead of being blank.
    void showNoPlan(const QString &why);
    bool isEditable() const;

    // What the fields hold, in Hz (empty when empty).
    QString channelText(int n) const;
    QString rx2FreqText() const;
    QString rx2DrValue() const;

signals:
    void frequencyChanged(QList<QPair<int, QString>> frequencyList, QString rx2Freq, QString rx2Dr);

public slots:
    // Brings every non-zero frequency into the band and writes it the one way it is shown;
    // empty fields and 0 stay as they are.
    void checkFreq();
    void on_okPushButton_clicked();
    void on_cancelPushButton_clicked();
    void on_closeFreqFormButton_clicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    QList<QLineEdit *> frequencyEdits() const;

    Ui::FreqForm *ui;
    QVector<QLineEdit *> channelEdits;
    QVector<QString> channelRefs; // what each channel was opened with; empty when unknown
    QString rx2FreqRef;
    QString rx2DrRef;
    bool editable = true;
};
