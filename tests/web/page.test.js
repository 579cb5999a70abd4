// The browser test of quorvane.html: one browser engine (QUORVANE_BROWSER: chromium, firefox or
// webkit, see browsers.js) opens the built page from disk and from a local web server, and is
// given logs through its file button; every count cell must hold what the native
// quorvane-report prints for the same log and rules. What only Chromium's protocol shows
// (copying, saving, requests, the keyboard, the accessibility tree) is checked in Chromium alone.
//
// Set by ctest (or by hand): QUORVANE_PAGE (the built quorvane.html), QUORVANE_REPORT and
// QUORVANE_LOGGEN (the native quorvane-report and quorvane-loggen), QUORVANE_SAMPLE (the
// bundled sample log).
'use strict';
const {describe, test, before, after, beforeEach, afterEach} = require('node:test');
const assert = require('node:assert/strict');
const {execFileSync} = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const {pathToFileURL} = require('node:url');
const {launch} = require('./browsers');

const env = (name) => {
    const value = process.env[name];
    if (!value) throw new Error(`${name} is not set`);
    return value;
};
const PAGE = env('QUORVANE_PAGE');
const REPORT = env('QUORVANE_REPORT');
const LOGGEN = env('QUORVANE_LOGGEN');
const SAMPLE = env('QUORVANE_SAMPLE');
const ENGINE = process.env.QUORVANE_BROWSER || 'chromium';

let browser;
let workDir;
let server;
let page;
let big;  // a log of 400,000 contacts, counted long enough to show the share read

// ---- logs and what the report tool says of them

function log(name, content) {
    const file = path.join(workDir, name);
    fs.writeFileSync(file, content);
    return file;
}

function generated(name, ...args) {
    const file = path.join(workDir, name);
    execFileSync(LOGGEN, [...args, '-o', file]);
    return file;
}

// What quorvane-report prints for the log at `file`, run beside it so that the file name
// stands where the path would.
function report(file, rules, ...options) {
    return execFileSync(REPORT, ['--rules', rules, ...options, path.basename(file)],
                        {cwd: path.dirname(file), encoding: 'utf8'});
}

// The report's JSON as the page's cells name them: "bandMode.C20" -> "12", "qsl.QSL" -> "50.%",
// "dxcc.card.CW" -> "3", "years.2024.new" -> "2", and each worked cell of an entity by its
// channels: "dxccEntities.291.20M" -> "C" (card or LoTW), "E" (eQSL only) or "W".
function expectedCells(file, rules, ...options) {
    const {bandMode, continent, qsl: {percent, ...qsl}, dxcc, years, dxccEntities = []} =
        JSON.parse(report(file, rules, '--json', ...options));
    const cells = {};
    const add = (name, value) => {
        if (typeof value !== 'object') cells[name] = String(value);
        else for (const [key, inner] of Object.entries(value)) add(`${name}.${key}`, inner);
    };
    for (const [name, value] of Object.entries({bandMode, continent, qsl, dxcc, years})) {
        if (value) add(name, value);
    }
    add('qsl', percent);
    for (const {code, cells: columns} of dxccEntities) {
        for (const [column, {card, lotw, eqsl}] of Object.entries(columns))
            cells[`dxccEntities.${code}.${column}`] = card || lotw ? 'C' : eqsl ? 'E' : 'W';
    }
    return cells;
}

// ---- the page, from disk or from the web server, which serves workDir

const ORIGINS = {
    'from disk': (name) => pathToFileURL(path.join(workDir, name)).href,
    'from a web server': (name) => `http://127.0.0.1:${server.address().port}/${name}`,
};

function serve(request, response) {
    const file = path.join(workDir, path.basename(request.url));
    if (!file.endsWith('.html') || !fs.existsSync(file)) return response.writeHead(404).end();
    response.writeHead(200, {'content-type': 'text/html; charset=utf-8'}).end(fs.readFileSync(file));
}

// The first value of `fn` in the page that is not false, asked again and again.
async function until(fn, ...args) {
    const deadline = Date.now() + 120000;
    for (;;) {
        const value = await page.evaluate(fn, ...args);
        if (value) return value;
        if (Date.now() > deadline) throw new Error(`still false in the page: ${fn}`);
        await new Promise((resolve) => setTimeout(resolve, 25));
    }
}

async function state() {
    return page.evaluate(() => document.body.dataset.state);
}

async function settled() {
    return until(() => ['done', 'error', 'idle'].includes(document.body.dataset.state) &&
                       document.body.dataset.state);
}

async function chooseRules(rules) {
    await page.evaluate((value) => {
        const select = document.getElementById('rules');
        select.value = value;
        select.dispatchEvent(new Event('change', {bubbles: true}));
    }, rules);
}

async function click(selector) {
    await page.evaluate((s) => document.querySelector(s).click(), selector);
}

async function progressShown() {
    await until(() => !document.getElementById('progress').hidden);
}

// Every count cell but the entities' empty ones (not worked), which the JSON leaves out.
async function shownCells() {
    return page.evaluate(() => Object.fromEntries(
        [...document.querySelectorAll('[data-counter]')]
            .filter((e) => e.textContent !== '' || !e.dataset.counter.startsWith('dxccEntities.'))
            .map((e) => [e.dataset.counter, e.textContent])));
}

async function setDates(from, to) {
    await page.evaluate((bounds) => {
        for (const [id, value] of Object.entries(bounds)) {
            const field = document.getElementById(id);
            field.value = value;
            field.dispatchEvent(new Event('change', {bubbles: true}));
        }
    }, {from, to});
}

async function cellCount() {
    return page.evaluate(() => document.querySelectorAll('[data-counter]').length);
}

async function statusText() {
    return page.evaluate(() => document.getElementById('status').textContent);
}

async function assertCellsMatchReport(file, rules, ...options) {
    assert.equal(await settled(), 'done', await statusText());
    assert.deepEqual(await shownCells(), expectedCells(file, rules, ...options));
}

before(async () => {
    workDir = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvane-web-'));
    const html = fs.readFileSync(PAGE, 'utf8');
    log('quorvane.html', html);
    // The page in a browser whose WebAssembly cannot compile the counting code.
    log('no-wasm.html', html.replace('<script>', '<script>WebAssembly.compile = () => ' +
                                     'Promise.reject(new WebAssembly.CompileError("no SIMD"));</script><script>'));
    big = generated('big.adi', '--contacts', '400000');
    server = http.createServer(serve);
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    browser = await launch(ENGINE);
});

after(async () => {
    await browser.close();
    server.close();
    fs.rmSync(workDir, {recursive: true, force: true});
});

afterEach(async () => {
    await page.close();
});

for (const [origin, url] of Object.entries(ORIGINS)) {
    describe(`${ENGINE}, the page ${origin}`, () => {
        beforeEach(async () => {
            page = await browser.open(url('quorvane.html'));
        });

        // ---- counts

        test('the sample log counts as quorvane-report counts it, by the ADIF field rules', async () => {
            await page.choose(SAMPLE);
            await assertCellsMatchReport(SAMPLE, 'adif');
        });

        test('the sample log counts as quorvane-report counts it, by the exact rules', async () => {
            await chooseRules('exact');
            await page.choose(SAMPLE);
            await assertCellsMatchReport(SAMPLE, 'exact');
        });

        test('a generated log of one contact a line counts as quorvane-report counts it', async () => {
            const file = generated('lines.adi', '--contacts', '3000', '--eol', 'mixed', '--odd', '0.2');
            await chooseRules('exact');
            await page.choose(file);
            await assertCellsMatchReport(file, 'exact');
        });

        test('a generated log as logging programs export it counts as quorvane-report counts it', async () => {
            const file = generated('fields.adi', '--contacts', '3000', '--style', 'fields');
            await page.choose(file);
            await assertCellsMatchReport(file, 'adif');
        });

        test('a generated log with DXCC entities and confirmations counts as quorvane-report counts it', async () => {
            const file = generated('awards.adi', '--contacts', '3000', '--style', 'awards');
            await page.choose(file);
            await assertCellsMatchReport(file, 'adif');
        });

        test('the date fields count every table within the range, as quorvane-report --from --to', async () => {
            const file = generated('ranged.adi', '--contacts', '2000', '--style', 'awards');
            await setDates('2016-03-01', '2021-12-31');
            await page.choose(file);
            await assertCellsMatchReport(file, 'adif', '--from', '2016-03-01', '--to', '2021-12-31');
        });

        test('a date changed after counting counts the log again within the new range', async () => {
            const file = generated('recount.adi', '--contacts', '2000', '--style', 'awards');
            await page.choose(file);
            assert.equal(await settled(), 'done');
            await setDates('2019-01-01', '');
            await assertCellsMatchReport(file, 'adif', '--from', '2019-01-01');
        });

        test('the exact rules turn the date fields off and count every line', async () => {
            const file = generated('exact.adi', '--contacts', '500');
            await setDates('2019-01-01', '');
            await chooseRules('exact');
            await page.choose(file);
            await assertCellsMatchReport(file, 'exact');
            assert.equal(await page.evaluate(() => document.getElementById('range').disabled), true);
        });

        test('a log read in slices, as where file streams are not byte streams, counts the same', async () => {
            // As in Safari's engine, whose file stream would read the whole log into memory:
            // the page must make no stream of the log.
            await page.evaluate(() => {
                const {getReader} = ReadableStream.prototype;
                ReadableStream.prototype.getReader = function (options) {
                    if (options && options.mode === 'byob') throw new TypeError('not a byte stream');
                    return getReader.call(this, options);
                };
                const {stream} = Blob.prototype;
                window.logStreams = 0;
                Blob.prototype.stream = function () {
                    window.logStreams += this.size > 0;
                    return stream.call(this);
                };
            });
            const file = generated('slices.adi', '--contacts', '20000', '--eol', 'mixed', '--odd', '0.2');
            await chooseRules('exact');
            await page.choose(file);
            await assertCellsMatchReport(file, 'exact');
            assert.equal(await page.evaluate(() => window.logStreams), 0);
        });

        test('a hostile log counts as quorvane-report counts it, by either rules', async () => {
            // No line break, a field claiming 10^15 bytes, binary bytes and cut tags.
            const binary = Buffer.from(Array.from({length: 4096}, (_, i) => (i * 151 + 7) % 256));
            const file = log('hostile.adi', Buffer.concat([
                Buffer.from('<BAND:3>20M<MODE:2>CW<CONT:2>EU<QSL_SENT:1>Y<EOR>'.repeat(2000)),
                binary,
                Buffer.from('<band:3>40m<mode:3>ssb<eor><NOTES:1000000000000000>'),
                binary,
                Buffer.from('<BAND:3>20M<MODE:4>RTTY<EOR><BAND:'),
            ]));
            for (const rules of ['adif', 'exact']) {
                await chooseRules(rules);
                await page.choose(file);
                await assertCellsMatchReport(file, rules);
            }
        });

        test('an empty log shows zeros and "-" for every channel', async () => {
            const file = log('empty.adi', '');
            await page.choose(file);
            await assertCellsMatchReport(file, 'adif');
            const cells = await shownCells();
            assert.equal(cells['bandMode.Total'], '0');
            assert.equal(cells['qsl.QSL'], '-');
        });

        test('the QSL row shows the percentages as the windows render them', async () => {
            // 2 of 3 QSL cards, 1 of 2 LoTW, none of 1 eQSL.
            const file = log('qsl.adi', [
                '<QSL_SENT:1>Y<QSL_RCVD:1>Y<LOTW_QSL_SENT:1>Y<LOTW_QSL_RCVD:1>Y<EQSL_QSL_SENT:1>Y<EOR>',
                '<QSL_SENT:1>Y<QSL_RCVD:1>Y<LOTW_QSL_SENT:1>Y<EOR>',
                '<QSL_SENT:1>Y<EOR>', ''].join('\n'));
            await page.choose(file);
            assert.equal(await settled(), 'done');
            const texts = await page.evaluate(() => [...document.querySelectorAll('#qsl-table td[data-counter]')]
                .map((c) => c.textContent));
            assert.deepEqual(texts, ['66.7%', '50.%', '.%']);
        });

        test('a log dropped on the page counts as a chosen one', async () => {
            const file = generated('dropped.adi', '--contacts', '500', '--style', 'fields');
            const content = fs.readFileSync(file, 'latin1');
            await page.evaluate((text) => {
                const bytes = Uint8Array.from(text, (c) => c.charCodeAt(0));
                const data = new DataTransfer();
                data.items.add(new File([bytes], 'dropped.adi'));
                document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: data, bubbles: true}));
            }, content);
            await assertCellsMatchReport(file, 'adif');
        });

        // ---- rules, another log, cancel, errors

        test('changing the rules recounts the chosen log', async () => {
            const file = generated('switch.adi', '--contacts', '2000', '--style', 'fields');
            await page.choose(file);
            assert.equal(await settled(), 'done');
            await chooseRules('exact');
            await assertCellsMatchReport(file, 'exact');
            assert.match(await statusText(), /exact rules/);
        });

        test('a big log shows the share read and Cancel while it is counted', async () => {
            await page.choose(big);
            await progressShown();
            assert.equal(await state(), 'counting');
            assert.equal(await page.evaluate(() => document.getElementById('cancel').offsetParent !== null), true);
            await settled();
        });

        test('Cancel stops the count and shows no table', async () => {
            await page.choose(big);
            await progressShown();
            await click('#cancel');
            assert.equal(await state(), 'idle');
            assert.equal(await cellCount(), 0);
            assert.equal(await page.evaluate(() => document.getElementById('progress').hidden), true);
        });

        test('a log chosen while another is counted replaces it entirely', async () => {
            await page.choose(big);
            await progressShown();
            await page.choose(SAMPLE);
            await assertCellsMatchReport(SAMPLE, 'adif');
            assert.match(await statusText(), /^sample\.adi,/);
        });

        test('the rules changed while a log is counted count it again by those rules', async () => {
            await page.choose(big);
            await progressShown();
            await chooseRules('exact');
            await assertCellsMatchReport(big, 'exact');
        });

        test('a log removed after it was chosen gives one sentence and no table', async () => {
            const file = generated('removed.adi', '--contacts', '50');
            await page.choose(file);
            assert.equal(await settled(), 'done');
            fs.rmSync(file);
            await chooseRules('exact');
            assert.equal(await settled(), 'error');
            assert.match(await statusText(), /^Cannot (open|read) "removed\.adi": [^.]+\.$/);
            assert.equal(await cellCount(), 0);
        });

        test('a folder dropped on the page gives the core\'s sentence for it and no table', async () => {
            await page.choose(SAMPLE);
            assert.equal(await settled(), 'done');
            await page.evaluate(() => {
                const data = new DataTransfer();
                data.items.add(new File([], 'Logs'));
                // The item answers as a dropped folder's does.
                const item = DataTransferItem.prototype;
                const entry = Object.getOwnPropertyDescriptor(item, 'webkitGetAsEntry');
                Object.defineProperty(item, 'webkitGetAsEntry', {...entry, value: () => ({isDirectory: true})});
                document.body.dispatchEvent(new DragEvent('drop', {dataTransfer: data, bubbles: true}));
                Object.defineProperty(item, 'webkitGetAsEntry', entry);
            });
            assert.equal(await settled(), 'error');
            assert.equal(await statusText(), 'Cannot open "Logs": Is a directory.');
            assert.equal(await cellCount(), 0);
        });

        test('a browser that cannot compile the counting code is told so, with no table', async () => {
            await page.close();
            page = await browser.open(url('no-wasm.html'));
            await page.choose(SAMPLE);
            assert.equal(await settled(), 'error');
            assert.match(await statusText(), /^This browser cannot run the counting code/);
            assert.equal(await cellCount(), 0);
        });
    });
}

// ---- what only Chromium's protocol shows: copying, saving, requests, keyboard, accessibility

describe(`${ENGINE}, the page's commands, keyboard and accessibility`, {skip: ENGINE !== 'chromium'}, () => {
    let tab;  // the puppeteer page

    beforeEach(async () => {
        page = await browser.open(ORIGINS['from disk']('quorvane.html'));
        tab = page.puppeteer;
    });

    // What the page writes to the clipboard goes to window.copied (null until then).
    async function catchClipboard() {
        await page.evaluate(() => {
            window.copied = null;
            navigator.clipboard.writeText = async (text) => { window.copied = text; };
        });
    }


    // ---- copy and save

    test('Copy as text copies what quorvane-report prints', async () => {
        await catchClipboard();
        await page.choose(SAMPLE);
        assert.equal(await settled(), 'done');
        await tab.click('#copy');
        await tab.waitForFunction(() => window.copied !== null);
        assert.equal(await tab.evaluate(() => window.copied), report(SAMPLE, 'adif'));
    });

    test('Save JSON saves what quorvane-report --json prints', async () => {
        const downloads = fs.mkdtempSync(path.join(workDir, 'downloads-'));
        const session = await tab.createCDPSession();
        await session.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads});
        await chooseRules('exact');
        await page.choose(SAMPLE);
        assert.equal(await settled(), 'done');
        await tab.click('#save');
        const saved = path.join(downloads, 'sample.json');
        for (let i = 0; i < 100 && !fs.existsSync(saved); ++i) await new Promise((r) => setTimeout(r, 100));
        assert.equal(fs.readFileSync(saved, 'utf8'), report(SAMPLE, 'exact', '--json'));
    });

    test('Save CSV saves what quorvane-report --table dxcc-entities --csv prints', async () => {
        const downloads = fs.mkdtempSync(path.join(workDir, 'downloads-'));
        const session = await tab.createCDPSession();
        await session.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads});
        const file = generated('entities.adi', '--contacts', '800', '--style', 'awards');
        await setDates('2015-01-01', '');
        await page.choose(file);
        assert.equal(await settled(), 'done');
        await tab.click('#save-csv');
        const saved = path.join(downloads, 'entities-dxcc-entities.csv');
        for (let i = 0; i < 100 && !fs.existsSync(saved); ++i) await new Promise((r) => setTimeout(r, 100));
        assert.equal(fs.readFileSync(saved, 'utf8'),
                     report(file, 'adif', '--table', 'dxcc-entities', '--csv', '--from', '2015-01-01'));
    });

    for (const [filter, shown] of [['open', ['W', 'E']], ['confirmed', ['C']], ['all', ['W', 'E', 'C']]]) {
        test(`the entity filter "${filter}" shows the entities marked ${shown.join(', ')} in Mixed`, async () => {
            await page.choose(generated('filter.adi', '--contacts', '800', '--style', 'awards'));
            assert.equal(await settled(), 'done');
            await tab.select('#entity-filter', filter);
            const marks = await tab.$$eval('#dxccEntities-table tbody tr',
                (rows) => rows.map((row) => [row.hidden, row.querySelector('[data-counter$=".Mixed"]').textContent]));
            assert.deepEqual([...new Set(marks.filter(([hidden]) => !hidden).map(([, mark]) => mark))].sort(),
                             [...shown].sort());
        });
    }

    test('a log without a DXCC field says so in place of the entity list', async () => {
        await page.choose(log('no-dxcc.adi', '<BAND:3>20M<MODE:2>CW<EOR>'));
        assert.equal(await settled(), 'done');
        assert.equal(await tab.$eval('#entities-note', (e) => e.textContent),
                     'No contact of this log carries a DXCC entity.');
        assert.equal(await tab.$eval('#entity-controls', (e) => e.hidden), true);
    });

    // ---- offline, keyboard, accessibility

    test('the page makes no network request', async () => {
        const requests = [];
        tab.on('request', (request) => requests.push(request.url()));
        await tab.reload();
        await page.choose(SAMPLE);
        assert.equal(await settled(), 'done');
        const remote = requests.filter((url) => !/^(file|blob|data):/.test(url));
        assert.deepEqual(remote, []);
    });

    test('the keyboard reaches every control in order, each with a visible focus', async () => {
        await page.choose(generated('keyboard.adi', '--contacts', '200', '--style', 'awards'));
        assert.equal(await settled(), 'done');
        // A date field takes several presses, one for each of its parts.
        const reached = [];
        for (let i = 0; i < 20 && reached.at(-1) !== 'save-csv:true'; ++i) {
            await tab.keyboard.press('Tab');
            const now = await tab.evaluate(() => {
                const e = document.activeElement;
                const style = getComputedStyle(e);
                return `${e.id}:${style.outlineStyle !== 'none' && style.outlineWidth !== '0px'}`;
            });
            if (now !== reached.at(-1)) reached.push(now);
        }
        assert.deepEqual(reached, ['log:true', 'rules:true', 'from:true', 'to:true', 'copy:true',
                                   'save:true', 'entity-filter:true', 'save-csv:true']);
    });

    test('the rules change by keyboard and Copy works by keyboard', async () => {
        await catchClipboard();
        await page.choose(SAMPLE);
        assert.equal(await settled(), 'done');
        await tab.focus('#rules');
        await tab.keyboard.press('ArrowDown');
        await assertCellsMatchReport(SAMPLE, 'exact');
        await tab.focus('#copy');
        await tab.keyboard.press('Enter');
        await tab.waitForFunction(() => window.copied !== null);
        assert.equal(await tab.evaluate(() => window.copied), report(SAMPLE, 'exact'));
    });

    test('every control has a name in the accessibility tree', async () => {
        await page.choose(generated('names.adi', '--contacts', '200', '--style', 'awards'));
        assert.equal(await settled(), 'done');
        const tree = await tab.accessibility.snapshot({interestingOnly: true});
        const controls = [];
        const walk = (node) => {
            if (['button', 'combobox', 'progressbar'].includes(node.role)) controls.push(node);
            (node.children || []).forEach(walk);
        };
        walk(tree);
        const names = controls.map((c) => `${c.role}:${c.name}`).sort();
        assert.deepEqual(names, ['button:Copy as text', 'button:Log file (ADIF)', 'button:Save CSV',
                                 'button:Save JSON', 'button:Show date picker Show date picker',
                                 'button:Show date picker Show date picker', 'combobox:Rules',
                                 'combobox:Show']);
    });

    test('the tables have header cells and the charts are images described by them', async () => {
        await page.choose(SAMPLE);
        assert.equal(await settled(), 'done');
        const charts = await tab.$$eval('svg.chart', (svgs) => svgs.map((s) => ({
            role: s.getAttribute('role'),
            name: document.getElementById(s.getAttribute('aria-labelledby')).textContent,
            describedBy: document.getElementById(s.getAttribute('aria-describedby')).tagName,
        })));
        assert.deepEqual(charts, [
            {role: 'img', name: 'Mode Chart', describedBy: 'TABLE'},
            {role: 'img', name: 'Continent Chart', describedBy: 'TABLE'},
            {role: 'img', name: 'Year Chart', describedBy: 'TABLE'},
        ]);
        const headers = await tab.$$eval('#bandMode-table th', (cells) => cells.map((c) => c.scope));
        assert.deepEqual([...new Set(headers)].sort(), ['col', 'row']);
    });

    test('the charts use the desktop charts\' series colours and legends', async () => {
        await page.choose(SAMPLE);
        assert.equal(await settled(), 'done');
        const legend = await tab.$$eval('#continentChart text', (texts) =>
            texts.map((t) => t.textContent).filter((t) => /^[A-Z]{2}$/.test(t)));
        assert.deepEqual(legend, ['AF', 'AN', 'AS', 'EU', 'NA', 'OC', 'SA']);
        const colours = await tab.$$eval('#modeChart rect.legend-key', (rects) =>
            rects.map((r) => r.getAttribute('fill')));
        assert.deepEqual(colours, ['#0072B2', '#C0392B', '#009E73']);
    });

    test('axe-core finds no accessibility violation on the counted page', async () => {
        await page.choose(SAMPLE);
        assert.equal(await settled(), 'done');
        await tab.addScriptTag({path: require.resolve('axe-core/axe.min.js')});
        const result = await tab.evaluate(() => axe.run(document, {resultTypes: ['violations']}));
        const violations = result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`);
        assert.deepEqual(violations, []);
    });
});
