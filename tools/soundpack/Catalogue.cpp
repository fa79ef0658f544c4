// The words are written to be understood at once while driving: short cues during play, full
// sentences where the game waits (the introduction, the help, the level changes).
#include "tools/soundpack/Catalogue.h"

#include <algorithm>
#include <iterator>
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

CatalogueEntry spoken(std::string path, std::string text) {
    return {std::move(path), FileFormat::Wave, [text = std::move(text)](const Speak& speak) {
                return asMono(spokenMono(speak, text));
            }};
}

CatalogueEntry spokenAt(std::string path, std::string text, StereoPosition position) {
    return {std::move(path), FileFormat::Wave,
            [text = std::move(text), position](const Speak& speak) {
                return placeInStereo(spokenMono(speak, text), position);
            }};
}

CatalogueEntry effect(std::string path, std::vector<float> (*make)()) {
    return {std::move(path), FileFormat::Wave, [make](const Speak&) { return asMono(make()); }};
}

// An effect followed by words, overlapping by `overlapSeconds`.
CatalogueEntry effectThenSpoken(std::string path, std::vector<float> (*make)(), std::string text,
                                double overlapSeconds) {
    return {std::move(path), FileFormat::Wave,
            [make, text = std::move(text), overlapSeconds](const Speak& speak) {
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

void addApproachSounds(std::vector<CatalogueEntry>& entries) {
    // Folder 1 is the centre lane, 2 the right lane and 3 the left lane.
    const std::pair<int, Lane> lanes[] = {{1, Lane::Centre}, {2, Lane::Right}, {3, Lane::Left}};
    for (const ApproachSet set : {ApproachSet::Stereo, ApproachSet::Mono}) {
        const std::string setFolder = set == ApproachSet::Mono ? "obstáculos/mono/" : "obstáculos/";
        for (const auto& [number, lane] : lanes) {
            for (int step = kNearestStep; step <= kFarthestStep; ++step) {
                const std::string folder = setFolder + "obstáculo" + std::to_string(number) + "/";
                const std::string name =
                    "obstacle" + std::to_string(number) + std::to_string(step) + ".wav";
                entries.push_back(
                    {folder + name, FileFormat::Wave, [lane = lane, set, step](const Speak&) {
                         return approachSound(lane, set, step);
                     }});
            }
        }
    }
}

}  // namespace

std::vector<CatalogueEntry> soundCatalogue() {
    std::vector<CatalogueEntry> entries = {
        // The introduction: the title, what the game is, the keys, a count-in.
        effectThenSpoken("intro/arch 1.wav", titleFlourish, "Velozor.", 0.2),
        spoken("intro/arch 2.wav",
               "Velozor es un juego de carreras para jugar de oído. Conduces un coche por una "
               "carretera de tres carriles: izquierda, centro y derecha. Por ella vienen "
               "obstáculos; cada uno suena del lado de su carril, y más fuerte cuanto más cerca "
               "está. Cambia de carril a tiempo para esquivarlos. Hay tres niveles de quince "
               "obstáculos, y con tres choques se acaba la partida."),
        spoken("intro/arch 3.wav",
               "Las teclas. Flecha izquierda y flecha derecha: cambiar de carril. Flecha arriba: "
               "tocar la bocina. Flecha abajo: frenar. Efe uno: escuchar la ayuda. Escape: dejar "
               "la partida e ir al menú."),
        {"intro/arch 4.wav", FileFormat::Wave, countIn},

        {"fondo.mp3", FileFormat::Mp3, [](const Speak&) { return asMono(backgroundMusic()); }},
        effect("motor.wav", engine),

        // The game's course: crashes, lives, levels, the end.
        effectThenSpoken("chocaste.wav", crash, "¡Chocaste!", 0.3),
        spoken("dosVidas.wav", "Te quedan dos vidas."),
        spoken("unaVida.wav", "Te queda una vida. ¡Cuidado!"),
        spoken("despedida.wav",
               "Tercer choque. Se acabó la partida. ¡Gracias por jugar, hasta la próxima!"),
        spoken("finestereo.wav", "¡Ánimo! El nivel está a punto de terminar."),
        spoken("nivel2.wav",
               "Nivel dos. A partir de ahora nadie te avisa del carril: escucha de qué lado "
               "viene cada obstáculo."),
        spoken("nivel3.wav",
               "Nivel tres. Ahora los obstáculos suenan en mono, sin izquierda ni derecha. "
               "Reconoce el carril por su sonido: un zumbido grave es la izquierda, dos pitidos "
               "son el centro y tres campanillas agudas son la derecha."),
        spoken("finpuntos.wav",
               "¡Enhorabuena! Has completado los tres niveles. ¡Eres un gran piloto!"),
        effect("esquivar.wav", dodgeChime),

        // Lane hints of level 1, each on its own side.
        spokenAt("vieneizquierda.wav", "Viene por la izquierda.", -kSpokenSidePosition),
        spokenAt("vienecentro.wav", "Viene por el centro.", 0.0),
        spokenAt("vienederecha.wav", "Viene por la derecha.", kSpokenSidePosition),

        // The driving keys: the lane the car is now in, the road's edges, the brake, the horn.
        spokenAt("izquierda.wav", "Izquierda.", -kSpokenSidePosition),
        spokenAt("centro.wav", "Centro.", 0.0),
        spokenAt("derecha.wav", "Derecha.", kSpokenSidePosition),
        spokenAt("noCarrilIzquierda.wav", "No hay más carriles a la izquierda.",
                 -kSpokenSidePosition),
        spokenAt("noCarrilDerecha.wav", "No hay más carriles a la derecha.", kSpokenSidePosition),
        effect("frenando.wav", brakeSqueal),
        effect("auto.wav", horn),
        spoken("ayuda.wav", kHelpText),

        // The menu.
        spoken("introd.wav",
               "Menú. Con las flechas arriba y abajo eliges entre jugar otra partida o salir. "
               "Pulsa Intro para confirmar, o Escape para salir del juego."),
        spoken("menúOtro.wav", "Otra partida."),
        spoken("menúSalir.wav", "Salir del juego."),
        spoken("comenzar.wav", "¡Comenzamos! Buena suerte."),
        spoken("fin.wav", "Fin del juego."),
    };
    addApproachSounds(entries);
    return entries;
}

}  // namespace velozor::soundpack
