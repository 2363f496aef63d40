// The shift page's arithmetic, apart from its drawing: the 1-2-5 lengths and
// their labels, the colour classes, percentiles, the height map's steps and
// colours, the histograms' bins and ticks, and the grid that finds the
// station under the pointer. Lengths are in metres. Pure functions only: no
// DOM, no state.
//
// The page embeds this file as a classic script before report.js, which
// reads tessovane2MapMath; node loads it with require() for the tests
// (tests/shift_map/page/map_math_test.mjs), which check it against the C++
// of src/shift_map/map_geometry.cpp and src/shifts/shift_summary.cpp.
'use strict';

const tessovane2MapMath = (function () {
  // The largest length of the 1-2-5 sequence not greater than limit (limit
  // positive), as niceLengthAtMost in map_geometry.cpp: a negative power of
  // ten as a divisor, so that 5 cm is the double nearest 0.05.
  function niceLengthAtMost(limit) {
    const exponent = Math.floor(Math.log10(limit));
    const scale = Math.pow(10, Math.abs(exponent));
    for (const mantissa of [5, 2, 1]) {
      const length = exponent < 0 ? mantissa / scale : mantissa * scale;
      if (length <= limit * (1 + 1e-12)) return length;
    }
    return exponent < 0 ? 0.5 / scale : scale / 2;
  }

  // The scale bar: the 1-2-5 length not greater than this share of the
  // map's width.
  const kScaleBarShare = 0.25;
  const scaleBarLength = (mapWidth) => niceLengthAtMost(kScaleBarShare * mapWidth);

  // value with `decimals` digits after the point, exactly rounded as C++'s
  // std::to_chars rounds: halfway between two, to the even one (toFixed
  // takes the larger: 0.0625 is "0.063" to it, "0.062" to the C++).
  function fixedHalfEven(value, decimals) {
    const rounded = value.toFixed(decimals);
    // The double's own digits: a halfway value ends within them.
    const exact = value.toFixed(100);
    const cut = exact.indexOf('.') + 1 + decimals;
    if (!/^50*$/.test(exact.slice(cut))) return rounded;
    const truncated = exact.slice(0, decimals > 0 ? cut : cut - 1);
    return Number(truncated[truncated.length - 1]) % 2 === 0 ? truncated : rounded;
  }

  // "5 mm", "2 cm", "200 m", "5 km": at most 3 decimals in the unit that
  // keeps a 1-2-5 length whole, as lengthLabel in map_geometry.cpp.
  function lengthLabel(metres) {
    let value = metres;
    let unit = ' m';
    if (metres >= 1000 * (1 - 1e-9)) {
      value = metres / 1000;
      unit = ' km';
    } else if (metres < 0.01 * (1 - 1e-9)) {
      value = metres * 1000;
      unit = ' mm';
    } else if (metres < 1 - 1e-9) {
      value = metres * 100;
      unit = ' cm';
    }
    // A length too small for three decimals (a tolerance of 1e-7 m) keeps
    // three significant digits, as std::to_chars writes them in general form.
    if (value !== 0 && Math.abs(value) < 0.0005) return generalThreeDigits(value) + unit;
    return String(Number(fixedHalfEven(value, 3))) + unit;
  }

  // value with three significant digits as C++'s std::to_chars writes it in
  // general form: "0.000123", "1.5e-05" (trailing zeros dropped).
  function generalThreeDigits(value) {
    const exponent = Math.floor(Math.log10(Math.abs(Number(value.toPrecision(3)))));
    if (exponent >= -4 && exponent < 3) return String(Number(value.toPrecision(3)));
    const [mantissa, power] = value.toExponential(2).split('e');
    const digits = mantissa.includes('.') ? mantissa.replace(/0+$/, '').replace(/\.$/, '') : mantissa;
    const p = Number(power);
    return digits + 'e' + (p < 0 ? '-' : '+') + String(Math.abs(p)).padStart(2, '0');
  }

  // The colour class of a horizontal shift by the horizontal tolerance: 0
  // within it, 1 up to twice it, 2 beyond twice it (ShiftClass in
  // map_geometry.h). The rows' classes come with the page's data; this one
  // colours the histogram's bars.
  const shiftClass = (horizontal, tolerance) =>
    (horizontal <= tolerance ? 0 : horizontal <= 2 * tolerance ? 1 : 2);

  // The p-th quantile (0 <= p <= 1) of ascending `sorted`, interpolated
  // between order statistics at rank (n - 1) p, as percentile in
  // shift_summary.cpp; 0 for no values.
  function percentile(sorted, p) {
    if (!sorted.length) return 0;
    const at = (sorted.length - 1) * p, low = Math.floor(at);
    const high = Math.min(sorted.length - 1, low + 1);
    return sorted[low] + (sorted[high] - sorted[low]) * (at - low);
  }

  // The typical shift read robustly, as robustTypicalShift in
  // map_geometry.cpp: the inliers are the shifts (ascending `sorted`, metres)
  // at most P75 + 3 (P75 - P25); the typical shift is their median.
  function robustTypicalShift(sorted) {
    if (!sorted.length) return { inlierLimit: 0, typical: 0, inliers: 0 };
    const p25 = percentile(sorted, 0.25), p75 = percentile(sorted, 0.75);
    const inlierLimit = p75 + 3 * (p75 - p25);
    let low = 0, high = sorted.length;  // the first value above the limit
    while (low < high) {
      const middle = (low + high) >> 1;
      if (sorted[middle] <= inlierLimit) low = middle + 1;
      else high = middle;
    }
    return { inlierLimit, typical: percentile(sorted.slice(0, low), 0.5), inliers: low };
  }

  // The median of values[0..count) as percentile(sorted, 0.5) gives it, found
  // by selection in linear time (Hoare's FIND); reorders those values.
  function medianInPlace(values, count) {
    if (count <= 0) return 0;
    const select = (k) => {
      let low = 0, high = count - 1;
      while (low < high) {
        const pivot = values[(low + high) >> 1];
        let i = low, j = high;
        while (i <= j) {
          while (values[i] < pivot) ++i;
          while (values[j] > pivot) --j;
          if (i <= j) {
            const t = values[i];
            values[i++] = values[j];
            values[j--] = t;
          }
        }
        if (k <= j) high = j;
        else if (k >= i) low = i;
        else break;
      }
      return values[k];
    };
    const at = (count - 1) * 0.5, low = Math.floor(at);
    const lower = select(low);
    if (low + 1 >= count) return lower;
    // values[low + 1 ..] are not below values[low]: the next order statistic is their least.
    let next = Infinity;
    for (let k = low + 1; k < count; ++k) if (values[k] < next) next = values[k];
    return lower + (next - lower) * (at - low);
  }

  // The cells that draw one arrow for their pairs, of a grid `columns` cells
  // wide whose inlier pairs per cell are counts[row * columns + column]: those
  // holding at least cellLeast whose 3 x 3 block (the cell and its eight
  // neighbours; none beyond the grid) holds at least blockLeast, as
  // planMapMarks in svg_marks.cpp chooses them. 1 for such a cell, else 0.
  function aggregatingCells(counts, columns, cellLeast, blockLeast) {
    const rows = counts.length / columns;
    const chosen = new Uint8Array(counts.length);
    for (let c = 0; c < counts.length; ++c) {
      if (counts[c] < cellLeast) continue;
      const row = Math.floor(c / columns), column = c - row * columns;
      let block = 0;
      for (let r = Math.max(0, row - 1); r <= Math.min(rows - 1, row + 1); ++r) {
        for (let k = Math.max(0, column - 1); k <= Math.min(columns - 1, column + 1); ++k) block += counts[r * columns + k];
      }
      chosen[c] = block >= blockLeast ? 1 : 0;
    }
    return chosen;
  }

  // The 1-2-5 value nearest to value on a log scale, as nearestNiceValue in
  // map_geometry.cpp (2.6 times a 1-2-5 value lies short of the second next).
  function nearestNiceValue(value) {
    const lower = niceLengthAtMost(value);
    const upper = niceLengthAtMost(lower * 2.6);
    return value * value < lower * upper ? lower : upper;
  }

  // A view's exaggeration, so that the typical shift draws about
  // kArrowTargetPx long whatever the zoom; arrows longer than kOffScaleCapPx
  // are drawn that long, marked off scale (viewExaggeration, offScaleCapPx).
  const kArrowTargetPx = 18;
  const kOffScaleCapPx = Math.max(30, 2.5 * kArrowTargetPx);
  function viewExaggeration(typical, pixelsPerMetre) {
    if (!(typical > 0) || !(pixelsPerMetre > 0)) return 1;
    return Math.max(1, nearestNiceValue(kArrowTargetPx / (typical * pixelsPerMetre)));
  }

  // A view's reference arrow (metres of shift): the tolerance when it draws
  // 15 to 120 px long, else the 1-2-5 length nearest 1.5 kArrowTargetPx.
  function viewReferenceLength(tolerance, arrowPxPerMetre) {
    const px = tolerance * arrowPxPerMetre;
    if (px >= 15 && px <= 120) return tolerance;
    return nearestNiceValue((1.5 * kArrowTargetPx) / arrowPxPerMetre);
  }

  // A mover's length with three significant digits (halfway to the even
  // one) in the largest unit that keeps it at least 1, as moverLengthLabel
  // in map_geometry.cpp: "40.3 km", "1.79 m", "8.21 cm", "4 mm".
  function moverLength(metres) {
    const units = [[1000, ' km'], [1, ' m'], [0.01, ' cm'], [0.001, ' mm']];
    for (const [size, unit] of units) {
      const value = metres / size;
      const decimals = value > 0 ? Math.max(0, 2 - Math.floor(Math.log10(value))) : 0;
      const rounded = Number(fixedHalfEven(value, decimals));
      if (rounded >= 1 || size === 0.001) return String(rounded) + unit;
    }
    return '';
  }

  // The height map's diverging scale runs from -range to +range (metres):
  // twice the vertical tolerance when one is given, else twice the 1-2-5
  // length under the 95th-percentile |du| (the order statistic at rank
  // floor(0.95 (n - 1))), 1 cm when every du is zero or missing (NaN).
  function heightRange(du, verticalTolerance) {
    if (verticalTolerance !== null && verticalTolerance > 0) return 2 * verticalTolerance;
    const magnitudes = [];
    for (const value of du) if (!Number.isNaN(value)) magnitudes.push(Math.abs(value));
    magnitudes.sort((a, b) => a - b);
    const p95 = magnitudes.length ? magnitudes[Math.floor(0.95 * (magnitudes.length - 1))] : 0;
    return p95 > 0 ? niceLengthAtMost(p95) * 2 : 0.01;
  }

  // The scale's steps: 0 for -range or below, kHeightSteps - 1 for +range
  // or above, the middle one for no change; symmetric about it, halves
  // rounded away from zero (so that -1 cm and +1 cm lie equally far out).
  const kHeightSteps = 11;
  function heightStep(du, range) {
    const t = Math.max(-1, Math.min(1, du / range)) * ((kHeightSteps - 1) / 2);
    return (kHeightSteps - 1) / 2 + Math.sign(t) * Math.floor(Math.abs(t) + 0.5);
  }

  // "#rrggbb" or "rgb(r,g,b)" as one little-endian RGBA pixel word (opaque),
  // for drawing into an ImageData's Uint32Array.
  function pixelWord(colour) {
    const channels = colour[0] === '#'
      ? [0, 1, 2].map((k) => parseInt(colour.substr(1 + 2 * k, 2), 16))
      : colour.slice(colour.indexOf('(') + 1, colour.indexOf(')')).split(',').map(Number);
    return ((255 << 24) | (channels[2] << 16) | (channels[1] << 8) | channels[0]) >>> 0;
  }

  // The colour t of the way from "#rrggbb" a to b (0 <= t <= 1), as rgb().
  function mixColour(a, b, t) {
    const channel = (c, k) => parseInt(c.substr(1 + 2 * k, 2), 16);
    const out = [0, 1, 2].map((k) => Math.round(channel(a, k) + (channel(b, k) - channel(a, k)) * t));
    return 'rgb(' + out.join(',') + ')';
  }

  // The colour of t in [-1, 1] (clamped) on the palette's diverging scale:
  // palette.down at -1, palette.level at 0, palette.up at 1.
  function divergingColour(palette, t) {
    const u = Math.max(-1, Math.min(1, t));
    return u < 0 ? mixColour(palette.level, palette.down, -u) : mixColour(palette.level, palette.up, u);
  }

  // The colour of each height step.
  const heightColours = (palette) => Array.from({ length: kHeightSteps }, (_, k) =>
    divergingColour(palette, (k - (kHeightSteps - 1) / 2) / ((kHeightSteps - 1) / 2)));

  // A histogram's layout for ascending magnitudes `sorted` (metres; the
  // horizontal shifts, or |du|): its upper end is 1.1 times the inliers'
  // 99.5th percentile (inliers as robustTypicalShift reads them), so that
  // blunders neither stretch it nor thin the bars; a tolerance line up to
  // three times beyond that end moves the end out to show it, one farther
  // stays an edge marker. Bins are a 1-2-5 width, about kHistogramBins over
  // the range (`symmetric`: from -top to top), one of them centred on 0:
  // bin k holds [(k - 1/2) width, (k + 1/2) width). Returns {top, width,
  // first, last} (first and last: the end bins' k).
  const kHistogramBins = 40;
  function histogramLayout(sorted, lines, symmetric) {
    const { inliers } = robustTypicalShift(sorted);
    let top = 1.1 * percentile(sorted.subarray ? sorted.subarray(0, inliers) : sorted.slice(0, inliers), 0.995);
    if (!(top > 0)) top = 0.01;
    const reach = top;
    for (const line of lines) if (Math.abs(line) > top && Math.abs(line) <= 3 * reach) top = 1.05 * Math.abs(line);
    const width = nearestNiceValue(((symmetric ? 2 : 1) * top) / kHistogramBins);
    const last = Math.ceil(top / width - 0.5);
    return { top, width, first: symmetric ? -last : 0, last };
  }

  // The counts of `values` in the bins of a layout, first to last; a value
  // beyond the end bins goes into them and is counted apart.
  function histogramBins(values, layout) {
    const counts = new Array(layout.last - layout.first + 1).fill(0);
    let below = 0, above = 0;
    for (const v of values) {
      let k = Math.floor(v / layout.width + 0.5);
      if (k < layout.first) {
        k = layout.first;
        ++below;
      } else if (k > layout.last) {
        k = layout.last;
        ++above;
      }
      counts[k - layout.first]++;
    }
    return { counts, below, above };
  }

  // Labels of lines at x positions (px, ascending by x) with widths (px):
  // the row of each (0 the top one), the lowest row free of the labels
  // before it, so that none overlaps another.
  function labelRows(items, gap = 4) {
    const rowEnds = [];
    return items.map(({ x, width }) => {
      let row = 0;
      while (row < rowEnds.length && rowEnds[row] > x - width / 2 - gap) ++row;
      rowEnds[row] = x + width / 2;
      return row;
    });
  }

  // The ticks of an axis from lo to hi: the multiples of the 1-2-5 length
  // under a fifth of the range, or the least 1-2-5 length from leastTick.
  function axisTicks(lo, hi, leastTick = 0) {
    // The next 1-2-5 length up while the ticks are closer than leastTick
    // (metres), so that their labels stay apart.
    let tick = niceLengthAtMost((hi - lo) / 5);
    while (tick < leastTick) tick = niceLengthAtMost(tick * 2.6);
    const ticks = [];
    // "|| 0": the ceiling of a hair below zero is -0.
    for (let k = Math.ceil(lo / tick - 1e-9) || 0; k * tick <= hi + tick * 1e-9; ++k) ticks.push(k * tick);
    return ticks;
  }

  // A grid of the stations at X[i], Y[i] (metres) within bounds {minX, minY,
  // maxX, maxY}, about two stations a cell, those rows only for which
  // include(i) holds (all by default); nearest(x, y, radius) gives the row
  // nearest (x, y) within radius metres (the last such row of its cell on a
  // tie), or -1.
  function stationGrid(X, Y, bounds, include = () => true) {
    const n = X.length;
    const minX = bounds.minX, minY = bounds.minY;
    const side = Math.max(1, Math.min(1024, Math.ceil(Math.sqrt(n / 2))));
    const spanX = Math.max(bounds.maxX - minX, 1e-9), spanY = Math.max(bounds.maxY - minY, 1e-9);
    const clamp = (v) => Math.max(0, Math.min(side - 1, v));
    const column = (x) => clamp(Math.floor(((x - minX) / spanX) * side));
    const row = (y) => clamp(Math.floor(((y - minY) / spanY) * side));
    const cellOf = (i) => row(Y[i]) * side + column(X[i]);
    const start = new Int32Array(side * side + 1);
    for (let i = 0; i < n; ++i) if (include(i)) start[cellOf(i) + 1]++;
    for (let c = 0; c < side * side; ++c) start[c + 1] += start[c];
    const fill = start.slice(0, side * side);
    const items = new Int32Array(start[side * side]);
    for (let i = 0; i < n; ++i) if (include(i)) items[fill[cellOf(i)]++] = i;
    function nearest(x, y, radius) {
      let best = -1, bestDistance = radius * radius;
      for (let cy = row(y - radius); cy <= row(y + radius); ++cy) {
        for (let cx = column(x - radius); cx <= column(x + radius); ++cx) {
          const c = cy * side + cx;
          for (let k = start[c]; k < start[c + 1]; ++k) {
            const i = items[k];
            const d = (X[i] - x) * (X[i] - x) + (Y[i] - y) * (Y[i] - y);
            if (d <= bestDistance) {
              bestDistance = d;
              best = i;
            }
          }
        }
      }
      return best;
    }
    return { nearest };
  }

  return {
    niceLengthAtMost, kScaleBarShare, scaleBarLength, fixedHalfEven, lengthLabel, shiftClass, percentile, heightRange,
    kHeightSteps, heightStep, mixColour, divergingColour, heightColours, kHistogramBins, histogramLayout, histogramBins, labelRows, axisTicks,
    stationGrid, robustTypicalShift, nearestNiceValue, kArrowTargetPx, kOffScaleCapPx, viewExaggeration,
    viewReferenceLength, moverLength, pixelWord, medianInPlace, aggregatingCells,
  };
})();

if (typeof module !== 'undefined') module.exports = tessovane2MapMath;
