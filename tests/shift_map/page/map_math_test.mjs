// Checks the page's arithmetic (src/shift_map/page/map_math.js) against the
// C++ it mirrors, bit for bit on the table map_math_table prints, and the
// pieces the script alone has against plain references:
//   node map_math_test.mjs PATH/TO/map_math_table
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { test } from 'node:test';

const require = createRequire(import.meta.url);
const math = require('../../../src/shift_map/page/map_math.js');

const tableProgram = process.argv[2];
if (!tableProgram) {
  console.error('usage: node map_math_test.mjs PATH/TO/map_math_table');
  process.exit(2);
}
const table = JSON.parse(execFileSync(tableProgram, { encoding: 'utf8', maxBuffer: 1 << 26 }));

// Every row of one of the table's lists whose JS result differs from the
// C++'s, reported with its inputs.
function mismatches(rows, compute) {
  const wrong = [];
  for (const row of rows) {
    const expected = row[row.length - 1];
    const actual = compute(...row.slice(0, -1));
    const same = Array.isArray(expected) ? JSON.stringify(actual) === JSON.stringify(expected) : Object.is(actual, expected);
    if (!same) wrong.push(`${JSON.stringify(row.slice(0, -1))}: ${actual}, C++ ${expected}`);
  }
  return wrong;
}

test('the script gives what the C++ gives for the same inputs', () => {
  const functions = {
    niceLengthAtMost: math.niceLengthAtMost,
    scaleBarLength: math.scaleBarLength,
    lengthLabel: math.lengthLabel,
    shiftClass: math.shiftClass,
    percentile: math.percentile,
    nearestNiceValue: math.nearestNiceValue,
    viewExaggeration: math.viewExaggeration,
    viewReferenceLength: math.viewReferenceLength,
    moverLength: math.moverLength,
    robustTypicalShift: (shifts) => {
      const found = math.robustTypicalShift(Float64Array.from(shifts).sort());
      return [found.inlierLimit, found.typical, found.inliers];
    },
  };
  for (const [name, compute] of Object.entries(functions)) {
    assert.ok(table[name] && table[name].length > 0, `the table has rows for ${name}`);
    const wrong = mismatches(table[name], compute);
    assert.deepEqual(wrong.slice(0, 10), [], `${name}: ${wrong.length} of ${table[name].length} rows differ`);
  }
});

test('the height scale runs over twice the tolerance, or twice the 1-2-5 length under the 95th percentile', () => {
  for (const [du, verticalTolerance, range] of [
    [[0.01, -0.03], 0.02, 0.04],
    [[0.001, -0.004, NaN, 0.02], null, 0.004],  // |du| at rank floor(0.95 * 2): 4 mm, under it 2 mm
    [Array.from({ length: 101 }, (_, k) => (k % 2 ? -k : k) / 1000), null, 0.1],  // 9.5 cm: 5 cm
    [[0, NaN], null, 0.01],
    [[], 0, 0.01],
  ]) {
    assert.equal(math.heightRange(du, verticalTolerance), range, JSON.stringify([du, verticalTolerance]));
  }
  const steps = [-1, -0.5, -0.04, -0.0021, 0, 0.0019, 0.04, 0.5].map((du) => math.heightStep(du, 0.04));
  assert.deepEqual(steps, [0, 0, 0, 5, 5, 5, 10, 10]);
  // Halves away from zero, so that the steps are symmetric: +-1 cm of a 4 cm
  // range (1.25 steps) and +-2 mm of 4 cm (half a step) lie equally far out.
  const symmetric = [-0.01, 0.01, -0.004, 0.004, -0.02, 0.02, -0].map((du) => math.heightStep(du, 0.04));
  assert.deepEqual(symmetric, [4, 6, 4, 6, 2, 8, 5]);
  assert.equal(math.pixelWord('#0072b2'), 0xffb27200);
  assert.equal(math.pixelWord('rgb(1,2,3)'), 0xff030201);
  const palette = { down: '#2166ac', level: '#d9d9d9', up: '#b2182b' };
  const colours = math.heightColours(palette);
  assert.deepEqual([colours[0], colours[5], colours[10]], ['rgb(33,102,172)', 'rgb(217,217,217)', 'rgb(178,24,43)']);
  assert.equal(math.divergingColour(palette, -7), colours[0]);
});

test('histogram bins: 1-2-5 wide, one centred on 0, the range from the inliers', () => {
  // 1000 shifts of 0-4 cm and ten blunders of 2 m: the end is 1.1 times the
  // inliers' 99.5th percentile, not stretched to the blunders.
  const shifts = Float64Array.from({ length: 1010 }, (_, k) => (k < 1000 ? (k / 1000) * 0.04 : 2)).sort();
  const layout = math.histogramLayout(shifts, [0.05, 0.1], false);
  const p995 = math.percentile(shifts.slice(0, 1000), 0.995);
  assert.ok(Math.abs(layout.top - 1.05 * 0.1) < 1e-12, `a line within three times the end moves it: ${layout.top}`);
  assert.equal(math.nearestNiceValue(layout.width), layout.width);
  assert.equal(layout.first, 0);
  const far = math.histogramLayout(shifts, [0.3, 0.6], false);
  assert.ok(Math.abs(far.top - 1.1 * p995) < 1e-12, `30 cm is beyond three times ${1.1 * p995}: an edge marker`);
  assert.equal(far.width, 0.001);
  const { counts, below, above } = math.histogramBins([-0.0004, 0, 0.0004, 0.0005, 0.044, 2, 2], far);
  assert.deepEqual([counts[0], counts[1], counts[counts.length - 1], below, above], [3, 1, 3, 0, 2]);
  const symmetric = math.histogramLayout(shifts, [], true);
  assert.equal(symmetric.first, -symmetric.last);
  assert.deepEqual(math.axisTicks(-0.05, 0.05), [-2, -1, 0, 1, 2].map((k) => k * 0.02));
  assert.deepEqual(math.axisTicks(0, 0.11), [0, 1, 2, 3, 4, 5].map((k) => k * 0.02));
  assert.deepEqual(math.axisTicks(-0.105, 0.105, 0.03), [-2, -1, 0, 1, 2].map((k) => k * 0.05));
  // Labels 2 mm apart on the axis share no row.
  assert.deepEqual(math.labelRows([{ x: 100, width: 30 }, { x: 110, width: 30 }, { x: 150, width: 30 }, { x: 160, width: 20 }]),
    [0, 1, 0, 1]);
});

test('the grid finds the station a search of every station finds', () => {
  let state = 7;
  const random = () => ((state = (state * 48271) % 2147483647) / 2147483647);
  const n = 5000;
  const X = Float64Array.from({ length: n }, () => Math.round(random() * 2000000) / 100 - 10000);
  const Y = Float64Array.from({ length: n }, () => Math.round(random() * 600000) / 100 - 3000);
  const bounds = { minX: Math.min(...X), minY: Math.min(...Y), maxX: Math.max(...X), maxY: Math.max(...Y) };
  const grid = math.stationGrid(X, Y, bounds);
  for (let probe = 0; probe < 500; ++probe) {
    const x = bounds.minX - 500 + random() * 21000, y = bounds.minY - 500 + random() * 7000, radius = random() * 400;
    let best = Infinity;
    for (let i = 0; i < n; ++i) best = Math.min(best, (X[i] - x) ** 2 + (Y[i] - y) ** 2);
    const found = grid.nearest(x, y, radius);
    if (best > radius * radius) assert.equal(found, -1, `nothing within ${radius} of (${x}, ${y})`);
    else assert.equal((X[found] - x) ** 2 + (Y[found] - y) ** 2, best, `nearest to (${x}, ${y})`);
  }
});

test('the typical shift and the factor hold still as blunders grow', () => {
  // A smooth field of 1-5 cm with a share of 0.2-3 m blunders: the factor
  // of one view moves by at most one 1-2-5 step from none to 15 %.
  let state = 11;
  const random = () => ((state = (state * 48271) % 2147483647) / 2147483647);
  const factors = [0, 0.005, 0.06, 0.15].map((share) => {
    const shifts = Float64Array.from({ length: 20000 }, () =>
      (random() < share ? 0.2 + 2.8 * random() : 0.01 + 0.04 * random())).sort();
    return math.viewExaggeration(math.robustTypicalShift(shifts).typical, 0.0017);
  });
  const steps = factors.map((f) => Math.round(Math.log10(f) * 3));
  assert.ok(Math.max(...steps) - Math.min(...steps) <= 1, `factors ${factors}`);
  assert.equal(math.nearestNiceValue(3.1), 2);
  assert.equal(math.nearestNiceValue(3.2), 5);
  assert.equal(math.kOffScaleCapPx, 45);
});

test("a mover's length keeps three significant digits in its unit", () => {
  const cases = [[40312, '40.3 km'], [1.7912, '1.79 m'], [999.7, '1 km'], [0.0821, '8.21 cm'], [0.004, '4 mm'],
    [0.0099996, '1 cm'], [250, '250 m']];
  for (const [metres, text] of cases) assert.equal(math.moverLength(metres), text, String(metres));
});

test('the median by selection is the percentile of the sorted values', () => {
  let state = 5;
  const random = () => ((state = (state * 48271) % 2147483647) / 2147483647);
  for (const count of [1, 2, 3, 4, 5, 10, 101, 1000]) {
    for (const spread of [1, 0.01]) {
      const values = Float64Array.from({ length: count + 3 }, () => Math.round(random() * 100) * spread);
      const expected = math.percentile(values.slice(0, count).sort(), 0.5);
      assert.equal(math.medianInPlace(values, count), expected, `${count} values`);
    }
  }
  assert.equal(math.medianInPlace(new Float64Array(4), 0), 0);
});

test('a cell aggregates where its 3 x 3 block is dense, not for a group of four by chance', () => {
  // A grid 5 cells wide and 4 high; `cells` lists [row, column, count].
  const grid = (cells) => {
    const counts = new Int32Array(20);
    for (const [row, column, count] of cells) counts[row * 5 + column] = count;
    return counts;
  };
  const chosen = (cells, cellLeast = 4, blockLeast = 18) =>
    [...math.aggregatingCells(grid(cells), 5, cellLeast, blockLeast)].flatMap((v, c) => (v ? [c] : []));
  const ring = (row, column, each) => [-1, 0, 1].flatMap((dr) => [-1, 0, 1].map((dc) => [row + dr, column + dc, each]));
  assert.deepEqual(chosen([[1, 2, 4]]), [], 'four alone: a chance group');
  assert.deepEqual(chosen([...ring(1, 2, 2), [1, 2, 4]]), [7], 'four in a block of 20');
  assert.deepEqual(chosen([...ring(1, 2, 2), [1, 2, 4], [0, 1, 1]]), [7], 'a neighbour of 1: 19');
  const others = [[0, 1, 3], [0, 2, 3], [1, 1, 3], [1, 3, 3]];
  assert.deepEqual(chosen([...others, [2, 1, 1], [1, 2, 4]]), [], 'a block of 17');
  assert.deepEqual(chosen([...others, [2, 1, 2], [1, 2, 4]]), [7], 'a block of 18');
  // The right end of a row has no neighbour at the left end of the next.
  assert.deepEqual(chosen([[0, 4, 10], [1, 0, 10], [1, 4, 8]]), [4, 9], 'the grid\'s edge: 18 within it');
  assert.deepEqual(chosen([[0, 4, 10], [2, 0, 10], [1, 4, 4]]), [], 'nothing wraps about the edge');
  // The systematic view's grid: every cell with a pair.
  assert.deepEqual(chosen([[0, 0, 1], [3, 4, 2]], 1, 0), [0, 19]);
});
