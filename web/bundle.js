// Makes the one self-contained page: page.html with its style, its script, the worker's script
// and the WebAssembly written into it. The worker and the WebAssembly go in as base64, so that
// nothing in them can end the <script> element they stand in.
//   node bundle.js SOURCE_DIR CORE_DIR OUT_HTML
'use strict';
const fs = require('fs');
const path = require('path');

const [sourceDir, coreDir, out] = process.argv.slice(2);
const read = (dir, name) => fs.readFileSync(path.join(dir, name));

const worker = Buffer.concat([read(coreDir, 'quorvane_core.js'), Buffer.from('\n'),
                              read(sourceDir, 'worker.js')]);
const script = read(sourceDir, 'page.js').toString()
    .replace('@WORKER_BASE64@', worker.toString('base64'))
    .replace('@WASM_BASE64@', read(coreDir, 'quorvane_core.wasm').toString('base64'));
const style = read(sourceDir, 'page.css').toString();
for (const [name, text] of [['page.js', script], ['page.css', style]]) {
    if (/<\/(script|style)/i.test(text)) throw new Error(`${name} would end its element early`);
}
const html = read(sourceDir, 'page.html').toString()
    .replace('/*@STYLE@*/', () => style)
    .replace('/*@SCRIPT@*/', () => script);
fs.writeFileSync(out, html);
