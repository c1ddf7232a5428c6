// A file of the bottom layer that includes its neighbour sideways.
#include "side/helper.h"
