// Measures the browser edition on the demo, on this machine; asserts nothing and prints:
// the time from choosing the folder to the list shown, from a click to the details, the
// tree's layout, the bytes the page transferred, and the worker's memory after a load.
//   node tests/web/measure.mjs [ROUNDS]
import * as h from './harness.mjs';

const rounds = Number(process.argv[2] ?? 3);
const server = await h.serve({ isolated: true });
const browser = await h.launch();
const median = values => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const results = { open: [], click: [], layout: [], transfer: [], worker: [] };

for (let round = 0; round < rounds; ++round) {
    const context = await browser.newContext({ viewport: { width: 1280, height: 900 } });
    const sizes = [];
    context.on('requestfinished', request => sizes.push(request.sizes().then(s => [request.url(), s.responseBodySize + s.responseHeadersSize])));
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
    const memory = await page.evaluate(() => performance.measureUserAgentSpecificMemory());
    results.worker.push(memory.breakdown.filter(b => b.attribution.some(a => a.scope === 'DedicatedWorkerGlobalScope'))
        .reduce((sum, b) => sum + b.bytes, 0));
    await page.click('#tab-tree');
    await page.waitForFunction(() => /laid out in/.test(document.getElementById('tree-count').textContent), null, { timeout: 120000 });
    results.layout.push(1000 * Number(/in ([\d.]+) s/.exec(await page.textContent('#tree-count'))[1]));
    const files = await Promise.all(sizes);
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
