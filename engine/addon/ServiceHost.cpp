#include "ServiceHost.h"

#include "KaiwoInputMethod.h"

#include <fcitx-utils/log.h>
#include <fcitx-utils/utils.h>
#include <fcitx/module/dbus/fcitx-dbus.h>

ServiceHost *ServiceHost::sSelf = nullptr;

ServiceHost::ServiceHost(FcitxInstance *instance)
    : mService(new ImeService(FcitxDBusGetConnection(instance),
                              [this](const std::string &method, const std::string &text,
                                     int number) { return call(method, text, number); }))
{
    sSelf = this;
    std::string error;
    if (!mService->start(fcitx_utils_get_display_number(), &error))
        FcitxLog(WARNING, "kaiwo: IME service not started: %s", error.c_str());
}

ServiceHost::~ServiceHost()
{
    if (sSelf == this)
        sSelf = nullptr;
}

bool ServiceHost::call(const std::string &method, const std::string &text, int number)
{
    if (mInputMethod)
        return mInputMethod->serviceCall(method, text, number);
    // Reloads have nothing to act on yet; everything else has no effect.
    return method == "ReloadConfig" || method == "RebuildKeyMap" || method == "ReloadDictionary";
}
