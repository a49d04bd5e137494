#include "Quorvalent/SuiteState.h"

SuiteState& suiteState()
{
    static SuiteState state;
    return state;
}
