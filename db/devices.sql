-- Vexa7XX Configurator device database.
--
-- The build turns this text into devices.db (sqlite3 -bail devices.db ".read devices.sql");
-- the configurator opens that file read-only. Every table is read through QSqlTableModel in
-- plain rowid order and, except for `ids`, by column POSITION, not by name: keep the column
-- order of each CREATE TABLE as it is, and keep the row order as written. No table has a key
-- or an index, so that nothing can change the order in which the rows are read back.
--
-- Organisation
--
--   vexa<key>         One table per device key: "701", "750", "760" for hardware revision 0,
--                     "760_1", "760_2" for later hardware revisions of the Vexa760.
--                       0 fw_ver    a firmware version ("1.4.2") or a range "first-last"
--                                   ("1.4.0-1.4.9", both ends included)
--                       1 fw_group  name of the firmware-group table for those versions
--                     A version newer than every listed one falls back to the row of the
--                     highest listed version. The matching row itself gives the group; still,
--                     list rows oldest first, keep ranges from overlapping and let no fw_ver
--                     text be a substring of a row above it ("1.0.1" under "1.0.10"): older
--                     configurators picked the group by a substring search.
--
--   fw<model>_<n>     One table per firmware group (fw701_1, fw750_1, fw760_1, fw760_2,
--                     fw760r2_1). Every row fills one of the columns, the others stay NULL:
--                       0 cmd         a supported configuration parameter code; these are
--                                     read from the device in the order listed
--                       1 page        a model page the group shows (ioPage, interfacesPage,
--                                     vexa701Page, systemPage)
--                       2 form        a form element: "<widget or table name>;<item>,<item>..."
--                                     where an item is "<text>:<data>" or a lone "true"/"false".
--                                     Item texts hold no ',' ';' or ':'.
--                       3 status_cmd  a status request polled by the status panel:
--                                     0 network, 1 battery, 2 ADC, 3 inputs, 4 date and time,
--                                     5 link quality, 6 last uplink, 7 network times,
--                                     8 working frequencies. The list is polled from its LAST
--                                     row to its first, so rows go 8 down to 0 and a pass
--                                     starts with the network state (link quality needs it).
--                     A form element is found as the first row whose form text STARTS WITH the
--                     asked name , so no element name may be the beginning
--                     of another element name in the same table. Keep each group table below
--                     256 rows: that is what one fetch of the table model delivers.
--
--   ids               device key -> device identifier (model number in the low 10 bits,
--                     hardware revision in the upper 6 bits). Looked up by the whole key:
--                     "760_6" is not "760_63".
--   statusBits        bit number 0..31 of the device status word, condition name, text for
--                     the bit clear, text for the bit set.
--   gprsList          cellular data presets: provider, APN, user, password, dial number.
--   gpsList           satellite receiver presets: name, mode code, description, A-GNSS host.
--
-- db/check_devices.py replays every lookup the configurator makes against the built file.

BEGIN TRANSACTION;

-- ==========================================================================================
-- Models: firmware version (or range) -> firmware group
-- ==========================================================================================

-- Vexa701
CREATE TABLE vexa701 (fw_ver TEXT, fw_group TEXT);
INSERT INTO vexa701 (fw_ver, fw_group) VALUES
    ('1.2.0-1.2.9', 'fw701_1'),
    ('1.3.0', 'fw701_1');

-- Vexa750
CREATE TABLE vexa750 (fw_ver TEXT, fw_group TEXT);
INSERT INTO vexa750 (fw_ver, fw_group) VALUES
    ('1.3.0-1.3.9', 'fw750_1'),
    ('1.4.0', 'fw750_1');

-- Vexa760, hardware revision 0
CREATE TABLE vexa760 (fw_ver TEXT, fw_group TEXT);
INSERT INTO vexa760 (fw_ver, fw_group) VALUES
    ('1.3.0-1.3.9', 'fw760_1'),
    ('1.4.0-1.4.9', 'fw760_2'),
    ('1.5.0', 'fw760_2');

-- Vexa760, hardware revision 1 (same firmware line as revision 0 from 1.4.0)
CREATE TABLE vexa760_1 (fw_ver TEXT, fw_group TEXT);
INSERT INTO vexa760_1 (fw_ver, fw_group) VALUES
    ('1.4.0-1.4.9', 'fw760_2'),
    ('1.5.0', 'fw760_2');

-- Vexa760, hardware revision 2
CREATE TABLE vexa760_2 (fw_ver TEXT, fw_group TEXT);
INSERT INTO vexa760_2 (fw_ver, fw_group) VALUES
    ('2.0.0-2.0.9', 'fw760r2_1'),
    ('2.1.0', 'fw760r2_1');

-- ==========================================================================================
-- Firmware group fw701_1
--   Vexa701 firmware 1.2.x and 1.3.0: battery-powered optical pulse reader, no inputs
-- ==========================================================================================
CREATE TABLE fw701_1 (cmd INTEGER, page TEXT, form TEXT, status_cmd INTEGER);

-- Parameter codes, in reading order.
-- LoRaWAN network, keys and frequency plan
INSERT INTO fw701_1 (cmd) VALUES
    (0x0000), -- otaa_activation
    (0x0001), -- private
    (0x0002), -- use_adr
    (0x0003), -- dev_eui
    (0x0004), -- app_eui
    (0x0005), -- app_key
    (0x0006), -- net_id
    (0x0007), -- net_dev_adr
    (0x0008), -- net_service_key
    (0x0009), -- app_service_key
    (0x000A), -- tx_period
    (0x000B), -- tx_dr
    (0x000C), -- tx_power
    (0x000D), -- ldc
    (0x000E), -- region
    (0x000F), -- dev_class
    (0x0010), -- nb_trials
    (0x0011), -- tx_confirm
    (0x0012), -- check_connect
    (0x0013), -- rx2_freq
    (0x0014), -- rx2_dr
    (0x0020), -- freq_channel_0
    (0x0021), -- freq_channel_1
    (0x0022), -- freq_channel_2
    (0x0023), -- freq_channel_3
    (0x0024), -- freq_channel_4
    (0x0025), -- freq_channel_5
    (0x0026), -- freq_channel_6
    (0x0027), -- freq_channel_7
    (0x0028), -- freq_channel_8
    (0x0029), -- freq_channel_9
    (0x002A), -- freq_channel_10
    (0x002B), -- freq_channel_11
    (0x002C), -- freq_channel_12
    (0x002D), -- freq_channel_13
    (0x002E), -- freq_channel_14
    (0x002F), -- freq_channel_15
    (0x0031); -- en_power_20dbm
-- time zone
INSERT INTO fw701_1 (cmd) VALUES
    (0x0105); -- time_zone
-- battery
INSERT INTO fw701_1 (cmd) VALUES
    (0x0140), -- bat_scan_period
    (0x0141), -- bat_rechrg_period
    (0x0142), -- bat_min_level
    (0x0143), -- bat_max_level
    (0x0144); -- bat_off_level
-- pulse reader page
INSERT INTO fw701_1 (cmd) VALUES
    (0x0160), -- pulse_counting_mode
    (0x0161); -- ambient_light_level
-- fixed transmission points
INSERT INTO fw701_1 (cmd) VALUES
    (0x0180), -- remove_confirm_net
    (0x0181), -- time_point
    (0x0190), -- time_fix_0
    (0x0191), -- time_fix_1
    (0x0192), -- time_fix_2
    (0x0193), -- time_fix_3
    (0x0194), -- time_fix_4
    (0x0195); -- time_fix_5

-- Pages.
INSERT INTO fw701_1 (page) VALUES ('vexa701Page'), ('systemPage');

-- Form elements.
INSERT INTO fw701_1 (form) VALUES
    ('txSpeedComboBox;DR0 SF12/125 кГц:0,DR1 SF11/125 кГц:1,DR2 SF10/125 кГц:2,DR3 SF9/125 кГц:3,DR4 SF8/125 кГц:4,DR5 SF7/125 кГц:5'),
    ('txPowerComboBox;16 дБм:0,14 дБм:1,12 дБм:2,10 дБм:3,8 дБм:4,6 дБм:5,4 дБм:6,2 дБм:7'),
    ('regionComboBox;EU868:0,RU864:1,KZ865:2,Пользовательский:3'),
    ('devClassComboBox;Класс A:0'),
    ('timePointComboBox;По периоду:0,В фиксированные моменты:1,По периоду и в фиксированные моменты:2'),
    ('removeConfirmNetComboBox;Не переподключаться:0,После 3 неподтверждённых:3,После 5 неподтверждённых:5,После 10 неподтверждённых:10,После 20 неподтверждённых:20'),
    ('pulseCounModeComboBox;По переднему фронту:0,По заднему фронту:1,По обоим фронтам:2'),
    ('rsToUsbGroupBox;false'),
    ('enPower20dbmCheckBox;true'),
    ('pointFixCountGroupBox;true'),
    ('countDiff1LineEdit;false'),
    ('timeSource_lbl;true'),
    ('txConfirmCheckBox;true'),
    ('sourceDbgComboBox;Выключено:F,Все подсистемы:A,Радиосеть LoRaWAN:L,Питание:P,Система:S,Оптический датчик:O'),
    ('levelDbgcomboBox;Выключено:ALL,Ошибки:ERR,Предупреждения:WRN,Информация:INF,Отладка:DBG'),
    ('PowerSource;Батарея:1,USB:2'),
    ('BatStatus;Низкое напряжение:0,Критический разряд:1,Питание от USB:2,Высокое внутреннее сопротивление:3,Ошибка измерения:4,Пассивация элемента:5,Перегрев:6,Переохлаждение:7'),
    ('BatErrors;Нет ошибок:0,Ошибка АЦП:1,Нет связи с контроллером питания:2,Батарея не откалибрована:3');

-- Status requests, polled from the last row up.
INSERT INTO fw701_1 (status_cmd) VALUES (8), (7), (6), (5), (4), (1), (0);

-- ==========================================================================================
-- Firmware group fw750_1
--   Vexa750 firmware 1.3.x and 1.4.0: six-input pulse and state collector
-- ==========================================================================================
CREATE TABLE fw750_1 (cmd INTEGER, page TEXT, form TEXT, status_cmd INTEGER);

-- Parameter codes, in reading order.
-- LoRaWAN network, keys and frequency plan
INSERT INTO fw750_1 (cmd) VALUES
    (0x0000), -- otaa_activation
    (0x0001), -- private
    (0x0002), -- use_adr
    (0x0003), -- dev_eui
    (0x0004), -- app_eui
    (0x0005), -- app_key
    (0x0006), -- net_id
    (0x0007), -- net_dev_adr
    (0x0008), -- net_service_key
    (0x0009), -- app_service_key
    (0x000A), -- tx_period
    (0x000B), -- tx_dr
    (0x000C), -- tx_power
    (0x000D), -- ldc
    (0x000E), -- region
    (0x000F), -- dev_class
    (0x0010), -- nb_trials
    (0x0011), -- tx_confirm
    (0x0012), -- check_connect
    (0x0013), -- rx2_freq
    (0x0014), -- rx2_dr
    (0x0020), -- freq_channel_0
    (0x0021), -- freq_channel_1
    (0x0022), -- freq_channel_2
    (0x0023), -- freq_channel_3
    (0x0024), -- freq_channel_4
    (0x0025), -- freq_channel_5
    (0x0026), -- freq_channel_6
    (0x0027), -- freq_channel_7
    (0x0028), -- freq_channel_8
    (0x0029), -- freq_channel_9
    (0x002A), -- freq_channel_10
    (0x002B), -- freq_channel_11
    (0x002C), -- freq_channel_12
    (0x002D), -- freq_channel_13
    (0x002E), -- freq_channel_14
    (0x002F), -- freq_channel_15
    (0x0031); -- en_power_20dbm
-- application: port, scan period, protocol, saving, time zone
INSERT INTO fw750_1 (cmd) VALUES
    (0x0100), -- app_port
    (0x0101), -- scan_period
    (0x0102), -- protocol
    (0x0103), -- save_every_values
    (0x0104), -- save_every_times
    (0x0105); -- time_zone
-- inputs 0..5: level type, mode, timing
INSERT INTO fw750_1 (cmd) VALUES
    (0x0110), -- type_level_0
    (0x0111), -- type_level_1
    (0x0112), -- type_level_2
    (0x0113), -- type_level_3
    (0x0114), -- type_level_4
    (0x0115), -- type_level_5
    (0x0120), -- type_input_0
    (0x0121), -- type_input_1
    (0x0122), -- type_input_2
    (0x0123), -- type_input_3
    (0x0124), -- type_input_4
    (0x0125), -- type_input_5
    (0x0130), -- timing_0
    (0x0131), -- timing_1
    (0x0132), -- timing_2
    (0x0133), -- timing_3
    (0x0134), -- timing_4
    (0x0135); -- timing_5
-- battery
INSERT INTO fw750_1 (cmd) VALUES
    (0x0140), -- bat_scan_period
    (0x0141), -- bat_rechrg_period
    (0x0142), -- bat_min_level
    (0x0143), -- bat_max_level
    (0x0144); -- bat_off_level
-- fixed transmission points
INSERT INTO fw750_1 (cmd) VALUES
    (0x0180), -- remove_confirm_net
    (0x0181), -- time_point
    (0x0190), -- time_fix_0
    (0x0191), -- time_fix_1
    (0x0192), -- time_fix_2
    (0x0193), -- time_fix_3
    (0x0194), -- time_fix_4
    (0x0195); -- time_fix_5
-- counter difference thresholds of inputs 0..5
INSERT INTO fw750_1 (cmd) VALUES
    (0x01A0), -- count_diff_0
    (0x01A1), -- count_diff_1
    (0x01A2), -- count_diff_2
    (0x01A3), -- count_diff_3
    (0x01A4), -- count_diff_4
    (0x01A5); -- count_diff_5

-- Pages.
INSERT INTO fw750_1 (page) VALUES ('ioPage'), ('systemPage');

-- Form elements.
INSERT INTO fw750_1 (form) VALUES
    ('txSpeedComboBox;DR0 SF12/125 кГц:0,DR1 SF11/125 кГц:1,DR2 SF10/125 кГц:2,DR3 SF9/125 кГц:3,DR4 SF8/125 кГц:4,DR5 SF7/125 кГц:5'),
    ('txPowerComboBox;16 дБм:0,14 дБм:1,12 дБм:2,10 дБм:3,8 дБм:4,6 дБм:5,4 дБм:6,2 дБм:7'),
    ('regionComboBox;EU868:0,RU864:1,KZ865:2,Пользовательский:3'),
    ('devClassComboBox;Класс A:0,Класс C:2'),
    ('inType0comboBox;Сухой контакт:0,Открытый коллектор:1,NAMUR:2'),
    ('inType1comboBox;Сухой контакт:0,Открытый коллектор:1,NAMUR:2'),
    ('inType2comboBox;Сухой контакт:0,Открытый коллектор:1,NAMUR:2'),
    ('inType3comboBox;Сухой контакт:0,Открытый коллектор:1,NAMUR:2'),
    ('inType4comboBox;Сухой контакт:0,Открытый коллектор:1,NAMUR:2'),
    ('inType5comboBox;Сухой контакт:0,Открытый коллектор:1,NAMUR:2'),
    ('inMode0comboBox;Выключен:0,Счётный:1,Охранный:2,Дискретный:3'),
    ('inMode1comboBox;Выключен:0,Счётный:1,Охранный:2,Дискретный:3'),
    ('inMode2comboBox;Выключен:0,Счётный:1,Охранный:2,Дискретный:3'),
    ('inMode3comboBox;Выключен:0,Счётный:1,Охранный:2,Дискретный:3'),
    ('inMode4comboBox;Выключен:0,Счётный:1,Охранный:2,Дискретный:3'),
    ('inMode5comboBox;Выключен:0,Счётный:1,Охранный:2,Дискретный:3'),
    ('protocolComboBox;Базовый:0,Расширенный:1'),
    ('timePointComboBox;По периоду:0,В фиксированные моменты:1,По периоду и в фиксированные моменты:2'),
    ('removeConfirmNetComboBox;Не переподключаться:0,После 3 неподтверждённых:3,После 5 неподтверждённых:5,После 10 неподтверждённых:10,После 20 неподтверждённых:20'),
    ('rsToUsbGroupBox;false'),
    ('enPower20dbmCheckBox;true'),
    ('pointFixCountGroupBox;true'),
    ('countDiff1LineEdit;true'),
    ('timeSource_lbl;true'),
    ('txConfirmCheckBox;true'),
    ('sourceDbgComboBox;Выключено:F,Все подсистемы:A,Радиосеть LoRaWAN:L,Питание:P,Система:S,Входы:I'),
    ('levelDbgcomboBox;Выключено:ALL,Ошибки:ERR,Предупреждения:WRN,Информация:INF,Отладка:DBG'),
    ('PowerSource;Резервная батарея:0,Основное питание:1,USB:2'),
    ('BatStatus;Низкий заряд:0,Батарея не обнаружена:1,Идёт заряд:2,Перегрев батареи:3,Переохлаждение батареи:4,Ошибка зарядного устройства:5,Превышено время заряда:6,Батарея неисправна:7'),
    ('BatErrors;Нет ошибок:0,Ошибка АЦП:1,Нет связи с контроллером питания:2,Батарея не откалибрована:3,Неисправность цепи заряда:4'),
    ('inErrorsParams;Нет:0,Обрыв линии:1,Короткое замыкание:2,Дребезг контактов:3,Переполнение счётчика:4,Воздействие магнитом:5');

-- Status requests, polled from the last row up.
INSERT INTO fw750_1 (status_cmd) VALUES (8), (7), (6), (5), (4), (3), (2), (1), (0);

-- ==========================================================================================
-- Firmware group fw760_1
--   Vexa760 firmware 1.3.x: two inputs and an RS-485 metering interface; no fixed
--   transmission points, no confirmed uplinks, no 20 dBm output, no interface converter,
--   counter threshold on input 0 only, no working-frequency report
-- ==========================================================================================
CREATE TABLE fw760_1 (cmd INTEGER, page TEXT, form TEXT, status_cmd INTEGER);

-- Parameter codes, in reading order.
-- LoRaWAN network, keys and frequency plan
INSERT INTO fw760_1 (cmd) VALUES
    (0x0000), -- otaa_activation
    (0x0001), -- private
    (0x0002), -- use_adr
    (0x0003), -- dev_eui
    (0x0004), -- app_eui
    (0x0005), -- app_key
    (0x0006), -- net_id
    (0x0007), -- net_dev_adr
    (0x0008), -- net_service_key
    (0x0009), -- app_service_key
    (0x000A), -- tx_period
    (0x000B), -- tx_dr
    (0x000C), -- tx_power
    (0x000D), -- ldc
    (0x000E), -- region
    (0x000F), -- dev_class
    (0x0010), -- nb_trials
    (0x0012), -- check_connect
    (0x0013), -- rx2_freq
    (0x0014), -- rx2_dr
    (0x0020), -- freq_channel_0
    (0x0021), -- freq_channel_1
    (0x0022), -- freq_channel_2
    (0x0023), -- freq_channel_3
    (0x0024), -- freq_channel_4
    (0x0025), -- freq_channel_5
    (0x0026), -- freq_channel_6
    (0x0027), -- freq_channel_7
    (0x0028), -- freq_channel_8
    (0x0029), -- freq_channel_9
    (0x002A), -- freq_channel_10
    (0x002B), -- freq_channel_11
    (0x002C), -- freq_channel_12
    (0x002D), -- freq_channel_13
    (0x002E), -- freq_channel_14
    (0x002F); -- freq_channel_15
-- application: port, scan period, protocol, saving, time zone
INSERT INTO fw760_1 (cmd) VALUES
    (0x0100), -- app_port
    (0x0101), -- scan_period
    (0x0102), -- protocol
    (0x0103), -- save_every_values
    (0x0104), -- save_every_times
    (0x0105); -- time_zone
-- inputs 0 and 1: level type, mode, timing
INSERT INTO fw760_1 (cmd) VALUES
    (0x0110), -- type_level_0
    (0x0111), -- type_level_1
    (0x0120), -- type_input_0
    (0x0121), -- type_input_1
    (0x0130), -- timing_0
    (0x0131); -- timing_1
-- battery
INSERT INTO fw760_1 (cmd) VALUES
    (0x0140), -- bat_scan_period
    (0x0141), -- bat_rechrg_period
    (0x0142), -- bat_min_level
    (0x0143), -- bat_max_level
    (0x0144); -- bat_off_level
-- serial interface and metering device
INSERT INTO fw760_1 (cmd) VALUES
    (0x0150), -- rs_settings
    (0x0151), -- crts_settings
    (0x0152), -- rs_timings
    (0x0153), -- rs_repeat
    (0x0154), -- answer_mode
    (0x0155); -- rs_meter_config
-- counter difference threshold of input 0
INSERT INTO fw760_1 (cmd) VALUES
    (0x01A0); -- count_diff_0
-- interface type (read only)
INSERT INTO fw760_1 (cmd) VALUES
    (0x0203); -- interface_type

-- Pages.
INSERT INTO fw760_1 (page) VALUES ('ioPage'), ('interfacesPage'), ('systemPage');

-- Form elements.
INSERT INTO fw760_1 (form) VALUES
    ('txSpeedComboBox;DR0 SF12/125 кГц:0,DR1 SF11/125 кГц:1,DR2 SF10/125 кГц:2,DR3 SF9/125 кГц:3,DR4 SF8/125 кГц:4,DR5 SF7/125 кГц:5'),
    ('txPowerComboBox;16 дБм:0,14 дБм:1,12 дБм:2,10 дБм:3,8 дБм:4,6 дБм:5,4 дБм:6,2 дБм:7'),
    ('regionComboBox;EU868:0,RU864:1,KZ865:2,Пользовательский:3'),
    ('devClassComboBox;Класс A:0,Класс C:2'),
    ('inType0comboBox;Сухой контакт:0,Открытый коллектор:1,NAMUR:2'),
    ('inType1comboBox;Сухой контакт:0,Открытый коллектор:1,NAMUR:2'),
    ('inMode0comboBox;Выключен:0,Счётный:1,Охранный:2,Дискретный:3'),
    ('inMode1comboBox;Выключен:0,Счётный:1,Охранный:2,Дискретный:3'),
    ('protocolComboBox;Базовый:0,Расширенный:1'),
    ('rsSpeedComboBox;1200:1200,2400:2400,4800:4800,9600:9600,19200:19200,38400:38400,57600:57600,115200:115200'),
    ('rsParityComboBox;Нет:0,Чётный:1,Нечётный:2'),
    ('ctsRtsModeComboBox;Выключено:0,RTS:1,RTS/CTS:2'),
    ('rsAnswerModeComboBox;Отправлять сразу:0,Накапливать:1,По запросу сервера:2'),
    ('meteringDevComboBox;Меркурий 230/234:0,Меркурий 206 до 6 шт.:1,Прозрачный канал:2,ВКТ-7:3,Широковещательный опрос:4,Внешний контроллер:5,Меркурий 230/234 до 6 шт.:6,ТЭМ-104:7,МТ-137 до 8 шт.:8,СПТ943:9,СЭТ-4ТМ:10,ЦЭ2727У:11,СЕ303:12'),
    ('rsToUsbGroupBox;false'),
    ('enPower20dbmCheckBox;false'),
    ('pointFixCountGroupBox;false'),
    ('countDiff1LineEdit;false'),
    ('timeSource_lbl;false'),
    ('txConfirmCheckBox;false'),
    ('sourceDbgComboBox;Выключено:F,Все подсистемы:A,Радиосеть LoRaWAN:L,Питание:P,Система:S,Входы:I,Интерфейс RS:R'),
    ('levelDbgcomboBox;Выключено:ALL,Ошибки:ERR,Предупреждения:WRN,Информация:INF,Отладка:DBG'),
    ('PowerSource;Резервная батарея:0,Основное питание:1,USB:2'),
    ('BatStatus;Низкий заряд:0,Батарея не обнаружена:1,Идёт заряд:2,Перегрев батареи:3,Переохлаждение батареи:4,Ошибка зарядного устройства:5,Превышено время заряда:6,Батарея неисправна:7'),
    ('BatErrors;Нет ошибок:0,Ошибка АЦП:1,Нет связи с контроллером питания:2,Батарея не откалибрована:3,Неисправность цепи заряда:4'),
    ('inErrorsParams;Нет:0,Обрыв линии:1,Короткое замыкание:2,Дребезг контактов:3,Переполнение счётчика:4,Воздействие магнитом:5');

-- Status requests, polled from the last row up.
INSERT INTO fw760_1 (status_cmd) VALUES (7), (6), (5), (4), (3), (2), (1), (0);

-- ==========================================================================================
-- Firmware group fw760_2
--   Vexa760 firmware 1.4.x and 1.5.0 (hardware revisions 0 and 1): two inputs, RS-485
--   metering interface, interface converter, fixed transmission points
-- ==========================================================================================
CREATE TABLE fw760_2 (cmd INTEGER, page TEXT, form TEXT, status_cmd INTEGER);

-- Parameter codes, in reading order.
-- LoRaWAN network, keys and frequency plan
INSERT INTO fw760_2 (cmd) VALUES
    (0x0000), -- otaa_activation
    (0x0001), -- private
    (0x0002), -- use_adr
    (0x0003), -- dev_eui
    (0x0004), -- app_eui
    (0x0005), -- app_key
    (0x0006), -- net_id
    (0x0007), -- net_dev_adr
    (0x0008), -- net_service_key
    (0x0009), -- app_service_key
    (0x000A), -- tx_period
    (0x000B), -- tx_dr
    (0x000C), -- tx_power
    (0x000D), -- ldc
    (0x000E), -- region
    (0x000F), -- dev_class
    (0x0010), -- nb_trials
    (0x0011), -- tx_confirm
    (0x0012), -- check_connect
    (0x0013), -- rx2_freq
    (0x0014), -- rx2_dr
    (0x0020), -- freq_channel_0
    (0x0021), -- freq_channel_1
    (0x0022), -- freq_channel_2
    (0x0023), -- freq_channel_3
    (0x0024), -- freq_channel_4
    (0x0025), -- freq_channel_5
    (0x0026), -- freq_channel_6
    (0x0027), -- freq_channel_7
    (0x0028), -- freq_channel_8
    (0x0029), -- freq_channel_9
    (0x002A), -- freq_channel_10
    (0x002B), -- freq_channel_11
    (0x002C), -- freq_channel_12
    (0x002D), -- freq_channel_13
    (0x002E), -- freq_channel_14
    (0x002F), -- freq_channel_15
    (0x0031); -- en_power_20dbm
-- application: port, scan period, protocol, saving, time zone
INSERT INTO fw760_2 (cmd) VALUES
    (0x0100), -- app_port
    (0x0101), -- scan_period
    (0x0102), -- protocol
    (0x0103), -- save_every_values
    (0x0104), -- save_every_times
    (0x0105); -- time_zone
-- inputs 0 and 1: level type, mode, timing
INSERT INTO fw760_2 (cmd) VALUES
    (0x0110), -- type_level_0
    (0x0111), -- type_level_1
    (0x0120), -- type_input_0
    (0x0121), -- type_input_1
    (0x0130), -- timing_0
    (0x0131); -- timing_1
-- battery
INSERT INTO fw760_2 (cmd) VALUES
    (0x0140), -- bat_scan_period
    (0x0141), -- bat_rechrg_period
    (0x0142), -- bat_min_level
    (0x0143), -- bat_max_level
    (0x0144); -- bat_off_level
-- serial interface and metering device
INSERT INTO fw760_2 (cmd) VALUES
    (0x0150), -- rs_settings
    (0x0151), -- crts_settings
    (0x0152), -- rs_timings
    (0x0153), -- rs_repeat
    (0x0154), -- answer_mode
    (0x0155); -- rs_meter_config
-- fixed transmission points
INSERT INTO fw760_2 (cmd) VALUES
    (0x0180), -- remove_confirm_net
    (0x0181), -- time_point
    (0x0190), -- time_fix_0
    (0x0191), -- time_fix_1
    (0x0192), -- time_fix_2
    (0x0193), -- time_fix_3
    (0x0194), -- time_fix_4
    (0x0195); -- time_fix_5
-- counter difference thresholds of inputs 0 and 1
INSERT INTO fw760_2 (cmd) VALUES
    (0x01A0), -- count_diff_0
    (0x01A1); -- count_diff_1
-- interface type (read only)
INSERT INTO fw760_2 (cmd) VALUES
    (0x0203); -- interface_type

-- Pages.
INSERT INTO fw760_2 (page) VALUES ('ioPage'), ('interfacesPage'), ('systemPage');

-- Form elements.
INSERT INTO fw760_2 (form) VALUES
    ('txSpeedComboBox;DR0 SF12/125 кГц:0,DR1 SF11/125 кГц:1,DR2 SF10/125 кГц:2,DR3 SF9/125 кГц:3,DR4 SF8/125 кГц:4,DR5 SF7/125 кГц:5,DR6 SF7/250 кГц:6'),
    ('txPowerComboBox;16 дБм:0,14 дБм:1,12 дБм:2,10 дБм:3,8 дБм:4,6 дБм:5,4 дБм:6,2 дБм:7'),
    ('regionComboBox;EU868:0,RU864:1,KZ865:2,Пользовательский:3'),
    ('devClassComboBox;Класс A:0,Класс C:2'),
    ('inType0comboBox;Сухой контакт:0,Открытый коллектор:1,NAMUR:2'),
    ('inType1comboBox;Сухой контакт:0,Открытый коллектор:1,NAMUR:2'),
    ('inMode0comboBox;Выключен:0,Счётный:1,Охранный:2,Дискретный:3'),
    ('inMode1comboBox;Выключен:0,Счётный:1,Охранный:2,Дискретный:3'),
    ('protocolComboBox;Базовый:0,Расширенный:1'),
    ('rsSpeedComboBox;1200:1200,2400:2400,4800:4800,9600:9600,19200:19200,38400:38400,57600:57600,115200:115200'),
    ('rsParityComboBox;Нет:0,Чётный:1,Нечётный:2'),
    ('ctsRtsModeComboBox;Выключено:0,RTS:1,RTS/CTS:2'),
    ('rsAnswerModeComboBox;Отправлять сразу:0,Накапливать:1,По запросу сервера:2'),
    ('meteringDevComboBox;Меркурий 230/234:0,Меркурий 206 до 6 шт.:1,Прозрачный канал:2,ВКТ-7:3,Широковещательный опрос:4,Внешний контроллер:5,Меркурий 230/234 до 6 шт.:6,ТЭМ-104:7,МТ-137 до 8 шт.:8,СПТ943:9,СЭТ-4ТМ:10,ЦЭ2727У:11,СЕ303:12'),
    ('timePointComboBox;По периоду:0,В фиксированные моменты:1,По периоду и в фиксированные моменты:2'),
    ('removeConfirmNetComboBox;Не переподключаться:0,После 3 неподтверждённых:3,После 5 неподтверждённых:5,После 10 неподтверждённых:10,После 20 неподтверждённых:20'),
    ('rsSourseComboBox;RS-485:0'),
    ('rsToUsbSpeedComboBox;1200:1200,2400:2400,4800:4800,9600:9600,19200:19200,38400:38400,57600:57600,115200:115200'),
    ('rsToUsbGroupBox;true'),
    ('enPower20dbmCheckBox;true'),
    ('pointFixCountGroupBox;true'),
    ('countDiff1LineEdit;true'),
    ('timeSource_lbl;true'),
    ('txConfirmCheckBox;true'),
    ('sourceDbgComboBox;Выключено:F,Все подсистемы:A,Радиосеть LoRaWAN:L,Питание:P,Система:S,Входы:I,Интерфейс RS:R'),
    ('levelDbgcomboBox;Выключено:ALL,Ошибки:ERR,Предупреждения:WRN,Информация:INF,Отладка:DBG'),
    ('PowerSource;Резервная батарея:0,Основное питание:1,USB:2'),
    ('BatStatus;Низкий заряд:0,Батарея не обнаружена:1,Идёт заряд:2,Перегрев батареи:3,Переохлаждение батареи:4,Ошибка зарядного устройства:5,Превышено время заряда:6,Батарея неисправна:7'),
    ('BatErrors;Нет ошибок:0,Ошибка АЦП:1,Нет связи с контроллером питания:2,Батарея не откалибрована:3,Неисправность цепи заряда:4'),
    ('inErrorsParams;Нет:0,Обрыв линии:1,Короткое замыкание:2,Дребезг контактов:3,Переполнение счётчика:4,Воздействие магнитом:5');

-- Status requests, polled from the last row up.
INSERT INTO fw760_2 (status_cmd) VALUES (8), (7), (6), (5), (4), (3), (2), (1), (0);

-- ==========================================================================================
-- Firmware group fw760r2_1
--   Vexa760 hardware revision 2, firmware 2.0.x and 2.1.0: as fw760_2, with a serial port
--   that works as RS-485 or RS-232 (also in converter mode)
-- ==========================================================================================
CREATE TABLE fw760r2_1 (cmd INTEGER, page TEXT, form TEXT, status_cmd INTEGER);

-- Parameter codes, in reading order.
-- LoRaWAN network, keys and frequency plan
INSERT INTO fw760r2_1 (cmd) VALUES
    (0x0000), -- otaa_activation
    (0x0001), -- private
    (0x0002), -- use_adr
    (0x0003), -- dev_eui
    (0x0004), -- app_eui
    (0x0005), -- app_key
    (0x0006), -- net_id
    (0x0007), -- net_dev_adr
    (0x0008), -- net_service_key
    (0x0009), -- app_service_key
    (0x000A), -- tx_period
    (0x000B), -- tx_dr
    (0x000C), -- tx_power
    (0x000D), -- ldc
    (0x000E), -- region
    (0x000F), -- dev_class
    (0x0010), -- nb_trials
    (0x0011), -- tx_confirm
    (0x0012), -- check_connect
    (0x0013), -- rx2_freq
    (0x0014), -- rx2_dr
    (0x0020), -- freq_channel_0
    (0x0021), -- freq_channel_1
    (0x0022), -- freq_channel_2
    (0x0023), -- freq_channel_3
    (0x0024), -- freq_channel_4
    (0x0025), -- freq_channel_5
    (0x0026), -- freq_channel_6
    (0x0027), -- freq_channel_7
    (0x0028), -- freq_channel_8
    (0x0029), -- freq_channel_9
    (0x002A), -- freq_channel_10
    (0x002B), -- freq_channel_11
    (0x002C), -- freq_channel_12
    (0x002D), -- freq_channel_13
    (0x002E), -- freq_channel_14
    (0x002F), -- freq_channel_15
    (0x0031); -- en_power_20dbm
-- application: port, scan period, protocol, saving, time zone
INSERT INTO fw760r2_1 (cmd) VALUES
    (0x0100), -- app_port
    (0x0101), -- scan_period
    (0x0102), -- protocol
    (0x0103), -- save_every_values
    (0x0104), -- save_every_times
    (0x0105); -- time_zone
-- inputs 0 and 1: level type, mode, timing
INSERT INTO fw760r2_1 (cmd) VALUES
    (0x0110), -- type_level_0
    (0x0111), -- type_level_1
    (0x0120), -- type_input_0
    (0x0121), -- type_input_1
    (0x0130), -- timing_0
    (0x0131); -- timing_1
-- battery
INSERT INTO fw760r2_1 (cmd) VALUES
    (0x0140), -- bat_scan_period
    (0x0141), -- bat_rechrg_period
    (0x0142), -- bat_min_level
    (0x0143), -- bat_max_level
    (0x0144); -- bat_off_level
-- serial interface and metering device
INSERT INTO fw760r2_1 (cmd) VALUES
    (0x0150), -- rs_settings
    (0x0151), -- crts_settings
    (0x0152), -- rs_timings
    (0x0153), -- rs_repeat
    (0x0154), -- answer_mode
    (0x0155); -- rs_meter_config
-- fixed transmission points
INSERT INTO fw760r2_1 (cmd) VALUES
    (0x0180), -- remove_confirm_net
    (0x0181), -- time_point
    (0x0190), -- time_fix_0
    (0x0191), -- time_fix_1
    (0x0192), -- time_fix_2
    (0x0193), -- time_fix_3
    (0x0194), -- time_fix_4
    (0x0195); -- time_fix_5
-- counter difference thresholds of inputs 0 and 1
INSERT INTO fw760r2_1 (cmd) VALUES
    (0x01A0), -- count_diff_0
    (0x01A1); -- count_diff_1
-- interface type (read only)
INSERT INTO fw760r2_1 (cmd) VALUES
    (0x0203); -- interface_type

-- Pages.
INSERT INTO fw760r2_1 (page) VALUES ('ioPage'), ('interfacesPage'), ('systemPage');

-- Form elements.
INSERT INTO fw760r2_1 (form) VALUES
    ('txSpeedComboBox;DR0 SF12/125 кГц:0,DR1 SF11/125 кГц:1,DR2 SF10/125 кГц:2,DR3 SF9/125 кГц:3,DR4 SF8/125 кГц:4,DR5 SF7/125 кГц:5,DR6 SF7/250 кГц:6'),
    ('txPowerComboBox;16 дБм:0,14 дБм:1,12 дБм:2,10 дБм:3,8 дБм:4,6 дБм:5,4 дБм:6,2 дБм:7'),
    ('regionComboBox;EU868:0,RU864:1,KZ865:2,Пользовательский:3'),
    ('devClassComboBox;Класс A:0,Класс C:2'),
    ('inType0comboBox;Сухой контакт:0,Открытый коллектор:1,NAMUR:2'),
    ('inType1comboBox;Сухой контакт:0,Открытый коллектор:1,NAMUR:2'),
    ('inMode0comboBox;Выключен:0,Счётный:1,Охранный:2,Дискретный:3'),
    ('inMode1comboBox;Выключен:0,Счётный:1,Охранный:2,Дискретный:3'),
    ('protocolComboBox;Базовый:0,Расширенный:1'),
    ('rsSpeedComboBox;1200:1200,2400:2400,4800:4800,9600:9600,19200:19200,38400:38400,57600:57600,115200:115200'),
    ('rsParityComboBox;Нет:0,Чётный:1,Нечётный:2'),
    ('ctsRtsModeComboBox;Выключено:0,RTS:1,RTS/CTS:2'),
    ('rsAnswerModeComboBox;Отправлять сразу:0,Накапливать:1,По запросу сервера:2'),
    ('meteringDevComboBox;Меркурий 230/234:0,Меркурий 206 до 6 шт.:1,Прозрачный канал:2,ВКТ-7:3,Широковещательный опрос:4,Внешний контроллер:5,Меркурий 230/234 до 6 шт.:6,ТЭМ-104:7,МТ-137 до 8 шт.:8,СПТ943:9,СЭТ-4ТМ:10,ЦЭ2727У:11,СЕ303:12'),
    ('timePointComboBox;По периоду:0,В фиксированные моменты:1,По периоду и в фиксированные моменты:2'),
    ('removeConfirmNetComboBox;Не переподключаться:0,После 3 неподтверждённых:3,После 5 неподтверждённых:5,После 10 неподтверждённых:10,После 20 неподтверждённых:20'),
    ('rsSourseComboBox;RS-485:0,RS-232:1'),
    ('rsToUsbSpeedComboBox;1200:1200,2400:2400,4800:4800,9600:9600,19200:19200,38400:38400,57600:57600,115200:115200'),
    ('rsToUsbGroupBox;true'),
    ('enPower20dbmCheckBox;true'),
    ('pointFixCountGroupBox;true'),
    ('countDiff1LineEdit;true'),
    ('timeSource_lbl;true'),
    ('txConfirmCheckBox;true'),
    ('sourceDbgComboBox;Выключено:F,Все подсистемы:A,Радиосеть LoRaWAN:L,Питание:P,Система:S,Входы:I,Интерфейс RS:R'),
    ('levelDbgcomboBox;Выключено:ALL,Ошибки:ERR,Предупреждения:WRN,Информация:INF,Отладка:DBG'),
    ('PowerSource;Резервная батарея:0,Основное питание:1,USB:2'),
    ('BatStatus;Низкий заряд:0,Батарея не обнаружена:1,Идёт заряд:2,Перегрев батареи:3,Переохлаждение батареи:4,Ошибка зарядного устройства:5,Превышено время заряда:6,Батарея неисправна:7'),
    ('BatErrors;Нет ошибок:0,Ошибка АЦП:1,Нет связи с контроллером питания:2,Батарея не откалибрована:3,Неисправность цепи заряда:4'),
    ('inErrorsParams;Нет:0,Обрыв линии:1,Короткое замыкание:2,Дребезг контактов:3,Переполнение счётчика:4,Воздействие магнитом:5');

-- Status requests, polled from the last row up.
INSERT INTO fw760r2_1 (status_cmd) VALUES (8), (7), (6), (5), (4), (3), (2), (1), (0);

-- ==========================================================================================
-- Device keys and identifiers: id = model number + 1024 * hardware revision.
-- A bare model key must precede its revision keys (lookups match by prefix).
-- ==========================================================================================
CREATE TABLE ids (name TEXT, id INTEGER);
INSERT INTO ids (name, id) VALUES
    ('701', 701),
    ('750', 750),
    ('760', 760),
    ('760_1', 1784),
    ('760_2', 2808),
    ('760_3', 3832),
    ('760_4', 4856),
    ('760_5', 5880),
    ('760_63', 65272);

-- ==========================================================================================
-- Device status word: bit, condition, text when the bit is clear, text when it is set.
-- ==========================================================================================
CREATE TABLE statusBits (bit INTEGER, name TEXT, text_clear TEXT, text_set TEXT);
INSERT INTO statusBits (bit, name, text_clear, text_set) VALUES
    (0,  'Внешнее питание', 'Подключено', 'Отключено'),
    (1,  'Активная SIM-карта', 'SIM-карта 1', 'SIM-карта 2'),
    (2,  'Связь с основным сервером', 'Установлена', 'Нет связи'),
    (3,  'Регистрация в сети LoRaWAN', 'Выполнена', 'Не выполнена'),
    (4,  'Заряд батареи', 'Норма', 'Низкий'),
    (5,  'Достоверность координат', 'Координаты достоверны', 'Координаты недостоверны'),
    (6,  'Источник координат', 'Приёмник спутниковой навигации', 'Заданы статически'),
    (7,  'Вскрытие корпуса', 'Нет', 'Обнаружено'),
    (8,  'Температура внутри корпуса', 'Норма', 'Вне рабочего диапазона'),
    (9,  'Часы реального времени', 'Синхронизированы', 'Не синхронизированы'),
    (10, 'Флеш-память', 'Исправна', 'Ошибка'),
    (11, 'Чёрный ящик', 'Норма', 'Переполнен'),
    (12, 'Конфигурация', 'Корректна', 'Повреждена, загружены заводские настройки'),
    (13, 'Тревога по входу 1', 'Нет', 'Есть'),
    (14, 'Тревога по входу 2', 'Нет', 'Есть'),
    (15, 'Тревога по входу 3', 'Нет', 'Есть'),
    (16, 'Тревога по входу 4', 'Нет', 'Есть'),
    (17, 'Тревога по входу 5', 'Нет', 'Есть'),
    (18, 'Тревога по входу 6', 'Нет', 'Есть'),
    (19, 'Связь с альтернативным сервером', 'Установлена', 'Нет связи'),
    (20, 'Удалённое конфигурирование', 'Не активно', 'Активно'),
    (21, 'Обмен с прибором учёта', 'Норма', 'Прибор не отвечает'),
    (22, 'Обновление прошивки', 'Не выполняется', 'Выполняется'),
    (23, 'Очередь передачи', 'Пуста', 'Есть неотправленные пакеты'),
    (24, 'Сеть', 'Домашняя', 'Роуминг'),
    (25, 'Уровень радиосигнала', 'Достаточный', 'Низкий'),
    (26, 'Режим радиомодуля', 'LoRaWAN', 'Ретранслятор FSK'),
    (27, 'Преобразователь интерфейса', 'Выключен', 'Включен'),
    (28, 'Вывод отладочной информации', 'Выключен', 'Включен'),
    (29, 'Причина последнего перезапуска', 'Штатный перезапуск', 'Сторожевой таймер'),
    (30, 'Напряжение питания', 'Норма', 'Ниже допустимого'),
    (31, 'Радиомодуль', 'Исправен', 'Ошибка');

-- ==========================================================================================
-- Cellular data presets: provider, APN, user, password, dial number.
-- ==========================================================================================
CREATE TABLE gprsList (provider TEXT, apn TEXT, user TEXT, password TEXT, dial TEXT);
INSERT INTO gprsList (provider, apn, user, password, dial) VALUES
    ('МТС', 'internet.mts.ru', 'mts', 'mts', '*99#'),
    ('Билайн', 'internet.beeline.ru', 'beeline', 'beeline', '*99#'),
    ('МегаФон', 'internet', 'gdata', 'gdata', '*99#'),
    ('Tele2', 'internet.tele2.ru', '', '', '*99#'),
    ('Yota', 'internet.yota', '', '', '*99#'),
    ('Пользовательский', '', '', '', '*99#');

-- ==========================================================================================
-- Satellite receiver presets: name, mode code, description, A-GNSS host.
-- ==========================================================================================
CREATE TABLE gpsList (name TEXT, mode TEXT, description TEXT, agnss_host TEXT);
INSERT INTO gpsList (name, mode, description, agnss_host) VALUES
    ('GPS', '1', 'Только GPS', ''),
    ('ГЛОНАСС', '2', 'Только ГЛОНАСС', ''),
    ('GPS + ГЛОНАСС', '3', 'Совместный режим GPS и ГЛОНАСС', ''),
    ('GPS + ГЛОНАСС + Galileo', '7', 'Совместный режим трёх систем', ''),
    ('Выключен', '0', 'Координаты задаются вручную', '');

COMMIT;
