// Writes kasi_months.tsv, the reference months of the Korean lunar calendar that
// tst_convlunar compares the converter with. The months come from the npm package
// `korean-lunar-calendar` (0.4.0), whose data follows the tables of the Korea Astronomy and
// Space Science Institute (KASI) up to solar 2050-12-31.
//
// Run by hand, never in CI (the test only reads the checked-in file):
//   cd /tmp && npm pack korean-lunar-calendar@0.4.0 && tar xzf korean-lunar-calendar-0.4.0.tgz
//   node tests/calendar/data/make_kasi_months.js /tmp/package > tests/calendar/data/kasi_months.tsv
//
// The script walks every solar day from solar 1841-01-01 to the package's last day and asks
// the package for its lunar date; a lunar day 1 starts a month. Only complete months are
// written (the package ends inside a month). Before writing, it checks facts of the
// official tables that other calendars get wrong, and stops if one fails.
"use strict";

const path = require("path");
const pkgDir = process.argv[2];
if (!pkgDir) {
    process.stderr.write("usage: node make_kasi_months.js <unpacked korean-lunar-calendar>\n");
    process.exit(2);
}
const pkg = require(path.resolve(pkgDir, "package.json"));
const KoreanLunarCalendar = require(path.resolve(pkgDir, pkg.main));
const cal = new KoreanLunarCalendar();

function fail(what) {
    process.stderr.write("make_kasi_months: " + what + "\n");
    process.exit(1);
}

function iso(y, m, d) {
    return String(y).padStart(4, "0") + "-" + String(m).padStart(2, "0") + "-" +
           String(d).padStart(2, "0");
}

function solarOf(y, m, d, leap) {
    if (!cal.setLunarDate(y, m, d, leap)) return "";
    const s = cal.getSolarCalendar();
    return iso(s.year, s.month, s.day);
}

// Known facts of the official tables.
const facts = [
    [2017, 2, 1, false, "2017-02-26"], // ICU says 02-27
    [1851, 8, 1, true, "1851-09-25"],  // leap 8th month
    [1862, 8, 1, true, "1862-09-24"],  // leap 8th month
    [2000, 1, 1, false, "2000-02-05"],
    [2001, 4, 1, true, "2001-05-23"],
    [2033, 11, 1, true, "2033-12-22"], // leap 11th month
];
for (const [y, m, d, leap, expected] of facts) {
    const got = solarOf(y, m, d, leap);
    if (got !== expected)
        fail(`lunar ${y}-${m}-${d}${leap ? " leap" : ""} gives ${got}, expected ${expected}`);
}
for (let m = 1; m <= 12; ++m)
    if (cal.setLunarDate(1852, m, 1, true)) fail("1852 has a leap month " + m);

const months = [];
let day = new Date(Date.UTC(1841, 0, 1));
for (;;) {
    const y = day.getUTCFullYear(), m = day.getUTCMonth() + 1, d = day.getUTCDate();
    if (!cal.setSolarDate(y, m, d)) break;
    const l = cal.getLunarCalendar();
    if (l.day === 1) {
        months.push({ y: l.year, m: l.month, leap: l.intercalation ? 1 : 0, start: iso(y, m, d), length: 0 });
    }
    if (months.length) {
        const last = months[months.length - 1];
        if (last.y !== l.year || last.m !== l.month || last.leap !== (l.intercalation ? 1 : 0))
            fail("lunar date out of order at " + iso(y, m, d));
        last.length = l.day;
    }
    day = new Date(day.getTime() + 86400000);
}
months.pop(); // the package ends inside this month
for (const mo of months)
    if (mo.length !== 29 && mo.length !== 30) fail(`month ${mo.y}-${mo.m} has ${mo.length} days`);

const out = [
    `# Korean lunar months by the KASI tables (npm korean-lunar-calendar ${pkg.version}),`,
    "# made by make_kasi_months.js. Columns: lunar year, month, leap (1 = leap month),",
    "# solar date of the first day, days.",
];
for (const mo of months) out.push([mo.y, mo.m, mo.leap, mo.start, mo.length].join("\t"));
process.stdout.write(out.join("\n") + "\n");
