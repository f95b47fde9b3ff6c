// Helpers shared by the engine data generators.
'use strict';
const fs = require('fs');

// The body of a Rime dictionary: [text, code, weight] for every entry line.
function rimeEntries(path) {
    const lines = fs.readFileSync(path, 'utf8').split('\n');
    const body = lines.indexOf('...');
    return lines.slice(body + 1)
        .filter((line) => line && !line.startsWith('#'))
        .map((line) => line.split('\t'))
        .filter((fields) => fields.length >= 2);
}

function isSingleCharacter(text) {
    return [...text].length === 1;
}

// Plain Chinese characters of the basic plane, which every Chinese font has.
function isBasicHan(text) {
    const cp = text.codePointAt(0);
    return isSingleCharacter(text) &&
           ((cp >= 0x3400 && cp <= 0x4dbf) || (cp >= 0x4e00 && cp <= 0x9fff));
}

module.exports = { rimeEntries, isSingleCharacter, isBasicHan };
