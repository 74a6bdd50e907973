// The page's worker: runs the core (loading, parsing, the dumps and the comparison) and
// Graphviz (the tree's layout), so that the page never waits on them.
//
// Requests are {id, op, ...}; every answer is {id, ok: true, ...} or {id, ok: false, error},
// and {progress} lines may come before it. Bytes travel as transferred ArrayBuffers.
import createVelmoraCore from './core/velmora-core.mjs';

let core = null;
let viz = null;

function progress(text) {
    self.postMessage({ progress: text });
}

async function ready() {
    if (!core) {
        progress('Starting the core…');
        core = await createVelmoraCore();
    }
    return core;
}

function bytesOf(buffer) {
    return buffer ? new Uint8Array(buffer) : null;
}

const ops = {
    async load({ slot, data, modules, codePage, fileName }) {
        const c = await ready();
        progress(`Inflating and parsing ${fileName}…`);
        const result = JSON.parse(c.load(slot, bytesOf(data), modules.map(bytesOf), codePage, fileName));
        if (!result.ok || slot !== 0)
            return { result };
        progress('Reading the techs…');
        const dump = JSON.parse(new TextDecoder().decode(c.dump(0, 'json', null)));
        return { result, dump, form: JSON.parse(c.detailForm()) };
    },
    async dump({ slot, format }) {
        const bytes = (await ready()).dump(slot, format, null);
        return { bytes: bytes.slice().buffer };
    },
    async diff({ format }) {
        const c = await ready();
        progress('Comparing the two files…');
        const bytes = c.diff(format);
        return { bytes: bytes.slice().buffer, status: c.diffStatus() };
    },
    async stringText({ slot, typed }) {
        return { text: (await ready()).stringText(slot, typed) };
    },
    async effectLines({ slot, typed }) {
        return { lines: JSON.parse((await ready()).effectLines(slot, typed)) };
    },
    async effectCommand({ slot, typed, line }) {
        return { command: JSON.parse((await ready()).effectCommand(slot, typed, line)) };
    },
    async version() {
        return { version: (await ready()).version() };
    },
    // The tree of slot 0 laid out by Graphviz; `techs`, when given, the techs to keep, with
    // the links between them (the dump's --tech).
    async layout({ techs }) {
        const c = await ready();
        const dot = new TextDecoder().decode(c.dump(0, 'dot', techs ?? null));
        if (!viz) {
            progress('Starting Graphviz…');
            viz = await (await import('./viz.js')).instance();
        }
        progress(`Laying out ${techs ? new Set(techs).size : 'all'} techs…`);
        const started = performance.now();
        const svg = viz.renderString(dot, { format: 'svg' });
        return { svg, layoutMs: performance.now() - started };
    },
};

self.onmessage = async ({ data }) => {
    const { id, op } = data;
    try {
        const answer = await ops[op](data);
        const transfer = answer.bytes ? [answer.bytes] : [];
        self.postMessage({ id, ok: true, ...answer }, transfer);
    } catch (error) {
        self.postMessage({ id, ok: false, error: String(error?.message ?? error) });
    }
};
