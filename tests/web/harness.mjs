// The browser tests' parts: the built site served on 127.0.0.1 by Python's http.server,
// Debian's Chromium driven by Playwright, the demo installation as the user would drop it,
// the native velmora-dump's output for the same files, and a small runner.
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

export const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const native = path.resolve(root, process.env.VELMORA_NATIVE_BUILD ?? 'build');
export const site = path.resolve(root, process.env.VELMORA_WEB_SITE ?? 'build-web/site');
const dumpTool = path.join(native, 'tools/velmora-dump');
const demoGame = path.join(native, 'demo-prefix/drive_c/Games/Brannoch');
const demoPatched = path.join(native, 'demo-patched/brannoch2_x1_p1.dat');
export const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'velmora-web-'));

// The files the tests drop: the demo's game folder, the comparison's pair laid out as the
// page names them (the old file as Data/… inside the folder, the new one by its name), and
// the broken files.
export const game = path.join(tmp, 'Brannoch');
fs.cpSync(demoGame, game, { recursive: true });
export const dataFile = path.join(game, 'Data/brannoch2_x1_p1.dat');
export const modules = ['language_x1_p1.dll', 'language_x1.dll', 'language.dll'].map(name => path.join(game, name));
const pair = path.join(tmp, 'pair');
fs.mkdirSync(path.join(pair, 'Data'), { recursive: true });
fs.copyFileSync(dataFile, path.join(pair, 'Data/brannoch2_x1_p1.dat'));
export const newFile = path.join(pair, 'brannoch2_x1_p1.dat');
fs.copyFileSync(demoPatched, newFile);

export function badFile(name, bytes) {
    const dir = fs.mkdtempSync(path.join(tmp, 'bad-'));
    fs.writeFileSync(path.join(dir, name), bytes);
    return path.join(dir, name);
}
const demoBytes = fs.readFileSync(dataFile);
export const inflated = () => zlib.inflateRawSync(demoBytes);
export const deflated = bytes => zlib.deflateRawSync(bytes);
export { demoBytes };

// The native tool's output: [status, stdout bytes, stderr text].
export function dump(args, cwd = root) {
    const run = spawnSync(dumpTool, [...(args.includes('--install') ? [] : ['--install', game]), ...args], { cwd, maxBuffer: 1 << 28 });
    if (run.error)
        throw run.error;
    return [run.status, run.stdout, run.stderr.toString()];
}
export const dumpOf = format => dump(['--format', format, dataFile])[1];
export const diffOf = format => dump(['--diff', '--format', format, 'Data/brannoch2_x1_p1.dat', 'brannoch2_x1_p1.dat'], pair)[1];

// The site served by Python's http.server on a free port.
export async function serve() {
    const args = ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '0'];
    const server = spawn('python3', args, { cwd: site, stdio: ['ignore', 'pipe', 'ignore'] });
    process.on('exit', () => server.kill());
    const port = await new Promise((resolve, reject) => {
        let out = '';
        server.stdout.on('data', chunk => {
            out += chunk;
            const m = /port (\d+)/.exec(out);
            if (m)
                resolve(Number(m[1]));
        });
        server.on('exit', code => reject(new Error(`http.server ended with ${code}`)));
    });
    return { url: `http://127.0.0.1:${port}/`, stop: () => server.kill() };
}

export async function launch() {
    return chromium.launch({
        executablePath: process.env.VELMORA_CHROMIUM ?? '/usr/bin/chromium',
        headless: true,
        args: [...(process.getuid?.() === 0 ? ['--no-sandbox'] : []), '--disable-gpu', '--disable-quic', '--no-first-run',
            '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    });
}

// Every request any page makes, and every error a page throws, for the checks at the end.
export const requests = [];
export const pageErrors = [];

export async function openPage(browser, url, options = {}) {
    const context = await browser.newContext({ acceptDownloads: true, viewport: { width: 1280, height: 900 }, ...options });
    context.on('request', request => requests.push(request.url()));
    const page = await context.newPage();
    page.on('pageerror', error => pageErrors.push(String(error)));
    await page.goto(url);
    return page;
}

export const cleanup = () => fs.rmSync(tmp, { recursive: true, force: true });

// The tests, run one after another; `node run.mjs NAME…` runs those whose names hold a NAME,
// and VELMORA_WEB_FAIL_FAST stops at the first failure.
const tests = [];
export const test = (name, fn) => tests.push({ name, fn });

export async function run() {
    const only = process.argv.slice(2);
    let passed = 0, failed = 0;
    for (const t of tests.filter(t => !only.length || only.some(word => t.name.includes(word)))) {
        try {
            await t.fn();
            ++passed;
            console.log(`ok   ${t.name}`);
        } catch (error) {
            ++failed;
            console.log(`FAIL ${t.name}\n${error.stack ?? error}`);
            if (process.env.VELMORA_WEB_FAIL_FAST)
                break;
        }
    }
    cleanup();
    console.log(`${passed} passed, ${failed} failed`);
    return failed;
}
