// The worker: counts one log with the WebAssembly core and posts the outcome. The page reads the
// log and posts it here block by block, each block's buffer to be handed back once counted; it
// starts a fresh worker for every count and ends it to cancel, so nothing of one log reaches the
// next.
//
// Messages, in this order: {begin: {module, name, rules, from, to}} (from and to as the date
// fields give them, empty for open); then {block} (a Uint8Array whose
// buffer is transferred) as often as the log has blocks; then {end: true}, or {failed: why} when
// the log cannot be read (see qv_failed).
'use strict';

let core = null;
let logName = '';
let over = false;  // the outcome is posted: whatever comes after is dropped

const text = (name) => core.UTF8ToString(core.ccall(name, 'number', [], []));
const call = (name, ...args) => core.ccall(
    name, 'number', args.map((a) => typeof a === 'string' ? 'string' : 'number'), args);

function finish(outcome) {
    over = true;
    self.postMessage(outcome);
}

const fail = () => finish({error: text('qv_error')});

function cannotCount(e) {
    if (!over) finish({error: `Cannot count ${JSON.stringify(logName)}: ${String(e && e.message || e)}.`});
}

async function begin({module, name, rules, from = '', to = ''}) {
    logName = name;
    core = await createQuorvane({
        // The page compiled the WebAssembly once; each worker only instantiates it.
        instantiateWasm(imports, done) {
            WebAssembly.instantiate(module, imports).then((instance) => done(instance, module), cannotCount);
            return {};
        },
    });
    if (call('qv_range', from, to) !== 0) return fail();
    if (call('qv_begin', name, rules) !== 0) throw new Error(`no rules named ${rules}`);
}

function block(bytes) {
    // qv_block may grow the memory, which replaces HEAPU8: it is read after the call.
    const at = call('qv_block', bytes.length);
    core.HEAPU8.set(bytes, at);
    if (call('qv_feed', bytes.length) !== 0) return fail();
    self.postMessage({spent: bytes.buffer, length: bytes.length}, [bytes.buffer]);
}

function end() {
    if (call('qv_end') !== 0) return fail();
    finish({
        model: JSON.parse(text('qv_model')),
        reportText: text('qv_report_text'),
        reportJson: text('qv_report_json'),
        entitiesCsv: text('qv_entities_csv'),
        memoryBytes: core.HEAP8.buffer.byteLength,
    });
}

async function step(message) {
    if (over) return;
    if (message.begin) return begin(message.begin);
    if (message.block) return block(message.block);
    if (message.end) return end();
    call('qv_failed', message.failed);
    fail();
}

// One message at a time, in the order posted: blocks may arrive while the core is still
// being instantiated.
let steps = Promise.resolve();
self.onmessage = ({data}) => {
    steps = steps.then(() => step(data)).catch(cannotCount);
};
