#include "statusrecords.h"

#include "fileinfo.h"
#include "netinfoparams.h"

#include <ctime>

void registerLinkMetaTypes()
{
    qRegisterMetaType<NET_MAIN_STAT>("NET_MAIN_STAT");
    qRegisterMetaType<NET_QUALITY_STAT>("NET_QUALITY_STAT");
    qRegisterMetaType<NET_LAST_SEND_STAT>("NET_LAST_SEND_STAT");
    qRegisterMetaType<NET_TIME_STAT>("NET_TIME_STAT");
    qRegisterMetaType<DEV_BAT_STAT>("DEV_BAT_STAT");
    qRegisterMetaType<DEV_ADC_VALUES>("DEV_ADC_VALUES");
    qRegisterMetaType<DEV_INPUT_PARAMS>("DEV_INPUT_PARAMS");
    qRegisterMetaType<NET_INFO_PARAMS>("NET_INFO_PARAMS");
    qRegisterMetaType<FILE_INFO>("FILE_INFO");
    // time_t is a 64-bit signed count of seconds on every platform we build for.
    static_assert(sizeof(time_t) == 8, "time_t must be 64 bits wide");
    qRegisterMetaType<time_t>("time_t");
    qRegisterMetaType<QList<QPair<int, QString>>>("QList<QPair<int,QString> >");
}
