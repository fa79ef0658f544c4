// Both languages side by side, file by file, so they keep saying the same things: short cues
// during play, full sentences where the game waits (the introduction, the help, the levels).
#include "tools/soundpack/SpokenTexts.h"

#include <map>
#include <stdexcept>

namespace velozor::soundpack {

namespace {

struct Words {
    std::string spanish;
    std::string english;
};

const std::map<std::string, Words, std::less<>>& allWords() {
    static const std::map<std::string, Words, std::less<>> words = {
        {"intro/arch 1.wav", {"Velozor.", "Velozor."}},
        {"intro/arch 2.wav",
         {"Velozor es un juego de carreras para jugar de oído. Conduces un coche por una "
          "carretera de tres carriles: izquierda, centro y derecha. Por ella vienen obstáculos; "
          "cada uno suena del lado de su carril, y más fuerte cuanto más cerca está. Cambia de "
          "carril a tiempo para esquivarlos. Hay tres niveles de quince obstáculos, y con tres "
          "choques se acaba la partida.",
          "Velozor is a racing game you play by ear. You drive a car along a road with three "
          "lanes: left, centre and right. Obstacles come along it; each one sounds on the side "
          "of its lane, and louder the closer it gets. Change lanes in time to dodge them. There "
          "are three levels of fifteen obstacles, and three crashes end the game."}},
        {"intro/arch 3.wav",
         {"Las teclas. Flecha izquierda y flecha derecha: cambiar de carril. Flecha arriba: tocar "
          "la bocina. Flecha abajo: frenar. Efe uno: escuchar la ayuda. Escape: dejar la partida "
          "e ir al menú.",
          "The keys. Left arrow and right arrow: change lanes. Up arrow: sound the horn. Down "
          "arrow: brake. F1: hear the help. Escape: leave the game and go to the menu."}},
        {"chocaste.wav", {"¡Chocaste!", "You crashed!"}},
        {"dosVidas.wav", {"Te quedan dos vidas.", "Two lives left."}},
        {"unaVida.wav", {"Te queda una vida. ¡Cuidado!", "One life left. Careful!"}},
        {"despedida.wav",
         {"Tercer choque. Se acabó la partida. ¡Gracias por jugar, hasta la próxima!",
          "Third crash. The game is over. Thanks for playing, see you next time!"}},
        {"finestereo.wav",
         {"¡Ánimo! El nivel está a punto de terminar.", "Keep going! The level is about to end."}},
        {"nivel2.wav",
         {"Nivel dos. A partir de ahora nadie te avisa del carril: escucha de qué lado viene "
          "cada obstáculo.",
          "Level two. From now on nobody tells you the lane: listen for the side each obstacle "
          "comes from."}},
        {"nivel3.wav",
         {"Nivel tres. Ahora los obstáculos suenan en mono, sin izquierda ni derecha. Reconoce "
          "el carril por su sonido: un zumbido grave es la izquierda, dos pitidos son el centro "
          "y tres campanillas agudas son la derecha.",
          "Level three. Now the obstacles sound in mono, with no left or right. Tell the lane by "
          "its sound: a low hum is the left, two beeps are the centre and three high bells are "
          "the right."}},
        {"finpuntos.wav",
         {"¡Enhorabuena! Has completado los tres niveles. ¡Eres un gran piloto!",
          "Congratulations! You have completed all three levels. You are a great driver!"}},
        {"vieneizquierda.wav", {"Viene por la izquierda.", "Coming on the left."}},
        {"vienecentro.wav", {"Viene por el centro.", "Coming in the centre."}},
        {"vienederecha.wav", {"Viene por la derecha.", "Coming on the right."}},
        {"izquierda.wav", {"Izquierda.", "Left."}},
        {"centro.wav", {"Centro.", "Centre."}},
        {"derecha.wav", {"Derecha.", "Right."}},
        {"noCarrilIzquierda.wav",
         {"No hay más carriles a la izquierda.", "No more lanes on the left."}},
        {"noCarrilDerecha.wav",
         {"No hay más carriles a la derecha.", "No more lanes on the right."}},
        {"ayuda.wav",
         {"Ayuda. Conduces un coche por una carretera de tres carriles: izquierda, centro y "
          "derecha. Los obstáculos se oyen llegar por su carril, primero lejos y flojo, después "
          "cada vez más fuerte. Cuando suenan más fuerte, están a punto de alcanzarte: si sigues "
          "en su carril, chocas. Cambia de carril a tiempo. Cada obstáculo esquivado suena con "
          "una campanita. En el nivel uno, una voz te dice por qué carril viene cada obstáculo. "
          "En el nivel dos ya no hay aviso. En el nivel tres los obstáculos suenan en mono, y el "
          "carril se reconoce por su sonido: un zumbido grave es la izquierda, dos pitidos son el "
          "centro y tres campanillas agudas son la derecha. Cada nivel tiene quince obstáculos, "
          "y con tres choques se acaba la partida. Las teclas. Flecha izquierda: pasar al carril "
          "de la izquierda. Flecha derecha: pasar al carril de la derecha. Flecha arriba: tocar "
          "la bocina. Flecha abajo: frenar. Efe uno: escuchar esta ayuda. Escape: dejar la "
          "partida e ir al menú. En el menú, las flechas arriba y abajo eligen entre otra "
          "partida y salir, Intro confirma y Escape sale del juego. Ahora, la partida sigue.",
          "Help. You drive a car along a road with three lanes: left, centre and right. You hear "
          "the obstacles coming along their lane, first far away and soft, then louder and "
          "louder. When they sound loudest, they are about to reach you: if you stay in their "
          "lane, you crash. Change lanes in time. Each obstacle you dodge sounds with a little "
          "bell. In level one, a voice tells you which lane each obstacle comes in. In level two "
          "there is no warning any more. In level three the obstacles sound in mono, and you "
          "tell the lane by its sound: a low hum is the left, two beeps are the centre and three "
          "high bells are the right. Each level has fifteen obstacles, and three crashes end the "
          "game. The keys. Left arrow: move to the lane on the left. Right arrow: move to the "
          "lane on the right. Up arrow: sound the horn. Down arrow: brake. F1: hear this help. "
          "Escape: leave the game and go to the menu. In the menu, the up and down arrows choose "
          "between another game and quitting, Enter confirms and Escape quits the game. Now, "
          "the game goes on."}},
        {"introd.wav",
         {"Menú. Con las flechas arriba y abajo eliges entre jugar otra partida o salir. Pulsa "
          "Intro para confirmar, o Escape para salir del juego.",
          "Menu. With the up and down arrows you choose between playing another game or "
          "quitting. Press Enter to confirm, or Escape to quit the game."}},
        {"menúOtro.wav", {"Otra partida.", "Another game."}},
        {"menúSalir.wav", {"Salir del juego.", "Quit the game."}},
        {"comenzar.wav", {"¡Comenzamos! Buena suerte.", "Here we go! Good luck."}},
        {"fin.wav", {"Fin del juego.", "End of the game."}},
    };
    return words;
}

}  // namespace

const char* voiceName(Language language) {
    return language == Language::English ? "en" : "es";
}

const std::string& spokenText(Language language, std::string_view path) {
    const auto found = allWords().find(path);
    if (found == allWords().end()) {
        throw std::logic_error("the sound folder has no words for " + std::string(path) +
                               ": add them to tools/soundpack/SpokenTexts.cpp");
    }
    return language == Language::English ? found->second.english : found->second.spanish;
}

std::array<std::string, 4> countInWords(Language language) {
    if (language == Language::English)
        return {"Three.", "Two.", "One.", "Go!"};
    return {"Tres.", "Dos.", "Uno.", "¡Ya!"};
}

}  // namespace velozor::soundpack
