// The shift page's size and drawing time in headless chromium:
//   node bench/page_bench.mjs PAGE.html [RUNS]
// For each of RUNS fresh pages (default 5): the time from the start of the
// navigation to the end of the first drawing of the maps and histograms (the
// page's own performance.now() then, so that the parsing of the embedded data
// counts), and the time of one redraw after a zoom. Prints the medians.
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

// The browser setup of the page's tests, with its node packages.
const here = path.dirname(fileURLToPath(import.meta.url));
const { withBrowser, openPage } = await import(path.join(here, '../tests/shift_map/page/browser.mjs'));

const [file, runsText] = process.argv.slice(2);
if (!file) {
  console.error('usage: node bench/page_bench.mjs PAGE.html [RUNS]');
  process.exit(2);
}
const runs = Number(runsText || 5);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const draw = [], zoom = [];
let arrows = 0;
await withBrowser({ width: 1400, height: 1000 }, async (context) => {
  for (let run = 0; run < runs; ++run) {
    const { page, errors } = await openPage(context, file);
    if (errors.length) throw new Error('console errors: ' + errors.join(' | '));
    draw.push(Number(await page.locator('body').getAttribute('data-draw-ms')));
    arrows = Number(await page.locator('#shift-map').getAttribute('data-arrows'));
    const box = await page.locator('#shift-map').boundingBox();
    await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
    zoom.push(await page.evaluate(() => new Promise((resolve) => {
      const start = performance.now();
      document.querySelector('#shift-map').dispatchEvent(new WheelEvent('wheel', {
        deltaY: -200, clientX: innerWidth / 3, clientY: 300, bubbles: true, cancelable: true }));
      // The redraw runs in the next animation frame; the frame after it has it on screen.
      requestAnimationFrame(() => requestAnimationFrame(() => resolve(performance.now() - start)));
    })));
    await page.close();
  }
});
const bytes = fs.statSync(file).size;
console.log(JSON.stringify({ bytes, megabytes: +(bytes / 1e6).toFixed(2), arrows,
  drawMs: median(draw), zoomRedrawMs: +median(zoom).toFixed(0), runs }));
