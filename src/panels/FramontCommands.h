#pragma once
// The Framont command set's texts that belong to the Framont panel alone: the wavelength and mode
// lists, the replies the panel reads, the illuminator level conversions and the slit spot text.
#include <optional>
#include <string>
#include <string_view>

namespace panels::framont {

// ";LC:" + command, with " " + arguments when there are any: the laser controller's commands.
std::string LaserCommand(std::string_view command, std::string_view arguments = {});
std::string LaserCommand(std::string_view command, int argument);
// ";LC:ED " + range + "," + energy.
std::string EnergyCommand(int range, int energy);
// ";LC:IL " + unit (0 field, 1 slit) + "," + raw level.
std::string IlluminatorCommand(int unit, int raw);

inline constexpr int kWavelengthCount = 6;
inline constexpr int kModeCount = 3;
inline constexpr int kMagnificationCount = 6;

// "1064nm 0" .. "532nm 2", in list order.
std::string WavelengthItem(int index);
// ";LC:SW 3 0" .. ";LC:SW 2 2" for the items 0..5; empty for any other index.
std::string WavelengthCommand(int index);
// The item whose reply ("3 0" .. "2 2", exactly) this is; -1 for any other text.
int WavelengthIndexOfReply(const std::string& reply);
// 0, 1, 2 for exactly "0", "1", "2"; -1 for any other text.
int ModeIndexOfReply(const std::string& reply);

// The text before the first "," (empty without one) and after it (the whole text without one).
std::string TextBeforeComma(const std::string& text);
std::string TextAfterComma(const std::string& text);
bool HasComma(const std::string& text);

// The illuminator raw level (0..255) of a percentage: trunc(percent x 2.555), the constant in single
// precision and the product in extended precision, as the controller's own tables expect.
int IlluminatorRaw(int percent);
// The percentage a raw level stands for (from the panel file or the controller): the one whose raw
// level is nearest, the lower one on a tie. It inverts IlluminatorRaw, so a level read back and sent
// again stays the same (128 gives 50 %, 90 gives 35 %, 255 gives 100 %); a level above 255 gives a
// percentage above 100.
int PercentOfRaw(int raw);

struct Magnification {
    int factor;     // 1, 5, 10, 20, 50, 100
    float limit;    // largest shown size the X and Y edits accept
    const char* text;
    const char* item;
};
// The magnification list's item index 0..5; nothing for any other index.
std::optional<Magnification> MagnificationAt(int index);
// The item index of a magnification factor; -1 when it is not in the list.
int MagnificationIndexOf(int factor);
// The magnification's text for ";LC:SP" ("1" .. "100"), empty for an index outside the list.
std::string MagnificationText(int index);
// The largest stored slit size (shown size x magnification) the panel can produce: the highest of
// the magnifications' limits in stored units (60 at 100x, 6000).
float LargestStoredSlitSize();

struct SlitSpotParts {
    std::string magnification;
    std::string x;
    std::string y;
};
// magnification + "," + X + "," + Y; a text with fewer commas gives empty leading parts as the panel
// has always split it ("1,2500" is magnification "1", X empty, Y "2500").
SlitSpotParts SplitSlitSpot(const std::string& spot);
std::string JoinSlitSpot(const std::string& magnification, const std::string& x, const std::string& y);

// The STATUS label's caption for a status reply: the reply itself; "0000" for an error reply and
// for none (the query never reached the controller).
std::string StatusCaption(const std::optional<std::string>& reply);

}  // namespace panels::framont
