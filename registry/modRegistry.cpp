#include "registry/modRegistry.h"
