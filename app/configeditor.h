#pragma once

#include "paramvalue.h"

#include <QDomDocument>
#include <QDomElement>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QVector>
#include <functional>

class DB_Worker;
class FreqForm;
class InterfacesPage;
class IoPage;
class LoraPage;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QTimeEdit;
class QWidget;
class SystemPage;
class Vexa701Page;

namespace Ui {
class InterfacesPage;
class IoPage;
class LoraPage;
class SystemPage;
class Vexa701Page;
} // namespace Ui

// Binds the configuration widgets of the model pages to the configuration documents: one table
// of {element, widget, kind} fills the widgets from a document, turns each edit into a pending
// change and applies the show/hide/enable rules; the frequency plan and its dialog live here too.
class ConfigEditor : public QObject
{
    Q_OBJECT
public:
    struct Pages
    {
        LoraPage *lora;
        IoPage *io;
        InterfacesPage *interfaces;
        Vexa701Page *vexa701;
        SystemPage *system;
    };
    using FreqPlan = QList<QPair<int, QString>>;
    // The LoRa page's choice boxes: their item texts also name the values status answers report.
    struct LoraChoices
    {
        const QComboBox *txSpeed;
        const QComboBox *txPower;
        const QComboBox *devClass;
    };

    // dialogParent: the window the frequency plan dialog belongs to.
    ConfigEditor(const Pages &pages, DB_Worker *db, QWidget *dialogParent,
                 QObject *parent = nullptr);

    // Edits made in the widgets are dropped while blocked (a direct recordChange() is not).
    void setChangesBlocked(bool blocked) { changesBlocked = blocked; }

    // Sets the widgets from the elements of a configuration document; records nothing.
    void fill(const QDomElement &root);
    // Records the edit behind a change index (the numbering `MainWindow::changeConfig` takes).
    void recordChange(int changeIndex);
    // Stores the input timings again for the scan period shown.
    void recalcTimings();
    void setInputValidations();
    // The model (its name, "750") decides how many inputs get timings.
    void setModel(const QString &name) { model = name; }
    // The model's choices and which of its widgets are shown, from the device database.
    void fillModelChoices();
    // After a language change: the database's choices and the editor's own texts again, in the
    // new language, showing the same values (current: what the fields held).
    void retranslate(const QDomElement &current);
    // The pages hold widgets this program leaves unused: they stay hidden.
    void hideUnusedWidgets();
    // Back to empty editors and no frequency plan (the time zones stay: they are the computer's).
    void clear();
    // A new read starts the frequency plan afresh.
    void forgetFreqPlan();
    LoraChoices loraChoices() const;

    // Fields whose text cannot be written as it stands (an incomplete key), by their labels.
    QStringList invalidFields() const;
    // What the device holds as read: the "before" of every change. Forgotten with the device.
    void rememberDeviceValues(const QDomElement &root);
    // A pending change as the user reads it: the field's label, the device's value and the new.
    struct ChangeText
    {
        QString label;
        QString before;
        QString after;
    };
    ChangeText describeChange(const QDomElement &pending) const;
    // The name a user reads for an element: its field's label, else the catalogue's.
    QString fieldLabel(const QString &element) const;
    // Marks the fields of the pending elements (true: taken from a file) and unmarks the rest;
    // gives the pages that hold a marked field.
    QList<QWidget *> markPending(const QMap<QString, bool> &pendingFromFile);

    // The frequency plan dialog: to edit the read plan, or to watch the working frequencies.
    void editFreqPlan();
    void showWorkingFreqs();
    void applyFreqPlan(const FreqPlan &plan, const QString &rx2Freq, const QString &rx2Dr);
    void showReportedFreqs(const FreqPlan &plan, const QString &rx2Freq, const QString &rx2Dr);

signals:
    // An element's new attributes, to replace its namesake in both documents.
    void elementChanged(const QString &element, const QList<QPair<QString, QString>> &attrs);
    // Any edit was recorded (also one without a parameter of its own).
    void changeRecorded();

private:
    // The frequency plan's changes, reported by its dialog rather than by widgets of the pages.
    static constexpr int rx2FreqChange = 19;
    static constexpr int rx2DrChange = 20;
    static constexpr int freqChannelsChange = 21;

    // ---- the binding table (configeditor_bindings.cpp)
    enum class Kind { Check, Key, Number, Combo, ComboIndex, Custom };
    using FillRule = std::function<void(const QDomElement &)>;
    using StoreRule = std::function<void()>;
    struct Binding
    {
        Binding(const QString &element, int changeIndex, Kind kind, QWidget *widget,
                const QList<QWidget *> &alsoEdits = {}, FillRule fill = {}, StoreRule store = {})
            : element(element)
            , changeIndex(changeIndex)
            , kind(kind)
            , widget(widget)
            , alsoEdits(alsoEdits)
            , fill(std::move(fill))
            , store(std::move(store))
        {}
        QString element;
        int changeIndex; // -1: filled from documents only
        Kind kind;
        QWidget *widget;            // the value widget of the standard kinds
        QList<QWidget *> alsoEdits; // more widgets whose change records the element
        FillRule fill;              // Custom fill, or a rule after the standard one
        StoreRule store;            // Custom store, or a rule after the standard one
    };
    struct InputWidgets
    {
        QLabel *nameLabel; // "Вход N"
        QLabel *typeLabel;
        QComboBox *type;
        QLabel *modeLabel;
        QComboBox *mode;
        QLineEdit *countDiff;
    };
    struct FixedPointWidgets
    {
        QCheckBox *enable;
        QCheckBox *everyDay;
        QDateEdit *day;
        QTimeEdit *time;
    };

    void buildTable();
    void add(const QString &element, int changeIndex, Kind kind, QWidget *widget,
             const QList<QWidget *> &alsoEdits = {}, FillRule fill = {}, StoreRule store = {})
    {
        table.append(Binding(element, changeIndex, kind, widget, alsoEdits, std::move(fill),
                             std::move(store)));
    }
    void addRx2(const QString &element, int changeIndex, QString *read, const QString *edited);
    void addFields(const QString &element, int changeIndex, const QList<QWidget *> &fieldWidgets);
    void connectEdits();
    void fillStandard(const Binding &b, const QString &value);
    void storeStandard(const Binding &b);
    void store(const QString &element, const QString &hex);
    void storeFixedPoint(int n);
    void storeMeterConfig();
    void storeInputMode(int n);
    void fillMeterConfig(const QDomElement &e);
    void updateFixedPointWidgets(int n);
    QList<QWidget *> meterWidgets() const;
    void enableFreqPlan(bool on);

    // ---- the editor's behaviour around the table (configeditor.cpp)
    void freqFormClosed();
    QList<QPair<QString, QString>> rx2DrItems() const;
    QList<QWidget *> widgetsOf(const Binding &b) const;
    QWidget *pageOf(const QWidget *w) const;
    // The device's value of an element as read, in words ("—" when it has none).
    QString deviceWords(const QString &element, const ParamValue::Vocabulary &vocabulary) const;
    void setInputHints();
    static QString converterMissing();

    QList<QWidget *> pageWidgets;
    Ui::LoraPage *lora;
    Ui::IoPage *io;
    Ui::InterfacesPage *rs;
    Ui::Vexa701Page *v701;
    Ui::SystemPage *sys;
    QVector<InputWidgets> inputs;
    QVector<FixedPointWidgets> points;
    DB_Worker *db;
    QWidget *dialogParent;
    QString model;
    QVector<Binding> table;
    QHash<QString, int> rowOfElement;
    QHash<int, int> rowOfIndex;
    bool changesBlocked = false;
    QSet<QString> invalidElements;
    QDomDocument deviceDoc;

    // Frequency plan as read and as edited, and its dialog.
    FreqPlan freqPlanRead;
    QString rx2FreqRead;
    QString rx2DrRead;
    FreqPlan freqPlanEdited;
    QString rx2FreqEdited;
    QString rx2DrEdited;
    QPointer<FreqForm> freqForm;
    bool freqFormForEditing = false;
};
