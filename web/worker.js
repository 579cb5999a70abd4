// The worker: counts one log with the WebAssembly core and posts the outcome. The page starts
// a fresh worker for every count and ends it to cancel, so nothing of one log reaches the next.
'use strict';

// How often, at most, the share read is posted back while the log is read.
const PROGRESS_EVERY_MS = 100;

self.onmessage = async ({data: {module, file, rules}}) => {
    try {
        const core = await createQuorvane({
            // The page compiled the WebAssembly once; each worker only instantiates it.
            instantiateWasm(imports, done) {
                WebAssembly.instantiate(module, imports).then((instance) => done(instance, module));
                return {};
            },
        });
        const {FS} = core;
        const WORKERFS = FS.filesystems.WORKERFS;
        FS.mkdir('/log');
        FS.mount(WORKERFS, {files: [file]}, '/log');

        // Every read of the log goes through here: the browser's own reasons become the
        // system's, and the bytes read make the progress bar.
        const total = file.size * core.ccall('qv_passes', 'number', ['string'], [rules]);
        const read = WORKERFS.stream_ops.read;
        let done = 0;
        let posted = 0;
        WORKERFS.stream_ops.read = (stream, buffer, offset, length, position) => {
            let got;
            try {
                got = read(stream, buffer, offset, length, position);
            } catch (e) {
                throw new FS.ErrnoError(e && e.name === 'NotFoundError' ? 44 /* ENOENT */
                                        : e && e.name === 'SecurityError' ? 2 /* EACCES */
                                        : 29 /* EIO */);
            }
            done += got;
            const now = performance.now();
            if (now - posted >= PROGRESS_EVERY_MS) {
                posted = now;
                self.postMessage({progress: {done, total}});
            }
            return got;
        };

        const status = core.ccall('qv_count', 'number', ['string', 'string', 'string'],
                                  ['/log/' + file.name, file.name, rules]);
        const text = (name) => core.UTF8ToString(core.ccall(name, 'number', [], []));
        if (status !== 0) {
            self.postMessage({error: text('qv_error') || 'Cannot count this log.'});
            return;
        }
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
