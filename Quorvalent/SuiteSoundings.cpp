#include "Quorvalent/SuiteSoundings.h"

SoundingPair& currentSoundingRecord()
{
    static SoundingPair pair;
    return pair;
}

SoundingPair& suiteSoundingRecord()
{
    static SoundingPair pair;
    return pair;
}

SoundingPair& secondModelSoundingRecord()
{
    static SoundingPair pair;
    return pair;
}

SoundingPair& spareSoundingRecord()
{
    static SoundingPair pair;
    return pair;
}

LayerModelRecord& suiteLayerModelRecord()
{
    static LayerModelRecord model;
    return model;
}
