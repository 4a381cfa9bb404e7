// Writes the table of cadastral codes (Italian municipalities and foreign
// states) that the program reads, from the places the package lists and our
// corrections of them (corrections.txt beside this script).
// Usage: node convert.js PACKAGE_DIR CORRECTIONS_FILE OUTPUT_FILE
// One line per period of a code, UTF-8, sorted by code and then by day:
//   code;name;province;first day;last day
// the days as yyyymmdd; the first is empty when unknown (the code was in use
// before the first day the sources know), the last is empty while the code
// is still in use. A code whose province or name changed has one line per
// period, each starting the day after the one before ends; a foreign state
// has the province "EE".
'use strict';
const fs = require('fs');
const path = require('path');

const [packageDir, correctionsFile, output] = process.argv.slice(2);
if (!packageDir || !correctionsFile || !output) {
    console.error('usage: node convert.js PACKAGE_DIR CORRECTIONS_FILE OUTPUT_FILE');
    process.exit(2);
}
const loaded = require(path.resolve(packageDir));
const connector = loaded.default || loaded;

function day(d) {
    const t = new Date(d);
    if (isNaN(t.getTime()))
        throw new Error('bad date ' + d);
    if (t.getUTCFullYear() >= 9999)
        return '';
    const two = (n) => String(n).padStart(2, '0');
    return String(t.getUTCFullYear()) + two(t.getUTCMonth() + 1) + two(t.getUTCDate());
}

function dayBefore(yyyymmdd) {
    const t = new Date(Date.UTC(+yyyymmdd.slice(0, 4), +yyyymmdd.slice(4, 6) - 1, +yyyymmdd.slice(6, 8) - 1));
    return day(t);
}

// A few names in the package were encoded in UTF-8 twice ("CittÃ  della
// Pieve"); one lost the last byte of its "à" ("ContÃ"), and one had its "à"
// read as Latin-2 and the blank after it lost ("Santa Maria la CaritĂ").
function undoDoubleEncoding(name) {
    name = name.replace(/\u0102(?=\s|$)/g, '\u00E0');
    if (!/[\u00C2\u00C3]/.test(name))
        return name;
    const fixed = name.replace(/\u00C3(?= |$)/g, '\u00C3\u00A0');
    if (/[^\u0000-\u00FF]/.test(fixed))
        throw new Error('mixed encodings in ' + JSON.stringify(name));
    const decoded = new TextDecoder('utf-8', { fatal: true }).decode(Buffer.from(fixed, 'latin1'));
    return decoded.replace(/\s+/g, ' ');
}

// Italian spelling: the prepositions and conjunctions inside a name are
// written small ("Genzano di Lucania", "Baia e Latina"), a letter after an
// apostrophe is capital ("Sant'Agata") and an elided preposition before it
// small ("Albiano d'Ivrea", "Trezzo sull'Adda").
const small = new Set(['di', 'del', 'della', 'dello', 'dei', 'degli', 'delle', 'e', 'ed', 'nel', 'nella', 'nelle',
                       'nei', 'sul', 'sulla', 'sulle', 'in', 'al', 'alla', 'alle', 'a', 'con', 'da', 'dal', 'dalla']);
const elided = new Set(["d'", "dell'", "dall'", "nell'", "sull'", "all'", "coll'", "de'"]);
// Joined by a hyphen, each part is capital ("Chiopris-Viscone") but for the
// small words of French names ("Saint-Rhémy-en-Bosses").
const hyphenSmall = new Set(['du', 'de', 'des', 'en', 'la', 'le', 'les', 'sur', 'di']);
function italianSpelling(name) {
    return name.split(' ').map((word, i) => {
        let w = word.replace(/'(\p{Ll})/gu, (m, c) => "'" + c.toUpperCase())
                    .replace(/-(\p{Ll}+)/gu, (m, part) => '-' + (hyphenSmall.has(part) ? part
                                                                : part[0].toUpperCase() + part.slice(1)));
        if (i === 0)
            return w;
        const lower = w.toLowerCase();
        if (small.has(lower))
            return lower;
        const apo = w.indexOf("'");
        if (apo > 0 && elided.has(lower.slice(0, apo + 1)))
            w = lower.slice(0, apo + 1) + w.slice(apo + 1);
        return w;
    }).join(' ');
}

// corrections.txt: "selector;change;reason", '#' starts a comment line.
// A selector is a list of codes ("A512 A403") and of "PR@yyyymmdd" (the
// codes in use today that the package puts in province PR from that first
// day) or "PR@*" (all the codes in use today that it puts in PR). A change is
// "provincia=P0>day1>P1>day2>P2" (P0 until the day before day1, then P1...),
// "nome=N0>day1>N1" the same for names, or "inizio=" / "inizio=yyyymmdd"
// (the first day unknown, or that day).
function readCorrections(file, places) {
    const byCode = new Map(places.map((p) => [p.code, p]));
    const lines = fs.readFileSync(file, 'utf8').split('\n');
    let applied = 0;
    lines.forEach((line, n) => {
        const where = `${file}:${n + 1}`;
        if (!line.trim() || line.startsWith('#'))
            return;
        const [selector, change, reason] = line.split(';');
        if (!selector || !change || !reason || !reason.trim())
            throw new Error(`${where}: a correction needs codes, a change and its reason`);
        const chosen = selector.trim().split(/\s+/).flatMap((token) => {
            const rule = /^([A-Z]{2})@(\d{8}|\*)$/.exec(token);
            if (rule) {
                const found = places.filter((p) => !p.to && p.packageProvince === rule[1]
                                                   && (rule[2] === '*' || p.packageFrom === rule[2]));
                if (!found.length)
                    throw new Error(`${where}: ${token} finds nothing`);
                return found;
            }
            const p = byCode.get(token);
            if (!p)
                throw new Error(`${where}: no code ${token}`);
            return [p];
        });
        if (!chosen.length)
            throw new Error(`${where}: the selector finds nothing`);
        const eq = change.indexOf('=');
        const what = change.slice(0, eq), value = change.slice(eq + 1);
        for (const p of chosen) {
            if (what === 'provincia' || what === 'nome') {
                const parts = value.split('>');
                const seq = [{ from: '', value: parts[0] }];
                for (let k = 1; k + 1 < parts.length; k += 2) {
                    if (!/^\d{8}$/.test(parts[k]))
                        throw new Error(`${where}: bad day ${parts[k]}`);
                    seq.push({ from: parts[k], value: parts[k + 1] });
                }
                p[what === 'provincia' ? 'provinces' : 'names'] = seq;
            } else if (what === 'inizio') {
                if (value && !/^\d{8}$/.test(value))
                    throw new Error(`${where}: bad day ${value}`);
                p.from = value;
            } else {
                throw new Error(`${where}: unknown change ${what}`);
            }
        }
        applied += chosen.length;
    });
    return applied;
}

// The periods of a place: split wherever its province or its name changes
// within its days of use.
function periods(p) {
    const cuts = new Set();
    for (const seq of [p.provinces, p.names])
        for (const s of seq.slice(1))
            if ((!p.from || s.from > p.from) && (!p.to || s.from <= p.to))
                cuts.add(s.from);
    const starts = [p.from, ...[...cuts].sort()];
    const valueOn = (seq, d) => seq.filter((s) => !s.from || (d && s.from <= d)).pop().value;
    return starts.map((from, i) => {
        const to = i + 1 < starts.length ? dayBefore(starts[i + 1]) : p.to;
        return [p.code, valueOn(p.names, from), valueOn(p.provinces, from), from, to].join(';');
    });
}

(async () => {
    const places = [];
    for (const r of await connector.toArray()) {
        const code = String(r.belfioreCode).toUpperCase();
        if (!/^[A-Z][0-9]{3}$/.test(code))
            throw new Error('bad code ' + code);
        const foreign = code.startsWith('Z');
        const province = foreign ? 'EE' : String(r.province || '').toUpperCase();
        const name = italianSpelling(undoDoubleEncoding(String(r.name)).trim());
        if (!name || /[;\r\n]/.test(name) || (!foreign && !/^[A-Z]{2}$/.test(province)))
            throw new Error('bad place ' + JSON.stringify(r));
        const from = day(r.creationDate), to = day(r.expirationDate);
        places.push({ code, from, to, packageFrom: from, packageProvince: province,
                      provinces: [{ from: '', value: province }], names: [{ from: '', value: name }] });
    }
    const applied = readCorrections(correctionsFile, places);
    places.sort((a, b) => (a.code < b.code ? -1 : a.code > b.code ? 1 : 0));
    const lines = places.flatMap(periods);
    fs.writeFileSync(output, lines.join('\n') + '\n', 'utf8');
    console.log(`${places.length} places in ${lines.length} periods written to ${output} (${applied} corrected)`);
})().catch((e) => {
    console.error(e.message);
    process.exit(1);
});
