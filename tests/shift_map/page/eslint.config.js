// ESLint's rules for the shift page's script and its tests, run by CTest from
// the project's root (shifts_page_lint, or `npm run lint` here):
//   eslint --config tests/shift_map/page/eslint.config.js src/shift_map/page tests/shift_map/page
// The page's two scripts are classic scripts in one <script> element:
// map_math.js declares tessovane2MapMath, report.js reads it.
import js from '@eslint/js';

const browser = {
  window: 'readonly', document: 'readonly', performance: 'readonly', requestAnimationFrame: 'readonly',
  Path2D: 'readonly',
};
const node = { process: 'readonly', console: 'readonly', Buffer: 'readonly' };

export default [
  { ignores: ['**/node_modules/'] },
  js.configs.recommended,
  {
    rules: {
      eqeqeq: 'error',
      'no-var': 'error',
      'prefer-const': 'error',
      'no-shadow': 'error',
      'no-implicit-globals': 'error',
      strict: ['error', 'global'],
    },
  },
  {
    files: ['src/shift_map/page/map_math.js'],
    languageOptions: { sourceType: 'script', globals: { module: 'writable' } },
    // Its one global is what the page's script reads.
    rules: { 'no-implicit-globals': 'off' },
  },
  {
    files: ['src/shift_map/page/report.js'],
    languageOptions: { sourceType: 'script', globals: { ...browser, tessovane2MapMath: 'readonly' } },
  },
  {
    files: ['tests/shift_map/page/**/*.mjs', 'tests/shift_map/page/eslint.config.js'],
    languageOptions: { sourceType: 'module', globals: { ...node, ...browser } },
  },
];
