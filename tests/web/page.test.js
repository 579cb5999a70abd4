// The browser test of quorvane.html: Debian's Chromium, headless, opens the built page from
// disk and is given logs through its file button; every count cell must hold what the native
// quorvane-report prints for the same log and rules.
//
// Set by ctest (or by hand): QUORVANE_PAGE (the built quorvane.html), QUORVANE_REPORT and
// QUORVANE_LOGGEN (the native quorvane-report and quorvane-loggen), QUORVANE_SAMPLE (the
// bundled sample log); QUORVANE_CHROMIUM defaults to /usr/bin/chromium.
'use strict';
const {test, before, after, beforeEach, afterEach} = require('node:test');
const assert = require('node:assert/strict');
const {execFileSync} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {pathToFileURL} = require('node:url');
const puppeteer = require('puppeteer-core');

const env = (name) => {
    const value = process.env[name];
    if (!value) throw new Error(`${name} is not set`);
    return value;
};
const PAGE = pathToFileURL(env('QUORVANE_PAGE')).href;
const REPORT = env('QUORVANE_REPORT');
const LOGGEN = env('QUORVANE_LOGGEN');
const SAMPLE = env('QUORVANE_SAMPLE');
const CHROMIUM = process.env.QUORVANE_CHROMIUM || '/usr/bin/chromium';

let browser;
let workDir;
let page;

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

// The report's JSON as the page's cells name them: "bandMode.C20" -> "12", "qsl.QSL" -> "50.%".
function expectedCells(file, rules) {
    const json = JSON.parse(report(file, rules, '--json'));
    const cells = {};
    for (const section of ['bandMode', 'continent', 'qsl']) {
        for (const [name, value] of Object.entries(json[section])) {
            if (name !== 'percent') cells[`${section}.${name}`] = String(value);
        }
    }
    for (const [channel, text] of Object.entries(json.qsl.percent)) cells[`qsl.${channel}`] = text;
    return cells;
}

// ---- the page

async function launch() {
    return puppeteer.launch({
        executablePath: CHROMIUM,
        headless: true,
        args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
               '--disable-background-networking', '--disable-component-update', '--disable-sync',
               `--user-data-dir=${fs.mkdtempSync(path.join(os.tmpdir(), 'quorvane-chromium-'))}`],
    });
}

async function state() {
    return page.evaluate(() => document.body.dataset.state);
}

async function settled() {
    await page.waitForFunction(() => ['done', 'error', 'idle'].includes(document.body.dataset.state),
                               {timeout: 120000});
    return state();
}

async function choose(file) {
    const input = await page.$('#log');
    await input.uploadFile(file);
}

async function chooseRules(rules) {
    await page.select('#rules', rules);
}

async function shownCells() {
    return page.evaluate(() => Object.fromEntries(
        [...document.querySelectorAll('[data-counter]')].map((e) => [e.dataset.counter, e.textContent])));
}

async function statusText() {
    return page.$eval('#status', (e) => e.textContent);
}

// What the page writes to the clipboard goes to window.copied (null until then).
async function catchClipboard() {
    await page.evaluate(() => {
        window.copied = null;
        navigator.clipboard.writeText = async (text) => { window.copied = text; };
    });
}

async function assertCellsMatchReport(file, rules) {
    assert.equal(await settled(), 'done', await statusText());
    assert.deepEqual(await shownCells(), expectedCells(file, rules));
}

before(async () => {
    workDir = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvane-web-'));
    browser = await launch();
});

after(async () => {
    await browser.close();
    fs.rmSync(workDir, {recursive: true, force: true});
});

beforeEach(async () => {
    page = await browser.newPage();
    await page.goto(PAGE);
});

afterEach(async () => {
    await page.close();
});

// ---- counts

test('the sample log counts as quorvane-report counts it, by the ADIF field rules', async () => {
    await choose(SAMPLE);
    await assertCellsMatchReport(SAMPLE, 'adif');
});

test('the sample log counts as quorvane-report counts it, by the exact rules', async () => {
    await chooseRules('exact');
    await choose(SAMPLE);
    await assertCellsMatchReport(SAMPLE, 'exact');
});

test('a generated log of one contact a line counts as quorvane-report counts it', async () => {
    const file = generated('lines.adi', '--contacts', '3000', '--eol', 'mixed', '--odd', '0.2');
    await chooseRules('exact');
    await choose(file);
    await assertCellsMatchReport(file, 'exact');
});

test('a generated log as logging programs export it counts as quorvane-report counts it', async () => {
    const file = generated('fields.adi', '--contacts', '3000', '--style', 'fields');
    await choose(file);
    await assertCellsMatchReport(file, 'adif');
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
        await choose(file);
        await assertCellsMatchReport(file, rules);
    }
});

test('an empty log shows zeros and "-" for every channel', async () => {
    const file = log('empty.adi', '');
    await choose(file);
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
    await choose(file);
    assert.equal(await settled(), 'done');
    const texts = await page.$$eval('#qsl-table td[data-counter]', (cells) => cells.map((c) => c.textContent));
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
    await choose(file);
    assert.equal(await settled(), 'done');
    await chooseRules('exact');
    await assertCellsMatchReport(file, 'exact');
    assert.match(await statusText(), /exact rules/);
});

test('a big log shows the share read and Cancel while it is counted', async () => {
    const file = generated('big.adi', '--contacts', '400000');
    await choose(file);
    await page.waitForSelector('#progress:not([hidden])', {timeout: 10000});
    assert.equal(await state(), 'counting');
    assert.equal(await page.$eval('#cancel', (b) => b.offsetParent !== null), true);
    await settled();
});

test('Cancel stops the count and shows no table', async () => {
    const file = generated('cancel.adi', '--contacts', '400000');
    await choose(file);
    await page.waitForSelector('#progress:not([hidden])');
    await page.click('#cancel');
    assert.equal(await state(), 'idle');
    assert.equal(await page.$$eval('[data-counter]', (cells) => cells.length), 0);
    assert.equal(await page.$eval('#progress', (e) => e.hidden), true);
});

test('a log chosen while another is counted replaces it entirely', async () => {
    const first = generated('first.adi', '--contacts', '400000');
    await choose(first);
    await page.waitForSelector('#progress:not([hidden])');
    await choose(SAMPLE);
    await assertCellsMatchReport(SAMPLE, 'adif');
    assert.match(await statusText(), /^sample\.adi,/);
});

test('a log removed after it was chosen gives one sentence and no table', async () => {
    const file = generated('removed.adi', '--contacts', '50');
    await choose(file);
    assert.equal(await settled(), 'done');
    fs.rmSync(file);
    await chooseRules('exact');
    assert.equal(await settled(), 'error');
    assert.match(await statusText(), /^Cannot (open|read) "removed\.adi": [^.]+\.$/);
    assert.equal(await page.$$eval('[data-counter]', (cells) => cells.length), 0);
});

test('a folder dropped on the page gives the core\'s sentence for it and no table', async () => {
    await choose(SAMPLE);
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
    assert.equal(await page.$$eval('[data-counter]', (cells) => cells.length), 0);
});

test('a browser that cannot compile the counting code is told so, with no table', async () => {
    await page.evaluateOnNewDocument(() => {
        WebAssembly.compile = () => Promise.reject(new WebAssembly.CompileError('no SIMD'));
    });
    await page.goto(PAGE);
    await choose(SAMPLE);
    assert.equal(await settled(), 'error');
    assert.match(await statusText(), /^This browser cannot run the counting code/);
    assert.equal(await page.$$eval('[data-counter]', (cells) => cells.length), 0);
});

// ---- copy and save

test('Copy as text copies what quorvane-report prints', async () => {
    await catchClipboard();
    await choose(SAMPLE);
    assert.equal(await settled(), 'done');
    await page.click('#copy');
    await page.waitForFunction(() => window.copied !== null);
    assert.equal(await page.evaluate(() => window.copied), report(SAMPLE, 'adif'));
});

test('Save JSON saves what quorvane-report --json prints', async () => {
    const downloads = fs.mkdtempSync(path.join(workDir, 'downloads-'));
    const session = await page.createCDPSession();
    await session.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads});
    await chooseRules('exact');
    await choose(SAMPLE);
    assert.equal(await settled(), 'done');
    await page.click('#save');
    const saved = path.join(downloads, 'sample.json');
    for (let i = 0; i < 100 && !fs.existsSync(saved); ++i) await new Promise((r) => setTimeout(r, 100));
    assert.equal(fs.readFileSync(saved, 'utf8'), report(SAMPLE, 'exact', '--json'));
});

// ---- offline, keyboard, accessibility

test('the page makes no network request', async () => {
    const other = await browser.newPage();
    const requests = [];
    other.on('request', (request) => requests.push(request.url()));
    await other.goto(PAGE);
    await (await other.$('#log')).uploadFile(SAMPLE);
    await other.waitForFunction(() => document.body.dataset.state === 'done');
    await other.close();
    const remote = requests.filter((url) => !/^(file|blob|data):/.test(url));
    assert.deepEqual(remote, []);
});

test('the keyboard reaches every control in order, each with a visible focus', async () => {
    await choose(SAMPLE);
    assert.equal(await settled(), 'done');
    const reached = [];
    for (let i = 0; i < 4; ++i) {
        await page.keyboard.press('Tab');
        reached.push(await page.evaluate(() => {
            const e = document.activeElement;
            const style = getComputedStyle(e);
            return `${e.id}:${style.outlineStyle !== 'none' && style.outlineWidth !== '0px'}`;
        }));
    }
    assert.deepEqual(reached, ['log:true', 'rules:true', 'copy:true', 'save:true']);
});

test('the rules change by keyboard and Copy works by keyboard', async () => {
    await catchClipboard();
    await choose(SAMPLE);
    assert.equal(await settled(), 'done');
    await page.focus('#rules');
    await page.keyboard.press('ArrowDown');
    await assertCellsMatchReport(SAMPLE, 'exact');
    await page.focus('#copy');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => window.copied !== null);
    assert.equal(await page.evaluate(() => window.copied), report(SAMPLE, 'exact'));
});

test('every control has a name in the accessibility tree', async () => {
    await choose(SAMPLE);
    assert.equal(await settled(), 'done');
    const tree = await page.accessibility.snapshot({interestingOnly: true});
    const controls = [];
    const walk = (node) => {
        if (['button', 'combobox', 'progressbar'].includes(node.role)) controls.push(node);
        (node.children || []).forEach(walk);
    };
    walk(tree);
    const names = controls.map((c) => `${c.role}:${c.name}`).sort();
    assert.deepEqual(names, ['button:Copy as text', 'button:Log file (ADIF)', 'button:Save JSON',
                             'combobox:Rules']);
});

test('the tables have header cells and the charts are images described by them', async () => {
    await choose(SAMPLE);
    assert.equal(await settled(), 'done');
    const charts = await page.$$eval('svg.chart', (svgs) => svgs.map((s) => ({
        role: s.getAttribute('role'),
        name: document.getElementById(s.getAttribute('aria-labelledby')).textContent,
        describedBy: document.getElementById(s.getAttribute('aria-describedby')).tagName,
    })));
    assert.deepEqual(charts, [
        {role: 'img', name: 'Mode Chart', describedBy: 'TABLE'},
        {role: 'img', name: 'Continent Chart', describedBy: 'TABLE'},
    ]);
    const headers = await page.$$eval('#bandMode-table th', (cells) => cells.map((c) => c.scope));
    assert.deepEqual([...new Set(headers)].sort(), ['col', 'row']);
});

test('the charts use the desktop charts\' series colours and legends', async () => {
    await choose(SAMPLE);
    assert.equal(await settled(), 'done');
    const legend = await page.$$eval('#continentChart text', (texts) =>
        texts.map((t) => t.textContent).filter((t) => /^[A-Z]{2}$/.test(t)));
    assert.deepEqual(legend, ['AF', 'AN', 'AS', 'EU', 'NA', 'OC', 'SA']);
    const colours = await page.$$eval('#modeChart rect.legend-key', (rects) =>
        rects.map((r) => r.getAttribute('fill')));
    assert.deepEqual(colours, ['#0072B2', '#C0392B', '#009E73']);
});

test('axe-core finds no accessibility violation on the counted page', async () => {
    await choose(SAMPLE);
    assert.equal(await settled(), 'done');
    await page.addScriptTag({path: require.resolve('axe-core/axe.min.js')});
    const result = await page.evaluate(() => axe.run(document, {resultTypes: ['violations']}));
    const violations = result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`);
    assert.deepEqual(violations, []);
});
