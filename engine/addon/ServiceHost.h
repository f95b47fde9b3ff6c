#pragma once

#include "ImeService.h"

#include <fcitx/instance.h>

#include <memory>
#include <string>

class KaiwoInputMethod;

// The IME service as fcitx's module "fcitx-kaiwo-service": fcitx loads
// modules right after its bus module and long before input methods, so the
// settings tool finds the service as soon as fcitx is up. Calls go to the
// input method once fcitx has made it; before that there is nothing to
// apply, since the input method reads the tool's files when it starts.
class ServiceHost
{
public:
    explicit ServiceHost(FcitxInstance *instance);
    ~ServiceHost();

    static ServiceHost *instance() { return sSelf; }
    void attach(KaiwoInputMethod *inputMethod) { mInputMethod = inputMethod; }

private:
    bool call(ImeService::Call &call);

    static ServiceHost *sSelf;
    KaiwoInputMethod *mInputMethod = nullptr;
    std::unique_ptr<ImeService> mService;
};
