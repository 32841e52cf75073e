// ConfigEditor's binding table: which widget shows which configuration element and of what kind,
// how each kind is filled from a document and stored back as a change, and the rules that go with
// some elements. The editor's behaviour around the table lives in configeditor.cpp.
#include "configeditor.h"

#include "combodata.h"
#include "db_worker.h"
#include "fieldmarks.h"
#include "paramcodec.h"

#include "ui_interfacespage.h"
#include "ui_iopage.h"
#include "ui_lorapage.h"
#include "ui_systempage.h"
#include "ui_vexa701page.h"

#include <QDateTime>
#include <QTimeZone>

#include <limits>
#include <utility>

namespace {
// The region whose frequency plan the user sets himself.
constexpr int customPlanRegion = 3;
constexpr int maxFreqChannels = 16;
constexpr int inputCount = 6;
constexpr int fixedPointCount = 6;

QString num(qint64 n)
{
    return QString::number(n);
}

int hexValue(const QString &hex)
{
    return hex.toInt(nullptr, 16);
}

// Hex text of a number, as wide as the element (or its field) is on the wire.
QString hexFor(const QString &element, quint64 value, int field = -1)
{
    const ParamCatalogue::Param *p = ParamCatalogue::byElement(element);
    if (!p)
        return QString();
    return ParamCodec::hexNumber(value, field < 0 ? p->bytes : p->fields.value(field).bytes);
}

void selectByData(QComboBox *box, qint64 value)
{
    const int index = indexForNumericData(box, value);
    if (index >= 0)
        box->setCurrentIndex(index);
}

qint64 comboData(const QComboBox *box)
{
    return box->currentData().toString().toLongLong();
}
} // namespace

// ---- the table ----------------------------------------------------------------------------------

// The change indices are those `recordChange(int)` has always taken.
void ConfigEditor::buildTable()
{
    add(
        QStringLiteral("otaa_activation"), 0, Kind::Custom, lora->otaaRadioButton,
        {lora->abpRadioButton},
        [this](const QDomElement &e) {
            const bool otaa = hexValue(e.attribute(QStringLiteral("param"))) == 1;
            lora->otaaRadioButton->setChecked(otaa);
            lora->abpRadioButton->setChecked(!otaa);
        },
        [this] {
            store(QStringLiteral("otaa_activation"),
                  lora->otaaRadioButton->isChecked() ? QStringLiteral("01") : QStringLiteral("00"));
        });
    add(QStringLiteral("private"), 1, Kind::Check, lora->usePrivatecheCkBox);
    // With ADR on, the network chooses the data rate.
    const auto adrRule = [this] {
        FieldMarks::setEnabledWhy(lora->txSpeedComboBox, !lora->useAdrCheckBox->isChecked(),
                                  tr("Скорость выбирает сеть: включен ADR"));
    };
    add(
        QStringLiteral("use_adr"), 2, Kind::Check, lora->useAdrCheckBox, {},
        [adrRule](const QDomElement &) { adrRule(); }, adrRule);
    const QList<QPair<const char *, QLineEdit *>> keys{
        {"dev_eui", lora->deviceEui_line},     {"app_eui", lora->appEui_line},
        {"app_key", lora->appKey_line},        {"net_id", lora->netIdLineEdit},
        {"net_dev_adr", lora->abpDevAdrline},  {"net_service_key", lora->netSKeyline},
        {"app_service_key", lora->appSKeyline}};
    for (int k = 0; k < keys.size(); ++k)
        add(QLatin1String(keys[k].first), 3 + k, Kind::Key, keys[k].second);
    add(QStringLiteral("tx_period"), 10, Kind::Number, lora->txPeriodLineEdit);
    add(QStringLiteral("tx_dr"), 11, Kind::Combo, lora->txSpeedComboBox);
    add(QStringLiteral("tx_power"), 12, Kind::Combo, lora->txPowerComboBox);
    add(QStringLiteral("ldc"), 13, Kind::Check, lora->useTxControlCheckBox);
    // Only the custom region has a plan to edit.
    add(
        QStringLiteral("region"), 14, Kind::Combo, lora->regionComboBox, {},
        [this](const QDomElement &e) {
            enableFreqPlan(hexValue(e.attribute(QStringLiteral("param"))) == customPlanRegion);
        },
        [this] { enableFreqPlan(comboData(lora->regionComboBox) == customPlanRegion); });
    add(QStringLiteral("dev_class"), 15, Kind::Combo, lora->devClassComboBox);
    add(QStringLiteral("nb_trials"), 16, Kind::Number, lora->nbTrialsLineEdit);
    add(QStringLiteral("tx_confirm"), 17, Kind::Check, lora->txConfirmCheckBox);
    add(QStringLiteral("check_connect"), 18, Kind::Number, lora->keepAliveLine);

    // The frequency plan has no widgets here: its dialog reports the edits.
    addRx2(QStringLiteral("rx2_freq"), rx2FreqChange, &rx2FreqRead, &rx2FreqEdited);
    addRx2(QStringLiteral("rx2_dr"), rx2DrChange, &rx2DrRead, &rx2DrEdited);
    add(QString(), freqChannelsChange, Kind::Custom, nullptr, {}, nullptr, [this] {
        int stored = 0;
        for (const auto &channel : std::as_const(freqPlanEdited)) {
            if (channel.second.isEmpty() || stored >= maxFreqChannels)
                continue;
            const QString element = QStringLiteral("freq_channel_%1").arg(channel.first);
            store(element, hexFor(element, channel.second.toULongLong()));
            ++stored;
        }
    });
    for (int n = 0; n < maxFreqChannels; ++n)
        add(QStringLiteral("freq_channel_%1").arg(n), -1, Kind::Custom, nullptr, {},
            [this, n](const QDomElement &e) {
                // Filled again (after a language change, say), a channel keeps one entry.
                const QString hz = num(e.attribute(QStringLiteral("param")).toUInt(nullptr, 16));
                for (auto &channel : freqPlanRead) {
                    if (channel.first == n) {
                        channel.second = hz;
                        return;
                    }
                }
                freqPlanRead.append(qMakePair(n, hz));
            });

    add(QStringLiteral("en_power_20dbm"), 22, Kind::Check, lora->enPower20dbmCheckBox);
    add(QStringLiteral("app_port"), 23, Kind::Number, lora->appPortLineEdit);
    add(QStringLiteral("scan_period"), 24, Kind::Number, io->scanPeriodLineEdit, {}, nullptr,
        [this] { recalcTimings(); });
    add(QStringLiteral("protocol"), 25, Kind::Combo, sys->protocolComboBox);
    add(QStringLiteral("save_every_values"), 26, Kind::Number, io->savaEveryValLine);
    add(QStringLiteral("save_every_times"), 27, Kind::Number, io->savaEveryTimesLine);
    for (int n = 0; n < inputCount; ++n) {
        add(QStringLiteral("type_level_%1").arg(n), 28 + n, Kind::Combo, inputs[n].type);
        // An input switched off has no type and no counter step.
        add(
            QStringLiteral("type_input_%1").arg(n), 34 + n, Kind::Combo, inputs[n].mode, {},
            [this, n](const QDomElement &e) {
                const bool on = hexValue(e.attribute(QStringLiteral("param"))) != 0;
                inputs[n].type->setEnabled(on);
                inputs[n].countDiff->setEnabled(on);
            },
            [this, n] { storeInputMode(n); });
        add(QStringLiteral("count_diff_%1").arg(n), 67 + n, Kind::Number, inputs[n].countDiff);
    }

    add(
        QStringLiteral("rs_settings"), 51, Kind::Custom, rs->rsSpeedComboBox,
        {rs->rsParityComboBox},
        [this](const QDomElement &e) {
            const int i = rs->rsSpeedComboBox->findText(
                num(e.attribute(QStringLiteral("rs_speed")).toUInt(nullptr, 16)));
            if (i >= 0)
                rs->rsSpeedComboBox->setCurrentIndex(i);
            selectByData(rs->rsParityComboBox,
                         e.attribute(QStringLiteral("rs_parity")).toLongLong(nullptr, 16));
        },
        [this] {
            // The device takes 8 data bits and 1 stop bit whatever these fields say.
            const QString element = QStringLiteral("rs_settings");
            emit elementChanged(
                element, {{QStringLiteral("rs_speed"),
                           hexFor(element, rs->rsSpeedComboBox->currentText().toULongLong(), 0)},
                          {QStringLiteral("rs_data_bits"), QStringLiteral("00")},
                          {QStringLiteral("rs_parity"),
                           hexFor(element, quint64(comboData(rs->rsParityComboBox)), 2)},
                          {QStringLiteral("rs_stop_bits"), QStringLiteral("00")}});
        });
    addFields(QStringLiteral("crts_settings"), 52,
              {rs->ctsRtsModeComboBox, rs->rts01TimeLineEdit, rs->rts10TimeLineEdit,
               rs->ctsTimeLineEdit});
    addFields(QStringLiteral("rs_timings"), 53,
              {rs->onAboveOffTimeLineEdit, rs->waitAnswerTimeLineEdit,
               rs->waitEndAnswerTimeLineEdit, rs->onTimeLineEdit});
    add(QStringLiteral("rs_repeat"), 54, Kind::Number, rs->rsRepeatLineEdit);
    add(QStringLiteral("answer_mode"), 55, Kind::Combo, rs->rsAnswerModeComboBox);
    add(
        QStringLiteral("rs_meter_config"), 56, Kind::Custom, rs->meteringDevComboBox,
        meterWidgets(), [this](const QDomElement &e) { fillMeterConfig(e); },
        [this] { storeMeterConfig(); });
    add(QStringLiteral("interface_type"), -1, Kind::Custom, nullptr, {},
        [this](const QDomElement &e) {
            // Flow control and parity exist on RS-232 only.
            const bool rs232 = hexValue(e.attribute(QStringLiteral("param"))) == 1;
            rs->interfaceLbl->setText(rs232 ? QStringLiteral("RS-232") : QStringLiteral("RS-485"));
            for (QWidget *w : {static_cast<QWidget *>(rs->rsParityComboBox),
                               static_cast<QWidget *>(rs->ctsRtsModeComboBox),
                               static_cast<QWidget *>(rs->rts01TimeLineEdit),
                               static_cast<QWidget *>(rs->rts10TimeLineEdit),
                               static_cast<QWidget *>(rs->ctsTimeLineEdit)})
                w->setEnabled(rs232);
        });

    add(
        QStringLiteral("time_zone"), 58, Kind::Custom, sys->timeZoneComboBox, {},
        [this](const QDomElement &e) {
            const int offset = ParamCodec::timeZoneOffset(e.attribute(QStringLiteral("param")));
            QComboBox *zones = sys->timeZoneComboBox;
            const QDateTime now = QDateTime::currentDateTimeUtc();
            for (int i = 0; i < zones->count(); ++i) {
                if (QTimeZone(zones->itemText(i).toLatin1()).offsetFromUtc(now) == offset) {
                    zones->setCurrentIndex(i);
                    break;
                }
            }
        },
        [this] {
            store(
                QStringLiteral("time_zone"),
                ParamCodec::timeZoneText(QTimeZone(sys->timeZoneComboBox->currentText().toLatin1())
                                             .offsetFromUtc(QDateTime::currentDateTimeUtc())));
        });
    add(QStringLiteral("remove_confirm_net"), 59, Kind::Combo, sys->removeConfirmNetComboBox);
    add(QStringLiteral("time_point"), 60, Kind::Combo, sys->timePointComboBox);
    for (int n = 0; n < fixedPointCount; ++n) {
        const FixedPointWidgets &w = points[n];
        add(
            QStringLiteral("time_fix_%1").arg(n), 61 + n, Kind::Custom, w.enable,
            {w.day, w.everyDay, w.time},
            [this, n](const QDomElement &e) {
                const ParamCodec::FixedPoint fp =
                    ParamCodec::fixedPointFromText(e.attribute(QStringLiteral("param")));
                points[n].enable->setChecked(fp.enabled);
                points[n].everyDay->setChecked(fp.everyDay);
                points[n].day->setDate(QDate(2000, 1, fp.day));
                points[n].time->setTime(fp.time);
                updateFixedPointWidgets(n);
            },
            [this, n] { storeFixedPoint(n); });
    }
    add(QStringLiteral("pulse_counting_mode"), 73, Kind::ComboIndex, v701->pulseCounModeComboBox);
    add(QStringLiteral("ambient_light_level"), 74, Kind::Number, v701->ambientLightLevelLineEdit);

    for (int i = 0; i < table.size(); ++i) {
        if (!table[i].element.isEmpty())
            rowOfElement.insert(table[i].element, i);
        if (table[i].changeIndex >= 0)
            rowOfIndex.insert(table[i].changeIndex, i);
    }
}

void ConfigEditor::enableFreqPlan(bool on)
{
    const int custom = indexForNumericData(lora->regionComboBox, customPlanRegion);
    FieldMarks::setEnabledWhy(
        lora->viewEditFreqpushButton, on,
        tr("Частотный план задаётся только в регионе «%1»")
            .arg(custom >= 0 ? lora->regionComboBox->itemText(custom) : num(customPlanRegion)));
}

// The second receive window's frequency or data rate: read as decimal text, written as edited.
void ConfigEditor::addRx2(const QString &element, int changeIndex, QString *read,
                          const QString *edited)
{
    add(
        element, changeIndex, Kind::Custom, nullptr, {},
        [read](const QDomElement &e) {
            *read = num(e.attribute(QStringLiteral("param")).toUInt(nullptr, 16));
        },
        [this, element, edited] { store(element, hexFor(element, edited->toULongLong())); });
}

// A composite element whose fields each have one widget, in wire order: a combo box gives its
// data, a line edit its decimal number.
void ConfigEditor::addFields(const QString &element, int changeIndex,
                             const QList<QWidget *> &fieldWidgets)
{
    const ParamCatalogue::Param *p = ParamCatalogue::byElement(element);
    add(
        element, changeIndex, Kind::Custom, fieldWidgets.value(0), fieldWidgets.mid(1),
        [p, fieldWidgets](const QDomElement &e) {
            for (int f = 0; f < fieldWidgets.size(); ++f) {
                const QString hex = e.attribute(QLatin1String(p->fields[f].name));
                if (auto *box = qobject_cast<QComboBox *>(fieldWidgets[f]))
                    selectByData(box, hex.toLongLong(nullptr, 16));
                else if (auto *edit = qobject_cast<QLineEdit *>(fieldWidgets[f]))
                    edit->setText(num(hex.toInt(nullptr, 16)));
            }
        },
        [this, p, element, fieldWidgets] {
            QList<QPair<QString, QString>> attrs;
            for (int f = 0; f < fieldWidgets.size(); ++f) {
                quint64 value = 0;
                if (auto *box = qobject_cast<QComboBox *>(fieldWidgets[f]))
                    value = quint64(comboData(box));
                else if (auto *edit = qobject_cast<QLineEdit *>(fieldWidgets[f]))
                    value = edit->text().toULongLong();
                attrs.append({QLatin1String(p->fields[f].name), hexFor(element, value, f)});
            }
            emit elementChanged(element, attrs);
        });
}

void ConfigEditor::connectEdits()
{
    for (const Binding &b : std::as_const(table)) {
        if (b.changeIndex < 0)
            continue;
        const int index = b.changeIndex;
        const auto edited = [this, index] {
            if (!changesBlocked)
                recordChange(index);
        };
        QList<QWidget *> widgets = b.alsoEdits;
        if (b.widget)
            widgets.prepend(b.widget);
        for (QWidget *w : std::as_const(widgets)) {
            if (auto *button = qobject_cast<QAbstractButton *>(w))
                connect(button, &QAbstractButton::clicked, this, edited);
            else if (auto *edit = qobject_cast<QLineEdit *>(w))
                connect(edit, &QLineEdit::editingFinished, this, edited);
            // A key is taken as soon as it is whole, while the user still types: a click on
            // Write may not take the focus away first. Until then it cannot be written; it is
            // marked once the user leaves the field.
            if (b.kind == Kind::Key && w == b.widget) {
                const QString element = b.element;
                auto *edit = static_cast<QLineEdit *>(w);
                connect(edit, &QLineEdit::textEdited, this, [this, index, element, edit] {
                    if (changesBlocked)
                        return;
                    const ParamCatalogue::Param *p = ParamCatalogue::byElement(element);
                    if (p && !ParamCodec::keyText(edit->text(), p->bytes).isNull())
                        recordChange(index);
                    else
                        invalidElements.insert(element);
                });
            } else if (auto *box = qobject_cast<QComboBox *>(w))
                connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this, edited);
            else if (auto *time = qobject_cast<QTimeEdit *>(w))
                connect(time, &QTimeEdit::timeChanged, this, edited);
            else if (auto *date = qobject_cast<QDateEdit *>(w))
                connect(date, &QDateEdit::dateChanged, this, edited);
        }
    }
}

QList<QWidget *> ConfigEditor::meterWidgets() const
{
    // Every field of every metering-device page; the codec knows them by widget name.
    QList<QWidget *> widgets;
    for (QLineEdit *e : rs->meteringDevStackedWidget->findChildren<QLineEdit *>())
        widgets.append(e);
    for (QCheckBox *c : rs->meteringDevStackedWidget->findChildren<QCheckBox *>())
        widgets.append(c);
    return widgets;
}

// ---- filling the standard kinds and the rules ------------------------------------------------

void ConfigEditor::fillStandard(const Binding &b, const QString &value)
{
    switch (b.kind) {
    case Kind::Check:
        static_cast<QCheckBox *>(b.widget)->setChecked(
            ParamCodec::checkedFromText(b.element, value));
        break;
    case Kind::Key:
        static_cast<QLineEdit *>(b.widget)->setText(value);
        break;
    case Kind::Number:
        static_cast<QLineEdit *>(b.widget)->setText(
            num(ParamCodec::numberFromText(b.element, value)));
        break;
    case Kind::Combo:
        selectByData(static_cast<QComboBox *>(b.widget), value.toLongLong(nullptr, 16));
        break;
    case Kind::ComboIndex:
        static_cast<QComboBox *>(b.widget)->setCurrentIndex(hexValue(value));
        break;
    case Kind::Custom:
        break;
    }
}

void ConfigEditor::fillMeterConfig(const QDomElement &e)
{
    const int type = ParamCodec::meterTypeFromText(e.attribute(QStringLiteral("meter_type")));
    if (type < 0)
        return;
    selectByData(rs->meteringDevComboBox, type);
    rs->meteringDevStackedWidget->setCurrentIndex(type);
    const QVariantMap fields =
        ParamCodec::meterFieldsFromConfig(type, e.attribute(QStringLiteral("config")));
    for (QWidget *w : meterWidgets()) {
        const auto it = fields.constFind(w->objectName());
        if (it == fields.constEnd())
            continue;
        if (auto *c = qobject_cast<QCheckBox *>(w))
            c->setChecked(it.value().toString() == QLatin1String("1"));
        else if (auto *l = qobject_cast<QLineEdit *>(w))
            l->setText(it.value().toString());
    }
}

void ConfigEditor::updateFixedPointWidgets(int n)
{
    const FixedPointWidgets &w = points[n];
    w.everyDay->setEnabled(w.enable->isChecked());
    w.time->setEnabled(w.enable->isChecked());
    w.day->setEnabled(w.enable->isChecked() && !w.everyDay->isChecked());
}

// ---- storing edits ------------------------------------------------------------------------------

void ConfigEditor::store(const QString &element, const QString &hex)
{
    emit elementChanged(element, {{QStringLiteral("param"), hex}});
}

void ConfigEditor::storeStandard(const Binding &b)
{
    const ParamCatalogue::Param *p = ParamCatalogue::byElement(b.element);
    if (!p)
        return;
    switch (b.kind) {
    case Kind::Check:
        store(b.element,
              ParamCodec::boolText(b.element, static_cast<QCheckBox *>(b.widget)->isChecked()));
        break;
    case Kind::Key: {
        // An incomplete key is not written at all: padded, it would be another key, and the
        // device would no longer join the network.
        auto *edit = static_cast<QLineEdit *>(b.widget);
        const QString key = ParamCodec::keyText(edit->text(), p->bytes);
        if (key.isNull()) {
            invalidElements.insert(b.element);
            FieldMarks::setProblem(
                edit, FieldMarks::Problem::Invalid,
                tr("Неполный ключ: нужно %1 шестнадцатеричных цифр, введено %2. Запись невозможна.")
                    .arg(2 * p->bytes)
                    .arg(edit->text().size()));
            break;
        }
        invalidElements.remove(b.element);
        FieldMarks::setProblem(edit, FieldMarks::Problem::None);
        store(b.element, key);
        break;
    }
    case Kind::Number: {
        auto *edit = static_cast<QLineEdit *>(b.widget);
        bool ok = false;
        qint64 typed = edit->text().toLongLong(&ok);
        // Digits beyond any range are as much too large as the largest number.
        if (!ok && !edit->text().isEmpty())
            typed = std::numeric_limits<qint64>::max();
        const quint64 clamped = ParamCodec::clampTyped(b.element, typed);
        // The widget shows what is stored, and says so where that is not what was typed.
        if (b.element.startsWith(QLatin1String("count_diff_")) ||
            ParamCodec::numberRange(b.element, nullptr, nullptr)) {
            edit->setText(num(qint64(clamped)));
            if (clamped == quint64(qMax<qint64>(typed, 0)))
                FieldMarks::setProblem(edit, FieldMarks::Problem::None);
            else
                FieldMarks::setProblem(edit, FieldMarks::Problem::Clamped,
                                       (clamped > quint64(qMax<qint64>(typed, 0))
                                            ? tr("изменено на %1, минимум")
                                            : tr("изменено на %1, максимум"))
                                           .arg(clamped));
        }
        store(b.element, ParamCodec::numberText(*p, qint64(clamped)));
        break;
    }
    case Kind::Combo: {
        auto *box = static_cast<QComboBox *>(b.widget);
        if (box->currentIndex() >= 0)
            store(b.element, ParamCodec::hexNumber(quint64(comboData(box)), p->bytes));
        break;
    }
    case Kind::ComboIndex:
        store(b.element,
              ParamCodec::hexNumber(
                  quint64(qMax(0, static_cast<QComboBox *>(b.widget)->currentIndex())), p->bytes));
        break;
    case Kind::Custom:
        break;
    }
}

void ConfigEditor::storeInputMode(int n)
{
    const int mode = int(comboData(inputs[n].mode));
    store(QStringLiteral("timing_%1").arg(n),
          ParamCodec::timingText(mode, io->scanPeriodLineEdit->text().toInt()));
    inputs[n].type->setEnabled(mode != 0);
    bool countOn = mode != 0;
    // Whether the second input has a counter step of its own depends on the model.
    if (n == 1)
        countOn = countOn && db->getFormElements(inputs[n].countDiff->objectName()).value(0) ==
                                 QLatin1String("true");
    inputs[n].countDiff->setEnabled(countOn);
}

void ConfigEditor::storeMeterConfig()
{
    const int type = int(comboData(rs->meteringDevComboBox));
    rs->meteringDevStackedWidget->setCurrentIndex(type);
    QVariantMap fields;
    for (QWidget *w : meterWidgets()) {
        if (auto *c = qobject_cast<QCheckBox *>(w))
            fields.insert(w->objectName(),
                          c->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
        else if (auto *e = qobject_cast<QLineEdit *>(w))
            fields.insert(w->objectName(), e->text());
    }
    // The type stays decimal in documents, as a read from the device writes it.
    emit elementChanged(
        QStringLiteral("rs_meter_config"),
        {{QStringLiteral("meter_type"), num(type)},
         {QStringLiteral("config"), ParamCodec::meterConfigFromFields(type, fields)}});
}

void ConfigEditor::storeFixedPoint(int n)
{
    updateFixedPointWidgets(n);
    const FixedPointWidgets &w = points[n];
    ParamCodec::FixedPoint fp;
    fp.enabled = w.enable->isChecked();
    fp.everyDay = w.everyDay->isChecked();
    fp.day = w.day->date().day();
    fp.time = w.time->time();
    store(QStringLiteral("time_fix_%1").arg(n), ParamCodec::fixedPointText(fp));
}

void ConfigEditor::recalcTimings()
{
    const int count = model == QLatin1String("750") ? 6 : model == QLatin1String("760") ? 2 : 0;
    const int period = io->scanPeriodLineEdit->text().toInt();
    for (int n = 0; n < count; ++n)
        store(QStringLiteral("timing_%1").arg(n),
              ParamCodec::timingText(int(comboData(inputs[n].mode)), period));
}
