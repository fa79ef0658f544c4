// The game's one record of variables, and the persistent locals of its handlers.
#pragma once

#include <cstdint>
#include <string>

namespace velozor {

// Every variable of the game, owned by the window for the program's whole life. The widths
// are part of the contract: counters wrap at their width (see wrapIncrement), never overflow.
struct GameState {
    int16_t paso = 0;             // ticks since the current game began
    int16_t carril = 0;           // the player's lane: -1 left, 0 centre, 1 right
    int16_t carrilObstaculo = 0;  // the current obstacle's lane
    int16_t llegada = 0;          // the value of paso on which the current obstacle arrives
    int32_t resSonido = 0;        // result of the last one-shot call; written, never read
    std::string rutaCorta;        // short form of the last path given to acortarRuta
    int32_t resMci = 0;           // result of the last command string or short-path call
    uint8_t choques = 0;          // crashes in the current game
    std::string pasoVolumen;      // loudness step of the approach sound, "0" to "6"
    std::string sonido;           // working sound path, or a bare name such as "\centro.wav"
    std::string sonidoAux;        // second sound path: the car sound and the help text
    bool obstaculoVivo = false;   // the current obstacle has not been crashed into
    uint8_t obstaculosNivel = 0;  // obstacles spawned in the current level
    bool musicaSonando = false;   // the background music has been opened and started
    uint8_t nivel = 0;            // the current level; 4 only once the third is completed
    bool enMenu = false;          // keys work the menu rather than the car

    // Persistent locals: each belongs to one handler and keeps its value between calls.
    int16_t opcionMenu = 0;        // Form_KeyDown: selected menu entry, 0 none, 1 play, 2 leave
    uint8_t pasoMotor = 0;         // Timer1_Timer: engine-loop counter
    bool avisoFinEstereo = false;  // Timer1_Timer: the "finestereo" cue has been given
    std::string rutaObstaculo;     // obstaculos: path of the current approach sound
    int16_t cuentaObstaculos = 0;  // obstaculos: obstacles spawned since start-up
};

// Puts the record at the start of a game: no ticks, the centre lane, no crashes, level 1 with
// no obstacle yet. Where the first obstacle arrives (llegada) is the caller's to set.
void resetForNewGame(GameState& state);

// Adds `step` at the counter's own width. Wrapping is modular (two's complement), so a
// 16-bit count keeps its parity across the wrap: 32767 + 1 is -32768, even as it should be.
template <typename Counter>
constexpr Counter wrapIncrement(Counter value, int step = 1) {
    return static_cast<Counter>(value + step);
}

// True for odd counts, negative ones included (where % 2 would give -1).
constexpr bool isOdd(int16_t value) {
    return (static_cast<uint16_t>(value) & 1u) != 0;
}

}  // namespace velozor
