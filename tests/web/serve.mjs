// A static file server on a free loopback port, for the browser test and the benchmarks:
// only 127.0.0.1, only GET and HEAD, only files under the served directory. Every answer
// says no-store, so the browser's HTTP cache keeps nothing: whatever a page gets without
// the server comes from its service worker. close() also cuts open connections, so a
// page cannot reach the server through one kept alive. requests() lists the paths asked
// for so far, in order (what a first visit downloads, and how often).
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, sep } from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
  '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
};

export async function serveDirectory(root) {
  const base = normalize(root + sep);
  const asked = [];
  const server = createServer(async (request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    asked.push(path);
    const file = normalize(join(base, path.endsWith('/') ? path + 'index.html' : path));
    if ((request.method !== 'GET' && request.method !== 'HEAD') || !file.startsWith(base)) {
      response.writeHead(404).end();
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, {
        'Content-Type': types[extname(file)] || 'application/octet-stream',
        'Cache-Control': 'no-store',
      });
      response.end(request.method === 'HEAD' ? undefined : body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const { port } = server.address();
  const close = () => new Promise((resolve) => {
    server.close(resolve);
    server.closeAllConnections();
  });
  return { url: `http://127.0.0.1:${port}/`, close, requests: () => asked.slice() };
}
