// The in-process simulator runner for the tests.
#include "SimHarness.h"

#include <algorithm>
#include <memory>
#include <streambuf>

namespace velozor::sim {

namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// An input buffer that asks the driver for more scenario text each time it runs dry.
class DriverBuffer : public std::streambuf {
public:
    DriverBuffer(std::string setup, Driver driver, const std::ostringstream& trace)
        : pending_(std::move(setup)), driver_(std::move(driver)), trace_(trace) {}

protected:
    int_type underflow() override {
        if (pending_.empty()) {
            // Only the trace written since the last call is split into lines.
            const std::string text = trace_.str();
            const size_t complete = text.rfind('\n') + 1;
            if (complete > seen_) {
                for (std::string& line : splitLines(text.substr(seen_, complete - seen_))) {
                    lines_.push_back(std::move(line));
                }
                seen_ = complete;
            }
            pending_ = driver_(lines_);
        }
        if (pending_.empty())
            return traits_type::eof();
        current_.swap(pending_);
        pending_.clear();
        setg(current_.data(), current_.data(), current_.data() + current_.size());
        return traits_type::to_int_type(current_.front());
    }

private:
    std::string pending_;
    std::string current_;
    Driver driver_;
    const std::ostringstream& trace_;
    std::vector<std::string> lines_;
    size_t seen_ = 0;
};

}  // namespace

std::vector<std::string> SimRun::with(const std::string& text) const {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.find(text) != std::string::npos)
            found.push_back(line);
    }
    return found;
}

long SimRun::timeOf(const std::string& line) {
    return std::stol(line.substr(0, line.find('\t')));
}

std::vector<std::string> SimRun::between(long from, long to) const {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        const long time = timeOf(line);
        if (time >= from && time <= to)
            found.push_back(line);
    }
    return found;
}

std::vector<long> SimRun::ticks() const {
    std::vector<long> times;
    for (const std::string& line : with("\ttick"))
        times.push_back(timeOf(line));
    return times;
}

namespace {

const std::string kFolder = "/opt/velozor";

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
        parts.push_back(line.substr(start, tab - start));
    }
    parts.push_back(line.substr(start));
    return parts;
}

std::string withoutFolder(std::string text) {
    for (size_t at; (at = text.find(kFolder)) != std::string::npos;)
        text.erase(at, kFolder.size());
    return text;
}

}  // namespace

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

std::string approach(int lane, int step, bool mono) {
    const std::string folder = lane == 0 ? "1" : lane == 1 ? "2" : "3";
    return std::string("\\sonidos\\obstáculos\\") + (mono ? "mono\\" : "") + "obstáculo" + folder +
           "\\obstacle" + folder + std::to_string(step) + ".wav";
}

int approachLane(const std::string& call) {
    const std::string stem = "\\obstacle";
    const size_t at = call.find(stem);
    if (call.rfind("OPEN ", 0) != 0 || at == std::string::npos)
        return 2;
    const char folder = call[at + stem.size()];
    return folder == '1' ? 0 : folder == '2' ? 1 : -1;
}

std::vector<Event> SimRun::events() const {
    static const std::vector<std::string> kHandled = {"load",   "tick", "key", "close",
                                                      "unload", "exit", "end"};
    std::vector<Event> found;
    for (const std::string& line : lines) {
        const std::vector<std::string> part = fields(line);
        const std::string& kind = part[1];
        if (std::find(kHandled.begin(), kHandled.end(), kind) != kHandled.end()) {
            found.push_back({timeOf(line), kind == "key" ? "key " + part[2] : kind, {}});
        } else if (kind == "sndPlaySoundA") {
            found.back().calls.push_back("snd " + withoutFolder(part[2]) + " " + part[3]);
        } else if (kind == "mciSendStringA") {
            found.back().calls.push_back(withoutFolder(part[2]));
        } else if (kind == "mciExecute") {
            found.back().calls.push_back("exec " + withoutFolder(part[2]));
        } else if (kind == "timer") {
            found.back().calls.push_back("timer " + part[2]);
        } else if (kind != "GetShortPathNameA") {
            found.back().calls.push_back(kind);  // randomize, rnd
        }
    }
    return found;
}

std::vector<Event> SimRun::tickEvents() const {
    std::vector<Event> found;
    for (Event& event : events()) {
        if (event.what == "tick")
            found.push_back(std::move(event));
    }
    return found;
}

std::vector<float> SimRun::drawsAt(long time) const {
    std::vector<float> draws;
    for (const std::string& line : lines) {
        const std::vector<std::string> part = fields(line);
        if (part[1] == "rnd" && timeOf(line) == time)
            draws.push_back(std::stof(part[2]));
    }
    return draws;
}

SimRun simulate(const std::string& scenario) {
    std::istringstream input(scenario);
    std::ostringstream trace;
    std::ostringstream errors;
    SimRun run;
    run.status = runSimulation(input, trace, errors);
    run.lines = splitLines(trace.str());
    run.errors = errors.str();
    return run;
}

SimRun simulateWithDriver(const std::string& setup, Driver driver) {
    std::ostringstream trace;
    std::ostringstream errors;
    DriverBuffer buffer(setup, std::move(driver), trace);
    std::istream input(&buffer);
    SimRun run;
    run.status = runSimulation(input, trace, errors);
    run.lines = splitLines(trace.str());
    run.errors = errors.str();
    return run;
}

}  // namespace velozor::sim

namespace velozor::sim {

Driver dodgingDriver(MenuPlayer menu) {
    struct Ear {
        size_t heard = 0;
        int lane = 0;
        long lastWait = 0;
    };
    auto ear = std::make_shared<Ear>();
    return [ear, menu](const std::vector<std::string>& trace) -> std::string {
        const long now = trace.empty() ? 0 : SimRun::timeOf(trace.back());
        int danger = 2;  // no lane
        for (; ear->heard < trace.size(); ++ear->heard) {
            const std::string& line = trace[ear->heard];
            if (line.find("\\izquierda.wav") != std::string::npos)
                ear->lane = -1;
            if (line.find("\\centro.wav") != std::string::npos)
                ear->lane = 0;
            if (line.find("\\derecha.wav") != std::string::npos)
                ear->lane = 1;
            if (line.find("comenzar.wav") != std::string::npos)
                ear->lane = 0;
            const size_t at = line.find("\\obstacle");
            if (at != std::string::npos && line.find("\tOPEN ") != std::string::npos) {
                const char folder = line[at + 9];
                danger = folder == '1' ? 0 : folder == '2' ? 1 : -1;
            }
        }
        // Not before the last wait it answered: the scenario's times never go back.
        const long at = std::max(now, ear->lastWait);
        if (menu) {
            const std::string answer = menu(trace, at);
            if (answer != "-") {
                ear->lastWait = at;
                return answer;
            }
        }
        if (danger == ear->lane) {
            return "key " + std::to_string(at) + (ear->lane == -1 ? " 39\n" : " 37\n");
        }
        ear->lastWait = std::max(ear->lastWait, now) + 250;
        return "wait " + std::to_string(ear->lastWait) + "\n";
    };
}

}  // namespace velozor::sim

namespace velozor::sim {

const SimRun& completedGame() {
    // Once the menu's opening sound is heard the game is over: no further input.
    static const SimRun run = simulateWithDriver(
        "until 1000000\n", dodgingDriver([](const std::vector<std::string>& trace, long) {
            const bool over =
                !trace.empty() && trace.back().find("introd.wav") != std::string::npos;
            return std::string(over ? "" : "-");
        }));
    return run;
}

}  // namespace velozor::sim
