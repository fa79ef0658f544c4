// The in-process simulator runner for the tests.
#include "SimHarness.h"

#include <algorithm>
#include <sstream>
#include <streambuf>

#include "sound/SoundPlatform.h"

namespace velozor::sim {

namespace {

const std::string kFolder = "/opt/velozor";

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream stream(text);
    for (std::string part; std::getline(stream, part, separator);)
        parts.push_back(part);
    return parts;
}

// An input buffer that asks the driver for more scenario text each time it runs dry.
class DriverBuffer : public std::streambuf {
public:
    DriverBuffer(std::string setup, Driver driver, const std::ostringstream& trace)
        : current_(std::move(setup)), driver_(std::move(driver)), trace_(trace) {
        setg(current_.data(), current_.data(), current_.data() + current_.size());
    }

protected:
    int_type underflow() override {
        // Only the complete trace lines written since the last call are split.
        const std::string text = trace_.str();
        const size_t complete = text.rfind('\n') + 1;
        for (std::string& line : split(text.substr(seen_, complete - seen_), '\n'))
            lines_.push_back(std::move(line));
        seen_ = complete;
        current_ = driver_(lines_);
        setg(current_.data(), current_.data(), current_.data() + current_.size());
        return current_.empty() ? traits_type::eof() : traits_type::to_int_type(current_.front());
    }

private:
    std::string current_;
    Driver driver_;
    const std::ostringstream& trace_;
    std::vector<std::string> lines_;
    size_t seen_ = 0;
};

std::string withoutFolder(std::string text) {
    for (size_t at; (at = text.find(kFolder)) != std::string::npos;)
        text.erase(at, kFolder.size());
    return text;
}

}  // namespace

std::vector<std::string> SimRun::with(const std::string& text) const {
    std::vector<std::string> found;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(found),
                 [&](const std::string& line) { return line.find(text) != std::string::npos; });
    return found;
}

long SimRun::timeOf(const std::string& line) {
    return std::stol(line.substr(0, line.find('\t')));
}

Calls operator+(Calls first, const Calls& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

bool Event::has(const std::string& text) const {
    return std::any_of(calls.begin(), calls.end(), [&](const std::string& call) {
        return call.find(text) != std::string::npos;
    });
}

Calls channel(const std::string& alias, const std::string& path) {
    return {"CLOSE " + alias, "OPEN " + path + " TYPE waveaudio ALIAS " + alias, "PLAY " + alias};
}

Calls stopAll() {
    return {"snd NULL 0",      "CLOSE motor", "CLOSE vidas", "CLOSE finpuntos", "CLOSE esquivar",
            "CLOSE obstáculo", "CLOSE obst",  "CLOSE auto",  "exec Close all"};
}

Calls music() {
    return {"exec OPEN \\sonidos\\fondo.mp3", "exec PLAY \\sonidos\\fondo.mp3"};
}

std::string approach(int lane, int step) {
    return approachPath(static_cast<int16_t>(lane), ApproachSet::Stereo, std::to_string(step));
}

int approachLane(const std::string& call) {
    for (const CataloguedSound& sound : cataloguedSounds()) {
        if (sound.approach && call.find("OPEN ") != std::string::npos &&
            call.find(sound.path) != std::string::npos)
            return sound.approach->lane;
    }
    return 2;
}

std::optional<AskedFile> askedFile(const std::string& call) {
    const std::string type = " TYPE waveaudio ALIAS ";
    const size_t at = call.find(type);
    if (call.starts_with("snd ") && !call.starts_with("snd NULL ")) {
        const bool sync = call.ends_with(" " + std::to_string(SND_SYNC));
        return AskedFile{call.substr(4, call.rfind(' ') - 4),
                         sync ? PlayedAs::SyncOneShot : PlayedAs::AsyncOneShot, ""};
    }
    if (call.starts_with("exec OPEN "))
        return AskedFile{call.substr(10), PlayedAs::Music, ""};
    if (!call.starts_with("OPEN ") || at == std::string::npos)
        return std::nullopt;
    return AskedFile{call.substr(5, at - 5), PlayedAs::Channel, call.substr(at + type.size())};
}

int laneNamed(const std::string& text) {
    for (const auto& [cue, lane] : {std::pair{"\\izquierda.wav", -1}, std::pair{"\\centro.wav", 0},
                                    std::pair{"\\derecha.wav", 1}}) {
        if (text.find(cue) != std::string::npos)
            return lane;
    }
    return 2;
}

std::vector<Event> SimRun::events() const {
    std::vector<Event> found;
    for (const std::string& line : lines) {
        const std::vector<std::string> part = split(withoutFolder(line), '\t');
        const std::string& kind = part[1];
        if (kind == "sndPlaySoundA") {
            found.back().calls.push_back("snd " + part[2] + " " + part[3]);
        } else if (kind == "mciSendStringA" || kind == "mciExecute" || kind == "timer") {
            found.back().calls.push_back((kind == "mciExecute" ? "exec "
                                          : kind == "timer"    ? "timer "
                                                               : "") +
                                         part[2]);
        } else if (kind == "randomize" || kind == "rnd") {
            found.back().calls.push_back(kind);
        } else if (kind != "GetShortPathNameA") {  // a handled event: load, tick, key, close, ...
            found.push_back({timeOf(line), kind == "key" ? "key " + part[2] : kind, {}});
        }
    }
    return found;
}

std::vector<Event> SimRun::tickEvents() const {
    std::vector<Event> found = events();
    std::erase_if(found, [](const Event& event) { return event.what != "tick"; });
    return found;
}

std::vector<Calls> SimRun::keyCalls() const {
    std::vector<Calls> found;
    for (const Event& event : events()) {
        if (event.what.starts_with("key "))
            found.push_back(event.calls);
    }
    return found;
}

size_t firstEvent(const std::vector<Event>& events, const std::string& what) {
    return std::find_if(events.begin(), events.end(),
                        [&](const Event& event) { return event.what == what; }) -
           events.begin();
}

SimRun simulateWithDriver(const std::string& setup, Driver driver) {
    std::ostringstream trace;
    std::ostringstream errors;
    DriverBuffer buffer(setup, std::move(driver), trace);
    std::istream input(&buffer);
    SimRun run;
    run.status = runSimulation(input, trace, errors);
    run.lines = split(trace.str(), '\n');
    run.errors = errors.str();
    return run;
}

SimRun simulate(const std::string& scenario) {
    return simulateWithDriver(scenario, [](const std::vector<std::string>&) { return ""; });
}

}  // namespace velozor::sim
