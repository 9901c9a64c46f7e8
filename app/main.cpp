#include "Launch.h"

int main(int argc, char** argv)
{
    return runQuorel1(argc, argv);
}
