// The page side of the media bridge. It runs in the page's own world before any of the page's
// scripts, so it sees every Media Session action handler the page sets, and it reports what the
// page plays to the program, which performs the desktop's media commands through it. It is
// wrapped in a function together with the web channel's client script, so that it adds no names
// to the page.
'use strict';

const session = navigator.mediaSession;
const handlers = new Map();
const watched = new WeakSet();
const defer = queueMicrotask.bind(window);
const play = HTMLMediaElement.prototype.play;
const pause = HTMLMediaElement.prototype.pause;
let element = null; // the media element the page started last
let stopped = false; // paused by the stop command; cleared when anything plays again
// What the listener wants of the element: 'playing' after a play, 'paused' after a pause by the
// page, the program's commands or the element's own controls; '' before either.
let intent = '';
// Whether the element's position moved in the last second: only then does sound come out.
let advancing = false;
let failed = false; // the element erred, or a live stream ended
let mending = false; // the element reloads at the program's word; its pause is not the listener's
// The elements whose source is a broadcast, decided when the source starts: a live stream that
// closes is given a finite duration by then, but it is still no recording that ended.
const liveSources = new WeakSet();
let pausedAt = 0; // when the listener last paused, on the page's clock
let aheadAtPause = 0; // how many seconds the element held beyond its position then
let lastPosition = -1;
let look = 0; // the once-a-second look at the position, while the listener wants sound
let reportDue = false;
let program = null; // the program's end of the channel, once it is open

function currentElement() {
    return element || document.querySelector('audio, video');
}

// Where the page's own player feeds the element (Media Source, a stream object), the player
// fetches; resetting the element under it would only fight it.
function fedByPlayer(media) {
    return media.srcObject !== null || media.currentSrc.startsWith('blob:');
}

function secondsAhead(media) {
    const ranges = media.buffered;
    for (let i = 0; i < ranges.length; ++i)
        if (ranges.start(i) <= media.currentTime && media.currentTime <= ranges.end(i))
            return ranges.end(i) - media.currentTime;
    return 0;
}

// A broadcast paused for longer than the element kept ahead of it, or for longer than a listener
// would call live, is stale: playing on would replay what went out then.
function staleAfterPause(media) {
    if (!liveSources.has(media) || pausedAt === 0 || fedByPlayer(media)) return false;
    const away = (performance.now() - pausedAt) / 1000;
    return away > Math.min(aheadAtPause, 10);
}

// Desktop panels show a line of text: a page's megabytes of title stay here.
const textLimit = 1024;
function bounded(text) {
    return typeof text === 'string' ? text.slice(0, textLimit) : '';
}

function isPlaying(media) {
    if (media) return !media.paused && !media.ended && advancing;
    return session !== undefined && session.playbackState === 'playing';
}

function largestArtwork(artwork) {
    let best = '';
    let bestSize = -1;
    for (const image of artwork) {
        const size = Math.max(0, ...(image.sizes || '').split(/\s+/).map(s => parseInt(s, 10) || 0));
        if (size > bestSize) {
            best = image.src;
            bestSize = size;
        }
    }
    return best;
}

function state() {
    const media = currentElement();
    const metadata = session ? session.metadata : null;
    const hasSource = media !== null && (media.currentSrc !== '' || media.srcObject !== null);
    const playing = isPlaying(media);
    // While the listener wants sound the play is only held up, whatever the element says.
    let playback = 'paused';
    if (playing) playback = 'playing';
    else if (stopped) playback = 'stopped';
    else if (intent !== 'playing' &&
             (media ? !hasSource || media.ended : session?.playbackState !== 'paused'))
        playback = 'stopped';
    return {
        playback,
        title: bounded(metadata?.title),
        artist: bounded(metadata?.artist),
        album: bounded(metadata?.album),
        artwork: metadata ? bounded(largestArtwork(metadata.artwork)) : '',
        volume: media ? (media.muted ? 0 : media.volume) : 1,
        canPlay: hasSource || handlers.has('play'),
        canPause: hasSource || handlers.has('pause'),
        canGoNext: handlers.has('nexttrack'),
        canGoPrevious: handlers.has('previoustrack'),
        intent,
        advancing,
        failed,
        fedByPlayer: media !== null && fedByPlayer(media),
    };
}

// Several changes in one task make one report.
function report() {
    if (reportDue) return;
    reportDue = true;
    defer(() => {
        reportDue = false;
        if (program) program.report(state());
    });
}

// A timer once a second rather than every timeupdate: the look costs nothing while sound flows.
function lookAtPosition() {
    const media = currentElement();
    const moved = media !== null && !media.paused && media.currentTime !== lastPosition;
    lastPosition = media ? media.currentTime : -1;
    if (moved === advancing) return;
    advancing = moved;
    report();
}

function setIntent(wanted) {
    intent = wanted;
    clearInterval(look);
    look = 0;
    if (wanted === 'playing') {
        look = setInterval(lookAtPosition, 1000);
        return;
    }
    advancing = false;
    const media = currentElement();
    if (wanted === 'paused' && media) {
        pausedAt = performance.now();
        aheadAtPause = secondsAhead(media);
    }
}

// The element fetches its source anew: the broadcast as it goes out now.
function refetch(media) {
    pausedAt = 0;
    mending = true;
    failed = false;
    media.load();
}

function onMediaEvent(event) {
    const media = event.target;
    if (!(media instanceof HTMLMediaElement)) return;
    switch (event.type) {
    case 'loadstart':
        liveSources.delete(media);
        break;
    case 'loadedmetadata':
        if (media.duration === Infinity) liveSources.add(media);
        break;
    case 'play':
        if (media !== element) pausedAt = 0;
        element = media;
        stopped = false;
        mending = false;
        failed = false;
        // A play that came past play(), from the element's own controls.
        if (staleAfterPause(media)) {
            refetch(media);
            play.apply(media).catch(() => {});
        }
        lastPosition = media.currentTime;
        setIntent('playing');
        break;
    case 'pause':
        if (media === element && !mending && !media.error && !media.ended) setIntent('paused');
        break;
    case 'error':
        if (media === element) fail();
        break;
    case 'ended':
        // A recording that played to its end is done: nothing to mend.
        if (media === element && liveSources.has(media)) fail();
        else if (media === element) setIntent('');
        break;
    }
    report();
}

function fail() {
    failed = true;
    advancing = false;
}

const mediaEvents = [
    'play', 'pause', 'ended', 'emptied', 'loadstart', 'loadedmetadata', 'volumechange', 'error',
];

function watch(media) {
    if (watched.has(media)) return;
    watched.add(media);
    for (const type of mediaEvents) media.addEventListener(type, onMediaEvent);
}

// Elements in the document are heard where their events pass the window; one the page keeps
// out of the document is watched from its first play().
for (const type of mediaEvents) window.addEventListener(type, onMediaEvent, true);
HTMLMediaElement.prototype.play = function (...args) {
    if (!this.isConnected) watch(this);
    if (this === element && this.paused && staleAfterPause(this)) refetch(this);
    return play.apply(this, args);
};
HTMLMediaElement.prototype.pause = function () {
    if (this === currentElement()) setIntent('paused');
    return pause.apply(this);
};

// The element fetches its source anew and plays on, where it is: the page stays as it is.
function mend() {
    const media = currentElement();
    if (!media || intent !== 'playing' || fedByPlayer(media)) return;
    refetch(media);
    play.apply(media).catch(() => {});
}

function reportWhenSet(prototype, name) {
    const property = Object.getOwnPropertyDescriptor(prototype, name);
    if (!property || !property.set) return;
    Object.defineProperty(prototype, name, {
        ...property,
        set(value) {
            property.set.call(this, value);
            report();
        },
    });
}

if (session) {
    const setActionHandler = MediaSession.prototype.setActionHandler;
    MediaSession.prototype.setActionHandler = function (action, handler) {
        setActionHandler.call(this, action, handler);
        if (handler) handlers.set(action, handler);
        else handlers.delete(action);
        report();
    };
    reportWhenSet(MediaSession.prototype, 'metadata');
    reportWhenSet(MediaSession.prototype, 'playbackState');
    for (const name of ['title', 'artist', 'album', 'artwork'])
        reportWhenSet(MediaMetadata.prototype, name);
}

// The page's own handler decides what a command does where it has one, as when a listener
// presses a media key in a browser.
function perform(action) {
    if (action === 'mend') return mend();
    const media = currentElement();
    if (action === 'playpause') action = isPlaying(media) ? 'pause' : 'play';
    const handler = handlers.get(action);
    if (handler) {
        handler.call(session, {action});
        return;
    }
    if (!media) return;
    if (action === 'play') {
        stopped = false;
        media.play().catch(() => {});
    } else if (action === 'pause') {
        media.pause();
    } else if (action === 'stop') {
        setIntent('paused');
        stopped = true;
        media.pause();
        report();
    }
}

function setVolume(volume) {
    const media = currentElement();
    if (!media) return;
    media.volume = volume;
    if (volume > 0) media.muted = false;
}

new QWebChannel(qt.webChannelTransport, channel => {
    program = channel.objects.pageMedia;
    program.commandRequested.connect(perform);
    program.volumeRequested.connect(setVolume);
    report();
});
