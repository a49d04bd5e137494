#include "Quorvalent/AppState.h"

#include <cmath>

MainWindowState& mainWindowState()
{
    static MainWindowState state;
    return state;
}

GraphOptionsState& graphOptionsState()
{
    static GraphOptionsState state;
    return state;
}

void setMainWindowDefaults(MainWindowState& state, INTEGER screenWidth, INTEGER screenHeight)
{
    const auto part = [](INTEGER size, double fraction) { return static_cast<INTEGER>(std::lround(size * fraction)); };
    state.X = part(screenWidth, 0.25);
    state.Y = part(screenHeight, 0.25);
    state.Width = part(screenWidth, 0.5);
    state.Height = part(screenHeight, 0.5);
    state.State = 1;
}
