#include "guiresources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside of any namespace.
static void registerResources()
{
    Q_INIT_RESOURCE(pictures);
    Q_INIT_RESOURCE(fonts);
    Q_INIT_RESOURCE(guide);
}

void initGuiResources()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    registerResources();
}
