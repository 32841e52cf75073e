#include "paramlabels.h"

#include <QCoreApplication>
#include <QHash>
#include <QTranslator>

namespace ParamLabels {

namespace {
constexpr const char *labelContext = "ParamLabels";
constexpr const char *unitContext = "ParamUnits";

using S = Shape;
using U = Unit;

// Labels are those of the window's pages without their unit and colon; inputs and fixed points
// are counted from 1 as the pages count them, frequency channels from 0 as the plan form does.
const Entry fixedEntries[] = {
    {"otaa_activation", QT_TRANSLATE_NOOP("ParamLabels", "Активация"), -1, U::None, S::Activation,
     nullptr},
    {"private", QT_TRANSLATE_NOOP("ParamLabels", "Частная сеть"), -1, U::None, S::Bool, nullptr},
    {"use_adr", QT_TRANSLATE_NOOP("ParamLabels", "Адаптивная скорость (ADR)"), -1, U::None, S::Bool,
     nullptr},
    {"dev_eui", QT_TRANSLATE_NOOP("ParamLabels", "DevEUI"), -1, U::None, S::Eui, nullptr},
    {"app_eui", QT_TRANSLATE_NOOP("ParamLabels", "AppEUI"), -1, U::None, S::Eui, nullptr},
    {"app_key", QT_TRANSLATE_NOOP("ParamLabels", "AppKey"), -1, U::None, S::Key, nullptr},
    {"net_id", QT_TRANSLATE_NOOP("ParamLabels", "NetID"), -1, U::None, S::Key, nullptr},
    {"net_dev_adr", QT_TRANSLATE_NOOP("ParamLabels", "DevAddr"), -1, U::None, S::Key, nullptr},
    {"net_service_key", QT_TRANSLATE_NOOP("ParamLabels", "NwkSKey"), -1, U::None, S::Key, nullptr},
    {"app_service_key", QT_TRANSLATE_NOOP("ParamLabels", "AppSKey"), -1, U::None, S::Key, nullptr},
    {"tx_period", QT_TRANSLATE_NOOP("ParamLabels", "Период передачи"), -1, U::Second, S::Duration,
     nullptr},
    {"tx_dr", QT_TRANSLATE_NOOP("ParamLabels", "Скорость передачи"), -1, U::None, S::Choice,
     "txSpeedComboBox"},
    {"tx_power", QT_TRANSLATE_NOOP("ParamLabels", "Мощность передачи"), -1, U::None, S::Choice,
     "txPowerComboBox"},
    {"ldc", QT_TRANSLATE_NOOP("ParamLabels", "Контроль загрузки канала"), -1, U::None, S::Bool,
     nullptr},
    {"region", QT_TRANSLATE_NOOP("ParamLabels", "Частотный план"), -1, U::None, S::Choice,
     "regionComboBox"},
    {"dev_class", QT_TRANSLATE_NOOP("ParamLabels", "Класс устройства"), -1, U::None, S::Choice,
     "devClassComboBox"},
    {"nb_trials", QT_TRANSLATE_NOOP("ParamLabels", "Количество попыток передачи"), -1, U::None,
     S::Number, nullptr},
    {"tx_confirm", QT_TRANSLATE_NOOP("ParamLabels", "Подтверждение передачи"), -1, U::None, S::Bool,
     nullptr},
    {"check_connect", QT_TRANSLATE_NOOP("ParamLabels", "Проверка связи"), -1, U::Periods, S::Number,
     nullptr},
    {"rx2_freq", QT_TRANSLATE_NOOP("ParamLabels", "Частота окна RX2"), -1, U::Hertz, S::Frequency,
     nullptr},
    // The plan form offers the data rates of the transmission list for the second window.
    {"rx2_dr", QT_TRANSLATE_NOOP("ParamLabels", "Скорость окна RX2"), -1, U::None, S::Choice,
     "txSpeedComboBox"},
    {"en_power_20dbm", QT_TRANSLATE_NOOP("ParamLabels", "Мощность 20 дБм"), -1, U::None, S::Bool,
     nullptr},
    {"app_port", QT_TRANSLATE_NOOP("ParamLabels", "Порт приложения"), -1, U::None, S::Number,
     nullptr},
    {"scan_period", QT_TRANSLATE_NOOP("ParamLabels", "Период опроса входов"), -1, U::Millisecond,
     S::Duration, nullptr},
    {"protocol", QT_TRANSLATE_NOOP("ParamLabels", "Протокол"), -1, U::None, S::Choice,
     "protocolComboBox"},
    {"save_every_values", QT_TRANSLATE_NOOP("ParamLabels", "Сохранять каждые"), -1, U::Pulses,
     S::Number, nullptr},
    {"save_every_times", QT_TRANSLATE_NOOP("ParamLabels", "Сохранять каждые"), -1, U::Second,
     S::Duration, nullptr},
    {"time_zone", QT_TRANSLATE_NOOP("ParamLabels", "Часовой пояс"), -1, U::None, S::TimeZone,
     nullptr},
    {"bat_scan_period", QT_TRANSLATE_NOOP("ParamLabels", "Период опроса батареи"), -1, U::None,
     S::Hex, nullptr},
    {"bat_rechrg_period", QT_TRANSLATE_NOOP("ParamLabels", "Период подзарядки батареи"), -1,
     U::None, S::Hex, nullptr},
    {"bat_min_level", QT_TRANSLATE_NOOP("ParamLabels", "Минимальный уровень батареи"), -1, U::None,
     S::Hex, nullptr},
    {"bat_max_level", QT_TRANSLATE_NOOP("ParamLabels", "Максимальный уровень батареи"), -1, U::None,
     S::Hex, nullptr},
    {"bat_off_level", QT_TRANSLATE_NOOP("ParamLabels", "Уровень отключения батареи"), -1, U::None,
     S::Hex, nullptr},
    {"rs_settings", QT_TRANSLATE_NOOP("ParamLabels", "Параметры линии"), -1, U::None, S::Hex,
     nullptr},
    {"rs_speed", QT_TRANSLATE_NOOP("ParamLabels", "Скорость"), -1, U::Baud, S::Number, nullptr},
    {"rs_data_bits", QT_TRANSLATE_NOOP("ParamLabels", "Биты данных"), -1, U::None, S::Number,
     nullptr},
    {"rs_parity", QT_TRANSLATE_NOOP("ParamLabels", "Четность"), -1, U::None, S::Choice,
     "rsParityComboBox"},
    {"rs_stop_bits", QT_TRANSLATE_NOOP("ParamLabels", "Стоповые биты"), -1, U::None, S::Number,
     nullptr},
    {"crts_settings", QT_TRANSLATE_NOOP("ParamLabels", "Управление RTS/CTS"), -1, U::None, S::Hex,
     nullptr},
    {"cts_rts_mode", QT_TRANSLATE_NOOP("ParamLabels", "Режим RTS/CTS"), -1, U::None, S::Choice,
     "ctsRtsModeComboBox"},
    {"RTS01Time", QT_TRANSLATE_NOOP("ParamLabels", "Переключение RTS 0→1"), -1, U::Millisecond,
     S::Duration, nullptr},
    {"RTS10Time", QT_TRANSLATE_NOOP("ParamLabels", "Переключение RTS 1→0"), -1, U::Millisecond,
     S::Duration, nullptr},
    {"CTSTime", QT_TRANSLATE_NOOP("ParamLabels", "Тайм-аут после CTS"), -1, U::Millisecond,
     S::Duration, nullptr},
    {"rs_timings", QT_TRANSLATE_NOOP("ParamLabels", "Обмен с прибором учета"), -1, U::None, S::Hex,
     nullptr},
    {"OnAboveOffTime", QT_TRANSLATE_NOOP("ParamLabels", "Задержка включения"), -1, U::Millisecond,
     S::Duration, nullptr},
    {"WaitAnswerTime", QT_TRANSLATE_NOOP("ParamLabels", "Ожидание начала ответа"), -1,
     U::Millisecond, S::Duration, nullptr},
    {"WaitEndAnswerTime", QT_TRANSLATE_NOOP("ParamLabels", "Ожидание конца ответа"), -1,
     U::Millisecond, S::Duration, nullptr},
    {"OnTime", QT_TRANSLATE_NOOP("ParamLabels", "Время включения"), -1, U::Millisecond, S::Duration,
     nullptr},
    {"rs_repeat", QT_TRANSLATE_NOOP("ParamLabels", "Повторы запроса"), -1, U::None, S::Number,
     nullptr},
    {"answer_mode", QT_TRANSLATE_NOOP("ParamLabels", "Режим ответа"), -1, U::None, S::Choice,
     "rsAnswerModeComboBox"},
    {"rs_meter_config", QT_TRANSLATE_NOOP("ParamLabels", "Прибор учета"), -1, U::None, S::Hex,
     nullptr},
    {"meter_type", QT_TRANSLATE_NOOP("ParamLabels", "Прибор учета"), -1, U::None, S::Choice,
     "meteringDevComboBox"},
    {"config", QT_TRANSLATE_NOOP("ParamLabels", "Параметры прибора учета"), -1, U::None, S::Hex,
     nullptr},
    {"pulse_counting_mode", QT_TRANSLATE_NOOP("ParamLabels", "Режим счета импульсов"), -1, U::None,
     S::ChoiceIndex, "pulseCounModeComboBox"},
    {"ambient_light_level", QT_TRANSLATE_NOOP("ParamLabels", "Уровень внешней засветки"), -1,
     U::None, S::Number, nullptr},
    {"remove_confirm_net", QT_TRANSLATE_NOOP("ParamLabels", "Подтверждение удаления из сети"), -1,
     U::None, S::Choice, "removeConfirmNetComboBox"},
    {"time_point", QT_TRANSLATE_NOOP("ParamLabels", "Точка отсчета времени"), -1, U::None,
     S::Choice, "timePointComboBox"},
    {"interface_type", QT_TRANSLATE_NOOP("ParamLabels", "Интерфейс"), -1, U::None, S::Hex, nullptr},
    // Device facts a read puts first: shown as the device tells them, never typed.
    {"fw_ver", QT_TRANSLATE_NOOP("ParamLabels", "Версия прошивки"), -1, U::None, S::Hex, nullptr},
    {"serial_number", QT_TRANSLATE_NOOP("ParamLabels", "Серийный номер"), -1, U::None, S::Hex,
     nullptr},
    {"dev_eui_lbl", QT_TRANSLATE_NOOP("ParamLabels", "DevEUI на этикетке"), -1, U::None, S::Hex,
     nullptr},
    {"dev_id", QT_TRANSLATE_NOOP("ParamLabels", "Тип устройства"), -1, U::None, S::Hex, nullptr},
};

const char *const joinChannelLabel = QT_TRANSLATE_NOOP("ParamLabels", "Частота Join канала %1");
const char *const channelLabel = QT_TRANSLATE_NOOP("ParamLabels", "Частота канала %1");
const char *const inputTypeLabel = QT_TRANSLATE_NOOP("ParamLabels", "Тип входа %1");
const char *const inputModeLabel = QT_TRANSLATE_NOOP("ParamLabels", "Режим входа %1");
const char *const inputTimingLabel =
    QT_TRANSLATE_NOOP("ParamLabels", "Временные параметры входа %1");
const char *const countDiffLabel = QT_TRANSLATE_NOOP("ParamLabels", "Порог счетчика входа %1");
const char *const fixedPointLabel =
    QT_TRANSLATE_NOOP("ParamLabels", "Фиксированная точка передачи %1");

QList<Entry> buildTable()
{
    QList<Entry> t;
    for (const Entry &e : fixedEntries)
        t.append(e);
    static const char *const channels[16] = {
        "freq_channel_0",  "freq_channel_1",  "freq_channel_2",  "freq_channel_3",
        "freq_channel_4",  "freq_channel_5",  "freq_channel_6",  "freq_channel_7",
        "freq_channel_8",  "freq_channel_9",  "freq_channel_10", "freq_channel_11",
        "freq_channel_12", "freq_channel_13", "freq_channel_14", "freq_channel_15"};
    for (int n = 0; n < 16; ++n)
        t.append({channels[n], n < 3 ? joinChannelLabel : channelLabel, n, U::Hertz, S::Frequency,
                  nullptr});
    static const char *const levels[6] = {"type_level_0", "type_level_1", "type_level_2",
                                          "type_level_3", "type_level_4", "type_level_5"};
    static const char *const levelLists[6] = {"inType0comboBox", "inType1comboBox",
                                              "inType2comboBox", "inType3comboBox",
                                              "inType4comboBox", "inType5comboBox"};
    static const char *const modes[6] = {"type_input_0", "type_input_1", "type_input_2",
                                         "type_input_3", "type_input_4", "type_input_5"};
    static const char *const modeLists[6] = {"inMode0comboBox", "inMode1comboBox",
                                             "inMode2comboBox", "inMode3comboBox",
                                             "inMode4comboBox", "inMode5comboBox"};
    static const char *const timings[6] = {"timing_0", "timing_1", "timing_2",
                                           "timing_3", "timing_4", "timing_5"};
    static const char *const diffs[6] = {"count_diff_0", "count_diff_1", "count_diff_2",
                                         "count_diff_3", "count_diff_4", "count_diff_5"};
    static const char *const points[6] = {"time_fix_0", "time_fix_1", "time_fix_2",
                                          "time_fix_3", "time_fix_4", "time_fix_5"};
    for (int n = 0; n < 6; ++n) {
        t.append({levels[n], inputTypeLabel, n + 1, U::None, S::Choice, levelLists[n]});
        t.append({modes[n], inputModeLabel, n + 1, U::None, S::Choice, modeLists[n]});
        // Computed from the scan period and the mode, never typed.
        t.append({timings[n], inputTimingLabel, n + 1, U::None, S::Hex, nullptr});
        t.append({diffs[n], countDiffLabel, n + 1, U::Pulses, S::Number, nullptr});
        t.append({points[n], fixedPointLabel, n + 1, U::None, S::FixedPoint, nullptr});
    }
    return t;
}

} // namespace

const QList<Entry> &all()
{
    static const QList<Entry> t = buildTable();
    return t;
}

const Entry *entry(const QString &name)
{
    static const QHash<QString, int> index = [] {
        QHash<QString, int> h;
        for (int i = 0; i < all().size(); ++i)
            h.insert(QString::fromLatin1(all().at(i).name), i);
        return h;
    }();
    const auto it = index.constFind(name);
    return it == index.constEnd() ? nullptr : &all().at(*it);
}

QString text(const char *context, const QString &source, Lang lang, const QTranslator *english)
{
    if (lang == Lang::Russian || source.isEmpty())
        return source;
    const QByteArray utf8 = source.toUtf8();
    const QString translated = english ? english->translate(context, utf8.constData())
                                       : QCoreApplication::translate(context, utf8.constData());
    return translated.isEmpty() ? source : translated;
}

QString label(const QString &name, Lang lang, const QTranslator *english)
{
    const Entry *e = entry(name);
    if (!e)
        return name;
    const QString shown = text(labelContext, QString::fromUtf8(e->label), lang, english);
    return e->labelArg >= 0 ? shown.arg(e->labelArg) : shown;
}

QString unitSymbol(Unit unit, Lang lang, const QTranslator *english)
{
    const char *source = nullptr;
    switch (unit) {
    case Unit::None:
        return QString();
    case Unit::Second:
        source = QT_TRANSLATE_NOOP("ParamUnits", "с");
        break;
    case Unit::Millisecond:
        source = QT_TRANSLATE_NOOP("ParamUnits", "мс");
        break;
    case Unit::Hertz:
        source = QT_TRANSLATE_NOOP("ParamUnits", "МГц");
        break;
    case Unit::Baud:
        source = QT_TRANSLATE_NOOP("ParamUnits", "бод");
        break;
    case Unit::Pulses:
        source = QT_TRANSLATE_NOOP("ParamUnits", "имп.");
        break;
    case Unit::Periods:
        source = QT_TRANSLATE_NOOP("ParamUnits", "периодов");
        break;
    }
    return text(unitContext, QString::fromUtf8(source), lang, english);
}

} // namespace ParamLabels
