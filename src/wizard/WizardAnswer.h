#pragma once
// The design wizard's answer (its substitution record): the thirteen marker values and the
// background picture that the template reader takes, the chosen template file, what to do
// (create from the template, pick a layout, open a file) and the kind of the template last
// previewed. Also the business-card fields of the card page and how they become marker
// values.

#include "files/DesignFile.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace wizard {

enum Choice : int {
    ChoiceTemplate = 0,   // create a design from the template file
    ChoicePickLayout = 1, // pick a layout and start from scratch
    ChoiceOpenFile = 2,   // open an existing file
};

// TemplateKind of a template made for business-card data; 0 is "None".
constexpr int kBusinessCardKind = 4;

// Positions of the marker values in files::Substitution::values.
enum Marker : int {
    MarkerName, MarkerFromName, MarkerCompany, MarkerTitle, MarkerAddress, MarkerReturnAddress,
    MarkerPhone, MarkerFax, MarkerEmail, MarkerUser1, MarkerUser2, MarkerUser3, MarkerUser4,
};

struct WizardAnswer {
    files::Substitution substitution; // values "NAME" .. "USER4", background
    QString templateFile;             // full path of the chosen .cct; empty when none
    int choice = ChoiceTemplate;
    int templateKind = 0;
};

// The eleven fields of the card page.
struct CardFields {
    QString name, company, title, address, phone, fax, email;
    std::array<QString, 4> user;

    // A record of the personal database: `field` gives the value of FNAME, LNAME,
    // COMPANY, TITLE, ADDRESS, PHONE, FAX, EMAIL, USER1 .. USER4. The name is first and
    // last name with one space between them (no stray space when one is empty).
    static CardFields fromRecord(const std::function<QString(const QString &)> &field);
    bool operator==(const CardFields &) const = default;
};

// The values the preview and the new design use: name, company, title, phone, fax,
// email and the user fields from the card page; the address only for a business-card
// template; "FROMNAME" and "RETURN ADDRESS" always empty.
void fillValues(files::Substitution &s, const CardFields &card, int templateKind);
// All thirteen values emptied (a template without business-card data keeps its texts).
void clearValues(files::Substitution &s);

// Field names as the command line writes them: NAME, FROMNAME, COMPANY, TITLE, ADDRESS,
// RETURN_ADDRESS, PHONE, FAX, EMAIL, USER1 .. USER4.
QStringList fieldNames();
// The marker position of a field name (letter case ignored; "RETURN ADDRESS" is accepted
// as well), or -1.
int markerForField(const QString &field);

} // namespace wizard
