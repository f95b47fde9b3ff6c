#include "ServiceHost.h"

#include "KaiwoInputMethod.h"

#include <fcitx-utils/log.h>
#include <fcitx-utils/utils.h>
#include <fcitx/module/dbus/fcitx-dbus.h>

ServiceHost *ServiceHost::sSelf = nullptr;

ServiceHost::ServiceHost(FcitxInstance *instance)
    : mService(new ImeService(FcitxDBusGetConnection(instance),
                              [this](ImeService::Call &call) { return this->call(call); }))
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

bool ServiceHost::call(ImeService::Call &call)
{
    const std::string &method = call.method;
    if (!mInputMethod)
        // Reloads have nothing to act on yet; everything else has no effect.
        return method == "ReloadConfig" || method == "RebuildKeyMap" ||
               method == "ReloadDictionary";
    if (method == "LearnedWords") {
        call.reply = mInputMethod->learnedWords();
        return true;
    }
    if (method == "ForgetLearnedWord")
        return mInputMethod->forgetLearnedWord(call.texts.at(0), call.texts.at(1));
    return mInputMethod->serviceCall(method, call.texts.empty() ? std::string() : call.texts[0],
                                     call.number);
}
