#include "TypingAssist.h"

namespace
{

struct Pair {
    const char *opening;
    const char *closing;
};

const Pair kPairs[] = {
    {"（", "）"}, {"【", "】"}, {"《", "》"}, {"「", "」"}, {"『", "』"},
    {"〔", "〕"}, {"［", "］"}, {"｛", "｝"}, {"〈", "〉"}, {"“", "”"},
    {"‘", "’"},   {"(", ")"},   {"[", "]"},   {"{", "}"},
};

} // namespace

QString TypingAssist::closerFor(const QString &opening)
{
    for (const Pair &pair : kPairs) {
        if (opening == QString::fromUtf8(pair.opening))
            return QString::fromUtf8(pair.closing);
    }
    return QString();
}

void TypingAssist::setRules(bool pairSymbols, bool halfWidthAfterDigit)
{
    mPair = pairSymbols;
    mAfterDigit = halfWidthAfterDigit;
    if (!mPair)
        mPendingClosers.clear();
}

TypingAssist::Action TypingAssist::committed(const QString &text)
{
    Action action;
    if (text.isEmpty())
        return action;
    if (!mPendingClosers.isEmpty() && text == mPendingClosers.last()) {
        mPendingClosers.removeLast();
        action.caretRight = 1;
        mLast = text.back();
        return action;
    }
    action.commit = text;
    mLast = text.back();
    const QString closer = mPair ? closerFor(text) : QString();
    if (!closer.isEmpty()) {
        action.commit += closer;
        action.caretLeft = 1;
        mPendingClosers << closer;
    }
    return action;
}

void TypingAssist::passedThrough(char printable)
{
    mLast = QLatin1Char(printable);
    if (!printable)
        mPendingClosers.clear();
}

QString TypingAssist::afterDigit(char key) const
{
    const bool digitBefore = mLast >= QLatin1Char('0') && mLast <= QLatin1Char('9');
    if (!digitBefore || (key != '.' && key != ',' && key != ':'))
        return QString();
    if (mAfterDigit)
        return QString(QLatin1Char(key));
    // Rime keeps these half width after a digit by itself; without the
    // setting they are ordinary Chinese punctuation.
    return QString::fromUtf8(key == '.' ? "。" : key == ',' ? "，" : "：");
}

void TypingAssist::reset()
{
    mLast = QChar();
    mPendingClosers.clear();
}
