// Finding the game's files among those dropped or chosen: the data file and the language
// modules by name, without regard to case, as the desktop finds them in the game folder.

export const DataFileName = 'brannoch2_x1_p1.dat';
// The language modules in the desktop's priority order.
export const ModuleNames = ['language_x1_p1.dll', 'Language_x1.dll', 'language.dll'];

const fold = text => text.toLowerCase();
const baseName = path => path.slice(path.lastIndexOf('/') + 1);
const folderOf = path => path.slice(0, Math.max(0, path.lastIndexOf('/')));

// Every file under a dropped item, as {path, file}, the path from the dropped item on.
async function walk(entry, into) {
    if (entry.isFile) {
        const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
        into.push({ path: entry.fullPath.replace(/^\//, ''), file });
        return;
    }
    const reader = entry.createReader();
    for (;;) {
        const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
        if (batch.length === 0)
            return;
        for (const child of batch)
            await walk(child, into);
    }
}

export async function droppedFiles(dataTransfer) {
    const entries = [...dataTransfer.items].map(item => item.webkitGetAsEntry?.()).filter(Boolean);
    if (entries.length === 0)
        return [...dataTransfer.files].map(file => ({ path: file.name, file }));
    const found = [];
    for (const entry of entries)
        await walk(entry, found);
    return found;
}

export function chosenFiles(fileList) {
    return [...fileList].map(file => ({ path: file.webkitRelativePath || file.name, file }));
}

// The data file and the modules among `files`: {data, modules: [entry or null] in priority
// order, shown: the data file's name for messages}, or {error}.
//
// In a folder the data file is Data/brannoch2_x1_p1.dat, the one nearest the top, and the
// modules are beside its Data folder. Files chosen one by one are taken by their names; a
// single file that is no module is taken for the data file whatever its name, so that a
// wrong file is told as such rather than passed over.
export function findGameFiles(files) {
    const depth = entry => entry.path.split('/').length;
    const named = files.filter(entry => fold(baseName(entry.path)) === DataFileName).sort((a, b) => depth(a) - depth(b));
    const isModule = entry => ModuleNames.some(name => fold(name) === fold(baseName(entry.path)));
    let data = named.find(entry => fold(baseName(folderOf(entry.path))) === 'data') ?? named[0];
    if (!data) {
        const others = files.filter(entry => !isModule(entry));
        if (others.length > 1)
            return { error: `No ${DataFileName} among the ${others.length} files given (${others.slice(0, 5).map(e => e.path).join(', ')}${others.length > 5 ? ', …' : ''}); choose the game folder or the data file itself.` };
        data = others[0];
        if (!data)
            return { error: files.length === 0 ? 'Nothing was dropped or chosen.' : `No data file: only language modules were given (${files.map(e => e.path).join(', ')}).` };
    }
    const dataFolder = folderOf(data.path);
    const gameFolder = fold(baseName(dataFolder)) === 'data' ? folderOf(dataFolder) : dataFolder;
    const modules = ModuleNames.map(name => files.find(entry =>
        fold(baseName(entry.path)) === fold(name) && fold(folderOf(entry.path)) === fold(gameFolder)) ?? null);
    // A chosen folder's paths begin with its own name, which the messages leave out.
    const top = data.path.indexOf('/');
    return { data, modules, shown: top >= 0 && files.every(e => e.path.includes('/')) ? data.path.slice(top + 1) : data.path };
}
