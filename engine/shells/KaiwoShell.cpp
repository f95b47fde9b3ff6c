#include "EngineShell.h"

extern "C" __attribute__((visibility("default"))) ShellWrapperInterface *GetKaiwoShellWrapper()
{
    static EngineShell shell(SHELL_PINYIN);
    return &shell;
}
