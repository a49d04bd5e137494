#include "toolkit/foundation/WindowEngineHooks.h"

WindowGraphicsHooks& windowGraphicsHooks()
{
    static WindowGraphicsHooks hooks;
    return hooks;
}

DialogManagerHooks& dialogManagerHooks()
{
    static DialogManagerHooks hooks;
    return hooks;
}
