#include "EngineShell.h"

extern "C" __attribute__((visibility("default"))) ShellWrapperInterface *GetWbKaiwoShellWrapper()
{
    static EngineShell shell(SHELL_WUBI);
    return &shell;
}
