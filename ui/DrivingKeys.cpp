// The keys while a game is being driven.
#include "ui/Form1.h"

namespace velozor {

void Form1::drivingKey(int16_t /*keyCode*/) {}

}  // namespace velozor
