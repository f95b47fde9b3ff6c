#pragma once

// One key of a double-pinyin key table: the key's character and the
// consonant and up to two finals it types (NUL-terminated ASCII).
struct SpKeyItem {
    char key;
    char consonant[10];
    char vowel1[10];
    char vowel2[10];
};
