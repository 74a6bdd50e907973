// Keeps the site's files so that the page opens offline once it has been opened. The build
// writes the list of files and a version made from their content below.
const Version = '@VERSION@';
const Files = [/* @FILES@ */];
const Cache = `velmora-${Version}`;

self.addEventListener('install', event => {
    event.waitUntil(caches.open(Cache).then(cache => cache.addAll(['./', ...Files])).then(() => self.skipWaiting()));
});

self.addEventListener('activate', event => {
    event.waitUntil(caches.keys()
        .then(names => Promise.all(names.filter(name => name.startsWith('velmora-') && name !== Cache).map(name => caches.delete(name))))
        .then(() => self.clients.claim()));
});

// The site's own files from the cache, anything else from the network as usual.
self.addEventListener('fetch', event => {
    const url = new URL(event.request.url);
    if (event.request.method !== 'GET' || url.origin !== self.location.origin)
        return;
    event.respondWith(caches.open(Cache)
        .then(cache => cache.match(event.request, { ignoreSearch: true }))
        .then(hit => hit ?? fetch(event.request)));
});
