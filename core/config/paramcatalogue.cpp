#include "paramcatalogue.h"

#include <QHash>

namespace ParamCatalogue {

namespace {
QList<Param> buildTable()
{
    QList<Param> t;
    auto add = [&t](quint16 code, const char *element, int bytes, Kind kind,
                    QList<Field> fields = {}) {
        t.append(Param{code, element, bytes, kind, fields});
    };
    add(0x0000, "otaa_activation", 1, Kind::Activation);
    add(0x0001, "private", 1, Kind::BoolInverted);
    add(0x0002, "use_adr", 1, Kind::Bool);
    add(0x0003, "dev_eui", 8, Kind::HexKey);
    add(0x0004, "app_eui", 8, Kind::HexKey);
    add(0x0005, "app_key", 16, Kind::HexKey);
    add(0x0006, "net_id", 4, Kind::HexKey);
    add(0x0007, "net_dev_adr", 4, Kind::HexKey);
    add(0x0008, "net_service_key", 16, Kind::HexKey);
    add(0x0009, "app_service_key", 16, Kind::HexKey);
    add(0x000A, "tx_period", 4, Kind::Number);
    add(0x000B, "tx_dr", 1, Kind::ComboData);
    add(0x000C, "tx_power", 1, Kind::ComboData);
    add(0x000D, "ldc", 1, Kind::Bool);
    add(0x000E, "region", 1, Kind::ComboData);
    add(0x000F, "dev_class", 1, Kind::ComboData);
    add(0x0010, "nb_trials", 1, Kind::Number);
    add(0x0011, "tx_confirm", 1, Kind::Bool);
    add(0x0012, "check_connect", 1, Kind::Number);
    add(0x0013, "rx2_freq", 4, Kind::Frequency);
    add(0x0014, "rx2_dr", 1, Kind::Frequency);
    static const char *const channels[16] = {
        "freq_channel_0",  "freq_channel_1",  "freq_channel_2",  "freq_channel_3",
        "freq_channel_4",  "freq_channel_5",  "freq_channel_6",  "freq_channel_7",
        "freq_channel_8",  "freq_channel_9",  "freq_channel_10", "freq_channel_11",
        "freq_channel_12", "freq_channel_13", "freq_channel_14", "freq_channel_15"};
    for (int n = 0; n < 16; ++n)
        add(quint16(0x0020 + n), channels[n], 4, Kind::Frequency);
    add(0x0031, "en_power_20dbm", 1, Kind::Bool);

    add(0x0100, "app_port", 1, Kind::Number);
    add(0x0101, "scan_period", 2, Kind::Number);
    add(0x0102, "protocol", 1, Kind::ComboData);
    add(0x0103, "save_every_values", 2, Kind::Number);
    add(0x0104, "save_every_times", 2, Kind::Number);
    add(0x0105, "time_zone", 4, Kind::TimeZone);
    static const char *const levels[6] = {"type_level_0", "type_level_1", "type_level_2",
                                          "type_level_3", "type_level_4", "type_level_5"};
    static const char *const modes[6] = {"type_input_0", "type_input_1", "type_input_2",
                                         "type_input_3", "type_input_4", "type_input_5"};
    static const char *const timings[6] = {"timing_0", "timing_1", "timing_2",
                                           "timing_3", "timing_4", "timing_5"};
    for (int n = 0; n < 6; ++n)
        add(quint16(0x0110 + n), levels[n], 1, Kind::ComboData);
    for (int n = 0; n < 6; ++n)
        add(quint16(0x0120 + n), modes[n], 1, Kind::ComboData);
    for (int n = 0; n < 6; ++n)
        add(quint16(0x0130 + n), timings[n], 8, Kind::Timing);
    add(0x0140, "bat_scan_period", asRead, Kind::Opaque);
    add(0x0141, "bat_rechrg_period", asRead, Kind::Opaque);
    add(0x0142, "bat_min_level", asRead, Kind::Opaque);
    add(0x0143, "bat_max_level", asRead, Kind::Opaque);
    add(0x0144, "bat_off_level", asRead, Kind::Opaque);
    add(0x0150, "rs_settings", 7, Kind::Composite,
        {{"rs_speed", 4}, {"rs_data_bits", 1}, {"rs_parity", 1}, {"rs_stop_bits", 1}});
    add(0x0151, "crts_settings", 7, Kind::Composite,
        {{"cts_rts_mode", 1}, {"RTS01Time", 2}, {"RTS10Time", 2}, {"CTSTime", 2}});
    add(0x0152, "rs_timings", 8, Kind::Composite,
        {{"OnAboveOffTime", 2}, {"WaitAnswerTime", 2}, {"WaitEndAnswerTime", 2}, {"OnTime", 2}});
    add(0x0153, "rs_repeat", 1, Kind::Number);
    add(0x0154, "answer_mode", 1, Kind::ComboData);
    add(0x0155, "rs_meter_config", typePlusConfig, Kind::Composite,
        {{"meter_type", 1}, {"config", restOfValue}});
    add(0x0160, "pulse_counting_mode", 1, Kind::ComboIndex);
    add(0x0161, "ambient_light_level", 1, Kind::Number);
    add(0x0180, "remove_confirm_net", 1, Kind::ComboData);
    add(0x0181, "time_point", 1, Kind::ComboData);
    static const char *const points[6] = {"time_fix_0", "time_fix_1", "time_fix_2",
                                          "time_fix_3", "time_fix_4", "time_fix_5"};
    for (int n = 0; n < 6; ++n)
        add(quint16(0x0190 + n), points[n], 4, Kind::FixedPoint);
    static const char *const diffs[6] = {"count_diff_0", "count_diff_1", "count_diff_2",
                                         "count_diff_3", "count_diff_4", "count_diff_5"};
    for (int n = 0; n < 6; ++n)
        add(quint16(0x01A0 + n), diffs[n], 4, Kind::Number);
    add(0x0203, "interface_type", 1, Kind::ReadOnly);
    return t;
}
} // namespace

const QList<Param> &all()
{
    static const QList<Param> table = buildTable();
    return table;
}

const Param *byCode(quint16 code)
{
    static const QHash<quint16, int> index = [] {
        QHash<quint16, int> h;
        for (int i = 0; i < all().size(); ++i)
            h.insert(all().at(i).code, i);
        return h;
    }();
    const auto it = index.constFind(code);
    return it == index.constEnd() ? nullptr : &all().at(*it);
}

const Param *byElement(const QString &element)
{
    static const QHash<QString, int> index = [] {
        QHash<QString, int> h;
        for (int i = 0; i < all().size(); ++i)
            h.insert(QString::fromLatin1(all().at(i).element), i);
        return h;
    }();
    const auto it = index.constFind(element);
    return it == index.constEnd() ? nullptr : &all().at(*it);
}

const Param *writableByElement(const QString &element)
{
    const Param *p = byElement(element);
    return p && p->kind != Kind::ReadOnly ? p : nullptr;
}

const QStringList &secretElements()
{
    static const QStringList secrets{QStringLiteral("app_key"), QStringLiteral("net_service_key"),
                                     QStringLiteral("app_service_key")};
    return secrets;
}

bool isSecret(const QString &element)
{
    return secretElements().contains(element);
}

int meterConfigBytes(int meterType)
{
    // Block sizes follow the layouts of the metering-device pages.
    static const int sizes[13] = {27, 24, 0, 1, 0, 0, 48, 1, 64, 8, 7, 5, 16};
    return (meterType >= 0 && meterType < 13) ? sizes[meterType] : -1;
}

bool validLength(const Param &param, const QByteArray &value)
{
    if (param.bytes == asRead)
        return !value.isEmpty();
    if (param.bytes == typePlusConfig) {
        if (value.isEmpty())
            return false;
        const int config = meterConfigBytes(quint8(value.at(0)));
        return config >= 0 && value.size() == 1 + config;
    }
    return value.size() == param.bytes;
}

} // namespace ParamCatalogue
