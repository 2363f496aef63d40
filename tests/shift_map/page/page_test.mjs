// Opens a shift page (OUTPUT.html of tessovane2_shifts) in headless chromium
// and checks what a person sees:
//   node page_test.mjs PAGE.html
// the maps and both histograms drawn, every pair with a shift drawn, the
// largest mover's PID on hovering it, a texts' own characters shown as
// written, the scale bar following the zoom, a mover in the tables centring
// the map, dragging panning it; no console error and no request leaving the
// file. Exits 1 with the failures listed, 0 when all hold.
import { withBrowser, openPage } from './browser.mjs';
import { decodePng, countInk } from './png.mjs';
import { check, finish } from './checks.mjs';

const file = process.argv[2];
if (!file) {
  console.error('usage: node page_test.mjs PAGE.html');
  process.exit(2);
}


// Pixels drawn in an element, its overlays (scale bar, north arrow) hidden.
async function inkIn(page, selector, background) {
  await page.evaluate((s) => {
    for (const e of document.querySelectorAll(`${s} .scale-bar, ${s} .north-arrow`)) e.style.visibility = 'hidden';
  }, selector);
  const image = decodePng(await page.locator(selector).screenshot());
  await page.evaluate((s) => {
    for (const e of document.querySelectorAll(`${s} .scale-bar, ${s} .north-arrow`)) e.style.visibility = '';
  }, selector);
  return countInk(image, background);
}

await withBrowser({ width: 1400, height: 1000 }, async (context) => {
  const requests = [];
  context.on('request', (request) => requests.push(request.url()));
  const { page, refused, errors, url } = await openPage(context, file);
  const data = JSON.parse(await page.locator('#shift-data').textContent());
  const isPair = (i) => data.status[i] !== '1' && data.status[i] !== '2';

  // Drawn: the maps against their background, the histograms against white.
  for (const [selector, what] of [['#shift-map', 'shift map'], ['#height-map', 'height map']]) {
    const ink = await inkIn(page, selector, [0xfb, 0xfb, 0xf8]);
    check(ink >= 100, `the ${what} is drawn (${ink} pixels of ink)`);
  }
  for (const [selector, what] of [['#horizontal-histogram', 'horizontal shift'], ['#height-histogram', 'du']]) {
    const ink = await inkIn(page, selector, [0xff, 0xff, 0xff]);
    check(ink >= 100, `the histogram of the ${what} is drawn (${ink} pixels of ink)`);
  }

  // Every pair whose shift is not zero drawn: as an arrow of its own, in a
  // cell's arrow or ring, or at true scale.
  let shifted = 0;
  for (let i = 0; i < data.count; ++i) if (isPair(i) && (data.dn[i] !== 0 || data.de[i] !== 0)) ++shifted;
  const arrows = Number(await page.locator('#shift-map').getAttribute('data-arrows'));
  check(arrows === shifted && shifted > 0, `${arrows} pairs drawn of ${shifted} with a shift`);

  // Hovering the largest mover shows its PID; a designation with markup in it
  // shows as written.
  const hoverRow = async (i) => {
    const at = await page.evaluate((row) => window.tessovane2ShiftPage.screenPosition(row), i);
    await page.mouse.move(at.x, at.y);
    await page.waitForSelector('#tooltip:not([hidden])', { timeout: 2000 }).catch(() => {});
    return { row: await page.locator('#tooltip').getAttribute('data-row'), text: await page.locator('#tooltip').textContent() };
  };
  const largest = data.movers.horizontal[0];
  const shown = await hoverRow(largest);
  check(shown.row === String(largest) && shown.text.includes(data.pid[largest]),
    `hovering the largest mover shows its PID ${data.pid[largest]} (tooltip: ${JSON.stringify(shown.text)})`);
  const marked = data.designation.findIndex((d) => /[<>&"']/.test(d));
  if (marked >= 0) {
    const hostile = await hoverRow(marked);
    check(hostile.text.includes(data.designation[marked]),
      `the designation ${JSON.stringify(data.designation[marked])} shows as written`);
    check(await page.locator('#largest-horizontal, #largest-vertical').first().isVisible(), 'the tables are shown');
  }
  await page.mouse.move(5, 5);

  // Zooming changes the scale bar.
  const mapBox = await page.locator('#shift-map').boundingBox();
  const centre = { x: mapBox.x + mapBox.width / 2, y: mapBox.y + mapBox.height / 2 };
  const scaleBefore = await page.locator('#shift-map').getAttribute('data-scale-bar');
  const barText = await page.locator('#shift-map .scale-bar-text').textContent();
  check(/^\d+(\.\d+)? (mm|cm|m|km)$/.test(scaleBefore) && barText === scaleBefore,
    `the scale bar reads ${JSON.stringify(barText)}`);
  await page.mouse.move(centre.x, centre.y);
  await page.mouse.wheel(0, -800);
  await page.waitForFunction((before) => document.querySelector('#shift-map').dataset.scaleBar !== before,
    scaleBefore, { timeout: 3000 }).catch(() => {});
  const scaleAfter = await page.locator('#shift-map').getAttribute('data-scale-bar');
  check(scaleAfter !== scaleBefore && /^\d+(\.\d+)? (mm|cm|m|km)$/.test(scaleAfter),
    `zooming in changes the scale bar from ${scaleBefore} to ${scaleAfter}`);

  // Dragging pans the map by the drag.
  const before = await page.evaluate((row) => window.tessovane2ShiftPage.screenPosition(row), largest);
  await page.mouse.move(centre.x, centre.y);
  await page.mouse.down();
  await page.mouse.move(centre.x + 60, centre.y + 40, { steps: 5 });
  await page.mouse.up();
  await page.waitForTimeout(100);
  const after = await page.evaluate((row) => window.tessovane2ShiftPage.screenPosition(row), largest);
  check(Math.abs(after.x - before.x - 60) < 1.5 && Math.abs(after.y - before.y - 40) < 1.5,
    `dragging by (60, 40) moves the map by (${(after.x - before.x).toFixed(1)}, ${(after.y - before.y).toFixed(1)})`);

  // A click on a mover in the tables centres the map on it.
  const moverRow = page.locator('#largest-horizontal tr.mover').nth(1);
  const clicked = Number(await moverRow.getAttribute('data-row'));
  await moverRow.click();
  await page.waitForTimeout(100);
  const box = await page.locator('#shift-map canvas').boundingBox();
  const at = await page.evaluate((row) => window.tessovane2ShiftPage.screenPosition(row), clicked);
  check(Math.abs(at.x - (box.x + box.width / 2)) < 1.5 && Math.abs(at.y - (box.y + box.height / 2)) < 1.5,
    `a click on mover ${data.pid[clicked]} in the table centres the map on it`);

  check(errors.length === 0, `no console error${errors.length ? ': ' + errors.join(' | ') : ''}`);
  const leaving = requests.filter((r) => r !== url).concat(refused);
  check(leaving.length === 0, `no request leaves the file${leaving.length ? ': ' + leaving.join(' ') : ''}`);
});

finish();
