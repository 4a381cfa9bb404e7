// Writes the table of cadastral codes (Italian municipalities and foreign
// states) that the program reads, from the places the package lists.
// Usage: node convert.js PACKAGE_DIR OUTPUT_FILE
// One line per place, UTF-8, sorted by code:
//   code;name;province;first day;last day
// the days as yyyymmdd, the last empty while the code is still in use;
// a foreign state has the province "EE".
'use strict';
const fs = require('fs');
const path = require('path');

const [packageDir, output] = process.argv.slice(2);
if (!packageDir || !output) {
    console.error('usage: node convert.js PACKAGE_DIR OUTPUT_FILE');
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

(async () => {
    const places = await connector.toArray();
    const lines = [];
    for (const p of places) {
        const code = String(p.belfioreCode).toUpperCase();
        if (!/^[A-Z][0-9]{3}$/.test(code))
            throw new Error('bad code ' + code);
        const foreign = code.startsWith('Z');
        const province = foreign ? 'EE' : String(p.province || '').toUpperCase();
        const name = String(p.name).trim();
        if (!name || /[;\r\n]/.test(name) || (!foreign && !/^[A-Z]{2}$/.test(province)))
            throw new Error('bad place ' + JSON.stringify(p));
        lines.push([code, name, province, day(p.creationDate), day(p.expirationDate)].join(';'));
    }
    lines.sort();
    fs.writeFileSync(output, lines.join('\n') + '\n', 'utf8');
    console.log(`${lines.length} places written to ${output}`);
})().catch((e) => {
    console.error(e.message);
    process.exit(1);
});
