// The worker: counts one log with the WebAssembly core and posts the outcome. The page starts
// a fresh worker for every count and ends it to cancel, so nothing of one log reaches the next.
'use strict';

// How often, at most, the share read is posted back while the log is read.
const PROGRESS_EVERY_MS = 100;
// The buffer that the browser reads the log into, again and again.
const READ_BUFFER_BYTES = 1024 * 1024;

// The log's bytes as the browser hands them over. Read into one buffer over and over where
// the browser can (a byte stream), so that reading a big log leaves nothing behind to collect.
function logReader(file) {
    const stream = file.stream();
    try {
        const reader = stream.getReader({mode: 'byob'});
        let buffer = new ArrayBuffer(READ_BUFFER_BYTES);
        return async () => {
            const {done, value} = await reader.read(new Uint8Array(buffer));
            if (value) buffer = value.buffer;
            return done ? null : value;
        };
    } catch {
        const reader = stream.getReader();
        return async () => {
            const {done, value} = await reader.read();
            return done ? null : value;
        };
    }
}

self.onmessage = async ({data: {module, file, rules, folder}}) => {
    let core = null;
    const text = (name) => core.UTF8ToString(core.ccall(name, 'number', [], []));
    const failed = () => self.postMessage({error: text('qv_error')});
    try {
        core = await createQuorvane({
            // The page compiled the WebAssembly once; each worker only instantiates it.
            instantiateWasm(imports, done) {
                WebAssembly.instantiate(module, imports).then((instance) => done(instance, module));
                return {};
            },
        });
        const call = (name, ...args) => core.ccall(
            name, 'number', args.map((a) => typeof a === 'string' ? 'string' : 'number'), args);
        if (call('qv_begin', file.name, rules) !== 0) throw new Error(`no rules named ${rules}`);
        if (folder) {
            call('qv_failed', 'Folder');
            return failed();
        }

        // Read block by block, each block counted before the next is asked for: the log is
        // never in memory as a whole, however big it is.
        const next = logReader(file);
        let done = 0;
        let posted = 0;
        for (;;) {
            let block;
            try {
                block = await next();
            } catch (e) {
                call('qv_failed', String(e && e.name));
                return failed();
            }
            if (!block) break;
            // qv_block may grow the memory, which replaces HEAPU8: it is read after the call.
            const at = call('qv_block', block.length);
            core.HEAPU8.set(block, at);
            if (call('qv_feed', block.length) !== 0) return failed();
            done += block.length;
            const now = performance.now();
            if (now - posted >= PROGRESS_EVERY_MS) {
                posted = now;
                self.postMessage({progress: {done, total: file.size}});
            }
        }
        if (call('qv_end') !== 0) return failed();
        self.postMessage({
            model: JSON.parse(text('qv_model')),
            reportText: text('qv_report_text'),
            reportJson: text('qv_report_json'),
            memoryBytes: core.HEAP8.buffer.byteLength,
        });
    } catch (e) {
        self.postMessage({error: 'Cannot count ' + JSON.stringify(file.name) + ': ' +
                                 String(e && e.message || e) + '.'});
    }
};
