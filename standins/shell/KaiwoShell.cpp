#include "StandInShell.h"

extern "C" __attribute__((visibility("default"))) ShellWrapperInterface *GetKaiwoShellWrapper()
{
    static StandInShell shell(SHELL_PINYIN);
    return &shell;
}
