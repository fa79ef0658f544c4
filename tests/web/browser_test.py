#!/usr/bin/env python3
"""Velozor's page in headless Chromium: one page load, every check.

The page must load without a console error; its accessibility tree must hold the title, the
credits and a focused, named start button, and axe-core must find no violation; a scripted game
(keys through the introduction, the lanes, the horn, F1, Escape to the menu, leave) must give the
same sequence of events and sound calls as velozor-sim on the same keys; the engine must sound
and a left-lane cue must be louder on the left; a sound file taken away must be announced in the
live region while the game goes on with its default tone. In English, the page shows the English
credits and fetches the folder sounds.

The page is served from a copy of the site whose long spoken files (the introduction's last three
parts, the help) are swapped for a short one, so that the game takes seconds, and whose braking
cue is missing."""

import argparse
import difflib
import pathlib
import subprocess
import sys
import tempfile

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

import browser

HERE = pathlib.Path(__file__).resolve().parent
AXE = HERE / "node_modules" / "axe-core" / "axe.min.js"

SHORTENED = ["intro/arch 2", "intro/arch 3", "intro/arch 4", "ayuda"]
MISSING = "frenando"  # the Down key's cue while driving

# The game, as keys each sent once the trace shows a moment: ("load",) the game began, ("tick",
# N) the Nth tick, ("call", TEXT) the first sound call holding TEXT. A key must reach the game
# before the tick after its moment, half a second later: each comes at least a tick after any
# wait of the test's own.
SCRIPT = [
    (("load",), 40, Keys.ARROW_DOWN),  # during the introduction: the brake, whose cue is missing
    (("tick", 2), 37, Keys.ARROW_LEFT),  # the left lane (its cue is measured until it ends)
    (("tick", 4), 37, Keys.ARROW_LEFT),  # no lane further left
    (("tick", 5), 39, Keys.ARROW_RIGHT),  # back to the centre
    (("tick", 6), 38, Keys.ARROW_UP),  # the horn
    (("tick", 7), 112, Keys.F1),  # the help, a pause
    (("tick", 9), 27, Keys.ESCAPE),  # leave for the menu, before the first obstacle arrives
    (("call", "introd.wav"), 40, Keys.ARROW_DOWN),  # the menu's second entry: leave
    (("call", "menúSalir.wav"), 13, Keys.ENTER),  # and leave
]


def reached(moment, events):
    """Whether `events` (trace lines without their time) show `moment`."""
    if moment[0] == "load":
        return "load" in events
    if moment[0] == "tick":
        return events.count("tick") >= moment[1]
    return any(moment[1] in event for event in events)


def moment_time(moment, lines):
    """The time of the trace line at which `moment` is reached."""
    for index in range(len(lines)):
        if reached(moment, [line.split("\t", 1)[1] for line in lines[: index + 1]]):
            return int(lines[index].split("\t", 1)[0])
    raise AssertionError(f"velozor-sim never reached {moment}")


def simulated_trace(simulator):
    """velozor-sim on the same keys: each key 1 ms after the moment it waits for, found by
    running the simulator on the keys before it (a key at the very time of a tick would come
    before that tick)."""
    setup = ["folder .", f"missing \\sonidos\\{MISSING}.wav"]
    keys = []
    for moment, code, _ in SCRIPT + [(None, None, None)]:
        scenario = "\n".join(setup + keys) + "\n"
        run = subprocess.run([simulator], input=scenario, capture_output=True, text=True,
                             check=True, timeout=60)
        lines = run.stdout.splitlines()
        if moment is None:
            return lines
        keys.append(f"key {moment_time(moment, lines) + 1} {code}")


def normalised(lines):
    """Trace lines without their times, a short path replaced by the path it was asked for and
    the short-path result by whether the file was found: each back end has its own short paths."""
    long_of_short = {}
    events = []
    for line in lines:
        fields = line.split("\t")[1:]
        if fields[0] == "GetShortPathNameA":
            found = fields[2] != "0"
            if found:
                long_of_short[fields[3]] = fields[1]
            events.append(f"GetShortPathNameA\t{fields[1]}\t{'found' if found else 'not found'}")
            continue
        if fields[0] in ("mciSendStringA", "mciExecute"):
            for short, long in long_of_short.items():
                fields[1] = fields[1].replace(short, long)
        events.append("\t".join(fields))
    return events


def make_site(site, folder):
    (browser.copy_site(site, folder, SHORTENED) / f"{MISSING}.flac").unlink()


def check_accessibility(driver):
    nodes = driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]

    def named(role):
        return [node.get("name", {}).get("value", "") for node in nodes
                if node.get("role", {}).get("value") == role and not node.get("ignored")]

    def focused(node):
        return any(p["name"] == "focused" and p["value"]["value"] for p in node.get("properties", []))

    assert named("RootWebArea") == ["Velozor"], named("RootWebArea")
    assert "Velozor" in named("heading"), named("heading")
    text = " ".join(named("StaticText"))
    assert "Realizado por:" in text and "Juego gratuito" in text, text
    buttons = [node for node in nodes if node.get("role", {}).get("value") == "button"]
    assert len(buttons) == 1 and focused(buttons[0]), buttons
    assert buttons[0]["name"]["value"] == "Empezar la partida", buttons[0]["name"]
    driver.execute_script(AXE.read_text())
    result = driver.execute_async_script(
        "const done = arguments[arguments.length - 1];"
        "axe.run(document).then(r => done(r.violations), e => done(String(e)));")
    assert result == [], f"axe-core found violations: {result}"


# Taps on the engine's buses: per bus, the energy of each channel since the last reset.
TAPS = """
const audio = velozorPage.audio;
window.velozorTaps = {};
for (const name of ["oneShot", "channels"]) {
    const splitter = audio.context.createChannelSplitter(2);
    audio.buses[name].connect(splitter);
    const sides = [0, 1].map((side) => {
        const analyser = audio.context.createAnalyser();
        analyser.fftSize = 2048;
        splitter.connect(analyser, side);
        return analyser;
    });
    const tap = { energy: [0, 0] };
    const samples = new Float32Array(2048);
    setInterval(() => sides.forEach((analyser, side) => {
        analyser.getFloatTimeDomainData(samples);
        for (const sample of samples) tap.energy[side] += sample * sample;
    }), 20);
    window.velozorTaps[name] = tap;
}
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--site", required=True, type=pathlib.Path)
    parser.add_argument("--host-build", required=True, type=pathlib.Path)
    arguments = parser.parse_args()
    if not AXE.exists():
        sys.exit(f"no {AXE}: install the test's npm packages (npm ci --prefix {HERE})")

    expected = normalised(simulated_trace(str(arguments.host_build / "velozor-sim")))
    with tempfile.TemporaryDirectory() as scratch:
        site = pathlib.Path(scratch) / "site"
        make_site(arguments.site, site)
        with browser.serve(site) as base, browser.chromium() as driver:
            console = browser.Console(driver)
            driver.get(base + "index.html?trace=1&lang=es")
            browser.wait_for(lambda: driver.execute_script("return document.body.dataset.state"),
                             "the page to load its module")
            assert driver.title == "Velozor"
            for href in driver.execute_script(
                    "return [...document.querySelectorAll('link[rel*=icon]')].map(l => l.href)"):
                status = driver.execute_async_script(
                    "fetch(arguments[0]).then(r => arguments[1](r.status))", href)
                assert status == 200, f"{href}: {status}"
            check_accessibility(driver)

            driver.find_element("id", "start").click()
            browser.wait_for(lambda: driver.execute_script("return !!velozorPage.audio.context"),
                             "the audio context")
            driver.execute_script(TAPS)

            def events():
                return [line.split("\t", 1)[1] for line in console.read() if "\t" in line]

            def energy(bus):
                return driver.execute_script(f"return velozorTaps.{bus}.energy")

            for moment, _, key in SCRIPT:
                browser.wait_for(lambda: reached(moment, events()), f"the trace to show {moment}")
                if moment == ("tick", 2):
                    # The engine has started on tick 1: it sounds on the channels' bus.
                    browser.wait_for(lambda: energy("channels")[0] > 1.0, "the engine to sound")
                    driver.execute_script("velozorTaps.oneShot.energy = [0, 0]")
                ActionChains(driver).send_keys(key).perform()
                if moment == ("tick", 2):
                    # "izquierda", spoken on the left.
                    browser.wait_for(lambda: any("izquierda.wav" in e for e in events()),
                                     "the left lane's cue")
                    browser.wait_for(lambda: not driver.execute_script(
                        "return !!velozorPage.audio.oneShot.source"), "the cue to end")
                    left, right = energy("oneShot")
                    assert left > 1.0 and left > 2 * right, f"left {left}, right {right}"
            browser.wait_for(lambda: "exit" in events(), "the game to end")
            browser.wait_for(lambda: MISSING in driver.find_element("id", "messages").text,
                             "the live region to name the missing file")
            trace = [line for line in console.read() if "\t" in line]

            unexpected = [e for e in console.errors if f"{MISSING}.flac" not in e]
            assert not unexpected, f"console errors: {unexpected}"
            assert driver.find_element("id", "messages").get_attribute("aria-live")

            # In English the credits are English and the sounds come from the folder sounds.
            driver.get(base + "index.html?lang=en")
            browser.wait_for(lambda: driver.execute_script(
                "return performance.getEntriesByType('resource').some("
                "e => e.name.endsWith('/sounds/intro/arch%201.flac'))"), "the English sounds")
            credits = driver.find_element("id", "credits").text
            assert credits.startswith("Made by:") and "Free game" in credits, credits

    actual = normalised(trace)
    if actual != expected:
        diff = difflib.unified_diff(expected, actual, "velozor-sim", "page", lineterm="")
        raise AssertionError("the page's trace differs from velozor-sim's:\n" + "\n".join(diff))
    print(f"page in Chromium: {len(actual)} trace lines as velozor-sim's, accessibility, taps "
          "and the missing file's message all hold")


if __name__ == "__main__":
    main()
