#pragma once

// Where the words a user chose before go, against the dictionary's order.
// Both filters look at the first pages only: what lies beyond keeps Rime's
// order, so a short code with thousands of completions costs no more.
class LearnedOrderFilter
{
public:
    // With "exactly matching words first" off: the chosen words come
    // first, the word typed in full included (Rime always puts that first).
    static const char *learnedFirstName() { return "kaiwo_learned_first"; }
    // With order learning off but new words kept: a dictionary word stays
    // at its own place however often it was chosen; new words stay where
    // Rime puts them.
    static const char *tableOrderName() { return "kaiwo_table_order"; }
    static void registerComponents();
};
