#include "app/voxcel_main.h"
#include "first_paint_probe.h"

#include <QWidget>

// The program as it starts, ending at its first paint.
int main(int argc, char *argv[])
{
    return voxcelMain(argc, argv, [](QWidget &window) { new FirstPaintProbe(window); });
}
