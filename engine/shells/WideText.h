#pragma once

#include <string>

// Converts a NUL-terminated wide string (UTF-32 on this platform) to UTF-8.
// Fails for a null pointer and for values that are not Unicode scalar values,
// so a broken path is refused instead of silently naming another file.
bool wideToUtf8(const wchar_t *text, std::string &out);
