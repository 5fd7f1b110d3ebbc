#pragma once
// The per-user settings store: a tree of keys holding typed values, kept apart by type
// (32-bit integer, string, binary) so that a value stored with another type than the
// reader expects can be told from a missing one. Key paths are backslash-separated
// ("Software\Dravmont\Pelloran\Ostravel\Options\General"); key and value names ignore
// letter case, as the settings always have.
//
// The store lives in memory and is persisted as a text file in this format:
//
//   ; comment
//   [Software\Dravmont\Pelloran\Ostravel\Options\General]
//   "PromptOnDelete"=dword:00000001
//   "Graphic"="/home/me/Pictures"
//   "State"=hex:00,ff,10
//   @="the key's default value"
//
// Strings escape backslash, quote, CR, LF and TAB as \\ \" \r \n \t. A line that does
// not parse is ignored; values before the first key header are ignored. Saving writes
// a temporary file and renames it over the old one.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <optional>

namespace plat {

enum class RegType { None, Dword, String, Binary };

class Registry {
public:
    // An in-memory store with no file; load() and save() do nothing and fail.
    Registry() = default;
    // A store persisted in `filePath`; call load() to read it.
    explicit Registry(QString filePath) : m_file(std::move(filePath)) {}

    // The user's settings file: "settings.reg" under OSTRAVEL_HOME when that is set,
    // otherwise under the user's configuration folder.
    static QString defaultFilePath();
    // The process-wide store of the user's settings, loaded from defaultFilePath() on
    // first use (a missing or unreadable file gives an empty store).
    static Registry &user();

    const QString &filePath() const { return m_file; }

    // Replaces the contents with the file's. A missing file reads as an empty store and
    // succeeds; a file that cannot be read, or is unreasonably large, leaves the store
    // empty and fails. Lines that do not parse are skipped.
    bool load();
    // Writes the whole store atomically. Fails without touching the old file when the
    // folder cannot be created or the write fails.
    bool save() const;

    // Parses settings text (the file format above) into the store, replacing it.
    void fromText(const QByteArray &text);
    QByteArray toText() const;

    // Keys. A key path with an empty component (other than leading/trailing
    // backslashes) is invalid: it never exists and cannot be created.
    bool keyExists(const QString &key) const;
    // Creates the key and every parent; true when it exists afterwards.
    bool createKey(const QString &key);
    // Deletes the key with its values and every sub-key.
    bool deleteKey(const QString &key);
    // Direct sub-key names of `key`, in the letter case they were created with.
    QStringList subKeys(const QString &key) const;

    // Values. "" names the key's default value.
    RegType valueType(const QString &key, const QString &name) const;
    QStringList valueNames(const QString &key) const;
    bool hasValue(const QString &key, const QString &name) const { return valueType(key, name) != RegType::None; }
    // Each read gives nothing when the value is missing or stored with another type.
    std::optional<uint32_t> readDword(const QString &key, const QString &name) const;
    std::optional<QString> readString(const QString &key, const QString &name) const;
    std::optional<QByteArray> readBinary(const QString &key, const QString &name) const;
    // Writes fail only when the key does not exist (writes never create keys).
    bool writeDword(const QString &key, const QString &name, uint32_t value);
    bool writeString(const QString &key, const QString &name, const QString &value);
    bool writeBinary(const QString &key, const QString &name, const QByteArray &value);
    bool deleteValue(const QString &key, const QString &name);

    void clear() { m_keys.clear(); }

private:
    struct Value {
        QString name;
        RegType type = RegType::None;
        uint32_t dword = 0;
        QString string;
        QByteArray binary;
    };
    struct Key {
        QString path;                       // as first created
        std::map<QString, Value> values;    // by case-folded name
    };

    static std::optional<QString> normalise(const QString &key);
    static QString fold(const QString &s) { return s.toCaseFolded(); }
    const Value *find(const QString &key, const QString &name) const;
    Value *slot(const QString &key, const QString &name);

    QString m_file;
    std::map<QString, Key> m_keys;          // by case-folded normalised path
};

} // namespace plat
