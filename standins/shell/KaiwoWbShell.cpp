#include "StandInShell.h"

extern "C" __attribute__((visibility("default"))) ShellWrapperInterface *GetWbKaiwoShellWrapper()
{
    static StandInShell shell(SHELL_WUBI);
    return &shell;
}
