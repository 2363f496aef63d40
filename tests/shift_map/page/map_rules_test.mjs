// The map's rules on realistic networks (the pages make_networks.sh writes
// into DIR), read from each map's test hook (its data- attributes) and its
// pixels in headless chromium:
//   node map_rules_test.mjs DIR
// Exits 1 with the failures listed, 0 when all hold.
import path from 'node:path';
import { withBrowser, openPage } from './browser.mjs';
import { decodePng } from './png.mjs';
import { check, finish } from './checks.mjs';

const dir = process.argv[2];
if (!dir) {
  console.error('usage: node map_rules_test.mjs DIR');
  process.exit(2);
}


const kTargetPx = 18;  // a typical arrow's length on the screen
const hook = (page, selector = '#shift-map') => page.evaluate((s) => {
  const d = document.querySelector(s).dataset;
  const parsed = {};
  for (const [k, v] of Object.entries(d)) parsed[k] = /^[[{]/.test(v) ? JSON.parse(v) : Number.isNaN(Number(v)) ? v : Number(v);
  return parsed;
}, selector);
const overlaps = (a, b) => a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;

// A map's canvas as pixels, with its overlays (scale bar, north arrow) shown.
async function pixelsOf(page, selector) {
  return decodePng(await page.locator(`${selector} canvas`).screenshot());
}
// Pixels within radius of (x, y) (canvas pixels) for which test(r, g, b) holds, and all of them.
// Pixels inside any box of `skip` (CSS pixels, as the label boxes) are left out.
function countNear(image, x, y, radius, test, skip = []) {
  let hits = 0, all = 0;
  for (let j = Math.max(0, Math.round(y - radius)); j <= Math.min(image.height - 1, Math.round(y + radius)); ++j) {
    for (let i = Math.max(0, Math.round(x - radius)); i <= Math.min(image.width - 1, Math.round(x + radius)); ++i) {
      if ((i - x) ** 2 + (j - y) ** 2 > radius * radius) continue;
      if (skip.some((b) => i >= b.x - 2 && i <= b.x + b.w + 2 && j >= b.y - 2 && j <= b.y + b.h + 2)) continue;
      const p = (j * image.width + i) * image.channels;
      ++all;
      if (test(image.pixels[p], image.pixels[p + 1], image.pixels[p + 2])) ++hits;
    }
  }
  return { hits, all };
}
const isVermillion = (r, g, b) => r > 180 && g > 60 && g < 130 && b < 60;
const isBlue = (r, g, b) => b > r + 40;
const isRed = (r, g, b) => r > b + 40 && g < r - 40;

// Boxes (CSS pixels within the map) of the scale bar and the north arrow, as the page lays them out.
const furniture = (page, selector) => page.evaluate((s) => {
  const map = document.querySelector(s).getBoundingClientRect();
  return [...document.querySelectorAll(`${s} .scale-bar, ${s} .north-arrow`)].map((e) => {
    const r = e.getBoundingClientRect();
    return { x: r.left - map.left, y: r.top - map.top, w: r.width, h: r.height };
  });
}, selector);

// Labels: at least `least`, inside the canvas, apart from each other and the furniture.
async function checkLabels(page, selector, least, what) {
  const h = await hook(page, selector);
  const box = await page.locator(`${selector} canvas`).boundingBox();
  const labels = h.labels;
  check(labels.length >= least, `${what}: ${labels.length} labels (at least ${least}): ${labels.map((l) => l.text).join(', ')}`);
  check(labels.every((l) => l.x >= 0 && l.y >= 0 && l.x + l.w <= box.width && l.y + l.h <= box.height),
    `${what}: every label inside the canvas`);
  const obstacles = [...await furniture(page, selector), ...(h.reference ? [h.reference.box] : [])];
  let clashes = 0;
  labels.forEach((a, k) => {
    for (const b of labels.slice(k + 1)) if (overlaps(a, b)) ++clashes;
    for (const b of obstacles) if (overlaps(a, b)) ++clashes;
  });
  check(clashes === 0, `${what}: no label over another, the scale bar, the north arrow or the reference arrow (${clashes})`);
  return labels;
}

// Pixels per ground metre of the shift map, read from its scale bar.
async function pixelsPerMetre(page) {
  return page.evaluate(() => {
    const text = document.querySelector('#shift-map .scale-bar-text').textContent;
    const [value, unit] = text.split(' ');
    const metres = Number(value) * { mm: 0.001, cm: 0.01, m: 1, km: 1000 }[unit];
    return document.querySelector('#shift-map .scale-bar-line').getBoundingClientRect().width / metres;
  });
}

// Zooms the shift map by `factor` about row i's station with the wheel, as a reader does.
async function zoomAbout(page, i, factor) {
  const at = await page.evaluate((row) => window.tessovane2ShiftPage.screenPosition(row), i);
  const before = await page.locator('#shift-map').getAttribute('data-scale-bar');
  await page.mouse.move(at.x, at.y);
  await page.mouse.wheel(0, -Math.log(factor) / 0.0015);
  await page.waitForFunction((b) => document.querySelector('#shift-map').dataset.scaleBar !== b, before,
    { timeout: 3000 }).catch(() => {});
  await page.waitForTimeout(50);
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

await withBrowser({ width: 1400, height: 1000 }, async (context) => {
  const open = async (name) => {
    const opened = await openPage(context, path.join(dir, name + '.html'));
    const data = JSON.parse(await opened.page.locator('#shift-data').textContent());
    return { ...opened, data };
  };

  // Rule 1: the factor of the first view moves by at most one 1-2-5 step
  // between 0, 0.5, 6 and 15 % blunders.
  const factors = [];
  for (const name of ['n5000-b0', 'n5000', 'n5000-b6', 'n5000-b15']) {
    const { page } = await open(name);
    factors.push((await hook(page)).factor);
    await page.close();
  }
  const steps = factors.map((f) => Math.round(3 * Math.log10(f)));
  check(Math.max(...steps) - Math.min(...steps) <= 1, `the factor at 0, 0.5, 6, 15 % blunders: ${factors.join(', ')}`);

  // Rule 9: the 2nd file reversed gives the same pixels.
  {
    const images = [];
    for (const name of ['n5000', 'n5000-reversed']) {
      const { page } = await open(name);
      images.push([await pixelsOf(page, '#shift-map'), await pixelsOf(page, '#height-map')]);
      await page.close();
    }
    for (const [k, what] of [[0, 'shift'], [1, 'height']]) {
      const [a, b] = [images[0][k], images[1][k]];
      let differ = 0;
      for (let p = 0; p < a.pixels.length; ++p) if (a.pixels[p] !== b.pixels[p]) ++differ;
      check(a.width === b.width && differ === 0, `the ${what} map of the 2nd file reversed: ${differ} bytes differ`);
    }
  }

  // Rule 11: histograms of 1-2-5 bars, one centred on 0, no gap in their
  // body; a far tolerance an edge marker; line labels apart.
  for (const name of ['n5000', 'n60000', 'n5000-tol30']) {
    const { page } = await open(name);
    for (const id of ['horizontal-histogram', 'height-histogram']) {
      const h = await hook(page, '#' + id);
      const counts = h.counts, total = counts.reduce((a, b) => a + b, 0);
      const nice = Number(h.binWidth / 10 ** Math.floor(Math.log10(h.binWidth) + 1e-9)).toFixed(6);
      // The central 95 %: from the bin holding the 2.5th percentile to the one holding the 97.5th.
      let sum = 0, low = -1, high = -1;
      counts.forEach((c, k) => {
        sum += c;
        if (low < 0 && sum >= 0.025 * total) low = k;
        if (high < 0 && sum >= 0.975 * total) high = k;
      });
      let gaps = 0;
      for (let k = low; k <= high; ++k) {
        if (counts[k]) continue;
        const before = counts.slice(low, k).some((c) => c > 0.01 * total), after = counts.slice(k + 1, high + 1).some((c) => c > 0.01 * total);
        if (before && after) ++gaps;
      }
      let clashes = 0;
      h.lineLabels.forEach((a, k) => { for (const b of h.lineLabels.slice(k + 1)) if (overlaps(a, b)) ++clashes; });
      check(['1.000000', '2.000000', '5.000000'].includes(nice) && Number.isInteger(h.first) && gaps === 0 &&
        high - low + 1 >= 15 && clashes === 0,
      `${name} ${id}: bars of ${h.binWidth} m from bin ${h.first}, ${high - low + 1} bars hold the central 95 %, ${gaps} empty between, ${clashes} labels overlapping`);
      if (name === 'n5000-tol30' && id === 'horizontal-histogram') {
        check(h.markers.includes('tolerance 30 cm \u2192'), `${name}: the 30 cm tolerance is an edge marker (${h.markers.join(', ')})`);
      }
    }
    await page.close();
  }

  // Rule 10: heights alternately +1 and -1 cm draw as much red as blue.
  {
    const { page } = await open('n2000-alternating');
    const image = await pixelsOf(page, '#height-map');
    const all = image.width + image.height;
    const reddish = countNear(image, image.width / 2, image.height / 2, all, (r, g, b) => r > b + 12).hits;
    const bluish = countNear(image, image.width / 2, image.height / 2, all, (r, g, b) => b > r + 12).hits;
    check(bluish > 1000 && reddish / bluish >= 0.8 && reddish / bluish <= 1.25,
      `heights alternately +-1 cm: red to blue ${(reddish / bluish).toFixed(2)} (${reddish} to ${bluish} px)`);
    await page.close();
  }

  // Rule 15: a network across the 180th meridian draws as one piece, however
  // its longitudes are written: its extent is the region's (400 km by 300),
  // and its labels and arrows are drawn.
  for (const name of ['n2000-dateline', 'n2000-west']) {
    const { page, data, errors } = await open(name);
    const h = await hook(page);
    const east = (data.map.maxX - data.map.minX) / 1000, north = (data.map.maxY - data.map.minY) / 1000;
    check(east < 500 && north < 400 && h.cellArrows + h.singleArrows > 20 && h.labels.length >= 3 && errors.length === 0,
      `${name}: one piece of ${east.toFixed(0)} by ${north.toFixed(0)} km, ${h.cellArrows} cell arrows, ${h.labels.length} labels`);
    await page.close();
  }

  // Rule 13: the views of a fit, the residual one first; none without a fit.
  {
    const { page, data, errors } = await open('n5000-fit');
    const pressed = () => page.evaluate(() => [...document.querySelectorAll('#views button[aria-pressed="true"]')].map((b) => b.dataset.view));
    const caption = () => page.locator('#views .view-caption').textContent();
    check(await page.locator('#views').isVisible() && JSON.stringify(await pressed()) === '["residual"]',
      `with a fit: the views offered, the residual one first (${await pressed()})`);
    const residual = await hook(page);
    const residualCaption = await caption();
    check(residualCaption.includes(data.fit.model) && /tn .*te /.test(residualCaption) &&
      residual.medianArrow >= 0.6 * kTargetPx && residual.medianArrow <= 1.6 * kTargetPx,
    `the residual view: median arrow ${residual.medianArrow} px (x${residual.factor}); caption ${JSON.stringify(residualCaption)}`);
    await page.locator('#views button[data-view="systematic"]').click();
    await page.waitForTimeout(200);
    const systematic = await hook(page);
    check(systematic.cellArrows > 0 && systematic.singleArrows === 0 && systematic.labels.length === 0 &&
      systematic.longestArrow <= systematic.cap && (await caption()).startsWith('The systematic change') &&
      (await pressed()).join() === 'systematic',
    `the systematic view: ${systematic.cellArrows} arrows on a grid, no single arrow, no label`);
    await page.locator('#views button[data-view="raw"]').click();
    await page.waitForTimeout(200);
    const rawView = await hook(page);
    check(rawView.trueScale.length === 1 && rawView.labels.length >= 3, `the raw view: the mis-key at true scale, ${rawView.labels.length} labels`);
    check(errors.length === 0, `the views: no console error${errors.length ? ': ' + errors.join(' | ') : ''}`);
    await page.close();
    const plain = await open('n5000');
    check(!(await plain.page.locator('#views').isVisible()), 'without a fit: no views offered');
    await plain.page.close();
  }

  for (const name of ['n5000', 'n60000']) {
    const { page, data, errors } = await open(name);
    const isPair = (i) => 'mhvbl'.includes(data.status[i]);
    const first = await hook(page);
    const canvas = await page.locator('#shift-map canvas').boundingBox();

    // Rules 2 and 3 at the first view: the typical arrow about T, none over the cap.
    check(first.medianArrow >= 0.6 * kTargetPx && first.medianArrow <= 1.6 * kTargetPx,
      `${name}: median arrow ${first.medianArrow} px at the first view (x${first.factor})`);
    check(first.longestArrow <= first.cap + 0.01, `${name}: longest arrow ${first.longestArrow} px, cap ${first.cap}`);
    const caption = await page.locator('#shift-panel figcaption .factor').textContent();
    check(caption === String(first.factor), `${name}: the caption says x${caption}, the view draws x${first.factor}`);

    // Rule 4: the mis-keyed pair at true scale, ending within 3 px of its 2nd position, ringed there.
    const perMetre = await pixelsPerMetre(page);
    const image = await pixelsOf(page, '#shift-map');
    check(first.trueScale.length >= 1, `${name}: ${first.trueScale.length} shifts drawn at true scale`);
    for (const [row, x2, y2] of first.trueScale) {
      const at = await page.evaluate((r) => window.tessovane2ShiftPage.screenPosition(r), row);
      const ex = at.x - canvas.x + data.de[row] * perMetre, ey = at.y - canvas.y - data.dn[row] * perMetre;
      const off = Math.hypot(x2 - ex, y2 - ey);
      const ring = countNear(image, ex, ey, 7, isVermillion).hits;
      check(off <= 3 && ring >= 8, `${name}: ${data.pid[row]} (${data.horizontal[row]} m) ends ${off.toFixed(2)} px from its 2nd position, ringed (${ring} px)`);
    }
    const legend = await page.locator('#shift-legend').textContent();
    check(/dashed line: a shift at true scale/.test(legend), `${name}: the legend says what a dashed line means`);

    // Rules 7 and 8: labels and the reference arrow.
    const labels = await checkLabels(page, '#shift-map', 3, `${name} shift map`);
    const largest = data.movers.horizontal[0];
    check(labels.some((l) => l.text.startsWith(data.pid[largest] + ' ') && /^\S+ \d+(\.\d+)? (mm|cm|m|km)$/.test(l.text)),
      `${name}: the largest mover ${data.pid[largest]} is labelled with its length`);
    const reference = first.reference;
    const bar = (await furniture(page, '#shift-map'))[0];
    check(reference.px >= 15 && reference.px <= 120 && reference.box.x >= 0 && reference.box.y >= 0 &&
      reference.box.x + reference.box.w <= canvas.width && reference.box.y + reference.box.h <= canvas.height &&
      !overlaps(reference.box, bar), `${name}: reference arrow ${reference.label}, ${reference.px} px, inside, clear of the scale bar`);

    // Rule 5: cells no more than the canvas holds.
    check(first.cellArrows > 0 && first.cellArrows <= Math.ceil(canvas.width / 22) * Math.ceil(canvas.height / 22),
      `${name}: ${first.cellArrows} cell arrows at the first view`);
    // Rule 10: the height map's labels; the -10 cm bowl blue at its centre.
    await checkLabels(page, '#height-map', 3, `${name} height map`);
    const bowl = [];
    for (let i = 0; i < data.count; ++i) if (isPair(i) && data.du[i] < -0.08 && data.horizontal[i] < 0.1) bowl.push(i);
    const centre = bowl.length ? { x: median(bowl.map((i) => data.x[i])), y: median(bowl.map((i) => data.y[i])) } : null;
    if (centre) {
      const heights = await pixelsOf(page, '#height-map');
      const at = await page.evaluate(([x, y]) => {
        const map = document.querySelector('#height-map canvas').getBoundingClientRect();
        const view = window.tessovane2ShiftPage.view, s = map.width / view.width;
        return { x: map.width / 2 + (x - view.cx) * s, y: map.height / 2 - (y - view.cy) * s };
      }, [centre.x, centre.y]);
      // Its labels left out: the largest movers may stand there.
      const labelBoxes = (await hook(page, '#height-map')).labels;
      const near = countNear(heights, at.x, at.y, 14, isBlue, labelBoxes);
      check(near.all > 50 && near.hits >= near.all / 2,
        `${name}: ${near.hits} of ${near.all} pixels about the bowl's centre (labels left out) are blue`);
      const red = countNear(heights, at.x, at.y, 14, isRed, labelBoxes).hits;
      check(red < near.hits / 4, `${name}: ${red} red pixels about the bowl's centre (height blunders on top), against ${near.hits} blue`);
    }

    // Rule 6: a legend entry hides its class.
    const vermillionBefore = countNear(image, canvas.width / 2, canvas.height / 2, 2000, isVermillion).hits;
    await page.locator('#shift-legend li[data-toggle="beyondTwice"]').click();
    await page.waitForTimeout(150);
    const vermillionAfter = countNear(await pixelsOf(page, '#shift-map'), canvas.width / 2, canvas.height / 2, 2000, isVermillion).hits;
    check(vermillionBefore > 50 && vermillionAfter < vermillionBefore / 10,
      `${name}: hiding "over twice the tolerance" takes its ink from ${vermillionBefore} to ${vermillionAfter} px`);
    await page.locator('#shift-legend li[data-toggle="beyondTwice"]').click();
    await page.waitForTimeout(150);

    // Rules 2, 3, 5: zooming x64 onto the largest town keeps the typical arrow
    // about T and none over the cap; the factor follows in the caption; at
    // x64 the town's arrows are single ones again, no cell's.
    let town = -1, most = 0;
    const counts = new Map();
    for (let i = 0; i < data.count; ++i) {
      if (!isPair(i)) continue;
      const key = Math.floor(data.x[i] / 2000) + ',' + Math.floor(data.y[i] / 2000);
      const c = (counts.get(key) || 0) + 1;
      counts.set(key, c);
      if (c > most) [most, town] = [c, i];
    }
    const seen = [];
    for (let step = 1; step <= 3; ++step) {
      await zoomAbout(page, town, 4);
      const h = await hook(page);
      seen.push(`x${h.factor}: ${h.medianArrow} px, longest ${h.longestArrow}, ${h.cellArrows} cells`);
      check(h.medianArrow >= 0.6 * kTargetPx && h.medianArrow <= 1.6 * kTargetPx && h.longestArrow <= h.cap + 0.01 &&
        (await page.locator('#shift-panel figcaption .factor').textContent()) === String(h.factor),
      `${name}: zoomed x${4 ** step} onto ${data.pid[town]}: median ${h.medianArrow} px, longest ${h.longestArrow} px, x${h.factor}`);
    }
    console.log(`       ${seen.join('; ')}`);
    const deep = await hook(page);
    check(deep.cellArrows === 0 && deep.singleArrows > 0, `${name}: zoomed x64, single arrows back (${deep.singleArrows}), no cell arrows (${deep.cellArrows})`);
    const deepReference = (await hook(page)).reference;
    check(deepReference.px >= 15 && deepReference.px <= 120, `${name}: zoomed x64, the reference arrow ${deepReference.label} draws ${deepReference.px} px`);
    check(errors.length === 0, `${name}: no console error${errors.length ? ': ' + errors.join(' | ') : ''}`);
    await page.close();
  }
});

finish();
