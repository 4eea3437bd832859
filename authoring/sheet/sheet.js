(function () {
  'use strict';
  const started = performance.now();
  const data = JSON.parse(document.getElementById('sheet-data').textContent);
  const lay = data.layout;
  const svg = document.getElementById('route-sheet');
  const NS = 'http://www.w3.org/2000/svg';
  const PB = {x: lay.plan[0], y: lay.plan[1], w: lay.plan[2], h: lay.plan[3]};
  const FB = {x: lay.profile[0], y: lay.profile[1], w: lay.profile[2], h: lay.profile[3]};
  const END = data.end;
  const LINE = data.line_length;
  const MIN_SPAN = 200;
  const $ = (id) => document.getElementById(id);

  function bytesOf(text) {
    if (Uint8Array.fromBase64) return Uint8Array.fromBase64(text);
    const s = atob(text);
    const out = new Uint8Array(s.length);
    for (let i = 0; i < s.length; i++) out[i] = s.charCodeAt(i);
    return out;
  }

  // The cells, as the track file holds them: 15 bytes each.
  let n = 0;
  let cells = null;
  let grade = null;
  let rise = null;  // millimetres at the start of each cell, and at the end of the last
  if (data.cells) {
    cells = bytesOf(data.cells);
    n = Math.floor(cells.length / 15);
    grade = new Int16Array(n);
    rise = new Float64Array(n + 1);
    for (let k = 0; k < n; k++) {
      const p = cells[15 * k + 13];
      grade[k] = p === 0 ? 0 : p - 100;
      rise[k + 1] = rise[k] + 50 * grade[k];
    }
  }
  const cellByte = (k, offset) => cells[15 * k + offset];
  function riseAt(m) {
    if (n === 0) return 0;
    const c = Math.floor(m / 50);
    if (c >= n) return rise[n];
    return rise[c] + grade[c] * (m - 50 * c);
  }

  // The plan: x and y of every metre, centimetres, each value a byte off the straight line
  // through the two before it, or 0x80 and the value in 4 bytes (encode_plan_centimetres).
  let rows = 0;
  let PX = null;
  let PY = null;
  if (data.plan) {
    const bytes = bytesOf(data.plan.cm);
    rows = data.plan.rows;
    const cm = [new Float64Array(rows), new Float64Array(rows)];
    let i = 0;
    for (let r = 0; r < rows; r++) {
      for (let c = 0; c < 2; c++) {
        const b = bytes[i++];
        const column = cm[c];
        if (b === 0x80) {
          column[r] = bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | bytes[i + 3] << 24;
          i += 4;
        } else {
          column[r] = 2 * column[r - 1] - column[r - 2] + (b > 127 ? b - 256 : b);
        }
      }
    }
    PX = cm[0];
    PY = cm[1];
    for (let r = 0; r < rows; r++) {
      PX[r] /= 100;
      PY[r] /= 100;
    }
  }

  const objectByCell = new Map();
  for (const o of data.objects) objectByCell.set(o.cell, o);

  // ---- words

  function roundHalfEven(x) {
    const r = Math.round(x);
    return Math.abs(x % 1) === 0.5 && r % 2 !== 0 ? r - 1 : r;
  }
  const cellOf = (m) => roundHalfEven(m / 50 + 1);
  const pad3 = (v) => String(1000 + v).slice(1);
  function chainage(m) {
    const a = Math.abs(m);
    return 'km ' + (m < 0 ? '-' : '') + Math.floor(a / 1000) + '+' + pad3(a % 1000);
  }
  function metresOfMm(mm, signed) {
    const a = Math.abs(mm);
    return (mm < 0 ? '-' : signed && mm > 0 ? '+' : '') + Math.floor(a / 1000) + '.' +
        pad3(a % 1000);
  }
  const perMille = (g) => (g > 0 ? '+' : '') + g + ' \u2030';

  // ---- the view: metres a to b along the route

  const view = {a: 0, b: END};
  const whole = () => view.a <= 0 && view.b >= END;
  const xOf = (m) => FB.x + (m - view.a) * FB.w / (view.b - view.a);
  const mOf = (x) => view.a + (x - FB.x) * (view.b - view.a) / FB.w;

  function setView(a, b) {
    let span = Math.min(Math.max(b - a, MIN_SPAN), END);
    a = Math.max(0, Math.min(a, END - span));
    view.a = a;
    view.b = a + span;
    schedule();
  }
  function zoomAround(m, factor) {
    const span = Math.min(Math.max((view.b - view.a) * factor, MIN_SPAN), END);
    const t = (m - view.a) / (view.b - view.a);
    setView(m - t * span, m - t * span + span);
  }

  let pending = false;
  function schedule() {
    if (pending) return;
    pending = true;
    requestAnimationFrame(() => {
      pending = false;
      draw();
    });
  }

  // ---- the same rules as the renderer's (authoring/route_sheet.cpp)

  function tickStep(metresPerPx, leastPx) {
    const steps = [10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000, 100000,
                   200000, 500000, 1000000];
    for (const s of steps) if (s / metresPerPx >= leastPx) return s;
    return 1000000;
  }
  const fmt = (v) => {
    const t = roundHalfEven(v * 10);
    const s = (Math.abs(t) / 10).toFixed(1).replace(/\.0$/, '');
    return (t < 0 ? '-' : '') + s;
  };
  function riseRange(low, high) {
    let span = high - low;
    if (span < 2) {
      const mid = (low + high) / 2;
      low = mid - 1;
      high = mid + 1;
      span = 2;
    }
    return [low - span * 0.08, high + span * 0.08];
  }
  // The radial pass of thin_polyline, a point at a time: each point but the first and the last
  // is kept when it lies at least half the tolerance from the last one kept.
  class Thinning {
    constructor(tolerance) {
      const half = tolerance / 2;
      this.half2 = half * half;
      this.xs = [];
      this.ys = [];
      this.rs = [];
      this.pending = -1;
    }
    add(r, x, y) {
      const n = this.rs.length;
      if (n === 0) {
        this.xs.push(x);
        this.ys.push(y);
        this.rs.push(r);
        return;
      }
      if (this.pending >= 0) {
        const dx = this.px - this.xs[n - 1], dy = this.py - this.ys[n - 1];
        if (dx * dx + dy * dy >= this.half2) {
          this.xs.push(this.px);
          this.ys.push(this.py);
          this.rs.push(this.pending);
        }
      }
      this.pending = r;
      this.px = x;
      this.py = y;
    }
    // The points kept, after the Douglas-Peucker pass: [xs, ys, rows].
    finish() {
      if (this.pending >= 0) {
        this.xs.push(this.px);
        this.ys.push(this.py);
        this.rs.push(this.pending);
      }
      const xs = this.xs, ys = this.ys, m = xs.length;
      if (m <= 2) return [xs, ys, this.rs];
      const keep = new Uint8Array(m);
      keep[0] = keep[m - 1] = 1;
      const stack = [0, m - 1];
      while (stack.length) {
        const b = stack.pop();
        const a = stack.pop();
        if (b <= a + 1) continue;
        const ax = xs[a], ay = ys[a], dx = xs[b] - ax, dy = ys[b] - ay;
        const length2 = dx * dx + dy * dy;
        let worst = -1;
        let at = a;
        for (let i = a + 1; i < b; i++) {
          const px = xs[i], py = ys[i];
          let t = length2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / length2 : 0;
          t = Math.min(Math.max(t, 0), 1);
          const ex = ax + t * dx - px, ey = ay + t * dy - py;
          const d = ex * ex + ey * ey;
          if (d > worst) {
            worst = d;
            at = i;
          }
        }
        if (worst > this.half2) {
          keep[at] = 1;
          stack.push(a, at, at, b);
        }
      }
      const kx = [], ky = [], kr = [];
      for (let i = 0; i < m; i++) {
        if (keep[i]) {
          kx.push(xs[i]);
          ky.push(ys[i]);
          kr.push(this.rs[i]);
        }
      }
      return [kx, ky, kr];
    }
  }

  // ---- the plan

  const plan = {scale: 1, midX: 0, midY: 0};
  const planX = (r) => PB.x + PB.w / 2 + (PX[r] - plan.midX) * plan.scale;
  const planY = (r) => PB.y + PB.h / 2 - (PY[r] - plan.midY) * plan.scale;
  // The rows drawn, each line of them ending with -1, for finding the metre under the pointer.
  let drawnRows = [];

  function fitPlan() {
    let first = 0;
    let last = rows - 1;
    if (!whole()) {
      first = Math.max(0, Math.floor(view.a));
      last = Math.min(rows - 1, Math.ceil(view.b));
      if (first > last) {
        first = 0;
        last = rows - 1;
      }
    }
    let minX = PX[first], maxX = PX[first], minY = PY[first], maxY = PY[first];
    for (let r = first; r <= last; r++) {
      const x = PX[r], y = PY[r];
      if (x < minX) minX = x;
      if (x > maxX) maxX = x;
      if (y < minY) minY = y;
      if (y > maxY) maxY = y;
    }
    plan.scale = Math.min((PB.w - 2 * lay.plan_pad) / Math.max(maxX - minX, 1),
                          (PB.h - 2 * lay.plan_pad) / Math.max(maxY - minY, 1));
    plan.midX = (minX + maxX) / 2;
    plan.midY = (minY + maxY) / 2;
  }

  // Rows first..last as a path: the stretches within reach of the box, each thinned.
  function planPath(first, last, keepRows) {
    last = Math.min(last, rows - 1);
    if (first >= last) return '';
    const margin = 40;
    const x0 = PB.x - margin, x1 = PB.x + PB.w + margin;
    const y0 = PB.y - margin, y1 = PB.y + PB.h + margin;
    const cx = PB.x + PB.w / 2, cy = PB.y + PB.h / 2;
    const s = plan.scale, mx = plan.midX, my = plan.midY;
    const parts = [];
    let run = null;
    const flush = () => {
      if (run && run.rs.length + (run.pending >= 0 ? 1 : 0) >= 2) {
        const [xs, ys, rs] = run.finish();
        let d = '';
        for (let i = 0; i < xs.length; i++) {
          d += (i ? 'L' : 'M') + fmt(xs[i]) + ' ' + fmt(ys[i]);
          if (keepRows) drawnRows.push(rs[i]);
        }
        if (keepRows) drawnRows.push(-1);
        parts.push(d);
      }
      run = null;
    };
    let outside = -1;  // the last row outside, to draw the line into the box
    for (let r = first; r <= last; r++) {
      const x = cx + (PX[r] - mx) * s, y = cy - (PY[r] - my) * s;
      if (x >= x0 && x <= x1 && y >= y0 && y <= y1) {
        if (run === null) {
          run = new Thinning(lay.tolerance);
          if (outside >= 0) run.add(outside, planX(outside), planY(outside));
        }
        run.add(r, x, y);
        outside = -1;
      } else {
        if (run !== null) {
          run.add(r, x, y);
          flush();
        }
        outside = r;
      }
    }
    flush();
    return parts.join('');
  }

  function labelSides(items, flags) {
    // To the right, else to the left, else left out; the name stays on hover. The markers of
    // the stations and the flags at the ends are there first.
    const taken = [];
    for (const item of items) {
      if (item.visible) taken.push([item.x - 5, item.y - 5, item.x + 5, item.y + 5]);
    }
    for (const f of flags) taken.push([f.x - 2, f.y - 30, f.x + 36, f.y]);
    const meets = (a, b) => a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3];
    for (const item of items) {
      const w = lay.label_char * item.name.length + 4;
      const h = lay.label_height / 2;
      const right = [item.x + 7, item.y - h, item.x + 7 + w, item.y + h];
      const left = [item.x - 7 - w, item.y - h, item.x - 7, item.y + h];
      item.side = 'crowded';
      if (!item.visible) continue;
      for (const [box, side] of [[right, 'right'], [left, 'left']]) {
        if (!taken.some((t) => meets(t, box))) {
          taken.push(box);
          item.side = side;
          break;
        }
      }
    }
  }

  function inPlanBox(x, y) {
    return x >= PB.x && x <= PB.x + PB.w && y >= PB.y && y <= PB.y + PB.h;
  }

  // Each marker with its metre, read once from the drawing.
  const markers = (selector) =>
      Array.from(svg.querySelectorAll(selector)).map((el) => ({
        el: el,
        m: Number(el.getAttribute('data-m')),
        y: Number((el.getAttribute('transform').match(/translate\(([-\d.e]+)[ ,]+([-\d.e]+)/) ||
                   [0, 0, 0])[2]),
      }));
  const planMarks = markers('#plan-objects .mk, #plan-problems .mk, #plan-ends .mk');
  const planStations = markers('#plan-stations .mk');
  const laneMarks = markers('#lane-marks .mk');
  const nameMarks = markers('#profile-stations .mk');
  const place = (mark, x, y) => mark.el.setAttribute('transform', 'translate(' + fmt(x) + ' ' +
                                                     fmt(y) + ')');

  function drawPlan() {
    if (!rows) return;
    fitPlan();
    drawnRows = [];
    $('plan-track').setAttribute('d', planPath(0, LINE, true));
    $('plan-runout').setAttribute('d', planPath(LINE, END, true));
    $('plan-view').setAttribute('d', whole() ? '' : planPath(Math.floor(view.a),
                                                              Math.ceil(view.b), false));
    for (const mark of planMarks) {
      if (mark.m >= rows) continue;
      place(mark, planX(mark.m), planY(mark.m));
    }
    const items = planStations.map((mark) => {
      const ok = mark.m >= 0 && mark.m < rows;
      const x = ok ? planX(mark.m) : 0, y = ok ? planY(mark.m) : 0;
      return {mark: mark, x: x, y: y, visible: ok && inPlanBox(x, y),
              name: mark.el.getAttribute('data-name')};
    });
    const flags = [0, LINE].filter((m) => m < rows).map((m) => ({x: planX(m), y: planY(m)}));
    labelSides(items, flags);
    for (const item of items) {
      if (item.mark.m < 0 || item.mark.m >= rows) continue;
      place(item.mark, item.x, item.y);
      const text = item.mark.el.querySelector('text');
      text.setAttribute('class', 'label ' + item.side);
      text.setAttribute('x', item.side === 'left' ? '-7' : '7');
    }
    const bar = $('scale-bar');
    if (bar) {
      const length = tickStep(1 / plan.scale, 60);
      const x = PB.x + 12, y = PB.y + PB.h - 14, w = length * plan.scale;
      bar.querySelector('path').setAttribute('d', 'M' + fmt(x) + ' ' + fmt(y - 4) + 'V' + fmt(y) +
                                             'H' + fmt(x + w) + 'V' + fmt(y - 4));
      bar.querySelector('text').textContent = length >= 1000 ? length / 1000 + ' km' : length + ' m';
    }
  }

  // ---- the profile and its lanes

  let riseLow = -1, riseHigh = 1;

  function matrix(sx, sy, tx, ty) {
    return 'matrix(' + sx + ' 0 0 ' + sy + ' ' + tx + ' ' + ty + ')';
  }

  function drawProfile() {
    const sx = FB.w / (view.b - view.a);
    const tx = FB.x - view.a * sx;
    if (n) {
      let low = riseAt(view.a), high = low;
      const last = Math.min(n, Math.ceil(view.b / 50));
      for (let c = Math.max(0, Math.ceil(view.a / 50)); c <= last; c++) {
        const v = c * 50 > view.b ? riseAt(view.b) : rise[c];
        if (v < low) low = v;
        if (v > high) high = v;
      }
      const b = riseAt(view.b);
      low = Math.min(low, b);
      high = Math.max(high, b);
      [riseLow, riseHigh] = riseRange(low / 1000, high / 1000);
      const sy = FB.h / (riseHigh - riseLow);
      $('profile-rise').setAttribute('transform', matrix(sx, -sy, tx, FB.y + FB.h + riseLow * sy));
      $('profile-speed').setAttribute('transform',
                                      matrix(sx, -FB.h / data.speed_high, tx, FB.y + FB.h));
      $('profile-along').setAttribute('transform', matrix(sx, 1, tx, 0));
      drawRiseAxis();
    }
    const along = $('lanes-along');
    if (along) along.setAttribute('transform', matrix(sx, 1, tx, 0));
    for (const mark of laneMarks) place(mark, xOf(mark.m), mark.y);
    let lastX = -1e9;
    for (const mark of nameMarks) {
      const x = xOf(mark.m);
      const crowded = x - lastX < lay.label_height;
      if (!crowded) lastX = x;
      mark.el.setAttribute('class', 'mk station-name' + (crowded ? ' crowded' : ''));
      place(mark, x, mark.y);
    }
    drawAxis();
  }

  function element(name, attributes, text) {
    const el = document.createElementNS(NS, name);
    for (const key in attributes) el.setAttribute(key, attributes[key]);
    if (text !== undefined) el.textContent = text;
    return el;
  }

  function drawAxis() {
    const axis = $('axis');
    axis.replaceChildren(element('path', {d: 'M' + fmt(FB.x) + ' ' + fmt(lay.axis_y) + 'H' +
                                                 fmt(FB.x + FB.w)}));
    const step = tickStep((view.b - view.a) / FB.w, 90);
    for (let m = Math.ceil(view.a / step) * step; m <= view.b; m += step) {
      const x = xOf(m);
      axis.appendChild(element('path', {d: 'M' + fmt(x) + ' ' + fmt(lay.axis_y) + 'V' +
                                            fmt(lay.axis_y + 5)}));
      axis.appendChild(element('text', {x: fmt(x), y: fmt(lay.axis_y + 17),
                                        'text-anchor': 'middle'}, chainage(m)));
    }
  }

  function drawRiseAxis() {
    const axis = $('rise-axis');
    const unit = axis.querySelector('.unit');
    axis.replaceChildren();
    const step = tickStep((riseHigh - riseLow) / FB.h * 1000, 28) / 1000;
    for (let v = Math.ceil(riseLow / step) * step; v <= riseHigh; v += step) {
      const y = FB.y + FB.h - (v - riseLow) * FB.h / (riseHigh - riseLow);
      axis.appendChild(element('path', {d: 'M' + fmt(FB.x - 4) + ' ' + fmt(y) + 'H' + fmt(FB.x)}));
      const mm = roundHalfEven(v * 1000);
      axis.appendChild(element('text', {x: fmt(FB.x - 6), y: fmt(y + 3.5), 'text-anchor': 'end'},
                               metresOfMm(mm, false).replace(/\.?0+$/, '') || '0'));
    }
    if (unit) axis.appendChild(unit);
  }

  function draw() {
    drawPlan();
    drawProfile();
    $('view-range').textContent = chainage(Math.round(view.a)) + ' \u2013 ' +
        chainage(Math.round(view.b)) + ' (' + Math.round(view.b - view.a) + ' m)';
    svg.setAttribute('data-view-from', String(Math.round(view.a)));
    svg.setAttribute('data-view-to', String(Math.round(view.b)));
    if (hovered !== null) show(hovered);
  }

  // ---- under the pointer

  // What a lane marker or a plan marker points at: its metre and what it stands for.
  const laneOf = (el) => {
    const y = Number(el.getAttribute('transform').match(/[ ,]([-\d.e]+)\)/)[1]);
    return Math.floor((y - lay.lane_top) / lay.lane_height);
  };
  const laneIndex = laneMarks.map((mark) => ({m: mark.m, lane: laneOf(mark.el), el: mark.el}))
                        .sort((p, q) => p.m - q.m);
  const laneCount = 6;

  function nearestLaneMark(lane, x) {
    let best = null;
    let bestD = 6;
    const m = mOf(x);
    // The marks are sorted by metre: look around the metre under the pointer.
    let lo = 0, hi = laneIndex.length;
    while (lo < hi) {
      const mid = (lo + hi) >> 1;
      if (laneIndex[mid].m < m) lo = mid + 1; else hi = mid;
    }
    for (const dir of [-1, 1]) {
      for (let i = dir < 0 ? lo - 1 : lo; i >= 0 && i < laneIndex.length; i += dir) {
        const d = Math.abs(xOf(laneIndex[i].m) - x);
        if (d > bestD) break;
        if (laneIndex[i].lane === lane && d <= bestD) {
          best = laneIndex[i];
          bestD = d;
        }
      }
    }
    return best;
  }

  function nearestPlanMetre(x, y) {
    let best = -1, bestD = 30 * 30;
    // The nearest drawn segment, then the nearest row along it.
    let segA = -1, segB = -1;
    for (let i = 0; i + 1 < drawnRows.length; i++) {
      const r0 = drawnRows[i], r1 = drawnRows[i + 1];
      if (r0 < 0 || r1 < 0) continue;
      const ax = planX(r0), ay = planY(r0), dx = planX(r1) - ax, dy = planY(r1) - ay;
      const l2 = dx * dx + dy * dy;
      let t = l2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / l2 : 0;
      t = Math.min(Math.max(t, 0), 1);
      const ex = ax + t * dx - x, ey = ay + t * dy - y;
      const d = ex * ex + ey * ey;
      if (d < bestD) {
        bestD = d;
        segA = r0;
        segB = r1;
      }
    }
    if (segA < 0) return -1;
    bestD = Infinity;
    for (let r = Math.min(segA, segB); r <= Math.max(segA, segB); r++) {
      const ex = planX(r) - x, ey = planY(r) - y;
      const d = ex * ex + ey * ey;
      if (d < bestD) {
        bestD = d;
        best = r;
      }
    }
    return best;
  }

  function nearestPlanMark(x, y) {
    let best = null, bestD = 7 * 7;
    for (const list of [planStations, planMarks]) {
      for (const mark of list) {
        if (mark.m < 0 || mark.m >= rows) continue;
        const ex = planX(mark.m) - x, ey = planY(mark.m) - y;
        const d = ex * ex + ey * ey;
        if (d <= bestD) {
          best = mark;
          bestD = d;
        }
      }
    }
    return best;
  }

  // The metre under a point of the drawing, and the marker it points at, if any.
  function hit(p) {
    if (p.x >= FB.x && p.x <= FB.x + FB.w && p.y >= FB.y && p.y <= lay.axis_y + 20) {
      const m = Math.round(Math.min(Math.max(mOf(p.x), 0), END));
      const lane = Math.floor((p.y - lay.lane_top) / lay.lane_height);
      if (p.y >= lay.lane_top && lane >= 0 && lane < laneCount) {
        const mark = nearestLaneMark(lane, p.x);
        if (mark) return {m: mark.m, el: mark.el};
      }
      return {m: m, el: null};
    }
    if (rows && inPlanBox(p.x, p.y)) {
      const mark = nearestPlanMark(p.x, p.y);
      if (mark) return {m: mark.m, el: mark.el};
      const m = nearestPlanMetre(p.x, p.y);
      if (m >= 0) return {m: m, el: null};
    }
    return null;
  }

  let hovered = null;
  const info = $('info');

  function field(dl, name, key, text, value) {
    const dt = document.createElement('dt');
    dt.textContent = name;
    dl.appendChild(dt);
    const dd = document.createElement('dd');
    dd.setAttribute('data-field', key);
    if (value !== undefined) dd.setAttribute('data-value', String(value));
    dd.textContent = text;
    dl.appendChild(dd);
  }
  function block(title, lines, key, value, css) {
    const div = document.createElement('div');
    div.className = 'block' + (css ? ' ' + css : '');
    if (key) div.setAttribute('data-field', key);
    if (value !== undefined) div.setAttribute('data-value', String(value));
    const b = document.createElement('b');
    b.textContent = title;
    div.appendChild(b);
    if (lines.length) {
      const pre = document.createElement('div');
      pre.className = 'lines';
      pre.textContent = lines.join('\n');
      div.appendChild(pre);
    }
    info.appendChild(div);
  }

  function show(h) {
    hovered = h;
    const m = h.m;
    // The cursor on both drawings.
    const cursor = $('cursor');
    cursor.setAttribute('visibility', 'visible');
    const inView = m >= view.a && m <= view.b;
    const line = $('cursor-line');
    line.setAttribute('transform', 'translate(' + fmt(xOf(m)) + ' 0)');
    line.setAttribute('visibility', inView ? 'visible' : 'hidden');
    const dot = $('cursor-rise');
    if (n && inView) {
      dot.setAttribute('cx', fmt(xOf(m)));
      dot.setAttribute('cy', fmt(FB.y + FB.h - (riseAt(m) / 1000 - riseLow) * FB.h /
                                 (riseHigh - riseLow)));
      dot.setAttribute('visibility', 'visible');
    } else {
      dot.setAttribute('visibility', 'hidden');
    }
    const planDot = $('plan-cursor');
    if (m >= 0 && m < rows && inPlanBox(planX(m), planY(m))) {
      planDot.setAttribute('cx', fmt(planX(m)));
      planDot.setAttribute('cy', fmt(planY(m)));
      planDot.setAttribute('visibility', 'visible');
    } else {
      planDot.setAttribute('visibility', 'hidden');
    }

    // What the route holds at that metre.
    info.replaceChildren();
    const dl = document.createElement('dl');
    info.appendChild(dl);
    field(dl, 'metre', 'metre', m + ' m', m);
    field(dl, 'chainage', 'chainage', chainage(m));
    if (n) {
      const mm = riseAt(m);
      field(dl, 'elevation', 'elevation', metresOfMm(mm, true) + ' m, relative to the start', mm);
      const c = Math.floor(m / 50);
      if (c < n) {
        const none = cellByte(c, 13) === 0;
        field(dl, 'gradient', 'gradient', (none ? 'none' : perMille(grade[c])) + ' (cell ' + c + ')',
              none ? 'none' : grade[c]);
        const speed = 5 * cellByte(c, 12);
        field(dl, 'line speed', 'speed', speed + ' km/h', speed);
        field(dl, 'adhesion', 'adhesion', String(cellByte(c, 14)), cellByte(c, 14));
        const kind = cellByte(c, 11);
        field(dl, 'scenery', 'scenery', kind === 0 ? 'none' : 'kind ' + kind, kind);
      }
    }
    if (m >= 0 && m < rows) {
      field(dl, 'plan', 'plan', 'x ' + PX[m].toFixed(2) + ' m, y ' + PY[m].toFixed(2) + ' m');
    }
    if (m > LINE) field(dl, 'note', 'runout', (m - LINE) + ' m past the end of the line');

    const k = cellOf(m);
    if (n && k >= 0 && k < n) {
      const object = objectByCell.get(k);
      if (object) {
        block(object.heading, object.lines, 'cell', k);
      } else {
        block('cell ' + k + ', metre ' + (k - 1) * 50 + ': no object', [], 'cell', k);
      }
    }
    const pointed = h.el ? h.el.getAttribute('data-row') : null;
    for (const s of data.stations) {
      const lo = Math.min(s.from, s.to), hi = Math.max(s.from, s.to);
      if (!(pointed !== null ? String(s.row) === pointed : m >= lo && m <= hi)) continue;
      block('station ' + s.name, [
        (s.stops ? 'the train stops' : 'the train passes') + ', at ' + s.time,
        'position ' + s.m + ' m (' + chainage(s.m) + '), extent ' + lo + ' to ' + hi + ' m',
        s.stop_cell !== null ? 'its stop: cell ' + s.stop_cell : 'no stop cell',
        'row ' + s.row + ' of the data table',
      ], 'station', s.name);
    }
    for (const mark of data.marks) {
      const near = h.el ? Number(h.el.getAttribute('data-m')) === mark.m &&
                          h.el.classList.contains('problem')
                        : Math.abs(xOf(mark.m) - xOf(m)) <= 3;
      if (!near) continue;
      block((mark.error ? 'error' : 'warning') + ' at ' + mark.m + ' m', mark.texts, 'problem',
            mark.m, mark.error ? 'error' : 'warning');
    }
  }

  function hide() {
    hovered = null;
    $('cursor').setAttribute('visibility', 'hidden');
  }

  function pointOf(ev) {
    const p = svg.createSVGPoint();
    p.x = ev.clientX;
    p.y = ev.clientY;
    return p.matrixTransform(svg.getScreenCTM().inverse());
  }

  // ---- zoom and pan

  let drag = null;
  svg.addEventListener('pointerdown', (ev) => {
    if (ev.button !== 0) return;
    drag = {x: pointOf(ev).x, a: view.a, b: view.b, moved: false};
    svg.setPointerCapture(ev.pointerId);
  });
  const pan = (ev) => {
    const dx = pointOf(ev).x - drag.x;
    if (Math.abs(dx) > 2) drag.moved = true;
    if (!drag.moved) return false;
    const shift = -dx * (drag.b - drag.a) / FB.w;
    setView(drag.a + shift, drag.b + shift);
    return true;
  };
  svg.addEventListener('pointerup', (ev) => {
    if (drag) pan(ev);
    drag = null;
    if (svg.hasPointerCapture(ev.pointerId)) svg.releasePointerCapture(ev.pointerId);
  });
  svg.addEventListener('pointermove', (ev) => {
    if (drag && (ev.buttons & 1) && pan(ev)) return;
    const h = hit(pointOf(ev));
    if (h) show(h); else hide();
  });
  svg.addEventListener('pointerleave', () => {
    if (!drag) hide();
  });
  svg.addEventListener('wheel', (ev) => {
    const p = pointOf(ev);
    const h = hit(p);
    if (!h) return;
    ev.preventDefault();
    zoomAround(h.m, Math.pow(1.0015, ev.deltaY));
  }, {passive: false});
  svg.addEventListener('dblclick', () => setView(0, END));
  $('zoom-in').addEventListener('click', () => zoomAround((view.a + view.b) / 2, 0.5));
  $('zoom-out').addEventListener('click', () => zoomAround((view.a + view.b) / 2, 2));
  $('zoom-whole').addEventListener('click', () => setView(0, END));
  document.addEventListener('keydown', (ev) => {
    const span = view.b - view.a;
    if (ev.key === '+' || ev.key === '=') zoomAround((view.a + view.b) / 2, 0.5);
    else if (ev.key === '-') zoomAround((view.a + view.b) / 2, 2);
    else if (ev.key === '0') setView(0, END);
    else if (ev.key === 'ArrowLeft') setView(view.a - span / 5, view.b - span / 5);
    else if (ev.key === 'ArrowRight') setView(view.a + span / 5, view.b + span / 5);
  });
  for (const button of document.querySelectorAll('#problems .goto')) {
    button.addEventListener('click', () => {
      const m = Number(button.parentElement.getAttribute('data-m'));
      setView(m - 2000, m + 2000);
      window.scrollTo(0, 0);
    });
  }

  draw();
  // For scripts that drive the page (the tests, the benchmark): the view, and where a metre is
  // drawn, in the page's coordinates.
  window.routeSheet = {
    view: () => ({from: view.a, to: view.b}),
    setView: (a, b) => {
      setView(a, b);
      draw();
    },
    clientPoint: (where, m) => {
      let x, y;
      if (where === 'plan') {
        if (m < 0 || m >= rows) return null;
        x = planX(m);
        y = planY(m);
      } else {
        x = xOf(m);
        y = where === 'profile' ? FB.y + FB.h / 2 : lay.lane_top + (where + 0.5) * lay.lane_height;
      }
      const p = svg.createSVGPoint();
      p.x = x;
      p.y = y;
      const q = p.matrixTransform(svg.getScreenCTM());
      return {x: q.x, y: q.y};
    },
    scriptMs: performance.now() - started,
    drawnMs: null,  // since the navigation began, to the first frame after the script
  };
  requestAnimationFrame(() => requestAnimationFrame(() => {
    window.routeSheet.drawnMs = performance.now();
  }));
  svg.setAttribute('data-ready', 'true');
})();
