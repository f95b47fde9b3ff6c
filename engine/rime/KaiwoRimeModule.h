#pragma once

// Our Rime module ("kaiwo"): the filters of ours that schemas name.
class KaiwoRimeModule
{
public:
    // The module to name in Rime's traits.
    static const char *name() { return "kaiwo"; }
    // Before Rime's setup; later calls do nothing.
    static void registerOnce();
};
