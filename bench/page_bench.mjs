// The shift page's size, drawing time and ink in headless chromium:
//   node bench/page_bench.mjs PAGE.html [RUNS]
// For each of RUNS fresh pages (default 5): the time from the start of the
// navigation to the end of the first drawing of the maps and histograms (the
// page's own performance.now() then, so that the parsing of the embedded data
// counts), the first redraw after a zoom (cold: the script not yet optimized)
// and the median and largest of 24 more zoom frames in and out about points
// across the map, each from the event to the frame after the redraw (what a
// reader panning and zooming sees). Prints the medians over the runs, and, of
// the last run, the ink of the shift map's first view: the share of its
// pixels in the within-tolerance blue (the pattern) and in orange and
// vermillion (the flagged), its cell arrows against the cells on the canvas,
// and after zooming x64 onto the densest 2 km square (of pairs) its cell
// arrows and median arrow (cell arrows: those a reader sees on the canvas).
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

// The browser setup of the page's tests, with its node packages.
const here = path.dirname(fileURLToPath(import.meta.url));
const { withBrowser, openPage } = await import(path.join(here, '../tests/shift_map/page/browser.mjs'));
const { decodePng } = await import(path.join(here, '../tests/shift_map/page/png.mjs'));

const [file, runsText] = process.argv.slice(2);
if (!file) {
  console.error('usage: node bench/page_bench.mjs PAGE.html [RUNS]');
  process.exit(2);
}
const runs = Number(runsText || 5);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// One redraw: a wheel event over the shift map at (x, y) of its canvas, timed
// to the frame after the redraw.
const frame = (page, deltaY, x, y) => page.evaluate(([d, px, py]) => new Promise((resolve) => {
  const map = document.querySelector('#shift-map');
  const box = map.getBoundingClientRect();
  const start = performance.now();
  map.dispatchEvent(new WheelEvent('wheel', {
    deltaY: d, clientX: box.left + px, clientY: box.top + py, bubbles: true, cancelable: true }));
  requestAnimationFrame(() => requestAnimationFrame(() => resolve(performance.now() - start)));
}), [deltaY, x, y]);

// Shares of the shift map's canvas pixels near the blue and near the orange or vermillion.
function ink(image) {
  let blue = 0, flagged = 0;
  for (let p = 0; p < image.pixels.length; p += image.channels) {
    const [r, g, b] = [image.pixels[p], image.pixels[p + 1], image.pixels[p + 2]];
    if (b > r + 60 && b > g + 20) ++blue;
    else if (r > 180 && r > b + 100 && g > 50) ++flagged;
  }
  const all = image.pixels.length / image.channels;
  return { pattern: +(blue / all).toFixed(4), flagged: +(flagged / all).toFixed(4) };
}

const draw = [], cold = [], frames = [], largest = [];
let arrows = 0, shown = null;
await withBrowser({ width: 1400, height: 1000 }, async (context) => {
  for (let run = 0; run < runs; ++run) {
    const { page, errors } = await openPage(context, file);
    if (errors.length) throw new Error('console errors: ' + errors.join(' | '));
    draw.push(Number(await page.locator('body').getAttribute('data-draw-ms')));
    arrows = Number(await page.locator('#shift-map').getAttribute('data-arrows'));
    const box = await page.locator('#shift-map canvas').boundingBox();
    if (run === runs - 1) {
      const hook = await page.evaluate(() => ({ ...document.querySelector('#shift-map').dataset }));
      const canvasCells = Math.ceil(box.width / 22) * Math.ceil(box.height / 22);
      shown = { firstView: { ...ink(decodePng(await page.locator('#shift-map canvas').screenshot())),
        cellArrows: Number(hook.cellArrows), canvasCells, medianArrowPx: Number(hook.medianArrow), factor: Number(hook.factor) } };
    }
    cold.push(await frame(page, -200, box.width / 3, box.height / 2));
    const mine = [];
    for (let k = 0; k < 24; ++k) {
      mine.push(await frame(page, k % 2 ? 180 : -180, box.width * (0.2 + 0.6 * ((k * 7) % 10) / 10), box.height * (0.3 + 0.04 * k % 0.4)));
    }
    frames.push(median(mine));
    largest.push(Math.max(...mine));
    if (run === runs - 1) {
      // x64 onto the densest 2 km square, counting pairs as map_rules_test.mjs does.
      const town = await page.evaluate(() => {
        const data = JSON.parse(document.getElementById('shift-data').textContent);
        const counts = new Map();
        let best = 0, at = 0;
        for (let i = 0; i < data.count; ++i) {
          if (!'mhvbl'.includes(data.status[i])) continue;
          const key = Math.floor(data.x[i] / 2000) + ',' + Math.floor(data.y[i] / 2000);
          const c = (counts.get(key) || 0) + 1;
          counts.set(key, c);
          if (c > best) [best, at] = [c, i];
        }
        return at;
      });
      await page.evaluate(() => document.querySelector('#shift-map').dispatchEvent(new MouseEvent('dblclick', { bubbles: true })));
      await page.waitForTimeout(300);
      for (let step = 0; step < 3; ++step) {
        const at = await page.evaluate((row) => window.tessovane2ShiftPage.screenPosition(row), town);
        await frame(page, -Math.log(4) / 0.0015, at.x - box.x, at.y - box.y);
      }
      const hook = await page.evaluate(() => ({ ...document.querySelector('#shift-map').dataset }));
      shown.zoomedX64 = { cellArrows: Number(hook.cellArrows), singleArrows: Number(hook.singleArrows),
        medianArrowPx: Number(hook.medianArrow), factor: Number(hook.factor) };
    }
    await page.close();
  }
});
const bytes = fs.statSync(file).size;
console.log(JSON.stringify({ bytes, megabytes: +(bytes / 1e6).toFixed(2), arrows, runs,
  drawMs: median(draw), firstRedrawMs: +median(cold).toFixed(0), frameMedianMs: +median(frames).toFixed(0),
  frameLargestMs: +median(largest).toFixed(0), ...shown }));
