// The reading side of a chronology page written by Nenpyo: the table (rows drawn as they scroll
// into view), the band of time on a canvas (zoom, pan, labels laid out as Nenpyo lays them out),
// the priority filter, search, and going to a year or an era date. Plain script, no library.
//
// Every text of the chronology reaches the page as a DOM text node or as canvas text; a link is
// made only of an address that begins with http:, https: or mailto:.
(function () {
  'use strict';

  const startup = performance.now();
  const data = JSON.parse(document.getElementById('nenpyo-data').textContent);
  const rows = data.rows;
  const N = rows.length;
  const UNITS = data.timeUnits;
  // The fields of a row (see CWebPage).
  const F_YEAR = 0, F_YEAR_TEXT = 1, F_ERA = 2, F_PERIOD = 3, F_BASE = 4, F_DATE = 5, F_RUNS = 6, F_NOTE = 7,
    F_GROUP = 8, F_BEGIN = 9, F_END = 10;
  // By the chronology's column numbers; 5, the window's own 西暦の日付, never comes in the data.
  const COLUMN_TEXT = 6;
  const COLUMN_FIELD = [F_YEAR_TEXT, F_ERA, F_PERIOD, F_BASE, F_DATE, -1, F_RUNS, F_NOTE];
  const COLUMN_CLASS = ['year', 'era', 'period', 'base', 'date', 'day', 'text', 'note'];
  const GROUPS = 4;
  const SAFE_LINK = /^(https?|mailto):/i;
  const MAX_PPY = 12 * 31 * 24;
  const MIN_PPY = 1 / 4294967296;

  const begins = new Float64Array(N);
  const ends = new Float64Array(N);
  for (let i = 0; i < N; ++i) {
    begins[i] = rows[i][F_BEGIN] / UNITS;
    ends[i] = rows[i][F_END] / UNITS;
  }
  const plainTexts = new Array(N);
  function plainText(i) {
    if (plainTexts[i] === undefined)
      plainTexts[i] = rows[i][F_RUNS].map((r) => (typeof r === 'string' ? r : r[0])).join('');
    return plainTexts[i];
  }

  // ---- The events of each priority group by time, for binary search.
  const groupIndex = [];
  const groupBegins = [];
  for (let g = 0; g < GROUPS; ++g) {
    const v = [];
    for (let i = 0; i < N; ++i) if (rows[i][F_GROUP] === g) v.push(i);
    let sorted = true;
    for (let k = 1; k < v.length && sorted; ++k) sorted = begins[v[k - 1]] <= begins[v[k]];
    if (!sorted) v.sort((a, b) => begins[a] - begins[b] || a - b);
    groupIndex.push(Int32Array.from(v));
    groupBegins.push(Float64Array.from(v, (i) => begins[i]));
  }
  function lowerBound(arr, value, from) {
    let lo = from || 0, hi = arr.length;
    while (lo < hi) {
      const mid = (lo + hi) >>> 1;
      if (arr[mid] < value) lo = mid + 1; else hi = mid;
    }
    return lo;
  }
  function range(g, from, to) {
    const first = lowerBound(groupBegins[g], from);
    return [first, lowerBound(groupBegins[g], to, first)];
  }
  function countVisible(nGroups, from, to) {
    let n = 0;
    for (let g = 0; g < nGroups; ++g) {
      const [a, b] = range(g, from, to);
      n += b - a;
      const [c, d] = range(g, from - 1, from);
      for (let k = c; k < d; ++k) if (ends[groupIndex[g][k]] > from) ++n;
    }
    return n;
  }

  // ---- State.
  const state = {
    groups: Math.min(Math.max(data.priority | 0, 1), GROUPS),  // priority groups shown
    selected: -1,                   // row index
    query: '',
    hits: [],                       // shown rows holding the query, in list order
    left: 0, ppy: 1,                // the band's scale: the time at its left edge, pixels a year
  };
  const timings = { script: 0, firstView: 0, lastDraw: 0, lastLayout: 0 };

  // ---- The table: a tbody for each chunk of shown rows, filled when it comes into view.
  const CHUNK = 100;
  const table = document.getElementById('rows');
  const tableBox = document.getElementById('table-box');
  const head = document.getElementById('head');
  const columns = data.columns;
  let shown = new Int32Array(0);     // the row indexes the filter shows
  let positionOf = new Int32Array(N); // row index -> position in shown, -1 when hidden
  let chunks = [];
  let rowHeight = 24;
  let observer = null;
  const rowElements = new Map();      // row index -> tr

  for (const [, title] of columns) {
    const th = document.createElement('th');
    th.scope = 'col';
    th.textContent = title;
    head.appendChild(th);
  }

  function makeCell(i, column) {
    const td = document.createElement('td');
    td.className = COLUMN_CLASS[column];
    const value = rows[i][COLUMN_FIELD[column]];
    if (column !== COLUMN_TEXT) {
      td.textContent = value;
      return td;
    }
    for (const run of value) {
      if (typeof run === 'string') {
        td.appendChild(document.createTextNode(run));
      } else if (SAFE_LINK.test(run[1])) {
        const a = document.createElement('a');
        a.href = run[1];
        a.rel = 'noopener noreferrer';
        a.target = '_blank';
        a.textContent = run[0];
        td.appendChild(a);
      } else {
        td.appendChild(document.createTextNode(run[0]));
      }
    }
    return td;
  }
  function makeRow(i) {
    const tr = document.createElement('tr');
    tr.dataset.row = i;
    tr.className = 'p' + rows[i][F_GROUP] + (i === state.selected ? ' selected' : '') +
      (state.query && matches(i) ? ' hit' : '');
    for (const [column] of columns) tr.appendChild(makeCell(i, column));
    rowElements.set(i, tr);
    return tr;
  }
  function fillChunk(c) {
    const chunk = chunks[c];
    if (chunk.filled) return;
    chunk.filled = true;
    const fragment = document.createDocumentFragment();
    const end = Math.min(shown.length, (c + 1) * CHUNK);
    for (let p = c * CHUNK; p < end; ++p) fragment.appendChild(makeRow(shown[p]));
    chunk.body.replaceChildren(fragment);
    if (observer) observer.unobserve(chunk.body);
  }
  function placeholder(count) {
    const tr = document.createElement('tr');
    tr.className = 'placeholder';
    const td = document.createElement('td');
    td.colSpan = columns.length;
    td.style.height = (count * rowHeight) + 'px';
    tr.appendChild(td);
    return tr;
  }
  function buildTable() {
    if (observer) observer.disconnect();
    for (const chunk of chunks) chunk.body.remove();
    rowElements.clear();
    const v = [];
    positionOf.fill(-1);
    for (let i = 0; i < N; ++i) {
      if (rows[i][F_GROUP] < state.groups) {
        positionOf[i] = v.length;
        v.push(i);
      }
    }
    shown = Int32Array.from(v);
    chunks = [];
    const fragment = document.createDocumentFragment();
    for (let p = 0; p < shown.length; p += CHUNK) {
      const body = document.createElement('tbody');
      body.dataset.chunk = chunks.length;
      body.appendChild(placeholder(Math.min(CHUNK, shown.length - p)));
      chunks.push({ body: body, filled: false });
      fragment.appendChild(body);
    }
    table.appendChild(fragment);
    if (chunks.length > 0) {
      fillChunk(0);
      const filled = chunks[0].body.getBoundingClientRect().height;
      if (filled > 0) rowHeight = filled / Math.min(CHUNK, shown.length);
    }
    observer = new IntersectionObserver((entries) => {
      for (const entry of entries)
        if (entry.isIntersecting) fillChunk(Number(entry.target.dataset.chunk));
    }, { root: tableBox, rootMargin: '800px 0px' });
    for (let c = 1; c < chunks.length; ++c) observer.observe(chunks[c].body);
  }
  function rowElement(i) {
    if (positionOf[i] < 0) return null;
    fillChunk(Math.floor(positionOf[i] / CHUNK));
    return rowElements.get(i) || null;
  }
  function scrollToRow(i) {
    const tr = rowElement(i);
    if (!tr) return;
    const boxTop = tableBox.getBoundingClientRect().top;
    const headHeight = head.getBoundingClientRect().height;
    const rowTop = tr.getBoundingClientRect().top;
    const room = tableBox.clientHeight;
    if (rowTop < boxTop + headHeight || rowTop + tr.offsetHeight > boxTop + room)
      tableBox.scrollTop += rowTop - boxTop - headHeight - room / 3;
  }

  // ---- Selecting: a row, its label in the band, and back.
  function select(i, options) {
    const old = state.selected;
    if (old >= 0 && rowElements.has(old)) rowElements.get(old).classList.remove('selected');
    state.selected = i;
    const tr = i >= 0 ? rowElement(i) : null;
    if (tr) tr.classList.add('selected');
    if (i >= 0 && options && options.scrollTable) scrollToRow(i);
    if (i >= 0 && options && options.showInBand) {
      const x = X(begins[i]);
      if (x < 0 || x > band.width) placeAt(begins[i], band.width / 2);
    }
    scheduleDraw();
  }
  table.addEventListener('click', (e) => {
    if (e.target.closest('a')) return;
    const tr = e.target.closest('tr[data-row]');
    if (tr) select(Number(tr.dataset.row), { showInBand: true });
  });

  // ---- Search: a count, and next and previous going round.
  const searchBox = document.getElementById('search');
  const searchCount = document.getElementById('search-count');
  let lowered = null;
  function matches(i) {
    if (!lowered) lowered = new Array(N);
    if (lowered[i] === undefined) lowered[i] = (plainText(i) + '\n' + rows[i][F_NOTE]).toLowerCase();
    return lowered[i].includes(state.query);
  }
  function runSearch() {
    state.query = searchBox.value.trim().toLowerCase();
    const hits = [];
    if (state.query) for (const i of shown) if (matches(i)) hits.push(i);
    state.hits = hits;
    for (const [i, tr] of rowElements) tr.classList.toggle('hit', state.query !== '' && matches(i));
    updateSearchCount();
  }
  function updateSearchCount() {
    if (!state.query) { searchCount.value = ''; return; }
    const at = state.hits.indexOf(state.selected);
    searchCount.value = state.hits.length === 0 ? '見つかりません'
      : (at >= 0 ? (at + 1) + '/' : '') + state.hits.length + '件';
  }
  function findNext(step) {
    if (state.hits.length === 0) return;
    const here = state.selected >= 0 ? positionOf[state.selected] : -1;
    let k;
    if (step > 0) {
      k = state.hits.findIndex((i) => positionOf[i] > here);
      if (k < 0) k = 0;
    } else {
      k = state.hits.length - 1;
      for (let n = state.hits.length - 1; n >= 0; --n) if (positionOf[state.hits[n]] < here) { k = n; break; }
    }
    select(state.hits[k], { scrollTable: true, showInBand: true });
    updateSearchCount();
  }
  searchBox.addEventListener('input', runSearch);
  document.getElementById('search-form').addEventListener('submit', (e) => { e.preventDefault(); findNext(1); });
  document.getElementById('search-prev').addEventListener('click', () => findNext(-1));

  // ---- The filter.
  const priority = document.getElementById('priority');
  const status = document.getElementById('status');
  for (const option of priority.options) option.disabled = Number(option.value) > state.groups;
  priority.value = String(state.groups >= GROUPS ? 4 : state.groups);
  function applyFilter() {
    state.groups = Math.min(Number(priority.value), GROUPS);
    buildTable();
    if (state.selected >= 0 && positionOf[state.selected] < 0) state.selected = -1;
    if (state.selected >= 0) select(state.selected, { scrollTable: true });
    runSearch();
    status.value = shown.length + '件を表示(全' + N + '件)';
    scheduleDraw();
  }
  priority.addEventListener('change', applyFilter);

  // ---- The band: scale, ticks, layout and painting.
  const band = { canvas: document.getElementById('band'), width: 0, height: 0, ratio: 1 };
  const ctx = band.canvas.getContext('2d');
  const FONT = '13px ' + getComputedStyle(document.body).fontFamily;
  const GROUP_FONT = ['bold 14px ', '13px ', '12px ', '12px '].map((f) => f + getComputedStyle(document.body).fontFamily);
  const GROUP_TEXT = ['#000', '#202020', '#505050', '#505050'];
  const GROUP_MARK = ['#8a1c1c', '#303030', '#808080', '#808080'];
  const PERIOD_FILL = ['#dfe8f3', '#b4c8e0'];
  const ERA_FILL = ['#f6e7c6', '#debf86'];
  const POINT_MARK = 9, SPAN_MARK = 5, ROW_HEIGHT = 20, AXIS = 24, LANE = 18, STRIP = 14;
  let labels = [];                 // the labels of the last layout
  let density = [];
  let eventsTop = 0;

  const X = (t) => (t - state.left) * state.ppy;
  const T = (x) => state.left + x / state.ppy;
  const clampPpy = (p) => Math.min(Math.max(p, MIN_PPY), MAX_PPY);
  function placeAt(t, x) { state.left = t - x / state.ppy; scheduleDraw(); }
  function zoomAt(x, factor) {
    const t = T(x);
    state.ppy = clampPpy(state.ppy * factor);
    placeAt(t, x);
  }
  function pan(px) { state.left += px / state.ppy; scheduleDraw(); }
  function fit(from, to) {
    if (!(to > from) || band.width <= 0) return;
    state.ppy = clampPpy(band.width / (to - from));
    placeAt((from + to) / 2, band.width / 2);
  }
  function yearStart(y) { return y >= 1 ? y - 1 : (y === 0 ? 0 : y); }
  function yearAt(t) { const f = Math.floor(t); return f >= 0 ? f + 1 : f; }
  function yearText(y) { return y < 0 ? '前' + (-y) : String(y); }
  function extent() {
    let from = Infinity, to = -Infinity;
    for (let g = 0; g < GROUPS; ++g) {
      const gb = groupBegins[g];
      if (gb.length === 0) continue;
      from = Math.min(from, gb[0]);
      to = Math.max(to, gb[gb.length - 1] + 1);
    }
    if (to > from) return [from, to];
    if (data.baseYear) {
      const b = yearStart(data.baseYear[0]);
      return [b, data.baseYear[1] === null ? b + 100 : yearStart(data.baseYear[1]) + 1];
    }
    return [0, 2100];
  }
  function showAll() {
    const [from, to] = extent();
    const margin = (to - from) * 0.03;
    fit(from - margin, to + margin);
  }

  const STEPS = [1 / 12, 3 / 12, 6 / 12];
  for (let d = 1; d <= 1e10; d *= 10) STEPS.push(d, 5 * d);
  function ticks(labelPixels) {
    let s = STEPS.findIndex((step) => step * state.ppy >= labelPixels);
    if (s < 0) s = STEPS.length - 1;
    const out = [];
    const add = (step, labelled) => {
      const from = T(0), to = T(band.width);
      if (step >= 1) {
        for (let k = Math.floor(yearAt(from) / step) - 1; k <= Math.ceil(yearAt(to) / step) + 1; ++k) {
          const y = k === 0 ? 1 : k * step;
          const t = yearStart(y);
          if (t >= from && t <= to) out.push({ t: t, year: y, month: 0, labelled: labelled });
        }
        return;
      }
      const monthStep = Math.round(step * 12);
      for (let y = Math.floor(from); y <= to; ++y)
        for (let m = 1; m <= 12; m += monthStep) {
          const t = y + (m - 1) / 12;
          if (t >= from && t <= to) out.push({ t: t, year: yearAt(y), month: m === 1 ? 0 : m, labelled: labelled });
        }
    };
    add(STEPS[s], true);
    if (s > 0 && STEPS[s - 1] * state.ppy >= 6) add(STEPS[s - 1], false);
    return out;
  }

  // The rows of labels: each row's taken stretches, sorted and apart.
  function takeRow(rowsTaken, left, right) {
    for (let r = 0; r < rowsTaken.length; ++r) {
      const v = rowsTaken[r];
      let lo = 0, hi = v.length;
      while (lo < hi) { const mid = (lo + hi) >>> 1; if (v[mid][0] < left) lo = mid + 1; else hi = mid; }
      if (lo < v.length && v[lo][0] < right) continue;
      if (lo > 0 && v[lo - 1][1] > left) continue;
      v.splice(lo, 0, [left, right]);
      return r;
    }
    return -1;
  }
  const widths = [new Float32Array(N), new Float32Array(N), new Float32Array(N), new Float32Array(N)];
  function labelText(i) {
    const text = plainText(i);
    const line = text.split(/\r?\n/, 1)[0];
    return line.length > 60 ? line.slice(0, 59) + '…' : line;
  }
  function labelWidth(i, g) {
    if (widths[g][i] === 0) {
      ctx.font = GROUP_FONT[g];
      widths[g][i] = ctx.measureText(labelText(i)).width + 0.01;
    }
    const span = X(ends[i]) - X(begins[i]) >= 3;
    return widths[g][i] + (span ? SPAN_MARK + 2 : POINT_MARK + 2);
  }
  // The labels of the visible events: the selected one first, then by group, each in time order;
  // a crowded group is sampled on a grid fixed in time. What gets no label is counted in columns.
  function layOutLabels(rowCount) {
    const width = band.width, from = T(0), to = T(width), gap = 6, densityPixels = 3;
    const rowsTaken = Array.from({ length: Math.max(rowCount, 0) }, () => []);
    const out = [];
    let selectedPlaced = -1;
    const place = (i, g) => {
      if (i === selectedPlaced || !(ends[i] > from) || !(begins[i] < to)) return;
      const markLeft = X(begins[i]);
      const markRight = Math.max(X(ends[i]), markLeft + 1);
      const left = Math.max(markLeft, 0);
      const right = Math.max(left + labelWidth(i, g), markRight);
      const row = takeRow(rowsTaken, left, right + gap);
      if (row >= 0) out.push({ row: row, index: i, group: g, markLeft: markLeft, markRight: markRight, left: left, right: right });
    };
    const s = state.selected;
    if (s >= 0 && rows[s][F_GROUP] < state.groups) { place(s, rows[s][F_GROUP]); selectedPlaced = s; }
    const budget = Math.max(rowCount, 1) * (Math.floor(width / 16) + 1);
    for (let g = 0; g < state.groups && rowCount > 0; ++g) {
      const [first, last] = range(g, from - 1, to);
      if (last - first <= budget) {
        for (let k = first; k < last; ++k) place(groupIndex[g][k], g);
        continue;
      }
      const column = 8 / state.ppy;
      let next = first;
      for (let k = Math.floor(from / column); k * column < to; ++k) {
        const at = lowerBound(groupBegins[g], Math.max(k * column, from - 1));
        if (at >= last) break;
        if (at >= next && groupBegins[g][at] < (k + 1) * column) { place(groupIndex[g][at], g); next = at + 1; }
      }
    }
    const visible = countVisible(state.groups, from, to);
    const counts = [];
    if (out.length < visible) {
      const n = Math.ceil(width / densityPixels);
      for (let c = 0; c < n; ++c) counts.push(0);
      for (let g = 0; g < state.groups; ++g) {
        let prev = range(g, from, to)[0];
        for (let c = 0; c < n; ++c) {
          const e = lowerBound(groupBegins[g], Math.min(T((c + 1) * densityPixels), to), prev);
          counts[c] += e - prev;
          prev = Math.max(prev, e);
        }
      }
    }
    return { labels: out, visible: visible, density: counts };
  }

  function paintSpans(spans, top, height, fills) {
    if (!spans || spans.lanes === 0) return;
    const lane = height / spans.lanes;
    const parity = new Array(spans.lanes).fill(0);
    ctx.font = FONT;
    ctx.textBaseline = 'middle';
    for (const [b, e, laneOf, alone, name] of spans.spans) {
      const p = parity[laneOf]++ % 2;
      const x0 = Math.max(X(b / UNITS), -10), x1 = Math.min(X(e / UNITS), band.width + 10);
      if (x1 < 0 || x0 > band.width) continue;
      const y = alone ? top : top + laneOf * lane, h = alone ? height : lane;
      ctx.fillStyle = fills[p];
      ctx.fillRect(x0, y + 0.5, x1 - x0, h - 1);
      if (x1 - x0 >= 3) { ctx.strokeStyle = '#707070'; ctx.lineWidth = 0.8; ctx.strokeRect(x0, y + 0.5, x1 - x0, h - 1); }
      const left = Math.max(x0, 0) + 3, room = Math.min(x1, band.width) - left - 2;
      if (ctx.measureText(name).width <= room) { ctx.fillStyle = '#000'; ctx.fillText(name, left, y + h / 2); }
    }
  }
  function paintAxis() {
    ctx.fillStyle = '#f4f4f4';
    ctx.fillRect(0, 0, band.width, AXIS);
    ctx.font = FONT;
    ctx.textBaseline = 'middle';
    for (const tick of ticks(70)) {
      const x = Math.round(X(tick.t)) + 0.5;
      ctx.strokeStyle = tick.labelled ? '#d8d8d8' : '#eeeeee';
      ctx.beginPath(); ctx.moveTo(x, AXIS); ctx.lineTo(x, band.height); ctx.stroke();
      ctx.strokeStyle = '#707070';
      ctx.beginPath(); ctx.moveTo(x, tick.labelled ? AXIS - 8 : AXIS - 4); ctx.lineTo(x, AXIS); ctx.stroke();
      if (tick.labelled) {
        ctx.fillStyle = '#000';
        ctx.fillText(tick.month ? tick.month + '月' : yearText(tick.year), x + 3, AXIS / 2 - 2);
      }
    }
  }
  function paintBaseYear(top) {
    const [first, last, name] = data.baseYear;
    const x0 = Math.max(X(yearStart(first)), -10);
    const x1 = Math.min(last === null ? band.width + 10 : X(yearStart(last) + 1), band.width + 10);
    if (!(x1 > x0)) return;
    ctx.fillStyle = '#cfe5c2'; ctx.fillRect(x0, top + 1, x1 - x0, LANE - 2);
    ctx.strokeStyle = '#707070'; ctx.strokeRect(x0, top + 1, x1 - x0, LANE - 2);
    let text = '基点年 ' + yearText(first) + (last === null ? '' : '–' + yearText(last));
    if (name) text = name + '  ' + text;
    const left = Math.max(x0, 0) + 4;
    ctx.font = FONT;
    if (ctx.measureText(text).width <= Math.min(x1, band.width) - left - 2) {
      ctx.fillStyle = '#000'; ctx.fillText(text, left, top + LANE / 2);
    }
  }
  function paintLabels() {
    ctx.textBaseline = 'middle';
    for (const label of labels) {
      const i = label.index, g = label.group, y = eventsTop + label.row * ROW_HEIGHT;
      const selected = i === state.selected;
      if (selected) { ctx.fillStyle = '#cfe0f7'; ctx.fillRect(label.left - 1, y, label.right - label.left + 2, ROW_HEIGHT - 2); }
      ctx.fillStyle = GROUP_MARK[g];
      const span = label.markRight - label.markLeft >= 3;
      if (span) ctx.fillRect(label.markLeft, y + 2, label.markRight - label.markLeft, ROW_HEIGHT - 6);
      else ctx.fillRect(label.markLeft - 1, y + 4, 3, ROW_HEIGHT - 10);
      const textLeft = Math.max(label.left, span ? label.markLeft : label.markLeft) + (span ? SPAN_MARK + 2 : POINT_MARK - 2);
      ctx.font = GROUP_FONT[g];
      const linked = rows[i][F_RUNS].some((r) => typeof r !== 'string' && SAFE_LINK.test(r[1]));
      ctx.fillStyle = selected ? '#1f4e9a' : (linked ? '#1a4f9c' : GROUP_TEXT[g]);
      const text = labelText(i);
      ctx.fillText(text, textLeft, y + ROW_HEIGHT / 2 - 1);
      if (linked) ctx.fillRect(textLeft, y + ROW_HEIGHT - 5, widths[g][i], 1);
    }
  }
  function paintDensity(top, visible) {
    ctx.fillStyle = '#f4f4f4';
    ctx.fillRect(0, top, band.width, STRIP);
    if (density.length === 0) return;
    const logMax = Math.log1p(Math.max(...density, 1));
    ctx.fillStyle = '#505050';
    for (let c = 0; c < density.length; ++c) {
      if (density[c] === 0) continue;
      const h = Math.max(2, (STRIP - 2) * Math.log1p(density[c]) / logMax);
      ctx.fillRect(c * 3, top + STRIP - h, 2.5, h);
    }
    const text = labels.length + '/' + visible + '件に名前';
    ctx.font = FONT;
    const w = ctx.measureText(text).width + 8;
    ctx.fillStyle = 'rgba(255,255,255,0.9)';
    ctx.fillRect(band.width - w, top, w, STRIP);
    ctx.fillStyle = '#000';
    ctx.fillText(text, band.width - w + 4, top + STRIP / 2);
  }
  function resize() {
    const rect = band.canvas.getBoundingClientRect();
    band.ratio = window.devicePixelRatio || 1;
    band.width = Math.max(1, Math.round(rect.width));
    band.height = Math.max(1, Math.round(rect.height));
    band.canvas.width = Math.round(band.width * band.ratio);
    band.canvas.height = Math.round(band.height * band.ratio);
  }
  function draw() {
    const start = performance.now();
    drawPending = false;
    ctx.setTransform(band.ratio, 0, 0, band.ratio, 0, 0);
    ctx.fillStyle = '#fff';
    ctx.fillRect(0, 0, band.width, band.height);
    paintAxis();
    let y = AXIS + 2;
    const periodHeight = data.periods.lanes > 0 ? LANE * Math.min(data.periods.lanes, 2) : 0;
    paintSpans(data.periods, y, periodHeight, PERIOD_FILL);
    y += periodHeight;
    const eraHeight = data.eras.lanes > 0 ? LANE * Math.min(data.eras.lanes, 2) : 0;
    paintSpans(data.eras, y, eraHeight, ERA_FILL);
    y += eraHeight;
    if (data.baseYear) { paintBaseYear(y); y += LANE; }
    eventsTop = y + 4;
    const layoutStart = performance.now();
    const result = layOutLabels(Math.floor((band.height - eventsTop - STRIP) / ROW_HEIGHT));
    timings.lastLayout = performance.now() - layoutStart;
    labels = result.labels;
    density = result.density;
    paintLabels();
    paintDensity(band.height - STRIP, result.visible);
    timings.lastDraw = performance.now() - start;
  }
  let drawPending = false;
  function scheduleDraw() {
    if (drawPending) return;
    drawPending = true;
    requestAnimationFrame(draw);
  }
  function labelAt(x, y) {
    const row = Math.floor((y - eventsTop) / ROW_HEIGHT);
    for (const label of labels)
      if (label.row === row && x >= label.left - 1 && x <= label.right + 1) return label;
    return null;
  }

  // ---- Zoom and pan: wheel, pinch, drag, keys and buttons.
  const canvas = band.canvas;
  canvas.addEventListener('wheel', (e) => {
    e.preventDefault();
    const rect = canvas.getBoundingClientRect();
    if (e.shiftKey) pan(e.deltaY || e.deltaX);
    else zoomAt(e.clientX - rect.left, Math.pow(1.0015, -e.deltaY));
  }, { passive: false });
  const pointers = new Map();
  let drag = null;
  canvas.addEventListener('pointerdown', (e) => {
    canvas.setPointerCapture(e.pointerId);
    pointers.set(e.pointerId, { x: e.clientX, y: e.clientY });
    drag = pointers.size === 1 ? { x: e.clientX, y: e.clientY, moved: 0 } : null;
  });
  canvas.addEventListener('pointermove', (e) => {
    const p = pointers.get(e.pointerId);
    if (!p) return;
    if (pointers.size === 2) {
      const [a, b] = [...pointers.values()];
      const before = Math.abs(a.x - b.x);
      p.x = e.clientX; p.y = e.clientY;
      const after = Math.abs(a.x - b.x);
      const rect = canvas.getBoundingClientRect();
      if (before > 10 && after > 10) zoomAt((a.x + b.x) / 2 - rect.left, after / before);
      return;
    }
    if (drag) {
      drag.moved += Math.abs(e.clientX - p.x) + Math.abs(e.clientY - p.y);
      pan(p.x - e.clientX);
    }
    p.x = e.clientX; p.y = e.clientY;
  });
  const release = (e) => {
    const wasClick = drag && drag.moved < 4 && pointers.size === 1;
    pointers.delete(e.pointerId);
    if (e.type === 'pointerup' && wasClick) {
      const rect = canvas.getBoundingClientRect();
      const label = labelAt(e.clientX - rect.left, e.clientY - rect.top);
      if (label) select(label.index, { scrollTable: true });
    }
    if (pointers.size === 0) drag = null;
  };
  canvas.addEventListener('pointerup', release);
  canvas.addEventListener('pointercancel', release);
  canvas.addEventListener('keydown', (e) => {
    const step = band.width / 8;
    const keys = {
      '+': () => zoomAt(band.width / 2, 1.5), '=': () => zoomAt(band.width / 2, 1.5), '-': () => zoomAt(band.width / 2, 1 / 1.5),
      'ArrowLeft': () => pan(-step), 'ArrowRight': () => pan(step),
      'Home': () => placeAt(extent()[0], 10), 'End': () => placeAt(extent()[1], band.width - 10),
    };
    if (keys[e.key] && !e.ctrlKey && !e.altKey && !e.metaKey) { e.preventDefault(); keys[e.key](); }
  });
  document.getElementById('zoom-in').addEventListener('click', () => zoomAt(band.width / 2, 1.5));
  document.getElementById('zoom-out').addEventListener('click', () => zoomAt(band.width / 2, 1 / 1.5));
  document.getElementById('zoom-all').addEventListener('click', showAll);

  // ---- Going to a year or an era date: 1868, 前660, 平成元年, 平成1, H1.
  const ABBREVIATIONS = { M: '明治', T: '大正', S: '昭和', H: '平成', R: '令和' };
  function parseYear(input) {
    const s = input.normalize('NFKC').replace(/\s+/g, '');
    let m = /^(前|-)?(\d{1,10})年?$/.exec(s);
    if (m) {
      const y = Number(m[2]) * (m[1] ? -1 : 1);
      return y !== 0 && Math.abs(y) <= 2147483647 ? y : null;
    }
    m = /^(.+?)(元|\d{1,10})?年?$/.exec(s);
    if (!m) return null;
    const name = ABBREVIATIONS[m[1].toUpperCase()] || m[1];
    const start = data.eraStarts.find((era) => era[0] === name);
    if (!start) return null;
    const n = m[2] === undefined || m[2] === '元' ? 1 : Number(m[2]);
    const y = start[1] + n - 1;
    return n >= 1 && y <= 2147483647 ? (start[1] < 0 && y >= 0 ? y + 1 : y) : null;
  }
  function jumpTo(year) {
    const t = yearStart(year);
    if (band.width / state.ppy > 200) state.ppy = clampPpy(band.width / 40);
    placeAt(t + 0.5, band.width / 2);
    // The first shown row of that year or after it.
    let best = -1;
    for (const i of shown) if (rows[i][F_YEAR] >= year && (best < 0 || begins[i] < begins[best])) best = i;
    if (best >= 0) select(best, { scrollTable: true });
    return best;
  }
  const jump = document.getElementById('jump');
  const jumpResult = document.getElementById('jump-result');
  document.getElementById('jump-form').addEventListener('submit', (e) => {
    e.preventDefault();
    const year = parseYear(jump.value);
    if (year === null) { jumpResult.value = '年または元号の年を入力してください'; return; }
    jumpTo(year);
    jumpResult.value = yearText(year) + '年';
  });

  // ---- Printing: every row, and the band of what the view shows.
  window.addEventListener('beforeprint', () => { for (let c = 0; c < chunks.length; ++c) fillChunk(c); draw(); });
  window.addEventListener('resize', () => { resize(); scheduleDraw(); });

  // ---- What scripts and tests may read or drive.
  window.nenpyo = Object.freeze({
    get selected() { return state.selected; },
    get shownCount() { return shown.length; },
    get hitCount() { return state.hits.length; },
    get view() { return { from: T(0), to: T(band.width), pixelsPerYear: state.ppy, width: band.width }; },
    get labels() { return labels.map((l) => ({ index: l.index, text: labelText(l.index), x: (l.left + l.right) / 2, y: eventsTop + (l.row + 0.5) * ROW_HEIGHT })); },
    get timings() { return Object.assign({}, timings); },
    parseYear: parseYear,
    // One zoom step drawn at once; the milliseconds it took.
    zoomStep: function (factor) { const t = performance.now(); zoomAt(band.width / 2, factor); draw(); return performance.now() - t; },
    renderedRows: function () { return rowElements.size; },
  });

  resize();
  applyFilter();
  showAll();
  draw();
  timings.script = performance.now() - startup;
  timings.firstView = performance.now();
  document.documentElement.dataset.ready = 'true';
})();
