// Time of one forward computation: a half-space Hz curve through the closed form.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "Quorvalent/CalcLotem.h"
#include "Quorvalent/SuiteState.h"
#include "WBRVLib/Brvl95.h"

void WINMSG(std::string_view text) { std::fprintf(stderr, "WINMSG: %s\n", std::string(text).c_str()); }

static void HalfSpaceCurve(benchmark::State& state)
{
    systemRecord() = SystemRecord{};
    systemRecord().DisplayKind = kDisplayEarlyLateRho;
    suiteState().FieldComponent = kFieldHz;
    SoundingRecord sounding;
    sounding.Data.PointCount = 1;
    sounding.Data.ColumnCount = 2;
    sounding.Model.NLayer = 1;
    sounding.Model.ValuesPerLayer = 1;
    sounding.Model.ParameterCount = 1;
    sounding.Model.Parameters.allocate(1);
    sounding.Model.Parameters(1) = 100.0f;
    sounding.ResponseValues.allocate(1, 2);
    sounding.Data.SampleTimes.allocate(1, 1);
    for (auto _ : state) {
        CALCLOTEM(sounding);
        benchmark::DoNotOptimize(sounding.ResponseValues(1, 1));
    }
}
BENCHMARK(HalfSpaceCurve);
