#include "scrambler/modEncriptSerial.h"
