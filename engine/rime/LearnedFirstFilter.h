#pragma once

// With "exactly matching words first" switched off, the words the user has
// chosen before come ahead of the others on the first pages, the word
// typed in full included; Rime itself always puts that one first.
class LearnedFirstFilter
{
public:
    // The filter's name in a schema's engine/filters.
    static const char *componentName() { return "kaiwo_learned_first"; }
    static void registerComponent();
};
