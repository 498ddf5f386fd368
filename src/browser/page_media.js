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
let lastPosition = -1;
let look = 0; // the once-a-second look at the position, while the listener wants sound
let reportDue = false;
let program = null; // the program's end of the channel, once it is open

function currentElement() {
    return element || document.querySelector('audio, video');
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
    let playback = 'paused';
    if (playing) playback = 'playing';
    else if (stopped || (media ? !hasSource || media.ended : session?.playbackState !== 'paused'))
        playback = 'stopped';
    return {
        playback,
        title: metadata ? metadata.title : '',
        artist: metadata ? metadata.artist : '',
        album: metadata ? metadata.album : '',
        artwork: metadata ? largestArtwork(metadata.artwork) : '',
        volume: media ? (media.muted ? 0 : media.volume) : 1,
        canPlay: hasSource || handlers.has('play'),
        canPause: hasSource || handlers.has('pause'),
        canGoNext: handlers.has('nexttrack'),
        canGoPrevious: handlers.has('previoustrack'),
        intent,
        advancing,
        failed,
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
    if (wanted === 'playing') look = setInterval(lookAtPosition, 1000);
    else advancing = false;
}

function onMediaEvent(event) {
    const media = event.target;
    if (!(media instanceof HTMLMediaElement)) return;
    const live = media.duration === Infinity;
    if (event.type === 'play') {
        element = media;
        stopped = false;
        mending = false;
        failed = false;
        lastPosition = media.currentTime;
        setIntent('playing');
    } else if (media === element) {
        if (event.type === 'pause' && !mending && !media.error && !media.ended) {
            setIntent('paused');
        } else if (event.type === 'error' || (event.type === 'ended' && live)) {
            failed = true;
            advancing = false;
        } else if (event.type === 'ended') {
            // A recording that played to its end is done: nothing to mend.
            setIntent('');
        }
    }
    report();
}

const mediaEvents = ['play', 'pause', 'ended', 'emptied', 'loadstart', 'volumechange', 'error'];

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
    return play.apply(this, args);
};
HTMLMediaElement.prototype.pause = function () {
    if (this === currentElement()) setIntent('paused');
    return pause.apply(this);
};

// The element fetches its source anew and plays on, where it is: the page stays as it is.
function mend() {
    const media = currentElement();
    if (!media || intent !== 'playing') return;
    mending = true;
    failed = false;
    media.load();
    media.play().catch(() => {});
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
