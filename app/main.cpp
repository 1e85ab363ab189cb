#include "app/voxcel_main.h"

int main(int argc, char *argv[])
{
    return voxcelMain(argc, argv);
}
