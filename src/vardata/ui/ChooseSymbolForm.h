#pragma once
// "Choose Symbol": a symbol font and one character of it, picked from a character map.

#include <QChar>
#include <QDialog>
#include <QStringList>

class QComboBox;
class QTableWidget;

namespace vardata {

class TChooseSymbolForm : public QDialog {
    Q_OBJECT
public:
    explicit TChooseSymbolForm(QWidget *parent = nullptr);

    // The installed fonts made for symbols (their character map is a symbol set), sorted.
    static QStringList symbolFontFamilies();

    QString chosenFont() const;
    // The character selected in the map; a null character when none is.
    QChar chosenCharacter() const;
    // Selects the map's cell of `c` (tests and keyboard use).
    bool selectCharacter(QChar c);

private:
    void FontComboChange();

    QComboBox *m_fonts;
    QTableWidget *m_map;
};

} // namespace vardata
