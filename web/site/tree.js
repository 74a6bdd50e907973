// The drawn tech tree: Graphviz's SVG shown with pan and zoom, its nodes mapped to techs.

const techOfTitle = title => /^t(\d+)$/.exec(title)?.[1];

export class TreeView {
    constructor(host, onPick) {
        this.host = host;
        this.onPick = onPick;
        this.svg = null;
        this.nodes = new Map();  // tech -> its <g class="node">
        this.edges = [];         // {from, to, g}
        host.addEventListener('wheel', event => {
            if (!this.svg)
                return;
            event.preventDefault();
            const r = this.host.getBoundingClientRect();
            this.zoom(event.deltaY < 0 ? 1 / 1.2 : 1.2, (event.clientX - r.left) / r.width, (event.clientY - r.top) / r.height);
        }, { passive: false });
        host.addEventListener('pointerdown', event => this.startDrag(event));
        host.addEventListener('keydown', event => this.key(event));
    }

    // Shows `svgText` as Graphviz wrote it; returns the number of techs drawn.
    show(svgText) {
        const parsed = new DOMParser().parseFromString(svgText, 'image/svg+xml').documentElement;
        if (parsed.nodeName !== 'svg')
            throw new Error('Graphviz gave no picture');
        this.svg = document.importNode(parsed, true);
        this.svg.removeAttribute('width');
        this.svg.removeAttribute('height');
        this.svg.setAttribute('preserveAspectRatio', 'xMidYMid meet');
        this.svg.setAttribute('role', 'img');
        this.nodes.clear();
        this.edges = [];
        for (const g of this.svg.querySelectorAll('g.node')) {
            const k = techOfTitle(g.querySelector('title')?.textContent ?? '');
            if (k === undefined)
                continue;
            g.dataset.tech = k;
            this.nodes.set(Number(k), g);
        }
        for (const g of this.svg.querySelectorAll('g.edge')) {
            const m = /^t(\d+)->t(\d+)$/.exec(g.querySelector('title')?.textContent ?? '');
            if (m)
                this.edges.push({ from: Number(m[1]), to: Number(m[2]), g });
        }
        this.whole = this.svg.viewBox.baseVal ? { ...pick(this.svg.viewBox.baseVal) } : { x: 0, y: 0, width: 100, height: 100 };
        // At first a readable scale, a point of the layout to a pixel, about the top left;
        // the selected tech's highlight then brings it into view. "Fit" shows it all.
        this.host.replaceChildren(this.svg);
        const { width, height } = this.host.getBoundingClientRect();
        const scale = Math.max(this.whole.width / Math.max(width, 1), this.whole.height / Math.max(height, 1));
        this.box = scale > 1 ? { ...this.whole, width: width || this.whole.width, height: height || this.whole.height } : { ...this.whole };
        this.apply();
        return this.nodes.size;
    }

    // Highlights tech k, the techs it requires and the techs it opens.
    highlight(k, required, opens) {
        if (!this.svg)
            return;
        for (const [tech, g] of this.nodes) {
            g.classList.toggle('selected', tech === k);
            g.classList.toggle('required', required.includes(tech));
            g.classList.toggle('opens', opens.includes(tech));
        }
        for (const e of this.edges) {
            e.g.classList.toggle('required', e.to === k);
            e.g.classList.toggle('opens', e.from === k);
        }
        const node = this.nodes.get(k);
        if (node)
            this.bringIntoView(this.placeOf(node));
    }

    // A node's box in the picture's own units: Graphviz draws in a group that it moves.
    placeOf(node) {
        const b = node.getBBox();
        const m = this.svg.querySelector('g.graph')?.transform.baseVal.consolidate()?.matrix ?? new DOMMatrix();
        const a = new DOMPoint(b.x, b.y).matrixTransform(m), c = new DOMPoint(b.x + b.width, b.y + b.height).matrixTransform(m);
        return { x: Math.min(a.x, c.x), y: Math.min(a.y, c.y), width: Math.abs(c.x - a.x), height: Math.abs(c.y - a.y) };
    }

    bringIntoView(b) {
        const v = this.box;
        if (b.x >= v.x && b.y >= v.y && b.x + b.width <= v.x + v.width && b.y + b.height <= v.y + v.height)
            return;
        v.x = b.x + b.width / 2 - v.width / 2;
        v.y = b.y + b.height / 2 - v.height / 2;
        this.apply();
    }

    apply() {
        const v = this.box;
        this.svg?.setAttribute('viewBox', `${v.x} ${v.y} ${v.width} ${v.height}`);
    }

    // Zooms by `factor` (below 1 is nearer) about the point at fractions fx, fy of the view.
    zoom(factor, fx = 0.5, fy = 0.5) {
        const v = this.box;
        const width = Math.min(Math.max(v.width * factor, 20), this.whole.width * 4);
        const height = width * v.height / v.width;
        v.x += (v.width - width) * fx;
        v.y += (v.height - height) * fy;
        v.width = width;
        v.height = height;
        this.apply();
    }

    fit() {
        this.box = { ...this.whole };
        this.apply();
    }

    // Moves the view by fractions of its size.
    pan(fx, fy) {
        this.box.x += fx * this.box.width;
        this.box.y += fy * this.box.height;
        this.apply();
    }

    key(event) {
        const steps = { ArrowLeft: [-0.1, 0], ArrowRight: [0.1, 0], ArrowUp: [0, -0.1], ArrowDown: [0, 0.1] };
        if (steps[event.key])
            this.pan(...steps[event.key]);
        else if (event.key === '+' || event.key === '=')
            this.zoom(1 / 1.2);
        else if (event.key === '-')
            this.zoom(1.2);
        else if (event.key === '0')
            this.fit();
        else
            return;
        event.preventDefault();
    }

    // A press that moves pans; one that does not is a click, which picks the tech under it.
    startDrag(event) {
        if (!this.svg || event.button !== 0)
            return;
        const start = { x: event.clientX, y: event.clientY, box: { ...this.box } };
        const tech = event.target.closest?.('g.node')?.dataset.tech;
        const scale = () => this.box.width / this.host.getBoundingClientRect().width;
        let moved = false;
        const move = e => {
            const dx = e.clientX - start.x, dy = e.clientY - start.y;
            if (!moved && Math.hypot(dx, dy) <= 4)
                return;
            if (!moved)
                this.host.setPointerCapture(event.pointerId);
            moved = true;
            this.box.x = start.box.x - dx * scale();
            this.box.y = start.box.y - dy * scale();
            this.apply();
        };
        const up = () => {
            this.host.removeEventListener('pointermove', move);
            this.host.removeEventListener('pointerup', up);
            if (!moved && tech !== undefined)
                this.onPick(Number(tech));
        };
        this.host.addEventListener('pointermove', move);
        this.host.addEventListener('pointerup', up);
    }
}

function pick({ x, y, width, height }) {
    return { x, y, width, height };
}
