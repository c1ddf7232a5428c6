// A file of the bottom layer that reaches upward with a relative path.
#include "../top/window.h"
