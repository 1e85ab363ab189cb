#pragma once

#include <thread>

// Reads the system's font configuration on a thread of its own while the
// application starts and connects to the display; the window's first text
// would otherwise wait for it (a few milliseconds, a sizeable part of the
// way to the first paint). Made first thing in main(); joined when it goes.
// Does nothing where fonts are not configured by fontconfig.
class FontWarmUp
{
public:
    FontWarmUp();
    ~FontWarmUp();
    FontWarmUp(const FontWarmUp &) = delete;
    FontWarmUp &operator=(const FontWarmUp &) = delete;

private:
    std::thread thread_;
};
