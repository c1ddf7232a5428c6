// A file of the top layer, as it may be.
#include "bottom/model.h"
