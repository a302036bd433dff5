// The design view's own script. It runs in an isolated world of every page the engine shows, so
// the page's scripts (which never run) could not see it anyway. C++ reaches it through
// PlovaneEngine: objects are handed out as numbered handles, and each member is read, written or
// called by name with the classic semantics the callers were written against.
(function () {
    'use strict';
    if (window.PlovaneEngine) return;

    // ---- handles -------------------------------------------------------------------------------

    const objects = new Map();   // handle -> {obj, refs}
    const handleOf = new Map();  // obj -> handle, so one object keeps one number
    let nextHandle = 1;

    function toHandle(obj) {
        let h = handleOf.get(obj);
        if (h === undefined) {
            h = nextHandle++;
            handleOf.set(obj, h);
            objects.set(h, {obj: obj, refs: 0});
        }
        objects.get(h).refs++;
        return h;
    }

    function release(list) {
        for (const h of list) {
            const entry = objects.get(h);
            if (!entry) continue;
            if (--entry.refs <= 0) {
                objects.delete(h);
                handleOf.delete(entry.obj);
            }
        }
    }

    function fromHandle(h) {
        const entry = objects.get(h);
        if (!entry) throw new Error('The object is no longer available.');
        return entry.obj;
    }

    // ---- editor state --------------------------------------------------------------------------

    const state = {
        dirty: false,
        version: 0,          // bumped by every document change; invalidates the text model
        control: null,       // the element of a control selection
        lastEvent: null,
        snapToGrid: false,
        grid: 8,
        drag: null,
        details: false,
        borders: false,
    };

    const observer = new MutationObserver(function (records) {
        if (records.every(isGlyphRecord)) return;
        state.dirty = true;
        state.version++;
        if (state.details) refreshGlyphs();   // the observer already batches a task's changes
        post('DisplayChanged', []);
    });
    function observe() {
        observer.observe(document, {subtree: true, childList: true, attributes: true, characterData: true});
    }

    let sink = null;
    const pending = [];
    function post(kind, args) {
        if (sink) sink.post(kind, args);
        else pending.push([kind, args]);
    }
    if (typeof QWebChannel !== 'undefined' && typeof qt !== 'undefined') {
        new QWebChannel(qt.webChannelTransport, function (channel) {
            sink = channel.objects.engineEvents;
            for (const p of pending.splice(0)) sink.post(p[0], p[1]);
        });
    }

    // ---- value conversion ----------------------------------------------------------------------

    function out(v) {
        if (v === undefined || v === null) return null;
        switch (typeof v) {
            case 'boolean':
            case 'string':
                return v;
            case 'number':
                return Number.isFinite(v) ? v : null;
            case 'bigint':
                return Number(v);
            case 'function':
                return null;
        }
        if (Array.isArray(v)) return v.map(out);
        if (v instanceof CSSStyleDeclaration) return null;
        if (v instanceof HTMLCollection || v instanceof NodeList) {
            const live = v;
            v = new Collection(function () { return visible(Array.from(live)); });
        }
        return {h: toHandle(v)};
    }

    function inp(v) {
        if (v !== null && typeof v === 'object' && 'h' in v) return fromHandle(v.h);
        return v === null ? undefined : v;
    }

    // ---- elements ------------------------------------------------------------------------------

    const attributeAliases = {classname: 'class', htmlfor: 'for', httpequiv: 'http-equiv'};
    function attrName(name) {
        const n = String(name);
        return attributeAliases[n.toLowerCase()] || n;
    }

    function isEditorArtefact(node) {
        return node.nodeType === 1 && node.hasAttribute('data-plovane-editor');
    }
    function visible(list) {
        return list.filter(function (n) { return !isEditorArtefact(n); });
    }

    // Every element and comment in document order: the classic "all" collection.
    function allBelow(root) {
        const list = [];
        const walker = document.createTreeWalker(root, NodeFilter.SHOW_ELEMENT | NodeFilter.SHOW_COMMENT);
        let n = walker.nextNode();
        while (n) {
            if (!isEditorArtefact(n)) list.push(n);
            n = walker.nextNode();
        }
        return list;
    }

    function ownerDoc(node) {
        return node.nodeType === 9 ? node : node.ownerDocument;
    }

    function tagNameOf(node) {
        if (node.nodeType === 8) return '!';
        if (node.nodeType === 1) return node.tagName;
        return '';
    }

    function commentText(node) {
        return '<!--' + node.data + '-->';
    }
    function setCommentText(node, text) {
        const m = /^<!--([\s\S]*)-->$/.exec(String(text));
        if (m) node.data = m[1];
        else {
            const m2 = /^<!([\s\S]*)>$/.exec(String(text));
            node.data = m2 ? m2[1] : String(text);
        }
    }

    function parseFragment(context, html) {
        const range = ownerDoc(context).createRange();
        range.selectNodeContents(context.nodeType === 1 ? context : ownerDoc(context).body);
        return range.createContextualFragment(String(html));
    }

    // createElement accepts a tag name or a whole start tag ("<MAP name=x>").
    function createElementFrom(doc, text) {
        const t = String(text).trim();
        if (/^comment$/i.test(t)) return doc.createElement('COMMENT');
        if (t.startsWith('<')) {
            const holder = doc.createElement('template');
            holder.innerHTML = t;
            const el = holder.content.firstElementChild;
            if (!el) throw new Error('Invalid argument.');
            return doc.adoptNode(el);
        }
        return doc.createElement(t);
    }

    function sourceIndexOf(node) {
        return allBelow(ownerDoc(node)).indexOf(node);
    }

    function tableCells(table) {
        const cells = [];
        for (const row of Array.from(table.rows)) cells.push.apply(cells, Array.from(row.cells));
        return cells;
    }

    const elementMembers = {
        tagName: {get: tagNameOf},
        nodeName: {get: tagNameOf},
        all: {get: function (el) { return new Collection(function () { return allBelow(el); }); }},
        children: {get: function (el) {
            return new Collection(function () { return el.nodeType === 8 ? [] : visible(Array.from(el.children)); });
        }},
        style: {get: function (el) { return new StyleObject(el); }},
        document: {get: function (el) { return el.ownerDocument; }},
        sourceIndex: {get: sourceIndexOf},
        cells: {get: function (el) {
            return new Collection(function () {
                return el.tagName === 'TABLE' ? tableCells(el) : Array.from(el.cells || []);
            });
        }},
        outerHTML: {
            get: function (el) { return el.nodeType === 8 ? commentText(el) : cleanMarkup(el, true); },
            put: function (el, v) {
                if (el.nodeType === 8) el.replaceWith(parseFragment(el.parentNode, v));
                else el.outerHTML = String(v);
            },
        },
        text: {
            get: function (el) {
                if (el.nodeType === 8) return commentText(el);
                if (el.tagName === 'BODY') return el.getAttribute('text') || '';
                return 'text' in el ? el.text : el.textContent;
            },
            put: function (el, v) {
                if (el.nodeType === 8) setCommentText(el, v);
                else if (el.tagName === 'BODY') setAttr(el, 'text', v);
                else if ('text' in el) el.text = String(v);
                else el.textContent = String(v);
            },
        },
        innerHTML: {
            get: function (el) { return el.nodeType === 8 ? '' : cleanMarkup(el, false); },
            put: function (el, v) { el.innerHTML = String(v === null || v === undefined ? '' : v); },
        },
        innerText: {
            get: function (el) { return el.nodeType === 8 ? el.data : el.innerText; },
            put: function (el, v) { if (el.nodeType === 8) el.data = String(v); else el.innerText = String(v); },
        },
        parentElement: {get: function (el) { return el.parentElement; }},
        getAttribute: {call: function (el, name) {
            if (el.nodeType !== 1) return '';
            const v = el.getAttribute(attrName(name));
            return v === null ? '' : v;
        }},
        setAttribute: {call: function (el, name, value) { setAttr(el, attrName(name), value); }},
        removeAttribute: {call: function (el, name) {
            const n = attrName(name);
            const had = el.hasAttribute(n);
            el.removeAttribute(n);
            return had;
        }},
        removeNode: {call: function (el, deep) {
            if (!deep && el.nodeType === 1) {
                while (el.firstChild) el.parentNode.insertBefore(el.firstChild, el);
            }
            el.remove();
            return el;
        }},
        insertAdjacentElement: {call: function (el, where, other) {
            return el.insertAdjacentElement(String(where), other);
        }},
        createTextRange: {call: function (el) { return TextRange.over(el); }},
        contains: {call: function (el, other) { return !!other && el.contains(other); }},
    };

    function setAttr(el, name, value) {
        if (value === undefined || value === null || value === '') el.removeAttribute(name);
        else el.setAttribute(name, String(value));
    }

    // ---- the document --------------------------------------------------------------------------

    const scratchDocuments = new WeakSet();

    function declaredCharset(doc) {
        for (const meta of Array.from(doc.getElementsByTagName('meta'))) {
            const direct = meta.getAttribute('charset');
            if (direct) return direct.trim();
            if ((meta.getAttribute('http-equiv') || '').toLowerCase() === 'content-type') {
                const m = /charset\s*=\s*["']?([^\s;"']+)/i.exec(meta.getAttribute('content') || '');
                if (m) return m[1];
            }
        }
        return '';
    }

    const documentMembers = {
        all: {get: function (doc) { return new Collection(function () { return allBelow(doc); }); }},
        images: {get: function (doc) { return tagCollection(doc, 'IMG'); }},
        links: {get: function (doc) {
            return new Collection(function () {
                return allBelow(doc).filter(function (n) {
                    return (n.tagName === 'A' || n.tagName === 'AREA') && n.hasAttribute('href');
                });
            });
        }},
        forms: {get: function (doc) { return tagCollection(doc, 'FORM'); }},
        scripts: {get: function (doc) { return tagCollection(doc, 'SCRIPT'); }},
        applets: {get: function (doc) { return tagCollection(doc, 'APPLET'); }},
        plugins: {get: function (doc) { return tagCollection(doc, 'EMBED'); }},
        embeds: {get: function (doc) { return tagCollection(doc, 'EMBED'); }},
        selection: {get: function (doc) { return new SelectionObject(doc); }},
        parentWindow: {get: function () { return windowObject; }},
        charset: {get: function (doc) { return declaredCharset(doc) || doc.characterSet; }},
        defaultCharset: {get: function () { return 'windows-1252'; }},
        tagName: {get: function () { return ''; }},
        createElement: {call: function (doc, text) { return createElementFrom(doc, text); }},
        execCommand: {call: function (doc, name, ui, value) { return documentCommand(doc, name, value); }},
        queryCommandState: {call: function (doc, name) { return documentCommandState(doc, name); }},
        write: {call: function (doc) {
            const text = Array.prototype.slice.call(arguments, 1).join('');
            if (!scratchDocuments.has(doc)) throw new Error('Permission denied.');
            doc.body.insertAdjacentHTML('beforeend', text);
        }},
        open: {call: function (doc) {
            if (!scratchDocuments.has(doc)) throw new Error('Permission denied.');
            doc.body.innerHTML = '';
            return doc;
        }},
        close: {call: function () {}},
    };

    function tagCollection(root, tag) {
        return new Collection(function () {
            return allBelow(root).filter(function (n) { return n.tagName === tag; });
        });
    }

    function documentCommand(doc, name, value) {
        const n = String(name).toLowerCase();
        if (n === 'unselect') {
            state.control = null;
            doc.getSelection().removeAllRanges();
            return true;
        }
        if (n === 'createbookmark') {
            const text = String(value || '');
            if (!text) return false;
            const range = currentRange(doc);
            if (!range) return false;
            const a = doc.createElement('A');
            a.setAttribute('name', text);
            if (!range.collapsed) a.appendChild(range.extractContents());
            range.insertNode(a);
            a.parentNode.normalize();   // extracting leaves empty text nodes behind
            return true;
        }
        if (n === 'unbookmark') {
            const range = currentRange(doc);
            if (!range) return false;
            const marks = Array.from(doc.querySelectorAll('a[name]')).filter(function (a) {
                return range.intersectsNode(a);
            });
            for (const a of marks) {
                if (a.hasAttribute('href')) a.removeAttribute('name');
                else {
                    while (a.firstChild) a.parentNode.insertBefore(a.firstChild, a);
                    a.remove();
                }
            }
            return marks.length > 0;
        }
        return doc.execCommand(String(name), false, value === undefined ? null : String(value));
    }

    function documentCommandState(doc, name) {
        return doc.queryCommandState(String(name));
    }

    // ---- collections ---------------------------------------------------------------------------

    function Collection(source) { this.source = source; }
    const collectionMembers = {
        length: {get: function (c) { return c.source().length; }},
        item: {call: function (c, index, sub) {
            const list = c.source();
            if (typeof index === 'number') return list[index] || null;
            const named = list.filter(function (n) {
                return n.nodeType === 1 && (n.id === index || n.getAttribute('name') === index);
            });
            if (typeof sub === 'number') return named[sub] || null;
            return named.length === 0 ? null : named.length === 1 ? named[0] : new Collection(function () { return named; });
        }},
        namedItem: {call: function (c, name) { return collectionMembers.item.call(c, String(name)); }},
        tags: {call: function (c, tag) {
            const t = String(tag).toUpperCase();
            return new Collection(function () {
                return c.source().filter(function (n) { return tagNameOf(n) === t; });
            });
        }},
    };

    // ---- style objects -------------------------------------------------------------------------

    // Chromium's CSS parser drops these, so they live only as text in the style attribute.
    const rawStyleNames = {
        filter: 'filter',
        scrollbar3dLightColor: 'scrollbar-3dlight-color',
        scrollbarArrowColor: 'scrollbar-arrow-color',
        scrollbarBaseColor: 'scrollbar-base-color',
        scrollbarDarkShadowColor: 'scrollbar-darkshadow-color',
        scrollbarFaceColor: 'scrollbar-face-color',
        scrollbarHighlightColor: 'scrollbar-highlight-color',
        scrollbarShadowColor: 'scrollbar-shadow-color',
        scrollbarTrackColor: 'scrollbar-track-color',
    };
    const rawCssNames = new Set(Object.values(rawStyleNames));

    function splitDeclarations(text) {
        const parts = [];
        let depth = 0, quote = '', start = 0;
        for (let i = 0; i < text.length; i++) {
            const c = text[i];
            if (quote) { if (c === quote) quote = ''; continue; }
            if (c === '"' || c === "'") quote = c;
            else if (c === '(') depth++;
            else if (c === ')') depth = Math.max(0, depth - 1);
            else if (c === ';' && depth === 0) { parts.push(text.slice(start, i)); start = i + 1; }
        }
        parts.push(text.slice(start));
        const list = [];
        for (const p of parts) {
            const colon = p.indexOf(':');
            if (colon < 0) continue;
            list.push([p.slice(0, colon).trim().toLowerCase(), p.slice(colon + 1).trim()]);
        }
        return list;
    }

    function rawDeclarations(el) {
        return splitDeclarations(el.getAttribute('style') || '').filter(function (d) { return rawCssNames.has(d[0]); });
    }

    function writeStyle(el, cssText, raws) {
        const text = [cssText.trim().replace(/;$/, '')]
            .concat(raws.map(function (d) { return d[0] + ': ' + d[1]; }))
            .filter(function (s) { return s; }).join('; ');
        setAttr(el, 'style', text);
    }

    function StyleObject(el) { this.el = el; }
    function styleGet(s, name) {
        const el = s.el;
        if (name === 'cssText') return el.getAttribute('style') || '';
        const raw = rawStyleNames[name];
        if (raw) {
            const found = rawDeclarations(el).filter(function (d) { return d[0] === raw; });
            return found.length ? found[found.length - 1][1] : '';
        }
        const v = el.style[name];
        return v === undefined ? null : v;
    }
    function stylePut(s, name, value) {
        const el = s.el;
        const text = value === null || value === undefined ? '' : String(value);
        if (name === 'cssText') { setAttr(el, 'style', text); return; }
        const raw = rawStyleNames[name];
        let raws = rawDeclarations(el);
        if (raw) {
            raws = raws.filter(function (d) { return d[0] !== raw; });
            if (text) raws.push([raw, text]);
            writeStyle(el, el.style.cssText, raws);
            return;
        }
        if (!(name in el.style)) throw new Error('Invalid property value.');
        el.style[name] = text;
        writeStyle(el, el.style.cssText, raws);
    }

    // ---- selection -----------------------------------------------------------------------------

    function controlElement(doc) {
        const el = state.control;
        if (el && el.isConnected && el.ownerDocument === doc) return el;
        state.control = null;
        return null;
    }

    function currentRange(doc) {
        const sel = doc.getSelection();
        if (!sel || sel.rangeCount === 0) return null;
        return sel.getRangeAt(0);
    }

    function SelectionObject(doc) { this.doc = doc; }
    const selectionMembers = {
        type: {get: function (s) {
            if (controlElement(s.doc)) return 'Control';
            const r = currentRange(s.doc);
            return !r || r.collapsed ? 'None' : 'Text';
        }},
        createRange: {call: function (s) {
            const el = controlElement(s.doc);
            if (el) return new ControlRange([el]);
            const r = currentRange(s.doc);
            if (r) return new TextRange(r.cloneRange());
            const start = s.doc.createRange();
            start.setStart(s.doc.body || s.doc.documentElement, 0);
            return new TextRange(start);
        }},
        clear: {call: function (s) {
            const el = controlElement(s.doc);
            if (el) { el.remove(); state.control = null; return; }
            const r = currentRange(s.doc);
            if (r && !r.collapsed) s.doc.execCommand('delete');
        }},
        empty: {call: function (s) {
            state.control = null;
            s.doc.getSelection().removeAllRanges();
        }},
    };

    function selectControl(el) {
        state.control = el;
        const r = document.createRange();
        r.selectNode(el);
        const sel = document.getSelection();
        sel.removeAllRanges();
        sel.addRange(r);
    }

    function ControlRange(items) { this.items = items; }
    const controlRangeMembers = {
        length: {get: function (c) { return c.items.length; }},
        item: {call: function (c, i) { return c.items[i] || null; }},
        commonParentElement: {call: function (c) {
            if (c.items.length === 1) return c.items[0];
            const r = document.createRange();
            r.setStartBefore(c.items[0]);
            r.setEndAfter(c.items[c.items.length - 1]);
            const n = r.commonAncestorContainer;
            return n.nodeType === 1 ? n : n.parentElement;
        }},
        select: {call: function (c) { if (c.items.length) selectControl(c.items[0]); }},
        scrollIntoView: {call: function (c) { if (c.items.length) c.items[0].scrollIntoView(); }},
    };

    // ---- text ranges ---------------------------------------------------------------------------

    const blockTags = new Set(['ADDRESS', 'BLOCKQUOTE', 'BODY', 'CAPTION', 'CENTER', 'DD', 'DIV', 'DL', 'DT',
        'FIELDSET', 'FORM', 'H1', 'H2', 'H3', 'H4', 'H5', 'H6', 'HR', 'LI', 'OL', 'P', 'PRE', 'TABLE', 'TD',
        'TH', 'TR', 'UL', 'HTML']);
    const hiddenTags = new Set(['SCRIPT', 'STYLE', 'TITLE', 'HEAD', 'NOSCRIPT', 'TEXTAREA', 'OPTION', 'SELECT']);

    // The text of a subtree as one string, with a line break standing for each block or <br>
    // boundary, and the map back to text nodes. Rebuilt only when the document changed.
    let modelCache = null;
    function textModel(root) {
        if (modelCache && modelCache.root === root && modelCache.version === state.version) return modelCache;
        const pieces = [];   // {node|null, start, length}
        let text = '';
        let lastBlock = null, pendingBreak = false;
        const walker = document.createTreeWalker(root, NodeFilter.SHOW_ELEMENT | NodeFilter.SHOW_TEXT, {
            acceptNode: function (n) {
                if (n.nodeType === 1 && (hiddenTags.has(n.tagName) || isEditorArtefact(n))) return NodeFilter.FILTER_REJECT;
                return NodeFilter.FILTER_ACCEPT;
            },
        });
        let n = walker.nextNode();
        while (n) {
            if (n.nodeType === 1) {
                if (n.tagName === 'BR' || n.tagName === 'HR' || n.tagName === 'IMG') pendingBreak = pendingBreak || n.tagName !== 'IMG';
            } else if (n.data.length) {
                let block = n.parentNode;
                while (block && block !== root && !(block.nodeType === 1 && blockTags.has(block.tagName))) block = block.parentNode;
                if (text.length && (pendingBreak || block !== lastBlock)) {
                    pieces.push({node: null, start: text.length, length: 1});
                    text += '\n';
                }
                pendingBreak = false;
                lastBlock = block;
                pieces.push({node: n, start: text.length, length: n.data.length});
                text += n.data;
            }
            n = walker.nextNode();
        }
        modelCache = {root: root, version: state.version, pieces: pieces, text: text};
        return modelCache;
    }

    // A point between two text nodes counts at the start of the next one, or for an end point
    // (preferEnd) at the end of the previous one, so a range never picks up a block break.
    function indexOfPoint(model, container, offset, preferEnd) {
        if (container.nodeType === 3) {
            for (const p of model.pieces) if (p.node === container) return p.start + Math.min(offset, p.length);
        }
        const point = document.createRange();
        point.setStart(container, offset);
        let lastEnd = -1;
        for (const p of model.pieces) {
            if (!p.node) continue;
            if (point.comparePoint(p.node, p.length) < 0) { lastEnd = p.start + p.length; continue; }
            return preferEnd && lastEnd >= 0 ? lastEnd : p.start;
        }
        return lastEnd >= 0 ? lastEnd : model.text.length;
    }

    // preferEnd: at the seam between two pieces, an end point stays in the earlier one.
    function pointOfIndex(model, index, preferEnd) {
        const pieces = model.pieces;
        let best = null;
        for (let i = 0; i < pieces.length; i++) {
            const p = pieces[i];
            if (!p.node) continue;
            if (index < p.start) { if (!best) best = {node: p.node, offset: 0}; break; }
            if (index < p.start + p.length || (index === p.start + p.length && preferEnd)) return {node: p.node, offset: index - p.start};
            best = {node: p.node, offset: p.length};
            if (index === p.start + p.length && !preferEnd) {
                // look for the next real text node starting exactly here
                for (let j = i + 1; j < pieces.length; j++) {
                    if (pieces[j].node) {
                        if (pieces[j].start === index) return {node: pieces[j].node, offset: 0};
                        break;
                    }
                }
            }
        }
        return best;
    }

    function segmentStarts(text, granularity) {
        const starts = [];
        const segmenter = new Intl.Segmenter(undefined, {granularity: granularity});
        for (const s of segmenter.segment(text)) {
            if (granularity === 'word') {
                // A word unit is a word or punctuation together with the blanks that follow it.
                if (/^\s+$/.test(s.segment) && starts.length) continue;
            }
            starts.push(s.index);
        }
        return starts;
    }

    function TextRange(range, root) {
        this.range = range;
        this.root = root || (range.startContainer.ownerDocument || document).body;
    }
    TextRange.over = function (el) {
        const r = ownerDoc(el).createRange();
        r.selectNodeContents(el);
        return new TextRange(r, el);
    };
    TextRange.prototype.bounds = function () {
        const model = textModel(this.root);
        const s = indexOfPoint(model, this.range.startContainer, this.range.startOffset, false);
        const e = this.range.collapsed ? s : indexOfPoint(model, this.range.endContainer, this.range.endOffset, true);
        return {model: model, start: s, end: Math.max(s, e)};
    };
    TextRange.prototype.setBounds = function (model, start, end) {
        const len = model.text.length;
        start = Math.max(0, Math.min(start, len));
        end = Math.max(start, Math.min(end, len));
        const a = pointOfIndex(model, start, false);
        const b = pointOfIndex(model, end, true);
        if (!a || !b) { this.range.selectNodeContents(this.root); this.range.collapse(true); return; }
        this.range.setStart(a.node, a.offset);
        if (start === end) this.range.collapse(true);
        else this.range.setEnd(b.node, b.offset);
    };

    function unitName(unit) { return String(unit || 'character').toLowerCase(); }

    function stepIndex(model, index, unit, count) {
        const len = model.text.length;
        if (unit === 'character') return Math.max(0, Math.min(len, index + count));
        if (unit === 'textedit') return count < 0 ? 0 : len;
        const starts = segmentStarts(model.text, unit === 'sentence' ? 'sentence' : 'word');
        let i = index;
        while (count > 0) {
            const next = starts.find(function (s) { return s > i; });
            i = next === undefined ? len : next;
            count--;
            if (i === len) break;
        }
        while (count < 0) {
            let prev = 0;
            for (const s of starts) if (s < i) prev = s;
            i = prev;
            count++;
            if (i === 0) break;
        }
        return i;
    }

    const textRangeMembers = {
        text: {
            get: function (t) { const b = t.bounds(); return b.model.text.slice(b.start, b.end); },
            put: function (t, v) { replaceRange(t, String(v === null || v === undefined ? '' : v), false); },
        },
        htmlText: {get: rangeHtml},
        HTMLText: {get: rangeHtml},
        collapse: {call: function (t, toStart) { t.range.collapse(toStart === undefined ? true : !!toStart); }},
        move: {call: function (t, unit, count) {
            const b = t.bounds();
            const n = count === undefined ? 1 : count;
            const to = stepIndex(b.model, b.start, unitName(unit), n);
            t.setBounds(b.model, to, to);
            return to === b.start ? 0 : n;
        }},
        moveStart: {call: function (t, unit, count) {
            const b = t.bounds();
            const s = stepIndex(b.model, b.start, unitName(unit), count === undefined ? 1 : count);
            t.setBounds(b.model, s, Math.max(s, b.end));
            return s - b.start;
        }},
        moveEnd: {call: function (t, unit, count) {
            const b = t.bounds();
            const e = stepIndex(b.model, b.end, unitName(unit), count === undefined ? 1 : count);
            t.setBounds(b.model, Math.min(b.start, e), e);
            return e - b.end;
        }},
        expand: {call: function (t, unit) {
            const b = t.bounds();
            const u = unitName(unit);
            const len = b.model.text.length;
            if (b.start >= len) return false;
            if (u === 'character') {
                if (b.end > b.start) return false;
                t.setBounds(b.model, b.start, b.start + 1);
                return true;
            }
            if (u === 'textedit') { t.setBounds(b.model, 0, len); return true; }
            const starts = segmentStarts(b.model.text, u === 'sentence' ? 'sentence' : 'word');
            let s = 0;
            for (const x of starts) if (x <= b.start) s = x;
            let e = len;
            for (const x of starts) if (x >= Math.max(b.end, b.start + 1)) { e = x; break; }
            const changed = s !== b.start || e !== b.end;
            t.setBounds(b.model, s, e);
            return changed || e > s;
        }},
        duplicate: {call: function (t) { return new TextRange(t.range.cloneRange(), t.root); }},
        setEndPoint: {call: function (t, how, other) {
            if (!(other instanceof TextRange)) throw new Error('Invalid argument.');
            const b = t.bounds();
            const o = other.bounds();
            const h = String(how).toLowerCase();
            let s = b.start, e = b.end;
            const source = h.startsWith('starttostart') || h.endsWith('tostart') ? o.start : o.end;
            if (h.startsWith('start')) s = source; else e = source;
            if (s > e) { if (h.startsWith('start')) e = s; else s = e; }
            t.setBounds(b.model, s, e);
        }},
        compareEndPoints: {call: function (t, how, other) {
            const b = t.bounds();
            const o = other.bounds();
            const h = String(how).toLowerCase();
            const mine = h.startsWith('start') ? b.start : b.end;
            const theirs = h.endsWith('tostart') ? o.start : o.end;
            return Math.sign(mine - theirs);
        }},
        isEqual: {call: function (t, other) {
            const b = t.bounds(), o = other.bounds();
            return b.start === o.start && b.end === o.end;
        }},
        inRange: {call: function (t, other) {
            const b = t.bounds(), o = other.bounds();
            return o.start >= b.start && o.end <= b.end;
        }},
        moveToElementText: {call: function (t, el) {
            if (!el || el.nodeType !== 1) throw new Error('Invalid argument.');
            t.range.selectNodeContents(el);
        }},
        parentElement: {call: function (t) {
            let n = t.range.commonAncestorContainer;
            if (!t.range.collapsed && n.nodeType === 1 && t.range.startContainer === t.range.endContainer &&
                t.range.endOffset - t.range.startOffset === 1 && n.childNodes[t.range.startOffset].nodeType === 1) {
                return n.childNodes[t.range.startOffset];
            }
            while (n && n.nodeType !== 1) n = n.parentNode;
            return n;
        }},
        pasteHTML: {call: function (t, html) { replaceRange(t, String(html === null || html === undefined ? '' : html), true); }},
        select: {call: function (t) {
            state.control = null;
            const sel = document.getSelection();
            sel.removeAllRanges();
            sel.addRange(t.range.cloneRange());
        }},
        scrollIntoView: {call: function (t) {
            const n = t.range.startContainer;
            (n.nodeType === 1 ? n : n.parentElement).scrollIntoView();
        }},
        findText: {call: function (t, what) {
            const b = t.bounds();
            const at = b.model.text.toLowerCase().indexOf(String(what).toLowerCase(), b.start);
            if (at < 0 || !what) return false;
            t.setBounds(b.model, at, at + String(what).length);
            return true;
        }},
    };

    function rangeHtml(t) {
        const holder = document.createElement('div');
        holder.appendChild(t.range.cloneContents());
        return cleanMarkup(holder, false);
    }

    // Edits go through the editing commands so that they join the undo history.
    function replaceRange(t, content, asHtml) {
        const doc = ownerDoc(t.root);
        const sel = doc.getSelection();
        state.control = null;
        sel.removeAllRanges();
        sel.addRange(t.range.cloneRange());
        let ok;
        if (content === '') ok = t.range.collapsed ? true : doc.execCommand('delete');
        else if (asHtml) ok = doc.execCommand('insertHTML', false, content);
        else ok = doc.execCommand('insertText', false, content);
        if (!ok) throw new Error('Invalid argument.');
        state.version++;
        if (sel.rangeCount) {
            const after = sel.getRangeAt(0);
            if (asHtml || content === '') {
                t.range.setStart(after.endContainer, after.endOffset);
                t.range.collapse(true);
            } else {
                const model = textModel(t.root);
                const end = indexOfPoint(model, after.endContainer, after.endOffset, true);
                t.setBounds(model, end - content.length, end);
            }
        }
    }

    // ---- window and events ---------------------------------------------------------------------

    const windowObject = {kind: 'window'};
    function EventObject(e) {
        this.srcElement = e.target && e.target.nodeType === 3 ? e.target.parentElement : e.target;
        this.x = e.clientX || 0;
        this.y = e.clientY || 0;
        this.clientX = this.x;
        this.clientY = this.y;
        this.button = e.button || 0;
        this.keyCode = e.keyCode || 0;
        this.shiftKey = !!e.shiftKey;
        this.ctrlKey = !!e.ctrlKey;
        this.altKey = !!e.altKey;
        this.type = e.type;
    }
    const windowMembers = {
        event: {get: function () { return state.lastEvent; }},
        document: {get: function () { return document; }},
    };

    // ---- member dispatch -----------------------------------------------------------------------

    // The classic style object also took the attribute calls, with style names as attribute names.
    const styleMembers = {
        getAttribute: {call: function (s, name) {
            const v = styleGet(s, memberName(s.el.style, name));
            return v === null || v === undefined ? '' : v;
        }},
        setAttribute: {call: function (s, name, value) { stylePut(s, memberName(s.el.style, name), value); }},
        removeAttribute: {call: function (s, name) {
            const n = memberName(s.el.style, name);
            const had = !!styleGet(s, n);
            stylePut(s, n, '');
            return had;
        }},
    };

    function membersOf(obj) {
        if (obj instanceof StyleObject) return styleMembers;
        if (obj instanceof TextRange) return textRangeMembers;
        if (obj instanceof Collection) return collectionMembers;
        if (obj instanceof SelectionObject) return selectionMembers;
        if (obj instanceof ControlRange) return controlRangeMembers;
        if (obj === windowObject) return windowMembers;
        if (obj instanceof Node) return obj.nodeType === 9 ? documentMembers : elementMembers;
        return null;
    }

    // Member names are matched without regard to case, as the classic object model did
    // ("vSpace" is "vspace", "cellspacing" is "cellSpacing").
    const nameCache = new Map();
    function memberName(obj, name) {
        if (name in obj) return name;
        const key = (obj.constructor ? obj.constructor.name : '') + ':' + name;
        if (nameCache.has(key)) return nameCache.get(key);
        const lower = name.toLowerCase();
        let found = name;
        for (const k in obj) {
            if (k.toLowerCase() === lower) { found = k; break; }
        }
        nameCache.set(key, found);
        return found;
    }

    // The size in bytes of an image's file, or -1 when it cannot be had.
    function imageFileSize(img) {
        const entry = performance.getEntriesByName(img.src)[0];
        if (entry && entry.decodedBodySize > 0) return entry.decodedBodySize;
        try {
            const request = new XMLHttpRequest();
            request.open('GET', img.src, false);
            request.overrideMimeType('text/plain; charset=x-user-defined');
            request.send();
            return request.status === 0 || request.status === 200 ? request.responseText.length : -1;
        } catch (e) {
            return -1;
        }
    }

    function get(obj, name) {
        if (obj instanceof StyleObject) return styleGet(obj, memberName(obj.el.style, name));
        if (obj instanceof Element && obj.tagName === 'IMG' && name.toLowerCase() === 'filesize') return imageFileSize(obj);
        if (obj instanceof Node || obj instanceof EventObject) name = memberName(obj, name);
        const table = membersOf(obj);
        const m = table && Object.prototype.hasOwnProperty.call(table, name) ? table[name] : null;
        if (m && m.get) return m.get(obj);
        if (obj instanceof Collection && /^\d+$/.test(name)) return obj.source()[Number(name)] || null;
        if (obj instanceof Node || obj instanceof EventObject || typeof obj === 'object') {
            if (name in obj && typeof obj[name] !== 'function') return obj[name];
        }
        if (obj instanceof Element) {
            const v = obj.getAttribute(name);
            return v === null ? null : v;
        }
        if (m || (name in obj)) throw new Error('"' + name + '" is a method.');
        return null;
    }

    function put(obj, name, value) {
        if (obj instanceof StyleObject) return stylePut(obj, memberName(obj.el.style, name), value);
        if (obj instanceof Node) name = memberName(obj, name);
        const table = membersOf(obj);
        const m = table && Object.prototype.hasOwnProperty.call(table, name) ? table[name] : null;
        if (m && m.put) return m.put(obj, value);
        if (m) throw new Error('"' + name + '" can not be written.');
        if (obj instanceof Element && !(name in obj)) return setAttr(obj, name, value);
        obj[name] = value === undefined ? '' : value;
    }

    function call(obj, name, args) {
        if (obj instanceof Node) name = memberName(obj, name);
        const table = membersOf(obj);
        const m = table && Object.prototype.hasOwnProperty.call(table, name) ? table[name] : null;
        if (m && m.call) return m.call.apply(null, [obj].concat(args));
        const f = obj[name];
        if (typeof f !== 'function') throw new Error('Object doesn\'t support property or method \'' + name + '\'.');
        return f.apply(obj, args);
    }

    function run(fn) {
        try {
            return {v: out(fn())};
        } catch (e) {
            return {e: String(e && e.message ? e.message : e)};
        }
    }

    // ---- serializer ----------------------------------------------------------------------------

    function serialize(doc) {
        let text = '';
        for (const n of Array.from(doc.childNodes)) {
            if (n.nodeType === 10) {
                text += '<!DOCTYPE ' + n.name + (n.publicId ? ' PUBLIC "' + n.publicId + '"' : '') +
                    (n.systemId ? (n.publicId ? ' "' : ' SYSTEM "') + n.systemId + '"' : '') + '>\r\n';
            } else if (n.nodeType === 8) {
                text += '<!--' + n.data + '-->\r\n';
            } else if (n.nodeType === 1) {
                text += cleanMarkup(n, true);
            }
        }
        return text;
    }

    // ---- decorations ---------------------------------------------------------------------------

    const detailsCss =
        'script, style { display: inline-block !important; width: 14px; height: 14px; overflow: hidden;' +
        ' font-size: 0 !important; border: 1px solid #808080; background: #ffffc0; vertical-align: middle; }' +
        'script::before { content: "S"; font: 10px sans-serif; } style::before { content: "C"; font: 10px sans-serif; }' +
        'a[name]:not([href])::before { content: "\\2693"; color: #808080; }' +
        '[data-plovane-editor] { font: 9px sans-serif; color: #606060; background: #ffffe0;' +
        ' border: 1px solid #c0c0c0; padding: 0 1px; user-select: none; }' +
        'form { outline: 1px dashed #808080; }';
    const bordersCss =
        'table:not([border]), table[border="0"], table:not([border]) td, table[border="0"] td,' +
        ' table:not([border]) th, table[border="0"] th { outline: 1px dotted #a0a0a0; outline-offset: -1px; }' +
        '[style*="absolute" i] { outline: 1px dotted #a0a0a0; }';
    const detailsSheet = new CSSStyleSheet();
    const bordersSheet = new CSSStyleSheet();
    detailsSheet.replaceSync(detailsCss);
    bordersSheet.replaceSync(bordersCss);
    // Comments and line breaks cannot carry a pseudo-element, so Show Details puts a marked glyph
    // element before each. No collection, range text or serialization sees the marked elements.
    function glyphFor(node) {
        const glyph = document.createElement('span');
        glyph.setAttribute('data-plovane-editor', '');
        glyph.contentEditable = 'false';
        glyph.textContent = node.nodeType === 8 ? '<!>' : '\u21B5';
        return glyph;
    }
    function needsGlyph(node) {
        return node.nodeType === 8 || (node.nodeType === 1 && node.tagName === 'BR');
    }
    function isGlyphRecord(record) {
        const nodes = Array.from(record.addedNodes).concat(Array.from(record.removedNodes));
        if (record.type !== 'childList') return isEditorArtefact(record.target);
        return nodes.length > 0 && nodes.every(isEditorArtefact);
    }
    function refreshGlyphs() {
        for (const g of Array.from(document.querySelectorAll('[data-plovane-editor]'))) {
            const next = g.nextSibling;
            if (!state.details || !next || !needsGlyph(next)) g.remove();
        }
        if (state.details && document.body) {
            const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_ELEMENT | NodeFilter.SHOW_COMMENT);
            const wanting = [];
            for (let n = walker.nextNode(); n; n = walker.nextNode()) {
                if (needsGlyph(n) && !(n.previousSibling && isEditorArtefact(n.previousSibling))) wanting.push(n);
            }
            for (const n of wanting) n.parentNode.insertBefore(glyphFor(n), n);
        }
        observer.takeRecords();
    }

    // Markup of a subtree without the glyphs.
    function cleanMarkup(el, outer) {
        if (!el.querySelector('[data-plovane-editor]')) return outer ? el.outerHTML : el.innerHTML;
        const copy = el.cloneNode(true);
        for (const g of Array.from(copy.querySelectorAll('[data-plovane-editor]'))) g.remove();
        return outer ? copy.outerHTML : copy.innerHTML;
    }

    function applyDecorations() {
        refreshGlyphs();
        const current = document.adoptedStyleSheets;
        const sheets = current.filter(function (s) { return s !== detailsSheet && s !== bordersSheet; });
        if (state.details) sheets.push(detailsSheet);
        if (state.borders) sheets.push(bordersSheet);
        // Assigning restyles the whole page, which costs on a large one; only do it for a change.
        if (sheets.length !== current.length || sheets.some(function (s, i) { return s !== current[i]; }))
            document.adoptedStyleSheets = sheets;
    }

    // ---- commands ------------------------------------------------------------------------------

    const blockFormats = [
        ['Normal', 'P'], ['Formatted', 'PRE'], ['Address', 'ADDRESS'], ['Heading 1', 'H1'], ['Heading 2', 'H2'],
        ['Heading 3', 'H3'], ['Heading 4', 'H4'], ['Heading 5', 'H5'], ['Heading 6', 'H6'],
        ['Numbered List', 'OL'], ['Bulleted List', 'UL'], ['Definition Term', 'DT'], ['Definition', 'DD'],
    ];

    function selectionNode() {
        const el = controlElement(document);
        if (el) return el;
        const r = currentRange(document);
        if (!r) return null;
        let n = r.startContainer;
        if (n.nodeType === 1 && r.startOffset < n.childNodes.length && !r.collapsed) n = n.childNodes[r.startOffset];
        return n;
    }

    function ancestor(node, tags) {
        let n = node;
        while (n && !(n.nodeType === 1 && tags.includes(n.tagName))) n = n.parentNode;
        return n && document.body && document.body.contains(n) ? n : null;
    }

    function currentCell() { return ancestor(selectionNode(), ['TD', 'TH']); }

    function selectedCells() {
        const r = currentRange(document);
        const cell = currentCell();
        if (!r || !cell) return cell ? [cell] : [];
        const row = cell.parentNode;
        const cells = Array.from(row.cells).filter(function (c) { return r.intersectsNode(c); });
        return cells.length ? cells : [cell];
    }

    function newCell(like) {
        const c = document.createElement(like && like.tagName === 'TH' ? 'TH' : 'TD');
        c.innerHTML = '&nbsp;';
        return c;
    }

    function currentBlockFormat() {
        const n = selectionNode();
        const list = ancestor(n, ['OL', 'UL']);
        const block = ancestor(n, ['P', 'PRE', 'ADDRESS', 'H1', 'H2', 'H3', 'H4', 'H5', 'H6', 'DT', 'DD', 'LI']);
        if (list && (!block || block.tagName === 'LI' || list.contains(block))) return list.tagName === 'OL' ? 'Numbered List' : 'Bulleted List';
        if (!block || block.tagName === 'LI') return 'Normal';
        const found = blockFormats.find(function (f) { return f[1] === block.tagName; });
        return found ? found[0] : 'Normal';
    }

    function setBlockFormat(name) {
        const wanted = String(name).toLowerCase();
        const current = currentBlockFormat();
        if (current === 'Numbered List' || current === 'Bulleted List') {
            if (wanted !== current.toLowerCase()) document.execCommand(current === 'Numbered List' ? 'insertOrderedList' : 'insertUnorderedList');
        }
        if (wanted === 'numbered list') return current === 'Numbered List' || document.execCommand('insertOrderedList');
        if (wanted === 'bulleted list') return current === 'Bulleted List' || document.execCommand('insertUnorderedList');
        const found = blockFormats.find(function (f) { return f[0].toLowerCase() === wanted; });
        if (!found) throw new Error('Invalid argument.');
        return document.execCommand('formatBlock', false, found[1]);
    }

    function colorText(v) {
        const m = /rgba?\((\d+),\s*(\d+),\s*(\d+)/.exec(String(v));
        if (!m) return String(v || '');
        return '#' + [m[1], m[2], m[3]].map(function (x) { return ('0' + Number(x).toString(16)).slice(-2); }).join('');
    }

    function isAbsolute(el) { return !!el && el.nodeType === 1 && el.style.position === 'absolute'; }
    function isLocked(el) { return !!el && el.nodeType === 1 && el.getAttribute('design_time_lock') === 'true'; }

    function absoluteSiblings(el) {
        return Array.from(el.parentNode.children).filter(function (c) { return c !== el && isAbsolute(c); });
    }
    function zOf(el) { return parseInt(el.style.zIndex, 10) || 0; }

    function zOrder(cmd) {
        const el = controlElement(document);
        const others = absoluteSiblings(el).map(zOf);
        const z = zOf(el);
        const max = others.length ? Math.max.apply(null, others) : 0;
        const min = others.length ? Math.min.apply(null, others) : 0;
        let nz = z;
        if (cmd === 'front') nz = Math.max(max + 1, 1);
        else if (cmd === 'back') nz = Math.min(min - 1, z < 0 ? z : -1) ;
        else if (cmd === 'forward') nz = z + 1;
        else if (cmd === 'backward') nz = z - 1;
        else if (cmd === 'above') nz = z > 0 ? z : Math.max(max, 0) + 1;
        else if (cmd === 'below') nz = z < 0 ? z : Math.min(min, 0) - 1;
        el.style.zIndex = String(nz);
        return true;
    }

    function insertTable(rows, cols) {
        let html = '<table border="1">';
        for (let r = 0; r < rows; r++) {
            html += '<tr>';
            for (let c = 0; c < cols; c++) html += '<td>&nbsp;</td>';
            html += '</tr>';
        }
        return document.execCommand('insertHTML', false, html + '</table>');
    }

    function removeEmptyTable(table) {
        if (!table.querySelector('td, th')) table.remove();
    }

    function insertCell() {
        const cell = currentCell();
        cell.parentNode.insertBefore(newCell(cell), cell);
        return true;
    }

    function insertColumn() {
        const cell = currentCell();
        const table = ancestor(cell, ['TABLE']);
        const index = cell.cellIndex;
        for (const row of Array.from(table.rows)) {
            const at = row.cells[Math.min(index, row.cells.length)] || null;
            row.insertBefore(newCell(at || cell), at);
        }
        return true;
    }

    function insertRow() {
        const cell = currentCell();
        const row = cell.parentNode;
        const fresh = document.createElement('TR');
        for (const c of Array.from(row.cells)) {
            const n = newCell(c);
            if (c.colSpan > 1) n.colSpan = c.colSpan;
            fresh.appendChild(n);
        }
        row.parentNode.insertBefore(fresh, row);
        return true;
    }

    function deleteCells() {
        for (const c of selectedCells()) c.remove();
        return true;
    }

    function deleteColumns() {
        const cell = currentCell();
        const table = ancestor(cell, ['TABLE']);
        const index = cell.cellIndex;
        for (const row of Array.from(table.rows)) if (row.cells[index]) row.cells[index].remove();
        removeEmptyTable(table);
        return true;
    }

    function deleteRows() {
        const cell = currentCell();
        const table = ancestor(cell, ['TABLE']);
        cell.parentNode.remove();
        removeEmptyTable(table);
        return true;
    }

    function mergeCells() {
        const cells = selectedCells();
        if (cells.length < 2) throw new Error('Invalid argument.');
        const first = cells[0];
        let span = first.colSpan;
        for (const c of cells.slice(1)) {
            span += c.colSpan;
            while (c.firstChild) first.appendChild(c.firstChild);
            c.remove();
        }
        first.colSpan = span;
        return true;
    }

    function splitCell() {
        const cell = currentCell();
        if (cell.colSpan < 2) throw new Error('Invalid argument.');
        const rest = cell.colSpan - 1;
        if (rest > 1) cell.colSpan = rest; else cell.removeAttribute('colspan');
        cell.after(newCell(cell));
        return true;
    }

    function toggleAbsolute() {
        const ctl = controlElement(document);
        if (!ctl) throw new Error('Invalid argument.');
        if (isAbsolute(ctl)) {
            ctl.style.removeProperty('position');
            ctl.style.removeProperty('left');
            ctl.style.removeProperty('top');
            ctl.style.removeProperty('z-index');
        } else {
            const left = ctl.offsetLeft, top = ctl.offsetTop;
            ctl.style.position = 'absolute';
            ctl.style.left = left + 'px';
            ctl.style.top = top + 'px';
        }
        return true;
    }

    function toggleLock() {
        const ctl = controlElement(document);
        if (!isAbsolute(ctl)) throw new Error('Invalid argument.');
        setAttr(ctl, 'design_time_lock', isLocked(ctl) ? '' : 'true');
        return true;
    }

    // ---- the command table ---------------------------------------------------------------------
    // DECMD (command numbers) and DECMDF (status values) are put before this script, made from the
    // C++ header that publishes them. Each entry has a status function, an action taking the
    // command's input, or both; the C++ side's table says which of the two it asks this side for,
    // and does the rest itself (clipboard, prompts, find, font dialog).

    function enabledIf(on) { return on ? DECMDF.ENABLED : DECMDF.DISABLED; }
    function always() { return DECMDF.ENABLED; }
    function withSelection() {
        const r = currentRange(document);
        return enabledIf(!!controlElement(document) || (!!r && !r.collapsed));
    }
    function withCaret() { return enabledIf(!!currentRange(document) || !!controlElement(document)); }
    function inCell() { return enabledIf(!!currentCell()); }
    function onAbsolute() { return enabledIf(isAbsolute(controlElement(document))); }

    function textArgument(value) { return value === undefined || value === null ? null : String(value); }
    // Chromium names the size at the start of a selection; a selection whose text is set in more
    // than one size has no one size.
    function selectionHasMixedSizes() {
        const r = currentRange(document);
        if (!r || r.collapsed) return false;
        const root = r.commonAncestorContainer;
        const walker = document.createTreeWalker(root.nodeType === 1 ? root : root.parentNode,
            NodeFilter.SHOW_TEXT);
        let size = null;
        for (let n = walker.nextNode(); n; n = walker.nextNode()) {
            if (!n.data.trim() || !r.intersectsNode(n)) continue;
            const s = getComputedStyle(n.parentElement).fontSize;
            if (size === null) size = s;
            else if (s !== size) return true;
        }
        return false;
    }

    function sizeArgument(value) { return String(Math.max(1, Math.min(7, parseInt(value, 10) || 3))); }

    // Chromium's editing command `name`. Options: latching (its state shows as latched), unchecked
    // (runs even when reported disabled), history (undo and redo: unchecked, and a control selection
    // stays as it is), argument (turns the input into the command's value), onControl (may act on
    // the selected element itself and answer true).
    function editing(name, options) {
        const o = options || {};
        const entry = {
            status: function () {
                let enabled;
                try { enabled = document.queryCommandEnabled(name); } catch (e) { enabled = false; }
                if (!enabled) return DECMDF.DISABLED;
                if (!o.latching) return DECMDF.ENABLED;
                let latched;
                try { latched = document.queryCommandState(name); } catch (e) { latched = false; }
                return latched ? DECMDF.LATCHED : DECMDF.ENABLED;
            },
            run: function (value) {
                if (!o.unchecked && !o.history && entry.status() === DECMDF.DISABLED)
                    throw new Error('The command is not enabled.');
                const arg = (o.argument || textArgument)(value);
                const ctl = controlElement(document);
                if (ctl && o.onControl && o.onControl(ctl, arg)) return true;
                // Formatting a control selection formats the element itself.
                if (ctl && !o.history) selectControl(ctl);
                return document.execCommand(name, false, arg);
            },
        };
        return entry;
    }

    const latching = {latching: true};
    const commands = {
        [DECMD.BOLD]: editing('bold', latching),
        [DECMD.COPY]: {status: withSelection},
        [DECMD.CUT]: {status: withSelection},
        // The Delete key's command: the selection, or the character after the caret.
        [DECMD.DELETE]: editing('forwardDelete'),
        [DECMD.DELETECELLS]: {status: inCell, run: deleteCells},
        [DECMD.DELETECOLS]: {status: inCell, run: deleteColumns},
        [DECMD.DELETEROWS]: {status: inCell, run: deleteRows},
        [DECMD.GETBACKCOLOR]: {status: withCaret, run: function () {
            return colorText(document.queryCommandValue('backColor'));
        }},
        [DECMD.GETBLOCKFMT]: {status: withCaret, run: currentBlockFormat},
        [DECMD.GETBLOCKFMTNAMES]: {run: function () {
            return blockFormats.map(function (f) { return f[0]; });
        }},
        [DECMD.GETFONTNAME]: {status: withCaret, run: function () {
            return document.queryCommandValue('fontName').replace(/^"|"$/g, '');
        }},
        // Empty when the selection holds several sizes (or none Chromium can name).
        [DECMD.GETFONTSIZE]: {status: withCaret, run: function () {
            if (selectionHasMixedSizes()) return '';
            const size = parseInt(document.queryCommandValue('fontSize'), 10);
            return size >= 1 && size <= 7 ? size : '';
        }},
        [DECMD.GETFORECOLOR]: {status: withCaret, run: function () {
            return colorText(document.queryCommandValue('foreColor'));
        }},
        // Link and picture addresses are asked for on the C++ side first.
        [DECMD.HYPERLINK]: {run: editing('createLink', {unchecked: true}).run},
        [DECMD.IMAGE]: editing('insertImage', {onControl: function (ctl, src) {
            if (ctl.tagName !== 'IMG' || !src) return false;
            ctl.setAttribute('src', src);
            return true;
        }}),
        [DECMD.INDENT]: editing('indent'),
        [DECMD.INSERTCELL]: {status: inCell, run: insertCell},
        [DECMD.INSERTCOL]: {status: inCell, run: insertColumn},
        [DECMD.INSERTROW]: {status: inCell, run: insertRow},
        [DECMD.INSERTTABLE]: {run: function (value) {
            const size = Array.isArray(value) ? value : [];
            return insertTable(Number(size[0]) || 2, Number(size[1]) || 2);
        }},
        [DECMD.ITALIC]: editing('italic', latching),
        [DECMD.JUSTIFYCENTER]: editing('justifyCenter', latching),
        [DECMD.JUSTIFYLEFT]: editing('justifyLeft', latching),
        [DECMD.JUSTIFYRIGHT]: editing('justifyRight', latching),
        [DECMD.LOCK_ELEMENT]: {
            status: function () {
                const ctl = controlElement(document);
                return isAbsolute(ctl) ? (isLocked(ctl) ? DECMDF.LATCHED : DECMDF.ENABLED) : DECMDF.DISABLED;
            },
            run: toggleLock,
        },
        [DECMD.MAKE_ABSOLUTE]: {
            status: function () {
                const ctl = controlElement(document);
                return ctl ? (isAbsolute(ctl) ? DECMDF.LATCHED : DECMDF.ENABLED) : DECMDF.DISABLED;
            },
            run: toggleAbsolute,
        },
        [DECMD.MERGECELLS]: {
            status: function () { return enabledIf(selectedCells().length > 1); },
            run: mergeCells,
        },
        [DECMD.ORDERLIST]: editing('insertOrderedList', latching),
        [DECMD.OUTDENT]: editing('outdent'),
        [DECMD.REDO]: editing('redo', {history: true}),
        [DECMD.REMOVEFORMAT]: editing('removeFormat'),
        [DECMD.SELECTALL]: editing('selectAll'),
        [DECMD.SEND_BACKWARD]: {status: onAbsolute, run: function () { return zOrder('backward'); }},
        [DECMD.BRING_FORWARD]: {status: onAbsolute, run: function () { return zOrder('forward'); }},
        [DECMD.SEND_BELOW_TEXT]: {status: onAbsolute, run: function () { return zOrder('below'); }},
        [DECMD.BRING_ABOVE_TEXT]: {status: onAbsolute, run: function () { return zOrder('above'); }},
        [DECMD.SEND_TO_BACK]: {status: onAbsolute, run: function () { return zOrder('back'); }},
        [DECMD.BRING_TO_FRONT]: {status: onAbsolute, run: function () { return zOrder('front'); }},
        [DECMD.SETBACKCOLOR]: editing('backColor'),
        [DECMD.SETBLOCKFMT]: {status: withCaret, run: setBlockFormat},
        [DECMD.SETFONTNAME]: editing('fontName'),
        [DECMD.SETFONTSIZE]: editing('fontSize', {argument: sizeArgument}),
        [DECMD.SETFORECOLOR]: editing('foreColor'),
        [DECMD.SPLITCELL]: {
            status: function () { const cell = currentCell(); return enabledIf(!!cell && cell.colSpan > 1); },
            run: splitCell,
        },
        [DECMD.UNDERLINE]: editing('underline', latching),
        [DECMD.UNDO]: editing('undo', {history: true}),
        [DECMD.UNLINK]: editing('unlink'),
        [DECMD.UNORDERLIST]: editing('insertUnorderedList', latching),
    };

    function commandEntry(cmd) {
        return Object.prototype.hasOwnProperty.call(commands, cmd) ? commands[cmd] : null;
    }

    function status(cmd) {
        const entry = commandEntry(cmd);
        return entry && entry.status ? entry.status() : DECMDF.NOTSUPPORTED;
    }

    function exec(cmd, value) {
        const entry = commandEntry(cmd);
        if (!entry || !entry.run) throw new Error('The command is not supported.');
        return entry.run(value);
    }

    // ---- mouse and keys ------------------------------------------------------------------------

    const controlTags = new Set(['IMG', 'HR', 'INPUT', 'SELECT', 'TEXTAREA', 'BUTTON', 'APPLET', 'OBJECT',
        'EMBED', 'IFRAME', 'MARQUEE', 'TABLE']);

    function controlTarget(el) {
        for (let n = el; n && n.nodeType === 1 && n !== document.body; n = n.parentElement) {
            if (isAbsolute(n)) return n;
        }
        return el && el.nodeType === 1 && controlTags.has(el.tagName) ? el : null;
    }

    function snap(v) {
        return state.snapToGrid ? Math.round(v / state.grid) * state.grid : v;
    }

    function listen() {
        document.addEventListener('mousedown', function (e) {
            state.lastEvent = new EventObject(e);
            const target = controlTarget(e.target);
            if (target) {
                e.preventDefault();
                selectControl(target);
                if (isAbsolute(target) && !isLocked(target)) {
                    state.drag = {el: target, x: e.clientX, y: e.clientY, left: target.offsetLeft, top: target.offsetTop};
                }
            } else {
                state.control = null;
            }
            post('onmousedown', [e.button, e.clientX, e.clientY]);
        }, true);
        document.addEventListener('mousemove', function (e) {
            state.lastEvent = new EventObject(e);
            const d = state.drag;
            if (d && (e.buttons & 1)) {
                d.el.style.left = snap(d.left + e.clientX - d.x) + 'px';
                d.el.style.top = snap(d.top + e.clientY - d.y) + 'px';
            } else {
                state.drag = null;
            }
            post('onmousemove', [e.clientX, e.clientY]);
        }, true);
        document.addEventListener('mouseup', function (e) {
            state.lastEvent = new EventObject(e);
            state.drag = null;
        }, true);
        document.addEventListener('click', function (e) {
            state.lastEvent = new EventObject(e);
            if (e.target && e.target.closest && e.target.closest('a[href]')) e.preventDefault();
            post('onclick', [e.clientX, e.clientY]);
        }, true);
        document.addEventListener('dblclick', function (e) {
            state.lastEvent = new EventObject(e);
            post('ondblclick', [e.clientX, e.clientY]);
        }, true);
        document.addEventListener('keyup', function (e) {
            state.lastEvent = new EventObject(e);
            post('onkeyup', [e.keyCode]);
        }, true);
        document.addEventListener('contextmenu', function (e) {
            e.preventDefault();
            state.lastEvent = new EventObject(e);
            post('ShowContextMenu', [e.clientX, e.clientY]);
        }, true);
        document.addEventListener('selectionchange', function () {
            const r = currentRange(document);
            if (state.control && r && !(r.startContainer === state.control.parentNode)) state.control = null;
            post('DisplayChanged', []);
        });
        document.addEventListener('submit', function (e) { e.preventDefault(); }, true);
    }

    // ---- the public face -----------------------------------------------------------------------

    window.PlovaneEngine = {
        release: release,
        handleCount: function () { return objects.size; },
        document: function () { return run(function () { return document; }); },
        get: function (h, name) { return run(function () { return get(fromHandle(h), String(name)); }); },
        put: function (h, name, value) { return run(function () { put(fromHandle(h), String(name), inp(value)); }); },
        call: function (h, name, args) {
            return run(function () { return call(fromHandle(h), String(name), (args || []).map(inp)); });
        },
        serialize: function () { return run(function () { return serialize(document); }); },
        isDirty: function () { return state.dirty; },
        declaredCharset: function () { return declaredCharset(document); },
        selectionData: function () {
            return run(function () {
                const el = controlElement(document);
                if (el) return [el.outerHTML, el.innerText || ''];
                const r = currentRange(document);
                if (!r || r.collapsed) throw new Error('There is nothing selected.');
                const holder = document.createElement('div');
                holder.appendChild(r.cloneContents());
                return [holder.innerHTML, r.toString()];
            });
        },
        paste: function (html, text) {
            return run(function () {
                const el = controlElement(document);
                if (el) selectControl(el);
                state.control = null;
                const ok = html !== null ? document.execCommand('insertHTML', false, html)
                                         : document.execCommand('insertText', false, text);
                if (!ok) throw new Error('Can not paste here.');
                return true;
            });
        },
        setDirty: function (v) { state.dirty = !!v; return true; },
        status: function (cmd) { try { return status(cmd); } catch (e) { return DECMDF.NOTSUPPORTED; } },
        // Many commands' status and the outputs of some reading commands at once: {s: {cmd: status},
        // v: {cmd: value}}; a read that fails is left out of v.
        statusMany: function (cmds, reads) {
            const s = {};
            const v = {};
            (cmds || []).forEach(function (cmd) {
                try { s[cmd] = status(cmd); } catch (e) { s[cmd] = DECMDF.NOTSUPPORTED; }
            });
            (reads || []).forEach(function (cmd) {
                const answer = run(function () { return exec(cmd); });
                if (!('e' in answer)) v[cmd] = answer.v;
            });
            return {s: s, v: v};
        },
        // The table's shape, for checking it against the C++ side's: [command, has status, has action].
        commandTable: function () {
            return Object.keys(commands).map(function (k) { return [Number(k), !!commands[k].status, !!commands[k].run]; });
        },
        exec: function (cmd, value) { return run(function () { return exec(cmd, inp(value)); }); },
        setOptions: function (o) {
            state.details = !!o.details;
            state.borders = !!o.borders;
            state.snapToGrid = !!o.snapToGrid;
            applyDecorations();
            return true;
        },
        scratchDocument: function () {
            return run(function () {
                const doc = document.implementation.createHTMLDocument('');
                scratchDocuments.add(doc);
                return doc;
            });
        },
        find: function (text, forward, matchCase, wholeWord) {
            // window.find searches from the selection and selects the match.
            return window.find(String(text), !!matchCase, !forward, false, !!wholeWord, false, false);
        },
        ready: function () {
            document.designMode = 'on';
            state.dirty = false;
            state.version++;
            return true;
        },
    };

    // ---- body margins ---------------------------------------------------------------------------

    // The classic BODY attributes leftMargin, rightMargin, topMargin and bottomMargin each set one
    // side. Chromium reads leftmargin and topmargin for both sides of their axis and ignores the other
    // two, so a sheet below every rule of the page's own (specificity 0) gives each side its attribute;
    // a side without one keeps the default 8 pixels.
    const marginSheet = new CSSStyleSheet();
    let marginRule = '';
    function applyBodyMargins() {
        const body = document.body;
        const sides = ['left', 'right', 'top', 'bottom'];
        let rule = '';
        if (body && sides.some(function (s) { return body.hasAttribute(s + 'margin'); })) {
            rule = ':where(body) {' + sides.map(function (s) {
                const v = parseInt(body.getAttribute(s + 'margin'), 10);
                return ' margin-' + s + ': ' + (v >= 0 ? v : 8) + 'px;';
            }).join('') + ' }';
        }
        if (rule === marginRule) return;
        marginRule = rule;
        marginSheet.replaceSync(rule);
        if (!document.adoptedStyleSheets.includes(marginSheet))
            document.adoptedStyleSheets = [marginSheet].concat(document.adoptedStyleSheets);
    }
    new MutationObserver(applyBodyMargins).observe(document, {
        subtree: true, childList: true, attributes: true,
        attributeFilter: ['leftmargin', 'rightmargin', 'topmargin', 'bottommargin'],
    });
    applyBodyMargins();

    // A refresh the page asks for (<meta http-equiv=refresh>) would replace the document being
    // edited; once the page has loaded, nothing it scheduled may go on.
    if (document.readyState === 'complete') window.stop();
    else window.addEventListener('load', function () { window.stop(); });

    listen();
    observe();
})();
