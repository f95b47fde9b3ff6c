// Turns Chinese text (UTF-8, on stdin) into the phrase sets the accuracy
// benchmark types: runs of 2-16 Han characters, each once, with their
// toneless pinyin from pinyin-pro.
//   node make_corpus.mjs NPM_DIR OUT_DIR < text
// writes OUT_DIR/test.tsv, OUT_DIR/dev.tsv and OUT_DIR/tuning.tsv
// ("phrase<TAB>pin yin"): the held-out set, the development set, and more
// development phrases to choose the sentence weights on.
import { createRequire } from 'node:module';
import { readFileSync, writeFileSync } from 'node:fs';
import path from 'node:path';

const [npmDir, outDir] = process.argv.slice(2);
const require = createRequire(path.join(npmDir, 'package.json'));
const { pinyin, addDict } = require('pinyin-pro');
// The built-in words miss many polyphones in context (命令行 as "xing");
// the package's complete word list has them.
addDict(require('@pinyin-pro/data/complete.json'), 'complete');

const SET_SIZES = { test: 1000, dev: 1000, tuning: 4000 };
const SEED = 20240601;
const MIN_CHARS = 2;
const MAX_CHARS = 16;

// mulberry32: a small seeded generator, so every machine draws the same sets.
function generator(seed) {
    let a = seed >>> 0;
    return () => {
        a = (a + 0x6d2b79f5) >>> 0;
        let t = a;
        t = Math.imul(t ^ (t >>> 15), t | 1);
        t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
}

function shuffle(items, random) {
    for (let i = items.length - 1; i > 0; i--) {
        const j = Math.floor(random() * (i + 1));
        [items[i], items[j]] = [items[j], items[i]];
    }
    return items;
}

function hanRuns(text) {
    // Rendered manual pages join source lines with a space, which would cut
    // a sentence that the translator wrapped; Chinese puts no space between
    // two characters, so such a space is a line join.
    const joined = text.replace(/(\p{Script=Han}) (?=\p{Script=Han})/gu, '$1');
    return joined.match(/\p{Script=Han}+/gu) ?? [];
}

// The reading of each character, polyphones decided by the phrase around
// them; null when a character has none (pinyin-pro then echoes it back).
function readings(phrase) {
    const syllables = pinyin(phrase, { toneType: 'none', type: 'array', v: true });
    const ok = syllables.length === [...phrase].length && syllables.every((s) => /^[a-z]+$/.test(s));
    return ok ? syllables : null;
}

const bucket = (phrase) => ([...phrase].length <= 4 ? '2-4' : '5-16');

function describe(name, rows) {
    const counts = { '2-4': 0, '5-16': 0 };
    for (const [phrase] of rows) counts[bucket(phrase)]++;
    return `${name}: ${rows.length} phrases (2-4 chars: ${counts['2-4']}, 5-16 chars: ${counts['5-16']})`;
}

const runs = hanRuns(readFileSync(0, 'utf8'));
const kept = runs.filter((r) => [...r].length >= MIN_CHARS && [...r].length <= MAX_CHARS);
// Sorted before the draw, so the order the sources were read in does not matter.
const unique = [...new Set(kept)].sort();
const sets = { test: [], dev: [], tuning: [] };
let dropped = 0;
for (const phrase of shuffle(unique, generator(SEED))) {
    const name = Object.keys(SET_SIZES).find((set) => sets[set].length < SET_SIZES[set]);
    if (!name) break;
    const target = sets[name];
    const syllables = readings(phrase);
    if (syllables) target.push([phrase, syllables.join(' ')]);
    else dropped++;
}
for (const [name, rows] of Object.entries(sets)) {
    writeFileSync(path.join(outDir, `${name}.tsv`), rows.map((r) => r.join('\t') + '\n').join(''));
}
console.log(
    `corpus: ${runs.length} Han runs, ${kept.length} of 2-16 chars, ${unique.length} distinct; ` +
        `${dropped} drawn without a reading for every character were skipped`
);
console.log(describe('test', sets.test));
console.log(describe('dev', sets.dev));
console.log(describe('tuning', sets.tuning));
