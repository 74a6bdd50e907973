// The browser edition in Debian's Chromium, against the native velmora-dump on the same files.
//   node tests/web/run.mjs [NAME…]   (VELMORA_NATIVE_BUILD: the native build, default build/)
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import * as h from './harness.mjs';

const server = await h.serve();
const browser = await h.launch();
const { techs, effects } = JSON.parse(h.dumpOf('json'));
const textLines = h.dumpOf('text').toString().split('\n');
const listLines = textLines.filter(line => /^\d{3}:/.test(line));
// The text dump's lines of the fields of tech k: those after its list line, up to its
// effect and the techs that require it.
const techText = k => {
    const first = textLines.indexOf(listLines[k]) + 1;
    return textLines.slice(first, textLines.findIndex((line, i) => i >= first && /^    Required by:/.test(line)));
};

const waitLoaded = page => page.waitForFunction(() => /techs\.$/.test(document.getElementById('progress').textContent));
async function openDemo(page, how = 'folder') {
    await page.setInputFiles(how === 'folder' ? '#pick-folder' : '#pick-files', how === 'folder' ? h.game : [h.dataFile, ...h.modules]);
    await waitLoaded(page);
}
const texts = (page, selector) => page.$$eval(selector, nodes => nodes.map(n => n.textContent));
const selected = page => page.$eval('#techlist', list => [...list.children].findIndex(li => li.getAttribute('aria-selected') === 'true'));
const fields = page => page.$$eval('#fields input', inputs => Object.fromEntries(inputs.map(i =>
    [i.dataset.member, i.type === 'checkbox' ? i.checked : i.dataset.entries ? Number(i.dataset.selection) : i.value])));
const valuesOf = c => [c.type, c.data1, c.data2, c.data3, c.data4];
const waitCommand = (page, c) => page.waitForFunction(want => [...document.querySelectorAll('#command input')]
    .every((b, i) => b.value !== '' && Math.abs(parseFloat(b.value) - want[i]) < 1e-6), valuesOf(c));
async function download(page, selector) {
    const [file] = await Promise.all([page.waitForEvent('download'), page.click(selector)]);
    return fs.readFileSync(await file.path());
}
const nodeCount = page => page.$$eval('#tree g.node', nodes => nodes.length);
const civTechs = civ => techs.filter(t => t.view.civList === 0 || t.view.civList === civ).length;

h.test('the demo folder, chosen as a folder and as files, shows the dump\'s list and tech 6 as the dump\'s view', async () => {
    const upper = path.join(h.tmp, 'upper');
    fs.mkdirSync(upper);
    fs.copyFileSync(h.dataFile, path.join(upper, 'BRANNOCH2_X1_P1.DAT'));
    fs.writeFileSync(path.join(upper, 'notes.txt'), 'not the data file');
    const chosen = { folder: h.game, files: [path.join(upper, 'BRANNOCH2_X1_P1.DAT'), path.join(upper, 'notes.txt'), ...h.modules] };
    for (const how of ['folder', 'files']) {
        const page = await h.openPage(browser, server.url);
        await page.setInputFiles(`#pick-${how}`, chosen[how]);
        await waitLoaded(page);
        assert.deepEqual(await texts(page, '#techlist li'), listLines, how);
        const found = (await texts(page, '#found li')).join('\n');
        for (const name of ['language_x1_p1.dll', 'Language_x1.dll', 'language.dll'])
            assert.match(found, new RegExp(`${name}: .*${name.toLowerCase()}`), `${how}: ${found}`);
        await page.click('#tech-6');
        assert.deepEqual(await fields(page), techs[6].view, how);
        // A row for each of the text dump's lines of the tech, under the same caption.
        const captions = await page.$$eval('#fields .field', rows => rows.map(r => r.querySelector('.caption').textContent));
        assert.deepEqual(captions, techText(6).map(line => line.trim().replace(/:.*/, ':')), how);
        assert.deepEqual(await texts(page, '#effectlist li'), techs[6].effectLines, how);
        await page.context().close();
    }
});

h.test('the data file alone: the modules are told missing and the texts are empty, as on the desktop', async () => {
    const alone = path.join(h.tmp, 'alone');
    fs.mkdirSync(path.join(alone, 'Data'), { recursive: true });
    fs.copyFileSync(h.dataFile, path.join(alone, 'Data/brannoch2_x1_p1.dat'));
    const [, json] = h.dump(['--install', alone, '--format', 'json', path.join(alone, 'Data/brannoch2_x1_p1.dat')]);
    // A copy beside the Data folder is not the game's file.
    fs.writeFileSync(path.join(alone, 'brannoch2_x1_p1.dat'), 'a stray copy');
    const page = await h.openPage(browser, server.url);
    await page.setInputFiles('#pick-folder', alone);
    await waitLoaded(page);
    assert.match((await texts(page, '#found li')).join('\n'), /language\.dll: missing\nNo language modules/);
    await page.click('#tech-6');
    assert.deepEqual(await fields(page), JSON.parse(json).techs[6].view);
    await page.context().close();
});

h.test('an effect line shows its command\'s raw values; a typed Effect No or String ID shows its effect or text', async () => {
    const page = await h.openPage(browser, server.url);
    await openDemo(page);
    await page.click('#tech-6');
    for (const line of [0, 3]) {
        await page.click(`#effect-line-${line}`);
        await waitCommand(page, effects[6].commands[line]);
    }
    const typed = [
        ['effectNoText', '7', () => texts(page, '#effectlist li'), effects[7].lines],
        ['effectNoText', '99999', () => texts(page, '#effectlist li'), []],
        ['effectNoText', '-1', () => texts(page, '#effectlist li'), []],
        ['nameStringIdText', String(techs[9].nameStringId), async () => (await fields(page)).nameText, techs[9].view.nameText],
        ['helpStringIdText', ` ${techs[12].helpStringId}`, async () => (await fields(page)).helpText, techs[12].view.helpText],
    ];
    for (const [member, text, shown, expected] of typed) {
        await page.fill(`[data-member=${member}]`, text);
        await waitFor(async () => assert.deepEqual(await shown(), expected, `${member} ${text}`));
    }
    await page.fill('[data-member=effectNoText]', '7');
    await waitFor(async () => assert.equal((await texts(page, '#effectlist li')).length, effects[7].lines.length));
    await page.click('#effect-line-0');
    await waitCommand(page, effects[7].commands[0]);
    await page.context().close();
});

// Retries a check until it passes or two seconds have gone.
async function waitFor(check) {
    for (let started = Date.now(); ; await new Promise(r => setTimeout(r, 50))) {
        try {
            return await check();
        } catch (error) {
            if (Date.now() - started > 2000)
                throw error;
        }
    }
}

h.test('find (Ctrl+F, F3, Shift+F3, Esc) and the keyboard move through the list as on the desktop', async () => {
    const page = await h.openPage(browser, server.url);
    await page.keyboard.press('Tab');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'pick-folder');
    await openDemo(page);
    const lore = techs.flatMap((t, k) => t.line.toLowerCase().includes('lore') ? [k] : []);
    assert.ok(lore.length >= 4);
    await page.click(`#tech-${lore[1]}`);
    await page.keyboard.press('Control+f');
    const steps = [
        ['type', 'LoRe', lore[0]], ['F3', null, lore[1]], ['F3', null, lore[2]], ['Shift+F3', null, lore[1]],
        ['Shift+F3', null, lore[0]], ['Shift+F3', null, lore.at(-1)], ['F3', null, lore[0]], ['type', 'no such tech', lore[0]],
    ];
    for (const [key, text, expected] of steps) {
        if (key === 'type')
            await page.fill('#find', text);
        else
            await page.keyboard.press(key);
        assert.equal(await selected(page), expected, `${key} ${text ?? ''}`);
    }
    assert.ok(await page.$eval('#find', box => box.classList.contains('notfound')));
    await page.keyboard.press('Escape');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'techlist');
    assert.notEqual(await page.$eval('#techlist', list => getComputedStyle(list).outlineStyle), 'none');
    const keys = [['Home', 0], ['ArrowDown', 1], ['ArrowDown', 2], ['ArrowUp', 1], ['End', techs.length - 1], ['PageUp', -1]];
    for (const [key, expected] of keys) {
        await page.keyboard.press(key);
        const k = await selected(page);
        assert.ok(expected < 0 ? k < techs.length - 2 : k === expected, `${key}: ${k}`);
        assert.equal((await fields(page)).nameStringIdText, techs[k].view.nameStringIdText, key);
    }
    await page.context().close();
});

h.test('the effect search finds every line holding a text and selects its tech and command', async () => {
    const page = await h.openPage(browser, server.url);
    await openDemo(page);
    for (const word of ['sheep', 'Cost Tech', 'nothing like this']) {
        await page.fill('#effectsearch', word);
        const hits = techs.flatMap((t, k) => t.effectLines.flatMap((line, i) => line.toLowerCase().includes(word.toLowerCase()) ? [{ k, i }] : []));
        const shown = await texts(page, '#effecthits button');
        assert.equal(shown.length, Math.min(200, hits.length), word);
        if (!hits.length)
            continue;
        await page.click('#effecthits button >> nth=0');
        assert.equal(await selected(page), hits[0].k, word);
        await waitCommand(page, effects[techs[hits[0].k].effectNo].commands[hits[0].i]);
    }
    await page.context().close();
});

h.test('the tree draws every tech, a click selects one and marks its neighbours, the civilization filter and the SVG download', async () => {
    const page = await h.openPage(browser, server.url);
    await openDemo(page);
    await page.click('#tab-tree');
    await page.waitForFunction(n => document.querySelectorAll('#tree g.node').length === n, techs.length, { timeout: 60000 });
    const inView = n => page.evaluate(n => {
        const [node, view] = [document.querySelector(`#tree g.node[data-tech="${n}"]`), document.getElementById('tree')].map(e => e.getBoundingClientRect());
        return node.left >= view.left && node.right <= view.right && node.top >= view.top && node.bottom <= view.bottom;
    }, n);
    for (const n of [0, 300, techs.length - 1]) {
        await page.click(`#tech-${n}`);
        assert.ok(await inView(n), `tech ${n} drawn out of view`);
    }
    const k = techs.findIndex(t => t.requiredBy.length && t.requiredTechs.some(r => r >= 0));
    await page.click('#zoom-fit');
    await page.click(`#tree g.node[data-tech="${k}"]`);
    assert.equal(await selected(page), k);
    assert.deepEqual(await fields(page), techs[k].view);
    const marked = cls => page.$$eval(`#tree g.node.${cls}`, nodes => nodes.map(n => Number(n.dataset.tech)).sort((a, b) => a - b));
    assert.deepEqual(await marked('required'), techs[k].requiredTechs.filter(r => r >= 0).sort((a, b) => a - b));
    assert.deepEqual(await marked('opens'), [...techs[k].requiredBy].sort((a, b) => a - b));
    const edges = cls => page.$$eval(`#tree g.edge.${cls} title`, titles => titles.map(t => t.textContent).sort());
    assert.deepEqual(await edges('required'), techs[k].requiredTechs.filter(r => r >= 0).map(r => `t${r}->t${k}`).sort());
    assert.deepEqual(await edges('opens'), techs[k].requiredBy.map(n => `t${k}->t${n}`).sort());
    for (const civ of [1, 9, 18]) {
        await page.selectOption('#civ', String(civ));
        await page.waitForFunction(n => document.querySelectorAll('#tree g.node').length === n, civTechs(civ), { timeout: 60000 });
    }
    const svg = (await download(page, '#tree-download')).toString();
    assert.equal(svg.match(/<g id="node\d+" class="node">/g).length, civTechs(18));
    await page.context().close();
});

h.test('the comparison of the demo pair and every download are the dump\'s bytes', async () => {
    const page = await h.openPage(browser, server.url);
    await openDemo(page);
    await page.click('#tab-compare');
    await page.setInputFiles('#pick-new', h.newFile);
    await page.waitForFunction(() => document.querySelector('#diff-md h4'));
    const headings = h.diffOf('markdown').toString().split('\n').filter(l => l.startsWith('### ')).map(l => l.slice(4).replace(/\\(.)/g, '$1'));
    assert.deepEqual(await texts(page, '#diff-md h4'), headings);
    const items = h.diffOf('markdown').toString().split('\n').filter(l => /^\s*- /.test(l)).map(l => l.replace(/^\s*- /, ''));
    const shownItems = await page.$$eval('#diff-md li', lis => lis.map(li => [...li.childNodes].filter(n => n.nodeName !== 'UL').map(n => n.textContent).join('')));
    assert.equal(shownItems.length, items.length);
    assert.deepEqual(shownItems.filter((_, i) => !items[i].includes('`')), items.filter(l => !l.includes('`')).map(l => l.replace(/\\(.)/g, '$1')));
    assert.equal(await page.$eval('#diff-text', pre => pre.textContent), h.diffOf('text').toString());
    const downloads = [
        ...['json', 'csv', 'dot', 'text'].map(f => [`[data-format=${f}]`, () => h.dumpOf(f)]),
        ...['markdown', 'json', 'text'].map(f => [`[data-diff=${f}]`, () => h.diffOf(f)]),
    ];
    for (const [button, expected] of downloads)
        assert.ok((await download(page, button)).equals(expected()), button);
    await page.context().close();
});

h.test('each failure shows its reason naming the file and keeps the earlier file', async () => {
    const version = h.inflated();
    version.write('VER 5.8', version.indexOf('VER 5.7'));
    const folder = path.join(h.tmp, 'other');
    fs.mkdirSync(folder);
    fs.writeFileSync(path.join(folder, 'a.txt'), 'a');
    fs.writeFileSync(path.join(folder, 'b.txt'), 'b');
    const cases = [
        ['not the data file', [h.badFile('readme.txt', 'This is not a data file.\n'), ...h.modules]],
        ['a cut stream', h.badFile('brannoch2_x1_p1.dat', h.demoBytes.subarray(0, 2000000))],
        ['a version error', h.badFile('brannoch2_x1_p1.dat', h.deflated(version))],
        ['a folder without the data file', folder, /No brannoch2_x1_p1\.dat among the 2 files/],
    ];
    const page = await h.openPage(browser, server.url);
    await openDemo(page);
    await page.click('#tech-42');
    for (const [name, file, expected] of cases) {
        await page.evaluate(() => document.getElementById('messages').replaceChildren());
        await page.setInputFiles(expected ? '#pick-folder' : '#pick-files', file);
        const shown = await (await page.waitForSelector('#messages p.error')).textContent();
        if (!expected) {
            const given = [file].flat()[0];
            const [status, , stderr] = h.dump(['--format', 'json', given]);
            assert.notEqual(status, 0, name);
            const reason = stderr.split('\n')[0].slice(`velmora-dump: ${given}: `.length);
            assert.ok(shown.includes(path.basename(given)) && shown.includes(reason), `${name}: "${shown}" lacks "${reason}"`);
        } else {
            assert.match(shown, expected, name);
        }
        assert.equal((await texts(page, '#techlist li')).length, techs.length, name);
        assert.equal(await selected(page), 42, name);
        assert.deepEqual(await fields(page), techs[42].view, name);
    }
    const dropped = await page.evaluateHandle(() => {
        const transfer = new DataTransfer();
        transfer.items.add(new File(['not a data file'], 'dropped.txt'));
        return transfer;
    });
    await page.dispatchEvent('#open', 'drop', { dataTransfer: dropped });
    await page.waitForFunction(() => /dropped\.txt/.test(document.getElementById('messages').textContent));
    assert.equal(await selected(page), 42);
    const broken = path.join(h.tmp, 'broken-module');
    fs.cpSync(h.game, broken, { recursive: true });
    fs.writeFileSync(path.join(broken, 'language.dll'), 'MZ but nothing more');
    await page.setInputFiles('#pick-folder', broken);
    await waitLoaded(page);
    assert.match((await texts(page, '#messages p')).join('\n'), /language\.dll.*not a module file/);
    await page.context().close();
});

h.test('the names are read in the chosen code page, as with --codepage, and the fragment keeps it', async () => {
    const bytes = h.inflated();
    bytes.set([0xcf, 0xf0, 0xe8, 0xf1, 0xf2, 0xe0], bytes.indexOf('Harbor Working'));
    const file = h.badFile('brannoch2_x1_p1.dat', h.deflated(bytes));
    const linesIn = codePage => h.dump(['--codepage', codePage, '--format', 'text', file])[1].toString().split('\n').filter(l => /^\d{3}:/.test(l));
    assert.notDeepEqual(linesIn('1251'), linesIn('1252'));
    const page = await h.openPage(browser, server.url);
    for (const codePage of ['1252', '1251']) {
        await page.selectOption('#codepage', codePage);
        await page.setInputFiles('#pick-files', [file, ...h.modules]);
        await waitLoaded(page);
        assert.deepEqual(await texts(page, '#techlist li'), linesIn(codePage), codePage);
    }
    // Another code page chosen reads the same files again.
    for (const codePage of ['1252', '1251']) {
        await page.selectOption('#codepage', codePage);
        await page.waitForFunction(line => document.getElementById('tech-6').textContent === line, linesIn(codePage)[6]);
    }
    assert.match(new URL(page.url()).hash, /codepage=1251/);
    await page.reload();
    assert.equal(await page.$eval('#codepage', select => select.value), '1251');
    await page.context().close();
});

h.test('the fragment keeps the tech, the view and the civilization across a reload and in a link', async () => {
    const page = await h.openPage(browser, server.url);
    await openDemo(page);
    await page.click('#tech-42');
    await page.click('#tab-tree');
    await page.selectOption('#civ', '3');
    assert.equal(new URL(page.url()).hash, '#tech=42&view=tree&civ=3');
    await page.reload();
    await openDemo(page);
    assert.equal(await selected(page), 42);
    assert.equal(await page.$eval('#tab-tree', tab => tab.getAttribute('aria-selected')), 'true');
    assert.equal(await page.$eval('#civ', select => select.value), '3');
    await page.context().close();
    const link = await h.openPage(browser, `${server.url}#tech=17&view=compare`);
    await openDemo(link);
    assert.equal(await selected(link), 17);
    assert.equal(await link.$eval('#view-compare', view => view.hidden), false);
    await link.context().close();
});

h.test('the page works offline once opened, through its service worker', async () => {
    const page = await h.openPage(browser, server.url);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 30000 });
    await page.context().setOffline(true);
    await page.reload();
    await openDemo(page);
    await page.click('#tab-tree');
    await page.waitForFunction(n => document.querySelectorAll('#tree g.node').length === n, techs.length, { timeout: 60000 });
    await page.context().close();
});

h.test('phone and desktop widths, light and dark: nothing wider than the window', async () => {
    const shots = path.join(h.site, '..', 'shots');
    fs.mkdirSync(shots, { recursive: true });
    const backgrounds = new Set();
    for (const [width, height] of [[1280, 900], [390, 844]])
        for (const colorScheme of ['light', 'dark']) {
            const page = await h.openPage(browser, `${server.url}#tech=6`, { viewport: { width, height }, colorScheme });
            await openDemo(page);
            assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= innerWidth), `${width} ${colorScheme}`);
            backgrounds.add(await page.evaluate(() => getComputedStyle(document.body).backgroundColor));
            await page.screenshot({ path: path.join(shots, `web-${width}-${colorScheme}.png`), fullPage: width < 600 });
            await page.context().close();
        }
    assert.equal(backgrounds.size, 2);
    if (process.env.VELMORA_UPDATE_DOCS)
        fs.copyFileSync(path.join(shots, 'web-1280-light.png'), path.join(h.root, 'docs/web.png'));
});

h.test('no request left the page\'s origin and no page threw', async () => {
    const origin = new URL(server.url).origin;
    const page = await h.openPage(browser, server.url);
    await openDemo(page);
    await page.click('#tab-tree');
    await page.waitForFunction(() => document.querySelectorAll('#tree g.node').length > 0, null, { timeout: 60000 });
    await page.context().close();
    assert.ok(h.requests.some(url => url.endsWith('/viz.js')) && h.requests.some(url => url.endsWith('.wasm')));
    assert.deepEqual(h.requests.filter(url => !/^(blob|data):/.test(url) && new URL(url).origin !== origin), []);
    assert.deepEqual(h.pageErrors, []);
});

const failed = await h.run();
await browser.close();
server.stop();
process.exit(failed ? 1 : 0);
