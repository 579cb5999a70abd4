// Speed and memory of quorvane.html in headless Chromium, side by side with the native
// quorvane-report. Prints figures; nothing here passes or fails.
//
// Speed: the generated 1,000,000-contact log, counted round after round by
// `quorvane-report --rules adif --json` and by the page (ADIF field rules, file chosen to
// done), then the same by the exact rules; the best and the median of each, and their ratios.
// Memory: a 1 GiB log without a line break counted by the page by each set of rules: the
// WebAssembly memory at the end, and the peak resident size of the tab's renderer process
// (sampled every 50 ms), beside the same figures for the small sample log.
//
//   node bench/web/page_bench.js --page build-web/web/quorvane.html
//       --report build/app/quorvane-report --loggen build/tools/quorvane-loggen
//       [--rounds 5] [--contacts 1000000] [--mib 1024] [--sample samples/sample.adi]
'use strict';
const {execFileSync, spawnSync} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {createRequire} = require('node:module');
const {pathToFileURL} = require('node:url');

const root = path.resolve(__dirname, '../..');
const puppeteer = createRequire(path.join(root, 'tests/web/package.json'))('puppeteer-core');

const options = {rounds: '5', contacts: '1000000', mib: '1024',
                 sample: path.join(root, 'samples/sample.adi'), chromium: '/usr/bin/chromium'};
for (let i = 2; i < process.argv.length; i += 2) options[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
for (const name of ['page', 'report', 'loggen']) {
    if (!options[name]) throw new Error(`--${name} is needed`);
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvane-page-bench-'));
const profile = path.join(work, 'profile');

function seconds(start) {
    return Number(process.hrtime.bigint() - start) / 1e9;
}

function median(values) {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.floor(sorted.length / 2)];
}

// The same endless line as bench/memory_bench.cpp: one contact's tags, over and over.
function writeEndlessLine(file, bytes) {
    const unit = '<CALL:5>DL1AB <BAND:3>20M <MODE:2>CW <CONT:2>EU <QSL_SENT:1>Y <EOR> ';
    const block = Buffer.from(unit.repeat(Math.ceil((1 << 20) / unit.length)));
    const fd = fs.openSync(file, 'w');
    for (let written = 0; written < bytes; written += block.length) {
        fs.writeSync(fd, block, 0, Math.min(block.length, bytes - written));
    }
    fs.closeSync(fd);
}

// The resident size of this browser's renderer processes, in bytes (the page and its worker
// live in one of them).
function rendererRss() {
    let largest = 0;
    for (const pid of fs.readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
        try {
            const cmdline = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8');
            if (!cmdline.includes('--type=renderer') || !cmdline.includes(profile)) continue;
            const rss = /VmRSS:\s+(\d+) kB/.exec(fs.readFileSync(`/proc/${pid}/status`, 'utf8'));
            if (rss) largest = Math.max(largest, Number(rss[1]) * 1024);
        } catch {
            // the process ended meanwhile
        }
    }
    return largest;
}

async function main() {
    const browser = await puppeteer.launch({
        executablePath: options.chromium,
        headless: true,
        args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
               '--disable-background-networking', '--disable-component-update', '--disable-sync',
               `--user-data-dir=${profile}`],
    });
    const page = await browser.newPage();
    const url = pathToFileURL(path.resolve(options.page)).href;

    // Seconds from the file input's change to the state "done", measured in a freshly loaded
    // page whose WebAssembly is compiled.
    async function countInPage(file, rules) {
        await page.goto(url);
        await page.evaluate(() => wasmModule);
        await page.select('#rules', rules);
        await page.evaluate(() => {
            window.benchStart = null;
            document.getElementById('log').addEventListener(
                'change', () => { window.benchStart = performance.now(); }, {once: true});
            window.benchDone = new Promise((resolve) => {
                new MutationObserver((_, observer) => {
                    if (['done', 'error'].includes(document.body.dataset.state)) {
                        observer.disconnect();
                        resolve(performance.now());
                    }
                }).observe(document.body, {attributes: true, attributeFilter: ['data-state']});
            });
        });
        await (await page.$('#log')).uploadFile(file);
        const end = await page.evaluate(() => window.benchDone);
        const [start, state, memory] = await page.evaluate(() => [
            window.benchStart, document.body.dataset.state, Number(document.body.dataset.wasmMemory)]);
        if (state !== 'done') throw new Error(`the page did not count ${file}`);
        return {seconds: (end - start) / 1000, memory};
    }

    // ---- speed
    const log = path.join(work, 'contacts.adi');
    execFileSync(options.loggen, ['--contacts', options.contacts, '-o', log]);
    const size = fs.statSync(log).size;
    const best = (values) => Math.min(...values);
    for (const rules of ['adif', 'exact']) {
        console.log(`Speed: ${options.contacts} contacts, ${(size / 1e6).toFixed(0)} MB, ${rules} rules, ` +
                    `${options.rounds} rounds`);
        const native = [];
        const web = [];
        for (let round = 0; round < Number(options.rounds); ++round) {
            const start = process.hrtime.bigint();
            const run = spawnSync(options.report, ['--rules', rules, '--json', log]);
            native.push(seconds(start));
            if (run.status !== 0) throw new Error('quorvane-report failed');
            web.push((await countInPage(log, rules)).seconds);
            console.log(`  round ${round + 1}: quorvane-report ${native.at(-1).toFixed(2)} s, ` +
                        `page ${web.at(-1).toFixed(2)} s`);
        }
        console.log(`  best:   quorvane-report ${best(native).toFixed(2)} s, page ${best(web).toFixed(2)} s, ` +
                    `ratio ${(best(web) / best(native)).toFixed(2)}`);
        console.log(`  median: quorvane-report ${median(native).toFixed(2)} s, page ${median(web).toFixed(2)} s, ` +
                    `ratio ${(median(web) / median(native)).toFixed(2)}`);
    }
    fs.rmSync(log);

    // ---- memory
    const endless = path.join(work, 'endless.adi');
    writeEndlessLine(endless, Number(options.mib) * 1024 * 1024);
    console.log(`Memory: ${options.mib} MiB without a line break, against the sample log`);
    for (const [name, file] of [['sample log', options.sample], ['endless line', endless]].slice(options['skip-sample'] ? 1 : 0)) {
        for (const rules of (options.rules || 'adif,exact').split(',')) {
            let peak = rendererRss();
            const sampler = setInterval(() => { peak = Math.max(peak, rendererRss()); }, 50);
            const result = await countInPage(file, rules);
            clearInterval(sampler);
            peak = Math.max(peak, rendererRss());
            console.log(`  ${name}, ${rules}: ${result.seconds.toFixed(1)} s, WebAssembly memory ` +
                        `${(result.memory / 1048576).toFixed(1)} MiB, renderer peak ` +
                        `${(peak / 1048576).toFixed(0)} MiB`);
        }
    }
    await browser.close();
    fs.rmSync(work, {recursive: true, force: true});
}

main().catch((error) => {
    console.error(error);
    fs.rmSync(work, {recursive: true, force: true});
    process.exit(1);
});
