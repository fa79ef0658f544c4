// The page around the game: its language, the start button, the loading of the sounds, the
// messages a screen reader speaks (the live regions) and the keys, handed to the game's module.
"use strict";

const VelozorTexts = {
    es: {
        about: "Un juego de carreras que se juega de oído: esquiva los obstáculos que oyes venir por tu carril.",
        start: "Empezar la partida",
        again: "Jugar otra vez",
        keys: "Izquierda y Derecha: cambiar de carril. Arriba: bocina. Abajo: frenar. F1: ayuda. Escape: salir al menú.",
        game: "Velozor: la partida está en marcha",
        creditsHeading: "Créditos",
        loadingLabel: "Sonidos cargados",
        loading: (done, total) => `Cargando los sonidos: ${done} de ${total}.`,
        loaded: (total) => `Sonidos cargados: ${total} de ${total}.`,
        waitingForGame: "Cargando el juego…",
        playing: "La partida ha empezado.",
        ended: "La partida ha terminado.",
        moduleFailed: (reason) => `No se pudo cargar el juego (${reason}). Vuelve a cargar la página; si sigue fallando, el servidor no tiene velozor.wasm o no lo sirve como application/wasm.`,
        audioFailed: (reason) => `El navegador no deja reproducir sonido (${reason}). Prueba con otro navegador.`,
        stopped: (reason) => `El juego se ha detenido por un fallo (${reason}). Vuelve a cargar la página para jugar otra vez.`,
    },
    en: {
        about: "A racing game played by ear: dodge the obstacles you hear coming down your lane.",
        start: "Start the game",
        again: "Play again",
        keys: "Left and Right: change lanes. Up: horn. Down: brake. F1: help. Escape: leave for the menu.",
        game: "Velozor: the game is on",
        creditsHeading: "Credits",
        loadingLabel: "Sounds loaded",
        loading: (done, total) => `Loading the sounds: ${done} of ${total}.`,
        loaded: (total) => `Sounds loaded: ${total} of ${total}.`,
        waitingForGame: "Loading the game…",
        playing: "The game has started.",
        ended: "The game has ended.",
        moduleFailed: (reason) => `The game could not be loaded (${reason}). Reload the page; if it fails again, the server lacks velozor.wasm or does not serve it as application/wasm.`,
        audioFailed: (reason) => `The browser does not let the page play sound (${reason}). Try another browser.`,
        stopped: (reason) => `The game stopped on a fault (${reason}). Reload the page to play again.`,
    },
};

// Keys whose browser action (scrolling, the browser's help, leaving the page) would get in the
// game's way; they go to the game alone unless Ctrl, Alt or the system key is held.
const VelozorOwnKeys = new Set([8, 13, 27, 32, 33, 34, 35, 36, 37, 38, 39, 40, 112]);

const velozorPage = (() => {
    const query = new URLSearchParams(location.search);
    const requested = query.get("lang");
    const language = requested === "es" || requested === "en" ? requested
        : (navigator.language || "").toLowerCase().startsWith("es") ? "es" : "en";
    const texts = VelozorTexts[language];
    const trace = query.get("trace") === "1";
    const root = document.documentElement;
    const element = (id) => document.getElementById(id);
    const button = element("start");
    const game = element("game");
    const status = element("status");
    const progressBar = element("loading");
    const messages = element("messages");

    root.lang = language;
    element("about").textContent = texts.about;
    element("keys").textContent = texts.keys;
    element("credits-heading").textContent = texts.creditsHeading;
    button.textContent = texts.start;
    game.setAttribute("aria-label", texts.game);
    progressBar.setAttribute("aria-label", texts.loadingLabel);
    button.focus();

    // Every message stays on the page as text; the live region speaks each as it is added.
    function announce(text, lang = language) {
        const paragraph = document.createElement("p");
        paragraph.lang = lang;
        paragraph.textContent = text;
        messages.append(paragraph);
    }

    let module = null;
    let running = false;
    let folderChecked = false;
    let lastSpokenQuarter = -1;
    const keyLog = []; // filled only while the benchmark asks for it (audio.startLog set)

    function wake() {
        if (module && module.velozorWake) module.velozorWake();
    }

    const audio = new VelozorAudio({
        onChange: wake,
        onProgress: () => showProgress(),
    });

    // The progress bar follows every file fetched; the status line speaks at each quarter and at
    // the end. Once the game has begun and every file has settled, missing and damaged files
    // are named.
    function showProgress() {
        const { fetched, settled, total } = audio.progress();
        if (total === 0) return;
        progressBar.max = total;
        progressBar.value = fetched;
        const quarter = Math.floor((4 * fetched) / total);
        if (quarter !== lastSpokenQuarter) {
            lastSpokenQuarter = quarter;
            status.textContent = fetched === total ? texts.loaded(total) : texts.loading(fetched, total);
        }
        if (settled === total && audio.context && !folderChecked) {
            folderChecked = true;
            // Called directly: ccall would take the game's pause for its own.
            module._velozor_check_sound_folder();
        }
    }

    const hooks = {
        // The game's own texts (its credits, its messages) are in the page's language, as on the
        // desktop, and so is the sound folder the module asks for.
        setCredits(text) {
            element("credits").textContent = text.replace(/\r/g, "\n");
        },
        focusGame() {
            game.focus();
        },
        gameEnded() {
            running = false;
            game.hidden = true;
            button.hidden = false;
            button.textContent = texts.again;
            status.textContent = texts.ended;
            button.focus();
        },
        announceGameMessage(text) {
            announce(text);
        },
    };

    const modulePromise = createVelozorModule({
        velozorAudio: audio,
        velozorPage: hooks,
        print: (line) => console.log(line),
        printErr: (line) => console.warn(line),
        onAbort: (what) => announce(texts.stopped(String(what))),
    }).then((loaded) => {
        module = loaded;
        module.ccall("velozor_configure", null, ["string", "string"],
            [language, root.dataset.waveExtension]);
        hooks.setCredits(module.ccall("velozor_credits", "string", [], []));
        const urls = module.ccall("velozor_sound_urls", "string", [], []).split("\n").filter(Boolean);
        audio.load(urls);
        showProgress();
        document.body.dataset.state = "ready";
        return module;
    }, (error) => {
        announce(texts.moduleFailed(String(error)));
        throw error;
    });

    async function start() {
        if (running) return;
        running = true;
        let resumed;
        try {
            resumed = audio.start(); // inside the click: the gesture lets the sound start
        } catch (error) {
            running = false;
            announce(texts.audioFailed(String(error)));
            return;
        }
        if (!module) status.textContent = texts.waitingForGame;
        await Promise.all([resumed, modulePromise]);
        showProgress();
        button.hidden = true;
        game.hidden = false;
        game.focus();
        status.textContent = texts.playing;
        module.ccall("velozor_start", "number", ["number"], [trace ? 1 : 0], { async: true });
    }

    function onKeyDown(event) {
        if (!running || !module) return;
        const keyCode = VelozorKeyMap.virtualKeyCode(event);
        if (keyCode === null) return;
        if (!module._velozor_key_down(keyCode, VelozorKeyMap.shiftState(event))) return;
        if (VelozorOwnKeys.has(keyCode) && !event.ctrlKey && !event.altKey && !event.metaKey) {
            event.preventDefault();
        }
        if (audio.startLog) keyLog.push({ keyCode, timeStamp: event.timeStamp, handledAt: performance.now() });
        wake(); // the game handles the key now, inside this event
    }

    button.addEventListener("click", start);
    document.addEventListener("keydown", onKeyDown);
    return { audio, keyLog, language, modulePromise };
})();
