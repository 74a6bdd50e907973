// The Markdown that the comparison writes, rendered into elements: headings, nested "- "
// lists, paragraphs, `code` and backslash escapes. Every piece of text becomes a text node,
// so nothing in the data file can become markup.

function inline(parent, text) {
    let plain = '';
    const flush = () => { if (plain) parent.append(plain); plain = ''; };
    for (let i = 0; i < text.length; ++i) {
        const c = text[i];
        if (c === '\\' && i + 1 < text.length && /[!-/:-@[-`{-~]/.test(text[i + 1])) {
            plain += text[++i];
        } else if (c === '`') {
            let ticks = 1;
            while (text[i + ticks] === '`')
                ++ticks;
            const fence = '`'.repeat(ticks);
            const end = text.indexOf(fence, i + ticks);
            if (end < 0) {
                plain += fence;
                i += ticks - 1;
                continue;
            }
            flush();
            const code = document.createElement('code');
            code.textContent = text.slice(i + ticks, end).replace(/^ (.*) $/, '$1');
            parent.append(code);
            i = end + ticks - 1;
        } else {
            plain += c;
        }
    }
    flush();
}

export function renderMarkdown(target, markdown) {
    target.replaceChildren();
    const lists = [];  // the open lists, outermost first, with their items' indent
    let paragraph = null;
    for (const line of markdown.split('\n')) {
        const heading = /^(#{1,6}) (.*)$/.exec(line);
        const item = /^( *)[-*] (.*)$/.exec(line);
        if (!line.trim() || heading) {
            lists.length = 0;
            paragraph = null;
        }
        if (heading) {
            const h = document.createElement(`h${Math.min(6, heading[1].length + 1)}`);
            inline(h, heading[2]);
            target.append(h);
        } else if (item) {
            paragraph = null;
            const indent = item[1].length;
            while (lists.length && lists.at(-1).indent > indent)
                lists.pop();
            if (!lists.length || lists.at(-1).indent < indent) {
                const ul = document.createElement('ul');
                (lists.length ? lists.at(-1).ul.lastElementChild : target).append(ul);
                lists.push({ ul, indent });
            }
            const li = document.createElement('li');
            inline(li, item[2]);
            lists.at(-1).ul.append(li);
        } else if (line.trim()) {
            if (lists.length) {
                inline(lists.at(-1).ul.lastElementChild, ' ' + line.trim());
                continue;
            }
            if (!paragraph) {
                paragraph = document.createElement('p');
                target.append(paragraph);
            } else {
                paragraph.append(' ');
            }
            inline(paragraph, line.trim());
        }
    }
}
