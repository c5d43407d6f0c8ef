// node:test as every browser test file uses it, with its time limit: each test and each
// hook has two minutes, so a hung browser fails the test it hung in, by name, and the file
// goes on to the next. The limit is given test by test because Debian 12's own Node (18.20)
// has no --test-timeout, which came with Node 20.11; scripts/test.sh also bounds each file.
import * as runner from 'node:test';

const limit = { timeout: 120_000 };

// test(name, body) or test(name, options, body), as node:test takes them.
export const test = (name, options, body) =>
  typeof options === 'function' ? runner.test(name, limit, options) : runner.test(name, { ...limit, ...options }, body);
export const before = (body) => runner.before(body, limit);
export const after = (body) => runner.after(body, limit);
export const { describe } = runner;
