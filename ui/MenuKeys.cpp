// The keys of the spoken menu between games.
#include "ui/Form1.h"

namespace velozor {

void Form1::menuKey(int16_t /*keyCode*/) {}

}  // namespace velozor
