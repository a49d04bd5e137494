#include "Quorvalent/SoundingHandler.h"

SystemRecord& systemRecord()
{
    static SystemRecord record;
    return record;
}
