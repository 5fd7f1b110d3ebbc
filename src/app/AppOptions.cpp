#include "app/AppOptions.h"

#include "app/Product.h"
#include "platform/Registry.h"

#include <algorithm>

namespace app {

namespace {

// Reads the values of one key in order. The first integer that is missing or stored
// with another type, or the first string stored with another type, stops the reader:
// every later read of the key leaves its field alone.
class KeyReader {
public:
    KeyReader(const plat::Registry &reg, QString key) : m_reg(reg), m_key(std::move(key)) {}

    bool stopped() const { return m_stopped; }

    void integer(const QString &name, int32_t &field)
    {
        if (m_stopped)
            return;
        const auto v = m_reg.readDword(m_key, name);
        if (!v) {
            m_stopped = true;
            return;
        }
        field = static_cast<int32_t>(*v);
    }
    void dword(const QString &name, uint32_t &field)
    {
        int32_t v = static_cast<int32_t>(field);
        integer(name, v);
        field = static_cast<uint32_t>(v);
    }
    void boolean(const QString &name, bool &field)
    {
        int32_t v = field ? 1 : 0;
        integer(name, v);
        field = v != 0;
    }
    // A missing string reads as empty and reading goes on.
    void string(const QString &name, QString &field)
    {
        if (m_stopped)
            return;
        switch (m_reg.valueType(m_key, name)) {
        case plat::RegType::None:
            field.clear();
            return;
        case plat::RegType::String:
            field = *m_reg.readString(m_key, name);
            return;
        default:
            m_stopped = true;
        }
    }

private:
    const plat::Registry &m_reg;
    QString m_key;
    bool m_stopped = false;
};

// Writes the values of one key in order; the first failed write stops the rest.
class KeyWriter {
public:
    KeyWriter(plat::Registry &reg, QString key) : m_reg(reg), m_key(std::move(key))
    {
        m_stopped = !m_reg.createKey(m_key);
    }
    void integer(const QString &name, int32_t v) { dword(name, static_cast<uint32_t>(v)); }
    void dword(const QString &name, uint32_t v)
    {
        if (!m_stopped)
            m_stopped = !m_reg.writeDword(m_key, name, v);
    }
    void boolean(const QString &name, bool v) { dword(name, v ? 1u : 0u); }
    void string(const QString &name, const QString &v)
    {
        if (!m_stopped)
            m_stopped = !m_reg.writeString(m_key, name, v);
    }

private:
    plat::Registry &m_reg;
    QString m_key;
    bool m_stopped = false;
};

QString sub(const QString &name) { return OptionsKey() + QLatin1Char('\\') + name; }

// A custom-text count this large cannot come from the Options dialog; it is read only
// as far as the key could hold entries, so a damaged count cannot exhaust memory.
constexpr int32_t SaneCustomCount = 1000;

} // namespace

QString OptionsKey() { return ProductKey() + QStringLiteral("\\Options"); }

QString CustomFieldName(int index) { return QString::asprintf("Field%02d", index); }

void LoadOptions(TAppOptions &o, const plat::Registry &reg)
{
    o = TAppOptions{};

    if (reg.keyExists(sub("General"))) {
        KeyReader r(reg, sub("General"));
        r.boolean("PromptOnDelete", o.PromptOnDelete);
        r.boolean("SelectReturn", o.SelectReturn);
        r.boolean("MetricUnits", o.MetricUnits);
        r.boolean("ReduceColor", o.ReduceColor);
        r.boolean("ShowDesignWizard", o.ShowDesignWizard);
        r.boolean("SaveProperties", o.SaveProperties);
    }
    if (reg.keyExists(sub("Grid"))) {
        KeyReader r(reg, sub("Grid"));
        r.integer("GridSize", o.GridSize);
        r.boolean("ShowGrid", o.ShowGrid);
        r.boolean("SnapToGrid", o.SnapToGrid);
        // The surface needs a step it can draw and snap to.
        o.GridSize = std::clamp<int32_t>(o.GridSize, MinGridSize, MaxGridSize);
    }
    if (reg.keyExists(sub("Print"))) {
        KeyReader r(reg, sub("Print"));
        r.boolean("CropMarks", o.CropMarks);
        r.boolean("SetOrientation", o.SetOrientation);
    }
    if (reg.keyExists(sub("Folders"))) {
        KeyReader r(reg, sub("Folders"));
        r.string("Graphic", o.GraphicFolder);
        r.string("Favorites", o.DocumentsFolder);
    }
    if (reg.keyExists(sub("Custom"))) {
        const QString key = sub("Custom");
        KeyReader r(reg, key);
        int32_t count = 0;
        r.integer("Count", count);
        if (count > SaneCustomCount)
            count = std::max<int32_t>(SaneCustomCount, int32_t(reg.valueNames(key).size()));
        for (int32_t i = 0; i < count && !r.stopped(); ++i) {
            QString text;
            r.string(CustomFieldName(i), text);
            if (!r.stopped())
                o.CustomTexts.append(text);
        }
    }
    if (reg.keyExists(sub("CustomColors"))) {
        KeyReader r(reg, sub("CustomColors"));
        for (int i = 0; i < 16; ++i)
            r.dword(QString::asprintf("%02d", i), o.CustomColors[size_t(i)]);
    }
}

void LoadOptions(TAppOptions &options) { LoadOptions(options, plat::Registry::user()); }

void SaveOptions(const TAppOptions &o, plat::Registry &reg)
{
    {
        KeyWriter w(reg, sub("General"));
        w.boolean("PromptOnDelete", o.PromptOnDelete);
        w.boolean("SelectReturn", o.SelectReturn);
        w.boolean("MetricUnits", o.MetricUnits);
        w.boolean("ReduceColor", o.ReduceColor);
        w.boolean("ShowDesignWizard", o.ShowDesignWizard);
        w.boolean("SaveProperties", o.SaveProperties);
    }
    {
        KeyWriter w(reg, sub("Grid"));
        w.integer("GridSize", o.GridSize);
        w.boolean("ShowGrid", o.ShowGrid);
        w.boolean("SnapToGrid", o.SnapToGrid);
    }
    {
        KeyWriter w(reg, sub("Print"));
        w.boolean("CropMarks", o.CropMarks);
        w.boolean("SetOrientation", o.SetOrientation);
    }
    {
        KeyWriter w(reg, sub("Folders"));
        w.string("Graphic", o.GraphicFolder);
        w.string("Favorites", o.DocumentsFolder);
    }
    {
        // Entries left over from a longer list stay; Count makes them unread.
        KeyWriter w(reg, sub("Custom"));
        w.integer("Count", int32_t(o.CustomTexts.size()));
        for (int i = 0; i < o.CustomTexts.size(); ++i)
            w.string(CustomFieldName(i), o.CustomTexts[i]);
    }
    {
        KeyWriter w(reg, sub("CustomColors"));
        for (int i = 0; i < 16; ++i)
            w.dword(QString::asprintf("%02d", i), o.CustomColors[size_t(i)]);
    }
}

bool SaveOptions(const TAppOptions &options)
{
    plat::Registry &reg = plat::Registry::user();
    SaveOptions(options, reg);
    return reg.save();
}

std::optional<int> GridSizeFromText(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (!ok || v < MinGridSize || v > MaxGridSize)
        return std::nullopt;
    return v;
}

QString GridSizeMessage()
{
    return QStringLiteral("Please enter a grid size between %1 and %2 pixels.").arg(MinGridSize).arg(MaxGridSize);
}

} // namespace app
