// The page: opening the game's files, the tech list and the details as the dialog shows
// them, the drawn tree, the comparison and the downloads. The work is done in worker.js.
import { chosenFiles, droppedFiles, findGameFiles, ModuleNames } from './files.js';
import { renderMarkdown } from './markdown.js';
import { TreeView } from './tree.js';

const $ = id => document.getElementById(id);

// The boxes the user may type into, as in the dialog; the core gives every other part of
// the detail fields.
const Typed = new Set(['nameStringIdText', 'helpStringIdText', 'effectNoText']);

const state = {
    dump: null,        // the JSON dump of the loaded file
    entries: null,     // each drop-down list's entries, by its member
    source: null,      // the files it came from: {data, modules, shown}
    newFile: null,     // the comparison's new data file: {path, file}
    diffLoaded: false, // the core holds the new file
    tech: -1,
    view: 'details',
    civ: 'all',
    svg: null,         // the tree as Graphviz drew it, for the download
    treeFor: null,     // the filter the drawn tree shows
};

// The worker ------------------------------------------------------------------------------

const worker = new Worker(new URL('./worker.js', import.meta.url), { type: 'module' });
const pending = new Map();
let nextId = 1;
worker.onmessage = ({ data }) => {
    if (data.progress !== undefined)
        return void ($('progress').textContent = data.progress);
    const call = pending.get(data.id);
    pending.delete(data.id);
    data.ok ? call.resolve(data) : call.reject(new Error(data.error));
};
worker.onerror = event => showMessages([`The worker failed: ${event.message ?? 'it could not be started'}`]);

function ask(op, args = {}, transfer = []) {
    const id = nextId++;
    return new Promise((resolve, reject) => {
        pending.set(id, { resolve, reject });
        worker.postMessage({ id, op, ...args }, transfer);
    });
}

// Messages and progress --------------------------------------------------------------------

function showMessages(lines, kind = 'error') {
    const box = $('messages');
    box.replaceChildren(...lines.map(text => Object.assign(document.createElement('p'), { textContent: text, className: kind })));
}

function setProgress(text) {
    $('progress').textContent = text;
}

// Opening ------------------------------------------------------------------------------------

const codePage = () => Number($('codepage').value);

function showFound(found) {
    const top = found.data.path.slice(0, found.data.path.length - found.shown.length);
    const items = [`Data file: ${found.shown}`, ...ModuleNames.map((name, i) =>
        `${name}: ${found.modules[i] ? found.modules[i].path.slice(top.length) : 'missing'}`)];
    if (found.modules.every(m => !m))
        items.push('No language modules: the texts are empty, as on the desktop.');
    $('found').replaceChildren(...items.map(text => Object.assign(document.createElement('li'), { textContent: text })));
}

async function loadSlot(slot, data, modules, fileName) {
    const buffers = await Promise.all([data, ...modules].map(entry => entry ? entry.file.arrayBuffer() : null));
    const [bytes, ...moduleBytes] = buffers;
    const answer = await ask('load', { slot, data: bytes, modules: moduleBytes, codePage: codePage(), fileName },
        buffers.filter(Boolean));
    return answer;
}

let loads = 0;
async function openFiles(files) {
    const found = findGameFiles(files);
    if (found.error)
        return showMessages([found.error]);
    const ticket = ++loads;
    setProgress(`Reading ${found.shown}…`);
    let answer;
    try {
        answer = await loadSlot(0, found.data, found.modules, found.shown);
    } catch (error) {
        setProgress('');
        return showMessages([`${found.shown}: ${error.message}`]);
    }
    if (ticket !== loads)
        return;
    const { result, dump, form } = answer;
    if (!result.ok) {
        setProgress(state.dump ? `Still showing ${state.source.shown}.` : '');
        return showMessages([result.reason, ...result.messages]);
    }
    showMessages(result.messages, 'notice');
    showFound(found);
    state.source = found;
    state.dump = dump;
    if (!state.entries)
        buildFields(form);
    state.svg = null;
    state.treeFor = null;
    setProgress(`${found.shown}: ${dump.techs.length} techs.`);
    fillList();
    $('main').hidden = false;
    restore();
    if (state.newFile)
        await openNewFile(state.newFile);
    $('techlist').focus({ preventScroll: true });
}

async function openNewFile(entry) {
    if (!state.source)
        return showMessages(['Open the game folder or its data file first: the file dropped here is compared with it.']);
    try {
        const { result } = await loadSlot(1, entry, state.source.modules, entry.path);
        if (!result.ok)
            return showMessages([result.reason, ...result.messages]);
        state.newFile = entry;
        state.diffLoaded = true;
        $('new-name').textContent = `New: ${entry.path}`;
        await showDiff();
    } catch (error) {
        showMessages([`${entry.path}: ${error.message}`]);
    }
}

async function showDiff() {
    const [md, text] = await Promise.all([ask('diff', { format: 'markdown' }), ask('diff', { format: 'text' })]);
    renderMarkdown($('diff-md'), new TextDecoder().decode(md.bytes));
    $('diff-text').textContent = new TextDecoder().decode(text.bytes);
    setProgress(md.status === 0 ? 'The two files hold the same techs.' : 'The comparison is shown under Comparison.');
}

// The tech list and the find box ---------------------------------------------------------

function fillList() {
    const list = $('techlist');
    list.replaceChildren(...state.dump.techs.map((t, k) => {
        const li = document.createElement('li');
        li.id = `tech-${k}`;
        li.setAttribute('role', 'option');
        li.setAttribute('aria-selected', 'false');
        li.textContent = t.line;
        return li;
    }));
    state.tech = -1;
    const civ = $('civ');
    if (civ.options.length === 1)
        civ.append(...state.entries.civList.slice(1).map((name, i) => new Option(name, String(i + 1))));
}

function select(k, { scroll = true } = {}) {
    const techs = state.dump?.techs;
    if (!techs || k < 0 || k >= techs.length)
        return;
    const list = $('techlist');
    list.children[state.tech]?.setAttribute('aria-selected', 'false');
    state.tech = k;
    const li = list.children[k];
    li.setAttribute('aria-selected', 'true');
    list.setAttribute('aria-activedescendant', li.id);
    if (scroll)
        li.scrollIntoView({ block: 'nearest' });
    showTech(techs[k]);
    highlightTree();
    remember();
}

function listKey(event) {
    const count = state.dump?.techs.length ?? 0;
    const page = Math.max(1, Math.floor($('techlist').clientHeight / ($('techlist').firstElementChild?.offsetHeight || 20)) - 1);
    const moves = { ArrowDown: 1, ArrowUp: -1, PageDown: page, PageUp: -page, Home: -count, End: count };
    if (!(event.key in moves) || count === 0)
        return;
    event.preventDefault();
    select(Math.min(count - 1, Math.max(0, (state.tech < 0 ? 0 : state.tech) + moves[event.key])));
}

let findFrom = null;  // what had the focus when the find box opened
function openFind() {
    if ($('findbar').hidden)
        findFrom = document.activeElement;
    $('findbar').hidden = false;
    $('find').focus();
    $('find').select();
}

function closeFind() {
    $('findbar').hidden = true;
    (findFrom && document.contains(findFrom) ? findFrom : $('techlist')).focus();
}

// The first line from `start` on (or back), around the end, whose text holds `text`
// without regard to case: the desktop's find.
function findLine(text, start, backward) {
    const lines = state.dump?.techs ?? [];
    const wanted = text.toLowerCase();
    const count = lines.length;
    if (!wanted || !count)
        return -1;
    let line = start >= 0 && start < count ? start : (backward ? count - 1 : 0);
    for (let seen = 0; seen < count; ++seen, line = (line + (backward ? count - 1 : 1)) % count)
        if (lines[line].line.toLowerCase().includes(wanted))
            return line;
    return -1;
}

function find(step) {
    const text = $('find').value;
    const start = { typed: 0, next: state.tech + 1, previous: state.tech - 1 }[step];
    const line = findLine(text, start, step === 'previous');
    $('find').classList.toggle('notfound', line < 0 && text !== '');
    $('find').setAttribute('aria-invalid', String(line < 0 && text !== ''));
    if (line >= 0)
        select(line);
}

// The details --------------------------------------------------------------------------------

// The detail fields as the core describes them: a row for each caption, holding the fields
// after it that have none.
function buildFields(fields) {
    const form = $('fields');
    state.entries = {};
    let row = null;
    for (const { caption, member, name, control, entries } of fields) {
        if (caption || !row) {
            row = Object.assign(document.createElement('div'), { className: 'field' });
            row.append(Object.assign(document.createElement('span'), { className: 'caption', textContent: caption }));
            form.append(row);
        }
        const input = document.createElement('input');
        input.dataset.member = member;
        input.setAttribute('aria-label', name);
        if (control === 'check') {
            input.type = 'checkbox';
            input.setAttribute('aria-readonly', 'true');
            input.addEventListener('click', event => event.preventDefault());
        } else {
            input.readOnly = !Typed.has(member);
            input.spellcheck = false;
            input.className = control === 'text' ? 'text' : control === 'list' ? 'entry' : 'number';
            if (control === 'list') {
                input.dataset.entries = member;
                state.entries[member] = entries;
            }
        }
        row.append(input);
    }
    form.addEventListener('submit', event => event.preventDefault());
    const typed = (member, shows) => form.querySelector(`[data-member=${member}]`).addEventListener('input', shows);
    typed('nameStringIdText', () => showString('nameStringIdText', 'nameText'));
    typed('helpStringIdText', () => showString('helpStringIdText', 'helpText'));
    typed('effectNoText', () => showEffect(field('effectNoText').value));
}

const field = member => $('fields').querySelector(`[data-member=${member}]`);

function showTech(tech) {
    for (const input of $('fields').querySelectorAll('input')) {
        const value = tech.view[input.dataset.member];
        if (input.type === 'checkbox') {
            input.checked = value;
        } else if (input.dataset.entries) {
            input.dataset.selection = value;
            input.value = state.entries[input.dataset.member][value] ?? '';
        } else {
            input.value = value;
        }
    }
    showEffectLines(tech.effectLines);
}

let typedSeq = 0;
async function showString(idMember, textMember) {
    const seq = ++typedSeq;
    const { text } = await ask('stringText', { slot: 0, typed: field(idMember).value });
    if (seq === typedSeq)
        field(textMember).value = text;
}

async function showEffect(typed) {
    const seq = ++typedSeq;
    const { lines } = await ask('effectLines', { slot: 0, typed });
    if (seq === typedSeq)
        showEffectLines(lines);
}

function showEffectLines(lines, selected = -1) {
    const list = $('effectlist');
    list.replaceChildren(...lines.map((text, i) => {
        const li = document.createElement('li');
        li.id = `effect-line-${i}`;
        li.setAttribute('role', 'option');
        li.setAttribute('aria-selected', 'false');
        li.textContent = text;
        return li;
    }));
    list.removeAttribute('aria-activedescendant');
    for (const box of $('command').querySelectorAll('input'))
        box.value = '';
    if (selected >= 0)
        selectEffectLine(selected);
}

async function selectEffectLine(i) {
    const list = $('effectlist');
    if (i < 0 || i >= list.children.length)
        return;
    for (const li of list.children)
        li.setAttribute('aria-selected', String(li === list.children[i]));
    list.setAttribute('aria-activedescendant', list.children[i].id);
    list.children[i].scrollIntoView({ block: 'nearest' });
    const seq = ++typedSeq;
    const { command } = await ask('effectCommand', { slot: 0, typed: field('effectNoText').value, line: i });
    if (seq !== typedSeq)
        return;
    for (const box of $('command').querySelectorAll('input'))
        box.value = command ? command[box.dataset.box] : '';
}

function effectKey(event) {
    const list = $('effectlist');
    const current = [...list.children].findIndex(li => li.getAttribute('aria-selected') === 'true');
    const moves = { ArrowDown: 1, ArrowUp: -1, Home: -list.children.length, End: list.children.length };
    if (!(event.key in moves) || !list.children.length)
        return;
    event.preventDefault();
    selectEffectLine(Math.min(list.children.length - 1, Math.max(0, (current < 0 ? 0 : current) + moves[event.key])));
}

// Beyond the desktop: every tech's effect lines that hold a text.
function searchEffects() {
    const wanted = $('effectsearch').value.toLowerCase();
    const hits = [];
    if (wanted)
        state.dump?.techs.forEach((t, k) => t.effectLines.forEach((line, i) => {
            if (line.toLowerCase().includes(wanted))
                hits.push({ k, i, text: `${t.line}  ${line}` });
        }));
    const shown = hits.slice(0, 200);
    $('effecthits').replaceChildren(...shown.map(hit => {
        const button = Object.assign(document.createElement('button'), { type: 'button', textContent: hit.text });
        button.addEventListener('click', () => { select(hit.k); selectEffectLine(hit.i); });
        const li = document.createElement('li');
        li.append(button);
        return li;
    }));
    const techs = new Set(hits.map(h => h.k)).size;
    $('effectcount').textContent = !wanted ? '' : `${hits.length} lines in ${techs} techs${hits.length > shown.length ? `; the first ${shown.length} shown` : ''}.`;
}

// The tree ----------------------------------------------------------------------------------

const tree = new TreeView($('tree'), k => select(k));

// The techs a civilization can research: its own and those of no civilization.
function techsOf(civ) {
    if (civ === 'all')
        return null;
    return state.dump.techs.flatMap((t, k) => t.view.civList === 0 || t.view.civList === Number(civ) ? [k] : []);
}

async function drawTree() {
    if (!state.dump || state.treeFor === state.civ)
        return;
    const civ = state.civ;
    state.treeFor = civ;
    try {
        const { svg, layoutMs } = await ask('layout', { techs: techsOf(civ) });
        if (state.treeFor !== civ)
            return;
        state.svg = svg;
        const count = tree.show(svg);
        $('tree-count').textContent = `${count} techs, laid out in ${(layoutMs / 1000).toFixed(2)} s`;
        setProgress('');
        highlightTree();
    } catch (error) {
        state.treeFor = null;
        showMessages([`The tree could not be laid out: ${error.message}`]);
    }
}

function highlightTree() {
    const t = state.dump?.techs[state.tech];
    if (!t)
        return;
    const count = state.dump.techs.length;
    tree.highlight(state.tech, t.requiredTechs.filter(r => r >= 0 && r < count), t.requiredBy);
}

// Views and the address's fragment -------------------------------------------------------------

function setView(view) {
    state.view = ['details', 'tree', 'compare'].includes(view) ? view : 'details';
    for (const tab of document.querySelectorAll('[role=tab]')) {
        const on = tab.dataset.view === state.view;
        tab.setAttribute('aria-selected', String(on));
        tab.tabIndex = on ? 0 : -1;
        $(`view-${tab.dataset.view}`).hidden = !on;
    }
    if (state.view === 'tree')
        drawTree();
    remember();
}

function remember() {
    if (!state.dump)
        return;
    const fragment = new URLSearchParams({ tech: String(state.tech), view: state.view, civ: state.civ });
    if (codePage() !== 1252)
        fragment.set('codepage', String(codePage()));
    history.replaceState(null, '', `#${fragment}`);
}

// Where the fragment says the user was; the code page before a load, the rest after it.
function restore() {
    const fragment = new URLSearchParams(location.hash.slice(1));
    if (!state.dump)
        return;
    const civ = fragment.get('civ');
    state.civ = [...$('civ').options].some(o => o.value === civ) ? civ : 'all';
    $('civ').value = state.civ;
    const tech = Number.parseInt(fragment.get('tech') ?? '', 10);
    select(tech >= 0 && tech < state.dump.techs.length ? tech : Math.max(0, Math.min(state.tech, state.dump.techs.length - 1)));
    setView(fragment.get('view'));
}

function restoreCodePage() {
    const wanted = new URLSearchParams(location.hash.slice(1)).get('codepage');
    if (wanted && [...$('codepage').options].some(o => o.value === wanted))
        $('codepage').value = wanted;
}

// Downloads ----------------------------------------------------------------------------------

const Types = { json: 'application/json', csv: 'text/csv', dot: 'text/vnd.graphviz', text: 'text/plain', markdown: 'text/markdown', svg: 'image/svg+xml' };
const Extensions = { json: 'json', csv: 'csv', dot: 'dot', text: 'txt', markdown: 'md', svg: 'svg' };

function save(bytes, name, format) {
    const url = URL.createObjectURL(new Blob([bytes], { type: Types[format] }));
    const a = Object.assign(document.createElement('a'), { href: url, download: name });
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
}

const stem = () => (state.source?.data.path ?? 'techs').replace(/^.*\//, '').replace(/\.[^.]*$/, '');

// Wiring -------------------------------------------------------------------------------------

function wire() {
    restoreCodePage();
    $('pick-folder').addEventListener('change', event => { openFiles(chosenFiles(event.target.files)); event.target.value = ''; });
    $('pick-files').addEventListener('change', event => { openFiles(chosenFiles(event.target.files)); event.target.value = ''; });
    $('pick-new').addEventListener('change', event => {
        const [entry] = chosenFiles(event.target.files);
        event.target.value = '';
        if (entry)
            openNewFile(entry);
    });
    $('codepage').addEventListener('change', async () => {
        if (!state.source)
            return;
        const { data, modules } = state.source;
        await openFiles([data, ...modules.filter(Boolean)].map(e => ({ ...e })));
        remember();
    });
    document.addEventListener('dragover', event => {
        event.preventDefault();
        document.body.classList.add('dragging');
    });
    document.addEventListener('dragleave', event => {
        if (!event.relatedTarget)
            document.body.classList.remove('dragging');
    });
    document.addEventListener('drop', async event => {
        event.preventDefault();
        document.body.classList.remove('dragging');
        const files = await droppedFiles(event.dataTransfer);
        if (event.target.closest?.('#drop-new'))
            return files.length === 1 ? openNewFile(files[0]) : showMessages(['Drop one data file here, the new one of the comparison.']);
        openFiles(files);
    });

    $('techlist').addEventListener('keydown', listKey);
    $('techlist').addEventListener('click', event => {
        const li = event.target.closest('li[role=option]');
        if (li)
            select([...li.parentNode.children].indexOf(li), { scroll: false });
    });
    $('effectlist').addEventListener('keydown', effectKey);
    $('effectlist').addEventListener('click', event => {
        const li = event.target.closest('li[role=option]');
        if (li)
            selectEffectLine([...li.parentNode.children].indexOf(li));
    });
    $('find').addEventListener('input', () => find('typed'));
    $('find').addEventListener('keydown', event => {
        if (event.key === 'Enter' || (event.key === 'F3' && !event.shiftKey))
            find('next');
        else if (event.key === 'F3')
            find('previous');
        else if (event.key === 'Escape')
            closeFind();
        else
            return;
        event.preventDefault();
        event.stopPropagation();
    });
    document.addEventListener('keydown', event => {
        if (!state.dump)
            return;
        if ((event.ctrlKey || event.metaKey) && event.key.toLowerCase() === 'f') {
            event.preventDefault();
            openFind();
        } else if (event.key === 'F3') {
            event.preventDefault();
            if (!$('find').value)
                return openFind();
            find(event.shiftKey ? 'previous' : 'next');
        }
    });
    $('effectsearch').addEventListener('input', searchEffects);

    for (const tab of document.querySelectorAll('[role=tab]')) {
        tab.addEventListener('click', () => setView(tab.dataset.view));
        tab.addEventListener('keydown', event => {
            const tabs = [...document.querySelectorAll('[role=tab]')];
            const step = { ArrowRight: 1, ArrowLeft: -1 }[event.key];
            if (!step)
                return;
            const next = tabs[(tabs.indexOf(tab) + step + tabs.length) % tabs.length];
            next.focus();
            setView(next.dataset.view);
        });
    }
    $('civ').addEventListener('change', () => {
        state.civ = $('civ').value;
        remember();
        drawTree();
    });
    $('zoom-in').addEventListener('click', () => tree.zoom(1 / 1.2));
    $('zoom-out').addEventListener('click', () => tree.zoom(1.2));
    $('zoom-fit').addEventListener('click', () => tree.fit());
    $('tree-download').addEventListener('click', () => {
        if (state.svg)
            save(state.svg, `${stem()}-tree${state.civ === 'all' ? '' : `-${state.entries.civList[state.civ]}`}.svg`, 'svg');
    });
    for (const button of document.querySelectorAll('[data-format]'))
        button.addEventListener('click', async () => {
            const { bytes } = await ask('dump', { slot: 0, format: button.dataset.format });
            save(bytes, `${stem()}.${Extensions[button.dataset.format]}`, button.dataset.format);
        });
    for (const button of document.querySelectorAll('[data-diff]'))
        button.addEventListener('click', async () => {
            if (!state.diffLoaded)
                return showMessages(['Choose or drop the new data file to compare the loaded one with.']);
            const { bytes } = await ask('diff', { format: button.dataset.diff });
            save(bytes, `${stem()}-changes.${Extensions[button.dataset.diff]}`, button.dataset.diff);
        });
    $('diff-as-text').addEventListener('change', event => {
        $('diff-md').hidden = event.target.checked;
        $('diff-text').hidden = !event.target.checked;
    });
    window.addEventListener('hashchange', restore);

    ask('version').then(({ version }) => { $('version').textContent = `Velmora ${version}`; },
        error => showMessages([`The core could not be started: ${error.message}`]));
    if ('serviceWorker' in navigator)
        navigator.serviceWorker.register('sw.js').catch(() => {});
}

wire();
