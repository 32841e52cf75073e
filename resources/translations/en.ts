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
    <name>MainWindow</name>
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
        <source>Запросить статус</source>
        <translation>Request status</translation>
    </message>
    <message>
        <source>Установить время</source>
        <translation>Set time</translation>
    </message>
    <message>
        <source>Подключите устройство к компьютеру кабелем USB. Конфигуратор найдёт его автоматически.</source>
        <translation>Connect the device to the computer with a USB cable. The configurator finds it automatically.</translation>
    </message>
    <message>
        <source>Часовой пояс:</source>
        <translation>Time zone:</translation>
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
        <source>Включен режим вывода отладочной информации.
В этом режиме функции конфигуратора не доступны.
Выключить режим отладки?</source>
        <translation>Debug output is on.
The configurator's functions are not available in this mode.
Switch debug mode off?</translation>
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
</context>
</TS>