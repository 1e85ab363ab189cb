#include "app/font_warm_up.h"

#ifdef VOXCEL_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

FontWarmUp::FontWarmUp()
{
#ifdef VOXCEL_HAVE_FONTCONFIG
    // Qt's own FcInit() later finds the configuration made; fontconfig
    // makes it once, also when two threads ask at the same time.
    thread_ = std::thread([] { FcInit(); });
#endif
}

FontWarmUp::~FontWarmUp()
{
    if (thread_.joinable())
        thread_.join();
}
