// Entry point of the shipped program.
#include "program/programmain.h"

int main(int argc, char** argv)
{
    return quantaro::programMain(argc, argv);
}
