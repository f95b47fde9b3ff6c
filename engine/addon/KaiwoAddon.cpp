// fcitx 4 loads this library twice over: as the module
// "fcitx-kaiwo-service" (the IME service, early) and as the input-method
// addon "fcitx-kaiwo" (the exported "ime" class). dlopen gives both the same
// copy, so the two share the service host.
#include "KaiwoInputMethod.h"
#include "ServiceHost.h"

#include <fcitx/fcitx.h>
#include <fcitx/ime.h>
#include <fcitx/module.h>

#include <new>

namespace
{

KaiwoInputMethod *self(void *arg)
{
    return static_cast<KaiwoInputMethod *>(arg);
}

boolean init(void *arg)
{
    self(arg)->activate();
    return true;
}

void resetIM(void *arg)
{
    self(arg)->reset();
}

INPUT_RETURN_VALUE doInput(void *arg, FcitxKeySym sym, unsigned int state)
{
    return self(arg)->keyPressed(sym, state);
}

INPUT_RETURN_VALUE doReleaseInput(void *arg, FcitxKeySym sym, unsigned int state)
{
    return self(arg)->keyReleased(sym, state);
}

INPUT_RETURN_VALUE getCandWords(void *arg)
{
    return self(arg)->showCandidates();
}

void reloadConfig(void *arg)
{
    self(arg)->applySettings();
}

void *create(FcitxInstance *instance)
{
    KaiwoInputMethod *im = new (std::nothrow) KaiwoInputMethod(instance);
    if (!im)
        return nullptr;
    FcitxIMIFace iface = {};
    iface.Init = init;
    iface.ResetIM = resetIM;
    iface.DoInput = doInput;
    iface.DoReleaseInput = doReleaseInput;
    iface.GetCandWords = getCandWords;
    iface.ReloadConfig = reloadConfig;
    FcitxInstanceRegisterIMv2(instance, im, KaiwoInputMethod::uniqueName(), "凯沃输入法", "kaiwo",
                              iface, 1, "zh_CN");
    return im;
}

void destroy(void *arg)
{
    delete self(arg);
}

void *createService(FcitxInstance *instance)
{
    return new (std::nothrow) ServiceHost(instance);
}

void destroyService(void *arg)
{
    delete static_cast<ServiceHost *>(arg);
}

} // namespace

extern "C" {
FCITX_EXPORT_API FcitxIMClass ime = {create, destroy};
FCITX_EXPORT_API int ABI_VERSION = FCITX_ABI_VERSION;
FCITX_DEFINE_PLUGIN(fcitx_kaiwo_service, module, FcitxModule) = {createService, nullptr, nullptr,
                                                                 destroyService, nullptr};
}
