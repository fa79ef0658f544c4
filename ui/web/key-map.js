// The page's keys as the Windows virtual-key codes the game's handlers expect, read from a
// KeyboardEvent by the same rules as the desktop's ui/sdl/KeyMap.cpp: keys that do something by
// what they do, letters and punctuation by the character the layout types, and otherwise by
// their place on a US keyboard. With NumLock off the keypad's 4, 6, 8 and 2 arrive as arrows.
"use strict";

const VelozorKeyMap = (() => {
    // By KeyboardEvent.key, whatever the layout.
    const namedKeys = new Map([
        ["Backspace", 8], ["Tab", 9], ["Clear", 12], ["Enter", 13], ["Shift", 16],
        ["Control", 17], ["Alt", 18], ["AltGraph", 18], ["Pause", 19], ["CapsLock", 20],
        ["Escape", 27], ["Esc", 27], [" ", 32], ["PageUp", 33], ["PageDown", 34], ["End", 35],
        ["Home", 36], ["ArrowLeft", 37], ["Left", 37], ["ArrowUp", 38], ["Up", 38],
        ["ArrowRight", 39], ["Right", 39], ["ArrowDown", 40], ["Down", 40], ["Select", 41],
        ["Execute", 43], ["PrintScreen", 44], ["Insert", 45], ["Delete", 46], ["Del", 46],
        ["Help", 47], ["ContextMenu", 93], ["Standby", 95], ["NumLock", 144],
        ["ScrollLock", 145], ["BrowserBack", 166], ["BrowserForward", 167],
        ["BrowserRefresh", 168], ["BrowserStop", 169], ["BrowserSearch", 170],
        ["BrowserFavorites", 171], ["BrowserHome", 172], ["AudioVolumeMute", 173],
        ["AudioVolumeDown", 174], ["AudioVolumeUp", 175], ["MediaTrackNext", 176],
        ["MediaTrackPrevious", 177], ["MediaStop", 178], ["MediaPlayPause", 179],
        ["LaunchMail", 180], ["LaunchMediaPlayer", 181], ["LaunchApplication1", 182],
        ["LaunchApplication2", 183],
    ]);
    // The keypad's keys that type a character (NumLock on), by KeyboardEvent.code.
    const keypadCharacters = new Map([
        ["NumpadMultiply", 106], ["NumpadAdd", 107], ["NumpadSubtract", 109],
        ["NumpadDecimal", 110], ["NumpadComma", 110], ["NumpadDivide", 111],
    ]);
    // Punctuation by the character it types: the OEM codes of a US layout.
    const punctuation = new Map([
        [";", 186], ["=", 187], [",", 188], ["-", 189], [".", 190], ["/", 191],
        ["`", 192], ["[", 219], ["\\", 220], ["]", 221], ["'", 222],
    ]);
    // Punctuation keys by their place on a US keyboard, for characters without a code.
    const punctuationPlaces = new Map([
        ["Semicolon", 186], ["Equal", 187], ["Comma", 188], ["Minus", 189], ["Period", 190],
        ["Slash", 191], ["Backquote", 192], ["BracketLeft", 219], ["Backslash", 220],
        ["BracketRight", 221], ["Quote", 222], ["IntlBackslash", 226],
    ]);

    function fromName(event) {
        if (event.key === "Meta" || event.key === "OS") return event.code === "MetaRight" ? 92 : 91;
        if (namedKeys.has(event.key)) return namedKeys.get(event.key);
        const functionKey = /^F([1-9]|1[0-9]|2[0-4])$/.exec(event.key);
        return functionKey ? 111 + Number(functionKey[1]) : null;
    }

    function fromKeypad(event) {
        const digit = /^Numpad([0-9])$/.exec(event.code);
        if (digit) return 96 + Number(digit[1]);
        return keypadCharacters.get(event.code) ?? null;
    }

    function fromCharacter(key) {
        if (key.length !== 1) return null;
        if (/[a-z]/i.test(key)) return key.toUpperCase().charCodeAt(0);
        if (/[0-9]/.test(key)) return key.charCodeAt(0);
        return punctuation.get(key) ?? null;
    }

    function fromPlace(code) {
        const letter = /^Key([A-Z])$/.exec(code);
        if (letter) return letter[1].charCodeAt(0);
        const digit = /^Digit([0-9])$/.exec(code);
        if (digit) return digit[1].charCodeAt(0);
        return punctuationPlaces.get(code) ?? null;
    }

    return {
        // The virtual-key code of `event`, or null for a key without one (the game ignores it).
        virtualKeyCode(event) {
            return fromName(event) ?? fromKeypad(event) ?? fromCharacter(event.key) ?? fromPlace(event.code);
        },
        // The shift state that goes with it: Shift 1, Ctrl 2, Alt 4.
        shiftState(event) {
            return (event.shiftKey ? 1 : 0) | (event.ctrlKey ? 2 : 0) | (event.altKey ? 4 : 0);
        },
    };
})();
