// Measures the browser edition on the demo, on this machine; asserts nothing and prints:
// the time from choosing the folder to the list shown, from a click to the details, the
// tree's layout, the bytes the page transferred, and the worker's memory after a load.
//   node tests/web/measure.mjs [ROUNDS]
import * as h from './harness.mjs';

const rounds = Number(process.argv[2] ?? 3);
const server = await h.serve();
const browser = await h.launch();
const median = values => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const results = { open: [], click: [], layout: [], transfer: [], worker: [] };

// The worker's JavaScript heap and the buffers it holds (the WebAssembly memories among
// them), as the browser's own debugging protocol reports them.
async function workerMemory(page) {
    const cdp = await page.context().newCDPSession(page);
    const session = new Promise(resolve => cdp.on('Target.attachedToTarget', event => event.targetInfo.type === 'worker' && resolve(event.sessionId)));
    await cdp.send('Target.setAutoAttach', { autoAttach: true, waitForDebuggerOnStart: false, flatten: false });
    const sessionId = await session;
    const answer = new Promise(resolve => cdp.on('Target.receivedMessageFromTarget', event => {
        const message = JSON.parse(event.message);
        if (message.id === 1)
            resolve(message.result);
    }));
    await cdp.send('Target.sendMessageToTarget', { sessionId, message: JSON.stringify({ id: 1, method: 'Runtime.getHeapUsage' }) });
    const { usedSize, backingStorageSize = 0 } = await answer;
    await cdp.detach();
    return usedSize + backingStorageSize;
}

for (let round = 0; round < rounds; ++round) {
    // Without the service worker, so that every file comes from the server.
    const context = await browser.newContext({ viewport: { width: 1280, height: 900 }, serviceWorkers: 'block' });
    const sizes = new Map();
    context.on('response', response => sizes.set(response.url(), response.body().then(body => body.length, () => 0)));
    const page = await context.newPage();
    await page.goto(server.url);
    await page.waitForFunction(() => document.getElementById('version').textContent !== '');
    let started = Date.now();
    await page.setInputFiles('#pick-folder', h.game);
    await page.waitForFunction(() => document.querySelectorAll('#techlist li').length > 0 && !document.getElementById('main').hidden);
    results.open.push(Date.now() - started);
    started = Date.now();
    await page.click('#tech-300');
    await page.waitForFunction(() => document.querySelector('[data-member=effectNoText]').value !== '' &&
        document.querySelector('#tech-300').getAttribute('aria-selected') === 'true');
    results.click.push(Date.now() - started);
    results.worker.push(await workerMemory(page));
    await page.click('#tab-tree');
    await page.waitForFunction(() => /laid out in/.test(document.getElementById('tree-count').textContent), null, { timeout: 120000 });
    results.layout.push(1000 * Number(/in ([\d.]+) s/.exec(await page.textContent('#tree-count'))[1]));
    const files = await Promise.all([...sizes].map(async ([url, size]) => [url, await size]));
    results.transfer.push(files.reduce((sum, [, size]) => sum + size, 0));
    if (round === 0)
        console.log(files.map(([url, size]) => `  ${new URL(url).pathname} ${size}`).join('\n'));
    await context.close();
}
console.log(`measure: drop to list ${median(results.open)} ms, click to details ${median(results.click)} ms, ` +
    `tree layout ${median(results.layout).toFixed(0)} ms, transfer ${(median(results.transfer) / 1e6).toFixed(2)} MB, ` +
    `worker memory after a load ${(median(results.worker) / 1e6).toFixed(1)} MB (median of ${rounds})`);
await browser.close();
server.stop();
h.cleanup();
process.exit(0);
