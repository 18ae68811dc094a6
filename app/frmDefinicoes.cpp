#include "app/frmDefinicoes.h"
