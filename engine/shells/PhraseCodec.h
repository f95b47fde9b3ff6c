#pragma once

#include "DicOperationTypes.h"

#include <string>

// Rules and text conversions shared by the phrase file formats.
namespace phrasecodec
{

constexpr std::size_t kMaxAbbr = 21;
constexpr std::size_t kMaxPhrase = 1000;
// Bounds memory for hostile files; far above what a person keeps.
constexpr std::size_t kMaxPhrases = 200000;

// An abbreviation of 1 to 21 ASCII letters, a phrase of 1 to 1000
// characters and a position whose absolute value is 1 to 9.
bool isValid(const UserPhraseItem &item);

// Strict UTF-8 decoding; false for overlong forms, surrogates and
// truncated sequences, so a damaged line is skipped as a whole.
bool utf8ToWide(const char *data, std::size_t size, std::wstring &out);

} // namespace phrasecodec
