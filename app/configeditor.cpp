#include "configeditor.h"

#include "combodata.h"
#include "configwords.h"
#include "db_worker.h"
#include "fieldmarks.h"
#include "freqform.h"
#include "interfacespage.h"
#include "iopage.h"
#include "lorapage.h"
#include "paramcodec.h"
#include "systempage.h"
#include "timezonelist.h"
#include "vexa701page.h"

#include "ui_interfacespage.h"
#include "ui_iopage.h"
#include "ui_lorapage.h"
#include "ui_systempage.h"
#include "ui_vexa701page.h"

#include <QDebug>
#include <QRegularExpressionValidator>
#include <QTimeZone>

#include <algorithm>
#include <limits>
#include <utility>

namespace {
// The region list's entry that opens the plan for editing (an index, not the region's data).
constexpr int customPlanRegionIndex = 3;

const char *const hexDigits = "[A-Fa-f0-9]+";
const char *const decimalDigits = "[\\d]+";

// Combo items from form elements "text:data"; an element without ":" has empty data.
void fillCombo(QComboBox *box, const QStringList &elements)
{
    for (const QString &e : elements) {
        const int colon = e.lastIndexOf(QLatin1Char(':'));
        if (colon < 0)
            box->addItem(e, QString());
        else
            box->addItem(e.left(colon), e.mid(colon + 1));
    }
}

// A widget that is not used goes; its group goes too once nothing in it is left to show.
void hideWithEmptyGroup(QWidget *w)
{
    w->hide();
    if (auto *group = qobject_cast<QGroupBox *>(w->parentWidget())) {
        const auto children = group->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
        if (std::all_of(children.begin(), children.end(), [](QWidget *c) { return c->isHidden(); }))
            group->hide();
    }
}

void setValidator(QLineEdit *edit, const char *re)
{
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QLatin1String(re)), edit));
}
} // namespace

ConfigEditor::ConfigEditor(const Pages &pages, DB_Worker *db, QWidget *dialogParent,
                           QObject *parent)
    : QObject(parent)
    , pageWidgets{pages.lora, pages.io, pages.interfaces, pages.vexa701, pages.system}
    , lora(pages.lora->ui)
    , io(pages.io->ui)
    , rs(pages.interfaces->ui)
    , v701(pages.vexa701->ui)
    , sys(pages.system->ui)
    , inputs{{io->input0Label, io->inType0Label, io->inType0comboBox, io->inMode0Label,
              io->inMode0comboBox, io->countDiff0LineEdit},
             {io->input1Label, io->inType1Label, io->inType1comboBox, io->inMode1Label,
              io->inMode1comboBox, io->countDiff1LineEdit},
             {io->input2Label, io->inType2Label, io->inType2comboBox, io->inMode2Label,
              io->inMode2comboBox, io->countDiff2LineEdit},
             {io->input3Label, io->inType3Label, io->inType3comboBox, io->inMode3Label,
              io->inMode3comboBox, io->countDiff3LineEdit},
             {io->input4Label, io->inType4Label, io->inType4comboBox, io->inMode4Label,
              io->inMode4comboBox, io->countDiff4LineEdit},
             {io->input5Label, io->inType5Label, io->inType5comboBox, io->inMode5Label,
              io->inMode5comboBox, io->countDiff5LineEdit}}
    , points{{sys->enableFixPoint0CheckBox, sys->pointFixEveryDay0CheckBox,
              sys->pointFixDay0DateEdit, sys->pointFixTime0TimeEdit},
             {sys->enableFixPoint1CheckBox, sys->pointFixEveryDay1CheckBox,
              sys->pointFixDay1DateEdit, sys->pointFixTime1TimeEdit},
             {sys->enableFixPoint2CheckBox, sys->pointFixEveryDay2CheckBox,
              sys->pointFixDay2DateEdit, sys->pointFixTime2TimeEdit},
             {sys->enableFixPoint3CheckBox, sys->pointFixEveryDay3CheckBox,
              sys->pointFixDay3DateEdit, sys->pointFixTime3TimeEdit},
             {sys->enableFixPoint4CheckBox, sys->pointFixEveryDay4CheckBox,
              sys->pointFixDay4DateEdit, sys->pointFixTime4TimeEdit},
             {sys->enableFixPoint5CheckBox, sys->pointFixEveryDay5CheckBox,
              sys->pointFixDay5DateEdit, sys->pointFixTime5TimeEdit}}
    , db(db)
    , dialogParent(dialogParent)
{
    buildTable();
    // The time zones are the computer's, from the most western to the most eastern; they are
    // listed before edits are watched, so listing them records nothing.
    for (const QByteArray &id : utcOffsetZoneIds(QTimeZone::availableTimeZoneIds()))
        sys->timeZoneComboBox->addItem(QString::fromLatin1(id));
    rs->meteringDevStackedWidget->setCurrentIndex(0);
    connectEdits();
}

// ---- filling ------------------------------------------------------------------------------------

void ConfigEditor::fill(const QDomElement &root)
{
    const bool wasBlocked = changesBlocked;
    changesBlocked = true;
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        const auto row = rowOfElement.constFind(e.tagName());
        if (row == rowOfElement.constEnd())
            continue;
        const Binding &b = table[*row];
        if (b.kind != Kind::Custom)
            fillStandard(b, e.attribute(QStringLiteral("param")));
        // A value from the device or a file replaces what was typed wrong.
        invalidElements.remove(b.element);
        if (b.widget)
            FieldMarks::setProblem(b.widget, FieldMarks::Problem::None);
        if (b.fill)
            b.fill(e);
    }
    changesBlocked = wasBlocked;
}

// ---- recording edits ---------------------------------------------------------------------------

void ConfigEditor::recordChange(int changeIndex)
{
    const auto row = rowOfIndex.constFind(changeIndex);
    if (row != rowOfIndex.constEnd()) {
        const Binding &b = table[*row];
        if (b.kind != Kind::Custom)
            storeStandard(b);
        if (b.store)
            b.store();
    }
    emit changeRecorded();
}

// ---- the model's widgets ------------------------------------------------------------------------

void ConfigEditor::fillModelChoices()
{
    QList<QComboBox *> combos{
        lora->txSpeedComboBox,   lora->txPowerComboBox,    lora->regionComboBox,
        lora->devClassComboBox,  sys->protocolComboBox,    rs->rsSpeedComboBox,
        rs->rsParityComboBox,    rs->ctsRtsModeComboBox,   rs->rsAnswerModeComboBox,
        rs->meteringDevComboBox, sys->timePointComboBox,   sys->removeConfirmNetComboBox,
        rs->rsSourseComboBox,    rs->rsToUsbSpeedComboBox, v701->pulseCounModeComboBox};
    for (const InputWidgets &in : std::as_const(inputs))
        combos << in.type << in.mode;
    // The database knows each list by its widget's name.
    for (QComboBox *box : std::as_const(combos)) {
        const QSignalBlocker blocker(box);
        box->clear(); // a second device must not add its choices to the first one's
        fillCombo(box, db->getFormElements(box->objectName()));
        // The longest choice of the model, in the language shown, is readable in full.
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    }

    for (const InputWidgets &in : std::as_const(inputs)) {
        const bool hasType = in.type->count() > 0;
        for (QWidget *w : {static_cast<QWidget *>(in.type), static_cast<QWidget *>(in.typeLabel),
                           static_cast<QWidget *>(in.countDiff)})
            w->setVisible(hasType);
        const bool hasMode = in.mode->count() > 0;
        in.mode->setVisible(hasMode);
        in.modeLabel->setVisible(hasMode);
        // An input the model does not have is not listed at all.
        in.nameLabel->setVisible(hasType || hasMode);
    }

    auto firstIsTrue = [this](QWidget *w) {
        return db->getFormElements(w->objectName()).value(0) == QLatin1String("true");
    };
    const bool rsToUsb = firstIsTrue(rs->rsToUsbGroupBox);
    rs->rsToUsbGroupBox->setVisible(rsToUsb);
    rs->rsToUsbGroupBox->setEnabled(rsToUsb);
    FieldMarks::setEnabledWhy(rs->rsToUsbButton, rsToUsb, converterMissing());
    for (QWidget *w : {static_cast<QWidget *>(lora->enPower20dbmCheckBox),
                       static_cast<QWidget *>(sys->pointFixCountGroupBox),
                       static_cast<QWidget *>(io->countDiff1LineEdit)})
        w->setEnabled(firstIsTrue(w));
    lora->txConfirmCheckBox->setEnabled(
        db->getFormElements(lora->txConfirmCheckBox->objectName()).value(0) !=
        QLatin1String("false"));
}

void ConfigEditor::retranslate(const QDomElement &current)
{
    fillModelChoices();
    setInputHints();
    // The device's values are said in the new language too.
    if (!deviceDoc.documentElement().isNull()) {
        const QDomDocument device = deviceDoc.cloneNode(true).toDocument();
        fill(device.documentElement());
        rememberDeviceValues(device.documentElement());
    }
    fill(current);
}

QString ConfigEditor::converterMissing()
{
    return tr("Это устройство не поддерживает режим преобразователя интерфейсов");
}

void ConfigEditor::hideUnusedWidgets()
{
    for (QWidget *w :
         {static_cast<QWidget *>(rs->rsToUsbGroupBox), static_cast<QWidget *>(lora->appPort_lbl),
          static_cast<QWidget *>(lora->appPortLineEdit), static_cast<QWidget *>(io->scanPeriod_lbl),
          static_cast<QWidget *>(io->scanPeriodLineEdit), static_cast<QWidget *>(sys->protocol_lbl),
          static_cast<QWidget *>(sys->protocolComboBox),
          static_cast<QWidget *>(io->savaEveryVal_lbl),
          static_cast<QWidget *>(io->savaEveryValLine),
          static_cast<QWidget *>(io->savaEveryTimes_lbl),
          static_cast<QWidget *>(io->savaEveryTimesLine)})
        hideWithEmptyGroup(w);
    // Offered once the identified model is known to have the converter mode.
    FieldMarks::setEnabledWhy(rs->rsToUsbButton, false, converterMissing());
}

void ConfigEditor::setInputValidations()
{
    for (QLineEdit *e :
         {lora->deviceEui_line, lora->appEui_line, lora->appKey_line, lora->netIdLineEdit,
          lora->abpDevAdrline, lora->netSKeyline, lora->appSKeyline})
        setValidator(e, hexDigits);
    const QList<QLineEdit *> serialTimes{rs->rts01TimeLineEdit,      rs->rts10TimeLineEdit,
                                         rs->ctsTimeLineEdit,        rs->onAboveOffTimeLineEdit,
                                         rs->waitAnswerTimeLineEdit, rs->waitEndAnswerTimeLineEdit,
                                         rs->onTimeLineEdit,         rs->rsRepeatLineEdit};
    const QList<QLineEdit *> merc206{rs->merc206Adr1LineEdit, rs->merc206Adr2LineEdit,
                                     rs->merc206Adr3LineEdit, rs->merc206Adr4LineEdit,
                                     rs->merc206Adr5LineEdit, rs->merc206Adr6LineEdit};
    QList<QLineEdit *> digits{lora->nbTrialsLineEdit,
                              lora->txPeriodLineEdit,
                              lora->keepAliveLine,
                              lora->appPortLineEdit,
                              io->scanPeriodLineEdit,
                              io->savaEveryValLine,
                              io->savaEveryTimesLine,
                              v701->ambientLightLevelLineEdit,
                              rs->merc23XNetAdrLineEdit,
                              rs->merch23XUserPassLineEdit,
                              rs->merch234MasterPassLineEdit,
                              rs->tem104NetAdrLineEdit,
                              rs->set4tmNetAdrLineEdit,
                              rs->set4tmPassLineEdit,
                              rs->mt137Sn1LineEdit,
                              rs->mt137Sn2LineEdit,
                              rs->mt137Sn3LineEdit,
                              rs->mt137Sn4LineEdit,
                              rs->mt137Sn5LineEdit,
                              rs->mt137Sn6LineEdit,
                              rs->mt137Sn7LineEdit,
                              rs->mt137Sn8LineEdit,
                              rs->spt943NetAdr1LineEdit,
                              rs->spt943NetAdr2LineEdit,
                              rs->spt943NetAdr3LineEdit,
                              rs->spt943NetAdr4LineEdit,
                              rs->spt943TvCh1LineEdit,
                              rs->spt943TvCh2LineEdit,
                              rs->spt943TvCh3LineEdit,
                              rs->spt943TvCh4LineEdit};
    digits << serialTimes << merc206;
    for (const InputWidgets &in : std::as_const(inputs))
        digits << in.countDiff;
    for (QLineEdit *e : std::as_const(digits))
        setValidator(e, decimalDigits);

    // A key field takes no more digits than the key has.
    for (const Binding &b : std::as_const(table)) {
        if (b.kind == Kind::Key)
            static_cast<QLineEdit *>(b.widget)->setMaxLength(
                2 * ParamCatalogue::byElement(b.element)->bytes);
    }
    setInputHints();
    for (QLineEdit *e : serialTimes)
        e->setMaxLength(5);
    for (QLineEdit *e :
         {rs->merc23XNetAdrLineEdit, rs->vkt7_NetAdrLineEdit, rs->merc23XNetAdrLineEdit_0,
          rs->merc23XNetAdrLineEdit_1, rs->merc23XNetAdrLineEdit_2, rs->merc23XNetAdrLineEdit_3,
          rs->merc23XNetAdrLineEdit_4, rs->merc23XNetAdrLineEdit_5})
        e->setMaxLength(3);
    rs->merch23XSnLineEdit->setMaxLength(12);
    for (QLineEdit *e :
         {rs->merch23XUserPassLineEdit, rs->merch234MasterPassLineEdit, rs->set4tmPassLineEdit,
          rs->se303PassLineEdit, rs->merch23XUserPassLineEdit_0, rs->merch23XUserPassLineEdit_1,
          rs->merch23XUserPassLineEdit_2, rs->merch23XUserPassLineEdit_3,
          rs->merch23XUserPassLineEdit_4, rs->merch23XUserPassLineEdit_5})
        e->setMaxLength(6);
    for (QLineEdit *e : merc206)
        e->setMaxLength(8);
}

void ConfigEditor::clear()
{
    for (QWidget *page : std::as_const(pageWidgets)) {
        for (auto *e : page->findChildren<QLineEdit *>()) {
            const QSignalBlocker b(e);
            e->clear();
        }
        for (auto *c : page->findChildren<QCheckBox *>()) {
            const QSignalBlocker b(c);
            c->setChecked(false);
        }
        for (auto *c : page->findChildren<QComboBox *>()) {
            if (c == sys->timeZoneComboBox)
                continue;
            const QSignalBlocker b(c);
            c->clear();
        }
    }
    forgetFreqPlan();
    rx2FreqRead.clear();
    rx2DrRead.clear();
    invalidElements.clear();
    deviceDoc.clear();
    for (const Binding &b : std::as_const(table)) {
        if (b.widget)
            FieldMarks::setProblem(b.widget, FieldMarks::Problem::None);
    }
    markPending({});
}

// ---- frequency plan ----------------------------------------------------------------------------

void ConfigEditor::forgetFreqPlan()
{
    freqPlanRead.clear();
    freqPlanEdited.clear();
    rx2FreqEdited.clear();
    rx2DrEdited.clear();
}

ConfigEditor::LoraChoices ConfigEditor::loraChoices() const
{
    return {lora->txSpeedComboBox, lora->txPowerComboBox, lora->devClassComboBox};
}

QList<QPair<QString, QString>> ConfigEditor::rx2DrItems() const
{
    QList<QPair<QString, QString>> items;
    const QComboBox *speed = lora->txSpeedComboBox;
    for (int i = 0; i < speed->count(); ++i)
        items.append({speed->itemData(i).toString(), speed->itemText(i)});
    return items;
}

void ConfigEditor::editFreqPlan()
{
    if (freqForm)
        return;
    freqFormForEditing = true;
    freqForm = new FreqForm(dialogParent);
    freqForm->setEditable(lora->regionComboBox->currentIndex() == customPlanRegionIndex);
    if (freqPlanRead.isEmpty())
        freqForm->showNoPlan(tr("Устройство не сообщило частотный план"));
    for (const auto &channel : std::as_const(freqPlanRead))
        freqForm->setChannel(channel.first, channel.second, true);
    freqForm->setRx2Freq(rx2FreqRead, true);
    freqForm->setRx2DrItems(rx2DrItems());
    freqForm->setRx2Dr(rx2DrRead, true);
    for (const auto &channel : std::as_const(freqPlanEdited))
        freqForm->setChannel(channel.first, channel.second, false);
    if (!rx2FreqEdited.isEmpty())
        freqForm->setRx2Freq(rx2FreqEdited, false);
    if (!rx2DrEdited.isEmpty())
        freqForm->setRx2Dr(rx2DrEdited, false);
    connect(freqForm, &QObject::destroyed, this, &ConfigEditor::freqFormClosed);
    connect(freqForm, &FreqForm::frequencyChanged, this, &ConfigEditor::applyFreqPlan);
    freqForm->show();
}

void ConfigEditor::showWorkingFreqs()
{
    if (freqForm)
        return;
    freqForm = new FreqForm(dialogParent);
    freqForm->setEditable(false);
    // Filled when the device reports its working frequencies; until then, and for a device that
    // does not, the fields say so.
    freqForm->showNoPlan(tr("Рабочие частоты не получены от устройства"));
    connect(freqForm, &QObject::destroyed, this, &ConfigEditor::freqFormClosed);
    freqForm->show();
}

void ConfigEditor::freqFormClosed()
{
    freqForm = nullptr;
    freqFormForEditing = false;
}

void ConfigEditor::applyFreqPlan(const FreqPlan &plan, const QString &rx2Freq, const QString &rx2Dr)
{
    for (const auto &f : plan)
        qDebug().noquote() << "FR NUM: " << f.first << " freq: " << f.second;
    freqPlanEdited = plan;
    recordChange(freqChannelsChange);
    if (!rx2Freq.isEmpty()) {
        rx2FreqEdited = rx2Freq;
        qDebug().noquote() << "RX2 Freq: " << rx2Freq;
        recordChange(rx2FreqChange);
    }
    if (!rx2Dr.isEmpty()) {
        rx2DrEdited = rx2Dr;
        qDebug().noquote() << "RX2 DR: " << rx2Dr;
        recordChange(rx2DrChange);
    }
}

void ConfigEditor::showReportedFreqs(const FreqPlan &plan, const QString &rx2Freq,
                                     const QString &rx2Dr)
{
    if (!freqForm || freqFormForEditing)
        return;
    for (const auto &channel : plan)
        freqForm->setChannel(channel.first, channel.second, true);
    freqForm->setRx2Freq(rx2Freq, true);
    freqForm->setRx2DrItems(rx2DrItems());
    freqForm->setRx2Dr(rx2Dr, true);
}

// ---- what is pending, and what is wrong -----------------------------------------------------

void ConfigEditor::setInputHints()
{
    for (const Binding &b : std::as_const(table)) {
        if (!b.widget)
            continue;
        if (b.kind == Kind::Key) {
            FieldMarks::setHint(b.widget,
                                tr("%1 шестнадцатеричных цифр (0-9, A-F)")
                                    .arg(2 * ParamCatalogue::byElement(b.element)->bytes));
            continue;
        }
        qint64 min = 0;
        qint64 max = 0;
        if (b.element.startsWith(QLatin1String("count_diff_")))
            FieldMarks::setHint(b.widget, tr("0 — выключено, иначе от %1 до %2")
                                              .arg(ParamCodec::clampTyped(b.element, 1))
                                              .arg(ParamCodec::clampTyped(
                                                  b.element, std::numeric_limits<qint64>::max())));
        else if (b.kind == Kind::Number && ParamCodec::numberRange(b.element, &min, &max))
            FieldMarks::setHint(b.widget, tr("Допустимо: от %1 до %2").arg(min).arg(max));
    }
}

QStringList ConfigEditor::invalidFields() const
{
    QStringList labels;
    for (const QString &element : invalidElements)
        labels << FieldMarks::labelOf(table[rowOfElement.value(element)].widget);
    labels.sort();
    return labels;
}

QList<QWidget *> ConfigEditor::widgetsOf(const Binding &b) const
{
    QList<QWidget *> widgets;
    if (b.widget)
        widgets << b.widget;
    return widgets + b.alsoEdits;
}

QWidget *ConfigEditor::pageOf(const QWidget *w) const
{
    for (QWidget *page : pageWidgets) {
        if (page->isAncestorOf(w))
            return page;
    }
    return nullptr;
}

void ConfigEditor::rememberDeviceValues(const QDomElement &root)
{
    deviceDoc = QDomDocument();
    deviceDoc.appendChild(deviceDoc.importNode(root, true));
}

QString ConfigEditor::deviceWords(const QString &element,
                                  const ParamValue::Vocabulary &vocabulary) const
{
    const QDomElement e = deviceDoc.documentElement().firstChildElement(element);
    return e.isNull() ? QStringLiteral("—")
                      : ConfigWords::valueOf(e, ConfigWords::interfaceLanguage, vocabulary);
}

QString ConfigEditor::fieldLabel(const QString &element) const
{
    const auto row = rowOfElement.constFind(element);
    return row != rowOfElement.constEnd() && table[*row].widget
               ? FieldMarks::labelOf(table[*row].widget)
               : ParamLabels::label(element, ConfigWords::interfaceLanguage);
}

ConfigEditor::ChangeText ConfigEditor::describeChange(const QDomElement &pending) const
{
    // The values in the words the command line and the reports use; the label the field's own.
    const QString name = pending.tagName();
    const ParamValue::Vocabulary words = ConfigWords::vocabularyOf(*db);
    ChangeText text;
    text.label = fieldLabel(name);
    text.after = ConfigWords::valueOf(pending, ConfigWords::interfaceLanguage, words);
    text.before = deviceWords(name, words);
    return text;
}

QList<QWidget *> ConfigEditor::markPending(const QMap<QString, bool> &pendingFromFile)
{
    QList<QWidget *> pages;
    const ParamValue::Vocabulary words = ConfigWords::vocabularyOf(*db);
    const auto mark = [&](QWidget *w, const QString &element) {
        const auto it = pendingFromFile.constFind(element);
        if (it == pendingFromFile.constEnd()) {
            FieldMarks::setPending(w, FieldMarks::Pending::None);
            return;
        }
        if (*it)
            FieldMarks::setPending(w, FieldMarks::Pending::FromFile,
                                   tr("из файла, не записано в устройство"));
        else
            FieldMarks::setPending(w, FieldMarks::Pending::Edited,
                                   tr("изменено, не записано в устройство (в устройстве: %1)")
                                       .arg(deviceWords(element, words)));
        if (QWidget *page = pageOf(w); page && !pages.contains(page))
            pages << page;
    };
    for (const Binding &b : std::as_const(table)) {
        for (QWidget *w : widgetsOf(b))
            mark(w, b.element);
    }
    // The frequency plan is edited behind its button.
    QString plan;
    for (auto it = pendingFromFile.constBegin(); it != pendingFromFile.constEnd(); ++it) {
        if (it.key().startsWith(QLatin1String("freq_channel_")) ||
            it.key().startsWith(QLatin1String("rx2_")))
            plan = it.key();
    }
    mark(lora->viewEditFreqpushButton, plan);
    return pages;
}
