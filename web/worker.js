// The worker: counts one log with the WebAssembly core and posts the outcome. The page starts
// a fresh worker for every count and ends it to cancel, so nothing of one log reaches the next.
'use strict';

// How often, at most, the share read is posted back while the log is read.
const PROGRESS_EVERY_MS = 100;
// How much of the log is read from the browser at a time.
const READ_PIECE_BYTES = 16 * 1024 * 1024;

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

        // Every read of the log goes through here. The browser's file reads cost far more per
        // call than per byte, so the log is read 16 MiB at a time and handed to the core in
        // the blocks it asks for; the browser's own reasons for a failed read become the
        // system's; the bytes handed over make the progress bar.
        const total = file.size * core.ccall('qv_passes', 'number', ['string'], [rules]);
        const reader = new FileReaderSync();
        let piece = new Uint8Array(0);
        let pieceStart = 0;
        let done = 0;
        let posted = 0;
        const readPiece = (at) => {
            try {
                const end = Math.min(at + READ_PIECE_BYTES, file.size);
                piece = new Uint8Array(reader.readAsArrayBuffer(file.slice(at, end)));
                pieceStart = at;
            } catch (e) {
                throw new FS.ErrnoError(e && e.name === 'NotFoundError' ? 44 /* ENOENT */
                                        : e && e.name === 'SecurityError' ? 2 /* EACCES */
                                        : 29 /* EIO */);
            }
        };
        WORKERFS.stream_ops.read = (stream, buffer, offset, length, position) => {
            const end = Math.min(position + length, file.size);
            let at = position;
            while (at < end) {
                if (at < pieceStart || at >= pieceStart + piece.length) readPiece(at);
                const n = Math.min(end, pieceStart + piece.length) - at;
                buffer.set(piece.subarray(at - pieceStart, at - pieceStart + n), offset + at - position);
                at += n;
            }
            done += at - position;
            const now = performance.now();
            if (now - posted >= PROGRESS_EVERY_MS) {
                posted = now;
                self.postMessage({progress: {done, total}});
            }
            return at - position;
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
