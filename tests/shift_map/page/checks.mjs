// The checks of a browser test: each printed as it is made, and at the end
// the count line ("N passed, M failed") and the exit status, 1 when any failed.
const failures = [];
let made = 0;

export function check(condition, what) {
  ++made;
  if (!condition) failures.push(what);
  console.log(`${condition ? 'ok    ' : 'FAILED'} ${what}`);
}

export function finish() {
  console.log(`${made - failures.length} passed, ${failures.length} failed`);
  process.exit(failures.length ? 1 : 0);
}
