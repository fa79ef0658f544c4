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
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
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
        if (pending_.empty()) return traits_type::eof();
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
        if (line.find(text) != std::string::npos) found.push_back(line);
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
        if (time >= from && time <= to) found.push_back(line);
    }
    return found;
}

std::vector<long> SimRun::ticks() const {
    std::vector<long> times;
    for (const std::string& line : with("\ttick")) times.push_back(timeOf(line));
    return times;
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

Driver dodgingDriver(Driver menu) {
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
            if (line.find("\\izquierda.wav") != std::string::npos) ear->lane = -1;
            if (line.find("\\centro.wav") != std::string::npos) ear->lane = 0;
            if (line.find("\\derecha.wav") != std::string::npos) ear->lane = 1;
            if (line.find("comenzar.wav") != std::string::npos) ear->lane = 0;
            const size_t at = line.find("\\obstacle");
            if (at != std::string::npos && line.find("\tOPEN ") != std::string::npos) {
                const char folder = line[at + 9];
                danger = folder == '1' ? 0 : folder == '2' ? 1 : -1;
            }
        }
        if (menu) {
            const std::string answer = menu(trace);
            if (answer != "-") return answer;
        }
        if (danger == ear->lane) {
            return "key " + std::to_string(now) + (ear->lane == -1 ? " 39\n" : " 37\n");
        }
        ear->lastWait = std::max(ear->lastWait, now) + 250;
        return "wait " + std::to_string(ear->lastWait) + "\n";
    };
}

}  // namespace velozor::sim
