#include "Quorvalent/PlotSettings.h"

AxisTitleTable& axisTitleTable()
{
    static AxisTitleTable table{{
        AxisTitle("Percent Difference"), AxisTitle("System Response"), AxisTitle("Magnetic Field (nT)"),
        AxisTitle("Time (Sec)"), AxisTitle("Elevation (m)"), AxisTitle("Profile Distance (m)"),
        AxisTitle("Easting (m)"), AxisTitle("Northing (m)"), AxisTitle("MaxMin Quadrature (%)"),
        AxisTitle("MaxMin In-Phase (%)"), AxisTitle("MaxMin In-Phase & Quadrature (%)"), AxisTitle("VLF Ellipticity"),
        AxisTitle("VLF Tilt Angle (deg)"), AxisTitle("VLF Quadrature (%)"), AxisTitle("VLF In-Phase (%)"),
        AxisTitle("VLF In-Phase/Quadrature (%)"), AxisTitle("Depth (ft)"), AxisTitle("Apparent Conductivity (mS/m)"),
        AxisTitle("Conductivity (mS/m)"), AxisTitle("Effective Penetration (m)"), AxisTitle("n-Spacing"),
        AxisTitle("Cumulative Resistance (Ohm-m^2)"), AxisTitle("Cumulative Conductance (Siemens)"), AxisTitle("IP Effect"),
        AxisTitle("IP Effect"), AxisTitle("Height (m)"), AxisTitle("In-Phase & Quadrature (%)"),
        AxisTitle("Spacing (m)"), AxisTitle("Phase (deg)"), AxisTitle("Resistivity (Ohm-m)"),
        AxisTitle("Depth (m)"), AxisTitle("Received Voltage (nV)"), AxisTitle("Received Voltage (nV/m^2)"),
        AxisTitle("Frequency (Hz)"), AxisTitle("Period (sec)"), AxisTitle("Time (ms)"),
        AxisTitle("Apparent Resistivity (Ohm-m)"),
    }};
    return table;
}

const SuiteTitleTable& suiteTitleTable()
{
    static const SuiteTitleTable table{{
        AxisTitle("Fade in Second Model"), AxisTitle("Different Earth Models"),
        AxisTitle("Angle Between Transmitter & OffsetVector"), AxisTitle("Layer Thickness"), AxisTitle("Layer Resistivity"),
        AxisTitle("Offset"), AxisTitle("ELAT Apparent Resistivity (Ohm-m)"), AxisTitle("AT Apparent Rresistivity (Ohm-m)"),
        AxisTitle("ELT Apparent Resistivity (Ohm-m)"), AxisTitle("Electric Field (nV/m)"),
        AxisTitle("Early Time Apparent Resistivty (Ohm-m)"), AxisTitle("Voltage"), AxisTitle("HZ Field Component"),
        AxisTitle("EY Field Component"), AxisTitle("EX Field Component"),
    }};
    return table;
}

PlotSettingsState& plotSettingsState()
{
    static PlotSettingsState state;
    return state;
}
