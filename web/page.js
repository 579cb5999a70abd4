// The page's script: takes a log and the rules, has a worker count it, and lays out what the
// worker hands back. Every count and cell text comes from the C++ core; this only places them.
'use strict';

const WORKER_BASE64 = '@WORKER_BASE64@';
const WASM_BASE64 = '@WASM_BASE64@';

// Logs up to this size count in a blink; larger ones show the share read and Cancel.
const PROGRESS_FROM_BYTES = 4 * 1024 * 1024;

const $ = (id) => document.getElementById(id);
const bytes = (base64) => Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));

const workerUrl = URL.createObjectURL(
    new Blob([bytes(WORKER_BASE64)], {type: 'text/javascript'}));
// Null in a browser without WebAssembly or its 128-bit SIMD.
const wasmModule = (async () => WebAssembly.compile(bytes(WASM_BASE64)))().catch(() => null);

let chosen = null;   // the File being shown or counted
let worker = null;   // the count under way
let outcome = null;  // the last finished count: {file, rules, reportText, reportJson, entitiesCsv}
let generation = 0;  // of the latest count asked for

function setState(state) {
    document.body.dataset.state = state;
}

function say(text) {
    $('status').textContent = text;
}

function clearResults() {
    outcome = null;
    $('results').hidden = true;
    $('tables').replaceChildren();
    $('charts').replaceChildren();
    for (const place of ['dxcc-place', 'entities-title-place', 'entities-place', 'years-place'])
        $(place).replaceChildren();
    $('range-note').textContent = '';
    $('entities-note').textContent = '';
    $('awards').hidden = true;
    $('copy').disabled = true;
    $('save').disabled = true;
}

function stopCounting() {
    if (worker) worker.terminate();
    worker = null;
    $('progress').hidden = true;
}

function rulesTitle() {
    const select = $('rules');
    return select.options[select.selectedIndex].text;
}

// Counts `file` by the chosen rules in a fresh worker; whatever was shown or counted before
// is dropped first. A `folder` dropped on the page only gets the core's sentence for it.
async function count(file, folder = false) {
    stopCounting();
    clearResults();
    chosen = folder ? null : file;
    const mine = ++generation;
    const rules = $('rules').value;
    const title = rulesTitle();
    // Empty for an open bound; the date fields give a day as YYYY-MM-DD or nothing.
    const range = rules === 'adif' ? {from: $('from').value, to: $('to').value} : {from: '', to: ''};
    setState('counting');
    say(`Counting ${file.name} by the ${title}…`);
    $('share').max = file.size;
    $('share').value = 0;
    $('progress').hidden = file.size <= PROGRESS_FROM_BYTES;

    const module = await wasmModule;
    if (mine !== generation || document.body.dataset.state !== 'counting') return;
    if (!module) {
        stopCounting();
        setState('error');
        say('This browser cannot run the counting code of this page; a current browser can.');
        return;
    }
    const counting = new Worker(workerUrl);
    worker = counting;
    counting.addEventListener('message', ({data}) => {
        if (worker !== counting || data.spent) return;  // a count given up, or a block's buffer
        stopCounting();
        if (data.error) {
            setState('error');
            say(data.error);
            return;
        }
        show(file, rules, title, data);
    });
    counting.onerror = (event) => {
        if (worker !== counting) return;
        event.preventDefault();
        stopCounting();
        setState('error');
        say(`Cannot count "${file.name}": ${event.message || 'the worker stopped'}.`);
    };
    counting.postMessage({begin: {module, name: file.name, rules, ...range}});
    if (folder) {
        counting.postMessage({failed: 'Folder'});
    } else {
        // The browser's error in reading the log (NotFoundError, NotReadableError, ...) goes to
        // the core, which words it.
        feed(file, counting).catch((e) => counting.postMessage({failed: String(e && e.name)}));
    }
}

// ---- reading: on the page's own thread, which can read any File it was given (a worker
// cannot read a File from a page opened from disk in every browser), counted in the worker

const BLOCK_BYTES = 1024 * 1024;
const BLOCKS = 3;

// Whether the browser's file streams are byte streams, which read straight into a buffer
// (asked of an empty blob: see blockReader).
function byteStreams() {
    try {
        new Blob().stream().getReader({mode: 'byob'});
        return true;
    } catch {
        return false;
    }
}

// A function that reads the log's next bytes, into the ArrayBuffer it is given where it can,
// and returns them as a Uint8Array, empty at the end. Safari's engine has no byte streams, and
// its file stream reads the whole file into memory as soon as it is made: there the page makes
// none, and reads a slice of the file at a time.
function blockReader(file) {
    if (!byteStreams()) {
        let at = 0;
        return async () => {
            const block = new Uint8Array(await file.slice(at, at + BLOCK_BYTES).arrayBuffer());
            at += block.length;
            return block;
        };
    }
    const reader = file.stream().getReader({mode: 'byob'});
    return async (buffer) => {
        let filled = 0;
        while (filled < buffer.byteLength) {
            const {done, value} = await reader.read(new Uint8Array(buffer, filled));
            if (value) buffer = value.buffer;
            if (done) break;
            filled += value.length;
        }
        return new Uint8Array(buffer, 0, filled);
    };
}

// Reads `file` and posts it to `counting` block by block. The BLOCKS buffers (a slice's own
// where the page reads slices) go to the worker and come back once counted, so the page holds
// no more of the log than they do, however big it is, and reads the next block while the worker
// counts the last.
async function feed(file, counting) {
    const read = blockReader(file);
    const free = Array.from({length: BLOCKS}, () => new ArrayBuffer(BLOCK_BYTES));
    let returned = () => {};
    counting.addEventListener('message', ({data}) => {
        if (!data.spent || worker !== counting) return;
        free.push(data.spent);
        $('share').value += data.length;
        returned();
    });
    for (;;) {
        while (!free.length) await new Promise((resolve) => { returned = resolve; });
        const block = await read(free.pop());
        if (worker !== counting) return;
        if (!block.length) break;
        counting.postMessage({block}, [block.buffer]);
    }
    counting.postMessage({end: true});
}

// Where each award table and chart goes; the design's tables and charts go to #tables and
// #charts in the order they come.
const AWARD_PLACES = {dxcc: 'dxcc-place', dxccEntities: 'entities-place', years: 'years-place',
                      yearChart: 'years-place'};

function show(file, rules, title, data) {
    outcome = {file, rules, reportText: data.reportText, reportJson: data.reportJson,
               entitiesCsv: data.entitiesCsv};
    document.body.dataset.wasmMemory = String(data.memoryBytes);
    const {tables, charts, notes} = data.model;
    for (const table of tables) {
        const element = tableElement(table);
        if (table.id === 'dxccEntities') {
            // The list's title stands above its filter and Save CSV, which belong to it.
            $('entities-title-place').append(element.querySelector('h2'));
        }
        $(AWARD_PLACES[table.id] || 'tables').append(element);
    }
    for (const chart of charts) $(AWARD_PLACES[chart.id] || 'charts').append(chartElement(chart));
    $('awards').hidden = !tables.some((table) => table.id in AWARD_PLACES);
    $('range-note').textContent = notes.range || '';
    // A log without entities gets a sentence, not an empty list with its commands.
    $('entities-note').textContent = notes.dxccEntities || '';
    $('entity-controls').hidden = Boolean(notes.dxccEntities);
    $('entities-place').hidden = Boolean(notes.dxccEntities);
    filterEntities();
    $('results').hidden = false;
    $('copy').disabled = false;
    $('save').disabled = false;
    setState('done');
    say(`${file.name}, counted by the ${title}.`);
}

// ---- tables: real table elements, header cells as th with their scope

function tableElement({id, title, rows}) {
    const section = document.createElement('section');
    const heading = document.createElement('h2');
    heading.id = `${id}-title`;
    heading.textContent = title;
    const table = document.createElement('table');
    table.id = `${id}-table`;
    table.className = `grid ${id}`;
    table.setAttribute('aria-labelledby', heading.id);
    const head = table.createTHead();
    const body = table.createTBody();
    rows.forEach((cells, r) => {
        const tr = (r === 0 ? head : body).insertRow();
        cells.forEach((cell) => {
            // The empty corner is painted as a header but heads nothing.
            const heads = cell.header && cell.text !== '';
            const element = document.createElement(heads ? 'th' : 'td');
            if (heads) element.scope = r === 0 ? 'col' : 'row';
            if (cell.header && !heads) element.className = 'corner';
            if (cell.counter) element.dataset.counter = cell.counter;
            element.textContent = cell.text;
            tr.append(element);
        });
    });
    section.append(heading, table);
    return section;
}

// ---- charts: hand-drawn SVG bar charts, marked as images described by their tables

const SVG = 'http://www.w3.org/2000/svg';

function svg(name, attributes, text) {
    const element = document.createElementNS(SVG, name);
    for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, value);
    if (text !== undefined) element.textContent = text;
    return element;
}

function chartElement({id, title, categories, series, axis}) {
    const width = 500;
    const height = 320;
    const plot = {left: 56, top: 16, right: width - 80, bottom: height - 36};
    const figure = document.createElement('figure');
    const caption = document.createElement('figcaption');
    caption.id = `${id}-title`;
    caption.textContent = title;
    const chart = svg('svg', {
        id, class: 'chart', role: 'img', width, height, viewBox: `0 0 ${width} ${height}`,
        'aria-labelledby': caption.id,
        'aria-describedby': {modeChart: 'bandMode-table', continentChart: 'continent-table',
                             yearChart: 'years-table'}[id],
    });
    const y = (value) => plot.bottom - (plot.bottom - plot.top) * value / axis.max;
    chart.append(svg('rect', {x: 0, y: 0, width, height, fill: '#fff'}));
    for (let tick = 0; tick <= axis.max; tick += axis.step) {
        chart.append(svg('line', {x1: plot.left, x2: plot.right, y1: y(tick), y2: y(tick),
                                  stroke: tick === 0 ? '#000' : '#d8d8d8'}));
        chart.append(svg('text', {x: plot.left - 6, y: y(tick) + 4, 'text-anchor': 'end'},
                         String(tick)));
    }
    const band = (plot.right - plot.left) / categories.length;
    const bar = band * 0.8 / series.length;  // the bars fill 0.8 of a band, as on the desktop
    categories.forEach((label, b) => {
        const start = plot.left + band * b + band * 0.1;
        series.forEach((s, i) => {
            const top = y(s.values[b]);
            chart.append(svg('rect', {x: start + bar * i, y: top, width: Math.max(bar - 0.5, 0.5),
                                      height: plot.bottom - top,
                                      fill: s.colour}));
        });
        chart.append(svg('text', {x: plot.left + band * (b + 0.5), y: plot.bottom + 16,
                                  'text-anchor': 'middle'}, label));
    });
    series.forEach((s, i) => {
        const top = plot.top + 8 + i * 18;
        chart.append(svg('rect', {class: 'legend-key', x: plot.right + 14, y: top, width: 12, height: 12,
                                  fill: s.colour}));
        chart.append(svg('text', {x: plot.right + 32, y: top + 10}, s.name));
    });
    figure.append(caption, chart);
    return figure;
}

// ---- commands

function baseName(name) {
    const dot = name.lastIndexOf('.');
    return dot > 0 ? name.slice(0, dot) : name;
}

$('log').addEventListener('change', () => {
    const file = $('log').files[0];
    if (file) count(file);
});

// The date range belongs to the ADIF field rules: the exact rules count lines, not dated contacts.
function rangeFollowsRules() {
    $('range').disabled = $('rules').value !== 'adif';
}
rangeFollowsRules();

$('rules').addEventListener('change', () => {
    rangeFollowsRules();
    if (chosen) count(chosen);
});

for (const bound of ['from', 'to']) {
    $(bound).addEventListener('change', () => {
        if (chosen) count(chosen);
    });
}

// The entity list by its Mixed column: W and E are not confirmed for DXCC, C is.
function filterEntities() {
    const show = $('entity-filter').value;
    for (const cell of document.querySelectorAll('#dxccEntities-table td[data-counter$=".Mixed"]')) {
        const confirmed = cell.textContent === 'C';
        cell.parentElement.hidden = show === 'open' ? confirmed : show === 'confirmed' && !confirmed;
    }
}

$('entity-filter').addEventListener('change', filterEntities);

$('cancel').addEventListener('click', () => {
    ++generation;
    stopCounting();
    clearResults();
    chosen = null;
    $('log').value = '';
    setState('idle');
    say('Counting cancelled.');
    $('log').focus();
});

$('copy').addEventListener('click', async () => {
    if (!outcome) return;
    try {
        await navigator.clipboard.writeText(outcome.reportText);
        say(`The tables of ${outcome.file.name} are copied as text.`);
    } catch {
        say('The browser did not allow copying.');
    }
});

function download(text, type, name) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([text], {type}));
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

$('save').addEventListener('click', () => {
    if (outcome) download(outcome.reportJson, 'application/json', `${baseName(outcome.file.name)}.json`);
});

// The whole list, whatever the filter shows: what quorvane-report --table dxcc-entities --csv
// prints.
$('save-csv').addEventListener('click', () => {
    if (outcome) {
        download(outcome.entitiesCsv, 'text/csv',
                 `${baseName(outcome.file.name)}-dxcc-entities.csv`);
    }
});

// Dropping a log anywhere on the page counts it, as the file button does; a folder cannot be
// counted.
document.addEventListener('dragover', (event) => {
    event.preventDefault();
    document.body.classList.add('dragging');
});
document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
document.addEventListener('drop', (event) => {
    event.preventDefault();
    document.body.classList.remove('dragging');
    const item = event.dataTransfer.items && event.dataTransfer.items[0];
    const entry = item && item.webkitGetAsEntry && item.webkitGetAsEntry();
    const file = event.dataTransfer.files[0];
    if (!file) return;
    count(file, Boolean(entry && entry.isDirectory));
});
