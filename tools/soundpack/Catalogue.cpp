// The words are written to be understood at once while driving: short cues during play, full
// sentences where the game waits (the introduction, the help, the level changes).
#include "tools/soundpack/Catalogue.h"

#include <algorithm>
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

constexpr const char* kHelpText =
    "Ayuda. Conduces un coche por una carretera de tres carriles: izquierda, centro y derecha. "
    "Los obstáculos se oyen llegar por su carril, primero lejos y flojo, después cada vez más "
    "fuerte. Cuando suenan más fuerte, están a punto de alcanzarte: si sigues en su carril, "
    "chocas. Cambia de carril a tiempo. Cada obstáculo esquivado suena con una campanita. "
    "En el nivel uno, una voz te dice por qué carril viene cada obstáculo. En el nivel dos ya "
    "no hay aviso. En el nivel tres los obstáculos suenan en mono, y el carril se reconoce por "
    "su sonido: un zumbido grave es la izquierda, dos pitidos son el centro y tres campanillas "
    "agudas son la derecha. Cada nivel tiene quince obstáculos, y con tres choques se acaba la "
    "partida. Las teclas. Flecha izquierda: pasar al carril de la izquierda. Flecha derecha: "
    "pasar al carril de la derecha. Flecha arriba: tocar la bocina. Flecha abajo: frenar. "
    "Efe uno: escuchar esta ayuda. Escape: dejar la partida e ir al menú. En el menú, las "
    "flechas arriba y abajo eligen entre otra partida y salir, Intro confirma y Escape sale del "
    "juego. Ahora, la partida sigue.";

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

AudioBuffer countIn(const Speak& speak) {
    std::vector<float> sound;
    const char* words[] = {"Tres.", "Dos.", "Uno.", "¡Ya!"};
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
std::map<std::string, Recipe> recipes() {
    return {
        // The introduction: the title, what the game is, the keys, a count-in.
        {"intro/arch 1.wav", effectThenSpoken(titleFlourish, "Velozor.", 0.2)},
        {"intro/arch 2.wav",
         spoken("Velozor es un juego de carreras para jugar de oído. Conduces un coche por una "
                "carretera de tres carriles: izquierda, centro y derecha. Por ella vienen "
                "obstáculos; cada uno suena del lado de su carril, y más fuerte cuanto más cerca "
                "está. Cambia de carril a tiempo para esquivarlos. Hay tres niveles de quince "
                "obstáculos, y con tres choques se acaba la partida.")},
        {"intro/arch 3.wav",
         spoken("Las teclas. Flecha izquierda y flecha derecha: cambiar de carril. Flecha arriba: "
                "tocar la bocina. Flecha abajo: frenar. Efe uno: escuchar la ayuda. Escape: dejar "
                "la partida e ir al menú.")},
        {"intro/arch 4.wav", {FileFormat::Wave, countIn}},

        {"fondo.mp3", {FileFormat::Mp3, [](const Speak&) { return asMono(backgroundMusic()); }}},
        {"motor.wav", effect(engine)},

        // The game's course: crashes, lives, levels, the end.
        {"chocaste.wav", effectThenSpoken(crash, "¡Chocaste!", 0.3)},
        {"dosVidas.wav", spoken("Te quedan dos vidas.")},
        {"unaVida.wav", spoken("Te queda una vida. ¡Cuidado!")},
        {"despedida.wav",
         spoken("Tercer choque. Se acabó la partida. ¡Gracias por jugar, hasta la próxima!")},
        {"finestereo.wav", spoken("¡Ánimo! El nivel está a punto de terminar.")},
        {"nivel2.wav",
         spoken("Nivel dos. A partir de ahora nadie te avisa del carril: escucha de qué lado "
                "viene cada obstáculo.")},
        {"nivel3.wav",
         spoken("Nivel tres. Ahora los obstáculos suenan en mono, sin izquierda ni derecha. "
                "Reconoce el carril por su sonido: un zumbido grave es la izquierda, dos pitidos "
                "son el centro y tres campanillas agudas son la derecha.")},
        {"finpuntos.wav",
         spoken("¡Enhorabuena! Has completado los tres niveles. ¡Eres un gran piloto!")},
        {"esquivar.wav", effect(dodgeChime)},

        // Lane hints of level 1, each on its own side.
        {"vieneizquierda.wav", spokenAt("Viene por la izquierda.", -kSpokenSidePosition)},
        {"vienecentro.wav", spokenAt("Viene por el centro.", 0.0)},
        {"vienederecha.wav", spokenAt("Viene por la derecha.", kSpokenSidePosition)},

        // The driving keys: the lane the car is now in, the road's edges, the brake, the horn.
        {"izquierda.wav", spokenAt("Izquierda.", -kSpokenSidePosition)},
        {"centro.wav", spokenAt("Centro.", 0.0)},
        {"derecha.wav", spokenAt("Derecha.", kSpokenSidePosition)},
        {"noCarrilIzquierda.wav",
         spokenAt("No hay más carriles a la izquierda.", -kSpokenSidePosition)},
        {"noCarrilDerecha.wav", spokenAt("No hay más carriles a la derecha.", kSpokenSidePosition)},
        {"frenando.wav", effect(brakeSqueal)},
        {"auto.wav", effect(horn)},
        {"ayuda.wav", spoken(kHelpText)},

        // The menu.
        {"introd.wav",
         spoken("Menú. Con las flechas arriba y abajo eliges entre jugar otra partida o salir. "
                "Pulsa Intro para confirmar, o Escape para salir del juego.")},
        {"menúOtro.wav", spoken("Otra partida.")},
        {"menúSalir.wav", spoken("Salir del juego.")},
        {"comenzar.wav", spoken("¡Comenzamos! Buena suerte.")},
        {"fin.wav", spoken("Fin del juego.")},
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

std::vector<CatalogueEntry> soundCatalogue() {
    std::map<std::string, Recipe> byPath = recipes();
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
