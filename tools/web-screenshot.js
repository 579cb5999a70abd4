// Takes docs/web.png: quorvane.html in headless Chromium with the sample log counted by the
// ADIF field rules. Needs `npm ci` in tests/web (for puppeteer-core) and Debian's chromium.
//   node tools/web-screenshot.js build-web/web/quorvane.html [docs/web.png]
'use strict';
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {createRequire} = require('node:module');
const {pathToFileURL} = require('node:url');

const root = path.resolve(__dirname, '..');
const puppeteer = createRequire(path.join(root, 'tests/web/package.json'))('puppeteer-core');
const [html, out = path.join(root, 'docs/web.png')] = process.argv.slice(2);

(async () => {
    const browser = await puppeteer.launch({
        executablePath: '/usr/bin/chromium',
        headless: true,
        args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
               '--disable-background-networking', '--disable-component-update', '--disable-sync',
               `--user-data-dir=${fs.mkdtempSync(path.join(os.tmpdir(), 'quorvane-chromium-'))}`],
    });
    const page = await browser.newPage();
    await page.setViewport({width: 1120, height: 800});
    await page.goto(pathToFileURL(path.resolve(html)).href);
    await (await page.$('#log')).uploadFile(path.join(root, 'samples/sample.adi'));
    await page.waitForFunction(() => document.body.dataset.state === 'done');
    await page.screenshot({path: out, fullPage: true});
    await browser.close();
})();
