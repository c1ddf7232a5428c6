// Huebrook's executable: only the entry.
#include "basmain.h"

int main(int argc, char **argv)
{
    return basmain::Main(argc, argv);
}
