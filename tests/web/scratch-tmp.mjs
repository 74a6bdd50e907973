import * as h from './harness.mjs';
const s = await h.serve(); const b = await h.launch();
for (const scheme of ['light', 'dark']) {
const p = await h.openPage(b, s.url + '#tech=42&view=tree', { colorScheme: scheme });
await p.setInputFiles('#pick-folder', h.game);
await p.waitForFunction(() => document.querySelectorAll('#tree g.node').length > 0);
await p.waitForTimeout(300);
await p.screenshot({ path: `/tmp/tree-${scheme}.png` });
await p.click('#tab-compare');
await p.setInputFiles('#pick-new', h.newFile);
await p.waitForFunction(() => document.querySelector('#diff-md h4'));
await p.screenshot({ path: `/tmp/cmp-${scheme}.png` });
}
await b.close(); s.stop(); h.cleanup(); process.exit(0);
