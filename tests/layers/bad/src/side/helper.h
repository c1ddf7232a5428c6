// A file of the side layer that includes back the one that includes it.
#include "bottom/store.h"
