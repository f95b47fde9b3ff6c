#pragma once

#include <fcitx-utils/keysym.h>

// The Pinyin page's "按空格出字" (ConvertStyle) and "按字母选词" (SelectStyle).
// Convert on space: while pinyin is typed only the composition shows; the
// first Space converts it and brings up the candidates, which then take
// Space, digits and page keys as usual. A letter continues the pinyin and
// Backspace goes back to typing, both hiding the candidates again. Choosing
// by letter: once converted, the letters a, b, c… choose the candidates they
// label; a letter past the page continues the pinyin.
class SpaceConversion
{
public:
    enum class Action { PassOn, Convert, Choose };
    struct Decision {
        Action action = Action::PassOn;
        int index = 0; // on the current page, for Choose
    };

    void configure(bool convertOnSpace, bool chooseByLetter);
    void reset() { mConverted = false; }
    // What a key press means before Rime sees it, given Rime's state before
    // the key.
    Decision keyPressed(FcitxKeySym sym, unsigned int state, bool composing, int candidates);
    bool showsCandidates() const { return !mConvertOnSpace || mConverted; }
    // The keys labelling the candidates of a page.
    const char *labels() const;

private:
    Decision converted(FcitxKeySym sym, int candidates);

    bool mConvertOnSpace = false;
    bool mChooseByLetter = false;
    bool mConverted = false;
};
