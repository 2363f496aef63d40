// The shift page's script: draws the shift map, the height map and the two
// histograms on canvases from the JSON data embedded in the page (its layout
// is described in src/shift_map/page_data.h), and lets the reader zoom, pan,
// hover and find the movers. It loads nothing. Its arithmetic is in
// map_math.js, embedded before it as tessovane2MapMath.
'use strict';

(function () {
  const {
    scaleBarLength, lengthLabel, shiftClass, heightRange: heightRangeOf, heightStep,
    divergingColour, heightColours: heightColoursOf, histogramLayout, histogramBins, labelRows, axisTicks, stationGrid,
    percentile, pixelWord, medianInPlace, aggregatingCells, robustTypicalShift, kArrowTargetPx, kOffScaleCapPx, viewExaggeration, viewReferenceLength, moverLength,
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
  const status = data.status;
  const palette = data.palette;
  const tolerance = data.tolerance;
  const verticalTolerance = data.verticalTolerance;
  // The shifts the maps draw: the raw ones (2nd file minus 1st), and with a
  // fit its systematic part and the residuals; each with its horizontal
  // length and colour class (0, 1, 2; 255 for a station in one file only).
  // The raw classes are the C++'s.
  const raw = {
    DN: toNumbers(data.dn), DE: toNumbers(data.de), DU: toNumbers(data.du), H: toNumbers(data.horizontal),
    CLS: Uint8Array.from({ length: n }, (_, i) => data.shiftClass.charCodeAt(i) - 48),
  };
  function shiftsOf(dn, de, du) {
    const DNs = toNumbers(dn), DEs = toNumbers(de);
    const Hs = Float64Array.from(DNs, (v, i) => Math.hypot(v, DEs[i]));
    return { DN: DNs, DE: DEs, DU: toNumbers(du), H: Hs,
      CLS: Uint8Array.from(Hs, (h, i) => (raw.CLS[i] > 2 ? 255 : shiftClass(Number.isNaN(h) ? 0 : h, tolerance))) };
  }
  const shiftSets = { raw };
  if (data.fit) {
    shiftSets.systematic = shiftsOf(data.fitDn, data.fitDe, data.fitDu);
    shiftSets.residual = shiftsOf(data.resDn, data.resDe, data.resDu);
  }
  let mode = data.fit ? 'residual' : 'raw';
  let { DN, DE, DU, H, CLS } = shiftSets[mode];
  const rowClass = (i) => CLS[i];
  const exaggeration = data.map.exaggeration;
  const isPair = (i) => 'mhvbl'.includes(status[i]);
  // bad_position and no_key rows have no place on the maps.
  const isOnMap = (i) => status[i] !== 'x' && status[i] !== 'k';
  const overVertical = (i) => verticalTolerance !== null && Math.abs(DU[i]) > verticalTolerance;
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

  // --- the shift map's content, layer by layer ---------------------------------------

  // The rows on the map in an order of their own (position, then PID), not the
  // files': the same stations give the same pixels whatever order the files
  // list them in. rankOf[i]: row i's place in it.
  const order = (() => {
    const rows = [];
    for (let i = 0; i < n; ++i) if (isOnMap(i)) rows.push(i);
    const byText = (a, b) => (a < b ? -1 : a > b ? 1 : 0);
    rows.sort((a, b) => X[a] - X[b] || Y[a] - Y[b] || byText(data.pid[a], data.pid[b]) ||
      byText(status[a], status[b]) || raw.DN[a] - raw.DN[b] || raw.DE[a] - raw.DE[b] || a - b);
    return Int32Array.from(rows);
  })();
  const rankOf = new Int32Array(n);
  order.forEach((i, k) => { rankOf[i] = k; });

  const viewShifts = new Float64Array(n);  // scratch: the inliers' shifts in view
  const kViewTypicalLeast = 20, kViewTypicalSample = 25000;
  // What the drawing of each frame reads, by place in `order`, as typed
  // arrays: 200,000 stations take a few milliseconds a pass.
  const kPair = 0, kOnlyFirst = 1, kOnlySecond = 2;
  const OX = new Float64Array(order.length), OY = new Float64Array(order.length), OH = new Float64Array(order.length);
  const ODN = new Float64Array(order.length), ODE = new Float64Array(order.length);
  const OKind = new Uint8Array(order.length), OClass = new Uint8Array(order.length), OInlier = new Uint8Array(order.length);
  order.forEach((i, k) => {
    OX[k] = X[i];
    OY[k] = Y[i];
    OKind[k] = isPair(i) ? kPair : status[i] === '1' ? kOnlyFirst : kOnlySecond;
  });
  // Of the shifts drawn (raw, systematic or residual): the typical shift,
  // read robustly, so that blunders and wrong pairings neither set the
  // arrows' scale nor join a cell's arrow (the systematic part, smooth, all
  // inliers); the pairs with a shift, largest first, and those over the
  // horizontal tolerance (the flagged ones).
  let typical, pairsByLength, flaggedByLength;
  const isInlier = (i) => mode === 'systematic' || H[i] <= typical.inlierLimit;
  function prepareShiftMap() {
    const shifts = [];
    for (const i of order) if (isPair(i) && !Number.isNaN(H[i])) shifts.push(H[i]);
    typical = robustTypicalShift(Float64Array.from(shifts).sort());
    pairsByLength = order.filter((i) => isPair(i) && H[i] > 0).sort((p, q) => H[q] - H[p] || rankOf[p] - rankOf[q]);
    flaggedByLength = mode === 'systematic' ? [] : pairsByLength.filter((i) => rowClass(i) >= 1);
    order.forEach((i, k) => {
      OH[k] = H[i];
      ODN[k] = DN[i];
      ODE[k] = DE[i];
      OClass[k] = isPair(i) ? rowClass(i) : 0;
      OInlier[k] = isPair(i) && isInlier(i) ? 1 : 0;
    });
  }
  // Scratch for each frame, so that a frame allocates little.
  const reach = new Int32Array(order.length), cellIndex = new Int32Array(order.length);
  const dotPlaces = new Int32Array(order.length), cellPlaces = new Int32Array(order.length);
  // The first place k with OX[k] >= x.
  function firstAtLeast(values, x) {
    let low = 0, high = values.length;
    while (low < high) {
      const middle = (low + high) >> 1;
      if (values[middle] < x) low = middle + 1;
      else high = middle;
    }
    return low;
  }

  // Classes the reader has switched off in the legend: 0, 1, 2 (the pairs'
  // colour classes), 'first', 'second' (stations in one file only).
  const hidden = new Set();

  const kCellPx = 22;          // a cell's side on the screen
  const kCellLeast = 4;        // inlier pairs that make a cell's arrow
  // ... where its 3 x 3 block of cells (itself and its eight neighbours)
  // holds kBlockLeast, 2 a cell on average: a group of four by chance in a
  // sparse view (at 0.5 pairs a cell, four or more in one cell happen about
  // once in 600 cells, and their block then holds about 8) stays single.
  const kBlockLeast = 18;
  const kSystematicCellPx = 64;  // the grid of the systematic view
  const kSmallDotsFrom = 10000;  // stations in view from which their dots are 1 px and light, not 3 px and dark
  const kRingsAbove = 150;     // flagged and unpaired stations in view beyond which they are ringed by cell
  const kLabelFont = '11px "DejaVu Sans", Arial, sans-serif';
  const kLabelHeight = 13;
  const overlaps = (a, b) => a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;

  // Boxes (CSS pixels within the map) of the map's own furniture that labels
  // keep clear of: the scale bar and the north arrow.
  function furnitureBoxes(map) {
    const origin = map.element.getBoundingClientRect();
    return [...map.element.querySelectorAll('.scale-bar, .north-arrow')].map((e) => {
      const r = e.getBoundingClientRect();
      return { x: r.left - origin.left - 3, y: r.top - origin.top - 3, w: r.width + 6, h: r.height + 6 };
    });
  }

  // Labels at their anchors (drawn tips): beside the anchor, farther out
  // where that is taken, always inside the map, never over each other or the
  // obstacles; a label with no free place is left out. Returns the boxes.
  function placeLabels(context, items, width, height, obstacles) {
    context.font = kLabelFont;
    const boxes = [];
    for (const { text, x, y } of items) {
      const w = context.measureText(text).width + 4, h = kLabelHeight;
      let chosen = null;
      for (const d of [5, 14, 28, 46]) {
        for (const [ox, oy] of [[d, -d - h], [d, d], [-d - w, -d - h], [-d - w, d], [-w / 2, -d - h], [-w / 2, d]]) {
          const box = { x: Math.max(2, Math.min(x + ox, width - 2 - w)), y: Math.max(2, Math.min(y + oy, height - 2 - h)), w, h };
          if (!boxes.some((b) => overlaps(b, box)) && !obstacles.some((b) => overlaps(b, box))) {
            chosen = box;
            break;
          }
        }
        if (chosen) break;
      }
      if (chosen) boxes.push(Object.assign(chosen, { text }));
    }
    context.textAlign = 'start';
    for (const box of boxes) drawLabel(context, box.text, box.x + 2, box.y + box.h - 3);
    return boxes;
  }

  // An arrow drawn off scale: cap long in its direction, two short bars
  // across the shaft.
  function offScalePath(path, x, y, ux, uy, cap) {
    arrowPath(path, x, y, x + ux * cap, y + uy * cap);
    for (const at of [0.42, 0.54]) {
      const cx = x + ux * cap * at, cy = y + uy * cap * at;
      path.moveTo(cx - uy * 4, cy + ux * 4);
      path.lineTo(cx + uy * 4, cy - ux * 4);
    }
  }

  function drawShiftMap(map) {
    const { context, width, height } = sizeCanvas(map.canvas);
    map.cssWidth = width;
    map.cssHeight = height;
    context.clearRect(0, 0, width, height);
    drawScaleBar(map);
    const s = screenScale(map);
    const inside = (x, y, m) => x >= -m && x <= width + m && y >= -m && y <= height + m;
    const cap = kOffScaleCapPx;
    const margin = cap + 5;
    // Screen x = ax + X s, y = by - Y s; `order` runs by X, so the stations
    // within reach of the view are one stretch of it.
    const ax = width / 2 - view.cx * s, by = height / 2 + view.cy * s;
    const kStart = firstAtLeast(OX, (-margin - ax) / s), kEnd = firstAtLeast(OX, (width + margin - ax) / s);
    // The typical shift of the view: the median of the inliers whose station
    // is in it (the whole network's while fewer than kViewTypicalLeast are),
    // so that a town whose own change is smaller than the network's still
    // draws its arrows about kArrowTargetPx long.
    // Of many, every stride-th place in `order` (which the data fix, not the
    // files) gives it: 25,000 inliers read the median to a few parts in a
    // thousand, and the factor is a 1-2-5 step anyway.
    let inReach = 0, inView = 0;
    const stride = Math.max(1, Math.floor((kEnd - kStart) / kViewTypicalSample));
    for (let k = kStart; k < kEnd; ++k) {
      const y = by - OY[k] * s;
      if (y < -margin || y > height + margin) continue;
      reach[inReach++] = k;
      if (OKind[k] === kPair && OInlier[k] && k % stride === 0) {
        const x = ax + OX[k] * s;
        if (x >= 0 && x <= width && y >= 0 && y <= height) viewShifts[inView++] = OH[k];
      }
    }
    const viewTypical = inView >= kViewTypicalLeast ? medianInPlace(viewShifts, inView) : typical.typical;
    const factor = data.map.exaggerationGiven ? exaggeration : viewExaggeration(viewTypical, s);
    const arrowScale = factor * s;

    // The cells: kCellPx squares on a grid fixed to the ground, so that
    // panning does not regroup them.
    // The systematic part, a smooth field, as arrows on a coarse grid.
    const systematic = mode === 'systematic';
    // Its grid has an arrow in every cell holding a pair: a field, not
    // density, so no block rule there.
    const cellPx = systematic ? kSystematicCellPx : kCellPx, cellLeast = systematic ? 1 : kCellLeast;
    const blockLeast = systematic ? 0 : kBlockLeast;
    const cellMetres = cellPx / s;
    const column0 = Math.floor((view.cx - width / 2 / s) / cellMetres) - 3;
    const row0 = Math.floor(-(view.cy + height / 2 / s) / cellMetres) - 3;
    const columns = Math.ceil(width / cellPx) + 7, rowsOfCells = Math.ceil(height / cellPx) + 7;
    const cellOf = (i) => (Math.floor(-Y[i] / cellMetres) - row0) * columns + (Math.floor(X[i] / cellMetres) - column0);
    const cellCount = new Int32Array(columns * rowsOfCells);

    // Sort the rows in reach into their layers; those drawn at true scale
    // (the longest pairs, from anywhere) apart.
    let dotCount = 0;
    const hiddenClass = [0, 1, 2].map((k) => hidden.has(k));
    const shortRows = [], longRows = [], trueRows = [], unpairedRows = [];
    let flaggedInView = 0, cellled = 0;
    const trueFrom = cap / s;  // metres: a shift this long draws at true scale
    for (let r = 0; r < inReach; ++r) {
      const k = reach[r], i = order[k];
      const x = ax + OX[k] * s, y = by - OY[k] * s;
      if (OKind[k] !== kPair) {
        if (inside(x, y, 10)) {
          if (!hidden.has(OKind[k] === kOnlyFirst ? 'first' : 'second')) unpairedRows.push(i);
          ++flaggedInView;
        }
        continue;
      }
      if (x >= -3 && x <= width + 3 && y >= -3 && y <= height + 3) dotPlaces[dotCount++] = k;
      const shift = OH[k];
      if (!(shift > 0) || shift >= trueFrom || hiddenClass[OClass[k]]) continue;
      if (OClass[k] >= 1) ++flaggedInView;
      if (shift * arrowScale > cap) longRows.push(i);
      else if (OInlier[k]) {
        const c = (Math.floor(-OY[k] / cellMetres) - row0) * columns + (Math.floor(OX[k] / cellMetres) - column0);
        cellPlaces[cellled] = k;
        cellIndex[cellled++] = c;
        cellCount[c]++;
      } else shortRows.push(i);
    }
    for (const i of pairsByLength) {
      if (H[i] < trueFrom) break;
      const x = screenX(map, X[i]), y = screenY(map, Y[i]);
      if (hidden.has(rowClass(i)) || (!inside(x, y, 0) && !inside(x + DE[i] * s, y - DN[i] * s, 0))) continue;
      if (rowClass(i) >= 1) ++flaggedInView;
      trueRows.push(i);
    }

    // Cells of kCellLeast or more inlier pairs in a block of kBlockLeast or
    // more: one arrow from their mean position with the component-wise median
    // shift; the others' pairs single.
    const aggregates = aggregatingCells(cellCount, columns, cellLeast, blockLeast);
    const start = new Int32Array(cellCount.length + 1);
    for (let c = 0; c < cellCount.length; ++c) start[c + 1] = start[c] + (aggregates[c] ? cellCount[c] : 0);
    const fill = start.slice(0, cellCount.length);
    const cellDn = new Float64Array(start[cellCount.length]), cellDe = new Float64Array(cellDn.length);
    const sumX = new Float64Array(cellCount.length), sumY = new Float64Array(cellCount.length);
    for (let r = 0; r < cellled; ++r) {
      const k = cellPlaces[r], c = cellIndex[r];
      if (!aggregates[c]) {
        shortRows.push(order[k]);
        continue;
      }
      cellDn[fill[c]] = ODN[k];
      cellDe[fill[c]++] = ODE[k];
      sumX[c] += OX[k];
      sumY[c] += OY[k];
    }
    const cellArrows = [];
    for (let c = 0; c < cellCount.length; ++c) {
      if (!aggregates[c]) continue;
      const dn = medianInPlace(cellDn.subarray(start[c], start[c + 1]), cellCount[c]);
      const de = medianInPlace(cellDe.subarray(start[c], start[c + 1]), cellCount[c]);
      // A grid's arrow at its cell's centre; a cell's of the others at its stations' mean position.
      const centre = systematic
        ? { x: (column0 + (c % columns) + 0.5) * cellMetres, y: -(row0 + Math.floor(c / columns) + 0.5) * cellMetres }
        : { x: sumX[c] / cellCount[c], y: sumY[c] / cellCount[c] };
      cellArrows.push({ x: centre.x, y: centre.y, dn, de, members: cellCount[c] });
    }

    // The five largest flagged movers in view are drawn singly and labelled.
    const labelled = [];
    for (const i of flaggedByLength) {
      if (labelled.length === kLabelledMovers) break;
      if (!hidden.has(rowClass(i)) && inside(screenX(map, X[i]), screenY(map, Y[i]), 0)) labelled.push(i);
    }
    const isLabelled = new Set(labelled);
    // Many flagged or unpaired stations: one ring per cell and class.
    const ringing = !systematic && flaggedInView > kRingsAbove;
    const rings = new Map();
    const ringed = (i, key) => {
      if (!ringing || isLabelled.has(i)) return false;
      const cell = cellOf(i) * 8 + key;
      const ring = rings.get(cell);
      if (ring) {
        ring.count++;
        ring.sumX += X[i];
        ring.sumY += Y[i];
      } else rings.set(cell, { key, count: 1, sumX: X[i], sumY: Y[i] });
      return true;
    };
    const ringKey = (i) => (isPair(i) ? rowClass(i) : status[i] === '1' ? 3 : 4);

    const stroke = (colour, lineWidth) => (c, path) => {
      c.strokeStyle = colour;
      c.lineWidth = lineWidth;
      c.stroke(path);
    };
    const fillWith = (colour) => (c, path) => {
      c.fillStyle = colour;
      c.fill(path);
    };
    const drawn = [];  // lengths (px) of the ordinary arrows drawn
    let longest = 0, represented = 0, singleCount = 0;
    const tips = new Map();  // row -> its drawn tip, for the labels

    // 1. station dots
    const dots = pixelPainter(context);
    // Many stations: small light dots, which leave the arrows readable.
    const dense = dotCount > kSmallDotsFrom;
    const dot = pixelWord(dense ? palette.level : palette.station), dotSize = dense ? 1 : 3;
    if (dense && dots.ratio === 1) {
      // One pixel each, written here: 200,000 dots in about 2 ms.
      const pixels = dots.pixels, W = dots.width, HH = dots.height;
      for (let r = 0; r < dotCount; ++r) {
        const px = Math.round(ax + OX[dotPlaces[r]] * s), py = Math.round(by - OY[dotPlaces[r]] * s);
        if (px >= 0 && px < W && py >= 0 && py < HH) pixels[py * W + px] = dot;
      }
    } else {
      for (let r = 0; r < dotCount; ++r) dots.square(ax + OX[dotPlaces[r]] * s, by - OY[dotPlaces[r]] * s, dotSize, dot);
    }
    dots.put();
    // 2. ordinary arrows: the cells', then the single ones, by class
    const thin = n > kThinArrowsFrom ? 1 : 1.4;
    const cellBatches = classColours.map((colour) => Batches(context, stroke(colour, 1.8)));
    let cellsSeen = 0;
    for (const a of cellArrows) {
      const x = screenX(map, a.x), y = screenY(map, a.y);
      const length = Math.hypot(a.dn, a.de) * arrowScale;
      const k = shiftClass(Math.hypot(a.dn, a.de), tolerance);
      const along = length > cap ? cap / length : 1;
      const ex = x + a.de * arrowScale * along, ey = y - a.dn * arrowScale * along;
      if (length > cap) offScalePath(cellBatches[k].path(), x, y, a.de * arrowScale / length, -a.dn * arrowScale / length, cap);
      else arrowPath(cellBatches[k].path(), x, y, ex, ey);
      if (inside(x, y, 0) || inside(ex, ey, 0)) ++cellsSeen;
      drawn.push(Math.min(length, cap));
      longest = Math.max(longest, Math.min(length, cap));
      represented += a.members;
    }
    cellBatches.forEach((b) => b.flush());
    const singles = classColours.map((colour) => Batches(context, stroke(colour, thin)));
    for (const i of shortRows) {
      if (rowClass(i) >= 1 && ringed(i, ringKey(i))) {
        ++represented;
        continue;
      }
      const x = screenX(map, X[i]), y = screenY(map, Y[i]);
      const ex = x + DE[i] * arrowScale, ey = y - DN[i] * arrowScale;
      arrowPath(singles[rowClass(i)].path(), x, y, ex, ey);
      ++singleCount;
      drawn.push(H[i] * arrowScale);
      longest = Math.max(longest, H[i] * arrowScale);
      tips.set(i, [ex, ey]);
      ++represented;
    }
    singles.forEach((b) => b.flush());
    // 3. stations in one file only
    const onlyFirst = Batches(context, stroke(palette.onlyInFirst, 1.6));
    const onlySecond = Batches(context, fillWith(palette.onlyInSecond));
    for (const i of unpairedRows) {
      if (ringed(i, ringKey(i))) continue;
      const x = screenX(map, X[i]), y = screenY(map, Y[i]);
      if (status[i] === '1') {
        onlyFirst.path().rect(x - 4, y - 4, 8, 8);
      } else {
        const path = onlySecond.path();
        path.moveTo(x, y - 5);
        path.lineTo(x + 4.5, y + 3);
        path.lineTo(x - 4.5, y + 3);
        path.closePath();
      }
    }
    onlyFirst.flush();
    onlySecond.flush();
    // Which of the long ones go into rings, before the rings are drawn.
    const trueDrawn = trueRows.filter((i) => !ringed(i, ringKey(i)));
    const longDrawn = longRows.filter((i) => !(rowClass(i) >= 1 && ringed(i, ringKey(i))));
    represented += trueRows.length - trueDrawn.length + longRows.length - longDrawn.length;
    // 4. rings: count flagged or unpaired stations of one class in one cell
    const ringColours = [palette.within, palette.upToTwice, palette.beyondTwice, palette.onlyInFirst, palette.onlyInSecond];
    const ringBatches = ringColours.map((colour) => Batches(context, stroke(colour, 1.5)));
    for (const ring of rings.values()) {
      const x = screenX(map, ring.sumX / ring.count), y = screenY(map, ring.sumY / ring.count);
      const radius = 2.5 + 1.5 * Math.sqrt(ring.count);
      const path = ringBatches[ring.key].path();
      path.moveTo(x + radius, y);
      path.arc(x, y, radius, 0, 2 * Math.PI);
    }
    ringBatches.forEach((b) => b.flush());
    // 5. true scale: dashed from the 1st position to the 2nd, ringed there
    const trueLines = [];
    context.setLineDash([5, 3]);
    for (const i of trueDrawn) {
      const x = screenX(map, X[i]), y = screenY(map, Y[i]);
      const ex = x + DE[i] * s, ey = y - DN[i] * s;
      context.strokeStyle = classColours[rowClass(i)];
      context.lineWidth = 1.6;
      context.beginPath();
      context.moveTo(x, y);
      context.lineTo(ex, ey);
      context.stroke();
      trueLines.push([i, +ex.toFixed(2), +ey.toFixed(2)]);
      tips.set(i, [ex, ey]);
      ++represented;
    }
    context.setLineDash([]);
    for (const i of trueDrawn) {
      const [ex, ey] = tips.get(i);
      context.strokeStyle = classColours[rowClass(i)];
      context.beginPath();
      context.arc(ex, ey, 5, 0, 2 * Math.PI);
      context.stroke();
    }
    // 6. off-scale arrows: cap long, two bars across
    const longBatches = classColours.map((colour) => Batches(context, stroke(colour, 1.6)));
    for (const i of longDrawn) {
      const x = screenX(map, X[i]), y = screenY(map, Y[i]);
      const ux = DE[i] / H[i], uy = -DN[i] / H[i];
      offScalePath(longBatches[rowClass(i)].path(), x, y, ux, uy, cap);
      longest = Math.max(longest, cap);
      tips.set(i, [x + ux * cap, y + uy * cap]);
      ++represented;
    }
    longBatches.forEach((b) => b.flush());

    // The reference arrow, lower right, at the view's scale.
    const referenceLength = viewReferenceLength(tolerance, arrowScale);
    const referencePx = referenceLength * arrowScale;
    const right = width - 16, base = height - 16;
    const reference = new Path2D();
    arrowPath(reference, right - referencePx, base, right, base);
    context.strokeStyle = palette.within;
    context.lineWidth = 1.6;
    context.stroke(reference);
    context.textAlign = 'center';
    drawLabel(context, lengthLabel(referenceLength), right - referencePx / 2, base - 8);
    context.textAlign = 'start';
    context.font = kLabelFont;
    const referenceTextWidth = context.measureText(lengthLabel(referenceLength)).width;
    const referenceBox = { x: right - Math.max(referencePx, referenceTextWidth) / 2 - referencePx / 2 - 4, y: base - 22,
      w: Math.max(referencePx, referenceTextWidth) + 8, h: 28 };

    // 7. labels: the five largest flagged movers in view, at their drawn tips
    const labelItems = labelled.filter((i) => tips.has(i)).map((i) => ({ text: data.pid[i] + ' ' + moverLength(H[i]),
      x: tips.get(i)[0], y: tips.get(i)[1] }));
    const labels = placeLabels(context, labelItems, width, height, [referenceBox, ...furnitureBoxes(map)]);
    drawSelection(map, context);

    // What the tests read. cellArrows: the cell arrows whose start or drawn
    // tip is on the canvas, those a reader sees (not those of cells in the
    // margin about it, drawn for the arrows that reach in).
    drawn.sort((a, b) => a - b);
    Object.assign(map.element.dataset, {
      arrows: String(represented),
      factor: String(factor),
      typical: String(viewTypical),
      inlierLimit: String(typical.inlierLimit),
      cap: String(cap),
      longestArrow: longest.toFixed(2),
      medianArrow: drawn.length ? percentile(drawn, 0.5).toFixed(2) : '0',
      cellArrows: String(cellsSeen),
      singleArrows: String(singleCount),
      rings: String(rings.size),
      trueScale: JSON.stringify(trueLines),
      labels: JSON.stringify(labels.map((b) => ({ text: b.text, x: +b.x.toFixed(1), y: +b.y.toFixed(1), w: +b.w.toFixed(1), h: b.h }))),
      reference: JSON.stringify({ label: lengthLabel(referenceLength), px: +referencePx.toFixed(2),
        box: { x: +referenceBox.x.toFixed(1), y: referenceBox.y, w: +referenceBox.w.toFixed(1), h: referenceBox.h } }),
    });
    document.querySelector('#shift-panel figcaption .factor').textContent = String(factor);
    document.querySelector('#shift-legend .reference-note').textContent =
      'reference arrow: ' + lengthLabel(referenceLength) + ' of shift; arrows \u00d7' + String(factor) +
      (data.map.exaggerationGiven ? ' (given)' : ' (this view: its typical shift of ' + moverLength(viewTypical) +
        ' draws ' + kArrowTargetPx + ' px)');
  }

  // The height map's diverging scale: du from -heightRange to +heightRange
  // (twice the vertical tolerance when one is given).
  let heightRange = heightRangeOf(DU, verticalTolerance);
  const heightColours = heightColoursOf(palette);
  // The height map's drawing order: stations without a height first, then
  // by |du| ascending, so that the largest change is on top; those over the
  // vertical tolerance last of all, outlined. By place in it: position,
  // colour as a pixel word, and kind (0 no height, 1 a height, 2 over the
  // vertical tolerance).
  let heightOrder, verticalByLength;
  const HX = new Float64Array(order.length), HY = new Float64Array(order.length);
  const HWord = new Uint32Array(order.length), HKind = new Uint8Array(order.length);
  function prepareHeightMap() {
    heightRange = heightRangeOf(DU, verticalTolerance);
    const rows = Array.from(order);
    const rank = (i) => (Number.isNaN(DU[i]) ? 0 : overVertical(i) ? 2 : 1);
    rows.sort((p, q) => rank(p) - rank(q) || Math.abs(DU[p]) - Math.abs(DU[q]) || rankOf[p] - rankOf[q]);
    heightOrder = Int32Array.from(rows);
    verticalByLength = heightOrder.filter((i) => overVertical(i) && !Number.isNaN(DU[i])).reverse();
    const words = heightColours.map(pixelWord);
    heightOrder.forEach((i, k) => {
      HX[k] = X[i];
      HY[k] = Y[i];
      HKind[k] = Number.isNaN(DU[i]) ? 0 : overVertical(i) ? 2 : 1;
      HWord[k] = HKind[k] ? words[heightStep(DU[i], heightRange)] : 0;
    });
  }

  // Squares straight into the canvas's pixels, in the order given: far faster
  // than paths for a hundred thousand squares (a path of 60,000 squares and
  // rings took 1.7 s to rasterize in headless chromium on this machine), and
  // each square lies exactly over those before it.
  const images = new Map();
  function pixelPainter(context) {
    const W = context.canvas.width, HH = context.canvas.height;
    const ratio = window.devicePixelRatio || 1;
    // One image per canvas and size, cleared for each frame.
    let image = images.get(context);
    if (!image || image.width !== W || image.height !== HH) {
      image = context.createImageData(W, HH);
      images.set(context, image);
    }
    const pixels = new Uint32Array(image.data.buffer);
    pixels.fill(0);
    return {
      // A square of side `size` CSS pixels about (x, y), filled, or only its
      // one-pixel outline.
      square(x, y, size, word, outline = false) {
        const side = Math.max(1, Math.round(size * ratio));
        const x0 = Math.round(x * ratio - side / 2), y0 = Math.round(y * ratio - side / 2);
        if (!outline && x0 >= 0 && y0 >= 0 && x0 + side <= W && y0 + side <= HH) {
          // Wholly inside, the common case: no clipping, no calls.
          for (let row = y0, p = y0 * W + x0; row < y0 + side; ++row, p += W) {
            for (let q = p; q < p + side; ++q) pixels[q] = word;
          }
          return;
        }
        const left = Math.max(0, x0), right = Math.min(W, x0 + side);
        if (left >= right) return;
        for (let row = Math.max(0, y0); row < Math.min(HH, y0 + side); ++row) {
          if (outline && row !== y0 && row !== y0 + side - 1) {
            if (x0 >= 0) pixels[row * W + x0] = word;
            if (x0 + side - 1 < W) pixels[row * W + x0 + side - 1] = word;
          } else pixels.fill(word, row * W + left, row * W + right);
        }
      },
      put() { context.putImageData(image, 0, 0); },
      pixels, width: W, height: HH, ratio,
    };
  }

  function drawHeightMap(map) {
    const { context, width, height } = sizeCanvas(map.canvas);
    map.cssWidth = width;
    map.cssHeight = height;
    context.clearRect(0, 0, width, height);
    drawScaleBar(map);
    const paint = pixelPainter(context);
    const none = pixelWord('#8a8a8a'), black = pixelWord('#000000');
    let squares = 0;
    const outlined = [];
    const s = screenScale(map), ax = width / 2 - view.cx * s, by = height / 2 + view.cy * s;
    for (let k = 0; k < heightOrder.length; ++k) {
      const x = ax + HX[k] * s;
      const y = by - HY[k] * s;
      if (x < -10 || x > width + 10 || y < -10 || y > height + 10) continue;
      if (HKind[k] === 0) {
        paint.square(x, y, 5, none, true);
        continue;
      }
      if (HKind[k] === 2) {
        outlined.push(k);
        continue;
      }
      paint.square(x, y, 5, HWord[k]);
      ++squares;
    }
    // Over the vertical tolerance: all outlines, then all squares, so that a
    // dense patch (a subsidence bowl) shows its colour, outlined at its edge.
    for (const k of outlined) paint.square(ax + HX[k] * s, by - HY[k] * s, 7, black);
    for (const k of outlined) paint.square(ax + HX[k] * s, by - HY[k] * s, 5, HWord[k]);
    squares += outlined.length;
    paint.put();
    const labelled = [];
    for (const i of verticalByLength) {
      if (labelled.length === kLabelledMovers) break;
      const x = screenX(map, X[i]), y = screenY(map, Y[i]);
      if (x >= 0 && x <= width && y >= 0 && y <= height) {
        labelled.push({ text: data.pid[i] + ' ' + (DU[i] < 0 ? '\u2212' : '+') + moverLength(Math.abs(DU[i])), x, y });
      }
    }
    const labels = placeLabels(context, labelled, width, height, furnitureBoxes(map));
    drawSelection(map, context);
    Object.assign(map.element.dataset, {
      squares: String(squares),
      labels: JSON.stringify(labels.map((b) => ({ text: b.text, x: +b.x.toFixed(1), y: +b.y.toFixed(1), w: +b.w.toFixed(1), h: b.h }))),
    });
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
        ? 'Outlined black, on top: over the vertical tolerance of ' + lengthLabel(verticalTolerance) + '. '
        : 'No vertical tolerance given. ') + 'Hollow grey: no height shift (a station without height). The largest change lies on top.';
  }

  // Each class's legend entry switches it on and off.
  const legendKeys = { within: 0, upToTwice: 1, beyondTwice: 2, onlyInFirst: 'first', onlyInSecond: 'second' };
  for (const entry of document.querySelectorAll('#shift-legend li[data-toggle]')) {
    const key = legendKeys[entry.dataset.toggle];
    const toggle = () => {
      if (hidden.has(key)) hidden.delete(key);
      else hidden.add(key);
      entry.setAttribute('aria-pressed', String(!hidden.has(key)));
      requestDraw();
    };
    entry.addEventListener('click', toggle);
    entry.addEventListener('keydown', (event) => {
      if (event.key === 'Enter' || event.key === ' ') {
        event.preventDefault();
        toggle();
      }
    });
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
  }

  // --- histograms ------------------------------------------------------------------

  // values: the shifts; layout: the bins (histogramLayout; values beyond go
  // into the end bins, counted); lines: [value, label], a line beyond the
  // range an edge marker; colourOf: bar colour by bin centre.
  function drawHistogram(canvas, values, layout, lines, colourOf) {
    const { context, width, height } = sizeCanvas(canvas);
    context.clearRect(0, 0, width, height);
    const { counts, below, above } = histogramBins(values, layout);
    const lo = (layout.first - 0.5) * layout.width, hi = (layout.last + 0.5) * layout.width;
    const left = 44, right = width - 12, bottom = height - 30;
    context.font = '11px "DejaVu Sans", Arial, sans-serif';
    const xOf = (v) => left + ((v - lo) / (hi - lo)) * (right - left);
    // The lines' labels in rows, so that none overlaps another; the bars
    // start below the last row.
    const shown = lines.filter(([value]) => value >= lo && value <= hi).sort((p, q) => p[0] - q[0]);
    const rows = labelRows(shown.map(([value, label]) => ({ x: xOf(value), width: context.measureText(label).width })));
    const top = 22 + 12 * Math.max(0, ...rows);
    const most = Math.max(1, ...counts);
    const barWidth = (right - left) / counts.length;
    counts.forEach((count, k) => {
      if (!count) return;
      const barHeight = Math.max(1, (count / most) * (bottom - top));
      context.fillStyle = colourOf((layout.first + k) * layout.width);
      context.fillRect(left + k * barWidth + (barWidth > 3 ? 0.5 : 0), bottom - barHeight,
        Math.max(1, barWidth - (barWidth > 3 ? 1 : 0)), barHeight);
    });
    context.strokeStyle = '#1b1b1b';
    context.lineWidth = 1;
    context.beginPath();
    context.moveTo(left, top - 4);
    context.lineTo(left, bottom);
    context.lineTo(right, bottom);
    context.stroke();
    context.fillStyle = '#1b1b1b';
    context.textAlign = 'right';
    context.fillText(String(most), left - 4, top + 4);
    context.fillText('0', left - 4, bottom);
    context.textAlign = 'center';
    // Ticks at least 52 px apart: room for a label such as "−10 cm".
    for (const t of axisTicks(lo, hi, (52 / (right - left)) * (hi - lo))) {
      const x = xOf(t);
      context.beginPath();
      context.moveTo(x, bottom);
      context.lineTo(x, bottom + 4);
      context.stroke();
      const label = t === 0 ? '0' : (t < 0 ? '\u2212' : '') + lengthLabel(Math.abs(t));
      context.fillText(label, x, bottom + 16);
    }
    const boxes = [];
    context.setLineDash([4, 3]);
    shown.forEach(([value, label], k) => {
      const x = xOf(value), y = 13 + 12 * rows[k];
      context.strokeStyle = '#000000';
      context.beginPath();
      context.moveTo(x, y + 3);
      context.lineTo(x, bottom);
      context.stroke();
      context.fillText(label, x, y);
      const w = context.measureText(label).width;
      boxes.push({ text: label, x: +(x - w / 2).toFixed(1), y: y - 10, w: +w.toFixed(1), h: 12 });
    });
    context.setLineDash([]);
    // Lines far beyond the range: a marker at the edge they lie past.
    const markers = [];
    for (const [value, label] of lines) {
      if (value >= lo && value <= hi) continue;
      markers.push(value > hi ? label + ' \u2192' : '\u2190 ' + label);
    }
    context.fillStyle = '#1b1b1b';
    markers.forEach((text, k) => {
      context.textAlign = text.endsWith('\u2192') ? 'right' : 'left';
      context.fillText(text, text.endsWith('\u2192') ? right : left + 4, top + 4 + 13 * (k + 1));
    });
    context.textAlign = 'start';
    const notes = [values.length + ' values, bars of ' + lengthLabel(layout.width)];
    if (below) notes.push(below + ' below, in the first bar');
    if (above) notes.push(above + ' beyond, in the last');
    context.fillStyle = '#5a5a5a';
    context.fillText(notes.join('; '), left + 6, height - 2);
    Object.assign(canvas.dataset, { binWidth: String(layout.width), first: String(layout.first),
      counts: JSON.stringify(counts), lineLabels: JSON.stringify(boxes), markers: JSON.stringify(markers) });
  }

  function drawHistograms() {
    const horizontal = [], vertical = [];
    for (let i = 0; i < n; ++i) {
      if (isPair(i) && !Number.isNaN(H[i])) horizontal.push(H[i]);
      if (!Number.isNaN(DU[i])) vertical.push(DU[i]);
    }
    const horizontalLines = [[tolerance, 'tolerance ' + lengthLabel(tolerance)], [2 * tolerance, lengthLabel(2 * tolerance)]];
    drawHistogram(document.getElementById('horizontal-histogram'), horizontal,
      histogramLayout(Float64Array.from(horizontal).sort(), horizontalLines.map(([v]) => v), false), horizontalLines,
      (v) => classColours[shiftClass(v, tolerance)]);
    const lines = verticalTolerance !== null
      ? [[-verticalTolerance, '\u2212' + lengthLabel(verticalTolerance)], [verticalTolerance, 'tolerance ' + lengthLabel(verticalTolerance)]]
      : [];
    drawHistogram(document.getElementById('height-histogram'), vertical,
      histogramLayout(Float64Array.from(vertical, Math.abs).sort(), lines.map(([v]) => v), true), lines,
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
    const terms = [['status', statusNames[status[i]]], ['horizontal', metres(raw.H[i])],
      ['dn (north)', metres(raw.DN[i])], ['de (east)', metres(raw.DE[i])], ['du (up)', metres(raw.DU[i])],
      ['azimuth', azimuth]];
    if (shiftSets.residual) {
      terms.push(['residual', metres(shiftSets.residual.H[i])], ['residual du', metres(shiftSets.residual.DU[i])]);
      if (data.outlier[i] === '1') terms.push(['fit', 'an outlier']);
    }
    for (const [term, value] of terms) {
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

  // --- the views of a fit: raw, systematic, residual -----------------------------------
  const viewButtons = document.querySelectorAll('#views button[data-view]');
  // "similarity: tn 4.8 mm, te -2.03 cm, rotation 0.0151″, scale 0.0803 ppm; vertical offset"
  function fitText() {
    const units = { m: (v) => (v < 0 ? '−' : '') + moverLength(Math.abs(v)), 'arc-seconds': (v) => String(+v.toPrecision(3)) + '″',
      ppm: (v) => String(+v.toPrecision(3)) + ' ppm' };
    const parameters = data.fit.parameters.filter((p) => p.value !== null)
      .map((p) => p.name + ' ' + (units[p.unit] || ((v) => String(+v.toPrecision(3))))(p.value));
    return data.fit.model + ': ' + parameters.join(', ') + (data.fit.vertical !== 'none' ? '; vertical ' + data.fit.vertical : '');
  }
  function setMode(next) {
    mode = next;
    ({ DN, DE, DU, H, CLS } = shiftSets[mode]);
    prepareShiftMap();
    prepareHeightMap();
    for (const button of viewButtons) button.setAttribute('aria-pressed', String(button.dataset.view === mode));
    document.body.dataset.view = mode;
    const caption = document.querySelector('#views .view-caption');
    if (data.fit) {
      caption.textContent = mode === 'raw' ? 'The shifts as measured: 2nd file minus 1st.'
        : mode === 'systematic' ? 'The systematic change the fit found, on a coarse grid: ' + fitText() + '.'
          : 'What is left after the fit (' + fitText() + '): residuals, ' +
            (data.fit.sigmaH !== null ? 'σH ' + moverLength(data.fit.sigmaH) + ', ' : '') + data.fit.outliers +
            ' outliers among the flagged.';
    }
    drawHeightLegend();
  }
  for (const button of viewButtons) {
    button.addEventListener('click', () => {
      setMode(button.dataset.view);
      drawMaps();
      drawHistograms();
    });
  }
  document.getElementById('views').hidden = !data.fit;

  setMode(mode);
  drawShiftLegend();
  drawMaps();
  drawHistograms();
  // A canvas is rasterized when it is painted, after this script; reading one
  // pixel of each finishes its drawing now, so that the time below is the
  // time until the pictures are there.
  for (const canvas of document.querySelectorAll('canvas')) canvas.getContext('2d').getImageData(0, 0, 1, 1);
  document.body.dataset.drawMs = performance.now().toFixed(0);
  document.body.dataset.drawn = 'true';
})();
