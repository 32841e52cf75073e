<?xml version='1.0' encoding='utf-8'?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ru_RU">
<context>
    <name>AboutForm</name>
    <message>
        <source>О Программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>    О Программе</source>
        <translation>    About</translation>
    </message>
    <message>
        <source>Конфигуратор устройств сбора данных Вэкса7XX.
Версия </source>
        <translation>Vexa7XX data collector configurator.
Version </translation>
    </message>
</context>
<context>
    <name>AuthenticationController</name>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Неверный пароль</source>
        <translation>Wrong password</translation>
    </message>
    <message>
        <source>Смена пароля</source>
        <translation>Password change</translation>
    </message>
    <message>
        <source>Пароль успешно измёнен</source>
        <translation>The password was changed</translation>
    </message>
    <message>
        <source>Ошибка изменения пароля</source>
        <translation>The password could not be changed</translation>
    </message>
</context>
<context>
    <name>AuthenticationForm</name>
    <message>
        <source>Авторизация</source>
        <translation>Authorization</translation>
    </message>
    <message>
        <source>    Авторизация</source>
        <translation>    Authorization</translation>
    </message>
    <message>
        <source>Введите пароль</source>
        <translation>Enter password</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ConfigController</name>
    <message>
        <source>Незаписанные изменения</source>
        <translation>Unwritten changes</translation>
    </message>
    <message>
        <source>Есть незаписанные изменения для другого устройства.</source>
        <translation>There are unwritten changes for another device.</translation>
    </message>
    <message>
        <source>Сделаны для: %1</source>
        <translation>Made for: %1</translation>
    </message>
    <message>
        <source>Подключено: %1</source>
        <translation>Connected: %1</translation>
    </message>
    <message>
        <source>Да — перенести эти изменения в подключенное устройство.</source>
        <translation>Yes: move these changes to the connected device.</translation>
    </message>
    <message>
        <source>Нет — отказаться от них.</source>
        <translation>No: discard them.</translation>
    </message>
    <message>
        <source>Отмена — сохранить их для устройства SN %1: они вернутся, когда оно будет подключено.</source>
        <translation>Cancel: keep them for device SN %1; they come back when it is connected.</translation>
    </message>
    <message>
        <source>На странице есть незаписанные изменения</source>
        <translation>This page has changes not yet written</translation>
    </message>
    <message>
        <source>Записать конфигурацию (изменений: %1)</source>
        <translation>Write the configuration (changes: %1)</translation>
    </message>
    <message>
        <source>Записать конфигурацию</source>
        <translation>Write configuration</translation>
    </message>
    <message>
        <source>Предупреждение</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Имеются не записанные изменения.
Записать изменения?</source>
        <translation>There are changes not written to the device.
Write them?</translation>
    </message>
    <message>
        <source>Версия прошивки модуля не поддерживается конфигуратором</source>
        <translation>The configurator does not support the device's firmware version</translation>
    </message>
    <message>
        <source>Запись конфигурации</source>
        <translation>Writing the configuration</translation>
    </message>
    <message>
        <source>Отсутствуют изменения для записи в устройство</source>
        <translation>There are no changes to write to the device</translation>
    </message>
    <message>
        <source>Записать конфигурацию в устройство?</source>
        <translation>Write the configuration to the device?</translation>
    </message>
    <message>
        <source>После записи устройство перезагрузится.</source>
        <translation>The device will reboot after the write.</translation>
    </message>
    <message>
        <source>Запись невозможна, исправьте поля:</source>
        <translation>Nothing can be written until these fields are corrected:</translation>
    </message>
    <message>
        <source>Ошибка записи</source>
        <translation>Write error</translation>
    </message>
    <message>
        <source>Запись конфигурации прервана: устройство отключено.</source>
        <translation>Writing the configuration stopped: the device was disconnected.</translation>
    </message>
    <message>
        <source>Запись конфигурации прервана: устройство не отвечает.</source>
        <translation>Writing the configuration stopped: the device does not answer.</translation>
    </message>
    <message>
        <source>Проверка записи</source>
        <translation>Write check</translation>
    </message>
    <message>
        <source>Записано и проверено: значений прочитано из устройства таких же, как записаны: %1</source>
        <translation>Written and verified: values read back from the device as written: %1</translation>
    </message>
    <message>
        <source>%1: записано %2, прочитано %3</source>
        <translation>%1: written %2, read back %3</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Устройство хранит не те значения, что были записаны:</source>
        <translation>The device holds other values than those written:</translation>
    </message>
    <message>
        <source>Записаны: %1</source>
        <translation>Written: %1</translation>
    </message>
    <message>
        <source>Не записаны (остались в изменениях): %1</source>
        <translation>Not written (still pending): %1</translation>
    </message>
    <message>
        <source>Открытие файла</source>
        <translation>Opening a file</translation>
    </message>
    <message>
        <source>Значения из файла заменили ваши незаписанные изменения:</source>
        <translation>Values from the file replaced your unwritten changes:</translation>
    </message>
    <message>
        <source>Открыть конфигурационный файл</source>
        <translation>Open a configuration file</translation>
    </message>
    <message>
        <source>XML Files (*.xml);;All Files (*.*)</source>
        <translation>XML Files (*.xml);;All Files (*.*)</translation>
    </message>
    <message>
        <source>Ошибка открытия файла</source>
        <translation>Cannot open the file</translation>
    </message>
    <message>
        <source>Файл не является файлом конфигурации или поврежден</source>
        <translation>The file is not a configuration file or is damaged</translation>
    </message>
    <message>
        <source>Эти параметры файла неверны и не будут записаны в устройство:</source>
        <translation>These parameters of the file are not valid and will not be written to the device:</translation>
    </message>
    <message>
        <source>Файл конфигурации не соответствует подключенному устройству</source>
        <translation>The configuration file does not match the connected device</translation>
    </message>
    <message>
        <source>Сохранить конфигурацию</source>
        <translation>Save the configuration</translation>
    </message>
    <message>
        <source>XML Files (*.xml)</source>
        <translation>XML Files (*.xml)</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Ошибка сохранения конфигурации</source>
        <translation>The configuration could not be saved</translation>
    </message>
    <message>
        <source>Конфигурация сохранена в %1 (ключи и EUI в файлы не сохраняются)</source>
        <translation>Configuration saved to %1 (keys and EUIs are never stored in files)</translation>
    </message>
    <message>
        <source>Чтение конфигурации</source>
        <translation>Reading the configuration</translation>
    </message>
    <message>
        <source>Считать конфигурацию из устройства заново? Незаписанные изменения (%1) будут потеряны:</source>
        <translation>Read the configuration from the device again? The unwritten changes (%1) will be lost:</translation>
    </message>
</context>
<context>
    <name>ConfigEditor</name>
    <message>
        <source>Устройство не сообщило частотный план</source>
        <translation>The device has not reported a frequency plan</translation>
    </message>
    <message>
        <source>Рабочие частоты не получены от устройства</source>
        <translation>No working frequencies received from the device</translation>
    </message>
    <message>
        <source>Скорость выбирает сеть: включен ADR</source>
        <translation>The network chooses the data rate: ADR is on</translation>
    </message>
    <message>
        <source>Частотный план задаётся только в регионе «%1»</source>
        <translation>The frequency plan can be set only in the region "%1"</translation>
    </message>
    <message>
        <source>Неполный ключ: нужно %1 шестнадцатеричных цифр, введено %2. Запись невозможна.</source>
        <translation>Incomplete key: %1 hex digits needed, %2 typed. It cannot be written.</translation>
    </message>
    <message>
        <source>изменено на %1, минимум</source>
        <translation>changed to %1, the minimum</translation>
    </message>
    <message>
        <source>изменено на %1, максимум</source>
        <translation>changed to %1, the maximum</translation>
    </message>
    <message>
        <source>Это устройство не поддерживает режим преобразователя интерфейсов</source>
        <translation>This device has no interface converter mode</translation>
    </message>
    <message>
        <source>%1 шестнадцатеричных цифр (0-9, A-F)</source>
        <translation>%1 hex digits (0-9, A-F)</translation>
    </message>
    <message>
        <source>0 — выключено, иначе от %1 до %2</source>
        <translation>0: off, otherwise %1 to %2</translation>
    </message>
    <message>
        <source>Допустимо: от %1 до %2</source>
        <translation>Allowed: %1 to %2</translation>
    </message>
    <message>
        <source>из файла, не записано в устройство</source>
        <translation>from file, not written</translation>
    </message>
    <message>
        <source>изменено, не записано в устройство (в устройстве: %1)</source>
        <translation>edited, not written (on the device: %1)</translation>
    </message>
</context>
<context>
    <name>ConsolePage</name>
    <message>
        <source>Сохранить в файл</source>
        <translation>Save to file</translation>
    </message>
    <message>
        <source>Писать лог в файл</source>
        <translation>Write log to file</translation>
    </message>
    <message>
        <source>Очистить лог</source>
        <translation>Clear log</translation>
    </message>
    <message>
        <source>Сохранить лог</source>
        <translation>Save log</translation>
    </message>
    <message>
        <source>Сохранить бинарный лог</source>
        <translation>Save binary log</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Ошибка сохранения файла</source>
        <translation>Error saving the file</translation>
    </message>
    <message>
        <source>Ошибка создания файла</source>
        <translation>Error creating the file</translation>
    </message>
    <message>
        <source>Ошибка записи файла, запись лога остановлена</source>
        <translation>Error writing the file; logging stopped</translation>
    </message>
    <message>
        <source>Режим отладки</source>
        <translation>Debug mode</translation>
    </message>
    <message>
        <source>Режим отладки не доступен в режиме удаленного конфигурирования!</source>
        <translation>Debug mode is not available in remote configuration mode!</translation>
    </message>
    <message>
        <source>Команда не отправлена: устройство не готово</source>
        <translation>Command not sent: the device is not ready</translation>
    </message>
    <message>
        <source>Включен режим вывода отладочной информации.
В этом режиме функции конфигуратора не доступны.
Выключить режим отладки?</source>
        <translation>Debug output is on.
The configurator's functions are not available in this mode.
Switch debug mode off?</translation>
    </message>
    <message>
        <source>помехи на линии, байт: %1</source>
        <translation>line noise, bytes: %1</translation>
    </message>
</context>
<context>
    <name>DebugForm</name>
    <message>
        <source>Режим отладки</source>
        <translation>Debug mode</translation>
    </message>
    <message>
        <source>    Режим отладки</source>
        <translation>    Debug mode</translation>
    </message>
    <message>
        <source>Источник:</source>
        <translation>Source:</translation>
    </message>
    <message>
        <source>Уровень:</source>
        <translation>Level:</translation>
    </message>
    <message>
        <source>Применить</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>DeviceDatabase</name>
    <message>
        <source>DR0 SF12/125 кГц</source>
        <translation>DR0 SF12/125 kHz</translation>
    </message>
    <message>
        <source>DR1 SF11/125 кГц</source>
        <translation>DR1 SF11/125 kHz</translation>
    </message>
    <message>
        <source>DR2 SF10/125 кГц</source>
        <translation>DR2 SF10/125 kHz</translation>
    </message>
    <message>
        <source>DR3 SF9/125 кГц</source>
        <translation>DR3 SF9/125 kHz</translation>
    </message>
    <message>
        <source>DR4 SF8/125 кГц</source>
        <translation>DR4 SF8/125 kHz</translation>
    </message>
    <message>
        <source>DR5 SF7/125 кГц</source>
        <translation>DR5 SF7/125 kHz</translation>
    </message>
    <message>
        <source>16 дБм</source>
        <translation>16 dBm</translation>
    </message>
    <message>
        <source>14 дБм</source>
        <translation>14 dBm</translation>
    </message>
    <message>
        <source>12 дБм</source>
        <translation>12 dBm</translation>
    </message>
    <message>
        <source>10 дБм</source>
        <translation>10 dBm</translation>
    </message>
    <message>
        <source>8 дБм</source>
        <translation>8 dBm</translation>
    </message>
    <message>
        <source>6 дБм</source>
        <translation>6 dBm</translation>
    </message>
    <message>
        <source>4 дБм</source>
        <translation>4 dBm</translation>
    </message>
    <message>
        <source>2 дБм</source>
        <translation>2 dBm</translation>
    </message>
    <message>
        <source>Пользовательский</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>Класс A</source>
        <translation>Class A</translation>
    </message>
    <message>
        <source>По периоду</source>
        <translation>Every transmission period</translation>
    </message>
    <message>
        <source>В фиксированные моменты</source>
        <translation>At the fixed transmission points</translation>
    </message>
    <message>
        <source>По периоду и в фиксированные моменты</source>
        <translation>Every period and at the fixed points</translation>
    </message>
    <message>
        <source>Не переподключаться</source>
        <translation>Never</translation>
    </message>
    <message>
        <source>После 3 неподтверждённых</source>
        <translation>After 3 unconfirmed packets</translation>
    </message>
    <message>
        <source>После 5 неподтверждённых</source>
        <translation>After 5 unconfirmed packets</translation>
    </message>
    <message>
        <source>После 10 неподтверждённых</source>
        <translation>After 10 unconfirmed packets</translation>
    </message>
    <message>
        <source>После 20 неподтверждённых</source>
        <translation>After 20 unconfirmed packets</translation>
    </message>
    <message>
        <source>По переднему фронту</source>
        <translation>Rising edge</translation>
    </message>
    <message>
        <source>По заднему фронту</source>
        <translation>Falling edge</translation>
    </message>
    <message>
        <source>По обоим фронтам</source>
        <translation>Both edges</translation>
    </message>
    <message>
        <source>Выключено</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>Все подсистемы</source>
        <translation>All subsystems</translation>
    </message>
    <message>
        <source>Радиосеть LoRaWAN</source>
        <translation>LoRaWAN network</translation>
    </message>
    <message>
        <source>Питание</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>Система</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Оптический датчик</source>
        <translation>Optical sensor</translation>
    </message>
    <message>
        <source>Ошибки</source>
        <translation>Errors</translation>
    </message>
    <message>
        <source>Предупреждения</source>
        <translation>Warnings</translation>
    </message>
    <message>
        <source>Информация</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Отладка</source>
        <translation>Debug</translation>
    </message>
    <message>
        <source>Батарея</source>
        <translation>Battery</translation>
    </message>
    <message>
        <source>Низкое напряжение</source>
        <translation>Low voltage</translation>
    </message>
    <message>
        <source>Критический разряд</source>
        <translation>Critically discharged</translation>
    </message>
    <message>
        <source>Питание от USB</source>
        <translation>USB power</translation>
    </message>
    <message>
        <source>Высокое внутреннее сопротивление</source>
        <translation>High internal resistance</translation>
    </message>
    <message>
        <source>Ошибка измерения</source>
        <translation>Measurement error</translation>
    </message>
    <message>
        <source>Пассивация элемента</source>
        <translation>Cell passivation</translation>
    </message>
    <message>
        <source>Перегрев</source>
        <translation>Overheated</translation>
    </message>
    <message>
        <source>Переохлаждение</source>
        <translation>Too cold</translation>
    </message>
    <message>
        <source>Нет ошибок</source>
        <translation>No errors</translation>
    </message>
    <message>
        <source>Ошибка АЦП</source>
        <translation>ADC error</translation>
    </message>
    <message>
        <source>Нет связи с контроллером питания</source>
        <translation>No link to the power controller</translation>
    </message>
    <message>
        <source>Батарея не откалибрована</source>
        <translation>Battery not calibrated</translation>
    </message>
    <message>
        <source>Класс C</source>
        <translation>Class C</translation>
    </message>
    <message>
        <source>Сухой контакт</source>
        <translation>Dry contact</translation>
    </message>
    <message>
        <source>Открытый коллектор</source>
        <translation>Open collector</translation>
    </message>
    <message>
        <source>Выключен</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>Счётный</source>
        <translation>Counting</translation>
    </message>
    <message>
        <source>Охранный</source>
        <translation>Security</translation>
    </message>
    <message>
        <source>Дискретный</source>
        <translation>Discrete</translation>
    </message>
    <message>
        <source>Базовый</source>
        <translation>Basic</translation>
    </message>
    <message>
        <source>Расширенный</source>
        <translation>Extended</translation>
    </message>
    <message>
        <source>Входы</source>
        <translation>Inputs</translation>
    </message>
    <message>
        <source>Резервная батарея</source>
        <translation>Backup battery</translation>
    </message>
    <message>
        <source>Основное питание</source>
        <translation>Main power</translation>
    </message>
    <message>
        <source>Низкий заряд</source>
        <translation>Low charge</translation>
    </message>
    <message>
        <source>Батарея не обнаружена</source>
        <translation>No battery found</translation>
    </message>
    <message>
        <source>Идёт заряд</source>
        <translation>Charging</translation>
    </message>
    <message>
        <source>Перегрев батареи</source>
        <translation>Battery overheated</translation>
    </message>
    <message>
        <source>Переохлаждение батареи</source>
        <translation>Battery too cold</translation>
    </message>
    <message>
        <source>Ошибка зарядного устройства</source>
        <translation>Charger error</translation>
    </message>
    <message>
        <source>Превышено время заряда</source>
        <translation>Charging took too long</translation>
    </message>
    <message>
        <source>Батарея неисправна</source>
        <translation>Battery faulty</translation>
    </message>
    <message>
        <source>Неисправность цепи заряда</source>
        <translation>Charging circuit fault</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Обрыв линии</source>
        <translation>Line broken</translation>
    </message>
    <message>
        <source>Короткое замыкание</source>
        <translation>Short circuit</translation>
    </message>
    <message>
        <source>Дребезг контактов</source>
        <translation>Contact bounce</translation>
    </message>
    <message>
        <source>Переполнение счётчика</source>
        <translation>Counter overflow</translation>
    </message>
    <message>
        <source>Воздействие магнитом</source>
        <translation>Magnetic tampering</translation>
    </message>
    <message>
        <source>Чётный</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>Нечётный</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>Отправлять сразу</source>
        <translation>Send at once</translation>
    </message>
    <message>
        <source>Накапливать</source>
        <translation>Accumulate</translation>
    </message>
    <message>
        <source>По запросу сервера</source>
        <translation>On server request</translation>
    </message>
    <message>
        <source>Меркурий 230/234</source>
        <translation>Mercury 230/234</translation>
    </message>
    <message>
        <source>Меркурий 206 до 6 шт.</source>
        <translation>Mercury 206, up to 6</translation>
    </message>
    <message>
        <source>Прозрачный канал</source>
        <translation>Transparent channel</translation>
    </message>
    <message>
        <source>ВКТ-7</source>
        <translation>VKT-7</translation>
    </message>
    <message>
        <source>Широковещательный опрос</source>
        <translation>Broadcast polling</translation>
    </message>
    <message>
        <source>Внешний контроллер</source>
        <translation>External controller</translation>
    </message>
    <message>
        <source>Меркурий 230/234 до 6 шт.</source>
        <translation>Mercury 230/234, up to 6</translation>
    </message>
    <message>
        <source>ТЭМ-104</source>
        <translation>TEM-104</translation>
    </message>
    <message>
        <source>МТ-137 до 8 шт.</source>
        <translation>MT-137, up to 8</translation>
    </message>
    <message>
        <source>СПТ943</source>
        <translation>SPT943</translation>
    </message>
    <message>
        <source>СЭТ-4ТМ</source>
        <translation>SET-4TM</translation>
    </message>
    <message>
        <source>ЦЭ2727У</source>
        <translation>TsE2727U</translation>
    </message>
    <message>
        <source>СЕ303</source>
        <translation>SE303</translation>
    </message>
    <message>
        <source>Интерфейс RS</source>
        <translation>RS interface</translation>
    </message>
    <message>
        <source>DR6 SF7/250 кГц</source>
        <translation>DR6 SF7/250 kHz</translation>
    </message>
    <message>
        <source>Внешнее питание</source>
        <translation>External power</translation>
    </message>
    <message>
        <source>Подключено</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>Отключено</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <source>Активная SIM-карта</source>
        <translation>Active SIM card</translation>
    </message>
    <message>
        <source>SIM-карта 1</source>
        <translation>SIM card 1</translation>
    </message>
    <message>
        <source>SIM-карта 2</source>
        <translation>SIM card 2</translation>
    </message>
    <message>
        <source>Связь с основным сервером</source>
        <translation>Link to the main server</translation>
    </message>
    <message>
        <source>Установлена</source>
        <translation>Established</translation>
    </message>
    <message>
        <source>Нет связи</source>
        <translation>No link</translation>
    </message>
    <message>
        <source>Регистрация в сети LoRaWAN</source>
        <translation>LoRaWAN registration</translation>
    </message>
    <message>
        <source>Выполнена</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>Не выполнена</source>
        <translation>Not done</translation>
    </message>
    <message>
        <source>Заряд батареи</source>
        <translation>Battery charge</translation>
    </message>
    <message>
        <source>Норма</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Низкий</source>
        <translation>Low</translation>
    </message>
    <message>
        <source>Достоверность координат</source>
        <translation>Position validity</translation>
    </message>
    <message>
        <source>Координаты достоверны</source>
        <translation>Position valid</translation>
    </message>
    <message>
        <source>Координаты недостоверны</source>
        <translation>Position not valid</translation>
    </message>
    <message>
        <source>Источник координат</source>
        <translation>Position source</translation>
    </message>
    <message>
        <source>Приёмник спутниковой навигации</source>
        <translation>Satellite receiver</translation>
    </message>
    <message>
        <source>Заданы статически</source>
        <translation>Set statically</translation>
    </message>
    <message>
        <source>Вскрытие корпуса</source>
        <translation>Case opened</translation>
    </message>
    <message>
        <source>Обнаружено</source>
        <translation>Detected</translation>
    </message>
    <message>
        <source>Температура внутри корпуса</source>
        <translation>Temperature inside the case</translation>
    </message>
    <message>
        <source>Вне рабочего диапазона</source>
        <translation>Out of the working range</translation>
    </message>
    <message>
        <source>Часы реального времени</source>
        <translation>Real-time clock</translation>
    </message>
    <message>
        <source>Синхронизированы</source>
        <translation>Synchronised</translation>
    </message>
    <message>
        <source>Не синхронизированы</source>
        <translation>Not synchronised</translation>
    </message>
    <message>
        <source>Флеш-память</source>
        <translation>Flash memory</translation>
    </message>
    <message>
        <source>Исправна</source>
        <translation>Working</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Чёрный ящик</source>
        <translation>Black box</translation>
    </message>
    <message>
        <source>Переполнен</source>
        <translation>Full</translation>
    </message>
    <message>
        <source>Конфигурация</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>Корректна</source>
        <translation>Valid</translation>
    </message>
    <message>
        <source>Повреждена, загружены заводские настройки</source>
        <translation>Damaged, factory settings loaded</translation>
    </message>
    <message>
        <source>Тревога по входу 1</source>
        <translation>Alarm on input 1</translation>
    </message>
    <message>
        <source>Есть</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Тревога по входу 2</source>
        <translation>Alarm on input 2</translation>
    </message>
    <message>
        <source>Тревога по входу 3</source>
        <translation>Alarm on input 3</translation>
    </message>
    <message>
        <source>Тревога по входу 4</source>
        <translation>Alarm on input 4</translation>
    </message>
    <message>
        <source>Тревога по входу 5</source>
        <translation>Alarm on input 5</translation>
    </message>
    <message>
        <source>Тревога по входу 6</source>
        <translation>Alarm on input 6</translation>
    </message>
    <message>
        <source>Связь с альтернативным сервером</source>
        <translation>Link to the alternative server</translation>
    </message>
    <message>
        <source>Удалённое конфигурирование</source>
        <translation>Remote configuration</translation>
    </message>
    <message>
        <source>Не активно</source>
        <translation>Inactive</translation>
    </message>
    <message>
        <source>Активно</source>
        <translation>Active</translation>
    </message>
    <message>
        <source>Обмен с прибором учёта</source>
        <translation>Meter exchange</translation>
    </message>
    <message>
        <source>Прибор не отвечает</source>
        <translation>Meter not answering</translation>
    </message>
    <message>
        <source>Обновление прошивки</source>
        <translation>Firmware update</translation>
    </message>
    <message>
        <source>Не выполняется</source>
        <translation>Not running</translation>
    </message>
    <message>
        <source>Выполняется</source>
        <translation>Running</translation>
    </message>
    <message>
        <source>Очередь передачи</source>
        <translation>Send queue</translation>
    </message>
    <message>
        <source>Пуста</source>
        <translation>Empty</translation>
    </message>
    <message>
        <source>Есть неотправленные пакеты</source>
        <translation>Packets waiting</translation>
    </message>
    <message>
        <source>Сеть</source>
        <translation>Network</translation>
    </message>
    <message>
        <source>Домашняя</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>Роуминг</source>
        <translation>Roaming</translation>
    </message>
    <message>
        <source>Уровень радиосигнала</source>
        <translation>Radio signal level</translation>
    </message>
    <message>
        <source>Достаточный</source>
        <translation>Sufficient</translation>
    </message>
    <message>
        <source>Режим радиомодуля</source>
        <translation>Radio module mode</translation>
    </message>
    <message>
        <source>Ретранслятор FSK</source>
        <translation>FSK relay</translation>
    </message>
    <message>
        <source>Преобразователь интерфейса</source>
        <translation>Interface converter</translation>
    </message>
    <message>
        <source>Включен</source>
        <translation>On</translation>
    </message>
    <message>
        <source>Вывод отладочной информации</source>
        <translation>Debug output</translation>
    </message>
    <message>
        <source>Причина последнего перезапуска</source>
        <translation>Last restart cause</translation>
    </message>
    <message>
        <source>Штатный перезапуск</source>
        <translation>Normal restart</translation>
    </message>
    <message>
        <source>Сторожевой таймер</source>
        <translation>Watchdog</translation>
    </message>
    <message>
        <source>Напряжение питания</source>
        <translation>Supply voltage</translation>
    </message>
    <message>
        <source>Ниже допустимого</source>
        <translation>Too low</translation>
    </message>
    <message>
        <source>Радиомодуль</source>
        <translation>Radio module</translation>
    </message>
    <message>
        <source>Исправен</source>
        <translation>Working</translation>
    </message>
</context>
<context>
    <name>DeviceInterface</name>
    <message>
        <source>&lt;font color=blue&gt;&amp;gt; &lt;/font&gt;</source>
        <translation>&lt;font color=blue&gt;&amp;gt; &lt;/font&gt;</translation>
    </message>
    <message>
        <source>&lt;font color=blue&gt;&amp;lt; &lt;/font&gt;</source>
        <translation>&lt;font color=blue&gt;&amp;lt; &lt;/font&gt;</translation>
    </message>
    <message>
        <source>&lt;font color=green&gt;&amp;lt; &lt;/font&gt;</source>
        <translation>&lt;font color=green&gt;&amp;lt; &lt;/font&gt;</translation>
    </message>
</context>
<context>
    <name>DeviceJournal</name>
    <message>
        <source>Общий журнал устройств %1 недоступен (%2). Записи сохраняются на этом компьютере и будут отправлены, когда он станет доступен.</source>
        <translation>The shared device journal %1 cannot be reached (%2). Records are kept on this computer and will be sent when it is back.</translation>
    </message>
    <message>
        <source>Журнал устройств %1 не удаётся записать (%2). Записи хранятся в памяти и будут записаны позже; если закрыть программу раньше, они пропадут.</source>
        <translation>The device journal %1 cannot be written (%2). Records are kept in memory and will be written later; they are lost if the program is closed before that.</translation>
    </message>
</context>
<context>
    <name>EraseForm</name>
    <message>
        <source>Очистка памяти</source>
        <translation>Memory cleanup</translation>
    </message>
    <message>
        <source>    Сброс настроек</source>
        <translation>    Reset settings</translation>
    </message>
    <message>
        <source>Сброс сетевых настроек к заводским</source>
        <translation>Reset network settings to factory defaults</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Сбрасывает настройки только настройки сети LoRa к настройкам заданным на производстве в т.ч. все сетевые ключи, значения счетчиков не затрагиваются.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Resets only the LoRa network settings to the factory settings, including all network keys; meter readings are not affected.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Сброс ВСЕХ настроек к заводским</source>
        <translation>Reset ALL settings to factory defaults</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Сбрасывает все настройки устройства к заданным на производстве, значения счетчиков не затрагиваются.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Resets all device settings to the factory settings; meter readings are not affected.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Очистка Черного ящика</source>
        <translation>Clear the black box</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Очищает Черный ящик устройства, значения счетчиков не затрагиваются.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Clears the device black box; meter readings are not affected.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Выполнить</source>
        <translation>Execute</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>FirmwareController</name>
    <message>
        <source>Обновить прошивку устройства до версии </source>
        <translation>Update the device firmware to version </translation>
    </message>
    <message>
        <source>&lt;font color=blue&gt;Доступно обновление прошивки версии &lt;/font&gt;&lt;b&gt;</source>
        <translation>&lt;font color=blue&gt;Firmware update available: version &lt;/font&gt;&lt;b&gt;</translation>
    </message>
    <message>
        <source>Обновление прошивки недоступно: в папке firmware нет более новой прошивки для этого устройства</source>
        <translation>No firmware update: the firmware folder holds nothing newer for this device</translation>
    </message>
    <message>
        <source>Обновление прошивки</source>
        <translation>Firmware update</translation>
    </message>
    <message>
        <source>Список изменений</source>
        <translation>List of changes</translation>
    </message>
    <message>
        <source>Файл прошивки не найден или не читается.</source>
        <translation>The firmware file is missing or cannot be read.</translation>
    </message>
    <message>
        <source>Файл прошивки пуст.</source>
        <translation>The firmware file is empty.</translation>
    </message>
    <message>
        <source>Файл прошивки больше, чем может принять устройство.</source>
        <translation>The firmware file is larger than the device can take.</translation>
    </message>
    <message>
        <source>Файл не является файлом прошивки.</source>
        <translation>The file is not a firmware file.</translation>
    </message>
    <message>
        <source>Устройство не определено.</source>
        <translation>The device has not been identified.</translation>
    </message>
    <message>
        <source>Прошивка предназначена для другого устройства.</source>
        <translation>The firmware is for another device.</translation>
    </message>
    <message>
        <source>Устройство не принимает блоки файла прошивки.</source>
        <translation>The device does not accept the blocks of the firmware file.</translation>
    </message>
    <message>
        <source>Устройство не приняло файл прошивки и после повторной записи.</source>
        <translation>The device rejected the firmware file again after it was written anew.</translation>
    </message>
    <message>
        <source>Неизвестный результат проверки файла прошивки.</source>
        <translation>Unknown result of the firmware file check.</translation>
    </message>
    <message>
        <source>Устройство не создало файл прошивки.</source>
        <translation>The device did not create the firmware file.</translation>
    </message>
    <message>
        <source>Устройство не перезагрузилось в новую прошивку.</source>
        <translation>The device did not reboot into the new firmware.</translation>
    </message>
    <message>
        <source>Связь с устройством потеряна.</source>
        <translation>The connection to the device was lost.</translation>
    </message>
    <message>
        <source>Ошибка обновления прошивки. Перезагрузите устройство и повторите обновление.</source>
        <translation>The firmware update failed. Reboot the device and update again.</translation>
    </message>
    <message>
        <source>Прошивка, начатая на устройстве ранее, не совпадает с этой: запись начинается заново.</source>
        <translation>The firmware partly written to the device earlier is not this one: writing starts over.</translation>
    </message>
    <message>
        <source>Эта прошивка загружена без подписи: устанавливайте её, только если доверяете серверу обновлений.</source>
        <translation>This firmware was downloaded without a signature: install it only if you trust the update server.</translation>
    </message>
    <message>
        <source>%1 теперь работает с прошивкой %2.</source>
        <translation>%1 now runs firmware %2.</translation>
    </message>
    <message>
        <source>%1 вернулся после перезагрузки с прошивкой %3 вместо %2.</source>
        <translation>%1 came back after the restart with firmware %3 instead of %2.</translation>
    </message>
    <message>
        <source>Сейчас на устройстве: версия %1</source>
        <translation>Now on the device: version %1</translation>
    </message>
    <message>
        <source>Незаписанные изменения (%1) останутся: их можно записать после обновления.</source>
        <translation>The unwritten changes (%1) stay: they can be written after the update.</translation>
    </message>
    <message>
        <source>Обновление отменено.</source>
        <translation>Update cancelled.</translation>
    </message>
    <message>
        <source>В устройстве %1 из %2 КБ прошивки %3: следующее обновление продолжит запись с этого места.</source>
        <translation>The device holds %1 of %2 KB of firmware %3: the next update goes on from there.</translation>
    </message>
    <message>
        <source>Устройство не вернулось после перезагрузки: работает ли оно с прошивкой %1, неизвестно. Проверьте подключение и нажмите «Обновить список устройств».</source>
        <translation>The device did not come back after the restart: whether it runs firmware %1 is not known. Check the connection and press "Refresh device list".</translation>
    </message>
</context>
<context>
    <name>FirmwareDialog</name>
    <message>
        <source>%1 КБ/с, осталось %2</source>
        <translation>%1 KB/s, %2 left</translation>
    </message>
    <message>
        <source>Остановка после текущего блока...</source>
        <translation>Stopping after the current block...</translation>
    </message>
    <message>
        <source>Передача прошивки в устройство</source>
        <translation>Sending the firmware to the device</translation>
    </message>
    <message>
        <source>Проверка прошивки устройством</source>
        <translation>The device checks the firmware</translation>
    </message>
    <message>
        <source>Перезагрузка устройства</source>
        <translation>The device restarts</translation>
    </message>
    <message>
        <source>Ожидание устройства с новой прошивкой</source>
        <translation>Waiting for the device with the new firmware</translation>
    </message>
    <message>
        <source>Обновление прошивки</source>
        <translation>Firmware update</translation>
    </message>
    <message>
        <source>Версия %1 → %2</source>
        <translation>Version %1 → %2</translation>
    </message>
    <message>
        <source>запись продолжается с %1 КБ</source>
        <translation>going on from %1 KB</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>FreqForm</name>
    <message>
        <source>нет данных</source>
        <translation>no data</translation>
    </message>
    <message>
        <source>Параметры частотного плана</source>
        <translation>Frequency plan parameters</translation>
    </message>
    <message>
        <source>    Параметры частотного плана</source>
        <translation>    Frequency plan parameters</translation>
    </message>
    <message>
        <source>Закрыть без изменений</source>
        <translation>Close without changes</translation>
    </message>
    <message>
        <source>Частоты:</source>
        <translation>Frequencies:</translation>
    </message>
    <message>
        <source>Частота Join канала 0, МГц:</source>
        <translation>Join channel 0 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота канала для подключения к сети, от 863 до 870 МГц</source>
        <translation>Frequency of a channel for joining the network, 863 to 870 MHz</translation>
    </message>
    <message>
        <source>Частота Join канала 1, МГц:</source>
        <translation>Join channel 1 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота Join канала 2, МГц:</source>
        <translation>Join channel 2 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота канала 3, МГц:</source>
        <translation>Channel 3 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота канала, от 863 до 870 МГц</source>
        <translation>Channel frequency, 863 to 870 MHz</translation>
    </message>
    <message>
        <source>Частота канала 4, МГц:</source>
        <translation>Channel 4 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота канала 5, МГц:</source>
        <translation>Channel 5 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота канала 6, МГц:</source>
        <translation>Channel 6 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота канала 7, МГц:</source>
        <translation>Channel 7 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота канала 8, МГц:</source>
        <translation>Channel 8 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота канала 9, МГц:</source>
        <translation>Channel 9 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота канала 10, МГц:</source>
        <translation>Channel 10 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота канала 11, МГц:</source>
        <translation>Channel 11 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота канала 12, МГц:</source>
        <translation>Channel 12 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота канала 13, МГц:</source>
        <translation>Channel 13 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота канала 14, МГц:</source>
        <translation>Channel 14 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота канала 15, МГц:</source>
        <translation>Channel 15 frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота окна RX2, МГц:</source>
        <translation>RX2 window frequency, MHz:</translation>
    </message>
    <message>
        <source>Частота второго окна приема, от 863 до 870 МГц</source>
        <translation>Frequency of the second receive window, 863 to 870 MHz</translation>
    </message>
    <message>
        <source>Скорость окна RX2:</source>
        <translation>RX2 window data rate:</translation>
    </message>
    <message>
        <source>Скорость передачи во втором окне приема</source>
        <translation>Data rate of the second receive window</translation>
    </message>
    <message>
        <source>Принять измененные частоты</source>
        <translation>Accept the changed frequencies</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>GuiPrompts</name>
    <message>
        <source>Обновление прошивки</source>
        <translation>Firmware update</translation>
    </message>
    <message>
        <source>Модуль не отвечает на команду.
Продолжить обновление прошивки?</source>
        <translation>The device does not answer the command.
Continue the firmware update?</translation>
    </message>
    <message>
        <source>Чтение конфигурации</source>
        <translation>Reading the configuration</translation>
    </message>
    <message>
        <source>Запись конфигурации</source>
        <translation>Writing the configuration</translation>
    </message>
    <message>
        <source>Модуль не отвечает на команду.
Продолжить чтение конфигурации?</source>
        <translation>The device does not answer the command.
Continue reading the configuration?</translation>
    </message>
    <message>
        <source>Модуль не отвечает на команду.
Продолжить запись конфигурации?</source>
        <translation>The device does not answer the command.
Continue writing the configuration?</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Устройство занято другой программой.
Закройте программу использующую устройство и повторите подключение.</source>
        <translation>The device is in use by another program.
Close the program that uses the device and connect again.</translation>
    </message>
    <message>
        <source>Ошибка обмена данными с устройством:
устройство отключено от ПК</source>
        <translation>Data exchange with the device failed:
the device was disconnected from the PC</translation>
    </message>
    <message>
        <source>Конфигуратор подключен к серверу конфигурирования,
переключиться в режим локального конфигурирования?</source>
        <translation>The configurator is connected to the configuration server.
Switch to local configuration?</translation>
    </message>
    <message>
        <source>Нет прав на открытие порта устройства %1 (%2, пользователь %3).</source>
        <translation>No permission to open the device's port %1 (%2, user %3).</translation>
    </message>
    <message>
        <source>Порт принадлежит вам, но его режим закрывает доступ:</source>
        <translation>The port is yours, but its mode shuts you out:</translation>
    </message>
    <message>
        <source>Вы уже в группе %1, но вошли в систему раньше: войдите в систему заново.</source>
        <translation>You are in the group %1 already, but logged in before that: log out and in again.</translation>
    </message>
    <message>
        <source>Добавьте пользователя в группу %1 и войдите в систему заново:</source>
        <translation>Add the user to the group %1 and log in again:</translation>
    </message>
    <message>
        <source>Правило udev для устройства установлено: отключите устройство и подключите снова.</source>
        <translation>The device's udev rule is installed: unplug the device and plug it in again.</translation>
    </message>
    <message>
        <source>Или установите правило udev, дающее доступ пользователю за компьютером, и подключите устройство снова:</source>
        <translation>Or install the udev rule that gives the user at the computer access, and plug the device in again:</translation>
    </message>
    <message>
        <source>Нет прав на открытие порта устройства.
Добавьте пользователя в группу dialout командой
    sudo usermod -aG dialout $USER
и войдите в систему заново. Подробнее — в руководстве (F1), раздел «Последовательные порты в Linux».</source>
        <translation>No permission to open the device's port.
Add the user to the dialout group with
    sudo usermod -aG dialout $USER
and log in again. More in the guide (F1), section "Serial ports on Linux".</translation>
    </message>
</context>
<context>
    <name>GuideForm</name>
    <message>
        <source>Руководство пользователя</source>
        <translation>User guide</translation>
    </message>
</context>
<context>
    <name>HistoryController</name>
    <message>
        <source>сетевые настройки к заводским</source>
        <translation>network settings to factory defaults</translation>
    </message>
    <message>
        <source>все настройки к заводским</source>
        <translation>all settings to factory defaults</translation>
    </message>
    <message>
        <source>очистка чёрного ящика</source>
        <translation>black box cleared</translation>
    </message>
    <message>
        <source>Журнал устройств</source>
        <translation>Device journal</translation>
    </message>
    <message>
        <source>Этой работы больше нет в журнале.</source>
        <translation>This job is no longer in the journal.</translation>
    </message>
    <message>
        <source>Журнал устройств не удаётся прочитать: %1</source>
        <translation>The device journal cannot be read: %1</translation>
    </message>
    <message>
        <source>Прошивка: %1</source>
        <translation>Firmware: %1</translation>
    </message>
    <message>
        <source>Прошивка: %1 → %2</source>
        <translation>Firmware: %1 → %2</translation>
    </message>
    <message>
        <source>Путь: %1</source>
        <translation>Path: %1</translation>
    </message>
    <message>
        <source>Сброс: %1</source>
        <translation>Reset: %1</translation>
    </message>
    <message>
        <source>Причина: %1</source>
        <translation>Reason: %1</translation>
    </message>
    <message>
        <source>Все записанные значения прочитаны из устройства такими же.</source>
        <translation>Every value written was read back from the device the same.</translation>
    </message>
    <message>
        <source>Прочитано не то, что записано:</source>
        <translation>Read back differently from what was written:</translation>
    </message>
    <message>
        <source>Изменения:</source>
        <translation>Changes:</translation>
    </message>
    <message>
        <source>%1: записан, не изменился</source>
        <translation>%1: written, unchanged</translation>
    </message>
    <message>
        <source>%1: изменён</source>
        <translation>%1: changed</translation>
    </message>
    <message>
        <source>%1: записано %2, прочитано %3</source>
        <translation>%1: written %2, read back %3</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>nothing</translation>
    </message>
    <message>
        <source>Восстановление конфигурации</source>
        <translation>Restore configuration</translation>
    </message>
    <message>
        <source>Эта работа не сохранила конфигурацию: её сохраняет только запись в устройство.</source>
        <translation>This job kept no configuration: only a write to the device keeps one.</translation>
    </message>
    <message>
        <source>Конфигурацию можно восстановить только в то устройство, с которым была эта работа (SN %1). Подключите его.</source>
        <translation>The configuration can only be restored to the device of this job (SN %1). Connect it.</translation>
    </message>
    <message>
        <source>Сохранённую в журнале конфигурацию не удаётся прочитать.</source>
        <translation>The configuration kept in the journal cannot be read.</translation>
    </message>
    <message>
        <source>Загружена конфигурация от %1 (изменений: %2). Проверьте изменения и запишите их в устройство.</source>
        <translation>Loaded the configuration of %1 (changes: %2). Review the changes and write them to the device.</translation>
    </message>
    <message>
        <source>Конфигурация от %1 совпадает с конфигурацией устройства: записывать нечего.</source>
        <translation>The configuration of %1 is the one the device holds: there is nothing to write.</translation>
    </message>
</context>
<context>
    <name>HistoryDialog</name>
    <message>
        <source>Чтение</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>Запись</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>Проверка записи</source>
        <translation>Write check</translation>
    </message>
    <message>
        <source>Запись значений</source>
        <translation>Set values</translation>
    </message>
    <message>
        <source>Сброс</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Установка часов</source>
        <translation>Clock set</translation>
    </message>
    <message>
        <source>Обновление прошивки</source>
        <translation>Firmware update</translation>
    </message>
    <message>
        <source>Ввод в эксплуатацию</source>
        <translation>Provisioning</translation>
    </message>
    <message>
        <source>Ретранслятор</source>
        <translation>Relay</translation>
    </message>
    <message>
        <source>Удалённая настройка</source>
        <translation>Remote configuration</translation>
    </message>
    <message>
        <source>Восстановление</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>успешно</source>
        <translation>done</translation>
    </message>
    <message>
        <source>ошибка</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>отменено</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>Работы со всеми устройствами</source>
        <translation>Jobs on every device</translation>
    </message>
    <message>
        <source>не отправлено в общий журнал</source>
        <translation>not yet in the shared journal</translation>
    </message>
    <message>
        <source>Запись ждёт в журнале этого компьютера и будет отправлена, когда общий журнал станет доступен</source>
        <translation>The record waits in this computer's journal and is sent once the shared journal can be reached</translation>
    </message>
    <message>
        <source>Общий журнал недоступен (%1): показано то, что ждёт отправки в журнале этого компьютера.</source>
        <translation>The shared journal cannot be reached (%1): shown is what waits in this computer's journal.</translation>
    </message>
    <message>
        <source>История устройства</source>
        <translation>Device history</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Работа</source>
        <translation>Job</translation>
    </message>
    <message>
        <source>Результат</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Пользователь и станция</source>
        <translation>User and station</translation>
    </message>
    <message>
        <source>Путь</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>Восстановить эту конфигурацию</source>
        <translation>Restore this configuration</translation>
    </message>
    <message>
        <source>Загрузить конфигурацию, которая была в устройстве до этой записи, как незаписанные изменения (ключи не восстанавливаются)</source>
        <translation>Load the configuration the device had before this write as unwritten changes (keys are not restored)</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>InterfacesPage</name>
    <message>
        <source>Параметры линии</source>
        <translation>Line parameters</translation>
    </message>
    <message>
        <source>Интерфейс:</source>
        <translation>Interface:</translation>
    </message>
    <message>
        <source>Интерфейс устройства для подключения прибора учета</source>
        <translation>Device interface for connecting the meter</translation>
    </message>
    <message>
        <source>Скорость, бод:</source>
        <translation>Speed, baud:</translation>
    </message>
    <message>
        <source>Скорость обмена с прибором учета, бод</source>
        <translation>Speed of communication with the meter, baud</translation>
    </message>
    <message>
        <source>Четность:</source>
        <translation>Parity:</translation>
    </message>
    <message>
        <source>Контроль четности (только для RS-232)</source>
        <translation>Parity check (RS-232 only)</translation>
    </message>
    <message>
        <source>Управление RTS/CTS</source>
        <translation>RTS/CTS control</translation>
    </message>
    <message>
        <source>Режим RTS/CTS:</source>
        <translation>RTS/CTS mode:</translation>
    </message>
    <message>
        <source>Управление линиями RTS/CTS (только для RS-232)</source>
        <translation>RTS/CTS line control (RS-232 only)</translation>
    </message>
    <message>
        <source>Переключение RTS 0→1, мс:</source>
        <translation>RTS switch 0→1, ms:</translation>
    </message>
    <message>
        <source>Время переключения RTS из 0 в 1, мс</source>
        <translation>RTS switching time from 0 to 1, ms</translation>
    </message>
    <message>
        <source>Переключение RTS 1→0, мс:</source>
        <translation>RTS switch 1→0, ms:</translation>
    </message>
    <message>
        <source>Время переключения RTS из 1 в 0, мс</source>
        <translation>RTS switching time from 1 to 0, ms</translation>
    </message>
    <message>
        <source>Тайм-аут после CTS, мс:</source>
        <translation>Timeout after CTS, ms:</translation>
    </message>
    <message>
        <source>Тайм-аут передачи после сигнала CTS, мс</source>
        <translation>Transmission timeout after the CTS signal, ms</translation>
    </message>
    <message>
        <source>Обмен с прибором учета</source>
        <translation>Communication with the meter</translation>
    </message>
    <message>
        <source>Задержка включения, мс:</source>
        <translation>Power-on delay, ms:</translation>
    </message>
    <message>
        <source>Задержка включения, мс</source>
        <translation>Power-on delay, ms</translation>
    </message>
    <message>
        <source>Ожидание начала ответа, мс:</source>
        <translation>Response start wait, ms:</translation>
    </message>
    <message>
        <source>Тайм-аут ожидания начала ответа прибора, мс</source>
        <translation>Timeout waiting for the meter response to start, ms</translation>
    </message>
    <message>
        <source>Ожидание конца ответа, мс:</source>
        <translation>Response end wait, ms:</translation>
    </message>
    <message>
        <source>Тайм-аут после последнего символа ответа, мс</source>
        <translation>Timeout after the last response character, ms</translation>
    </message>
    <message>
        <source>Время включения, мс:</source>
        <translation>Power-on time, ms:</translation>
    </message>
    <message>
        <source>Время включения, мс</source>
        <translation>Power-on time, ms</translation>
    </message>
    <message>
        <source>Повторы запроса:</source>
        <translation>Request retries:</translation>
    </message>
    <message>
        <source>Число повторов запроса к прибору учета</source>
        <translation>Number of request retries to the meter</translation>
    </message>
    <message>
        <source>Режим ответа:</source>
        <translation>Response mode:</translation>
    </message>
    <message>
        <source>Когда передавать ответы прибора учета</source>
        <translation>When to transmit the meter responses</translation>
    </message>
    <message>
        <source>Режим преобразователя интерфейса</source>
        <translation>Interface converter mode</translation>
    </message>
    <message>
        <source>Интерфейс, передаваемый в USB</source>
        <translation>Interface passed through to USB</translation>
    </message>
    <message>
        <source>Скорость интерфейса в режиме преобразователя, бод</source>
        <translation>Interface speed in converter mode, baud</translation>
    </message>
    <message>
        <source>Перевести устройство в режим преобразователя интерфейса в USB</source>
        <translation>Switch the device to interface-to-USB converter mode</translation>
    </message>
    <message>
        <source>Включить</source>
        <translation>Enable</translation>
    </message>
    <message>
        <source>Прибор учета</source>
        <translation>Meter</translation>
    </message>
    <message>
        <source>Прибор учета:</source>
        <translation>Meter:</translation>
    </message>
    <message>
        <source>Тип прибора учета, подключенного к интерфейсу</source>
        <translation>Type of the meter connected to the interface</translation>
    </message>
    <message>
        <source>Сетевой адрес:</source>
        <translation>Network address:</translation>
    </message>
    <message>
        <source>Сетевой адрес счетчика (0–255)</source>
        <translation>Meter network address (0–255)</translation>
    </message>
    <message>
        <source>Серийный номер:</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>Серийный номер счетчика, 12 знаков</source>
        <translation>Meter serial number, 12 characters</translation>
    </message>
    <message>
        <source>Пароль пользователя:</source>
        <translation>User password:</translation>
    </message>
    <message>
        <source>Пароль пользователя счетчика, 6 знаков</source>
        <translation>Meter user password, 6 characters</translation>
    </message>
    <message>
        <source>Пароль администратора:</source>
        <translation>Administrator password:</translation>
    </message>
    <message>
        <source>Пароль администратора счетчика, 6 знаков</source>
        <translation>Meter administrator password, 6 characters</translation>
    </message>
    <message>
        <source>Преобразовывать показания счетчика в HEX</source>
        <translation>Convert meter readings to HEX</translation>
    </message>
    <message>
        <source>Преобразовывать в HEX</source>
        <translation>Convert to HEX</translation>
    </message>
    <message>
        <source>Передавать показания отдельно по каждой фазе</source>
        <translation>Transmit readings separately for each phase</translation>
    </message>
    <message>
        <source>Передавать по фазам</source>
        <translation>Transmit per phase</translation>
    </message>
    <message>
        <source>Адрес 1:</source>
        <translation>Address 1:</translation>
    </message>
    <message>
        <source>Адрес счетчика 1, до 8 цифр</source>
        <translation>Meter 1 address, up to 8 digits</translation>
    </message>
    <message>
        <source>Адрес 2:</source>
        <translation>Address 2:</translation>
    </message>
    <message>
        <source>Адрес счетчика 2, до 8 цифр</source>
        <translation>Meter 2 address, up to 8 digits</translation>
    </message>
    <message>
        <source>Адрес 3:</source>
        <translation>Address 3:</translation>
    </message>
    <message>
        <source>Адрес счетчика 3, до 8 цифр</source>
        <translation>Meter 3 address, up to 8 digits</translation>
    </message>
    <message>
        <source>Адрес 4:</source>
        <translation>Address 4:</translation>
    </message>
    <message>
        <source>Адрес счетчика 4, до 8 цифр</source>
        <translation>Meter 4 address, up to 8 digits</translation>
    </message>
    <message>
        <source>Адрес 5:</source>
        <translation>Address 5:</translation>
    </message>
    <message>
        <source>Адрес счетчика 5, до 8 цифр</source>
        <translation>Meter 5 address, up to 8 digits</translation>
    </message>
    <message>
        <source>Адрес 6:</source>
        <translation>Address 6:</translation>
    </message>
    <message>
        <source>Адрес счетчика 6, до 8 цифр</source>
        <translation>Meter 6 address, up to 8 digits</translation>
    </message>
    <message>
        <source>Дополнительные параметры не требуются</source>
        <translation>No additional parameters required</translation>
    </message>
    <message>
        <source>Сетевой адрес вычислителя (0–255)</source>
        <translation>Flow computer network address (0–255)</translation>
    </message>
    <message>
        <source>Счетчик</source>
        <translation>Meter</translation>
    </message>
    <message>
        <source>Сетевой адрес</source>
        <translation>Network address</translation>
    </message>
    <message>
        <source>HEX</source>
        <translation>HEX</translation>
    </message>
    <message>
        <source>Пароль</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>Сетевой адрес счетчика 1 (0–255)</source>
        <translation>Meter 1 network address (0–255)</translation>
    </message>
    <message>
        <source>Преобразовывать показания счетчика 1 в HEX</source>
        <translation>Convert meter 1 readings to HEX</translation>
    </message>
    <message>
        <source>Пароль пользователя счетчика 1, 6 знаков</source>
        <translation>Meter 1 user password, 6 characters</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>Сетевой адрес счетчика 2 (0–255)</source>
        <translation>Meter 2 network address (0–255)</translation>
    </message>
    <message>
        <source>Преобразовывать показания счетчика 2 в HEX</source>
        <translation>Convert meter 2 readings to HEX</translation>
    </message>
    <message>
        <source>Пароль пользователя счетчика 2, 6 знаков</source>
        <translation>Meter 2 user password, 6 characters</translation>
    </message>
    <message>
        <source>3</source>
        <translation>3</translation>
    </message>
    <message>
        <source>Сетевой адрес счетчика 3 (0–255)</source>
        <translation>Meter 3 network address (0–255)</translation>
    </message>
    <message>
        <source>Преобразовывать показания счетчика 3 в HEX</source>
        <translation>Convert meter 3 readings to HEX</translation>
    </message>
    <message>
        <source>Пароль пользователя счетчика 3, 6 знаков</source>
        <translation>Meter 3 user password, 6 characters</translation>
    </message>
    <message>
        <source>4</source>
        <translation>4</translation>
    </message>
    <message>
        <source>Сетевой адрес счетчика 4 (0–255)</source>
        <translation>Meter 4 network address (0–255)</translation>
    </message>
    <message>
        <source>Преобразовывать показания счетчика 4 в HEX</source>
        <translation>Convert meter 4 readings to HEX</translation>
    </message>
    <message>
        <source>Пароль пользователя счетчика 4, 6 знаков</source>
        <translation>Meter 4 user password, 6 characters</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>Сетевой адрес счетчика 5 (0–255)</source>
        <translation>Meter 5 network address (0–255)</translation>
    </message>
    <message>
        <source>Преобразовывать показания счетчика 5 в HEX</source>
        <translation>Convert meter 5 readings to HEX</translation>
    </message>
    <message>
        <source>Пароль пользователя счетчика 5, 6 знаков</source>
        <translation>Meter 5 user password, 6 characters</translation>
    </message>
    <message>
        <source>6</source>
        <translation>6</translation>
    </message>
    <message>
        <source>Сетевой адрес счетчика 6 (0–255)</source>
        <translation>Meter 6 network address (0–255)</translation>
    </message>
    <message>
        <source>Преобразовывать показания счетчика 6 в HEX</source>
        <translation>Convert meter 6 readings to HEX</translation>
    </message>
    <message>
        <source>Пароль пользователя счетчика 6, 6 знаков</source>
        <translation>Meter 6 user password, 6 characters</translation>
    </message>
    <message>
        <source>Сетевой адрес теплосчетчика (0–255)</source>
        <translation>Heat meter network address (0–255)</translation>
    </message>
    <message>
        <source>Серийный номер 1:</source>
        <translation>Serial number 1:</translation>
    </message>
    <message>
        <source>Серийный номер прибора 1, до 8 знаков</source>
        <translation>Meter 1 serial number, up to 8 characters</translation>
    </message>
    <message>
        <source>Серийный номер 2:</source>
        <translation>Serial number 2:</translation>
    </message>
    <message>
        <source>Серийный номер прибора 2, до 8 знаков</source>
        <translation>Meter 2 serial number, up to 8 characters</translation>
    </message>
    <message>
        <source>Серийный номер 3:</source>
        <translation>Serial number 3:</translation>
    </message>
    <message>
        <source>Серийный номер прибора 3, до 8 знаков</source>
        <translation>Meter 3 serial number, up to 8 characters</translation>
    </message>
    <message>
        <source>Серийный номер 4:</source>
        <translation>Serial number 4:</translation>
    </message>
    <message>
        <source>Серийный номер прибора 4, до 8 знаков</source>
        <translation>Meter 4 serial number, up to 8 characters</translation>
    </message>
    <message>
        <source>Серийный номер 5:</source>
        <translation>Serial number 5:</translation>
    </message>
    <message>
        <source>Серийный номер прибора 5, до 8 знаков</source>
        <translation>Meter 5 serial number, up to 8 characters</translation>
    </message>
    <message>
        <source>Серийный номер 6:</source>
        <translation>Serial number 6:</translation>
    </message>
    <message>
        <source>Серийный номер прибора 6, до 8 знаков</source>
        <translation>Meter 6 serial number, up to 8 characters</translation>
    </message>
    <message>
        <source>Серийный номер 7:</source>
        <translation>Serial number 7:</translation>
    </message>
    <message>
        <source>Серийный номер прибора 7, до 8 знаков</source>
        <translation>Meter 7 serial number, up to 8 characters</translation>
    </message>
    <message>
        <source>Серийный номер 8:</source>
        <translation>Serial number 8:</translation>
    </message>
    <message>
        <source>Серийный номер прибора 8, до 8 знаков</source>
        <translation>Meter 8 serial number, up to 8 characters</translation>
    </message>
    <message>
        <source>Канал ТВ</source>
        <translation>Heat input channel</translation>
    </message>
    <message>
        <source>Вычислитель 1:</source>
        <translation>Flow computer 1:</translation>
    </message>
    <message>
        <source>Сетевой адрес вычислителя 1 (0–255)</source>
        <translation>Flow computer 1 network address (0–255)</translation>
    </message>
    <message>
        <source>Номер канала теплового ввода вычислителя 1</source>
        <translation>Heat input channel number of flow computer 1</translation>
    </message>
    <message>
        <source>Вычислитель 2:</source>
        <translation>Flow computer 2:</translation>
    </message>
    <message>
        <source>Сетевой адрес вычислителя 2 (0–255)</source>
        <translation>Flow computer 2 network address (0–255)</translation>
    </message>
    <message>
        <source>Номер канала теплового ввода вычислителя 2</source>
        <translation>Heat input channel number of flow computer 2</translation>
    </message>
    <message>
        <source>Вычислитель 3:</source>
        <translation>Flow computer 3:</translation>
    </message>
    <message>
        <source>Сетевой адрес вычислителя 3 (0–255)</source>
        <translation>Flow computer 3 network address (0–255)</translation>
    </message>
    <message>
        <source>Номер канала теплового ввода вычислителя 3</source>
        <translation>Heat input channel number of flow computer 3</translation>
    </message>
    <message>
        <source>Вычислитель 4:</source>
        <translation>Flow computer 4:</translation>
    </message>
    <message>
        <source>Сетевой адрес вычислителя 4 (0–255)</source>
        <translation>Flow computer 4 network address (0–255)</translation>
    </message>
    <message>
        <source>Номер канала теплового ввода вычислителя 4</source>
        <translation>Heat input channel number of flow computer 4</translation>
    </message>
    <message>
        <source>Пароль:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Пароль счетчика, 6 знаков</source>
        <translation>Meter password, 6 characters</translation>
    </message>
    <message>
        <source>Пароль счетчика, число до 4294967295</source>
        <translation>Meter password, a number up to 4294967295</translation>
    </message>
    <message>
        <source>Идентификатор:</source>
        <translation>Identifier:</translation>
    </message>
    <message>
        <source>Идентификатор счетчика, до 9 знаков</source>
        <translation>Meter identifier, up to 9 characters</translation>
    </message>
</context>
<context>
    <name>IoPage</name>
    <message>
        <source>Входы</source>
        <translation>Inputs</translation>
    </message>
    <message>
        <source>Вход</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>Тип</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Режим</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Порог счетчика, импульсов</source>
        <translation>Counter threshold, pulses</translation>
    </message>
    <message>
        <source>Вход 1</source>
        <translation>Input 1</translation>
    </message>
    <message>
        <source>Тип:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>Тип подключения датчика ко входу 1</source>
        <translation>Sensor connection type for input 1</translation>
    </message>
    <message>
        <source>Режим:</source>
        <translation>Mode:</translation>
    </message>
    <message>
        <source>Режим работы входа 1</source>
        <translation>Operating mode of input 1</translation>
    </message>
    <message>
        <source>Порог изменения счетчика для внеочередной передачи</source>
        <translation>Counter change threshold for an unscheduled transmission</translation>
    </message>
    <message>
        <source>Вход 2</source>
        <translation>Input 2</translation>
    </message>
    <message>
        <source>Тип подключения датчика ко входу 2</source>
        <translation>Sensor connection type for input 2</translation>
    </message>
    <message>
        <source>Режим работы входа 2</source>
        <translation>Operating mode of input 2</translation>
    </message>
    <message>
        <source>Вход 3</source>
        <translation>Input 3</translation>
    </message>
    <message>
        <source>Тип подключения датчика ко входу 3</source>
        <translation>Sensor connection type for input 3</translation>
    </message>
    <message>
        <source>Режим работы входа 3</source>
        <translation>Operating mode of input 3</translation>
    </message>
    <message>
        <source>Вход 4</source>
        <translation>Input 4</translation>
    </message>
    <message>
        <source>Тип подключения датчика ко входу 4</source>
        <translation>Sensor connection type for input 4</translation>
    </message>
    <message>
        <source>Режим работы входа 4</source>
        <translation>Operating mode of input 4</translation>
    </message>
    <message>
        <source>Вход 5</source>
        <translation>Input 5</translation>
    </message>
    <message>
        <source>Тип подключения датчика ко входу 5</source>
        <translation>Sensor connection type for input 5</translation>
    </message>
    <message>
        <source>Режим работы входа 5</source>
        <translation>Operating mode of input 5</translation>
    </message>
    <message>
        <source>Вход 6</source>
        <translation>Input 6</translation>
    </message>
    <message>
        <source>Тип подключения датчика ко входу 6</source>
        <translation>Sensor connection type for input 6</translation>
    </message>
    <message>
        <source>Режим работы входа 6</source>
        <translation>Operating mode of input 6</translation>
    </message>
    <message>
        <source>Параметры опроса</source>
        <translation>Polling parameters</translation>
    </message>
    <message>
        <source>Период опроса входов, мс:</source>
        <translation>Input polling period, ms:</translation>
    </message>
    <message>
        <source>Период опроса входов, мс (от 5 до 500)</source>
        <translation>Input polling period, ms (5 to 500)</translation>
    </message>
    <message>
        <source>Сохранять каждые, импульсов:</source>
        <translation>Save every, pulses:</translation>
    </message>
    <message>
        <source>Сохранять показания счетчиков каждые N импульсов (от 5 до 10000)</source>
        <translation>Save counter readings every N pulses (5 to 10000)</translation>
    </message>
    <message>
        <source>Сохранять каждые, с:</source>
        <translation>Save every, s:</translation>
    </message>
    <message>
        <source>Сохранять показания счетчиков каждые N секунд (от 60 до 3600)</source>
        <translation>Save counter readings every N seconds (60 to 3600)</translation>
    </message>
</context>
<context>
    <name>LoraPage</name>
    <message>
        <source>Ключи и адреса</source>
        <translation>Keys and addresses</translation>
    </message>
    <message>
        <source>Активация:</source>
        <translation>Activation:</translation>
    </message>
    <message>
        <source>Активация по радиоканалу (OTAA): ключи сеанса устройство получает от сети при подключении</source>
        <translation>Over-the-air activation (OTAA): the device receives the session keys from the network when it joins</translation>
    </message>
    <message>
        <source>Активация персонализацией (ABP): адрес и ключи сеанса заданы заранее</source>
        <translation>Activation by personalization (ABP): the address and session keys are set in advance</translation>
    </message>
    <message>
        <source>Уникальный идентификатор устройства, 16 шестнадцатеричных цифр</source>
        <translation>Unique device identifier, 16 hex digits</translation>
    </message>
    <message>
        <source>Идентификатор приложения для активации OTAA, 16 шестнадцатеричных цифр</source>
        <translation>Application identifier for OTAA activation, 16 hex digits</translation>
    </message>
    <message>
        <source>Ключ приложения для активации OTAA, 32 шестнадцатеричные цифры</source>
        <translation>Application key for OTAA activation, 32 hex digits</translation>
    </message>
    <message>
        <source>Идентификатор сети, 8 шестнадцатеричных цифр</source>
        <translation>Network identifier, 8 hex digits</translation>
    </message>
    <message>
        <source>Адрес устройства в сети для активации ABP, 8 шестнадцатеричных цифр</source>
        <translation>Device address in the network for ABP activation, 8 hex digits</translation>
    </message>
    <message>
        <source>Сетевой ключ сеанса для активации ABP, 32 шестнадцатеричные цифры</source>
        <translation>Network session key for ABP activation, 32 hex digits</translation>
    </message>
    <message>
        <source>Ключ сеанса приложения для активации ABP, 32 шестнадцатеричные цифры</source>
        <translation>Application session key for ABP activation, 32 hex digits</translation>
    </message>
    <message>
        <source>Режимы передачи</source>
        <translation>Transmission modes</translation>
    </message>
    <message>
        <source>Скорость передачи выбирает сервер сети; ручной выбор скорости при этом недоступен</source>
        <translation>The network server chooses the data rate; it cannot be set by hand then</translation>
    </message>
    <message>
        <source>Адаптивная скорость (ADR)</source>
        <translation>Adaptive data rate (ADR)</translation>
    </message>
    <message>
        <source>Запрашивать у сервера сети подтверждение приема каждой передачи</source>
        <translation>Ask the network server to confirm every transmission</translation>
    </message>
    <message>
        <source>Подтверждение передачи</source>
        <translation>Transmission confirmation</translation>
    </message>
    <message>
        <source>Соблюдать ограничение времени занятия радиоканала (duty cycle)</source>
        <translation>Keep to the radio channel duty cycle limit</translation>
    </message>
    <message>
        <source>Контроль загрузки канала</source>
        <translation>Channel load control</translation>
    </message>
    <message>
        <source>Разрешить передачу с повышенной мощностью 20 дБм</source>
        <translation>Allow transmitting at the higher power of 20 dBm</translation>
    </message>
    <message>
        <source>Мощность 20 дБм</source>
        <translation>20 dBm power</translation>
    </message>
    <message>
        <source>Сеть</source>
        <translation>Network</translation>
    </message>
    <message>
        <source>Частотный план:</source>
        <translation>Frequency plan:</translation>
    </message>
    <message>
        <source>Региональный частотный план сети LoRaWAN</source>
        <translation>Regional frequency plan of the LoRaWAN network</translation>
    </message>
    <message>
        <source>Класс устройства:</source>
        <translation>Device class:</translation>
    </message>
    <message>
        <source>Класс устройства LoRaWAN: когда устройство слушает эфир для приема команд</source>
        <translation>LoRaWAN device class: when the device listens for commands</translation>
    </message>
    <message>
        <source>Работа в частной сети LoRaWAN; без отметки — в публичной</source>
        <translation>Work in a private LoRaWAN network; unchecked: in a public one</translation>
    </message>
    <message>
        <source>Частная сеть</source>
        <translation>Private network</translation>
    </message>
    <message>
        <source>Просмотр и изменение частот каналов (для частотного плана с настраиваемыми частотами)</source>
        <translation>View and change the channel frequencies (for a frequency plan with configurable frequencies)</translation>
    </message>
    <message>
        <source>Частоты...</source>
        <translation>Frequencies...</translation>
    </message>
    <message>
        <source>Передача</source>
        <translation>Transmission</translation>
    </message>
    <message>
        <source>Период передачи, с:</source>
        <translation>Transmission period, s:</translation>
    </message>
    <message>
        <source>Период передачи данных, от 60 до 86400 с</source>
        <translation>Data transmission period, 60 to 86400 s</translation>
    </message>
    <message>
        <source>Скорость передачи:</source>
        <translation>Data rate:</translation>
    </message>
    <message>
        <source>Скорость передачи (DR); при адаптивной скорости ее выбирает сервер сети</source>
        <translation>Data rate (DR); with adaptive data rate the network server chooses it</translation>
    </message>
    <message>
        <source>Мощность передачи:</source>
        <translation>Transmit power:</translation>
    </message>
    <message>
        <source>Мощность передатчика устройства</source>
        <translation>Transmitter power of the device</translation>
    </message>
    <message>
        <source>Количество попыток передачи:</source>
        <translation>Transmission attempts:</translation>
    </message>
    <message>
        <source>Сколько раз устройство передает одно сообщение, от 1 до 64</source>
        <translation>How many times the device sends one message, 1 to 64</translation>
    </message>
    <message>
        <source>Проверка связи, периодов:</source>
        <translation>Link check, periods:</translation>
    </message>
    <message>
        <source>Через сколько периодов передачи проверять связь с сетью, от 0 до 255</source>
        <translation>After how many transmission periods to check the link with the network, 0 to 255</translation>
    </message>
    <message>
        <source>Порт приложения:</source>
        <translation>Application port:</translation>
    </message>
    <message>
        <source>Порт LoRaWAN, на который устройство отправляет данные, от 3 до 200</source>
        <translation>LoRaWAN port the device sends its data to, 3 to 200</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>%1 МГц</source>
        <translation>%1 MHz</translation>
    </message>
    <message>
        <source>Ожидание ответа от сервера</source>
        <translation>Waiting for the server's answer</translation>
    </message>
    <message>
        <source>Запрос и загрузка новой прошивки</source>
        <translation>Checking for and downloading new firmware</translation>
    </message>
    <message>
        <source>Запрос обновлений конфигуратора</source>
        <translation>Checking for configurator updates</translation>
    </message>
    <message>
        <source>Сервер обновлений недоступен</source>
        <translation>The update server is not available</translation>
    </message>
    <message>
        <source>Ожидание подключения устройства</source>
        <translation>Waiting for a device to be connected</translation>
    </message>
    <message>
        <source>Подключение к серверу конфигурирования...</source>
        <translation>Connecting to the configuration server...</translation>
    </message>
    <message>
        <source>Файл больше любого файла конфигурации (более %1 байт).</source>
        <translation>The file is larger than any configuration file (over %1 bytes).</translation>
    </message>
    <message>
        <source>В файле есть элементы, вложенные в параметр.</source>
        <translation>The file has elements nested inside a parameter.</translation>
    </message>
    <message>
        <source>Файл содержит объявление типа документа (DTD).</source>
        <translation>The file contains a document type declaration (DTD).</translation>
    </message>
    <message>
        <source>Параметры заданы в файле более одного раза: %1</source>
        <translation>Parameters given more than once in the file: %1</translation>
    </message>
    <message>
        <source>Конфигуратор</source>
        <translation>Configurator</translation>
    </message>
    <message>
        <source>Открыть файл конфигурации</source>
        <translation>Open configuration file</translation>
    </message>
    <message>
        <source>Сохранить конфигурацию в файл</source>
        <translation>Save configuration to file</translation>
    </message>
    <message>
        <source>Считать конфигурацию</source>
        <translation>Read configuration</translation>
    </message>
    <message>
        <source>Записать конфигурацию</source>
        <translation>Write configuration</translation>
    </message>
    <message>
        <source>Обновить список устройств</source>
        <translation>Refresh device list</translation>
    </message>
    <message>
        <source>Перезагрузить устройство</source>
        <translation>Reboot device</translation>
    </message>
    <message>
        <source>Сброс настроек</source>
        <translation>Reset settings</translation>
    </message>
    <message>
        <source>Обновить прошивку устройства</source>
        <translation>Update device firmware</translation>
    </message>
    <message>
        <source>Удаленное конфигурирование</source>
        <translation>Remote configuration</translation>
    </message>
    <message>
        <source>Калькулятор статуса</source>
        <translation>Status calculator</translation>
    </message>
    <message>
        <source>Настройки конфигуратора</source>
        <translation>Configurator settings</translation>
    </message>
    <message>
        <source>Проверить обновления</source>
        <translation>Check for updates</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>О Программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Свернуть</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Устройство</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>LoRaWAN</source>
        <translation>LoRaWAN</translation>
    </message>
    <message>
        <source>Входы</source>
        <translation>Inputs</translation>
    </message>
    <message>
        <source>Интерфейсы</source>
        <translation>Interfaces</translation>
    </message>
    <message>
        <source>Вэкса 701</source>
        <translation>Vexa 701</translation>
    </message>
    <message>
        <source>Система</source>
        <translation>System</translation>
    </message>
    <message>
        <source>FSK</source>
        <translation>FSK</translation>
    </message>
    <message>
        <source>Консоль</source>
        <translation>Console</translation>
    </message>
    <message>
        <source>Подключите устройство к компьютеру кабелем USB. Конфигуратор найдёт его автоматически.</source>
        <translation>Connect the device to the computer with a USB cable. The configurator finds it automatically.</translation>
    </message>
    <message>
        <source>Отправить</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Невозможно запустить конфигуратор, нарушена целосность файлов программы. Выполните переустановку конфигуратора.</source>
        <translation>The configurator cannot start: its program files are damaged. Please reinstall the configurator.</translation>
    </message>
    <message>
        <source>Ожидание подключения модуля</source>
        <translation>Waiting for a device</translation>
    </message>
    <message>
        <source>Режим отладки</source>
        <translation>Debug mode</translation>
    </message>
    <message>
        <source>Устройство:</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>Версия прошивки:</source>
        <translation>Firmware version:</translation>
    </message>
    <message>
        <source>Серийный номер:</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>DevEUI:</source>
        <translation>DevEUI:</translation>
    </message>
    <message>
        <source>DevEUI удаленного устройства:</source>
        <translation>DevEUI of the remote device:</translation>
    </message>
    <message>
        <source>Время сессии:</source>
        <translation>Session time:</translation>
    </message>
    <message>
        <source>Время ожидания ответа:</source>
        <translation>Answer time-out:</translation>
    </message>
    <message>
        <source>Подключить</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Устройство подключено</source>
        <translation>Device connected</translation>
    </message>
    <message>
        <source>Устройство подключено удаленно</source>
        <translation>Device connected remotely</translation>
    </message>
    <message>
        <source>Устройство подключено по FSK</source>
        <translation>Device connected over FSK</translation>
    </message>
    <message>
        <source>Удаленное считывание конфигурации</source>
        <translation>Reading the configuration remotely</translation>
    </message>
    <message>
        <source>Считывание конфигурации по FSK</source>
        <translation>Reading the configuration over FSK</translation>
    </message>
    <message>
        <source>Считывание конфигурации</source>
        <translation>Reading the configuration</translation>
    </message>
    <message>
        <source>Удаленная запись конфигурации</source>
        <translation>Writing the configuration remotely</translation>
    </message>
    <message>
        <source>Запись конфигурации по FSK</source>
        <translation>Writing the configuration over FSK</translation>
    </message>
    <message>
        <source>Запись конфигурации</source>
        <translation>Writing the configuration</translation>
    </message>
    <message>
        <source>Ошибка записи</source>
        <translation>Write error</translation>
    </message>
    <message>
        <source>Ошибка записи конфигурации, проверьте корректность введенных параметров и повторите запись конфигурации</source>
        <translation>Writing the configuration failed. Check the values you entered and write the configuration again</translation>
    </message>
    <message>
        <source>Устройство не отвечает</source>
        <translation>The device does not answer</translation>
    </message>
    <message>
        <source>Ошибка авторизации</source>
        <translation>Authorisation error</translation>
    </message>
    <message>
        <source>Перезагрузка</source>
        <translation>Reboot</translation>
    </message>
    <message>
        <source>Обновление прошивки...</source>
        <translation>Updating the firmware...</translation>
    </message>
    <message>
        <source>Устройство перезагружается...</source>
        <translation>The device is rebooting...</translation>
    </message>
    <message>
        <source>Чтение файла</source>
        <translation>Reading a file</translation>
    </message>
    <message>
        <source>Обновление прошивки</source>
        <translation>Firmware update</translation>
    </message>
    <message>
        <source>Запись файла</source>
        <translation>Writing a file</translation>
    </message>
    <message>
        <source>Ошибка файловой системы</source>
        <translation>File system error</translation>
    </message>
    <message>
        <source>Загрузка обновления</source>
        <translation>Downloading the update</translation>
    </message>
    <message>
        <source>Внеочередной пакет успешно отправлен</source>
        <translation>The extra packet was sent</translation>
    </message>
    <message>
        <source>Ошибка отправки внеочередного пакета</source>
        <translation>The extra packet could not be sent</translation>
    </message>
    <message>
        <source>Информация</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>FLASH память успешно отформатирована</source>
        <translation>The flash memory was formatted</translation>
    </message>
    <message>
        <source>Ошибка форматирования FLASH памяти</source>
        <translation>The flash memory could not be formatted</translation>
    </message>
    <message>
        <source>Применение прошивки</source>
        <translation>Applying the firmware</translation>
    </message>
    <message>
        <source>Вэкса</source>
        <translation>Vexa</translation>
    </message>
    <message>
        <source>Предупреждение</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Версия прошивки не поддерживается конфигуратором</source>
        <translation>The configurator does not support this firmware version</translation>
    </message>
    <message>
        <source>Отключен</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>Регистрация в сети</source>
        <translation>Joining the network</translation>
    </message>
    <message>
        <source>Зарегистрирован</source>
        <translation>Registered</translation>
    </message>
    <message>
        <source>Не зарегистрирован</source>
        <translation>Not registered</translation>
    </message>
    <message>
        <source>Ошибка интерфейса</source>
        <translation>Interface error</translation>
    </message>
    <message>
        <source>Обмен данными</source>
        <translation>Exchanging data</translation>
    </message>
    <message>
        <source>Не устанавливалось</source>
        <translation>Never set</translation>
    </message>
    <message>
        <source>Сервер</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>Устройство: %1, SN %2, DevEUI %3</source>
        <translation>Device: %1, SN %2, DevEUI %3</translation>
    </message>
    <message>
        <source>через радиоканал устройства SN %1</source>
        <translation>through the FSK relay of device SN %1</translation>
    </message>
    <message>
        <source>удалённо через сервер, IMEI %1</source>
        <translation>remotely through the server, IMEI %1</translation>
    </message>
    <message>
        <source>Кодировка файла не поддерживается (%1). Сохраните файл в UTF-8.</source>
        <translation>The file's encoding is not supported (%1). Save the file as UTF-8.</translation>
    </message>
    <message>
        <source>Скрыть опрос статуса</source>
        <translation>Hide status polling</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Очистить</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>с</source>
        <translation>s</translation>
    </message>
    <message>
        <source>Длительность сеанса связи через радиоканал, в секундах</source>
        <translation>How long the radio session lasts, in seconds</translation>
    </message>
    <message>
        <source>мс</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Сколько ждать ответа удаленного устройства, в миллисекундах</source>
        <translation>How long to wait for the remote device's answer, in milliseconds</translation>
    </message>
    <message>
        <source>Устройство не зарегистрировано в сети</source>
        <translation>The device is not registered in the network</translation>
    </message>
    <message>
        <source>%1 дБм</source>
        <translation>%1 dBm</translation>
    </message>
    <message>
        <source>%1 дБ</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Источник питания: </source>
        <translation>Power source: </translation>
    </message>
    <message>
        <source>%1 В</source>
        <translation>%1 V</translation>
    </message>
    <message>
        <source>норма</source>
        <translation>normal</translation>
    </message>
    <message>
        <source>Состояние батареи: </source>
        <translation>Battery status: </translation>
    </message>
    <message>
        <source>Часы устройства идут верно (расхождение не более 2 с)</source>
        <translation>The device clock is right (at most 2 s off)</translation>
    </message>
    <message>
        <source>Глобальные дата и время (UTC):</source>
        <translation>Global date and time (UTC):</translation>
    </message>
    <message>
        <source>Нет подключенного устройства</source>
        <translation>No device connected</translation>
    </message>
    <message>
        <source>История устройства</source>
        <translation>Device history</translation>
    </message>
</context>
<context>
    <name>NetInfoForm</name>
    <message>
        <source>Информация о регистрации в сети</source>
        <translation>Network registration information</translation>
    </message>
    <message>
        <source> Информация о регистрации в сети</source>
        <translation> Network registration information</translation>
    </message>
    <message>
        <source>Сетевой адрес устройства:</source>
        <translation>Device network address:</translation>
    </message>
    <message>
        <source>Класс работы устройства:</source>
        <translation>Device operating class:</translation>
    </message>
</context>
<context>
    <name>ParamLabels</name>
    <message>
        <source>Активация</source>
        <translation>Activation</translation>
    </message>
    <message>
        <source>Частная сеть</source>
        <translation>Private network</translation>
    </message>
    <message>
        <source>Адаптивная скорость (ADR)</source>
        <translation>Adaptive data rate (ADR)</translation>
    </message>
    <message>
        <source>DevEUI</source>
        <translation>DevEUI</translation>
    </message>
    <message>
        <source>AppEUI</source>
        <translation>AppEUI</translation>
    </message>
    <message>
        <source>AppKey</source>
        <translation>AppKey</translation>
    </message>
    <message>
        <source>NetID</source>
        <translation>NetID</translation>
    </message>
    <message>
        <source>DevAddr</source>
        <translation>DevAddr</translation>
    </message>
    <message>
        <source>NwkSKey</source>
        <translation>NwkSKey</translation>
    </message>
    <message>
        <source>AppSKey</source>
        <translation>AppSKey</translation>
    </message>
    <message>
        <source>Период передачи</source>
        <translation>Transmission period</translation>
    </message>
    <message>
        <source>Скорость передачи</source>
        <translation>Data rate</translation>
    </message>
    <message>
        <source>Мощность передачи</source>
        <translation>Transmit power</translation>
    </message>
    <message>
        <source>Контроль загрузки канала</source>
        <translation>Channel load control</translation>
    </message>
    <message>
        <source>Частотный план</source>
        <translation>Frequency plan</translation>
    </message>
    <message>
        <source>Класс устройства</source>
        <translation>Device class</translation>
    </message>
    <message>
        <source>Количество попыток передачи</source>
        <translation>Transmission attempts</translation>
    </message>
    <message>
        <source>Подтверждение передачи</source>
        <translation>Transmission confirmation</translation>
    </message>
    <message>
        <source>Проверка связи</source>
        <translation>Link check</translation>
    </message>
    <message>
        <source>Частота окна RX2</source>
        <translation>RX2 window frequency</translation>
    </message>
    <message>
        <source>Скорость окна RX2</source>
        <translation>RX2 window data rate</translation>
    </message>
    <message>
        <source>Мощность 20 дБм</source>
        <translation>20 dBm power</translation>
    </message>
    <message>
        <source>Порт приложения</source>
        <translation>Application port</translation>
    </message>
    <message>
        <source>Период опроса входов</source>
        <translation>Input polling period</translation>
    </message>
    <message>
        <source>Протокол</source>
        <translation>Protocol</translation>
    </message>
    <message>
        <source>Сохранять каждые</source>
        <translation>Save every</translation>
    </message>
    <message>
        <source>Часовой пояс</source>
        <translation>Time zone</translation>
    </message>
    <message>
        <source>Период опроса батареи</source>
        <translation>Battery check period</translation>
    </message>
    <message>
        <source>Период подзарядки батареи</source>
        <translation>Battery recharge period</translation>
    </message>
    <message>
        <source>Минимальный уровень батареи</source>
        <translation>Battery minimum level</translation>
    </message>
    <message>
        <source>Максимальный уровень батареи</source>
        <translation>Battery maximum level</translation>
    </message>
    <message>
        <source>Уровень отключения батареи</source>
        <translation>Battery cut-off level</translation>
    </message>
    <message>
        <source>Параметры линии</source>
        <translation>Line parameters</translation>
    </message>
    <message>
        <source>Скорость</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>Биты данных</source>
        <translation>Data bits</translation>
    </message>
    <message>
        <source>Четность</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>Стоповые биты</source>
        <translation>Stop bits</translation>
    </message>
    <message>
        <source>Управление RTS/CTS</source>
        <translation>RTS/CTS control</translation>
    </message>
    <message>
        <source>Режим RTS/CTS</source>
        <translation>RTS/CTS mode</translation>
    </message>
    <message>
        <source>Переключение RTS 0→1</source>
        <translation>RTS switch 0→1</translation>
    </message>
    <message>
        <source>Переключение RTS 1→0</source>
        <translation>RTS switch 1→0</translation>
    </message>
    <message>
        <source>Тайм-аут после CTS</source>
        <translation>Timeout after CTS</translation>
    </message>
    <message>
        <source>Обмен с прибором учета</source>
        <translation>Communication with the meter</translation>
    </message>
    <message>
        <source>Задержка включения</source>
        <translation>Power-on delay</translation>
    </message>
    <message>
        <source>Ожидание начала ответа</source>
        <translation>Response start wait</translation>
    </message>
    <message>
        <source>Ожидание конца ответа</source>
        <translation>Response end wait</translation>
    </message>
    <message>
        <source>Время включения</source>
        <translation>Power-on time</translation>
    </message>
    <message>
        <source>Повторы запроса</source>
        <translation>Request retries</translation>
    </message>
    <message>
        <source>Режим ответа</source>
        <translation>Response mode</translation>
    </message>
    <message>
        <source>Прибор учета</source>
        <translation>Meter</translation>
    </message>
    <message>
        <source>Параметры прибора учета</source>
        <translation>Meter settings</translation>
    </message>
    <message>
        <source>Режим счета импульсов</source>
        <translation>Pulse counting mode</translation>
    </message>
    <message>
        <source>Уровень внешней засветки</source>
        <translation>Ambient light level</translation>
    </message>
    <message>
        <source>Подтверждение удаления из сети</source>
        <translation>Rejoin the network</translation>
    </message>
    <message>
        <source>Точка отсчета времени</source>
        <translation>Transmission schedule</translation>
    </message>
    <message>
        <source>Интерфейс</source>
        <translation>Interface</translation>
    </message>
    <message>
        <source>Частота Join канала %1</source>
        <translation>Join channel %1 frequency</translation>
    </message>
    <message>
        <source>Частота канала %1</source>
        <translation>Channel %1 frequency</translation>
    </message>
    <message>
        <source>Тип входа %1</source>
        <translation>Input %1 type</translation>
    </message>
    <message>
        <source>Режим входа %1</source>
        <translation>Input %1 mode</translation>
    </message>
    <message>
        <source>Временные параметры входа %1</source>
        <translation>Input %1 timing</translation>
    </message>
    <message>
        <source>Порог счетчика входа %1</source>
        <translation>Input %1 counter threshold</translation>
    </message>
    <message>
        <source>Фиксированная точка передачи %1</source>
        <translation>Fixed transmission point %1</translation>
    </message>
    <message>
        <source>Версия прошивки</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>DevEUI на этикетке</source>
        <translation>DevEUI on the label</translation>
    </message>
    <message>
        <source>Тип устройства</source>
        <translation>Device type</translation>
    </message>
</context>
<context>
    <name>ParamUnits</name>
    <message>
        <source>с</source>
        <translation>s</translation>
    </message>
    <message>
        <source>мс</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>МГц</source>
        <translation>MHz</translation>
    </message>
    <message>
        <source>бод</source>
        <translation>baud</translation>
    </message>
    <message>
        <source>имп.</source>
        <translation>pulses</translation>
    </message>
    <message>
        <source>периодов</source>
        <translation>periods</translation>
    </message>
</context>
<context>
    <name>ParamValue</name>
    <message>
        <source>0 или %1..%2</source>
        <translation>0 or %1..%2</translation>
    </message>
    <message>
        <source>«%1»: допустимые значения %2</source>
        <translation>"%1": allowed values are %2</translation>
    </message>
    <message>
        <source>«%1» — не число</source>
        <translation>"%1" is not a number</translation>
    </message>
    <message>
        <source>«%1»: неизвестная единица «%2» (%3)</source>
        <translation>"%1": unknown unit "%2" (%3)</translation>
    </message>
    <message>
        <source>«%1»: нужно целое число, %2</source>
        <translation>"%1": a whole number is needed, %2</translation>
    </message>
    <message>
        <source>«%1» нет среди вариантов: %2</source>
        <translation>"%1" is not one of the choices: %2</translation>
    </message>
    <message>
        <source>«%1»: ожидается смещение от UTC, например UTC+03:00</source>
        <translation>"%1": an offset from UTC is expected, e.g. UTC+03:00</translation>
    </message>
    <message>
        <source>выкл</source>
        <translation>off</translation>
    </message>
    <message>
        <source>вкл</source>
        <translation>on</translation>
    </message>
    <message>
        <source>ежедневно %1</source>
        <translation>every day %1</translation>
    </message>
    <message>
        <source>день %1, %2</source>
        <translation>day %1, %2</translation>
    </message>
    <message>
        <source>«%1»: ожидается «%2», «%3» или «%4»</source>
        <translation>"%1": expected "%2", "%3" or "%4"</translation>
    </message>
    <message>
        <source>«%1»: ожидаются шестнадцатеричные байты</source>
        <translation>"%1": hexadecimal bytes are expected</translation>
    </message>
    <message>
        <source>«%1»: нужно байт: %2</source>
        <translation>"%1": %2 bytes are needed</translation>
    </message>
    <message>
        <source>%1 не задаётся</source>
        <translation>%1 cannot be set</translation>
    </message>
    <message>
        <source>«%1»: ожидается %2 или %3</source>
        <translation>"%1": expected %2 or %3</translation>
    </message>
    <message>
        <source>«%1»: нужно %2 шестнадцатеричных цифр (0-9, A-F)</source>
        <translation>"%1": %2 hex digits (0-9, A-F) are needed</translation>
    </message>
    <message>
        <source>«%1»: варианты модели неизвестны, введите код</source>
        <translation>"%1": the model's choices are not known, type the code</translation>
    </message>
</context>
<context>
    <name>RelayController</name>
    <message>
        <source>Предупреждение</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Необходимо ввести DevEUI удаленного устройства!</source>
        <translation>Enter the DevEUI of the remote device!</translation>
    </message>
    <message>
        <source>DevEUI удаленного устройства должен состоять из 16 шестнадцатеричных цифр, например 70-B3-D5-7E-D0-00-12-34.</source>
        <translation>The DevEUI of the remote device must consist of 16 hexadecimal digits, for example 70-B3-D5-7E-D0-00-12-34.</translation>
    </message>
    <message>
        <source>Отключение...</source>
        <translation>Disconnecting...</translation>
    </message>
    <message>
        <source>Подключение...</source>
        <translation>Connecting...</translation>
    </message>
    <message>
        <source>Отключить</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Невозможно отключиться от удаленного устройства</source>
        <translation>Cannot disconnect from the remote device</translation>
    </message>
    <message>
        <source>%1 в USB</source>
        <translation>%1 to USB</translation>
    </message>
    <message>
        <source>После переключения в режим преобразователя интерфейса,
функционал конфигуратора станет недоступным до перезагрузки
устройства или переподключения USB кабеля.
Переключить устройство в режим преобразователя интерфейса %1 в USB?</source>
        <translation>After switching to the interface converter mode,
the configurator will not be available until the device
is restarted or the USB cable is reconnected.
Switch the device to the %1 to USB interface converter mode?</translation>
    </message>
    <message>
        <source>Команда не отправлена: устройство не готово</source>
        <translation>The command was not sent: the device is not ready</translation>
    </message>
    <message>
        <source>Подключить</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Невозможно подключиться к удаленному устройству</source>
        <translation>Cannot connect to the remote device</translation>
    </message>
    <message>
        <source>Удаленное конфигурирование</source>
        <translation>Remote configuration</translation>
    </message>
    <message>
        <source>Устройство не подключено к серверу!</source>
        <translation>The device is not connected to the server!</translation>
    </message>
    <message>
        <source>Устройство уже конфигурируется!</source>
        <translation>The device is already being configured!</translation>
    </message>
    <message>
        <source>Сервер конфигурирования недоступен!</source>
        <translation>The configuration server is not available!</translation>
    </message>
    <message>
        <source>Ошибка обмена данными с сервером конфигурирования!</source>
        <translation>Data exchange with the configuration server failed!</translation>
    </message>
    <message>
        <source>Сервер: %1:%2. Проверьте адрес и порт сервера в настройках и подключение устройства к серверу.</source>
        <translation>Server: %1:%2. Check the server's address and port in the settings, and that the device is connected to the server.</translation>
    </message>
    <message>
        <source>Сервер конфигурирования закрыл соединение.</source>
        <translation>The configuration server closed the connection.</translation>
    </message>
</context>
<context>
    <name>ReloadForm</name>
    <message>
        <source>Перезагрузка</source>
        <translation>Reboot</translation>
    </message>
    <message>
        <source>    Перезагрузка</source>
        <translation>    Reboot</translation>
    </message>
    <message>
        <source>Перезагрузить устройство?</source>
        <translation>Reboot the device?</translation>
    </message>
    <message>
        <source>Перезагрузить</source>
        <translation>Reboot</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>RemoteConnectForm</name>
    <message>
        <source>Удаленное конфигурирование</source>
        <translation>Remote configuration</translation>
    </message>
    <message>
        <source>    Удаленное конфигурирование</source>
        <translation>    Remote configuration</translation>
    </message>
    <message>
        <source>IMEI:</source>
        <translation>IMEI:</translation>
    </message>
    <message>
        <source>15 цифр</source>
        <translation>15 digits</translation>
    </message>
    <message>
        <source>Пароль:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>Подключить</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>IMEI терминала должен состоять из 15 цифр</source>
        <translation>The terminal's IMEI must consist of 15 digits</translation>
    </message>
    <message>
        <source>Не указан пароль терминала</source>
        <translation>The terminal password is not specified</translation>
    </message>
</context>
<context>
    <name>SelectDeviceForm</name>
    <message>
        <source>Выбор терминала</source>
        <translation>Device selection</translation>
    </message>
    <message>
        <source>    Выбор устройства</source>
        <translation>    Select device</translation>
    </message>
    <message>
        <source>Выбрать</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Найдено несколько устройств. Выберите одно:</source>
        <translation>Several devices were found. Choose one:</translation>
    </message>
    <message>
        <source>Порты компьютера: для адаптера другого производителя</source>
        <translation>The computer's ports: for an adapter of another maker</translation>
    </message>
    <message>
        <source>Другой порт…</source>
        <translation>Other port…</translation>
    </message>
    <message>
        <source>Автоматический поиск устройств Vexa7XX</source>
        <translation>Search for Vexa7XX devices automatically</translation>
    </message>
    <message>
        <source>Выбор порта</source>
        <translation>Choose a port</translation>
    </message>
    <message>
        <source>Устройство Vexa7XX не найдено. Выберите порт, к которому оно подключено:</source>
        <translation>No Vexa7XX device was found. Choose the port it is connected to:</translation>
    </message>
    <message>
        <source>Выберите порт, к которому подключено устройство:</source>
        <translation>Choose the port the device is connected to:</translation>
    </message>
</context>
<context>
    <name>SettingsForm</name>
    <message>
        <source>Настройки конфигуратора</source>
        <translation>Configurator settings</translation>
    </message>
    <message>
        <source>    Настройки конфигуратора</source>
        <translation>    Configurator settings</translation>
    </message>
    <message>
        <source>Параметры опроса состояния:</source>
        <translation>Status polling:</translation>
    </message>
    <message>
        <source>Непрерывнай опрос статуса</source>
        <translation>Poll status continuously</translation>
    </message>
    <message>
        <source>Непрерывнай опрос ДУТов</source>
        <translation>Poll fuel level sensors continuously</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Проверять запись чтением из устройства</source>
        <translation>Verify a write by reading the device back</translation>
    </message>
    <message>
        <source>Сервер обновлений (адрес и порт):</source>
        <translation>Update server (address and port):</translation>
    </message>
    <message>
        <source>Сервер удалённого конфигурирования:</source>
        <translation>Remote-configuration server:</translation>
    </message>
    <message>
        <source>тот же, что сервер обновлений</source>
        <translation>the same as the update server</translation>
    </message>
    <message>
        <source>USB VID и PID устройства:</source>
        <translation>The device's USB VID and PID:</translation>
    </message>
    <message>
        <source>Язык интерфейса:</source>
        <translation>Interface language:</translation>
    </message>
</context>
<context>
    <name>StatusCalc</name>
    <message>
        <source>Калькулятор статуса</source>
        <translation>Status calculator</translation>
    </message>
    <message>
        <source>    Калькулятор статуса</source>
        <translation>    Status calculator</translation>
    </message>
    <message>
        <source>Введите код статуса:</source>
        <translation>Enter status code:</translation>
    </message>
    <message>
        <source>Шеснадцатиричное значение</source>
        <translation>Hexadecimal value</translation>
    </message>
    <message>
        <source>Десятичное значение</source>
        <translation>Decimal value</translation>
    </message>
    <message>
        <source>Расшифровать</source>
        <translation>Decode</translation>
    </message>
    <message>
        <source>Обновить текущий статус</source>
        <translation>Refresh current status</translation>
    </message>
    <message>
        <source>Обновить</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>Параметр</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>Значение</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Событие</source>
        <translation>Event</translation>
    </message>
</context>
<context>
    <name>StatusController</name>
    <message>
        <source>Не запрашивалось</source>
        <translation>Not requested</translation>
    </message>
    <message>
        <source>Ожидание ответа</source>
        <translation>Waiting for the answer</translation>
    </message>
    <message>
        <source>Подтвержден</source>
        <translation>Confirmed</translation>
    </message>
    <message>
        <source>Не подтвержден</source>
        <translation>Not confirmed</translation>
    </message>
    <message>
        <source>не проверялось</source>
        <translation>not checked</translation>
    </message>
    <message>
        <source>прошивка последней версии</source>
        <translation>firmware is up to date</translation>
    </message>
    <message>
        <source>доступна прошивка %1</source>
        <translation>firmware %1 available</translation>
    </message>
    <message>
        <source>через сервер, IMEI %1</source>
        <translation>through the server, IMEI %1</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>no</translation>
    </message>
</context>
<context>
    <name>StatusDecoder</name>
    <message>
        <source>Не установлено</source>
        <translation>Not set</translation>
    </message>
    <message>
        <source>Не задано</source>
        <translation>Not specified</translation>
    </message>
</context>
<context>
    <name>StatusPanel</name>
    <message>
        <source>Уровень сигнала</source>
        <translation>Signal level</translation>
    </message>
    <message>
        <source>Состояние сети:</source>
        <translation>Network state:</translation>
    </message>
    <message>
        <source>Состояние подключения к сети LoRaWAN</source>
        <translation>State of the LoRaWAN connection</translation>
    </message>
    <message>
        <source>RSSI:</source>
        <translation>RSSI:</translation>
    </message>
    <message>
        <source>Уровень принятого сигнала</source>
        <translation>Received signal strength</translation>
    </message>
    <message>
        <source>SNR:</source>
        <translation>SNR:</translation>
    </message>
    <message>
        <source>Отношение сигнал/шум</source>
        <translation>Signal-to-noise ratio</translation>
    </message>
    <message>
        <source>Источник питания</source>
        <translation>Power source</translation>
    </message>
    <message>
        <source>Состояние батареи</source>
        <translation>Battery state</translation>
    </message>
    <message>
        <source>Напряжение:</source>
        <translation>Voltage:</translation>
    </message>
    <message>
        <source>Напряжение батареи</source>
        <translation>Battery voltage</translation>
    </message>
    <message>
        <source>Записать в устройство дату и время приложения</source>
        <translation>Write the application's date and time into the device</translation>
    </message>
    <message>
        <source>Установить время</source>
        <translation>Set time</translation>
    </message>
    <message>
        <source>Дата и время устройства (UTC):</source>
        <translation>Device date and time (UTC):</translation>
    </message>
    <message>
        <source>Часы устройства (UTC)</source>
        <translation>Device clock (UTC)</translation>
    </message>
    <message>
        <source>Системные дата и время (UTC):</source>
        <translation>System date and time (UTC):</translation>
    </message>
    <message>
        <source>Часы приложения (UTC)</source>
        <translation>Application clock (UTC)</translation>
    </message>
    <message>
        <source>Сеть</source>
        <translation>Network</translation>
    </message>
    <message>
        <source>Базовых станций:</source>
        <translation>Base stations:</translation>
    </message>
    <message>
        <source>Количество базовых станций, принявших пакет</source>
        <translation>Number of base stations that received the packet</translation>
    </message>
    <message>
        <source>&lt;a href="net"&gt;Информация о регистрации&lt;/a&gt;</source>
        <translation>&lt;a href="net"&gt;Registration details&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Сетевой адрес, сессионные ключи и класс устройства</source>
        <translation>Network address, session keys and device class</translation>
    </message>
    <message>
        <source>&lt;a href="freq"&gt;Рабочие частоты&lt;/a&gt;</source>
        <translation>&lt;a href="freq"&gt;Working frequencies&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Частоты, на которых работает устройство</source>
        <translation>Frequencies the device works on</translation>
    </message>
    <message>
        <source>&lt;a href="time"&gt;Временные показатели&lt;/a&gt;</source>
        <translation>&lt;a href="time"&gt;Time stamps&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Время событий сетевого модуля</source>
        <translation>Times of network module events</translation>
    </message>
    <message>
        <source>Отправить пакет на сервер вне расписания</source>
        <translation>Send a packet to the server out of schedule</translation>
    </message>
    <message>
        <source>Внеочередной пакет</source>
        <translation>Extra packet</translation>
    </message>
    <message>
        <source>Заново зарегистрироваться в сети</source>
        <translation>Join the network again</translation>
    </message>
    <message>
        <source>Перерегистрация</source>
        <translation>Re-join</translation>
    </message>
    <message>
        <source>Прочитать качество связи</source>
        <translation>Read the link quality</translation>
    </message>
    <message>
        <source>Запросить статус</source>
        <translation>Request status</translation>
    </message>
    <message>
        <source>Передача</source>
        <translation>Uplink</translation>
    </message>
    <message>
        <source>Отправлено:</source>
        <translation>Sent:</translation>
    </message>
    <message>
        <source>Счетчик отправленных пакетов</source>
        <translation>Counter of sent packets</translation>
    </message>
    <message>
        <source>Принято:</source>
        <translation>Received:</translation>
    </message>
    <message>
        <source>Счетчик принятых пакетов</source>
        <translation>Counter of received packets</translation>
    </message>
    <message>
        <source>Попыток:</source>
        <translation>Attempts:</translation>
    </message>
    <message>
        <source>Число попыток последней передачи</source>
        <translation>Attempts of the last transmission</translation>
    </message>
    <message>
        <source>Окно приема:</source>
        <translation>Receive window:</translation>
    </message>
    <message>
        <source>Окно, в котором принят ответ</source>
        <translation>Window the answer was received in</translation>
    </message>
    <message>
        <source>Скорость TX:</source>
        <translation>TX data rate:</translation>
    </message>
    <message>
        <source>Скорость последней передачи</source>
        <translation>Data rate of the last transmission</translation>
    </message>
    <message>
        <source>Скорость RX:</source>
        <translation>RX data rate:</translation>
    </message>
    <message>
        <source>Скорость последнего приема</source>
        <translation>Data rate of the last reception</translation>
    </message>
    <message>
        <source>Мощность:</source>
        <translation>Power:</translation>
    </message>
    <message>
        <source>Мощность последней передачи</source>
        <translation>Power of the last transmission</translation>
    </message>
    <message>
        <source>Частота:</source>
        <translation>Frequency:</translation>
    </message>
    <message>
        <source>Частота последней передачи</source>
        <translation>Frequency of the last transmission</translation>
    </message>
    <message>
        <source>Питание</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>Питание:</source>
        <translation>Power:</translation>
    </message>
    <message>
        <source>Ошибки батареи:</source>
        <translation>Battery errors:</translation>
    </message>
    <message>
        <source>Ошибки батареи</source>
        <translation>Battery errors</translation>
    </message>
    <message>
        <source>Состояние батареи:</source>
        <translation>Battery state:</translation>
    </message>
    <message>
        <source>Входы</source>
        <translation>Inputs</translation>
    </message>
    <message>
        <source>Вход</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>Номер входа</source>
        <translation>Input number</translation>
    </message>
    <message>
        <source>Счетчик</source>
        <translation>Counter</translation>
    </message>
    <message>
        <source>Показания счетчика импульсов</source>
        <translation>Pulse counter reading</translation>
    </message>
    <message>
        <source>Флаг</source>
        <translation>Flag</translation>
    </message>
    <message>
        <source>Флаги входа</source>
        <translation>Input flags</translation>
    </message>
    <message>
        <source>Ошибка</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Ошибка входа</source>
        <translation>Input error</translation>
    </message>
    <message>
        <source>АЦП</source>
        <translation>ADC</translation>
    </message>
    <message>
        <source>Значение АЦП входа</source>
        <translation>ADC value of the input</translation>
    </message>
    <message>
        <source>Счетчик входа 1</source>
        <translation>Counter of input 1</translation>
    </message>
    <message>
        <source>Флаги входа 1</source>
        <translation>Flags of input 1</translation>
    </message>
    <message>
        <source>Ошибка входа 1</source>
        <translation>Error of input 1</translation>
    </message>
    <message>
        <source>АЦП входа 1</source>
        <translation>ADC of input 1</translation>
    </message>
    <message>
        <source>Счетчик входа 2</source>
        <translation>Counter of input 2</translation>
    </message>
    <message>
        <source>Флаги входа 2</source>
        <translation>Flags of input 2</translation>
    </message>
    <message>
        <source>Ошибка входа 2</source>
        <translation>Error of input 2</translation>
    </message>
    <message>
        <source>АЦП входа 2</source>
        <translation>ADC of input 2</translation>
    </message>
    <message>
        <source>Счетчик входа 3</source>
        <translation>Counter of input 3</translation>
    </message>
    <message>
        <source>Флаги входа 3</source>
        <translation>Flags of input 3</translation>
    </message>
    <message>
        <source>Ошибка входа 3</source>
        <translation>Error of input 3</translation>
    </message>
    <message>
        <source>АЦП входа 3</source>
        <translation>ADC of input 3</translation>
    </message>
    <message>
        <source>Счетчик входа 4</source>
        <translation>Counter of input 4</translation>
    </message>
    <message>
        <source>Флаги входа 4</source>
        <translation>Flags of input 4</translation>
    </message>
    <message>
        <source>Ошибка входа 4</source>
        <translation>Error of input 4</translation>
    </message>
    <message>
        <source>АЦП входа 4</source>
        <translation>ADC of input 4</translation>
    </message>
    <message>
        <source>Счетчик входа 5</source>
        <translation>Counter of input 5</translation>
    </message>
    <message>
        <source>Флаги входа 5</source>
        <translation>Flags of input 5</translation>
    </message>
    <message>
        <source>Ошибка входа 5</source>
        <translation>Error of input 5</translation>
    </message>
    <message>
        <source>АЦП входа 5</source>
        <translation>ADC of input 5</translation>
    </message>
    <message>
        <source>Счетчик входа 6</source>
        <translation>Counter of input 6</translation>
    </message>
    <message>
        <source>Флаги входа 6</source>
        <translation>Flags of input 6</translation>
    </message>
    <message>
        <source>Ошибка входа 6</source>
        <translation>Error of input 6</translation>
    </message>
    <message>
        <source>АЦП входа 6</source>
        <translation>ADC of input 6</translation>
    </message>
    <message>
        <source>Статус</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>SIM-карта</source>
        <translation>SIM card</translation>
    </message>
    <message>
        <source>Роуминг</source>
        <translation>Roaming</translation>
    </message>
    <message>
        <source>Координаты</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Удаленная настройка</source>
        <translation>Remote configuration</translation>
    </message>
    <message>
        <source>Обновление ПО</source>
        <translation>Software update</translation>
    </message>
    <message>
        <source>Источник времени:</source>
        <translation>Time source:</translation>
    </message>
    <message>
        <source>Кто последним установил часы устройства</source>
        <translation>Who set the device clock last</translation>
    </message>
    <message>
        <source>Подключено ли устройство через сервер удаленной настройки</source>
        <translation>Whether the device is connected through the remote configuration server</translation>
    </message>
    <message>
        <source>Что показала последняя проверка обновлений прошивки</source>
        <translation>What the last check for firmware updates found</translation>
    </message>
</context>
<context>
    <name>SystemPage</name>
    <message>
        <source>Общие параметры</source>
        <translation>General settings</translation>
    </message>
    <message>
        <source>Часовой пояс:</source>
        <translation>Time zone:</translation>
    </message>
    <message>
        <source>Часовой пояс, по которому устройство ведет местное время</source>
        <translation>Time zone the device keeps its local time in</translation>
    </message>
    <message>
        <source>Точка отсчета времени:</source>
        <translation>Transmission schedule:</translation>
    </message>
    <message>
        <source>От какого момента устройство отсчитывает время передачи данных</source>
        <translation>When the device sends its data: every transmission period, at the fixed transmission points, or both</translation>
    </message>
    <message>
        <source>Подтверждение удаления из сети:</source>
        <translation>Rejoin the network:</translation>
    </message>
    <message>
        <source>Режим подтверждения удаления устройства из сети</source>
        <translation>When the device decides it has been dropped from the network and joins it again</translation>
    </message>
    <message>
        <source>Протокол:</source>
        <translation>Protocol:</translation>
    </message>
    <message>
        <source>Протокол, по которому устройство передает данные</source>
        <translation>Protocol the device transmits its data with</translation>
    </message>
    <message>
        <source>Фиксированные точки передачи</source>
        <translation>Fixed transmission points</translation>
    </message>
    <message>
        <source>Ежедневно</source>
        <translation>Every day</translation>
    </message>
    <message>
        <source>День</source>
        <translation>Day</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Передавать данные в заданное время</source>
        <translation>Transmit data at the set time</translation>
    </message>
    <message>
        <source>Точка 1</source>
        <translation>Point 1</translation>
    </message>
    <message>
        <source>Передавать каждый день; без отметки — в заданный день месяца</source>
        <translation>Transmit every day; unchecked: on the set day of the month</translation>
    </message>
    <message>
        <source>День месяца</source>
        <translation>Day of the month</translation>
    </message>
    <message>
        <source>Время передачи: часы, минуты, секунды</source>
        <translation>Transmission time: hours, minutes, seconds</translation>
    </message>
    <message>
        <source>Точка 2</source>
        <translation>Point 2</translation>
    </message>
    <message>
        <source>Точка 3</source>
        <translation>Point 3</translation>
    </message>
    <message>
        <source>Точка 4</source>
        <translation>Point 4</translation>
    </message>
    <message>
        <source>Точка 5</source>
        <translation>Point 5</translation>
    </message>
    <message>
        <source>Точка 6</source>
        <translation>Point 6</translation>
    </message>
</context>
<context>
    <name>TimeParamsForm</name>
    <message>
        <source>Просмотр показателей</source>
        <translation>Network indicators</translation>
    </message>
    <message>
        <source> Просмотр показателей</source>
        <translation> Network indicators</translation>
    </message>
    <message>
        <source>Временные показатели:</source>
        <translation>Time indicators:</translation>
    </message>
    <message>
        <source>Параметр</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>Дата и время</source>
        <translation>Date and time</translation>
    </message>
    <message>
        <source>Запуск сетевого модуля:</source>
        <translation>Network module start:</translation>
    </message>
    <message>
        <source>Время запуска сетевого сервиса</source>
        <translation>Time the network service started</translation>
    </message>
    <message>
        <source>Активация модуля в сети:</source>
        <translation>Network activation:</translation>
    </message>
    <message>
        <source>Время установки соединения с сетью LoRa</source>
        <translation>Time the LoRa network connection was established</translation>
    </message>
    <message>
        <source>Отключение от сети:</source>
        <translation>Network disconnection:</translation>
    </message>
    <message>
        <source>Время когда устройство определило что нет соединения</source>
        <translation>Time the device detected that the connection was lost</translation>
    </message>
    <message>
        <source>Остановка сетевого модуля:</source>
        <translation>Network module stop:</translation>
    </message>
    <message>
        <source>Время остановки сетевого сервиса</source>
        <translation>Time the network service stopped</translation>
    </message>
    <message>
        <source>Последняя передача:</source>
        <translation>Last transmission:</translation>
    </message>
    <message>
        <source>Время последней передачи пакета</source>
        <translation>Time of the last packet transmission</translation>
    </message>
    <message>
        <source>Последний приём:</source>
        <translation>Last reception:</translation>
    </message>
    <message>
        <source>Время последнего полученного пакета</source>
        <translation>Time of the last received packet</translation>
    </message>
    <message>
        <source>Последний опрос сети:</source>
        <translation>Last network check:</translation>
    </message>
    <message>
        <source>Время последнего запроса на проверку соединения с сетью LoRa</source>
        <translation>Time of the last LoRa network connection check request</translation>
    </message>
    <message>
        <source>Последний ответ от сети:</source>
        <translation>Last network answer:</translation>
    </message>
    <message>
        <source>Время последнего ответа на проверку соединения с сетью LoRa</source>
        <translation>Time of the last answer to a LoRa network connection check</translation>
    </message>
    <message>
        <source>Последнее подтверждение запроса:</source>
        <translation>Last confirmation request:</translation>
    </message>
    <message>
        <source>Время последнего пакета с запросом на подтверждение</source>
        <translation>Time of the last packet requesting confirmation</translation>
    </message>
    <message>
        <source>Последнее подтверждение ответа:</source>
        <translation>Last confirmation answer:</translation>
    </message>
    <message>
        <source>Время последнего пакета с ответом на подтверждение</source>
        <translation>Time of the last packet answering a confirmation</translation>
    </message>
    <message>
        <source>Время передачи пакета, мс:</source>
        <translation>Packet time on air, ms:</translation>
    </message>
    <message>
        <source>Время нахождения в эфире при передаче последнего пакета</source>
        <translation>Time on air of the last transmitted packet</translation>
    </message>
    <message>
        <source>Статусы подтверждений:</source>
        <translation>Confirmation statuses:</translation>
    </message>
    <message>
        <source>Последний пакет:</source>
        <translation>Last packet:</translation>
    </message>
    <message>
        <source>Статус состояния прохождения последнего пакета</source>
        <translation>Delivery status of the last packet</translation>
    </message>
    <message>
        <source>Тест связи с сетью:</source>
        <translation>Network link test:</translation>
    </message>
    <message>
        <source>Статус теста связи с сетью LoRa</source>
        <translation>Status of the LoRa network link test</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>UpdateController</name>
    <message>
        <source>Доступно обновление конфигуратора v</source>
        <translation>A configurator update is available: v</translation>
    </message>
    <message>
        <source>Список изменений</source>
        <translation>List of changes</translation>
    </message>
    <message>
        <source>&lt;br&gt;Загрузить обновление? (</source>
        <translation>&lt;br&gt;Download the update? (</translation>
    </message>
    <message>
        <source>&lt;br&gt;Эта установка обновляется менеджером пакетов: архив будет только загружен в </source>
        <translation>&lt;br&gt;This installation is updated by the package manager: the archive will only be downloaded to </translation>
    </message>
    <message>
        <source>Обновление конфигуратора</source>
        <translation>Configurator update</translation>
    </message>
    <message>
        <source>Архив обновления загружен: </source>
        <translation>Update archive downloaded: </translation>
    </message>
    <message>
        <source>
Установите обновление менеджером пакетов.</source>
        <translation>
Install the update with the package manager.</translation>
    </message>
    <message>
        <source>Обновление не установлено, конфигуратор продолжает работу.
</source>
        <translation>The update was not installed; the configurator keeps running.
</translation>
    </message>
    <message>
        <source>Проверка обновлений</source>
        <translation>Update check</translation>
    </message>
    <message>
        <source>Вы используете актуальную версию конфигуратора и прошивки устройства</source>
        <translation>You are using the current versions of the configurator and of the device firmware</translation>
    </message>
    <message>
        <source>Доступна новая версия прошивки и новая версия конфигуратора</source>
        <translation>A new firmware version and a new configurator version are available</translation>
    </message>
    <message>
        <source>Доступна новая версия прошивки</source>
        <translation>A new firmware version is available</translation>
    </message>
    <message>
        <source>Сервер обновлений недоступен</source>
        <translation>The update server is not available</translation>
    </message>
    <message>
        <source>Ошибка обмена данными с сервером</source>
        <translation>Error exchanging data with the server</translation>
    </message>
    <message>
        <source>Это обновление не подписано: устанавливайте его, только если доверяете серверу.</source>
        <translation>This update is not signed; install it only if you trust the server</translation>
    </message>
    <message>
        <source>Установить обновление?</source>
        <translation>Install the update?</translation>
    </message>
    <message>
        <source>Конфигуратор закроется, чтобы установить версию %1, и запустится снова.</source>
        <translation>The configurator will close to install version %1 and start again.</translation>
    </message>
    <message>
        <source>Есть незаписанные изменения: сохранить их в файл перед установкой?</source>
        <translation>There are unwritten changes: save them to a file before installing?</translation>
    </message>
    <message>
        <source>Прошивка с сервера обновлений отклонена: %1. Ничего не сохранено.</source>
        <translation>The firmware from the update server was refused: %1. Nothing was saved.</translation>
    </message>
</context>
<context>
    <name>UpdateUnpacker</name>
    <message>
        <source>Папку программы "%1" нельзя записать в сценарий установки: её имя содержит символы вне кодовой страницы консоли (IBM866)</source>
        <translation>The program folder "%1" cannot be written into the installation script: its name has characters outside the console code page (IBM866)</translation>
    </message>
    <message>
        <source>Архив обновления повреждён: %1</source>
        <translation>The update archive is damaged: %1</translation>
    </message>
    <message>
        <source>Архив обновления отклонён: элемент "%1" указывает за пределы папки обновлений</source>
        <translation>The update archive was refused: the item "%1" points outside the updates folder</translation>
    </message>
    <message>
        <source>Не удалось очистить папку обновлений: %1</source>
        <translation>Could not clear the updates folder: %1</translation>
    </message>
    <message>
        <source>Не удалось создать папку %1</source>
        <translation>Could not create the folder %1</translation>
    </message>
    <message>
        <source>Не удалось записать файл %1: %2</source>
        <translation>Could not write the file %1: %2</translation>
    </message>
    <message>
        <source>Архив обновления повреждён: данные файла "%1" не сходятся</source>
        <translation>The update archive is damaged: the data of the file "%1" do not match</translation>
    </message>
    <message>
        <source>Не удалось создать ссылку %1</source>
        <translation>Could not create the link %1</translation>
    </message>
    <message>
        <source>В архиве обновления нет сценария установки %1</source>
        <translation>The update archive has no installation script %1</translation>
    </message>
    <message>
        <source>Не удалось дополнить сценарий установки: %1</source>
        <translation>Could not complete the installation script: %1</translation>
    </message>
    <message>
        <source>Не удалось запустить сценарий установки %1</source>
        <translation>Could not start the installation script %1</translation>
    </message>
    <message>
        <source>Архив обновления отклонён: в нём более %1 элементов</source>
        <translation>The update archive was refused: it holds more than %1 entries</translation>
    </message>
    <message>
        <source>элемент "%1" записан дважды</source>
        <translation>the entry "%1" is in it twice</translation>
    </message>
    <message>
        <source>Архив обновления отклонён: файл "%1" больше, чем указано в архиве</source>
        <translation>The update archive was refused: the file "%1" is larger than the archive says</translation>
    </message>
    <message>
        <source>Архив обновления отклонён: распакованный, он больше %1 МБ</source>
        <translation>The update archive was refused: unpacked, it is larger than %1 MB</translation>
    </message>
    <message>
        <source>Архив обновления отклонён: файл "%1" сжат более чем в %2 раз (архив-бомба)</source>
        <translation>The update archive was refused: the file "%1" is compressed more than %2 times (a decompression bomb)</translation>
    </message>
    <message>
        <source>Обновление отклонено: %1</source>
        <translation>The update was refused: %1</translation>
    </message>
    <message>
        <source>оно подписано ключом, которому конфигуратор не доверяет</source>
        <translation>it is signed by a key this configurator does not trust</translation>
    </message>
    <message>
        <source>оно не подписано</source>
        <translation>it is not signed</translation>
    </message>
    <message>
        <source>оно не подписано доверенным ключом, а настройки требуют подписи (UpdateServer/RequireSignature)</source>
        <translation>it is not signed by a trusted key, and the settings require a signature (UpdateServer/RequireSignature)</translation>
    </message>
    <message>
        <source>Недостаточно места на диске для обновления: нужно %1 МБ</source>
        <translation>Not enough disk space for the update: %1 MB are needed</translation>
    </message>
    <message>
        <source>его подпись не сходится: файл изменён или повреждён</source>
        <translation>its signature does not match: the file was changed or damaged</translation>
    </message>
</context>
<context>
    <name>Vexa701Page</name>
    <message>
        <source>Оптический датчик</source>
        <translation>Optical sensor</translation>
    </message>
    <message>
        <source>Режим счета импульсов:</source>
        <translation>Pulse counting mode:</translation>
    </message>
    <message>
        <source>Как оптический датчик считает импульсы счетчика</source>
        <translation>How the optical sensor counts the meter pulses</translation>
    </message>
    <message>
        <source>Уровень внешней засветки:</source>
        <translation>Ambient light level:</translation>
    </message>
    <message>
        <source>Порог внешней засветки оптического датчика</source>
        <translation>Ambient light threshold of the optical sensor</translation>
    </message>
</context>
</TS>