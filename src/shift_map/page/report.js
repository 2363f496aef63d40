// The shift page's script: draws the shift map, the height map and the two
// histograms on canvases from the JSON data embedded in the page (its layout
// is described in src/shift_map/page_data.h), and lets the reader zoom, pan,
// hover and find the movers. It loads nothing. Its arithmetic is in
// map_math.js, embedded before it as tessovane2MapMath.
'use strict';

(function () {
  const {
    scaleBarLength, lengthLabel, shiftClass, heightRange: heightRangeOf, heightStep,
    divergingColour, heightColours: heightColoursOf, histogramTop, histogramBins, axisTicks, stationGrid,
  } = tessovane2MapMath;

  // --- the data -----------------------------------------------------------------
  const data = JSON.parse(document.getElementById('shift-data').textContent);
  const n = data.count;
  const toNumbers = (column) => {
    const out = new Float64Array(n);
    for (let i = 0; i < n; ++i) out[i] = column[i] === null ? NaN : column[i];
    return out;
  };
  const X = toNumbers(data.x);
  const Y = toNumbers(data.y);
  const DN = toNumbers(data.dn);
  const DE = toNumbers(data.de);
  const DU = toNumbers(data.du);
  const H = toNumbers(data.horizontal);
  const status = data.status;
  // The colour class of each pair ('0', '1', '2'; '-' for a station in one
  // file only), as the C++ gives it.
  const rowClass = (i) => data.shiftClass.charCodeAt(i) - 48;
  const palette = data.palette;
  const tolerance = data.tolerance;
  const verticalTolerance = data.verticalTolerance;
  const exaggeration = data.map.exaggeration;
  const isPair = (i) => 'mhvbl'.includes(status[i]);
  // bad_position and no_key rows have no place on the maps.
  const isOnMap = (i) => status[i] !== 'x' && status[i] !== 'k';
  const overVertical = (i) => status[i] === 'v' || status[i] === 'b';
  const classColours = [palette.within, palette.upToTwice, palette.beyondTwice];
  const kLabelledMovers = 5;

  // The stations on a grid, for finding the one under the pointer.
  const grid = stationGrid(X, Y, data.map, isOnMap);

  // --- the view both maps share: centre and width in metres ----------------------
  const home = {
    cx: (data.map.minX + data.map.maxX) / 2,
    cy: (data.map.minY + data.map.maxY) / 2,
    width: data.map.width,
  };
  const view = Object.assign({}, home);
  let selected = -1;

  const maps = [document.getElementById('shift-map'), document.getElementById('height-map')].map((element) => ({
    element,
    canvas: element.querySelector('canvas'),
    bar: element.querySelector('.scale-bar-line'),
    barText: element.querySelector('.scale-bar-text'),
    cssWidth: 0,
    cssHeight: 0,
  }));

  function sizeCanvas(canvas) {
    const rect = canvas.getBoundingClientRect();
    const ratio = window.devicePixelRatio || 1;
    const width = Math.max(1, Math.round(rect.width));
    const height = Math.max(1, Math.round(rect.height));
    if (canvas.width !== Math.round(width * ratio) || canvas.height !== Math.round(height * ratio)) {
      canvas.width = Math.round(width * ratio);
      canvas.height = Math.round(height * ratio);
    }
    const context = canvas.getContext('2d');
    context.setTransform(ratio, 0, 0, ratio, 0, 0);
    return { context, width, height };
  }

  // Screen position (CSS pixels within the map) of metres x, y.
  const screenScale = (map) => map.cssWidth / view.width;
  const screenX = (map, x) => map.cssWidth / 2 + (x - view.cx) * screenScale(map);
  const screenY = (map, y) => map.cssHeight / 2 - (y - view.cy) * screenScale(map);

  function drawScaleBar(map) {
    const metres = scaleBarLength(view.width);
    const label = lengthLabel(metres);
    map.bar.style.width = (metres * screenScale(map)).toFixed(1) + 'px';
    map.barText.textContent = label;
    map.element.dataset.scaleBar = label;
  }

  function drawLabel(context, text, x, y) {
    context.font = '11px "DejaVu Sans", Arial, sans-serif';
    context.lineWidth = 3;
    context.strokeStyle = '#ffffff';
    context.fillStyle = '#000000';
    context.strokeText(text, x, y);
    context.fillText(text, x, y);
  }

  // A mover's label beside its arrow's head (tip): up and right, left of it
  // where it would pass the right edge, below it where it would pass the
  // top, and always inside the map (as the SVG places it).
  function placeLabel(context, text, tipX, tipY, width, height) {
    context.font = '11px "DejaVu Sans", Arial, sans-serif';
    const w = context.measureText(text).width;
    let x = tipX + 5;
    let y = tipY - 5;
    if (x + w > width - 2) x = tipX - 5 - w;
    if (y < 13) y = tipY + 16;
    x = Math.max(2, Math.min(x, width - 2 - w));
    y = Math.max(13, Math.min(y, height - 2));
    drawLabel(context, text, x, y);
  }

  function arrowPath(path, x0, y0, x1, y1) {
    path.moveTo(x0, y0);
    path.lineTo(x1, y1);
    const length = Math.hypot(x1 - x0, y1 - y0);
    if (length < 2) return;
    const head = Math.min(7, Math.max(2.5, length * 0.35));
    const angle = Math.atan2(y1 - y0, x1 - x0);
    for (const side of [-0.45, 0.45]) {
      path.moveTo(x1, y1);
      path.lineTo(x1 - head * Math.cos(angle + side), y1 - head * Math.sin(angle + side));
    }
  }

  function drawSelection(map, context) {
    if (selected < 0) return;
    context.strokeStyle = '#000000';
    context.lineWidth = 2;
    context.beginPath();
    context.arc(screenX(map, X[selected]), screenY(map, Y[selected]), 9, 0, 2 * Math.PI);
    context.stroke();
  }

  // Arrows and symbols go out in batches of this many: chromium's software
  // rasterizer strokes one path of 200,000 arrows in about 7 s, the same
  // arrows in paths of 1,000 in a fraction of that.
  const kBatch = 1000;
  // From this many rows on the arrows are drawn 1 px wide, which the
  // rasterizer draws as hairlines: 200,000 arrows took 1.4 s at 1.4 px and
  // 0.6 s at 1 px (headless chromium, software rasterizer, this machine).
  const kThinArrowsFrom = 20000;
  function Batches(context, paint) {
    let path = new Path2D(), size = 0;
    return {
      path: () => {
        if (++size > kBatch) {
          paint(context, path);
          path = new Path2D();
          size = 1;
        }
        return path;
      },
      flush: () => { if (size) paint(context, path); },
    };
  }

  function drawShiftMap(map) {
    const { context, width, height } = sizeCanvas(map.canvas);
    map.cssWidth = width;
    map.cssHeight = height;
    context.clearRect(0, 0, width, height);
    const s = screenScale(map);
    const arrowScale = exaggeration * s;
    const margin = 40;
    const stroke = (colour, lineWidth) => (c, path) => {
      c.strokeStyle = colour;
      c.lineWidth = lineWidth;
      c.stroke(path);
    };
    const fill = (colour) => (c, path) => {
      c.fillStyle = colour;
      c.fill(path);
    };
    const dots = Batches(context, fill(palette.station));
    const arrows = classColours.map((colour) => Batches(context, stroke(colour, n > kThinArrowsFrom ? 1 : 1.4)));
    const onlyFirst = Batches(context, stroke(palette.onlyInFirst, 1.6));
    const onlySecond = Batches(context, fill(palette.onlyInSecond));
    let arrowCount = 0;
    for (let i = 0; i < n; ++i) {
      if (!isOnMap(i)) continue;
      const x = screenX(map, X[i]);
      const y = screenY(map, Y[i]);
      const pair = isPair(i);
      const ex = pair ? x + DE[i] * arrowScale : x;
      const ey = pair ? y - DN[i] * arrowScale : y;
      if (Math.max(x, ex) < -margin || Math.min(x, ex) > width + margin) continue;
      if (Math.max(y, ey) < -margin || Math.min(y, ey) > height + margin) continue;
      if (status[i] === '1') {
        onlyFirst.path().rect(x - 4, y - 4, 8, 8);
      } else if (status[i] === '2') {
        const path = onlySecond.path();
        path.moveTo(x, y - 5);
        path.lineTo(x + 4.5, y + 3);
        path.lineTo(x - 4.5, y + 3);
        path.closePath();
      } else {
        dots.path().rect(Math.round(x) - 1, Math.round(y) - 1, 3, 3);
        if (DN[i] !== 0 || DE[i] !== 0) {
          arrowPath(arrows[rowClass(i)].path(), x, y, ex, ey);
          ++arrowCount;
        }
      }
    }
    // What is left of each batch.
    dots.flush();
    arrows.forEach((batch) => batch.flush());
    onlyFirst.flush();
    onlySecond.flush();
    for (const i of data.movers.horizontal.slice(0, kLabelledMovers)) {
      placeLabel(context, data.pid[i], screenX(map, X[i]) + DE[i] * arrowScale,
        screenY(map, Y[i]) - DN[i] * arrowScale, width, height);
    }
    drawSelection(map, context);
    // The reference arrow, lower right, at the map's scale.
    const referencePx = data.map.reference * arrowScale;
    const right = width - 16, base = height - 16;
    const reference = new Path2D();
    arrowPath(reference, right - referencePx, base, right, base);
    context.strokeStyle = palette.within;
    context.lineWidth = 1.6;
    context.stroke(reference);
    context.textAlign = 'center';
    drawLabel(context, lengthLabel(data.map.reference), right - referencePx / 2, base - 8);
    context.textAlign = 'start';
    map.element.dataset.arrows = String(arrowCount);
    drawScaleBar(map);
  }

  // The height map's diverging scale: du from -heightRange to +heightRange.
  const heightRange = heightRangeOf(DU, verticalTolerance);
  const heightColours = heightColoursOf(palette);

  function drawHeightMap(map) {
    const { context, width, height } = sizeCanvas(map.canvas);
    map.cssWidth = width;
    map.cssHeight = height;
    context.clearRect(0, 0, width, height);
    const steps = heightColours.map(() => new Path2D());
    const none = new Path2D();
    const rings = new Path2D();
    for (let i = 0; i < n; ++i) {
      if (!isOnMap(i)) continue;
      const x = screenX(map, X[i]);
      const y = screenY(map, Y[i]);
      if (x < -10 || x > width + 10 || y < -10 || y > height + 10) continue;
      if (Number.isNaN(DU[i])) {
        none.moveTo(x + 2.5, y);
        none.arc(x, y, 2.5, 0, 2 * Math.PI);
      } else {
        steps[heightStep(DU[i], heightRange)].rect(Math.round(x) - 2, Math.round(y) - 2, 5, 5);
        if (overVertical(i)) {
          rings.moveTo(x + 6, y);
          rings.arc(x, y, 6, 0, 2 * Math.PI);
        }
      }
    }
    steps.forEach((path, k) => {
      context.fillStyle = heightColours[k];
      context.fill(path);
    });
    context.lineWidth = 1;
    context.strokeStyle = '#8a8a8a';
    context.stroke(none);
    context.lineWidth = 1.5;
    context.strokeStyle = '#000000';
    context.stroke(rings);
    for (const i of data.movers.vertical.slice(0, kLabelledMovers)) {
      drawLabel(context, data.pid[i], screenX(map, X[i]) + 7, screenY(map, Y[i]) - 7);
    }
    drawSelection(map, context);
    drawScaleBar(map);
  }

  function drawHeightLegend() {
    const ramp = document.querySelector('#height-legend .ramp-bar');
    const context = ramp.getContext('2d');
    for (let k = 0; k < ramp.width; ++k) {
      context.fillStyle = divergingColour(palette, (k / (ramp.width - 1)) * 2 - 1);
      context.fillRect(k, 0, 1, ramp.height);
    }
    document.querySelector('#height-legend .ramp-low').textContent = '\u2212' + lengthLabel(heightRange) + ' down';
    document.querySelector('#height-legend .ramp-high').textContent = '+' + lengthLabel(heightRange) + ' up';
    document.querySelector('#height-legend .height-note').textContent =
      (verticalTolerance !== null
        ? 'Ringed: over the vertical tolerance of ' + lengthLabel(verticalTolerance) + '. '
        : 'No vertical tolerance given. ') + 'Hollow grey: no height shift (a station without height).';
  }

  function drawShiftLegend() {
    for (const swatch of document.querySelectorAll('#shift-legend .swatch')) {
      const colour = palette[swatch.dataset.colour];
      swatch.style.background = colour;
      swatch.style.borderColor = colour;
    }
    const tol = lengthLabel(tolerance), twice = lengthLabel(2 * tolerance);
    const labels = { within: 'up to ' + tol, upToTwice: tol + ' to ' + twice, beyondTwice: 'over ' + twice };
    for (const label of document.querySelectorAll('#shift-legend .class-label')) {
      label.textContent = labels[label.dataset.class];
    }
    document.querySelector('#shift-legend .reference-note').textContent =
      'reference arrow: ' + lengthLabel(data.map.reference) + ' of shift; arrows \u00d7' +
      String(exaggeration) + (data.map.exaggerationGiven ? ' (given)' : ' (automatic)') +
      '; labels: the largest movers';
  }

  // --- histograms ------------------------------------------------------------------
  const kBins = 40;

  // values: the shifts; lo, hi: the range (values beyond go into the end
  // bins, marked); lines: [value, label]; colourOf: bar colour by bin centre.
  function drawHistogram(canvas, values, lo, hi, lines, colourOf) {
    const { context, width, height } = sizeCanvas(canvas);
    context.clearRect(0, 0, width, height);
    const left = 44, right = width - 12, top = 22, bottom = height - 30;
    const { counts, below, above } = histogramBins(values, lo, hi, kBins);
    const most = Math.max(1, ...counts);
    const binWidth = (right - left) / kBins;
    const xOf = (v) => left + ((v - lo) / (hi - lo)) * (right - left);
    for (let k = 0; k < kBins; ++k) {
      if (!counts[k]) continue;
      const barHeight = Math.max(1, (counts[k] / most) * (bottom - top));
      context.fillStyle = colourOf(lo + (k + 0.5) * ((hi - lo) / kBins));
      context.fillRect(left + k * binWidth + 0.5, bottom - barHeight, Math.max(1, binWidth - 1), barHeight);
    }
    context.strokeStyle = '#1b1b1b';
    context.lineWidth = 1;
    context.beginPath();
    context.moveTo(left, top - 4);
    context.lineTo(left, bottom);
    context.lineTo(right, bottom);
    context.stroke();
    context.font = '11px "DejaVu Sans", Arial, sans-serif';
    context.fillStyle = '#1b1b1b';
    context.textAlign = 'right';
    context.fillText(String(most), left - 4, top + 4);
    context.fillText('0', left - 4, bottom);
    context.textAlign = 'center';
    for (const t of axisTicks(lo, hi)) {
      const x = xOf(t);
      context.beginPath();
      context.moveTo(x, bottom);
      context.lineTo(x, bottom + 4);
      context.stroke();
      const label = t === 0 ? '0' : (t < 0 ? '\u2212' : '') + lengthLabel(Math.abs(t));
      context.fillText(label, x, bottom + 16);
    }
    context.setLineDash([4, 3]);
    for (const [value, label] of lines) {
      if (value < lo || value > hi) continue;
      const x = xOf(value);
      context.strokeStyle = '#000000';
      context.beginPath();
      context.moveTo(x, top - 6);
      context.lineTo(x, bottom);
      context.stroke();
      context.fillText(label, x, top - 9);
    }
    context.setLineDash([]);
    context.textAlign = 'start';
    const notes = [values.length + ' values'];
    if (below) notes.push(below + ' below the range in the first bar');
    if (above) notes.push(above + ' beyond it in the last bar');
    context.fillStyle = '#5a5a5a';
    context.fillText(notes.join('; '), left + 6, height - 2);
  }

  function drawHistograms() {
    const horizontal = [], vertical = [];
    for (let i = 0; i < n; ++i) {
      if (isPair(i) && !Number.isNaN(H[i])) horizontal.push(H[i]);
      if (!Number.isNaN(DU[i])) vertical.push(DU[i]);
    }
    const hiH = histogramTop(Float64Array.from(horizontal).sort(), 2.2 * tolerance);
    drawHistogram(document.getElementById('horizontal-histogram'), horizontal, 0, hiH,
      [[tolerance, lengthLabel(tolerance)], [2 * tolerance, lengthLabel(2 * tolerance)]],
      (v) => classColours[shiftClass(v, tolerance)]);
    const hiU = histogramTop(Float64Array.from(vertical.map(Math.abs)).sort(),
      verticalTolerance !== null ? 2.2 * verticalTolerance : 0);
    const lines = verticalTolerance !== null
      ? [[-verticalTolerance, '\u2212' + lengthLabel(verticalTolerance)], [verticalTolerance, lengthLabel(verticalTolerance)]]
      : [];
    drawHistogram(document.getElementById('height-histogram'), vertical, -hiU, hiU, lines,
      (v) => divergingColour(palette, v / heightRange));
  }

  // --- drawing ------------------------------------------------------------------------
  let pending = false;
  function drawMaps() {
    drawShiftMap(maps[0]);
    drawHeightMap(maps[1]);
  }
  function requestDraw() {
    if (pending) return;
    pending = true;
    requestAnimationFrame(() => {
      pending = false;
      drawMaps();
    });
  }

  // --- exploring ----------------------------------------------------------------------
  const tooltip = document.getElementById('tooltip');
  const statusNames = { m: 'matched', h: 'over the horizontal tolerance', v: 'over the vertical tolerance',
    b: 'over both tolerances', 1: 'only in the 1st file', 2: 'only in the 2nd file',
    x: 'a position the record format cannot mean', k: 'a blank key, not paired',
    l: 'paired by location' };
  const metres = (v) => (Number.isNaN(v) ? '\u2013' : v.toFixed(4) + ' m');

  function showTooltip(i, clientX, clientY) {
    tooltip.replaceChildren();
    const title = document.createElement('div');
    title.className = 'pid';
    title.textContent = data.pid[i] + (data.ssn[i] ? '  SSN ' + data.ssn[i] : '');
    const designation = document.createElement('div');
    designation.textContent = data.designation[i];
    const list = document.createElement('dl');
    // The azimuth as the CSV writes it (null: no shift, or a station in one file).
    const azimuth = data.azimuth[i] === null ? '\u2013' : data.azimuth[i].toFixed(2) + '\u00b0';
    for (const [term, value] of [['status', statusNames[status[i]]], ['horizontal', metres(H[i])],
      ['dn (north)', metres(DN[i])], ['de (east)', metres(DE[i])], ['du (up)', metres(DU[i])],
      ['azimuth', azimuth]]) {
      const dt = document.createElement('dt');
      dt.textContent = term;
      const dd = document.createElement('dd');
      dd.textContent = value;
      list.append(dt, dd);
    }
    tooltip.append(title, designation, list);
    tooltip.dataset.row = String(i);
    tooltip.hidden = false;
    const box = tooltip.getBoundingClientRect();
    const x = clientX + 14 + box.width > window.innerWidth ? clientX - 14 - box.width : clientX + 14;
    const y = clientY + 14 + box.height > window.innerHeight ? clientY - 14 - box.height : clientY + 14;
    tooltip.style.left = Math.max(0, x) + 'px';
    tooltip.style.top = Math.max(0, y) + 'px';
  }
  function hideTooltip() {
    tooltip.hidden = true;
    delete tooltip.dataset.row;
  }

  // The metres under a client position of a map.
  function worldAt(map, clientX, clientY) {
    const rect = map.canvas.getBoundingClientRect();
    const s = screenScale(map);
    return { x: view.cx + (clientX - rect.left - map.cssWidth / 2) / s,
      y: view.cy - (clientY - rect.top - map.cssHeight / 2) / s };
  }
  function hover(map, clientX, clientY) {
    const at = worldAt(map, clientX, clientY);
    const i = grid.nearest(at.x, at.y, 10 / screenScale(map));
    if (i < 0) hideTooltip();
    else showTooltip(i, clientX, clientY);
  }
  function zoomAt(map, clientX, clientY, factor) {
    const at = worldAt(map, clientX, clientY);
    const width = Math.min(home.width * 4, Math.max(home.width / 1e6, view.width / factor));
    const ratio = width / view.width;
    view.cx = at.x + (view.cx - at.x) * ratio;
    view.cy = at.y + (view.cy - at.y) * ratio;
    view.width = width;
    requestDraw();
  }

  for (const map of maps) {
    const pointers = new Map();
    let moved = false;
    let pinch = null;
    map.element.addEventListener('wheel', (event) => {
      event.preventDefault();
      const step = event.deltaMode === 1 ? event.deltaY * 16 : event.deltaY;
      zoomAt(map, event.clientX, event.clientY, Math.exp(-step * 0.0015));
    }, { passive: false });
    map.element.addEventListener('pointerdown', (event) => {
      map.element.setPointerCapture(event.pointerId);
      pointers.set(event.pointerId, { x: event.clientX, y: event.clientY });
      moved = false;
      if (pointers.size === 2) {
        const [a, b] = [...pointers.values()];
        pinch = { distance: Math.hypot(a.x - b.x, a.y - b.y) };
      }
    });
    map.element.addEventListener('pointermove', (event) => {
      const last = pointers.get(event.pointerId);
      if (!last) {
        if (event.pointerType === 'mouse') hover(map, event.clientX, event.clientY);
        return;
      }
      const dx = event.clientX - last.x, dy = event.clientY - last.y;
      last.x = event.clientX;
      last.y = event.clientY;
      if (pointers.size === 2 && pinch) {
        const [a, b] = [...pointers.values()];
        const distance = Math.hypot(a.x - b.x, a.y - b.y);
        if (pinch.distance > 0) zoomAt(map, (a.x + b.x) / 2, (a.y + b.y) / 2, distance / pinch.distance);
        pinch.distance = distance;
        moved = true;
        return;
      }
      if (Math.abs(dx) + Math.abs(dy) > 0) {
        if (!moved && Math.abs(dx) + Math.abs(dy) < 3) return;
        moved = true;
        map.element.classList.add('dragging');
        hideTooltip();
        const s = screenScale(map);
        view.cx -= dx / s;
        view.cy += dy / s;
        requestDraw();
      }
    });
    const release = (event) => {
      pointers.delete(event.pointerId);
      if (pointers.size < 2) pinch = null;
      map.element.classList.remove('dragging');
      if (!moved && event.type === 'pointerup') hover(map, event.clientX, event.clientY);
    };
    map.element.addEventListener('pointerup', release);
    map.element.addEventListener('pointercancel', release);
    map.element.addEventListener('pointerleave', (event) => {
      if (event.pointerType === 'mouse' && !pointers.size) hideTooltip();
    });
    map.element.addEventListener('dblclick', () => {
      Object.assign(view, home);
      requestDraw();
    });
  }

  // A mover in the tables: centre both maps on it, close enough to tell it apart.
  function centreOn(i) {
    selected = i;
    view.cx = X[i];
    view.cy = Y[i];
    view.width = Math.min(view.width, home.width / 8);
    drawMaps();
    maps[0].element.scrollIntoView({ block: 'nearest' });
  }
  for (const row of document.querySelectorAll('tr.mover[data-row]')) {
    const i = Number(row.dataset.row);
    row.addEventListener('click', () => centreOn(i));
    row.addEventListener('keydown', (event) => {
      if (event.key === 'Enter' || event.key === ' ') {
        event.preventDefault();
        centreOn(i);
      }
    });
  }
  window.addEventListener('resize', () => {
    requestDraw();
    drawHistograms();
  });

  // What a test or a reader's own script may ask of the page.
  window.tessovane2ShiftPage = {
    // Client position of row i's station on the shift map (or the height map).
    screenPosition(i, panel = 0) {
      const map = maps[panel];
      const rect = map.canvas.getBoundingClientRect();
      return { x: rect.left + screenX(map, X[i]), y: rect.top + screenY(map, Y[i]) };
    },
    view,
  };

  drawShiftLegend();
  drawHeightLegend();
  drawMaps();
  drawHistograms();
  // A canvas is rasterized when it is painted, after this script; reading one
  // pixel of each finishes its drawing now, so that the time below is the
  // time until the pictures are there.
  for (const canvas of document.querySelectorAll('canvas')) canvas.getContext('2d').getImageData(0, 0, 1, 1);
  document.body.dataset.drawMs = performance.now().toFixed(0);
  document.body.dataset.drawn = 'true';
})();
