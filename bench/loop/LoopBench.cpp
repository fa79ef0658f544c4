// velozor-bench-loop: times the real event loop on SDL's dummy drivers. Runs Form1 for 60
// ticks while another thread presses keys at random moments, then prints the ticks' timing
// and the keys' latency and exits 1 when a figure misses its bound.
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "bench/Percentile.h"
#include "game/RandomGenerator.h"
#include "sound/SoundPlatform.h"
#include "sound/recording/RecordingPlatform.h"
#include "ui/EventLoop.h"
#include "ui/Form1.h"
#include "ui/sdl/LoopPriority.h"
#include "ui/sdl/SdlWindow.h"
#include "ui/sdl/SteadyClock.h"

namespace {

using namespace std::chrono_literals;
using velozor::Micros;
using velozor::bench::percentile;

constexpr int kTicks = 60;
constexpr double kMeanPeriodToleranceMs = 0.5;
constexpr double kDeviationP99BoundMs = 2.0;
constexpr double kDriftBoundMs = 2.0;
constexpr double kKeyLatencyP99BoundMs = 2.0;
constexpr Micros kStallLimit = 5s;  // no tick for this long: the timer has stopped

double ms(Micros duration) {
    return static_cast<double>(duration.count()) / 1000.0;
}

// The moments the loop reaches, written on the loop's thread only.
struct Timeline {
    std::vector<Micros> tickTimes;
    std::vector<Micros> tickDeadlines;
    std::vector<Micros> keyHandled;                 // Form_KeyDown begins, per key
    std::vector<std::optional<Micros>> keySounded;  // the first one-shot the key starts
    bool keyOpen = false;  // a key handler is the last thing that ran, so a one-shot is its
};

// Makes no sound: every call succeeds at once. It notes when a key's one-shot starts.
class SilentPlatform final : public velozor::SoundPlatform {
public:
    SilentPlatform(const velozor::Clock& clock, Timeline& timeline)
        : clock_(clock), timeline_(timeline) {}

    int32_t sndPlaySoundA(const char* soundName, uint32_t) override {
        if (soundName != nullptr && timeline_.keyOpen && !timeline_.keySounded.back()) {
            timeline_.keySounded.back() = clock_.now();
        }
        return 1;
    }
    uint32_t mciSendStringA(const char*, char*, uint32_t, uintptr_t) override { return 0; }
    int32_t mciExecute(const char*) override { return 1; }
    uint32_t GetShortPathNameA(const char* longPath, char* shortPath,
                               uint32_t bufferLength) override {
        return shortPaths_.GetShortPathNameA(longPath, shortPath, bufferLength);
    }

private:
    const velozor::Clock& clock_;
    Timeline& timeline_;
    // Answers the short paths as the tests' back end does: every file exists, under the path
    // the game gives. Its clock never moves, as no call of that kind takes time.
    velozor::VirtualClock shortPathClock_;
    velozor::RecordingPlatform shortPaths_{shortPathClock_, velozor::RecordedFiles{}};
};

// Notes each tick against the deadline it was due at, and ends the run after kTicks.
class TimingObserver final : public velozor::LoopObserver {
public:
    TimingObserver(const velozor::Clock& clock, Timeline& timeline)
        : clock_(clock), timeline_(timeline) {}

    void attach(velozor::EventLoop& loop, velozor::Form1& form) {
        loop_ = &loop;
        form_ = &form;
        expected_ = loop.timer1().nextDeadline();
        lastTick_ = clock_.now().count();
    }
    // For the watchdog thread.
    Micros lastTick() const { return Micros(lastTick_.load()); }
    std::size_t tickCount() const { return ticks_.load(); }

    void onTick() override {
        const Micros now = clock_.now();
        timeline_.keyOpen = false;
        // The loop has consumed this tick's deadline already: the next one is a grid step on.
        const std::optional<Micros> next = loop_->timer1().nextDeadline();
        const Micros deadline = gridRestarted_ || !expected_ ? *next - 500ms : *expected_;
        gridRestarted_ = false;
        expected_ = next;
        timeline_.tickTimes.push_back(now);
        timeline_.tickDeadlines.push_back(deadline);
        lastTick_ = now.count();
        ++ticks_;
        // The bench's player never runs out of lives, so no game ends the timer early.
        form_->state().choques = 0;
        if (static_cast<int>(timeline_.tickTimes.size()) == kTicks) {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
    }
    void onKey(int16_t) override {
        timeline_.keyHandled.push_back(clock_.now());
        timeline_.keySounded.emplace_back();
        timeline_.keyOpen = true;
    }
    void onTimerSet(bool enabled) override {
        if (enabled)
            gridRestarted_ = true;
        timeline_.keyOpen = false;
    }

private:
    const velozor::Clock& clock_;
    Timeline& timeline_;
    velozor::EventLoop* loop_ = nullptr;
    velozor::Form1* form_ = nullptr;
    std::optional<Micros> expected_;
    bool gridRestarted_ = false;
    std::atomic<Micros::rep> lastTick_{0};
    std::atomic<std::size_t> ticks_{0};
};

// Presses Left and Right in turn at random moments, as SDL key-downs from another thread:
// the way a real key arrives while the loop sleeps.
class KeyPresser {
public:
    KeyPresser(const velozor::Clock& clock, Uint32 windowId)
        : clock_(clock), windowId_(windowId), thread_([this] { run(); }) {}
    ~KeyPresser() { stop(); }

    void stop() {
        stopping_ = true;
        if (thread_.joinable())
            thread_.join();
    }
    std::vector<Micros> pressTimes() {
        std::lock_guard<std::mutex> lock(mutex_);
        return pressTimes_;
    }
    bool failed() const { return failed_; }

private:
    void run() {
        SDL_SetThreadPriority(SDL_THREAD_PRIORITY_HIGH);  // as a keyboard driver's thread
        std::mt19937 random(20240601);
        std::uniform_int_distribution<int> pause(40'000, 160'000);  // microseconds
        bool left = true;
        while (!stopping_) {
            std::this_thread::sleep_for(Micros(pause(random)));
            if (stopping_)
                break;
            SDL_Event key{};
            key.type = SDL_KEYDOWN;
            key.key.windowID = windowId_;
            key.key.state = SDL_PRESSED;
            key.key.keysym.scancode = left ? SDL_SCANCODE_LEFT : SDL_SCANCODE_RIGHT;
            key.key.keysym.sym = left ? SDLK_LEFT : SDLK_RIGHT;
            left = !left;
            std::lock_guard<std::mutex> lock(mutex_);
            pressTimes_.push_back(clock_.now());
            if (SDL_PushEvent(&key) != 1) {
                pressTimes_.pop_back();
                failed_ = true;
            }
        }
    }

    const velozor::Clock& clock_;
    Uint32 windowId_;
    std::mutex mutex_;
    std::vector<Micros> pressTimes_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> failed_{false};
    std::thread thread_;
};

bool report(const char* what, double value, double bound, const char* unit = "ms") {
    const bool ok = value <= bound;
    std::printf("  %-44s %9.3f %s  (bound %.3f %s)%s\n", what, value, unit, bound, unit,
                ok ? "" : "  MISSED");
    return ok;
}

}  // namespace

int main() {
    // The dummy drivers by default: no display and no sound card needed. SDL_VIDEODRIVER=x11
    // (under a display) measures the loop on a real X window instead.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");  // as the game does
    velozor::SteadyClock clock;
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "velozor-bench-loop: cannot start SDL: %s\n", SDL_GetError());
        return 1;
    }
    int status = 0;
    {
        std::string error;
        std::unique_ptr<velozor::SdlWindow> window = velozor::SdlWindow::open(
            clock, velozor::findSansFont(), velozor::Language::Spanish, error);
        if (!window) {
            std::fprintf(stderr, "velozor-bench-loop: %s\n", error.c_str());
            SDL_Quit();
            return 1;
        }
        Timeline timeline;
        SilentPlatform platform(clock, timeline);
        TimingObserver observer(clock, timeline);
        velozor::RandomGenerator random(clock);
        velozor::EventLoop loop(clock, *window, observer);
        velozor::Form1 form(loop, platform, random, "/opt/velozor");
        observer.attach(loop, form);

        if (std::string refusal; !velozor::raiseLoopThreadPriority(refusal)) {
            std::printf("velozor-bench-loop: the loop runs at normal priority: %s\n",
                        refusal.c_str());
        }
        std::printf("velozor-bench-loop: %d ticks of the real loop (SDL video driver %s)...\n",
                    kTicks, SDL_GetCurrentVideoDriver());
        std::fflush(stdout);
        KeyPresser presser(clock, SDL_GetWindowID(window->handle()));
        std::atomic<bool> finished{false};
        std::thread watchdog([&] {
            while (!finished) {
                std::this_thread::sleep_for(100ms);
                if (clock.now() - observer.lastTick() > kStallLimit && !finished) {
                    std::fprintf(stderr,
                                 "velozor-bench-loop: no tick for %lld s after %zu ticks: the "
                                 "timer has stopped (did the game switch it off for good?)\n",
                                 static_cast<long long>(kStallLimit / 1s), observer.tickCount());
                    std::_Exit(1);
                }
            }
        });
        loop.run(form);
        finished = true;
        watchdog.join();
        presser.stop();
        if (presser.failed()) {
            std::fprintf(stderr, "velozor-bench-loop: SDL_PushEvent failed: %s\n", SDL_GetError());
            status = 1;
        }

        // Ticks: lateness against the grid, the mean period and the drift end to end.
        std::vector<double> deviations;
        for (std::size_t i = 0; i < timeline.tickTimes.size(); ++i) {
            deviations.push_back(ms(timeline.tickTimes[i] - timeline.tickDeadlines[i]));
        }
        // The first tick comes after Form_Load, so periods are counted from the second on.
        const std::size_t first = 1;
        const std::size_t last = timeline.tickTimes.size() - 1;
        const double meanPeriod = ms(timeline.tickTimes[last] - timeline.tickTimes[first]) /
                                  static_cast<double>(last - first);
        // Drift: the least-squares slope of the deviations, over the span of the run.
        double sumT = 0, sumD = 0, sumTT = 0, sumTD = 0;
        for (std::size_t i = first; i <= last; ++i) {
            const double t = ms(timeline.tickTimes[i] - timeline.tickTimes[first]);
            sumT += t;
            sumD += deviations[i];
            sumTT += t * t;
            sumTD += t * deviations[i];
        }
        const double n = static_cast<double>(last - first + 1);
        const double slope = (n * sumTD - sumT * sumD) / (n * sumTT - sumT * sumT);
        const double drift = slope * ms(timeline.tickTimes[last] - timeline.tickTimes[first]);
        std::vector<double> absolute;
        for (const double d : deviations)
            absolute.push_back(std::abs(d));

        std::printf("Ticks (%zu):\n", timeline.tickTimes.size());
        std::printf(
            "  mean period %.3f ms; deviation from the grid: median %.3f ms, "
            "p90 %.3f ms, max %.3f ms\n",
            meanPeriod, percentile(absolute, 0.5), percentile(absolute, 0.9),
            percentile(absolute, 1.0));
        if (!report("|mean period - 500 ms|", std::abs(meanPeriod - 500.0),
                    kMeanPeriodToleranceMs)) {
            status = 1;
        }
        if (!report("p99 deviation from the grid", percentile(absolute, 0.99),
                    kDeviationP99BoundMs)) {
            status = 1;
        }
        if (!report("drift over the run (fitted)", std::abs(drift), kDriftBoundMs)) {
            status = 1;
        }

        // Keys: from the push to Form_KeyDown, and to the one-shot the key starts.
        const std::vector<Micros> presses = presser.pressTimes();
        const std::size_t keys = std::min(presses.size(), timeline.keyHandled.size());
        std::vector<double> toHandler;
        std::vector<double> toSound;
        for (std::size_t i = 0; i < keys; ++i) {
            toHandler.push_back(ms(timeline.keyHandled[i] - presses[i]));
            if (timeline.keySounded[i])
                toSound.push_back(ms(*timeline.keySounded[i] - presses[i]));
        }
        std::printf("Keys (%zu pressed, %zu handled, %zu started a one-shot):\n", presses.size(),
                    timeline.keyHandled.size(), toSound.size());
        if (keys == 0) {
            std::fprintf(stderr, "velozor-bench-loop: no key reached Form_KeyDown\n");
            status = 1;
        } else {
            std::printf("  key -> Form_KeyDown: median %.3f ms, p99 %.3f ms, max %.3f ms\n",
                        percentile(toHandler, 0.5), percentile(toHandler, 0.99),
                        percentile(toHandler, 1.0));
            if (!toSound.empty()) {
                std::printf("  key -> one-shot:     median %.3f ms, p99 %.3f ms, max %.3f ms\n",
                            percentile(toSound, 0.5), percentile(toSound, 0.99),
                            percentile(toSound, 1.0));
            }
            // Until every key the presser uses starts a one-shot, the bound applies to the
            // loop's share: the time until the handler that would start it.
            const bool allSound = toSound.size() == keys;
            if (!allSound) {
                std::printf(
                    "  (%zu of %zu keys started no one-shot: bound checked on "
                    "key -> Form_KeyDown)\n",
                    keys - toSound.size(), keys);
            }
            if (!report(allSound ? "p99 key -> one-shot" : "p99 key -> Form_KeyDown",
                        percentile(allSound ? toSound : toHandler, 0.99), kKeyLatencyP99BoundMs)) {
                status = 1;
            }
        }
    }
    SDL_Quit();
    std::printf("%s\n", status == 0 ? "all figures within bounds" : "some figures MISSED");
    return status;
}
