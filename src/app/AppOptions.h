#pragma once
// The application options: read from the user's settings once at start-up, edited in
// the Options dialog and written back only when that dialog is confirmed.

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <cstdint>

namespace plat { class Registry; }

namespace app {

// Sixteen white entries.
constexpr std::array<uint32_t, 16> DefaultCustomColors()
{
    std::array<uint32_t, 16> c{};
    c.fill(0xFFFFFFu);
    return c;
}

struct TAppOptions {
    // General
    bool PromptOnDelete = true;
    bool SelectReturn = true;
    bool MetricUnits = false;
    bool ReduceColor = false;       // off: reducing posterises photographs
    bool ShowDesignWizard = true;
    bool SaveProperties = true;
    // Grid
    int32_t GridSize = 4;          // pixels
    bool ShowGrid = false;
    bool SnapToGrid = false;
    // Print
    bool CropMarks = false;
    bool SetOrientation = true;
    // Folders
    QString GraphicFolder;
    QString DocumentsFolder;
    // Custom
    QStringList CustomTexts;
    // CustomColors: kept and written back; nothing else uses them.
    std::array<uint32_t, 16> CustomColors = DefaultCustomColors();
    bool operator==(const TAppOptions &) const = default;
};

// The options key: ProductKey + "\Options".
QString OptionsKey();

// The grid step range the surface works with; a stored value outside it is clamped.
constexpr int MinGridSize = 1;
constexpr int MaxGridSize = 32;

// Sets the defaults, then reads every key of the options from `reg`. Reading a key
// stops at its first integer or boolean value that is missing or stored with another
// type (and at a string value stored with another type); the fields from there on keep
// their defaults.
void LoadOptions(TAppOptions &options, const plat::Registry &reg);
// The same from the user's settings store.
void LoadOptions(TAppOptions &options);

// Writes every key of the options into `reg` (creating keys as needed). A write that
// fails ends the writing of its key; the next key is still written.
void SaveOptions(const TAppOptions &options, plat::Registry &reg);
// The same into the user's settings store, which is then saved to its file. Returns
// whether the file was written; callers do not report a failure.
bool SaveOptions(const TAppOptions &options);

// The Options dialog's grid size: the text as a decimal integer from 1 to 32; anything
// else is refused (nullopt) with GridSizeMessage().
std::optional<int> GridSizeFromText(const QString &text);
// "Please enter a grid size between 1 and 32 pixels."
QString GridSizeMessage();

// "Field%02d": the value name of custom text `index`.
QString CustomFieldName(int index);

} // namespace app
