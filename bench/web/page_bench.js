// Speed and memory of quorvane.html opened from disk in each browser engine (Chromium, Firefox
// ESR and WebKitGTK, opened as the browser test opens them: tests/web/browsers.js), side by side
// with the native quorvane-report. Prints figures; nothing here passes or fails.
//
// Speed: the generated 1,000,000-contact log, counted round after round by
// `quorvane-report --rules adif --json` and by the page in each engine (ADIF field rules, file
// chosen to done), then the same by the exact rules; the best and the median of each, and their
// ratios to the report tool's.
// Memory: a 1 GiB log without a line break counted by the page by each set of rules: the time,
// beside quorvane-report's right after it, the WebAssembly memory at the end, and the peak
// resident size of the browser's processes, summed and of the largest one (sampled every 50 ms;
// the page and its worker live in one), beside the same figures for the small sample log.
//
//   node bench/web/page_bench.js --page build-web/web/quorvane.html
//       --report build/app/quorvane-report --loggen build/tools/quorvane-loggen
//       [--browsers chromium,firefox,webkit] [--rounds 5] [--contacts 1000000] [--mib 1024]
//       [--sample samples/sample.adi]
'use strict';
const {execFileSync, spawnSync} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {pathToFileURL} = require('node:url');

const root = path.resolve(__dirname, '../..');
const {launch} = require(path.join(root, 'tests/web/browsers.js'));

const options = {rounds: '5', contacts: '1000000', mib: '1024', browsers: 'chromium,firefox,webkit',
                 sample: path.join(root, 'samples/sample.adi')};
for (let i = 2; i < process.argv.length; i += 2) options[process.argv[i].replace(/^--/, '')] = process.argv[i + 1];
for (const name of ['page', 'report', 'loggen']) {
    if (!options[name]) throw new Error(`--${name} is needed`);
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvane-page-bench-'));

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

// The resident size in bytes of the browser's processes (`pid` and all under it), all together
// and of the largest one, with its name: the tab's process, where the page and its worker run,
// or another.
function browserMemory(pid) {
    const processes = new Map();
    for (const id of fs.readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
        try {
            const status = fs.readFileSync(`/proc/${id}/status`, 'utf8');
            const field = (name) => new RegExp(`^${name}:\\s+(.*)$`, 'm').exec(status);
            processes.set(Number(id), {name: field('Name')[1], parent: Number(field('PPid')[1]),
                                       rss: field('VmRSS') ? parseInt(field('VmRSS')[1], 10) * 1024 : 0});
        } catch {
            // the process ended meanwhile
        }
    }
    const ours = (id) => {
        for (let at = id; processes.has(at); at = processes.get(at).parent) {
            if (at === pid) return true;
        }
        return false;
    };
    const memory = {total: 0, largest: 0, name: 'none'};
    for (const [id, {name, rss}] of processes) {
        if (!ours(id)) continue;
        memory.total += rss;
        if (rss > memory.largest) Object.assign(memory, {largest: rss, name});
    }
    return memory;
}

async function bench(engine, log, endless) {
    const browser = await launch(engine);
    const url = pathToFileURL(path.resolve(options.page)).href;

    // Seconds from the file input's change to the state "done", measured in a freshly loaded
    // page whose WebAssembly is compiled.
    async function countInPage(file, rules) {
        const page = await browser.open(url);
        await page.evaluate(async (value) => {
            await wasmModule;
            const select = document.getElementById('rules');
            select.value = value;
            select.dispatchEvent(new Event('change'));
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
        }, rules);
        await page.choose(file);
        const end = await page.evaluate(() => window.benchDone);
        const [start, state, memory] = await page.evaluate(() => [
            window.benchStart, document.body.dataset.state, Number(document.body.dataset.wasmMemory)]);
        await page.close();
        if (state !== 'done') throw new Error(`${engine} did not count ${file}`);
        return {seconds: (end - start) / 1000, memory};
    }

    // ---- speed
    const size = fs.statSync(log).size;
    const best = (values) => Math.min(...values);
    for (const rules of ['adif', 'exact']) {
        console.log(`${engine}, speed: ${options.contacts} contacts, ${(size / 1e6).toFixed(0)} MB, ` +
                    `${rules} rules, ${options.rounds} rounds`);
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

    // ---- memory
    console.log(`${engine}, memory: ${options.mib} MiB without a line break, against the sample log`);
    for (const [name, file] of [['sample log', options.sample], ['endless line', endless]]) {
        for (const rules of ['adif', 'exact']) {
            const peak = browserMemory(browser.pid);
            const sampler = setInterval(() => {
                const now = browserMemory(browser.pid);
                peak.total = Math.max(peak.total, now.total);
                if (now.largest > peak.largest) Object.assign(peak, {largest: now.largest, name: now.name});
            }, 50);
            const result = await countInPage(file, rules);
            clearInterval(sampler);
            const start = process.hrtime.bigint();
            spawnSync(options.report, ['--rules', rules, '--json', file]);
            const native = seconds(start);
            const mib = (bytes) => `${(bytes / 1048576).toFixed(0)} MiB`;
            console.log(`  ${name}, ${rules}: ${result.seconds.toFixed(1)} s (quorvane-report ${native.toFixed(1)} s, ` +
                        `ratio ${(result.seconds / native).toFixed(2)}), WebAssembly memory ` +
                        `${(result.memory / 1048576).toFixed(1)} MiB, peak ${mib(peak.total)} in all, ` +
                        `${mib(peak.largest)} in ${peak.name}`);
        }
    }
    await browser.close();
}

async function main() {
    const log = path.join(work, 'contacts.adi');
    execFileSync(options.loggen, ['--contacts', options.contacts, '-o', log]);
    const endless = path.join(work, 'endless.adi');
    writeEndlessLine(endless, Number(options.mib) * 1024 * 1024);
    for (const engine of options.browsers.split(',')) await bench(engine, log, endless);
    fs.rmSync(work, {recursive: true, force: true});
}

main().catch((error) => {
    console.error(error);
    fs.rmSync(work, {recursive: true, force: true});
    process.exit(1);
});
