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
    <name>GuiPrompts</name>
    <message>
        <source>Чтение конфигурации</source>
        <translation>Reading the configuration</translation>
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
    <message>
        <source>Состояние сети:</source>
        <translation>Network state:</translation>
    </message>
    <message>
        <source>Перерегистрация</source>
        <translation>Re-join</translation>
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
        <source>Ошибка обновления прошивки. Перезагрузите устройство и повторите обновление.</source>
        <translation>The firmware update failed. Reboot the device and update again.</translation>
    </message>
    <message>
        <source>Загрузка обновления</source>
        <translation>Downloading the update</translation>
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
        <source>Отключить</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Невозможно подключиться к удаленному устройству</source>
        <translation>Cannot connect to the remote device</translation>
    </message>
    <message>
        <source>Неверный пароль</source>
        <translation>Wrong password</translation>
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
        <source>Отсутствуют изменения для записи в устройство</source>
        <translation>There are no changes to write to the device</translation>
    </message>
    <message>
        <source>Записать конфигурацию в устройство?</source>
        <translation>Write the configuration to the device?</translation>
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
        <source>Ошибка сохранения конфигурации</source>
        <translation>The configuration could not be saved</translation>
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