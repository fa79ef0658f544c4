// The page's Web Audio engine, the JavaScript half of the web sound back end (WebPlatform): it
// fetches and decodes the sound folder's files, and plays them on one one-shot voice and on any
// number of channel and music voices, each kind on a bus of its own into one master gain.
"use strict";

// As SoundFileState in BrowserAudio.h, number for number.
const VelozorFileState = Object.freeze({ Loading: 0, Ready: 1, Missing: 2, Damaged: 3 });

class VelozorAudio {
    // `onChange()` is called whenever something the game may wait for changes (a file settled,
    // a one-shot ended); `onProgress()` whenever a file has been fetched or has settled.
    constructor({ onChange = () => {}, onProgress = () => {} } = {}) {
        this.onChange = onChange;
        this.onProgress = onProgress;
        this.files = new Map(); // url -> {state, bytes, buffer, waiters}
        this.queue = []; // urls to fetch, first first
        this.fetching = 0;
        this.context = null;
        this.buses = null; // {oneShot, channels, music}: GainNodes into the master
        this.defaultTone = null;
        this.oneShot = { id: 0, source: null, waiting: false };
        this.voices = new Map(); // id -> {url, music, source, plays}
        this.nextVoiceId = 1;
        // When an array, each sound's start is noted in it (the benchmark reads it).
        this.startLog = null;
    }

    // Two downloads at a time, in the order asked: the introduction's files come first and are
    // not slowed by the rest on a slow link.
    static get parallelFetches() {
        return 2;
    }

    // Starts fetching `urls`, in order, behind those already asked for.
    load(urls) {
        for (const url of urls) this.entry(url);
    }

    // The audio context, made on the player's gesture (browsers start sound only after one).
    // Files fetched before it are decoded now.
    start() {
        if (this.context) return this.context.resume();
        const context = new AudioContext({ latencyHint: "interactive" });
        this.context = context;
        const master = new GainNode(context);
        master.connect(context.destination);
        this.buses = {};
        for (const name of ["oneShot", "channels", "music"]) {
            this.buses[name] = new GainNode(context);
            this.buses[name].connect(master);
        }
        this.master = master;
        this.defaultTone = VelozorAudio.makeDefaultTone(context);
        for (const url of this.files.keys()) this.decode(url);
        return context.resume();
    }

    // The back end's own default sound: 250 ms of 880 Hz at a quarter of full scale, with 10 ms
    // fades, as on the desktop.
    static makeDefaultTone(context) {
        const rate = context.sampleRate;
        const frames = Math.round(0.25 * rate);
        const fade = Math.round(0.01 * rate);
        const buffer = context.createBuffer(1, frames, rate);
        const samples = buffer.getChannelData(0);
        for (let i = 0; i < frames; ++i) {
            const envelope = Math.min(1, i / fade, (frames - 1 - i) / fade);
            samples[i] = 0.25 * envelope * Math.sin((2 * Math.PI * 880 * i) / rate);
        }
        return buffer;
    }

    entry(url) {
        let file = this.files.get(url);
        if (!file) {
            file = { state: VelozorFileState.Loading, bytes: null, buffer: null, waiters: [] };
            this.files.set(url, file);
            this.queue.push(url);
            this.pump();
        }
        return file;
    }

    pump() {
        while (this.fetching < VelozorAudio.parallelFetches && this.queue.length > 0) {
            const url = this.queue.shift();
            ++this.fetching;
            this.fetchFile(url).finally(() => {
                --this.fetching;
                this.pump();
            });
        }
    }

    async fetchFile(url) {
        const file = this.files.get(url);
        try {
            const response = await fetch(url);
            if (!response.ok) {
                this.settle(url, VelozorFileState.Missing);
                return;
            }
            file.bytes = await response.arrayBuffer();
            file.fetched = true;
        } catch {
            this.settle(url, VelozorFileState.Missing);
            return;
        }
        this.onProgress();
        this.decode(url);
    }

    decode(url) {
        const file = this.files.get(url);
        if (!this.context || !file.bytes) return;
        const bytes = file.bytes;
        file.bytes = null;
        this.context.decodeAudioData(bytes).then(
            (buffer) => {
                file.buffer = buffer;
                const held = buffer.length > 0; // a file with no sound is no sound to play
                this.settle(url, held ? VelozorFileState.Ready : VelozorFileState.Damaged);
            },
            () => this.settle(url, VelozorFileState.Damaged),
        );
    }

    settle(url, state) {
        const file = this.files.get(url);
        file.state = state;
        const waiters = file.waiters;
        file.waiters = [];
        for (const waiter of waiters) waiter();
        this.onProgress();
        this.onChange();
    }

    // Of the files asked for: how many have been fetched (or failed), how many have settled
    // (decoded, or failed), and how many there are. Decoding waits for the audio context.
    progress() {
        let fetched = 0;
        let settled = 0;
        for (const file of this.files.values()) {
            if (file.state !== VelozorFileState.Loading) ++settled;
            if (file.fetched || file.state !== VelozorFileState.Loading) ++fetched;
        }
        return { fetched, settled, total: this.files.size };
    }

    fileState(url) {
        return this.entry(url).state;
    }

    renderedSeconds() {
        return this.context ? this.context.currentTime : 0;
    }

    // Starts `buffer` on `bus` now; `ended` runs when it has played out (not when stopped).
    play(buffer, bus, kind, url, ended) {
        const source = new AudioBufferSourceNode(this.context, { buffer });
        source.connect(bus);
        source.onended = () => {
            source.disconnect();
            ended(source);
        };
        source.start();
        if (this.startLog && this.startLog.length < 100000) {
            this.startLog.push({ kind, url, calledAt: performance.now(), contextTime: this.context.currentTime });
        }
        return source;
    }

    // The buffer a file plays with: its own, or the default tone when it is missing or damaged.
    bufferOf(file) {
        return file.state === VelozorFileState.Ready ? file.buffer : this.defaultTone;
    }

    playOneShot(url) {
        this.stopOneShot();
        const id = ++this.oneShot.id;
        const begin = (buffer) => {
            this.oneShot.waiting = false;
            this.oneShot.source = this.play(buffer, this.buses.oneShot, "one-shot", url, (source) => {
                if (this.oneShot.source !== source) return;
                this.oneShot.source = null;
                this.onChange();
            });
        };
        if (url === "") {
            begin(this.defaultTone);
            return id;
        }
        const file = this.entry(url);
        if (file.state !== VelozorFileState.Loading) {
            begin(this.bufferOf(file));
        } else {
            this.oneShot.waiting = true;
            file.waiters.push(() => {
                if (this.oneShot.id === id) begin(this.bufferOf(file));
            });
        }
        return id;
    }

    stopOneShot() {
        ++this.oneShot.id; // a one-shot still waiting for its file no longer starts
        this.oneShot.waiting = false;
        const source = this.oneShot.source;
        this.oneShot.source = null;
        if (source) {
            source.onended = null;
            source.stop();
            source.disconnect();
        }
    }

    oneShotSounding(id) {
        return id === this.oneShot.id && (this.oneShot.waiting || this.oneShot.source !== null);
    }

    openVoice(url, music) {
        const id = this.nextVoiceId++;
        this.voices.set(id, { url, music, source: null, plays: 0 });
        this.entry(url);
        return id;
    }

    playVoice(id) {
        const voice = this.voices.get(id);
        if (!voice) return;
        this.silence(voice);
        const play = ++voice.plays;
        const file = this.entry(voice.url);
        const begin = () => {
            if (this.voices.get(id) !== voice || voice.plays !== play) return;
            if (file.state !== VelozorFileState.Ready) return; // opened while loading, then failed
            const bus = voice.music ? this.buses.music : this.buses.channels;
            const kind = voice.music ? "music" : "channel";
            voice.source = this.play(file.buffer, bus, kind, voice.url, (source) => {
                if (voice.source === source) voice.source = null;
            });
        };
        if (file.state === VelozorFileState.Loading) file.waiters.push(begin);
        else begin();
    }

    closeVoice(id) {
        const voice = this.voices.get(id);
        if (!voice) return;
        this.silence(voice);
        this.voices.delete(id);
    }

    silence(voice) {
        ++voice.plays;
        if (voice.source) {
            voice.source.onended = null;
            voice.source.stop();
            voice.source.disconnect();
            voice.source = null;
        }
    }
}
