#pragma once
// The 122-byte sheet layout stored in designs and layout files, the paper table, the
// regions a layout gives a card, and the conversions between hundredths of an inch and
// the numbers shown to the user.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace layout {

// One layout, kept as its exact bytes so every reserved byte survives an edit. The
// accessors read and write the fields at their offsets.
class LayoutRecord {
public:
    static constexpr int kSize = 122;
    static constexpr int kNameSize = 50;

    enum Offset {
        NameOff = 0, RowsOff = 50, ColumnsOff = 54, WidthOff = 58, HeightOff = 62,
        TopMarginOff = 66, LeftMarginOff = 70, ColumnSpaceOff = 74, RowSpaceOff = 78,
        Reserved1Off = 82, RegionTypeOff = 90, BackPrintableOff = 91, PaperTypeOff = 92,
        TemplateKindOff = 93, Reserved2Off = 94,
    };

    LayoutRecord() { m_bytes.fill(0); }
    // Reads exactly kSize bytes; returns false (and leaves the record zero) if fewer.
    static bool fromBytes(const char *data, qsizetype size, LayoutRecord *out);
    QByteArray toBytes() const;
    const std::array<char, kSize> &raw() const { return m_bytes; }

    // Name: zero-terminated 8-bit text in a 50-byte field.
    QString Name() const;
    void setName(const QString &name); // cut to 49 bytes

    uint32_t Rows() const { return u32(RowsOff); }
    uint32_t Columns() const { return u32(ColumnsOff); }
    uint32_t Width() const { return u32(WidthOff); }
    uint32_t Height() const { return u32(HeightOff); }
    uint32_t TopMargin() const { return u32(TopMarginOff); }
    uint32_t LeftMargin() const { return u32(LeftMarginOff); }
    uint32_t ColumnSpace() const { return u32(ColumnSpaceOff); }
    uint32_t RowSpace() const { return u32(RowSpaceOff); }
    uint8_t RegionType() const { return u8(RegionTypeOff); }
    uint8_t BackPrintable() const { return u8(BackPrintableOff); }
    uint8_t PaperType() const { return u8(PaperTypeOff); }
    uint8_t TemplateKind() const { return u8(TemplateKindOff); }

    void setRows(uint32_t v) { setU32(RowsOff, v); }
    void setColumns(uint32_t v) { setU32(ColumnsOff, v); }
    void setWidth(uint32_t v) { setU32(WidthOff, v); }
    void setHeight(uint32_t v) { setU32(HeightOff, v); }
    void setTopMargin(uint32_t v) { setU32(TopMarginOff, v); }
    void setLeftMargin(uint32_t v) { setU32(LeftMarginOff, v); }
    void setColumnSpace(uint32_t v) { setU32(ColumnSpaceOff, v); }
    void setRowSpace(uint32_t v) { setU32(RowSpaceOff, v); }
    void setRegionType(uint8_t v) { m_bytes[RegionTypeOff] = char(v); }
    void setBackPrintable(uint8_t v) { m_bytes[BackPrintableOff] = char(v); }
    void setPaperType(uint8_t v) { m_bytes[PaperTypeOff] = char(v); }
    void setTemplateKind(uint8_t v) { m_bytes[TemplateKindOff] = char(v); }

    // Width and height that the columns and rows need on the sheet, units.
    int64_t sheetExtentWidth() const;
    int64_t sheetExtentHeight() const;
    // Top-left corner of the element in row r and column c (from 0), units.
    int64_t elementLeft(int column) const;
    int64_t elementTop(int row) const;

    bool operator==(const LayoutRecord &o) const { return m_bytes == o.m_bytes; }
    bool operator!=(const LayoutRecord &o) const { return !(*this == o); }

private:
    uint32_t u32(int off) const;
    uint8_t u8(int off) const { return static_cast<uint8_t>(m_bytes[size_t(off)]); }
    void setU32(int off, uint32_t v);
    std::array<char, kSize> m_bytes;
};

// The most common business-card stock: 2 x 5 cards of 3.5 x 2 inches on Letter, 0.75 inch
// side and 0.5 inch top margins, flat, no printable back.
LayoutRecord businessCardLayout();

// ---- paper table ----
struct PaperInfo {
    int code;   // the Windows paper code (dmPaperSize)
    int width;  // units, portrait
    int height; // units
};
// Fills the outputs from the paper table; true for types 0..16, false (with the Letter
// values) otherwise.
bool GetPaperInfo(int paperType, int *paperCode, int *width, int *height);
// Names of the paper types the layout dialog offers (types 0 to 5).
QStringList paperNames();
constexpr int kPaperTypeCount = 17;

// ---- region model ----
// Every output is optional. Returns the number of regions printed on the face that
// secondSide selects (0 for region types above 4, which set nothing).
int GetRegionInfo(int regionType, int secondSide, int64_t elementWidth, int64_t elementHeight,
                  QStringList *names, int *regionWidth, int *regionHeight, int *reserved,
                  int *sideFold, int *flat);
bool GetRegionSide(int regionType, int listIndex, int *side, int *region);
// Names the region list offers for a layout (flat cards show "Back" only when the back
// is printable).
QStringList regionListNames(const LayoutRecord &layout);
QStringList regionTypeNames();

// ---- display units ----
double UnitsToDisplay(uint32_t units, bool metric);
// Truncation of (value + 0.00001) * 100 (divided by 25.4 for millimetres).
int32_t DisplayToUnits(double value, bool metric);
// Parses `text` with the locale's decimal rules; false when it is not a number.
bool DisplayTextToUnits(const QString &text, bool metric, int32_t *units);

// ---- region size check ----
constexpr int kMinRegionSize = 150;
constexpr int kMaxRegionSize = 400;
bool regionSizeOk(const LayoutRecord &layout);
// "The width and height or each region must be between 1.50 and 4.00" (dialog units).
QString regionSizeDialogMessage(bool metric);
// "The width and height must be between 1.50 and 4.00 inches" (opening a document).
QString regionSizeDocumentMessage();

} // namespace layout
