// The browser engines, opened alike for the browser test and the page benchmark, none of them
// downloaded: Debian's Chromium and Firefox ESR through puppeteer-core (Chrome's protocol and
// WebDriver BiDi), WebKitGTK's MiniBrowser through WebKitWebDriver on a display of Xvfb's.
// launch(engine) gives {pid, open(url), close()}, pid heading all the browser's processes; open
// gives a page: {evaluate(fn, ...args) (a promise awaited), choose(file) (with the #log button),
// close()}, and puppeteer's pages also the page itself (.puppeteer).
'use strict';
const {spawn} = require('node:child_process');
const fs = require('node:fs');
const net = require('node:net');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function launchPuppeteer(engine) {
    const browser = await puppeteer.launch(engine === 'firefox' ?
        {browser: 'firefox', protocol: 'webDriverBiDi', headless: true,
         executablePath: '/usr/bin/firefox-esr'} :
        {executablePath: process.env.QUORVANE_CHROMIUM || '/usr/bin/chromium', headless: true,
         args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                '--disable-background-networking', '--disable-component-update', '--disable-sync',
                `--user-data-dir=${fs.mkdtempSync(path.join(os.tmpdir(), 'quorvane-chromium-'))}`]});
    return {
        pid: browser.process().pid,
        async open(url) {
            const page = await browser.newPage();
            await page.goto(url);
            return {
                puppeteer: page,
                evaluate: (fn, ...args) => page.evaluate(fn, ...args),
                choose: async (file) => (await page.$('#log')).uploadFile(file),
                close: () => page.close(),
            };
        },
        close: () => browser.close(),
    };
}

// The MiniBrowser of Debian's WebKitGTK, which webkit2gtk-driver pulls in.
function miniBrowser() {
    for (const triplet of fs.readdirSync('/usr/lib')) {
        const binary = path.join('/usr/lib', triplet, 'webkit2gtk-4.1', 'MiniBrowser');
        if (fs.existsSync(binary)) return binary;
    }
    throw new Error('no MiniBrowser of WebKitGTK 4.1 (Debian: webkit2gtk-driver)');
}

async function freePort() {
    const server = net.createServer();
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    const {port} = server.address();
    await new Promise((resolve) => server.close(resolve));
    return port;
}

async function launchWebKit() {
    // Xvfb picks a free display and writes its number to fd 3.
    const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                       {stdio: ['ignore', 'ignore', 'ignore', 'pipe']});
    const display = await new Promise((resolve) => xvfb.stdio[3].once('data', resolve));
    const port = await freePort();
    const driver = spawn('WebKitWebDriver', [`--port=${port}`],
                         {env: {...process.env, DISPLAY: `:${String(display).trim()}`}, stdio: 'ignore'});
    const stop = () => {
        driver.kill();
        xvfb.kill();
    };
    const call = async (method, url, body) => {
        const response = await fetch(`http://127.0.0.1:${port}${url}`, {
            method, headers: {'content-type': 'application/json'}, body: body && JSON.stringify(body)});
        const {value} = await response.json();
        if (!response.ok) throw new Error(`WebDriver ${method} ${url}: ${value.error}: ${value.message}`);
        return value;
    };
    for (let tries = 0; !(await call('GET', '/status').then(() => true, () => false)); ++tries) {
        if (tries === 100) {
            stop();
            throw new Error('WebKitWebDriver did not start');
        }
        await sleep(100);
    }
    const {sessionId} = await call('POST', '/session', {capabilities: {alwaysMatch: {
        'webkitgtk:browserOptions': {binary: miniBrowser(), args: ['--automation']}}}});
    const at = (url) => `/session/${sessionId}${url}`;
    await call('POST', at('/timeouts'), {script: 600000, pageLoad: 60000});
    return {
        pid: driver.pid,
        // One window, which every page replaces.
        async open(url) {
            await call('POST', at('/url'), {url});
            return {
                evaluate: (fn, ...args) => call('POST', at('/execute/sync'),
                                                {script: `return (${fn}).apply(null, arguments)`, args}),
                async choose(file) {
                    const element = await call('POST', at('/element'), {using: 'css selector', value: '#log'});
                    await call('POST', at(`/element/${Object.values(element)[0]}/value`), {text: file});
                },
                close: () => call('POST', at('/url'), {url: 'about:blank'}),
            };
        },
        async close() {
            await call('DELETE', at('')).catch(() => {});
            stop();
        },
    };
}

async function launch(engine) {
    if (!['chromium', 'firefox', 'webkit'].includes(engine)) throw new Error(`no browser engine ${engine}`);
    return engine === 'webkit' ? launchWebKit() : launchPuppeteer(engine);
}

module.exports = {launch};
