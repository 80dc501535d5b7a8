#pragma once
// "Framont Config.txt": the Framont panel's state between openings, twelve lines, one value each,
// every line ended by CR LF.
//
//  1 energy range and energy ("0,100")     7 repetition rate (50)
//  2 fire state (0)                        8 polarization angle (0)
//  3 automatic energy (0)                  9 field illuminator raw level (128)
//  4 wavelength index (0)                 10 slit illuminator raw level (90)
//  5 mode index (0)                       11 slit spot: magnification, X, Y ("1,2500.00,2500.00")
//  6 burst count (0)                      12 theta (0)
//
// Reading: each value comes from its own line only. Lines 1 and 11 are the line's first word (blanks
// and tabs skipped); the others a decimal whole number at the line's start, anything after it ignored.
// Every value the panel itself saves reads back unchanged. A value that is missing (a short file),
// does not convert, or is one no control of the panel can produce reads as the line's default above;
// a file can therefore never drive the laser past what the panel allows, nor fire it when the panel
// opens. The slit sizes may lie above their magnification's limit (a change of magnification shows
// them so) but not above the largest size any magnification allows.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace panels {

struct FramontPanelValues {
    int EnergyRange = 0;
    int Energy = 100;
    int LaserFire = 0;
    int AutoEnergy = 0;
    int WavelengthIndex = 0;  // any number: outside 0..5 selects no wavelength and is kept
    int ModeIndex = 0;        // any number: outside 0..2 selects no mode and is kept
    int BurstCount = 0;
    int RepRate = 50;
    int PolarizationAngle = 0;
    int FieldLEDRaw = 128;
    int SlitLEDRaw = 90;
    std::string SlitSpot = "1,2500.00,2500.00";
    int ThetaValue = 0;

    bool operator==(const FramontPanelValues&) const = default;
};

// The twelve lines, each followed by CR LF.
std::string FormatFramontPanelText(const FramontPanelValues& values);
FramontPanelValues ReadFramontPanelText(std::string_view text);

// DrennickFolder()/"Framont Config.txt".
std::filesystem::path FramontConfigFilePath();

// The file's values; a missing file is first created with the defaults. Nothing when the file can be
// neither read nor created (its folder is gone, say).
std::optional<FramontPanelValues> LoadFramontPanelFile(const std::filesystem::path& path);
// Replaces the file as a whole (the old content stays when the write fails). False on failure.
bool SaveFramontPanelFile(const std::filesystem::path& path, const FramontPanelValues& values);

}  // namespace panels
