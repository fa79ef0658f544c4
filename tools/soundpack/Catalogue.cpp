// Each file's recipe: spoken words in the folder's language, synthesized effects, the music,
// and the approach sounds.
#include "tools/soundpack/Catalogue.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>

#include "tools/soundpack/ApproachSounds.h"
#include "tools/soundpack/Effects.h"
#include "tools/soundpack/Level.h"
#include "tools/soundpack/Music.h"
#include "tools/soundpack/Panning.h"

namespace velozor::soundpack {

namespace {

// RMS of spoken words, in dB full scale: above the approach sounds' middle steps, well above the
// engine and the music.
constexpr double kSpeechLevelDb = -19.0;
constexpr float kSpeechPeak = 0.95f;
// Where a spoken lane name or lane hint sits: clearly on its side, still heard by both ears.
constexpr StereoPosition kSpokenSidePosition = 0.6;

std::vector<float> spokenMono(const Speak& speak, const std::string& text) {
    std::vector<float> words = speak(text);
    setRmsDb(words, kSpeechLevelDb);
    limitPeak(words, kSpeechPeak);
    return words;
}

// How one file is made, before the catalogue gives it its place.
struct Recipe {
    FileFormat format;
    std::function<AudioBuffer(const Speak&)> make;
};

Recipe spoken(std::string text) {
    return {FileFormat::Wave, [text = std::move(text)](const Speak& speak) {
                return asMono(spokenMono(speak, text));
            }};
}

Recipe spokenAt(std::string text, StereoPosition position) {
    return {FileFormat::Wave, [text = std::move(text), position](const Speak& speak) {
                return placeInStereo(spokenMono(speak, text), position);
            }};
}

Recipe effect(std::vector<float> (*make)()) {
    return {FileFormat::Wave, [make](const Speak&) { return asMono(make()); }};
}

// An effect followed by words, overlapping by `overlapSeconds`.
Recipe effectThenSpoken(std::vector<float> (*make)(), std::string text, double overlapSeconds) {
    return {FileFormat::Wave, [make, text = std::move(text), overlapSeconds](const Speak& speak) {
                std::vector<float> sound = make();
                const std::size_t overlap = std::min(framesFor(overlapSeconds), sound.size());
                mixInto(sound, spokenMono(speak, text), sound.size() - overlap);
                return asMono(std::move(sound));
            }};
}

AudioBuffer countIn(const Speak& speak, const std::array<std::string, 4>& words) {
    std::vector<float> sound;
    for (std::size_t i = 0; i < std::size(words); ++i) {
        const bool go = i + 1 == std::size(words);
        const std::size_t start = framesFor(0.8 * i);
        mixInto(sound, countBeep(go ? BeepPitch::High : BeepPitch::Low), start);
        mixInto(sound, spokenMono(speak, words[i]), start + framesFor(0.1));
    }
    limitPeak(sound, kSpeechPeak);
    return asMono(std::move(sound));
}

Lane laneOf(int16_t lane) {
    return lane < 0 ? Lane::Left : lane == 0 ? Lane::Centre : Lane::Right;
}

Recipe approach(const ApproachSound& sound) {
    return {FileFormat::Wave, [lane = laneOf(sound.lane), set = sound.set, step = sound.step](
                                  const Speak&) { return approachSound(lane, set, step); }};
}

// Every file but the approach sounds, by its place in the folder.
std::map<std::string, Recipe> recipes(const FolderOptions& options) {
    const Language language = options.language;
    const auto says = [language](const char* path) { return spoken(spokenText(language, path)); };
    const auto saysAt = [language](const char* path, StereoPosition position) {
        return spokenAt(spokenText(language, path), position);
    };
    const double musicDb = kSpeechLevelDb + options.musicLevelDb;
    return {
        // The introduction: the title, what the game is, the keys, a count-in.
        {"intro/arch 1.wav",
         effectThenSpoken(titleFlourish, spokenText(language, "intro/arch 1.wav"), 0.2)},
        {"intro/arch 2.wav", says("intro/arch 2.wav")},
        {"intro/arch 3.wav", says("intro/arch 3.wav")},
        {"intro/arch 4.wav",
         {FileFormat::Wave,
          [words = countInWords(language)](const Speak& speak) { return countIn(speak, words); }}},

        {"fondo.mp3",
         {FileFormat::Mp3, [musicDb](const Speak&) { return asMono(backgroundMusic(musicDb)); }}},
        {"motor.wav", effect(engine)},

        // The game's course: crashes, lives, levels, the end.
        {"chocaste.wav", effectThenSpoken(crash, spokenText(language, "chocaste.wav"), 0.3)},
        {"dosVidas.wav", says("dosVidas.wav")},
        {"unaVida.wav", says("unaVida.wav")},
        {"despedida.wav", says("despedida.wav")},
        {"finestereo.wav", says("finestereo.wav")},
        {"nivel2.wav", says("nivel2.wav")},
        {"nivel3.wav", says("nivel3.wav")},
        {"finpuntos.wav", says("finpuntos.wav")},
        {"esquivar.wav", effect(dodgeChime)},

        // Lane hints of level 1, each on its own side.
        {"vieneizquierda.wav", saysAt("vieneizquierda.wav", -kSpokenSidePosition)},
        {"vienecentro.wav", saysAt("vienecentro.wav", 0.0)},
        {"vienederecha.wav", saysAt("vienederecha.wav", kSpokenSidePosition)},

        // The driving keys: the lane the car is now in, the road's edges, the brake, the horn.
        {"izquierda.wav", saysAt("izquierda.wav", -kSpokenSidePosition)},
        {"centro.wav", saysAt("centro.wav", 0.0)},
        {"derecha.wav", saysAt("derecha.wav", kSpokenSidePosition)},
        {"noCarrilIzquierda.wav", saysAt("noCarrilIzquierda.wav", -kSpokenSidePosition)},
        {"noCarrilDerecha.wav", saysAt("noCarrilDerecha.wav", kSpokenSidePosition)},
        {"frenando.wav", effect(brakeSqueal)},
        {"auto.wav", effect(horn)},
        {"ayuda.wav", says("ayuda.wav")},

        // The menu.
        {"introd.wav", says("introd.wav")},
        {"menúOtro.wav", says("menúOtro.wav")},
        {"menúSalir.wav", says("menúSalir.wav")},
        {"comenzar.wav", says("comenzar.wav")},
        {"fin.wav", says("fin.wav")},
    };
}

}  // namespace

std::string pathInSoundFolder(std::string_view gamePath) {
    const std::string_view root = "\\sonidos\\";
    if (!gamePath.starts_with(root)) {
        throw std::logic_error("the catalogued path " + std::string(gamePath) +
                               " is not inside the sound folder: it must begin with \\sonidos\\");
    }
    std::string path(gamePath.substr(root.size()));
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::vector<CatalogueEntry> soundCatalogue(const FolderOptions& options) {
    std::map<std::string, Recipe> byPath = recipes(options);
    std::vector<CatalogueEntry> entries;
    for (const CataloguedSound& sound : cataloguedSounds()) {
        std::string path = pathInSoundFolder(sound.path);
        if (sound.approach) {
            Recipe recipe = approach(*sound.approach);
            entries.push_back({std::move(path), recipe.format, std::move(recipe.make)});
            continue;
        }
        auto found = byPath.extract(path);
        if (found.empty()) {
            throw std::logic_error("the sound catalogue lists " + path +
                                   " but the generator has no recipe for it: add one to "
                                   "recipes() in tools/soundpack/Catalogue.cpp");
        }
        entries.push_back({std::move(path), found.mapped().format, std::move(found.mapped().make)});
    }
    if (!byPath.empty()) {
        throw std::logic_error("the generator has a recipe for " + byPath.begin()->first +
                               ", which the sound catalogue does not list: add it to "
                               "sound/SoundCatalogue.h or drop the recipe");
    }
    return entries;
}

}  // namespace velozor::soundpack
