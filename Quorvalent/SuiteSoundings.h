// The sounding records the model suite works on (platform-free): the current sounding made at
// start-up, the suite's sounding whose response and model the graphs draw, the second model of a
// fade-in or difference suite, and the saved model of a depth or fade-in suite.
#pragma once

#include "Quorvalent/SoundingHandler.h"

// A sounding record with its companion.
struct SoundingPair {
    SoundingRecord Record;
    SoundingRecord Companion;
};

SoundingPair& currentSoundingRecord();
SoundingPair& suiteSoundingRecord();
SoundingPair& secondModelSoundingRecord();
// A third copy of the current sounding, made with the others on the wizard's first call.
SoundingPair& spareSoundingRecord();
// The suite sounding's model while a depth or fade-in suite rewrites it curve by curve.
LayerModelRecord& suiteLayerModelRecord();
